#include "ui/SchedulerTimers.h"

#include "net/Scheduler.h"

#include <QTimer>

namespace vetorlan {

SchedulerTimers::SchedulerTimers(Scheduler& scheduler, QObject* parent) : QObject(parent), scheduler_(scheduler) {
    auto timer = [this](const char* name, void (Scheduler::*tick)()) {
        auto* t = new QTimer(this);
        t->setObjectName(QLatin1String(name));
        t->setTimerType(Qt::CoarseTimer);
        connect(t, &QTimer::timeout, this, [this, tick] { (scheduler_.*tick)(); });
        return t;
    };
    connectionWatchTimer_ = timer("connectionWatchTimer", &Scheduler::WatchClockAndConnection);
    dialUpLoadTimer_ = timer("dialUpLoadTimer", &Scheduler::LoadAfterOnlinePause);
    scheduledLoadTimer_ = timer("scheduledLoadTimer", &Scheduler::LoadWhenStaleOrDue);
}

void SchedulerTimers::FollowTimer(QTimer& timer, const TimerState& state) {
    if (!state.Running()) {
        timer.stop();
        return;
    }
    if (!timer.isActive() || timer.interval() != state.interval)
        timer.start(state.interval);
}

void SchedulerTimers::Follow() {
    FollowTimer(*connectionWatchTimer_, scheduler_.connectionWatchTimer);
    FollowTimer(*dialUpLoadTimer_, scheduler_.dialUpLoadTimer);
    FollowTimer(*scheduledLoadTimer_, scheduler_.scheduledLoadTimer);
}

} // namespace vetorlan
