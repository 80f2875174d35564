// Benchmark (not a test): a 400-town load made from the live sources' loopback stand-in, on
// four threads as the load runs it, through the shared request gate; then the time to read
// one answer and to render one page from it. With --one only Moscow is loaded before the reading
// and rendering. With --serve it only runs the stand-in and prints its two base addresses, for
// loads of the built program (scripts/bench-app.sh).
#include "forecast/AnswerCache.h"
#include "forecast/Download.h"
#include "forecast/ForecastPageRenderer.h"
#include "forecast/HttpClient.h"
#include "forecast/LiveForecast.h"
#include "forecast/LiveSources.h"
#include "forecast/Stations.h"
#include "platform/CurlHttpClient.h"
#include "tools/live-stand-in/LiveStandIn.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
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
                QByteArray page;
                QString error;
                if (!FetchLivePage(AllStations()[i].index, page, error))
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
        QByteArray page;
        QString error;
        FetchLivePage(station.index, page, error);
    }
    std::printf("400 towns again while fresh: %.2f s wall, %d new requests\n", timer.nsecsElapsed() / 1e9,
                int(standIn.seen().size()) - requests);
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
    qsizetype bytes = 0;
    timer.restart();
    for (int i = 0; i < rounds; ++i)
        bytes += RenderForecastPage(forecast, ImageHost()).size();
    std::printf("render one page (%lld bytes): %.1f us\n", static_cast<long long>(bytes / rounds),
                timer.nsecsElapsed() / 1e3 / rounds);
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
        QByteArray page;
        QString error;
        FetchLivePage(QStringLiteral("27612"), page, error);
    } else {
        LoadAllTowns(standIn);
    }
    RenderOnePage();
    SetHttpClient(nullptr);
    return 0;
}
