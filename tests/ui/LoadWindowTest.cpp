// The window during a load from a server that accepts and never answers, as the page service
// or as both live sources: it keeps repainting and its timers tick, and "Выход" ends the load
// at once with nothing written.
#include "core/Settings.h"
#include "core/SettingsStore.h"
#include "forecast/ChildLoadRunner.h"
#include "platform/common/CurlHttpClient.h"
#include "sources/LiveForecast.h"
#include "tests/support/StallingServer.h"
#include "tests/support/TestSupport.h"
#include "tests/ui/UiFakes.h"
#include "ui/MainWindow.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace vetorlan;
using namespace vetorlan::test;

namespace {

// Counts the window's paint events.
class PaintCounter : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint;
        return false;
    }
    int paints = 0;
};

// What the window showed during a three-town load that "Выход" interrupted after 600 ms.
struct InterruptedLoad {
    bool loading = false;
    int ticks = 0, paints = 0;
    qint64 endedAfterExit = 0;
    qint64 childId = 0; // the load process at the moment of "Выход" (loads in a process only)
};

InterruptedLoad LoadAndExit(TempProgramFolder& folder, ChildLoadRunner* child = nullptr) {
    FakeAutorunStore autorun;
    Settings s;
    s.WorkMode = "DirectConn";
    s.AutoRun = "False";
    s.MultiLoad = "True";
    folder.write("Options.ini", SerializeSettings(s));
    folder.write("goroda.ini", " 3  0  1  2 \r\n");
    folder.write("Nimbora.htm", "old index");

    MainWindow window;
    if (child)
        window.Pipeline().SetRunner(std::unique_ptr<LoadRunner>(child));
    AppSettingsContext() = SettingsContext{&autorun, &window};
    window.SetEndAtOnce([](int) {});
    window.SetExitProgram([] {});
    window.StartUp({});
    window.show();
    PaintCounter counter;
    window.installEventFilter(&counter);
    int ticks = 0;
    InterruptedLoad seen;
    QTimer clock;
    QObject::connect(&clock, &QTimer::timeout, [&] {
        ++ticks;
        window.update();
    });
    clock.start(20);
    QTimer::singleShot(600, [&] {
        seen.loading = window.LoadInProgress();
        seen.ticks = ticks;
        seen.paints = counter.paints;
        seen.childId = child ? child->ChildProcessId() : 0;
        window.Quit();
    });
    QElapsedTimer elapsed;
    elapsed.start();
    window.LoadForecast();
    seen.endedAfterExit = elapsed.elapsed() - 600;
    std::printf("the load ended %lld ms after Exit\n", static_cast<long long>(seen.endedAfterExit));
    // "Выход" asked the application's event loop to quit; let it run and end, so that the
    // request does not end the local event loops of the next test at once.
    QCoreApplication::exec();
    AppSettingsContext() = SettingsContext{};
    return seen;
}

// Whether a process has ended (a zombie waiting to be reaped has).
bool ProcessEnded(qint64 id) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(id));
    return !stat.open(QIODevice::ReadOnly) || stat.readAll().contains(") Z ");
}

// A load in a fresh program folder, ended by "Выход": the window lived through it, no box was
// shown, nothing was written, and a load process ended within 3 s.
InterruptedLoad ExpectExitEndsALiveLoad(ChildLoadRunner* child = nullptr, qint64 withinMs = 60000) {
    TempProgramFolder folder;
    MessageBoxRecorder boxes;
    FakeSound sound;
    FakeShell shell;
    const InterruptedLoad seen = LoadAndExit(folder, child);
    EXPECT_TRUE(seen.loading);
    EXPECT_GT(seen.ticks, 5);
    EXPECT_GT(seen.paints, 0);
    EXPECT_LT(seen.endedAfterExit, withinMs) << "Exit did not end the load";
    EXPECT_EQ(folder.read("Nimbora.htm"), QByteArray("old index"));
    EXPECT_EQ(QDir(folder.path()).entryList({"*.htm*"}, QDir::Files), QStringList{"Nimbora.htm"});
    EXPECT_TRUE(boxes.boxes().empty());
    QElapsedTimer clock;
    clock.start();
    while (seen.childId > 0 && !ProcessEnded(seen.childId) && clock.elapsed() < 3000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_TRUE(seen.childId == 0 || ProcessEnded(seen.childId)) << "the load process still runs 3 s after Exit";
    return seen;
}

TEST(LoadWindow, StallingServerLeavesTheWindowAliveAndExitEndsTheLoad) {
    StallingServer server;
    ASSERT_NE(server.port(), 0);
    qputenv("VETORLAN_SERVICE_URL", server.url());
    qputenv("no_proxy", "127.0.0.1");
    CurlHttpClient::Limits limits = CurlHttpClient::PageServiceLimits();
    limits.stallSeconds = 600; // without the cancel the load would wait this long
    limits.totalSeconds = 600;
    CurlHttpClient client(limits);
    SetHttpClient(&client);
    SetPageSource(&ServicePages());

    ExpectExitEndsALiveLoad();
    SetPageSource(nullptr);
    SetHttpClient(nullptr);
}

// Loading in a load process, "Выход" ends the load within a second, the window having
// repainted meanwhile, and the load process itself ends soon after.
TEST(LoadWindow, ExitEndsALoadInTheLoadProcessWithinASecond) {
    StallingServer server;
    ASSERT_NE(server.port(), 0);
    qputenv("VETORLAN_SERVICE_URL", server.url());
    qputenv("no_proxy", "127.0.0.1");
    QTemporaryDir cache;
    qputenv("XDG_CACHE_HOME", cache.path().toUtf8());

    EXPECT_GT(ExpectExitEndsALiveLoad(new ChildLoadRunner(NIMBORA_BINARY), 1000).childId, 0);
}

// Without a page service the pages come from the live sources; both stall here, so only the
// cancel can end the requests (and the fallback must not start once it is set).
TEST(LoadWindow, StallingLiveSourcesLeaveTheWindowAliveAndExitEndsTheLoad) {
    StallingServer server;
    ASSERT_NE(server.port(), 0);
    QTemporaryDir cache;
    qputenv("XDG_CACHE_HOME", cache.path().toUtf8());
    qputenv("VETORLAN_SERVICE_URL", "");
    qputenv("VETORLAN_METNO_URL", server.url());
    qputenv("VETORLAN_OPENMETEO_URL", server.url());
    qputenv("no_proxy", "127.0.0.1");
    CurlHttpClient::Limits limits;
    limits.stallSeconds = 120;
    limits.totalSeconds = 120;
    CurlHttpClient client(limits);
    SetHttpClient(&client);
    SetPageSource(&LivePages());

    ExpectExitEndsALiveLoad();
    EXPECT_TRUE(QDir(cache.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
    SetPageSource(nullptr);
    SetHttpClient(nullptr);
}

} // namespace
