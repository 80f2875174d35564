// The sample forecast service: invented 7-day forecasts for every catalogue town on loopback,
// for the demo and the tests. Usage: sample-forecast-service [--port N] [--image-host URL]
#include "sources/Download.h"
#include "tools/sample-forecast-service/SampleService.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <httplib.h>
#include <string>
#include <thread>

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void RequestStop(int) {
    stopRequested = 1;
}

struct Options {
    int port = 8765;
    QString imageHost;
};

bool ParsePort(const char* text, int& port) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < 0 || value > 65535)
        return false;
    port = int(value);
    return true;
}

bool ParseArguments(int argc, char** argv, Options& options) {
    options.imageHost = vetorlan::ImageHost();
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--port") == 0 && hasValue) {
            if (!ParsePort(argv[++i], options.port))
                return false;
        } else if (std::strcmp(argv[i], "--image-host") == 0 && hasValue) {
            options.imageHost = QString::fromUtf8(argv[++i]);
            while (options.imageHost.endsWith(u'/'))
                options.imageHost.chop(1);
        } else {
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseArguments(argc, argv, options)) {
        std::fprintf(stderr, "usage: %s [--port N] [--image-host URL]\n", argv[0]);
        return 2;
    }
    httplib::Server server;
    vetorlan::sample::InstallRoutes(server, options.imageHost);
    std::string why;
    const int port = vetorlan::sample::BindLoopback(server, options.port, why);
    if (port <= 0) {
        std::fprintf(stderr, "cannot listen on 127.0.0.1:%d: %s\n", options.port, why.c_str());
        return 1;
    }
    std::signal(SIGINT, RequestStop);
    std::signal(SIGTERM, RequestStop);
#ifdef SIGPIPE
    std::signal(SIGPIPE, SIG_IGN);
#endif
    std::atomic<bool> listenerDone = false;
    std::thread listener([&server, &listenerDone] {
        server.listen_after_bind();
        listenerDone = true;
    });
    // Wait even when a stop is requested meanwhile: stop() does nothing to a server that is
    // not yet running, which would leave the listener thread running for ever.
    while (!server.is_running() && !listenerDone)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    if (server.is_running()) {
        std::printf("listening on http://127.0.0.1:%d\n", port);
        std::fflush(stdout);
    }
    // The signal handler only raises a flag; stopping the server happens here.
    while (!stopRequested && server.is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    server.stop();
    listener.join();
    return stopRequested ? 0 : 1; // ending without being asked means the server failed
}
