#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace vetorlan {

// Keeps the requests of all threads to the live sources polite: at most `parallel` at a time
// and their starts at least `spacing` apart (100 ms: never more than 10 a second).
class RequestGate {
public:
    explicit RequestGate(int parallel = 4, std::chrono::milliseconds spacing = std::chrono::milliseconds(100))
        : parallel_(parallel), spacing_(spacing) {}

    // Blocks until this request may start: true, and Leave must follow. False, with no turn
    // taken, as soon as `cancelled` (when given) becomes true.
    bool Enter(const std::atomic<bool>* cancelled = nullptr);
    void Leave();

    // The gate every live request passes.
    static RequestGate& Shared();

private:
    const int parallel_;
    const std::chrono::milliseconds spacing_;
    std::mutex mutex_;
    std::condition_variable freed_;
    int inFlight_ = 0;
    std::chrono::steady_clock::time_point nextStart_;
};

} // namespace vetorlan
