#include "net/Scheduler.h"
#include "core/Clock.h"
#include "core/Settings.h"
#include "tests/net/FakeConnectionBackend.h"
#include "tests/support/TestSupport.h"

#include <QFile>
#include <functional>
#include <gtest/gtest.h>

namespace vetorlan::test {
namespace {

class FakeHost : public SchedulerHost {
public:
    bool InTray() const override { return inTray; }
    bool AutoLoadStopped() const override { return stopped; }
    bool LoadInProgress() const override { return loading; }
    void RunLoad() override {
        loads << Now();
        loading = true;
        if (load)
            load();
        loading = false;
    }
    void SetClockText(const QString& text) override { clock = text; }
    void SetOnlineIndicator(bool visible, const QString& caption) override {
        indicatorVisible = visible;
        indicatorCaption = caption;
    }
    void TimersChanged() override { ++timerChanges; }

    bool inTray = true, stopped = false, loading = false;
    std::function<void()> load; // what the load does besides being counted
    QList<QDateTime> loads;
    QString clock, indicatorCaption;
    bool indicatorVisible = false;
    int timerChanges = 0;
};

const QDate kToday(2026, 12, 7);

QDateTime At(int h, int m, int s = 0, int days = 0) {
    return QDateTime(kToday.addDays(days), QTime(h, m, s));
}

class SchedulerTest : public ::testing::Test {
protected:
    SchedulerTest() {
        AppSettings() = Settings{};
        SetNowOverride(At(10, 0));
        host.load = [this] { SucceedLoad(); };
    }
    ~SchedulerTest() override {
        SetNowOverride({});
        AppSettings() = saved_;
    }

    void WriteForecast(const QDateTime& modified) {
        folder.write("nimbora.htm", "<html></html>");
        QFile file(folder.file("nimbora.htm"));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(modified, QFileDevice::FileModificationTime));
    }
    void SucceedLoad() {
        WriteForecast(Now());
        host.stopped = false;
    }
    // One tick of a real timer: the clock moves by the interval, and a stopped or paused
    // timer does not fire.
    void Tick(TimerState& timer, void (Scheduler::*handler)()) {
        SetNowOverride(Now().addMSecs(timer.interval));
        if (timer.Running())
            (scheduler.*handler)();
    }
    void Tick2() { Tick(scheduler.dialUpLoadTimer, &Scheduler::LoadAfterOnlinePause); }
    void Tick3() { Tick(scheduler.scheduledLoadTimer, &Scheduler::LoadWhenStaleOrDue); }
    // Dial-up with the line as given, seen by one connection watch tick.
    void Line(bool up) {
        AppSettings().WorkMode = "DialUp";
        line.setLine(up);
        scheduler.WatchClockAndConnection();
    }
    void DirectLine() {
        AppSettings().WorkMode = "DirectConn";
        scheduler.SetScheduledLoadStartInterval();
        scheduler.ArmForWorkMode();
    }
    // Dial-up load ticks until the first load; its tick number, or 0 when none came in `max` ticks.
    int TicksUntilLoad(int max) {
        for (int tick = 1; tick <= max; ++tick) {
            Tick2();
            if (!host.loads.isEmpty())
                return tick;
        }
        return 0;
    }

    Settings saved_ = AppSettings();
    TempProgramFolder folder;
    FakeConnectionBackend line;
    FakeHost host;
    Scheduler scheduler{host, AppSettings()};
};

TEST_F(SchedulerTest, DialUpLoadsAfterThePauseByLeadingNumber) {
    const std::pair<const char*, int> rows[] = {{"5", 5}, {" 5", 5}, {"0", 1}, {"", 1}, {"-3", 1}, {"2.5", 3}};
    for (const auto& [pause, tick] : rows) {
        SCOPED_TRACE(pause);
        host.loads.clear();
        scheduler.OnlineSeconds = 0;
        AppSettings().PauseOnLine = pause;
        WriteForecast(Now().addDays(-1));
        Line(true);
        EXPECT_EQ(TicksUntilLoad(10), tick);
        EXPECT_EQ(scheduler.OnlineSeconds, 0);
        EXPECT_TRUE(scheduler.dialUpLoadTimer.enabled);
    }
}

TEST_F(SchedulerTest, TodaysFileIsCheckedEveryPauseAndLoadedAfterMidnight) {
    SetNowOverride(At(23, 59, 40));
    WriteForecast(At(8, 0));
    Line(true);
    QList<std::int16_t> counts;
    for (int tick = 0; tick < 15; ++tick) {
        Tick2();
        counts << scheduler.OnlineSeconds;
    }
    EXPECT_EQ(counts, (QList<std::int16_t>{1, 2, 3, 4, 0, 1, 2, 3, 4, 0, 1, 2, 3, 4, 0}));
    EXPECT_TRUE(host.loads.isEmpty());
    EXPECT_FALSE(scheduler.ForecastFileDate.isEmpty());
    EXPECT_EQ(TicksUntilLoad(10), 5); // the first check of the new day, at 00:00:00
    EXPECT_EQ(host.loads.first(), At(0, 0, 0, 1));
}

TEST_F(SchedulerTest, TheCountGoesOnAfterTheLineDrops) {
    WriteForecast(Now().addDays(-1));
    Line(true);
    EXPECT_EQ(TicksUntilLoad(3), 0);
    Line(false);
    EXPECT_EQ(host.indicatorCaption, "OffLine");
    EXPECT_FALSE(scheduler.dialUpLoadTimer.enabled);
    EXPECT_EQ(TicksUntilLoad(20), 0);
    EXPECT_EQ(scheduler.OnlineSeconds, 3);
    Line(true);
    EXPECT_EQ(host.indicatorCaption, "OnLine");
    EXPECT_EQ(TicksUntilLoad(5), 2);
}

TEST_F(SchedulerTest, NothingLoadsOutsideTheTray) {
    host.inTray = false;
    Line(true);
    EXPECT_EQ(TicksUntilLoad(30), 0);
    EXPECT_EQ(scheduler.OnlineSeconds, 0);
    DirectLine();
    for (int tick = 0; tick < 30; ++tick)
        Tick3();
    EXPECT_TRUE(host.loads.isEmpty()); // no file at all, still nothing
}

TEST_F(SchedulerTest, StartUpArmsTheTimersForTheMode) {
    AppSettings().WorkMode = "DialUp";
    scheduler.SetScheduledLoadStartInterval();
    scheduler.ArmForWorkMode();
    EXPECT_FALSE(scheduler.scheduledLoadTimer.enabled);
    EXPECT_EQ(scheduler.scheduledLoadTimer.interval, 1000);

    scheduler.dialUpLoadTimer.enabled = true;
    WriteForecast(Now().addDays(-1));
    DirectLine();
    EXPECT_FALSE(scheduler.dialUpLoadTimer.enabled);
    Tick3();
    ASSERT_EQ(host.loads.size(), 1);
    EXPECT_EQ(host.loads.first(), At(10, 0, 1)); // a second after start
    EXPECT_TRUE(scheduler.scheduledLoadTimer.enabled);
    Tick3();
    EXPECT_EQ(host.loads.size(), 1); // the fresh file is left alone
}

// The scheduled load timer may tick every second through the set minute: still one load a day.
TEST_F(SchedulerTest, SetTimeLoadsOnceADay) {
    WriteForecast(At(6, 0));
    AppSettings().CheckActual = "False";
    DirectLine();
    SetNowOverride(At(6, 59, 55));
    for (int tick = 0; tick < 70; ++tick)
        Tick3();
    EXPECT_EQ(host.loads, QList<QDateTime>{At(7, 0, 0)});

    host.loads.clear();
    scheduler.PauseTimers();
    scheduler.RestoreTimers(); // 60000 ms from now on
    WriteForecast(At(6, 0, 0, 1));
    SetNowOverride(At(6, 58, 30, 1));
    for (int tick = 0; tick < 4; ++tick)
        Tick3();
    EXPECT_EQ(host.loads, QList<QDateTime>{At(7, 0, 30, 1)});
}

TEST_F(SchedulerTest, SetTimeMatchesOnlyItsOwnMinuteOfTheDay) {
    AppSettings().CheckActual = "False";
    const std::pair<const char*, int> rows[] = {{"07:05", 7 * 60 + 5}, {"7:05", 7 * 60 + 5}, {"00:00", 0},
                                                {"25:00", -1},         {"abc", -1},          {"", -1}};
    int day = 0; // a day for each row: the set time loads once a day
    for (const auto& [timeLoad, minute] : rows) {
        SCOPED_TRACE(timeLoad);
        AppSettings().TimeLoad = timeLoad;
        host.loads.clear();
        ++day;
        SetNowOverride(At(0, 0, 10, day));
        WriteForecast(At(0, 0, 0, day));
        DirectLine();
        for (int tick = 0; tick < 24 * 60; ++tick) {
            scheduler.LoadWhenStaleOrDue();
            SetNowOverride(Now().addSecs(60));
        }
        const QList<QDateTime> expected =
            minute < 0 ? QList<QDateTime>{} : QList{At(minute / 60, minute % 60, 10, day)};
        EXPECT_EQ(host.loads, expected);
    }
}

TEST_F(SchedulerTest, StaleFileAtTheSetTimeLoadsTwiceButAFailureOnlyOnce) {
    SetNowOverride(At(7, 0, 20));
    WriteForecast(At(9, 0, 0, -1));
    DirectLine();
    scheduler.LoadWhenStaleOrDue();
    EXPECT_EQ(host.loads.size(), 2);

    host.loads.clear();
    WriteForecast(At(9, 0, 0, -1));
    host.load = [this] { host.stopped = true; };
    scheduler.LoadWhenStaleOrDue();
    EXPECT_EQ(host.loads.size(), 1);
}

TEST_F(SchedulerTest, FailedLoadStopsScheduledLoadsUntilAManualSuccess) {
    DirectLine();
    host.load = [this] { host.stopped = true; };
    Tick3(); // no file: load, which fails
    EXPECT_EQ(host.loads.size(), 1);
    EXPECT_FALSE(scheduler.scheduledLoadTimer.enabled);
    for (int tick = 0; tick < 100; ++tick)
        Tick3();
    EXPECT_EQ(host.loads.size(), 1);

    SucceedLoad(); // the user's own load, whose success enables the scheduled loads again
    scheduler.EnableScheduledLoads();
    host.load = [this] { SucceedLoad(); };
    SetNowOverride(At(10, 0, 0, 1));
    Tick3();
    EXPECT_EQ(host.loads.size(), 2);
    EXPECT_TRUE(scheduler.scheduledLoadTimer.enabled);
}

TEST_F(SchedulerTest, FailedDialUpLoadKeepsDialUpLoadsOffWhileStopped) {
    Line(true);
    host.load = [this] { host.stopped = true; };
    EXPECT_EQ(TicksUntilLoad(10), 5);
    EXPECT_FALSE(scheduler.dialUpLoadTimer.enabled);
    Line(true);
    EXPECT_FALSE(scheduler.dialUpLoadTimer.enabled);
    EXPECT_FALSE(scheduler.scheduledLoadTimer.enabled);
    host.stopped = false;
    Line(true);
    EXPECT_TRUE(scheduler.dialUpLoadTimer.enabled);
}

TEST_F(SchedulerTest, NoSecondLoadStartsWhileOneRuns) {
    // A load's message box lets every timer tick through.
    host.load = [this] {
        for (int i = 0; i < 10; ++i) {
            scheduler.WatchClockAndConnection();
            scheduler.LoadAfterOnlinePause();
            scheduler.LoadWhenStaleOrDue();
        }
        SucceedLoad();
    };
    WriteForecast(Now().addDays(-1));
    Line(true);
    EXPECT_EQ(TicksUntilLoad(10), 5);
    EXPECT_EQ(host.loads.size(), 1);

    host.loads.clear();
    WriteForecast(Now().addDays(-1));
    DirectLine();
    Tick3();
    EXPECT_EQ(host.loads.size(), 1);
    host.loading = true;
    SetNowOverride(At(10, 0, 0, 1));
    scheduler.LoadAfterOnlinePause();
    scheduler.LoadWhenStaleOrDue();
    EXPECT_EQ(host.loads.size(), 1);
}

TEST_F(SchedulerTest, ScheduledLoadLeavesADownDialUpLineAlone) {
    DirectLine();
    Line(false); // the mode changed in the settings; the scheduled load timer kept its state
    ASSERT_TRUE(scheduler.scheduledLoadTimer.enabled);
    Tick3();
    EXPECT_TRUE(host.loads.isEmpty());
    Line(true);
    EXPECT_FALSE(scheduler.scheduledLoadTimer.enabled);
}

TEST_F(SchedulerTest, PauseAndRestoreKeepTheEnabledStates) {
    DirectLine();
    const int changes = host.timerChanges;
    scheduler.PauseTimers();
    EXPECT_GT(host.timerChanges, changes);
    for (const TimerState* t :
         {&scheduler.connectionWatchTimer, &scheduler.dialUpLoadTimer, &scheduler.scheduledLoadTimer})
        EXPECT_FALSE(t->Running());
    EXPECT_EQ((std::tuple{scheduler.connectionWatchTimer.enabled, scheduler.dialUpLoadTimer.enabled,
                          scheduler.scheduledLoadTimer.enabled}),
              std::tuple(true, false, true));
    scheduler.RestoreTimers();
    EXPECT_EQ((std::tuple{scheduler.connectionWatchTimer.interval, scheduler.dialUpLoadTimer.interval,
                          scheduler.scheduledLoadTimer.interval}),
              std::tuple(250, 1000, 60000));
    EXPECT_EQ((std::tuple{scheduler.connectionWatchTimer.enabled, scheduler.dialUpLoadTimer.enabled,
                          scheduler.scheduledLoadTimer.enabled}),
              std::tuple(true, false, true));
}

TEST_F(SchedulerTest, ClockAndIndicatorFollowTheSettings) {
    SetNowOverride(At(12, 43, 56));
    AppSettings().WorkMode = "DirectConn";
    scheduler.WatchClockAndConnection();
    EXPECT_EQ(host.clock, Scheduler::ClockText(Now()));
    EXPECT_TRUE(host.clock.contains("12") && host.clock.contains("43"));
    EXPECT_FALSE(host.indicatorVisible);
    EXPECT_EQ(line.calls(), 0);
    scheduler.ShowClock = false;
    scheduler.WatchClockAndConnection();
    EXPECT_EQ(host.clock, QString(13, ' '));
    Line(false);
    EXPECT_TRUE(host.indicatorVisible);
}

TEST_F(SchedulerTest, FreshnessCheckRefreshesATodaysFileEveryPeriod) {
    AppSettings().ActualWait = 6;
    SetNowOverride(At(0, 5));
    WriteForecast(Now());
    DirectLine();
    scheduler.RestoreTimers();
    for (int tick = 0; tick < 24 * 60; ++tick)
        Tick3();
    // 07:00 loads by the set time; the period runs from each new file.
    EXPECT_EQ(host.loads, (QList<QDateTime>{At(6, 5), At(7, 0), At(13, 0), At(19, 0), At(0, 0, 0, 1)}));
}

} // namespace
} // namespace vetorlan::test
