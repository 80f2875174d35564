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

    // Whether the machine has a modem-type link at all (a dial-up connection configured or
    // active), or whether that cannot be read. A service that cannot tell keeps the user's
    // choice of a dial-up line.
    enum class ModemLinks { None, Present, Unknown };
    virtual ModemLinks MachineModemLinks() { return ModemLinks::Present; }
};

// The backend IsOnline and HangUpAll use; null means no dial-up service (the link state
// cannot be read).
void SetConnectionBackend(ConnectionBackend* backend);
ConnectionBackend* CurrentConnectionBackend();

} // namespace vetorlan
