#pragma once

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vetorlan::test {

// A server on 127.0.0.1 at a free port that answers every request with 500 and records when
// each request's first bytes arrived, as the kernel stamped them: no scheduling delay of this
// process can shift the record.
class RequestStartRecorder {
public:
    RequestStartRecorder();
    ~RequestStartRecorder();

    std::string url() const;
    std::vector<std::chrono::nanoseconds> starts() const; // since the epoch, in arrival order

private:
    void Accept();
    void Answer(int connection);

    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_ = false;
    mutable std::mutex mutex_;
    std::vector<std::chrono::nanoseconds> starts_;
    std::vector<std::thread> answering_;
    std::thread accepting_;
};

} // namespace vetorlan::test
