#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace vetorlan {

// Keeps the requests of all threads to the live sources polite: at most `parallel` at a time,
// and each sent no sooner than `spacing` after the one before actually was. 105 ms keeps any
// eleven starts more than a second apart, with 50 ms to spare for the way from here to the
// server: never more than 10 starts in any second.
class RequestGate {
public:
    explicit RequestGate(int parallel = 4, std::chrono::milliseconds spacing = std::chrono::milliseconds(105))
        : parallel_(parallel), spacing_(spacing) {}

    // Blocks until a place among the requests in flight is free: true, and Leave must follow.
    // False, with no place taken, as soon as `cancelled` (when given) becomes true.
    bool Enter(const std::atomic<bool>* cancelled = nullptr);
    // Within Enter and Leave, right before a request (a redirect's too) is sent: blocks until
    // its turn. False as soon as `cancelled` becomes true.
    bool Start(const std::atomic<bool>* cancelled = nullptr);
    void Leave();

    // The gate every live request passes.
    static RequestGate& Shared();

private:
    const int parallel_;
    const std::chrono::milliseconds spacing_;
    std::mutex mutex_;
    std::condition_variable freed_;
    int inFlight_ = 0;
    std::chrono::steady_clock::time_point lastStart_ =
        std::chrono::steady_clock::time_point::min(); // the last one let go
};

} // namespace vetorlan
