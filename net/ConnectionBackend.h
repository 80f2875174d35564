#pragma once

#include <QList>
#include <cstdint>

namespace vetorlan {

// The three operations of the dial-up connection service: NetworkManager over D-Bus on
// Linux, RAS on Windows, a scriptable fake in tests.
class ConnectionBackend {
public:
    using Handle = std::uint64_t;
    virtual ~ConnectionBackend() = default;
    // Lists the active dial-up connections; false when the listing failed.
    virtual bool ListConnections(QList<Handle>& handles) = 0;
    // Whether one connection is connected (the platform's "connected" state).
    virtual bool IsConnected(Handle handle) = 0;
    virtual void HangUp(Handle handle) = 0;
};

// The backend IsOnline and HangUpAll use; null means no dial-up service (offline).
void SetConnectionBackend(ConnectionBackend* backend);
ConnectionBackend* CurrentConnectionBackend();

} // namespace vetorlan
