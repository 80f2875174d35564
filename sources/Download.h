#pragma once

#include "sources/Addresses.h"
#include "sources/PageSource.h"

#include <QByteArray>
#include <QString>
#include <atomic>

namespace vetorlan {

// What one fetch brought: the whole body of a 2xx answer, or why it failed: the technical
// wording, a short Russian reason for the user (empty: the wording serves) and the HTTP status
// of a refused answer.
struct FetchResult {
    bool ok = false;
    QByteArray body;
    QString error;
    QString reason;
    int status = 0;

    static FetchResult success(QByteArray bytes) { return {true, std::move(bytes), {}, {}, 0}; }
    static FetchResult failure(QString why, QString reason = {}, int status = 0) {
        return {false, {}, std::move(why), std::move(reason), status};
    }
};

// Fetches a page with the installed HTTP client. Succeeds only when the answer arrived whole
// (its announced length, or a closed document when the server ends it by closing) with a 2xx
// status and a body that is not empty. Safe from several threads; gives up soon after
// `cancelled` (when given) becomes true.
FetchResult FetchPage(const QString& url, const std::atomic<bool>* cancelled = nullptr);

// Pages fetched from the page service and rewritten for offline viewing.
const PageSource& ServicePages();

// The page service as the user and the log see it: its host and port.
QString ServiceName();

// ServiceUrl() + "/detailed.xml?city=" + index.
QString ForecastUrl(const QString& stationIndex);

} // namespace vetorlan
