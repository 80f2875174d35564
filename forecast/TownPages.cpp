#include "forecast/TownPages.h"

#include <QTimer>

namespace vetorlan {

TownPage PrepareTownPage(const TownJob& job, const RewriteOptions& options, const std::atomic<bool>* cancelled) {
    const PageSource* source = CurrentPageSource();
    if (!source)
        return {false, {}, {{QStringLiteral("загрузка"), QStringLiteral("нет источника страниц"), 0, {}}}};
    return source->Page(job.stationIndex, job.url, options, cancelled);
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
