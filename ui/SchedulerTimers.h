#pragma once

#include <QObject>

class QTimer;

namespace vetorlan {

class Scheduler;
struct TimerState;

// The scheduler's three timers as real QTimers: their ticks go to the scheduler, and
// Follow() makes them match the scheduler's enabled states and intervals.
class SchedulerTimers : public QObject {
    Q_OBJECT
public:
    SchedulerTimers(Scheduler& scheduler, QObject* parent);
    void Follow();

private:
    static void FollowTimer(QTimer& timer, const TimerState& state);

    Scheduler& scheduler_;
    QTimer* connectionWatchTimer_ = nullptr;
    QTimer* dialUpLoadTimer_ = nullptr;
    QTimer* scheduledLoadTimer_ = nullptr;
};

} // namespace vetorlan
