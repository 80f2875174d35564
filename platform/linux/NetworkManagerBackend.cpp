#include "platform/linux/NetworkManagerBackend.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>

namespace vetorlan {

namespace {

const QString kService = QStringLiteral("org.freedesktop.NetworkManager");
const QString kManagerPath = QStringLiteral("/org/freedesktop/NetworkManager");
const QString kManagerInterface = QStringLiteral("org.freedesktop.NetworkManager");
const QString kActiveInterface = QStringLiteral("org.freedesktop.NetworkManager.Connection.Active");
const QString kSettingsPath = QStringLiteral("/org/freedesktop/NetworkManager/Settings");
const QString kSettingsInterface = QStringLiteral("org.freedesktop.NetworkManager.Settings");
const QString kProfileInterface = QStringLiteral("org.freedesktop.NetworkManager.Settings.Connection");
const QString kPropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");
constexpr unsigned kStateActivated = 2; // NM_ACTIVE_CONNECTION_STATE_ACTIVATED
constexpr int kHangUpTimeoutMs = 1000;

QStringList ObjectPaths(const QVariant& value) {
    QList<QDBusObjectPath> list;
    if (value.canConvert<QDBusArgument>())
        value.value<QDBusArgument>() >> list;
    else
        list = value.value<QList<QDBusObjectPath>>();
    QStringList paths;
    for (const QDBusObjectPath& path : list)
        paths << path.path();
    return paths;
}

// The connection type of a profile's settings (a{sa{sv}}); a Bluetooth profile gives its own
// kind, "dun" (dial-up networking) or "panu" (a personal network).
QString ProfileType(const QDBusArgument& settings) {
    QString type, bluetooth;
    settings.beginMap();
    while (!settings.atEnd()) {
        QString group;
        QVariantMap values;
        settings.beginMapEntry();
        settings >> group >> values;
        settings.endMapEntry();
        if (group == QLatin1String("connection"))
            type = values.value(QStringLiteral("type")).toString();
        else if (group == QLatin1String("bluetooth"))
            bluetooth = values.value(QStringLiteral("type")).toString();
    }
    settings.endMap();
    return type == QLatin1String("bluetooth") ? bluetooth : type;
}

} // namespace

NetworkManagerBackend::NetworkManagerBackend() : callTimeoutMs_(kCallTimeoutMs), serviceRecheckMs_(kServiceRecheckMs) {}

NetworkManagerBackend::NetworkManagerBackend(const QDBusConnection& bus, int callTimeoutMs, int serviceRecheckMs)
    : bus_(bus), callTimeoutMs_(callTimeoutMs), serviceRecheckMs_(serviceRecheckMs) {}

QDBusConnection& NetworkManagerBackend::Bus() {
    if (!bus_)
        bus_ = QDBusConnection::systemBus();
    return *bus_;
}

bool NetworkManagerBackend::IsDialUpType(const QString& type) {
    // Mobile broadband, PPPoE, Bluetooth dial-up networking and ADSL.
    static const QStringList dialUp = {QStringLiteral("gsm"), QStringLiteral("cdma"), QStringLiteral("pppoe"),
                                       QStringLiteral("bluetooth"), QStringLiteral("adsl")};
    return dialUp.contains(type);
}

bool NetworkManagerBackend::ServiceAvailable() {
    if (!Bus().isConnected())
        return false;
    if (serviceChecked_ && (serviceUp_ || sinceServiceCheck_.elapsed() < serviceRecheckMs_))
        return serviceUp_;
    // NameHasOwner with our own short timeout: the bus daemon is not asked with the
    // default timeout of 25 seconds.
    QDBusMessage ask =
        QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                                       QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"));
    ask << kService;
    const QDBusMessage reply = Bus().call(ask, QDBus::Block, callTimeoutMs_);
    serviceUp_ = reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
                 reply.arguments().first().toBool();
    serviceChecked_ = true;
    sinceServiceCheck_.start();
    return serviceUp_;
}

void NetworkManagerBackend::MarkServiceLost() {
    serviceUp_ = false;
    serviceChecked_ = true;
    sinceServiceCheck_.start();
}

std::optional<QVariant> NetworkManagerBackend::Property(const QString& path, const QString& interface,
                                                        const QString& name) {
    QDBusMessage get = QDBusMessage::createMethodCall(kService, path, kPropertiesInterface, QStringLiteral("Get"));
    get << interface << name;
    const QDBusMessage reply = Bus().call(get, QDBus::Block, callTimeoutMs_);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        // A vanished or hanging service is left alone for a while; an unknown object
        // (a connection that just went away) is an ordinary answer.
        const QString error = reply.errorName();
        if (error != QLatin1String("org.freedesktop.DBus.Error.UnknownObject") &&
            error != QLatin1String("org.freedesktop.DBus.Error.UnknownMethod"))
            MarkServiceLost();
        return std::nullopt;
    }
    return reply.arguments().first().value<QDBusVariant>().variant();
}

std::optional<QStringList> NetworkManagerBackend::ActiveConnectionPaths() {
    const std::optional<QVariant> value =
        Property(kManagerPath, kManagerInterface, QStringLiteral("ActiveConnections"));
    if (!value)
        return std::nullopt;
    return ObjectPaths(*value);
}

bool NetworkManagerBackend::IsDialUpConnection(const QString& path) {
    auto known = types_.constFind(path);
    if (known != types_.constEnd())
        return IsDialUpType(*known);
    const std::optional<QVariant> type = Property(path, kActiveInterface, QStringLiteral("Type"));
    if (!type)
        return false;
    types_.insert(path, type->toString());
    return IsDialUpType(type->toString());
}

ConnectionBackend::Handle NetworkManagerBackend::HandleFor(const QString& path) {
    for (auto it = paths_.cbegin(); it != paths_.cend(); ++it)
        if (it.value() == path)
            return it.key();
    paths_.insert(nextHandle_, path);
    return nextHandle_++;
}

QString NetworkManagerBackend::PathFor(Handle handle) const {
    return paths_.value(handle);
}

bool NetworkManagerBackend::ListConnections(QList<Handle>& handles) {
    handles.clear();
    if (!ServiceAvailable())
        return false;
    const std::optional<QStringList> active = ActiveConnectionPaths();
    if (!active)
        return false;
    // Forget the types of connections that are gone; their paths are never reused.
    for (auto it = types_.begin(); it != types_.end();)
        it = active->contains(it.key()) ? std::next(it) : types_.erase(it);
    for (auto it = paths_.begin(); it != paths_.end();)
        it = active->contains(it.value()) ? std::next(it) : paths_.erase(it);
    for (const QString& path : *active) {
        if (IsDialUpConnection(path))
            handles.append(HandleFor(path));
    }
    return true;
}

bool NetworkManagerBackend::IsConnected(Handle handle) {
    const QString path = PathFor(handle);
    if (path.isEmpty() || !ServiceAvailable())
        return false;
    const std::optional<QVariant> state = Property(path, kActiveInterface, QStringLiteral("State"));
    return state && state->toUInt() == kStateActivated;
}

ConnectionBackend::ModemLinks NetworkManagerBackend::MachineModemLinks() {
    if (modemLinksChecked_ && sinceModemLinksCheck_.elapsed() < serviceRecheckMs_)
        return modemLinks_;
    modemLinks_ = ReadModemLinks();
    modemLinksChecked_ = true;
    sinceModemLinksCheck_.start();
    return modemLinks_;
}

ConnectionBackend::ModemLinks NetworkManagerBackend::ReadModemLinks() {
    QList<Handle> active;
    if (!ListConnections(active))
        return ModemLinks::Unknown;
    if (!active.isEmpty())
        return ModemLinks::Present;
    const std::optional<QStringList> profiles = SavedProfilePaths();
    if (!profiles)
        return ModemLinks::Unknown;
    for (auto it = modemProfiles_.begin(); it != modemProfiles_.end();)
        it = profiles->contains(it.key()) ? std::next(it) : modemProfiles_.erase(it);
    for (const QString& path : *profiles) {
        if (IsModemProfile(path))
            return ModemLinks::Present;
    }
    return ModemLinks::None;
}

std::optional<QStringList> NetworkManagerBackend::SavedProfilePaths() {
    const QDBusMessage list =
        QDBusMessage::createMethodCall(kService, kSettingsPath, kSettingsInterface, QStringLiteral("ListConnections"));
    const QDBusMessage reply = Bus().call(list, QDBus::Block, callTimeoutMs_);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return std::nullopt;
    return ObjectPaths(reply.arguments().first());
}

// A profile that cannot be read (another user's) is not counted.
bool NetworkManagerBackend::IsModemProfile(const QString& path) {
    auto known = modemProfiles_.constFind(path);
    if (known != modemProfiles_.constEnd())
        return *known;
    const QDBusMessage get =
        QDBusMessage::createMethodCall(kService, path, kProfileInterface, QStringLiteral("GetSettings"));
    const QDBusMessage reply = Bus().call(get, QDBus::Block, callTimeoutMs_);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty() ||
        !reply.arguments().first().canConvert<QDBusArgument>())
        return false;
    const QString type = ProfileType(reply.arguments().first().value<QDBusArgument>());
    const bool modem = type == QLatin1String("dun") || IsDialUpType(type);
    modemProfiles_.insert(path, modem);
    return modem;
}

void NetworkManagerBackend::HangUp(Handle handle) {
    const QString path = PathFor(handle);
    if (path.isEmpty() || !ServiceAvailable())
        return;
    QDBusMessage deactivate = QDBusMessage::createMethodCall(kService, kManagerPath, kManagerInterface,
                                                             QStringLiteral("DeactivateConnection"));
    deactivate << QVariant::fromValue(QDBusObjectPath(path));
    Bus().call(deactivate, QDBus::Block, kHangUpTimeoutMs); // the answer is not acted on
}

} // namespace vetorlan
