#pragma once

#include "net/ConnectionBackend.h"

#include <QSet>

namespace vetorlan::test {

// A scripted dial-up service that records every call; installed while it lives.
class FakeConnectionBackend : public ConnectionBackend {
public:
    FakeConnectionBackend() : previous_(CurrentConnectionBackend()) { SetConnectionBackend(this); }
    ~FakeConnectionBackend() override { SetConnectionBackend(previous_); }

    bool ListConnections(QList<Handle>& handles) override {
        ++listCalls;
        handles = listSucceeds ? connections : QList<Handle>{};
        return listSucceeds;
    }
    bool IsConnected(Handle handle) override {
        stateQueries << handle;
        return connected.contains(handle);
    }
    void HangUp(Handle handle) override { hungUp << handle; }
    ModemLinks MachineModemLinks() override { return modemLinks; }

    int calls() const { return listCalls + int(stateQueries.size() + hungUp.size()); }
    // One connection, up or down.
    void setLine(bool up) {
        connections = {7};
        connected = up ? QSet<Handle>{7} : QSet<Handle>{};
    }

    ModemLinks modemLinks = ModemLinks::Present;
    bool listSucceeds = true;
    QList<Handle> connections;
    QSet<Handle> connected;
    int listCalls = 0;
    QList<Handle> stateQueries;
    QList<Handle> hungUp;

private:
    ConnectionBackend* previous_;
};

} // namespace vetorlan::test
