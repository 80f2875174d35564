#pragma once

#include <atomic>
#include <httplib.h>
#include <string>
#include <thread>

namespace vetorlan::test {

// An HTTP server on 127.0.0.1 at a free port, listening on its own thread while it lives.
class LoopbackServer {
public:
    LoopbackServer() = default;
    ~LoopbackServer();
    // Call after the routes are installed.
    void start();
    std::string url(const std::string& path) const;
    // Lets handlers that hold a connection open give up, so the server can stop at once.
    bool released() const { return released_; }

    httplib::Server server;

private:
    std::thread thread_;
    std::atomic<bool> released_ = false;
    int port_ = 0;
};

// A loopback port on which nothing listens.
int ClosedPort();

} // namespace vetorlan::test
