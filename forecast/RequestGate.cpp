#include "forecast/RequestGate.h"

#include <algorithm>
#include <thread>

namespace vetorlan {

void RequestGate::Enter() {
    std::unique_lock lock(mutex_);
    freed_.wait(lock, [this] { return inFlight_ < parallel_; });
    ++inFlight_;
    const auto start = std::max(std::chrono::steady_clock::now(), nextStart_);
    nextStart_ = start + spacing_;
    lock.unlock();
    std::this_thread::sleep_until(start);
}

void RequestGate::Leave() {
    {
        const std::lock_guard lock(mutex_);
        --inFlight_;
    }
    freed_.notify_one();
}

RequestGate& RequestGate::Shared() {
    static RequestGate gate;
    return gate;
}

} // namespace vetorlan
