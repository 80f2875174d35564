#pragma once

#include "core/Settings.h"

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <functional>

namespace vetorlan {

// A timer of the main window as the scheduler sees it: enabled state and interval are
// separate, an interval of 0 pauses an enabled timer.
struct TimerState {
    bool enabled = false;
    int interval = 0;
    bool Running() const { return enabled && interval > 0; }
};

// What the scheduler needs from the main window.
class SchedulerHost {
public:
    virtual ~SchedulerHost() = default;
    virtual bool InTray() const = 0;
    virtual bool AutoLoadStopped() const = 0;
    // True while a load runs (its message boxes let timer ticks through).
    virtual bool LoadInProgress() const = 0;
    // Runs the load (as the load button does); never starts a second load while one runs.
    virtual void RunLoad() = 0;
    // The clock text.
    virtual void SetClockText(const QString& text) = 0;
    // Visibility and caption of the "OnLine"/"OffLine" indicator.
    virtual void SetOnlineIndicator(bool visible, const QString& caption) = 0;
    // Called whenever a timer's enabled state or interval changed, so the real timers follow.
    virtual void TimersChanged() = 0;
};

// The three timers of the main window and their tick handlers. The window forwards the
// ticks of its QTimers here and makes them follow these three states.
class Scheduler {
public:
    // `settings`: the program's settings, which the timers follow as they change.
    Scheduler(SchedulerHost& host, const Settings& settings);

    TimerState connectionWatchTimer{true, 250};
    TimerState dialUpLoadTimer{false, 1000};
    TimerState scheduledLoadTimer{false, 60000};
    bool ShowClock = true;
    std::int16_t OnlineSeconds = 0;
    QString ForecastFileDate;

    // Start-up: scheduled loads at 1000 ms; unless the program works as on a dial-up line
    // (WorksAsDialUp), dial-up loads off and scheduled loads on.
    void SetScheduledLoadStartInterval();
    void ArmForWorkMode();

    // Dialogs and the first-run question pause all three and restore 250, 1000, 60000 ms.
    void PauseTimers();
    void RestoreTimers();

    // A successful load on a direct line enables the scheduled loads again.
    void EnableScheduledLoads();

    void WatchClockAndConnection();
    void LoadAfterOnlinePause();
    void LoadWhenStaleOrDue();

    // The clock text: the system's time format with seconds, without a zone.
    static QString ClockText(const QDateTime& now);

private:
    void SetEnabled(TimerState& timer, bool enabled);
    void SetIntervals(int interval1, int interval2, int interval3);
    void ShowIndicator(bool visible, const QString& caption);
    // Disables the calling timer, runs the load, re-enables the timer unless automatic
    // loading was stopped by a failure.
    void AutomaticLoad(TimerState& timer);
    // The forecast file's last-modified time (kept in ForecastFileDate); invalid when the
    // file does not exist.
    QDateTime ReadForecastFileDate();

    SchedulerHost& host_;
    const Settings& settings_;
    QString clockText_;
    bool indicatorKnown_ = false;
    bool indicatorVisible_ = false;
    QString indicatorCaption_;
    QDate lastTimeLoadDay_; // the day the set time last started a load
};

} // namespace vetorlan
