#include "sources/LiveForecast.h"

#include "core/ProjectInfo.h"
#include "core/Settings.h"
#include "page/OfflinePage.h"
#include "sources/AnswerCache.h"
#include "sources/CurrentWeather.h"
#include "sources/HttpClient.h"
#include "sources/LiveSources.h"
#include "sources/RequestGate.h"
#include "sources/Stations.h"

#include <QTimeZone>
#include <atomic>

namespace vetorlan {

namespace {

using Reader = bool (*)(const QByteArray& body, const Station& station, const QDateTime& now, const QDateTime& fetched,
                        Forecast& forecast, QString& error);

struct Source {
    const char* key;  // cache file prefix
    const char* name; // as the user and the log see it
    QString (*url)(const Station&);
    Reader read;
};

bool ReadMet(const QByteArray& body, const Station& station, const QDateTime& now, const QDateTime&, Forecast& forecast,
             QString& error) {
    return ReadMetNorway(body, station, now, forecast, error);
}

const Source kMetNorway{"metno", "MET Norway", &MetNorwayUrl, &ReadMet};
const Source kOpenMeteo{"openmeteo", "Open-Meteo", &OpenMeteoUrl, &ReadOpenMeteo};

const QString kCancelledReason = QStringLiteral("загрузка прервана");

QTimeZone ZoneOf(const Station& station) {
    const QTimeZone zone(station.timeZone.toUtf8());
    return zone.isValid() ? zone : QTimeZone::utc();
}

bool IsSet(const std::atomic<bool>* flag) {
    return flag && flag->load();
}

HttpResponse Ask(HttpClient& client, const QString& url, const QByteArray& lastModified,
                 const std::atomic<bool>* cancelled) {
    HttpRequest request{url, {{"User-Agent", LiveUserAgent()}, {"Accept", "application/json"}}, cancelled, {}};
    if (ParseHttpDate(lastModified).isValid()) // whatever else the service sent is not sent back
        request.headers.append({"If-Modified-Since", lastModified});
    RequestGate& gate = RequestGate::Shared();
    if (!gate.Enter(cancelled))
        return {0, {}, {}, QStringLiteral("cancelled"), kCancelledReason};
    request.beforeStart = [&gate, cancelled] { return gate.Start(cancelled); };
    HttpResponse response = client.Get(request);
    gate.Leave();
    return response;
}

// The forecast from a source's answer; `cached` (when given) is what a 304 confirms.
bool TakeAnswer(const Source& source, const Station& station, const HttpResponse& response, CachedAnswer* cached,
                const QDateTime& now, Forecast& forecast, SourceFailure& failure) {
    const QString key = QString::fromLatin1(source.key);
    if (response.status == 304 && cached) {
        cached->expires = ParseHttpDate(response.Header("Expires"));
        if (ParseHttpDate(response.Header("Last-Modified")).isValid())
            cached->lastModified = response.Header("Last-Modified");
        StoreCachedAnswer(key, station.index, *cached);
        return true;
    }
    if (response.status == 203)
        qWarning("%s: the service version is deprecated (203)", qPrintable(source.url(station)));
    failure.httpStatus = response.status;
    if (response.status != 200 && response.status != 203) {
        failure.reason = HttpStatusReason(response.status);
        return false;
    }
    if (!source.read(response.body, station, now, now, forecast, failure.detail)) {
        failure.reason = QStringLiteral("ответ не распознан");
        return false;
    }
    StoreCachedAnswer(
        key, station.index,
        {response.body, response.Header("Last-Modified"), ParseHttpDate(response.Header("Expires")), now});
    return true;
}

// The forecast of one source: from its cache while fresh, else from a new or revalidated answer.
bool LoadSource(const Source& source, const Station& station, Forecast& forecast, SourceFailure& failure,
                const std::atomic<bool>* cancelled) {
    failure.source = QString::fromLatin1(source.name);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    CachedAnswer cached;
    const CacheTrust trust = LoadCachedAnswer(QString::fromLatin1(source.key), station.index, cached)
                                 ? TrustCachedAnswer(cached, now, ZoneOf(station))
                                 : CacheTrust::None;
    QString cacheError;
    const bool usable =
        trust != CacheTrust::None && source.read(cached.body, station, now, cached.fetched, forecast, cacheError);
    if (usable && trust == CacheTrust::Fresh)
        return true;
    HttpClient* client = CurrentHttpClient();
    if (!client) {
        failure.reason = QStringLiteral("нет HTTP-клиента");
        return false;
    }
    const HttpResponse response =
        Ask(*client, source.url(station), usable ? cached.lastModified : QByteArray(), cancelled);
    if (IsSet(cancelled)) { // a cancelled load leaves the cache as it was
        failure.reason = kCancelledReason;
        return false;
    }
    if (!response.error.isEmpty()) {
        failure.reason = response.reason.isEmpty() ? response.error : response.reason;
        failure.detail = response.error;
        return false;
    }
    return TakeAnswer(source, station, response, usable ? &cached : nullptr, now, forecast, failure);
}

class LivePageSource final : public PageSource {
public:
    TownPage Page(const QString& stationIndex, const QString&, const RewriteOptions& options,
                  const std::atomic<bool>* cancelled) const override {
        TownPage town;
        Forecast forecast;
        if (FetchLiveForecast(stationIndex, forecast, town.failures, cancelled))
            town.bytes = RenderOfflinePage(forecast, IsTrue(options.multiLoad));
        town.ok = !town.bytes.isEmpty();
        return town;
    }
    bool Live() const override { return true; }
};

} // namespace

const PageSource& LivePages() {
    static const LivePageSource source;
    return source;
}

QByteArray LiveUserAgent() {
    return ProgramUserAgent();
}

bool FetchLiveForecast(const QString& stationIndex, Forecast& forecast, SourceFailures& failures,
                       const std::atomic<bool>* cancelled) {
    failures.clear();
    const Station* station = FindStation(stationIndex);
    if (!station) {
        failures.append({QStringLiteral("MET Norway"), QStringLiteral("нет координат станции ") + stationIndex, 0, {}});
        return false;
    }
    for (const Source* source : {&kMetNorway, &kOpenMeteo}) {
        SourceFailure failure;
        if (LoadSource(*source, *station, forecast, failure, cancelled)) {
            KeepCurrentWeather(station->index, station->name, forecast);
            return true;
        }
        failures.append(failure);
        if (IsSet(cancelled))
            break;
    }
    return false;
}

} // namespace vetorlan
