#include "net/OnLineCheck.h"

#include "core/Settings.h"
#include "net/ConnectionBackend.h"

namespace vetorlan {

bool IsOnline() {
    if (!IsDialUp(AppSettings()))
        return true;
    ConnectionBackend* backend = CurrentConnectionBackend();
    if (!backend)
        return false;
    QList<ConnectionBackend::Handle> handles;
    // Only the first listed connection decides; a failed listing shows as offline.
    if (!backend->ListConnections(handles) || handles.isEmpty())
        return false;
    return backend->IsConnected(handles.first());
}

} // namespace vetorlan
