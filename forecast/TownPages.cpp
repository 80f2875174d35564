#include "forecast/TownPages.h"

#include "forecast/Converter.h"
#include "forecast/Download.h"

#include <QTimer>

namespace vetorlan {

namespace {

// A page that arrived but cannot be used: blamed on the page service, or on the rewriting of
// a page made here.
TownPage Unusable(SourceFailures failures, const QString& reason, const QString& detail) {
    const QString source = UsesLiveSources() ? QStringLiteral("переработка страницы") : ServiceName();
    failures.append({source, reason, 0, detail});
    return {false, {}, std::move(failures)};
}

} // namespace

TownPage PrepareTownPage(const TownJob& job, const RewriteOptions& options, const std::atomic<bool>* cancelled) {
    TownFetch fetched = FetchTownPage(job.stationIndex, job.url, cancelled);
    if (!fetched.ok)
        return {false, {}, std::move(fetched.failures)};
    if (!LooksLikeForecastPage(fetched.body, options.imageHost))
        return Unusable(std::move(fetched.failures), QStringLiteral("получена не страница прогноза"),
                        QStringLiteral("not a forecast page"));
    QByteArray page = ConvertPageText(std::move(fetched.body), options.multiLoad, options.imageHost);
    if (page.isEmpty())
        return Unusable(std::move(fetched.failures), QStringLiteral("страница слишком велика"),
                        QStringLiteral("the rewritten page would be too large"));
    return {true, std::move(page), std::move(fetched.failures)};
}

TownPagePool::TownPagePool(std::vector<TownJob> jobs, RewriteOptions options)
    : jobs_(std::move(jobs)), options_(std::move(options)), pages_(jobs_.size()) {
    const size_t count = std::min<size_t>(kWorkers, jobs_.size());
    for (size_t i = 0; i < count; ++i)
        workers_.emplace_back([this] { Work(); });
}

TownPagePool::~TownPagePool() {
    cancelled_ = true;
    for (std::thread& worker : workers_)
        worker.join();
}

void TownPagePool::Work() {
    for (size_t i = next_++; i < jobs_.size() && !cancelled_; i = next_++) {
        TownPage page = PrepareTownPage(jobs_[i], options_, &cancelled_);
        {
            const std::lock_guard lock(mutex_);
            pages_[i] = std::move(page);
        }
        QMetaObject::invokeMethod(&waiting_, &QEventLoop::quit, Qt::QueuedConnection);
    }
}

bool TownPagePool::Ready(size_t i) {
    const std::lock_guard lock(mutex_);
    return pages_[i].has_value();
}

std::optional<TownPage> TownPagePool::Take(size_t i) {
    // A wake-up that could slip between the check and the wait is caught by the timer.
    QTimer backstop;
    QObject::connect(&backstop, &QTimer::timeout, &waiting_, &QEventLoop::quit);
    backstop.start(250);
    while (!cancelled_ && !Ready(i)) {
        if (waiting_.exec() < 0) // the application is quitting: no event loop can run any more
            cancelled_ = true;
    }
    if (cancelled_)
        return std::nullopt;
    const std::lock_guard lock(mutex_);
    return std::move(pages_[i]);
}

void TownPagePool::Cancel() {
    cancelled_ = true;
    waiting_.quit();
}

} // namespace vetorlan
