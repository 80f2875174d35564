#include "forecast/RequestGate.h"

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
    const auto start = std::max(std::chrono::steady_clock::now(), nextStart_);
    nextStart_ = start + spacing_;
    lock.unlock();
    while (std::chrono::steady_clock::now() < start) {
        if (IsSet(cancelled)) {
            Leave();
            return false;
        }
        std::this_thread::sleep_until(std::min(start, std::chrono::steady_clock::now() + kCancelCheck));
    }
    return true;
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
