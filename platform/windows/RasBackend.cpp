#include "platform/windows/RasBackend.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <ras.h>
#include <raserror.h>

#include <cstdint>
#include <vector>

namespace vetorlan {

namespace {

constexpr DWORD kMaxConnections = 256;
// How long a hang-up waits for the service to release the line: a process that ends
// right after RasHangUp may otherwise leave the connection up.
constexpr DWORD kHangUpWaitMs = 3000;
constexpr DWORD kHangUpPollMs = 50;

HRASCONN ToRas(ConnectionBackend::Handle handle) {
    return reinterpret_cast<HRASCONN>(std::uintptr_t(handle));
}

ConnectionBackend::Handle FromRas(HRASCONN handle) {
    return ConnectionBackend::Handle(reinterpret_cast<std::uintptr_t>(handle));
}

} // namespace

bool RasBackend::ListConnections(QList<Handle>& handles) {
    handles.clear();
    std::vector<RASCONNA> connections(kMaxConnections); // zero-filled
    connections[0].dwSize = sizeof(RASCONNA);
    DWORD bytes = DWORD(sizeof(RASCONNA) * connections.size());
    DWORD count = 0;
    if (RasEnumConnectionsA(connections.data(), &bytes, &count) != ERROR_SUCCESS)
        return false;
    for (DWORD i = 0; i < count && i < kMaxConnections; ++i)
        handles.append(FromRas(connections[i].hrasconn));
    return true;
}

bool RasBackend::IsConnected(Handle handle) {
    RASCONNSTATUSA status{};
    status.dwSize = sizeof(RASCONNSTATUSA);
    if (RasGetConnectStatusA(ToRas(handle), &status) != ERROR_SUCCESS)
        return false;
    return status.rasconnstate == RASCS_Connected;
}

void RasBackend::HangUp(Handle handle) {
    if (RasHangUpA(ToRas(handle)) != ERROR_SUCCESS)
        return;
    // The connection is gone once its handle is no longer known to the service.
    RASCONNSTATUSA status{};
    status.dwSize = sizeof(RASCONNSTATUSA);
    for (DWORD waited = 0; waited < kHangUpWaitMs; waited += kHangUpPollMs) {
        if (RasGetConnectStatusA(ToRas(handle), &status) == ERROR_INVALID_HANDLE)
            return;
        Sleep(kHangUpPollMs);
    }
}

} // namespace vetorlan
