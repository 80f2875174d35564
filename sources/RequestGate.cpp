#include "sources/RequestGate.h"

#include <algorithm>
#include <thread>

namespace vetorlan {

namespace {

// How often a waiting request looks at its cancel flag.
constexpr std::chrono::milliseconds kCancelCheck(50);

bool IsSet(const std::atomic<bool>* flag) {
    return flag && flag->load();
}

} // namespace

bool RequestGate::Enter(const std::atomic<bool>* cancelled) {
    std::unique_lock lock(mutex_);
    while (inFlight_ >= parallel_) {
        if (IsSet(cancelled))
            return false;
        freed_.wait_for(lock, kCancelCheck);
    }
    ++inFlight_;
    return true;
}

bool RequestGate::Start(const std::atomic<bool>* cancelled) {
    std::unique_lock lock(mutex_);
    for (;;) {
        if (IsSet(cancelled))
            return false;
        // The turn is taken when the request really goes: a thread that wakes late cannot
        // start closer than `spacing` to the next one.
        const auto now = std::chrono::steady_clock::now();
        const auto due = lastStart_ + spacing_;
        if (now >= due) {
            lastStart_ = now;
            return true;
        }
        // Nobody else's progress frees this turn: the lock is let go only to sleep.
        lock.unlock();
        std::this_thread::sleep_until(std::min(due, now + kCancelCheck));
        lock.lock();
    }
}

void RequestGate::Leave() {
    {
        const std::lock_guard lock(mutex_);
        --inFlight_;
    }
    freed_.notify_all(); // a cancelled waiter must not swallow the wake-up
}

RequestGate& RequestGate::Shared() {
    static RequestGate gate;
    return gate;
}

} // namespace vetorlan
