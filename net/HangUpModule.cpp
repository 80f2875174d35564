#include "net/HangUpModule.h"

#include "net/ConnectionBackend.h"

namespace vetorlan {

void HangUpAll() {
    ConnectionBackend* backend = CurrentConnectionBackend();
    if (!backend)
        return;
    QList<ConnectionBackend::Handle> handles;
    if (!backend->ListConnections(handles))
        return;
    // No wait afterwards: the connection watch sees the line go down on its own.
    for (ConnectionBackend::Handle handle : handles)
        backend->HangUp(handle);
}

} // namespace vetorlan
