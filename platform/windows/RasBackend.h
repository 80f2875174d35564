#pragma once

#include "net/ConnectionBackend.h"

namespace vetorlan {

// The dial-up connections of the Windows remote-access service (rasapi32): the listed
// connections, "connected" = RASCS_Connected, hang-up = RasHangUpA.
class RasBackend : public ConnectionBackend {
public:
    bool ListConnections(QList<Handle>& handles) override;
    bool IsConnected(Handle handle) override;
    void HangUp(Handle handle) override;
};

} // namespace vetorlan
