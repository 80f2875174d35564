#include "net/Connection.h"
#include "core/Settings.h"
#include "tests/net/FakeConnectionBackend.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vetorlan::test {
namespace {

class ConnectionTest : public ::testing::Test {
protected:
    // No network interfaces unless a test lists some: the machine's own never decide.
    ConnectionTest() { SetNetworkInterfaceFolder(interfaces_.path()); }
    ~ConnectionTest() override {
        AppSettings() = saved_;
        SetNetworkInterfaceFolder(QStringLiteral("/sys/class/net"));
    }
    // One interface as the kernel lists it: its "flags" and "operstate" files.
    void AddInterface(const QString& name, const QByteArray& flags, const QByteArray& state) {
        ASSERT_TRUE(QDir(interfaces_.path()).mkpath(name));
        for (const auto& [file, text] : {std::pair{"flags", flags}, std::pair{"operstate", state}}) {
            QFile f(interfaces_.filePath(name + "/" + file));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(text + "\n");
        }
    }
    Settings saved_ = AppSettings();
    QTemporaryDir interfaces_;
};

struct OnlineRow {
    const char* name;
    const char* workMode;
    bool listSucceeds;
    QList<ConnectionBackend::Handle> connections, connected;
    bool online;
    int calls;
};

TEST_F(ConnectionTest, OnlyTheFirstListedConnectionDecides) {
    const OnlineRow rows[] = {
        {"direct line asks nothing", "DirectConn", true, {1}, {}, true, 0},
        {"any other mode text is a direct line", "dialup", false, {}, {}, true, 0},
        {"no connection", "DialUp", true, {}, {}, false, 1},
        {"one connected", "DialUp", true, {1}, {1}, true, 2},
        {"listed but not connected", "DialUp", true, {1}, {}, false, 2},
        {"only the second connected", "DialUp", true, {1, 2}, {2}, false, 2},
        {"only the first connected", "DialUp", true, {1, 2}, {1}, true, 2},
        {"listing failed", "DialUp", false, {1}, {1}, false, 1},
    };
    for (const OnlineRow& row : rows) {
        SCOPED_TRACE(row.name);
        FakeConnectionBackend backend;
        backend.listSucceeds = row.listSucceeds;
        backend.connections = row.connections;
        backend.connected = QSet<ConnectionBackend::Handle>(row.connected.begin(), row.connected.end());
        AppSettings().WorkMode = row.workMode;
        EXPECT_EQ(IsOnline(AppSettings()), row.online);
        EXPECT_EQ(backend.calls(), row.calls);
        if (!backend.stateQueries.isEmpty()) {
            EXPECT_EQ(backend.stateQueries, QList<ConnectionBackend::Handle>{row.connections.first()});
        }
    }
}

// "DialUp" on a machine without a modem-type link, or whose links cannot be read, works as a
// permanent line: online without asking for a connection, and nothing to hang up.
TEST_F(ConnectionTest, WithoutAModemLinkDialUpWorksAsAPermanentLine) {
    AppSettings().WorkMode = "DialUp";
    ASSERT_EQ(CurrentConnectionBackend(), nullptr);
    EXPECT_FALSE(WorksAsDialUp(AppSettings())) << "no dial-up service";
    EXPECT_TRUE(IsOnline(AppSettings()));
    HangUpAll(); // nothing to hang up, no crash
    FakeConnectionBackend backend;
    for (auto links : {ConnectionBackend::ModemLinks::None, ConnectionBackend::ModemLinks::Unknown}) {
        backend.modemLinks = links;
        EXPECT_FALSE(WorksAsDialUp(AppSettings()));
        EXPECT_TRUE(IsOnline(AppSettings()));
    }
    EXPECT_TRUE(backend.stateQueries.isEmpty());
    backend.modemLinks = ConnectionBackend::ModemLinks::Present;
    EXPECT_TRUE(WorksAsDialUp(AppSettings()));
    EXPECT_FALSE(IsOnline(AppSettings())) << "a modem that is not connected";
}

TEST_F(ConnectionTest, AnUpPppInterfaceIsADialUpLineOnline) {
    AppSettings().WorkMode = "DialUp";
    FakeConnectionBackend backend; // the dial-up service knows nothing of pppd's link
    backend.modemLinks = ConnectionBackend::ModemLinks::None;
    AddInterface("eth0", "0x1003", "up");
    AddInterface("ppp1", "0x1090", "down"); // pppd still dialling: the interface is down
    AddInterface("ppp2", "garbage", "unknown");
    EXPECT_FALSE(WorksAsDialUp(AppSettings())) << "no ppp link up";

    AddInterface("ppp0", "0x10d1", "unknown"); // pppd's link up, as the kernel reports it
    EXPECT_TRUE(WorksAsDialUp(AppSettings()));
    EXPECT_TRUE(IsOnline(AppSettings()));
    HangUpAll(); // hanging up stays the service's: nothing listed, nothing hung up
    EXPECT_TRUE(backend.hungUp.isEmpty());

    backend.modemLinks = ConnectionBackend::ModemLinks::Present;
    SetNetworkInterfaceFolder(interfaces_.filePath("missing"));
    EXPECT_FALSE(IsOnline(AppSettings()));
}

TEST_F(ConnectionTest, HangUpAllHangsUpEveryListedConnectionInOrder) {
    FakeConnectionBackend backend;
    backend.connections = {5, 3};
    HangUpAll();
    EXPECT_EQ(backend.hungUp, (QList<ConnectionBackend::Handle>{5, 3}));
    EXPECT_TRUE(backend.stateQueries.isEmpty()); // connected or not, each is hung up

    backend.hungUp.clear();
    backend.listSucceeds = false;
    HangUpAll();
    EXPECT_TRUE(backend.hungUp.isEmpty());
}

} // namespace
} // namespace vetorlan::test
