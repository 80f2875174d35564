#pragma once

#include "core/Clock.h"
#include "core/FsStatus.h"
#include "forecast/LatinFileNames.h"
#include "forecast/LoadRequest.h"
#include "sources/SourceFailure.h"
#include "towns/Selection.h"
#include "towns/TownCatalog.h"

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <memory>

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

class LoadRunner;

// The load behind the load button: town check, save of the town lists, dial-up gate, then the
// load itself (fetch and rewrite of every chosen town, file names, index page) through the
// runner, then the success or the failure actions. Everything the window shows goes through
// the host; the window keeps processing events while the runner waits. The whole load, its
// actions included, follows the settings it started with.
class LoadPipeline {
public:
    explicit LoadPipeline(LoadHost& host);
    ~LoadPipeline();

    LoadResult LoadForecast();

    bool LoadInProgress() const { return running_; }
    // Ends a running load at once: fetches give up, nothing more is written, no actions run.
    void Cancel();
    // Where the loads run: in this process until another runner is set.
    void SetRunner(std::unique_ptr<LoadRunner> runner);
    // Automatic loads stay stopped after a failed load until one succeeds.
    bool AutoLoadStopped = false;
    // The page file of the town taken last.
    QString LoadFile;
    // The file names (without ".htm") the last load gave its towns' pages, in list order.
    const TownFileNameList& FileNames() const { return fileNames_; }
    // The number of towns whose forecast did not come in the last load.
    int FailedTowns() const { return failedTowns_; }

private:
    bool TownChosen(const Settings& s) const;
    LoadRequest Request(const Settings& s, const TownSelection& towns) const;
    LoadResult Finish(const Settings& s, const LoadOutcome& outcome);
    void SucceededActions(const Settings& s);
    void FailedActions(const Settings& s, const LoadOutcome& outcome);
    void ReportFileError(const QString& error);

    LoadHost& host_;
    std::unique_ptr<LoadRunner> runner_;
    bool running_ = false;
    QString loadTown_; // the town taken last, for the failure message
    TownFileNameList fileNames_;
    int failedTowns_ = 0;
};

} // namespace vetorlan
