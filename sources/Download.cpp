#include "sources/Download.h"

#include "core/ProjectInfo.h"
#include "sources/Converter.h"
#include "sources/HttpClient.h"

#include <QByteArray>
#include <QUrl>
#include <atomic>

namespace vetorlan {

namespace {

// A body that ends when the server closes the connection cannot tell a cut from its end;
// a page is whole only when its document is closed.
bool DocumentClosed(const QByteArray& bytes) {
    return bytes.right(256).trimmed().toLower().endsWith("</html>");
}

// Whether the answer came in chunks or with its length, either of which tells its end.
bool EndIsKnown(const HttpResponse& response) {
    return response.Header("Transfer-Encoding").toLower().contains("chunked") ||
           !response.Header("Content-Length").isEmpty();
}

// A page that arrived but cannot be used.
TownPage Unusable(const QString& reason, const QString& detail) {
    return {false, {}, {{ServiceName(), reason, 0, detail}}};
}

class ServicePageSource final : public PageSource {
public:
    TownPage Page(const QString&, const QString& url, const RewriteOptions& options,
                  const std::atomic<bool>* cancelled) const override {
        FetchResult fetched = FetchPage(url, cancelled);
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

FetchResult FetchPage(const QString& url, const std::atomic<bool>* cancelled) {
    // Without a client nothing can arrive: report the failure rather than a stale success.
    HttpClient* client = CurrentHttpClient();
    if (!client)
        return FetchResult::failure(QStringLiteral("no HTTP client"));
    // Plain bytes are asked for; a compressed answer sent anyway is decoded when the client
    // knows its encoding and fails otherwise (asking for compression slows small local answers).
    const HttpResponse response =
        client->Get({url, {{"User-Agent", ProgramUserAgent()}, {"Accept-Encoding", "identity"}}, cancelled, {}});
    const int status = response.status;
    const QString cut = QStringLiteral("ответ оборван");
    if (!response.error.isEmpty())
        return FetchResult::failure(response.error, response.reason, status >= 300 ? status : 0);
    if (status < 200 || status > 299)
        return FetchResult::failure(QStringLiteral("HTTP status %1").arg(status), HttpStatusReason(status), status);
    if (response.body.isEmpty())
        return FetchResult::failure(QStringLiteral("empty answer"), QStringLiteral("пустой ответ"));
    if (!EndIsKnown(response) && !DocumentClosed(response.body))
        return FetchResult::failure(QStringLiteral("answer without a length cut short (no closing </html>)"), cut);
    return FetchResult::success(response.body);
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
