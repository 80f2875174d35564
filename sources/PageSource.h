#pragma once

#include "sources/SourceFailure.h"

#include <QByteArray>
#include <QString>
#include <atomic>

namespace vetorlan {

// A town's page ready to be written, or why it is not. A page made from the second live
// source keeps the first one's failure.
struct TownPage {
    bool ok = false;
    QByteArray bytes;
    SourceFailures failures;
};

// What a page needs besides its town, copied in so that the load's workers read no shared settings.
struct RewriteOptions {
    QString multiLoad;
    QString imageHost;
};

// Where the load's pages come from: the live services (a station's forecast rendered as the
// page) or the page service (its page fetched and rewritten). One is chosen at start-up.
class PageSource {
public:
    virtual ~PageSource() = default;
    // The finished page of one town (its station index and the page service's address for
    // it). Called from the load's worker threads; gives up soon after `cancelled` becomes true.
    virtual TownPage Page(const QString& stationIndex, const QString& url, const RewriteOptions& options,
                          const std::atomic<bool>* cancelled) const = 0;
    virtual bool Live() const = 0;
};

// The source the load uses; none installed: every page fails.
void SetPageSource(const PageSource* source);
const PageSource* CurrentPageSource();

// Whether the installed source is the live services.
bool UsesLiveSources();

} // namespace vetorlan
