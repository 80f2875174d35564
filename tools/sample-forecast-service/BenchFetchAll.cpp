// Fetches the page of every catalogue town from the sample service over loopback and converts
// each, as a multi-town load does, and reports medians over several runs.
// Usage: bench-fetch-all [--url http://127.0.0.1:N] [--runs N]
// Without --url it starts the service in-process on a free port.
#include "core/Settings.h"
#include "platform/common/CurlHttpClient.h"
#include "sources/Converter.h"
#include "sources/Download.h"
#include "tools/sample-forecast-service/PageFiles.h"
#include "tools/sample-forecast-service/SampleService.h"
#include "towns/TownCatalog.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <httplib.h>
#include <memory>
#include <thread>
#include <vector>

namespace {

using namespace vetorlan;

struct RunTimes {
    double fetchMs = 0;
    double convertMs = 0;
    int failures = 0;
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n == 0 ? 0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

RunTimes RunOnce(const QString& serviceUrl, std::vector<double>& perTownMs) {
    RunTimes times;
    QTemporaryDir folder;
    QElapsedTimer clock;
    for (int position = 1; position <= kCatalogSize; ++position) {
        const TownEntry entry = CatalogEntry(position);
        const QString path = folder.path() + u'/' + TownName(entry) + u".htm"_qs;
        const QString url = serviceUrl + u"/detailed.xml?city="_qs + TownIndex(entry);
        clock.start();
        const bool ok = DownloadFile(url, path);
        const qint64 fetched = clock.nsecsElapsed();
        if (ok)
            ConvertPage(path);
        else
            ++times.failures;
        const qint64 total = clock.nsecsElapsed();
        times.fetchMs += fetched / 1e6;
        times.convertMs += (total - fetched) / 1e6;
        perTownMs.push_back(total / 1e6);
    }
    return times;
}

struct InProcessService {
    httplib::Server server;
    std::thread thread;
    int port = 0;
    ~InProcessService() {
        server.stop();
        if (thread.joinable())
            thread.join();
    }
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QString url;
    int runs = 5;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--url") == 0)
            url = QString::fromUtf8(argv[i + 1]);
        else if (std::strcmp(argv[i], "--runs") == 0)
            runs = std::max(1, std::atoi(argv[i + 1]));
    }
    std::unique_ptr<InProcessService> service;
    if (url.isEmpty()) {
        service = std::make_unique<InProcessService>();
        sample::InstallRoutes(service->server, ImageHost());
        service->port = service->server.bind_to_any_port("127.0.0.1");
        service->thread = std::thread([s = service.get()] { s->server.listen_after_bind(); });
        while (!service->server.is_running())
            std::this_thread::yield();
        url = u"http://127.0.0.1:"_qs + QString::number(service->port);
    }
    AppSettings().MultiLoad = u"True"_qs;
    CurlHttpClient client(CurlHttpClient::PageServiceLimits());
    SetHttpClient(&client);
    std::vector<double> totals, fetches, converts, perTown;
    int failures = 0;
    for (int run = 0; run < runs; ++run) {
        const RunTimes t = RunOnce(url, perTown);
        totals.push_back(t.fetchMs + t.convertMs);
        fetches.push_back(t.fetchMs);
        converts.push_back(t.convertMs);
        failures += t.failures;
        std::printf("run %d: %d towns in %.1f ms (fetch %.1f ms, convert %.1f ms), %d failed\n", run + 1, kCatalogSize,
                    t.fetchMs + t.convertMs, t.fetchMs, t.convertMs, t.failures);
    }
    std::printf("median over %d runs: all %d towns %.1f ms (fetch %.1f ms, convert %.1f ms); "
                "per town %.3f ms; failures %d\n",
                runs, kCatalogSize, Median(totals), Median(fetches), Median(converts), Median(perTown), failures);
    return failures == 0 ? 0 : 1;
}
