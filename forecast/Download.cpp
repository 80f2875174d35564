#include "forecast/Download.h"

#include "core/FileSystemObject.h"
#include "forecast/HttpClient.h"
#include "forecast/LiveForecast.h"

#include <QByteArray>
#include <QUrl>
#include <atomic>

namespace vetorlan {

namespace {

std::atomic<Fetcher*> currentFetcher = nullptr;

// The environment variable when it is set and not empty, else the build's value; without
// trailing slashes, so that paths can be appended as they are.
QString AddressSetting(const char* variable, const char* buildDefault) {
    QString value = qEnvironmentVariable(variable).trimmed();
    if (value.isEmpty())
        value = QString::fromUtf8(buildDefault);
    while (value.endsWith(QLatin1Char('/')))
        value.chop(1);
    return value;
}

} // namespace

void SetFetcher(Fetcher* fetcher) {
    currentFetcher = fetcher;
}

bool UsesLiveSources() {
    return ServiceUrl().isEmpty() && CurrentHttpClient();
}

QString ServiceName() {
    const QUrl url(ServiceUrl());
    if (url.host().isEmpty())
        return QStringLiteral("сервер прогнозов");
    return url.port() > 0 ? url.host() + QLatin1Char(':') + QString::number(url.port()) : url.host();
}

TownFetch FetchTownPage(const QString& stationIndex, const QString& url, const std::atomic<bool>* cancelled) {
    TownFetch town;
    if (UsesLiveSources()) {
        town.ok = FetchLivePage(stationIndex, town.body, town.failures, cancelled);
        return town;
    }
    // Without a fetcher nothing can arrive: report the failure rather than a stale success.
    Fetcher* fetcher = currentFetcher.load();
    FetchResult fetched = fetcher ? fetcher->Fetch(url, cancelled) : FetchResult::failure(QStringLiteral("no fetcher"));
    town.ok = fetched.ok;
    town.body = std::move(fetched.body);
    if (!fetched.ok)
        town.failures.append(
            {ServiceName(), fetched.reason.isEmpty() ? fetched.error : fetched.reason, fetched.status, fetched.error});
    return town;
}

bool DownloadFile(const QString& url, const QString& path) {
    Fetcher* fetcher = currentFetcher.load();
    const FetchResult fetched =
        fetcher ? fetcher->Fetch(url, nullptr) : FetchResult::failure(QStringLiteral("no fetcher"));
    return fetched.ok && WriteFileAtomic(ResolvePath(path), fetched.body);
}

QString ServiceUrl() {
    return AddressSetting("VETORLAN_SERVICE_URL", VETORLAN_DEFAULT_SERVICE_URL);
}

QString ImageHost() {
    return AddressSetting("VETORLAN_IMAGE_HOST", VETORLAN_DEFAULT_IMAGE_HOST);
}

QString ForecastUrl(const QString& stationIndex) {
    return ServiceUrl() + QStringLiteral("/detailed.xml?city=") + stationIndex;
}

} // namespace vetorlan
