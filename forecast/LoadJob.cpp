#include "forecast/LoadJob.h"

#include "core/FileSystemObject.h"
#include "core/Log.h"
#include "forecast/IndexPage.h"
#include "forecast/TownPages.h"
#include "sources/AnswerCache.h"
#include "sources/CurrentWeather.h"
#include "sources/Download.h"

#include <QDir>
#include <QFile>

namespace vetorlan {

namespace {

// Removes what a load killed in the middle of a write left in the folder: the temporary
// files of WriteFileAtomic, and the ".vetorlan-tmp" pages of older versions.
void RemoveLeftoverTemps(const QString& folder) {
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::System | QDir::Hidden))
        if (IsTemporaryFileName(name) || name.endsWith(QLatin1String(".vetorlan-tmp")))
            QFile::remove(dir.filePath(name));
}

// One line of the log for a town: its outcome, and each source that failed with its reason.
QString TownLogLine(const TownJob& job, const TownPage& page) {
    QString line = job.name + QStringLiteral(" (") + job.stationIndex + QStringLiteral("): ") +
                   (page.ok ? QStringLiteral("загружен") : QStringLiteral("не загружен"));
    if (!page.failures.isEmpty())
        line += QStringLiteral(" — ") + ReasonsLogText(page.failures);
    return line;
}

std::vector<TownJob> TownJobs(const LoadRequest& request) {
    std::vector<TownJob> jobs;
    for (const LoadTown& town : request.towns) {
        const QString index = TownIndex(town.entry);
        jobs.push_back({index, ForecastUrl(index), town.file, TownName(town.entry)});
    }
    return jobs;
}

// Takes the pages in list order and writes each as it comes. A page that cannot be written
// ends the fetching with that file error.
FsStatus FetchTowns(const LoadRequest& request, const TownDone& townDone, LoadCancel& cancel,
                    std::vector<TownResult>& results) {
    const std::vector<TownJob> jobs = TownJobs(request);
    // The first town is the tray's: its current weather is kept for the tray icon.
    SetTrayStation(jobs.empty() ? QString() : jobs.front().stationIndex);
    TownPagePool pool(jobs, {request.settings.MultiLoad, ImageHost()});
    cancel.Attach(&pool);
    FsStatus written = FsStatus::success();
    for (size_t i = 0; i < jobs.size() && written && !cancel.Cancelled(); ++i) {
        const std::optional<TownPage> page = pool.Take(i);
        if (!page)
            break;
        WriteLog(TownLogLine(jobs[i], *page));
        if (page->ok)
            written = WriteFileAtomic(ResolvePath(jobs[i].file), page->bytes);
        results.push_back({page->ok, page->failures});
        townDone(int(i) + 1, results.back());
    }
    cancel.Attach(nullptr);
    pool.Cancel(); // after a file error the rest is not wanted
    return written;
}

FsStatus PublishPages(const LoadRequest& request, bool lastTownOk, TownFileNameList& names) {
    const Settings& s = request.settings;
    if (IsTrue(s.TranslitFileName)) {
        if (FsStatus status = MakeLatinFileNames(request.selected, names); !status)
            return status;
    } else {
        for (int i = 1; i <= request.selected.count && i <= kCatalogSize; ++i)
            names[i] = request.selected[i];
    }
    if (IsMultiLoad(s) && lastTownOk)
        return WriteIndexPage(request.selected, names, s);
    return FsStatus::success();
}

} // namespace

void LoadCancel::Cancel() {
    cancelled_ = true;
    if (pool_)
        pool_->Cancel();
}

LoadOutcome RunLoadJob(const LoadRequest& request, const TownDone& townDone, LoadCancel& cancel) {
    RemoveLeftoverTemps(request.folder);
    RemoveCacheLeftovers();
    LoadOutcome outcome;
    FsStatus status = FetchTowns(request, townDone, cancel, outcome.towns);
    if (cancel.Cancelled()) {
        outcome.end = LoadOutcome::End::Cancelled;
        return outcome;
    }
    const bool lastTownOk = !outcome.towns.empty() && outcome.towns.back().ok;
    if (status)
        status = PublishPages(request, lastTownOk, outcome.fileNames);
    if (!status) {
        outcome.end = LoadOutcome::End::FileError;
        outcome.reason = status.error;
    } else {
        outcome.end = lastTownOk ? LoadOutcome::End::Succeeded : LoadOutcome::End::Failed;
    }
    return outcome;
}

} // namespace vetorlan
