// Benchmark (not a test): a 400-town load made from the live sources' loopback stand-in, on
// four threads as the load runs it, through the shared request gate; then the time to read
// one answer (and, within it, to work out the sun and moon of its days) and to render one
// page from it, with the chart of the coming hours and without. With --one only Moscow is
// loaded before the reading and rendering. With --serve it only runs the stand-in and prints
// its two base addresses, for loads of the built program (scripts/bench-app.sh).
#include "page/OfflinePage.h"
#include "platform/common/CurlHttpClient.h"
#include "sources/AnswerCache.h"
#include "sources/Astronomy.h"
#include "sources/Download.h"
#include "sources/HttpClient.h"
#include "sources/LiveForecast.h"
#include "sources/LiveSources.h"
#include "sources/Stations.h"
#include "tools/live-stand-in/LiveStandIn.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimeZone>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

using namespace vetorlan;

namespace {

void LoadAllTowns(standin::LiveStandIn& standIn) {
    std::atomic<int> next = 0, failed = 0;
    QElapsedTimer timer;
    timer.start();
    std::vector<std::thread> workers;
    for (int w = 0; w < 4; ++w) {
        workers.emplace_back([&] {
            for (int i = next++; i < AllStations().size(); i = next++) {
                Forecast forecast;
                SourceFailures failures;
                if (!FetchLiveForecast(AllStations()[i].index, forecast, failures))
                    ++failed;
            }
        });
    }
    for (std::thread& worker : workers)
        worker.join();
    const double seconds = timer.nsecsElapsed() / 1e9;
    const int requests = int(standIn.seen().size());
    std::printf("400 towns: %.2f s wall, %d requests, %.2f requests/s, %d failed\n", seconds, requests,
                requests / seconds, failed.load());
    timer.restart();
    for (const Station& station : AllStations()) {
        Forecast forecast;
        SourceFailures failures;
        FetchLiveForecast(station.index, forecast, failures);
    }
    std::printf("400 towns again while fresh: %.2f s wall, %d new requests\n", timer.nsecsElapsed() / 1e9,
                int(standIn.seen().size()) - requests);
}

double Median(std::vector<double>& batches) {
    std::sort(batches.begin(), batches.end());
    return batches[batches.size() / 2];
}

// One page rendered with the chart of the coming hours and without it, in alternating batches,
// and the sizes of the page as rendered and as written.
void CompareChart(const Forecast& withChart) {
    Forecast bare = withChart;
    bare.hours.clear();
    const Forecast& without = bare;
    constexpr int batches = 21, rounds = 200;
    std::vector<double> timesWith, timesWithout;
    for (int b = 0; b < batches; ++b) {
        for (auto [forecast, times] : {std::pair{&withChart, &timesWith}, std::pair{&without, &timesWithout}}) {
            QElapsedTimer timer;
            timer.start();
            for (int i = 0; i < rounds; ++i)
                RenderOfflinePage(*forecast, false);
            times->push_back(timer.nsecsElapsed() / 1e3 / rounds);
        }
    }
    const qsizetype sizeWith = RenderOfflinePage(withChart, false).size();
    const qsizetype sizeBare = RenderOfflinePage(without, false).size();
    std::printf("render one page, median of %d x %d: %.1f us with the chart (%lld hourly steps), %.1f us without\n",
                batches, rounds, Median(timesWith), static_cast<long long>(withChart.hours.size()),
                Median(timesWithout));
    std::printf("page bytes written: %lld with the chart, %lld without\n", static_cast<long long>(sizeWith),
                static_cast<long long>(sizeBare));
}

void RenderOnePage() {
    CachedAnswer answer;
    const Station& moscow = *FindStation(QStringLiteral("27612"));
    if (!LoadCachedAnswer(QStringLiteral("metno"), moscow.index, answer))
        return;
    Forecast forecast;
    QString error;
    constexpr int rounds = 500;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < rounds; ++i)
        ReadMetNorway(answer.body, moscow, QDateTime::currentDateTimeUtc(), forecast, error);
    std::printf("read one MET Norway answer (%lld bytes): %.1f us\n", static_cast<long long>(answer.body.size()),
                timer.nsecsElapsed() / 1e3 / rounds);
    const QTimeZone zone(moscow.timeZone.toUtf8());
    int sink = 0;
    timer.restart();
    for (int i = 0; i < rounds; ++i) {
        sink += MoonPhases(forecast.days.first().date, int(forecast.days.size()), zone).first();
        for (const DayForecast& day : forecast.days)
            sink += SunOnDate(day.date, moscow.latitude, moscow.longitude, zone).sunrise;
    }
    std::printf("  of which sun and moon of its %lld days: %.1f us (%d)\n",
                static_cast<long long>(forecast.days.size()), timer.nsecsElapsed() / 1e3 / rounds, sink % 10);
    CompareChart(forecast);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir cache;
    qputenv("XDG_CACHE_HOME", cache.path().toUtf8());
    standin::LiveStandIn standIn(QStringLiteral(VETORLAN_LIVE_FIXTURES));
    if (app.arguments().contains(QStringLiteral("--serve"))) {
        std::printf("metno %s\nopenmeteo %s\n", standIn.metNorwayBase().c_str(), standIn.openMeteoBase().c_str());
        std::fflush(stdout);
        return app.exec(); // until killed
    }
    qputenv("VETORLAN_METNO_URL", QByteArray::fromStdString(standIn.metNorwayBase()));
    qputenv("VETORLAN_OPENMETEO_URL", QByteArray::fromStdString(standIn.openMeteoBase()));
    CurlHttpClient client;
    SetHttpClient(&client);
    if (app.arguments().contains(QStringLiteral("--one"))) {
        Forecast forecast;
        SourceFailures failures;
        FetchLiveForecast(QStringLiteral("27612"), forecast, failures);
    } else {
        LoadAllTowns(standIn);
    }
    RenderOnePage();
    SetHttpClient(nullptr);
    return 0;
}
