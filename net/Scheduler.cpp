#include "net/Scheduler.h"

#include "core/Clock.h"
#include "core/FileSystemObject.h"
#include "core/ProgramFolder.h"
#include "core/Settings.h"
#include "net/Connection.h"
#include "net/LoadRules.h"

#include <QLocale>
#include <limits>

namespace vetorlan {

Scheduler::Scheduler(SchedulerHost& host, const Settings& settings) : host_(host), settings_(settings) {}

QString Scheduler::ClockText(const QDateTime& now) {
    return DefaultTimeText(now.time());
}

void Scheduler::SetEnabled(TimerState& timer, bool enabled) {
    if (timer.enabled == enabled)
        return;
    timer.enabled = enabled;
    host_.TimersChanged();
}

void Scheduler::SetIntervals(int interval1, int interval2, int interval3) {
    if (connectionWatchTimer.interval == interval1 && dialUpLoadTimer.interval == interval2 &&
        scheduledLoadTimer.interval == interval3)
        return;
    connectionWatchTimer.interval = interval1;
    dialUpLoadTimer.interval = interval2;
    scheduledLoadTimer.interval = interval3;
    host_.TimersChanged();
}

void Scheduler::SetScheduledLoadStartInterval() {
    if (scheduledLoadTimer.interval == 1000)
        return;
    scheduledLoadTimer.interval = 1000;
    host_.TimersChanged();
}

void Scheduler::ArmForWorkMode() {
    if (WorksAsDialUp(settings_))
        return;
    SetEnabled(dialUpLoadTimer, false);
    SetEnabled(scheduledLoadTimer, true);
}

void Scheduler::PauseTimers() {
    SetIntervals(0, 0, 0);
}

void Scheduler::RestoreTimers() {
    SetIntervals(250, 1000, 60000);
}

void Scheduler::EnableScheduledLoads() {
    SetEnabled(scheduledLoadTimer, true);
}

void Scheduler::ShowIndicator(bool visible, const QString& caption) {
    if (indicatorKnown_ && indicatorVisible_ == visible && indicatorCaption_ == caption)
        return;
    indicatorKnown_ = true;
    indicatorVisible_ = visible;
    indicatorCaption_ = caption;
    host_.SetOnlineIndicator(visible, caption);
}

void Scheduler::WatchClockAndConnection() {
    // Four ticks a second: the host hears only of texts that changed.
    const QString clock = ShowClock ? ClockText(Now()) : QString(13, QLatin1Char(' '));
    if (clock != clockText_) {
        clockText_ = clock;
        host_.SetClockText(clock);
    }
    if (!WorksAsDialUp(settings_)) {
        ShowIndicator(false, indicatorCaption_);
        return;
    }
    if (IsOnline(settings_)) {
        ShowIndicator(true, QStringLiteral("OnLine"));
        if (!host_.AutoLoadStopped())
            SetEnabled(dialUpLoadTimer, true);
        SetEnabled(scheduledLoadTimer, false);
    } else {
        // OnlineSeconds stays: after a drop the pause goes on counting from where it was.
        ShowIndicator(true, QStringLiteral("OffLine"));
        SetEnabled(dialUpLoadTimer, false);
    }
}

QDateTime Scheduler::ReadForecastFileDate() {
    const QString file = ProgramFile(kMainPageName);
    if (!FileExists(file))
        return {};
    const QDateTime modified = FileModified(file);
    ForecastFileDate = QLocale::system().toString(modified, QLocale::ShortFormat);
    return modified;
}

void Scheduler::AutomaticLoad(TimerState& timer) {
    SetEnabled(timer, false);
    host_.RunLoad();
    if (&timer == &dialUpLoadTimer)
        OnlineSeconds = 0;
    if (!host_.AutoLoadStopped())
        SetEnabled(timer, true);
}

void Scheduler::LoadAfterOnlinePause() {
    // A load's message box lets ticks through; a second load must not start meanwhile.
    if (host_.LoadInProgress() || !host_.InTray())
        return;
    if (OnlineSeconds < std::numeric_limits<std::int16_t>::max())
        ++OnlineSeconds;
    if (PauseOnLineSeconds(settings_.PauseOnLine) > OnlineSeconds)
        return;
    const QDateTime modified = ReadForecastFileDate();
    if (modified.isValid() && modified.date() == Now().date()) {
        OnlineSeconds = 0;
        return;
    }
    AutomaticLoad(dialUpLoadTimer);
}

void Scheduler::LoadWhenStaleOrDue() {
    if (host_.LoadInProgress() || !host_.InTray())
        return;
    const Settings& settings = settings_;
    // Left enabled from a direct line, it must not try a dial-up line that is down: each
    // tick would only bring up the "not online" message box again.
    if (IsDialUp(settings) && !IsOnline(settings))
        return;
    const QDateTime modified = ReadForecastFileDate();
    if (!modified.isValid()) {
        AutomaticLoad(scheduledLoadTimer);
        return;
    }
    if (ForecastIsStale(modified, Now(), settings)) {
        AutomaticLoad(scheduledLoadTimer);
        // The load failed, or it ended the program: no second load in the same tick.
        if (host_.AutoLoadStopped() || host_.LoadInProgress())
            return;
    }
    // The set time loads once a day, not on every tick of its minute.
    const QDateTime now = Now();
    if (IsTimeLoadMinute(now, settings.TimeLoad) && lastTimeLoadDay_ != now.date()) {
        lastTimeLoadDay_ = now.date();
        AutomaticLoad(scheduledLoadTimer);
    }
}

} // namespace vetorlan
