#include "platform/linux/NetworkManagerBackend.h"
#include "core/Settings.h"
#include "net/Connection.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QElapsedTimer>
#include <QMutex>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <memory>

// A saved profile's settings as NetworkManager gives them: a{sa{sv}}.
using ProfileSettings = QMap<QString, QVariantMap>;

namespace vetorlan::test {
namespace {

const QString kNmService = QStringLiteral("org.freedesktop.NetworkManager");

class FakeActiveConnection : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.NetworkManager.Connection.Active")
    Q_PROPERTY(QString Type READ type)
    Q_PROPERTY(uint State READ state)
public:
    FakeActiveConnection(const QString& type, uint state, QObject* parent)
        : QObject(parent), type_(type), state_(state) {}
    QString type() const { return type_; }
    uint state() const { return state_; }

private:
    QString type_;
    uint state_;
};

class FakeProfile : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.NetworkManager.Settings.Connection")
public:
    FakeProfile(const ProfileSettings& settings, QObject* parent) : QObject(parent), settings_(settings) {}
public slots:
    ProfileSettings GetSettings() const { return settings_; }

private:
    ProfileSettings settings_;
};

class FakeProfiles : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.NetworkManager.Settings")
public:
    using QObject::QObject;
    QList<QDBusObjectPath> paths;
public slots:
    QList<QDBusObjectPath> ListConnections() const { return paths; }
};

// The part of NetworkManager the backend talks to; lives in its own thread because the
// backend's calls block the main thread until they are answered.
class FakeNetworkManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.NetworkManager")
    Q_PROPERTY(QList<QDBusObjectPath> ActiveConnections READ activeConnections)
public:
    QList<QDBusObjectPath> activeConnections() const { return active_; }
    void add(const QString& path) { active_ << QDBusObjectPath(path); }
    QStringList deactivated() const {
        QMutexLocker lock(&mutex_);
        return deactivated_;
    }
public slots:
    void DeactivateConnection(const QDBusObjectPath& path) {
        QMutexLocker lock(&mutex_);
        deactivated_ << path.path();
        active_.removeAll(path); // a hung-up connection is no longer active
    }

private:
    QList<QDBusObjectPath> active_;
    mutable QMutex mutex_;
    QStringList deactivated_;
};

struct Active {
    const char* type;
    uint state;
};

// A saved profile: its connection type and, for Bluetooth, its kind ("dun" or "panu").
struct Profile {
    const char* type;
    const char* bluetooth = nullptr;
};

class NetworkManagerBackendTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        busDir = new QTemporaryDir;
        daemon = new QProcess;
        daemon->start("dbus-daemon",
                      {"--session", "--nofork", "--print-address", "--address=unix:path=" + busDir->filePath("bus")});
        ASSERT_TRUE(daemon->waitForStarted(5000)) << "dbus-daemon (package dbus) is needed";
        while (!daemon->canReadLine() && daemon->waitForReadyRead(5000)) {
        }
        address = QString::fromUtf8(daemon->readLine()).trimmed();
        qDBusRegisterMetaType<ProfileSettings>();
    }
    static void TearDownTestSuite() {
        daemon->terminate();
        daemon->waitForFinished(5000);
        delete daemon;
        delete busDir;
    }

    void SetUp() override {
        ASSERT_FALSE(address.isEmpty());
        service_ = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(address, "nm-service"));
        client_ = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(address, "nm-client"));
        ASSERT_TRUE(service_->isConnected() && client_->isConnected());
        thread_.start();
    }
    void TearDown() override {
        service_->unregisterService(kNmService);
        if (manager_)
            manager_->deleteLater(); // with its connection objects, in their own thread
        thread_.quit();
        thread_.wait();
        service_.reset();
        client_.reset();
        QDBusConnection::disconnectFromBus("nm-service");
        QDBusConnection::disconnectFromBus("nm-client");
    }

    void Publish(std::initializer_list<Active> connections, std::initializer_list<Profile> profiles = {}) {
        manager_ = new FakeNetworkManager;
        const auto exports = QDBusConnection::ExportAllProperties | QDBusConnection::ExportAllSlots;
        int n = 0;
        for (const Active& c : connections) {
            const QString path = QString("/org/freedesktop/NetworkManager/ActiveConnection/%1").arg(++n);
            ASSERT_TRUE(service_->registerObject(path, new FakeActiveConnection(c.type, c.state, manager_), exports));
            manager_->add(path);
        }
        if (profiles.size() > 0) {
            auto* saved = new FakeProfiles(manager_);
            for (const Profile& p : profiles) {
                const QString path = QString("/org/freedesktop/NetworkManager/Settings/%1").arg(++n);
                ProfileSettings settings{{"connection", {{"type", p.type}, {"id", "mine"}}}};
                if (p.bluetooth)
                    settings["bluetooth"] = QVariantMap{{"type", p.bluetooth}};
                ASSERT_TRUE(service_->registerObject(path, new FakeProfile(settings, manager_), exports));
                saved->paths << QDBusObjectPath(path);
            }
            ASSERT_TRUE(service_->registerObject("/org/freedesktop/NetworkManager/Settings", saved, exports));
        }
        manager_->moveToThread(&thread_);
        ASSERT_TRUE(service_->registerObject("/org/freedesktop/NetworkManager", manager_, exports));
        ASSERT_TRUE(service_->registerService(kNmService));
    }

    static inline QTemporaryDir* busDir = nullptr;
    static inline QProcess* daemon = nullptr;
    static inline QString address;
    std::unique_ptr<QDBusConnection> service_, client_;
    QThread thread_;
    FakeNetworkManager* manager_ = nullptr;
};

TEST_F(NetworkManagerBackendTest, ModemConnectionsAreListedReadAndHungUp) {
    Publish({{"802-3-ethernet", 2}, {"gsm", 1}, {"802-11-wireless", 2}, {"pppoe", 2}, {"vpn", 2}});
    NetworkManagerBackend backend(*client_, 2000);
    QList<ConnectionBackend::Handle> handles;
    ASSERT_TRUE(backend.ListConnections(handles));
    ASSERT_EQ(handles.size(), 2);
    EXPECT_FALSE(backend.IsConnected(handles[0])); // still activating
    EXPECT_TRUE(backend.IsConnected(handles[1]));
    EXPECT_FALSE(backend.IsConnected(99));

    QList<ConnectionBackend::Handle> again;
    ASSERT_TRUE(backend.ListConnections(again));
    EXPECT_EQ(again, handles); // a connection keeps its handle

    const Settings saved = AppSettings();
    AppSettings().WorkMode = "DialUp";
    SetConnectionBackend(&backend);
    EXPECT_FALSE(IsOnline(AppSettings())); // the first modem connection decides
    HangUpAll();
    SetConnectionBackend(nullptr);
    AppSettings() = saved;
    EXPECT_EQ(manager_->deactivated(), (QStringList{"/org/freedesktop/NetworkManager/ActiveConnection/2",
                                                    "/org/freedesktop/NetworkManager/ActiveConnection/4"}));

    // Gone connections leave the listing, and their old handles name nothing.
    ASSERT_TRUE(backend.ListConnections(again));
    EXPECT_TRUE(again.isEmpty());
    EXPECT_FALSE(backend.IsConnected(handles[1]));
}

TEST_F(NetworkManagerBackendTest, ConnectedModemMakesTheLineUp) {
    Publish({{"cdma", 2}, {"bluetooth", 1}});
    NetworkManagerBackend backend(*client_, 2000);
    QList<ConnectionBackend::Handle> handles;
    ASSERT_TRUE(backend.ListConnections(handles));
    ASSERT_EQ(handles.size(), 2);
    EXPECT_TRUE(backend.IsConnected(handles[0]));
    EXPECT_FALSE(backend.IsConnected(handles[1]));
}

// Only modem-type profiles make a modem link: Ethernet, Wi-Fi and a Bluetooth personal network
// do not, Bluetooth dial-up networking does.
TEST_F(NetworkManagerBackendTest, WiFiAndEthernetMakeNoModemLink) {
    Publish({{"802-11-wireless", 2}}, {{"802-3-ethernet"}, {"802-11-wireless"}, {"bluetooth", "panu"}});
    NetworkManagerBackend backend(*client_, 2000);
    EXPECT_EQ(backend.MachineModemLinks(), ConnectionBackend::ModemLinks::None);
}

TEST_F(NetworkManagerBackendTest, ASavedDialUpProfileIsAModemLinkWhileDown) {
    Publish({{"802-3-ethernet", 2}}, {{"802-3-ethernet"}, {"bluetooth", "dun"}});
    NetworkManagerBackend backend(*client_, 2000);
    EXPECT_EQ(backend.MachineModemLinks(), ConnectionBackend::ModemLinks::Present);
}

TEST_F(NetworkManagerBackendTest, AbsentServiceAnswersAtOnce) {
    NetworkManagerBackend backend(*client_);
    EXPECT_EQ(backend.MachineModemLinks(), ConnectionBackend::ModemLinks::Unknown);
    QList<ConnectionBackend::Handle> handles{1};
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(backend.ListConnections(handles));
    const qint64 first = clock.elapsed();
    for (int i = 0; i < 1000; ++i)
        backend.ListConnections(handles);
    EXPECT_TRUE(handles.isEmpty());
    EXPECT_LT(first, 250);
    EXPECT_LT(clock.elapsed(), 250); // not asked again before the recheck period

    NetworkManagerBackend noBus(QDBusConnection::connectToBus("unix:path=/nonexistent/bus", "no-bus"));
    EXPECT_FALSE(noBus.ListConnections(handles));
    noBus.HangUp(0);
    QDBusConnection::disconnectFromBus("no-bus");
}

TEST_F(NetworkManagerBackendTest, ServiceStartedLaterOrStoppedIsNoticed) {
    NetworkManagerBackend backend(*client_, 2000, 200);
    QList<ConnectionBackend::Handle> handles;
    EXPECT_FALSE(backend.ListConnections(handles)); // the program started before NetworkManager
    Publish({{"gsm", 2}});
    QThread::msleep(300);
    ASSERT_TRUE(backend.ListConnections(handles));
    ASSERT_EQ(handles.size(), 1);
    EXPECT_TRUE(backend.IsConnected(handles[0]));
    service_->unregisterService(kNmService);
    EXPECT_FALSE(backend.IsConnected(handles[0]));
    EXPECT_FALSE(backend.ListConnections(handles));
    EXPECT_TRUE(handles.isEmpty());
}

TEST_F(NetworkManagerBackendTest, DialUpTypes) {
    for (const char* type : {"gsm", "cdma", "pppoe", "bluetooth", "adsl"})
        EXPECT_TRUE(NetworkManagerBackend::IsDialUpType(type)) << type;
    for (const char* type : {"802-3-ethernet", "802-11-wireless", "vpn", "wireguard", "loopback", "", "GSM"})
        EXPECT_FALSE(NetworkManagerBackend::IsDialUpType(type)) << type;
}

} // namespace
} // namespace vetorlan::test

#include "NetworkManagerBackendTest.moc"
