#include "net/Connection.h"

#include "core/Settings.h"
#include "core/SystemFacts.h"
#include "net/ConnectionBackend.h"

#include <QDir>
#include <QFile>

namespace vetorlan {

namespace {

QString& InterfaceFolder() {
    static QString folder = NetworkInterfaceFolder();
    return folder;
}

// Whether the interface is up (IFF_UP in its "flags", e.g. "0x10d1") and its link works:
// "operstate" is "up", or "unknown" as point-to-point interfaces without a carrier report it.
bool InterfaceUp(const QString& interfaceFolder) {
    QFile flagsFile(interfaceFolder + QStringLiteral("/flags"));
    QFile stateFile(interfaceFolder + QStringLiteral("/operstate"));
    if (!flagsFile.open(QIODevice::ReadOnly) || !stateFile.open(QIODevice::ReadOnly))
        return false;
    bool ok = false;
    const unsigned flags = flagsFile.readLine(32).trimmed().toUInt(&ok, 16);
    const QByteArray state = stateFile.readLine(32).trimmed();
    constexpr unsigned kUp = 0x1; // IFF_UP
    return ok && (flags & kUp) && (state == "up" || state == "unknown");
}

bool ServiceConnectionUp() {
    ConnectionBackend* backend = CurrentConnectionBackend();
    QList<ConnectionBackend::Handle> handles;
    // Only the first listed connection decides; a failed listing shows as offline.
    if (!backend->ListConnections(handles) || handles.isEmpty())
        return false;
    return backend->IsConnected(handles.first());
}

} // namespace

bool AnyPppInterfaceUp(const QString& folder) {
    if (folder.isEmpty())
        return false;
    const QDir interfaces(folder);
    for (const QString& name : interfaces.entryList({QStringLiteral("ppp*")}, QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (InterfaceUp(interfaces.filePath(name)))
            return true;
    }
    return false;
}

void SetNetworkInterfaceFolder(const QString& folder) {
    InterfaceFolder() = folder;
}

bool MachineHasModemLink() {
    if (AnyPppInterfaceUp(InterfaceFolder()))
        return true;
    ConnectionBackend* backend = CurrentConnectionBackend();
    return backend && backend->MachineModemLinks() == ConnectionBackend::ModemLinks::Present;
}

bool WorksAsDialUp(const Settings& settings) {
    return IsDialUp(settings) && MachineHasModemLink();
}

bool IsOnline(const Settings& settings) {
    if (!IsDialUp(settings) || AnyPppInterfaceUp(InterfaceFolder()))
        return true;
    // Without a modem-type link the line counts as permanent.
    ConnectionBackend* backend = CurrentConnectionBackend();
    if (!backend || backend->MachineModemLinks() != ConnectionBackend::ModemLinks::Present)
        return true;
    return ServiceConnectionUp();
}

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
