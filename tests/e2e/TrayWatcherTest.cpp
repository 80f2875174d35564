// The built program on a virtual X display with a private session bus whose stand-in
// StatusNotifierWatcher records registrations: the program's tray icon registers there, and
// the item's title, tooltip and menu are the program's, and after a load from the live sources'
// stand-in its icon shows the temperature. Skipped when Xvfb or dbus-daemon is missing.
#include "core/Settings.h"
#include "tests/e2e/VirtualDisplay.h"
#include "tools/live-stand-in/LiveStandIn.h"
#include "towns/TownLists.h"
#include "ui/TrayIcon.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vetorlan::test {

// Answers as a desktop's notification area does and keeps the senders of registered items.
class StandInWatcher : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ HostRegistered)
    Q_PROPERTY(int ProtocolVersion READ ProtocolVersion)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ Items)
public:
    bool HostRegistered() const { return true; }
    int ProtocolVersion() const { return 0; }
    QStringList Items() const { return items; }
    QStringList items, senders;

public slots:
    void RegisterStatusNotifierItem(const QString& item) {
        items << item;
        senders << message().service();
    }
    void RegisterStatusNotifierHost(const QString&) {}
};

namespace {

constexpr int kWaitMs = kDisplayWaitMs;

// Starts dbus-daemon and returns the bus address it prints.
QString StartBus(QProcess& bus) {
    bus.start(QStandardPaths::findExecutable("dbus-daemon"), {"--session", "--nofork", "--print-address"});
    if (!bus.waitForStarted(5000))
        return QString();
    while (!bus.canReadLine() && bus.waitForReadyRead(kWaitMs)) {
    }
    return QString::fromUtf8(bus.readLine()).trimmed();
}

// The title of a StatusNotifierItem tooltip: (icon name, icon pixmaps, title, description).
QString ToolTipTitle(const QDBusArgument& tip) {
    QString iconName, title, description;
    tip.beginStructure();
    tip >> iconName;
    tip.beginArray();
    while (!tip.atEnd()) {
        int width = 0, height = 0;
        QByteArray pixels;
        tip.beginStructure();
        tip >> width >> height >> pixels;
        tip.endStructure();
    }
    tip.endArray();
    tip >> title >> description;
    tip.endStructure();
    return title;
}

// The pixels of every size of a StatusNotifierItem's IconPixmap, one after the other.
QByteArray IconPixels(const QVariant& property) {
    QByteArray all;
    if (!property.canConvert<QDBusArgument>())
        return all;
    const QDBusArgument icon = property.value<QDBusArgument>();
    icon.beginArray();
    while (!icon.atEnd()) {
        int width = 0, height = 0;
        QByteArray pixels;
        icon.beginStructure();
        icon >> width >> height >> pixels;
        icon.endStructure();
        all += QByteArray::number(width) + 'x' + QByteArray::number(height) + pixels;
    }
    icon.endArray();
    return all;
}

class TrayWatcherTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!VirtualDisplay::Available() || QStandardPaths::findExecutable("dbus-daemon").isEmpty())
            GTEST_SKIP() << "Xvfb or dbus-daemon is not installed";
        ASSERT_TRUE(display_.Start()) << display_.Log().toStdString();
        address_ = StartBus(bus_);
        ASSERT_FALSE(address_.isEmpty()) << "dbus-daemon did not report its address";
        connection_ = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(address_, "watcher"));
        ASSERT_TRUE(connection_->isConnected());
        ASSERT_TRUE(connection_->registerService("org.kde.StatusNotifierWatcher"));
        ASSERT_TRUE(
            connection_->registerObject("/StatusNotifierWatcher", &watcher_,
                                        QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties));
    }
    void TearDown() override {
        StopProcess(program_);
        if (connection_)
            QDBusConnection::disconnectFromBus("watcher");
        StopProcess(bus_);
    }

    // `live`: the live sources' stand-in serves, Moscow is the chosen town and the first
    // scheduled tick loads it; otherwise every service is a closed port.
    void StartProgramInTray(const standin::LiveStandIn* live = nullptr) {
        ASSERT_TRUE(QFile::exists(folder_.filePath("nimbora")) ||
                    QFile::copy(NIMBORA_BINARY, folder_.filePath("nimbora")));
        Write("gorod.ini", FormatGorodIni({1, 22}));
        Settings s;
        s.AutoRun = "False";
        s.StartTray = "True";
        s.WorkMode = "DirectConn";
        s.CheckActual = "False";
        s.Sound = "False";
        s.MSGError = "False";
        s.ShellLoad = "False";
        Write("Options.ini", SerializeSettings(s));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("QT_QPA_PLATFORMTHEME");
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("DISPLAY", display_.Name());
        env.insert("DBUS_SESSION_BUS_ADDRESS", address_);
        env.insert("XDG_CONFIG_HOME", folder_.filePath("config"));
        env.insert("XDG_CACHE_HOME", folder_.filePath("cache"));
        env.insert("VETORLAN_SERVICE_URL", live ? "" : "http://127.0.0.1:9");
        if (live) {
            env.insert("VETORLAN_METNO_URL", QString::fromStdString(live->metNorwayBase()));
            env.insert("VETORLAN_OPENMETEO_URL", QString::fromStdString(live->openMeteoBase()));
        }
        program_.setProcessEnvironment(env);
        LogOutputTo(program_, folder_.filePath("output.log"));
        program_.start(folder_.filePath("nimbora"), {});
        ASSERT_TRUE(program_.waitForStarted(10000));
    }
    void Write(const QString& name, const QByteArray& contents) {
        QFile file(folder_.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }
    void WaitForItem() {
        QElapsedTimer clock;
        clock.start();
        while (watcher_.items.isEmpty() && clock.elapsed() < kWaitMs && program_.state() == QProcess::Running)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        ASSERT_EQ(watcher_.items.size(), 1) << Why();
    }
    QString ToolTip() const {
        const QVariant tip = ItemProperty("ToolTip");
        return tip.canConvert<QDBusArgument>() ? ToolTipTitle(tip.value<QDBusArgument>()) : QString();
    }
    // The tooltip once the load has ended (it then names the forecast file's time).
    QString ToolTipAfterLoad() {
        QElapsedTimer clock;
        clock.start();
        QString tip;
        while (!(tip = ToolTip()).contains(u"был загружен"_qs) && clock.elapsed() < 60000 &&
               program_.state() == QProcess::Running)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 200);
        return tip;
    }
    QVariant ItemProperty(const QString& name) const {
        QDBusMessage get = QDBusMessage::createMethodCall(watcher_.senders.first(), "/StatusNotifierItem",
                                                          "org.freedesktop.DBus.Properties", "Get");
        get.setArguments({"org.kde.StatusNotifierItem", name});
        // The program may itself be asking the watcher meanwhile: keep answering while waiting.
        QDBusPendingCall pending = connection_->asyncCall(get, kWaitMs);
        while (!pending.isFinished())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        const QDBusMessage reply = pending.reply();
        return reply.arguments().isEmpty() ? QVariant() : reply.arguments().first().value<QDBusVariant>().variant();
    }

    std::string Why() {
        return (DescribeState(program_, "nimbora") + "; its output:\n" + ReadLog(folder_.filePath("output.log")) +
                "\n" + display_.Log())
            .toStdString();
    }

    VirtualDisplay display_;
    QProcess bus_, program_;
    QString address_;
    std::unique_ptr<QDBusConnection> connection_;
    StandInWatcher watcher_;
    QTemporaryDir folder_;
};

TEST_F(TrayWatcherTest, TrayIconRegistersWithTheProgramsTitleTooltipAndMenu) {
    StartProgramInTray();
    WaitForItem();

    EXPECT_EQ(ItemProperty("Title").toString(), "Vetorlan");
    const QVariant tip = ItemProperty("ToolTip");
    ASSERT_TRUE(tip.canConvert<QDBusArgument>());
    EXPECT_EQ(ToolTipTitle(tip.value<QDBusArgument>()), LoadStatusText(QDateTime(), QDateTime::currentDateTime()));
    EXPECT_NE(ItemProperty("Menu").value<QDBusObjectPath>().path(), "/");
}

// After a load from the live sources the icon shows Moscow's temperature and the tooltip
// starts with the current weather; with «Показывать температуру в трее» off the status icon
// and the status text stay.
TEST_F(TrayWatcherTest, LoadedTownsTemperatureIsInTheTrayUnlessSwitchedOff) {
    for (const bool shown : {true, false}) {
        SCOPED_TRACE(shown);
        standin::LiveStandIn live{QStringLiteral(VETORLAN_LIVE_FIXTURES)};
        Write("Vetorlan.ini", shown ? "[Tray]\nShowTemperature=true\n" : "[Tray]\nShowTemperature=false\n");
        QFile::remove(folder_.filePath("nimbora.htm"));
        StartProgramInTray(&live);
        WaitForItem();
        const QByteArray statusIcon = IconPixels(ItemProperty("IconPixmap"));
        ASSERT_FALSE(statusIcon.isEmpty());
        const QString tip = ToolTipAfterLoad();
        ASSERT_TRUE(tip.contains(u"был загружен"_qs)) << tip.toStdString() << Why();
        const QStringList lines = tip.split(u'\n');
        if (shown) {
            EXPECT_TRUE(
                QRegularExpression(u"^Москва: [−+]?\\d+°, .+ Прогноз от \\d\\d:\\d\\d$"_qs).match(lines[0]).hasMatch())
                << tip.toStdString();
            EXPECT_TRUE(lines[1].startsWith(u"Прогноз погоды был загружен"_qs)) << tip.toStdString();
        } else {
            EXPECT_TRUE(tip.startsWith(u"Прогноз погоды был загружен"_qs)) << tip.toStdString();
        }
        EXPECT_EQ(IconPixels(ItemProperty("IconPixmap")) == statusIcon, !shown);
        EXPECT_TRUE(QFile::exists(folder_.filePath("cache/vetorlan/current-27612.txt")));
        StopProcess(program_);
        watcher_.items.clear();
        watcher_.senders.clear();
    }
}

} // namespace
} // namespace vetorlan::test

#include "TrayWatcherTest.moc"
