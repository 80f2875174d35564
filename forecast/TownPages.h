#pragma once

#include "sources/PageSource.h"

#include <QByteArray>
#include <QEventLoop>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace vetorlan {

// One town of a load: where its page comes from and the file it goes to.
struct TownJob {
    QString stationIndex;
    QString url;
    QString file;
    QString name; // the town, for the log
};

// One town's finished page from the installed page source.
TownPage PrepareTownPage(const TownJob& job, const RewriteOptions& options, const std::atomic<bool>* cancelled);

// Prepares the pages of a load on a few worker threads, so that the window lives on, while
// the caller takes them in list order. Waiting runs a local event loop.
class TownPagePool {
public:
    static constexpr int kWorkers = 4;

    TownPagePool(std::vector<TownJob> jobs, RewriteOptions options);
    ~TownPagePool(); // cancels what has not started and joins the workers
    TownPagePool(const TownPagePool&) = delete;
    TownPagePool& operator=(const TownPagePool&) = delete;

    // The page of job `i`, waiting for it while events are processed; nothing once cancelled.
    std::optional<TownPage> Take(size_t i);
    // Stops the load: running fetches give up, nothing else starts, Take returns nothing.
    void Cancel();
    bool Cancelled() const { return cancelled_.load(); }

private:
    void Work();
    bool Ready(size_t i);

    const std::vector<TownJob> jobs_;
    const RewriteOptions options_;
    std::vector<std::optional<TownPage>> pages_;
    std::mutex mutex_;
    std::atomic<size_t> next_ = 0;
    std::atomic<bool> cancelled_ = false;
    QEventLoop waiting_;
    std::vector<std::thread> workers_;
};

} // namespace vetorlan
