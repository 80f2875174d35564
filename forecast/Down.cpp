#include "forecast/Down.h"

#include "forecast/HttpClient.h"
#include "forecast/LiveForecast.h"

#include <QByteArray>

namespace vetorlan {

bool LoadOK = false;

namespace {

Fetcher* currentFetcher = nullptr;

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

void DownloadFile(const QString& url, const QString& path) {
    if (ServiceUrl().isEmpty() && CurrentHttpClient()) { // no page service: made from the live sources
        LoadOK = WriteLivePage(url, path);
        return;
    }
    // Without a fetcher nothing can arrive: report the failure rather than a stale success.
    LoadOK = currentFetcher != nullptr && currentFetcher->Fetch(url, path);
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
