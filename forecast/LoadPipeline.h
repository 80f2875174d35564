#pragma once

#include "core/Clock.h"
#include "core/FsStatus.h"
#include "forecast/LatinFileNames.h"
#include "sources/SourceFailure.h"
#include "towns/Selection.h"
#include "towns/TownCatalog.h"

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <vector>

namespace vetorlan {

// What the tray shows of the load: none running, one running, the last one failed.
enum class LoadState { Idle, Loading, Failed };

// What a load needs from the main window: what it shows and the few controls it reads.
class LoadHost {
public:
    virtual ~LoadHost() = default;
    // The selected row of the town box (-1: none).
    virtual int SingleTownRow() const = 0;
    // The towns of the region the town box shows, in its rows' order from slot 1.
    virtual const RegionTownList& RegionTowns() const = 0;
    // The towns selected in the multi-town list.
    virtual const TownSelection& SelectedTowns() const = 0;
    // SaveTownLists of the main window.
    virtual void SaveTownLists() = 0;
    // Loading background and disabled load button (true), or the idle ones; repaints at once.
    virtual void ShowLoadingVisuals(bool loading) = 0;
    virtual void ShowLoadState(LoadState state) = 0;
    virtual void SetTrayTip(const QString& text) = 0;
    virtual void ShowLoadStatus() = 0;
    // Enables the scheduled loads again (a successful load on a direct line).
    virtual void EnableScheduledLoads() = 0;
    // Unloads the main window and ends the program (LoadExit after a success).
    virtual void ExitProgram() = 0;
};

// Texts of the load.
QString NoTownMessage();
QString OfflineMessage();
// The failure message of the page service.
QString LoadFailedMessage();
// The failure message of the live sources: the town, each source with its reason, and the
// log file where the details are (left out when there is none).
QString LiveLoadFailedMessage(const QString& town, const SourceFailures& failures, const QString& logFile);
// "Ошибка подключения к серверу" with the date and time of the failure on two more lines,
// and the sources' reasons on the last one when there are any.
QString LoadFailedTip(const QDateTime& when, const SourceFailures& failures = {},
                      const QLocale& locale = QLocale::system());

// Outcome of one load.
enum class LoadResult { NoTown, Offline, Busy, Succeeded, Failed, FileError, Cancelled };

// The exit status of "/load", for scripts: 0 every town loaded; 2 no town chosen; 3 offline on
// a dial-up line; 4 the load failed (the last town's forecast did not come); 5 the pages could
// not be written; 6 loaded, but some earlier towns failed; 1 anything else.
enum LoadExitCode {
    kExitLoaded = 0,
    kExitOther = 1,
    kExitNoTown = 2,
    kExitOffline = 3,
    kExitFailed = 4,
    kExitFileError = 5,
    kExitSomeTownsFailed = 6,
    kExitAnotherCopy = 7, // another copy holds the program folder
};
int ExitCodeOf(LoadResult result, int failedTowns);

// The load behind the load button: town check, save of the town lists, dial-up gate, the
// fetch and rewrite of every chosen town, file names, index page, then the success or
// the failure actions. Everything the window shows goes through the host. The pages are
// fetched on worker threads while the window keeps processing events; they are written,
// and the host told, in list order on the calling thread.
class TownPagePool;
struct TownJob;

// How the fetch of a load's towns ended: whether the last town's page arrived (and why not),
// how many towns failed, and the file error that stopped the writing, if any.
struct TownFetchOutcome {
    bool lastTownOk = false;
    QString lastTown;
    SourceFailures lastTownFailures;
    int failedTowns = 0;
    FsStatus written;
};

class LoadPipeline {
public:
    explicit LoadPipeline(LoadHost& host) : host_(host) {}

    LoadResult LoadForecast();

    bool LoadInProgress() const { return running_; }
    // Ends a running load at once: fetches give up, nothing more is written, no actions run.
    void Cancel();
    // Automatic loads stay stopped after a failed load until one succeeds.
    bool AutoLoadStopped = false;
    // URL and file of the page fetched last.
    QString LoadURL;
    QString LoadFile;
    // The file names (without ".htm") the last load gave its towns' pages, in list order.
    const TownFileNameList& FileNames() const { return fileNames_; }
    // The number of towns whose forecast did not come in the last load.
    int FailedTowns() const { return failedTowns_; }

private:
    bool TownChosen() const;
    std::vector<TownJob> TownJobs(const TownSelection& towns) const;
    TownFetchOutcome FetchTowns(const TownSelection& towns);
    FsStatus PublishPages(const TownSelection& towns, bool lastTownOk);
    void SucceededActions();
    void FailedActions(const TownFetchOutcome& fetched);
    void ReportFileError(const FsStatus& status);

    LoadHost& host_;
    bool running_ = false;
    bool cancelled_ = false;
    TownPagePool* pool_ = nullptr;
    TownFileNameList fileNames_;
    int failedTowns_ = 0;
};

} // namespace vetorlan
