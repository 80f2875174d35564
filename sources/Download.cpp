#include "sources/Download.h"

#include "sources/Converter.h"

#include <QByteArray>
#include <QUrl>
#include <atomic>

namespace vetorlan {

namespace {

std::atomic<Fetcher*> currentFetcher = nullptr;

// A page that arrived but cannot be used.
TownPage Unusable(const QString& reason, const QString& detail) {
    return {false, {}, {{ServiceName(), reason, 0, detail}}};
}

class ServicePageSource final : public PageSource {
public:
    TownPage Page(const QString&, const QString& url, const RewriteOptions& options,
                  const std::atomic<bool>* cancelled) const override {
        // Without a fetcher nothing can arrive: report the failure rather than a stale success.
        Fetcher* fetcher = currentFetcher.load();
        FetchResult fetched =
            fetcher ? fetcher->Fetch(url, cancelled) : FetchResult::failure(QStringLiteral("no fetcher"));
        if (!fetched.ok)
            return {false,
                    {},
                    {{ServiceName(), fetched.reason.isEmpty() ? fetched.error : fetched.reason, fetched.status,
                      fetched.error}}};
        if (!LooksLikeForecastPage(fetched.body, options.imageHost))
            return Unusable(QStringLiteral("получена не страница прогноза"), QStringLiteral("not a forecast page"));
        QByteArray page = ConvertPageText(std::move(fetched.body), options.multiLoad, options.imageHost);
        if (page.isEmpty())
            return Unusable(QStringLiteral("страница слишком велика"),
                            QStringLiteral("the rewritten page would be too large"));
        return {true, std::move(page), {}};
    }
    bool Live() const override { return false; }
};

} // namespace

void SetFetcher(Fetcher* fetcher) {
    currentFetcher = fetcher;
}

Fetcher* CurrentFetcher() {
    return currentFetcher.load();
}

QString ServiceName() {
    const QUrl url(ServiceUrl());
    if (url.host().isEmpty())
        return QStringLiteral("сервер прогнозов");
    return url.port() > 0 ? url.host() + QLatin1Char(':') + QString::number(url.port()) : url.host();
}

const PageSource& ServicePages() {
    static const ServicePageSource source;
    return source;
}

QString ForecastUrl(const QString& stationIndex) {
    return ServiceUrl() + QStringLiteral("/detailed.xml?city=") + stationIndex;
}

} // namespace vetorlan
