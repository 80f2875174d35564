#pragma once

#include "net/ConnectionBackend.h"

#include <QDBusConnection>
#include <QElapsedTimer>
#include <QHash>
#include <QStringList>
#include <QVariant>
#include <optional>

namespace vetorlan {

// The dial-up connections as NetworkManager knows them: its active connections of a
// modem-like type (mobile broadband, PPPoE, Bluetooth DUN, ADSL). "Connected" is the
// ACTIVATED state; hanging up deactivates the connection. Without NetworkManager or a
// system bus there are no connections, and the machine's modem-type links are unknown. IsOnline asks four times a
// second on the UI thread, so every call has a short timeout and an absent service is not asked again for a few
// seconds. The system bus is connected at the first query, not at start, so a program that never dials up has no D-Bus
// connection or thread.
class NetworkManagerBackend : public ConnectionBackend {
public:
    // The system bus, connected when first needed.
    NetworkManagerBackend();
    // Any bus (tests use a private one); `callTimeoutMs` bounds each property read, and an
    // absent service is asked again after `serviceRecheckMs`.
    explicit NetworkManagerBackend(const QDBusConnection& bus, int callTimeoutMs = kCallTimeoutMs,
                                   int serviceRecheckMs = kServiceRecheckMs);

    bool ListConnections(QList<Handle>& handles) override;
    bool IsConnected(Handle handle) override;
    void HangUp(Handle handle) override;
    // Present when a modem-type connection is active or saved as a profile; read again after
    // `serviceRecheckMs`.
    ModemLinks MachineModemLinks() override;

    // Whether an active connection of this NetworkManager type counts as dial-up.
    static bool IsDialUpType(const QString& type);

    // The default bound on each property read.
    static constexpr int kCallTimeoutMs = 150;
    // How long an absent or unresponsive service is left alone before it is asked again.
    static constexpr int kServiceRecheckMs = 5000;

private:
    QDBusConnection& Bus();
    bool ServiceAvailable();
    void MarkServiceLost();
    std::optional<QVariant> Property(const QString& path, const QString& interface, const QString& name);
    std::optional<QStringList> ActiveConnectionPaths();
    bool IsDialUpConnection(const QString& path);
    ModemLinks ReadModemLinks();
    std::optional<QStringList> SavedProfilePaths();
    bool IsModemProfile(const QString& path);
    Handle HandleFor(const QString& path);
    QString PathFor(Handle handle) const;

    std::optional<QDBusConnection> bus_;
    int callTimeoutMs_;
    int serviceRecheckMs_;
    // Handles of the connections seen active at the last listing; a handle is never reused,
    // so one of a connection that has gone names nothing.
    QHash<Handle, QString> paths_;
    Handle nextHandle_ = 0;
    // The type of an active connection never changes; it is read once per path.
    QHash<QString, QString> types_;
    // Whether each saved profile is of a modem type, read once per path.
    QHash<QString, bool> modemProfiles_;
    ModemLinks modemLinks_ = ModemLinks::Unknown;
    bool modemLinksChecked_ = false;
    QElapsedTimer sinceModemLinksCheck_;
    bool serviceUp_ = false;
    bool serviceChecked_ = false;
    QElapsedTimer sinceServiceCheck_;
};

} // namespace vetorlan
