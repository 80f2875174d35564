#include "forecast/LoadPipeline.h"

#include "core/Clock.h"
#include "core/FileSystemObject.h"
#include "core/Log.h"
#include "core/MessageBox.h"
#include "core/ProgramFolder.h"
#include "core/Settings.h"
#include "core/Sound.h"
#include "forecast/CopyView.h"
#include "forecast/IndexPage.h"
#include "forecast/LatinFileNames.h"
#include "forecast/TownPages.h"
#include "net/Connection.h"
#include "sources/AnswerCache.h"
#include "sources/CurrentWeather.h"
#include "sources/Converter.h"
#include "sources/Download.h"

#include <QDir>
#include <QFile>

namespace vetorlan {

namespace {

const QString kLoadingTip = QStringLiteral("Идет загрузка прогноза погоды...");

// The window keeps working during a load: the user may change the settings meanwhile. The
// pages are published under the settings the load started with; the user's changes stay.
class LoadedSettings {
public:
    LoadedSettings() : settings_(AppSettings()) {}
    template <typename Work> FsStatus Apply(Work work) const {
        const Settings settings = AppSettings();
        AppSettings() = settings_;
        FsStatus status = work();
        AppSettings() = settings;
        return status;
    }

private:
    Settings settings_;
};

// Removes what a program killed in the middle of a write left in the folder: the temporary
// files of WriteFileAtomic, and the ".vetorlan-tmp" pages of older versions.
void RemoveLeftoverTemps(const QString& folder) {
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::System | QDir::Hidden))
        if (IsTemporaryFileName(name) || name.endsWith(QLatin1String(".vetorlan-tmp")))
            QFile::remove(dir.filePath(name));
}

// Clears the running flag whatever way the load leaves.
class RunningGuard {
public:
    explicit RunningGuard(bool& flag) : flag_(flag) { flag_ = true; }
    ~RunningGuard() { flag_ = false; }
    RunningGuard(const RunningGuard&) = delete;
    RunningGuard& operator=(const RunningGuard&) = delete;

private:
    bool& flag_;
};

QString TipWithTime(const QString& what, const QDateTime& when, const QLocale& locale) {
    return what + "\nпроизошла " + DefaultDateText(when.date(), locale) + "\nв " + DefaultTimeText(when.time(), locale);
}

const QString kAutomaticLoadsStopped = QStringLiteral(
    "Попытки автоматической загрузки прогноза будут прекращены до перезапуска программы, либо до первой "
    "успешной загрузки прогноза вручную. Для ручной загрузки воспользуйтесь контекстным меню иконки программы в "
    "трее (щелчок правой кнопкой мыши - пункт меню 'Загрузить прогноз'), либо соответствующей кнопкой из "
    "главного окна программы.");

// One line of the log for a town: its outcome, and each source that failed with its reason.
QString TownLogLine(const TownJob& job, const TownPage& page) {
    QString line = job.name + QStringLiteral(" (") + job.stationIndex + QStringLiteral("): ") +
                   (page.ok ? QStringLiteral("загружен") : QStringLiteral("не загружен"));
    if (!page.failures.isEmpty())
        line += QStringLiteral(" — ") + ReasonsLogText(page.failures);
    return line;
}

} // namespace

QString NoTownMessage() {
    return QStringLiteral("Выберите город, для которого необходимо загрузить прогноз погоды !");
}

QString OfflineMessage() {
    return QStringLiteral("Вы не в On Line !\nУстановите соединение с Интернетом.");
}

QString LoadFailedMessage() {
    const QString reasons = QStringLiteral(
        "Не удается установить соединение с сервером Гидрометеоцентра.\n"
        "Возможные причины ошибки:\n"
        "\n"
        "1. В Internet Explorer выбран автономный режим работы. Запустите Internet Explorer, меню 'Файл' - уберите "
        "галочку с пункта 'Работать автономно'\n"
        "\n"
        "2. Программа блокирована файрволом (межсетевым экраном), запретившим ей выход в Интеренет. Добавьте "
        "программу в список доверенных приложений, либо обратитесь к системному администратору.\n"
        "\n"
        "3. Соединение с Интернетом было прервано во время загрузки данных.\n"
        "\n"
        "4. В настройках выбран режим работы на выделенной линии, но в данный момент нет соединения с Интернетом\n"
        "\n");
    return reasons + kAutomaticLoadsStopped;
}

QString LiveLoadFailedMessage(const QString& town, const SourceFailures& failures, const QString& logFile) {
    QString text = QStringLiteral("Не удалось загрузить прогноз погоды для города %1.\n").arg(town);
    if (!failures.isEmpty())
        text += ReasonsText(failures) + u'\n';
    text += QStringLiteral(
        "\n"
        "Возможные причины ошибки:\n"
        "1. Нет соединения с Интернетом, или оно было прервано во время загрузки данных.\n"
        "2. Программа блокирована файрволом (межсетевым экраном), запретившим ей выход в Интернет. Добавьте "
        "программу в список доверенных приложений, либо обратитесь к системному администратору.\n"
        "3. Службы погоды временно недоступны. Попробуйте загрузить прогноз позже.\n"
        "\n");
    if (!logFile.isEmpty())
        text += QStringLiteral("Подробности записаны в журнал %1\n\n").arg(QDir::toNativeSeparators(logFile));
    return text + kAutomaticLoadsStopped;
}

QString LoadFailedTip(const QDateTime& when, const SourceFailures& failures, const QLocale& locale) {
    const QString tip = TipWithTime(QStringLiteral("Ошибка подключения к серверу"), when, locale);
    return failures.isEmpty() ? tip : tip + u'\n' + ReasonsText(failures);
}

int ExitCodeOf(LoadResult result, int failedTowns) {
    switch (result) {
    case LoadResult::Succeeded:
        return failedTowns > 0 ? kExitSomeTownsFailed : kExitLoaded;
    case LoadResult::NoTown:
        return kExitNoTown;
    case LoadResult::Offline:
        return kExitOffline;
    case LoadResult::Failed:
        return kExitFailed;
    case LoadResult::FileError:
        return kExitFileError;
    case LoadResult::Busy:
    case LoadResult::Cancelled:
        break;
    }
    return kExitOther;
}

bool LoadPipeline::TownChosen() const {
    if (!IsMultiLoad(AppSettings()))
        return host_.SingleTownRow() != -1;
    return host_.SelectedTowns().count >= 1;
}

LoadResult LoadPipeline::LoadForecast() {
    if (running_)
        return LoadResult::Busy;
    RunningGuard guard(running_);
    const Settings& s = AppSettings();
    failedTowns_ = 0;
    if (!TownChosen()) {
        WriteLog(QStringLiteral("загрузка: город не выбран"));
        ShowMessageBox(NoTownMessage(), QStringLiteral("Выбор не сделан"), MsgIcon::Information);
        return LoadResult::NoTown;
    }
    host_.SaveTownLists();
    if (IsDialUp(s) && !IsOnline()) {
        WriteLog(QStringLiteral("загрузка: модемное соединение не установлено"));
        ShowMessageBox(OfflineMessage(), QStringLiteral("Ошибка подключения"), MsgIcon::Critical);
        return LoadResult::Offline;
    }
    cancelled_ = false;
    // The selection may change while the pages are fetched: the load publishes what it loaded.
    const TownSelection towns = host_.SelectedTowns();
    const LoadedSettings loaded;
    RemoveLeftoverTemps(ProgramFolder());
    RemoveCacheLeftovers();
    const TownFetchOutcome fetched = FetchTowns(towns);
    failedTowns_ = fetched.failedTowns;
    if (cancelled_) {
        WriteLog(QStringLiteral("загрузка прервана"));
        host_.ShowLoadingVisuals(false);
        return LoadResult::Cancelled;
    }
    FsStatus published = fetched.written;
    if (published)
        published = loaded.Apply([&] { return PublishPages(towns, fetched.lastTownOk); });
    host_.ShowLoadingVisuals(false);
    if (!published) {
        ReportFileError(published);
        return LoadResult::FileError;
    }
    if (!fetched.lastTownOk) {
        FailedActions(fetched);
        return LoadResult::Failed;
    }
    SucceededActions();
    return LoadResult::Succeeded;
}

std::vector<TownJob> LoadPipeline::TownJobs(const TownSelection& towns) const {
    const bool multi = IsMultiLoad(AppSettings());
    // A single-town load fetches its one town once, whatever the multi-town list holds.
    const int passes = multi ? towns.count : 1;
    const QString folder = ProgramFolder();
    std::vector<TownJob> jobs;
    for (int counter = 1; counter <= passes; ++counter) {
        TownEntry entry;
        if (multi) {
            entry = towns[counter];
        } else {
            const int slot = host_.SingleTownRow() + 1;
            entry = slot >= 1 && slot <= kRegionSlots ? host_.RegionTowns()[slot] : TownEntry();
        }
        const QString index = TownIndex(entry);
        jobs.push_back({index, ForecastUrl(index),
                        multi ? folder + "/" + TownName(entry) + ".htm" : folder + "/" + kMainPageName.toLower(),
                        TownName(entry)});
    }
    return jobs;
}

// Takes the pages in list order and writes each as it comes; the outcome tells of the last
// town. A page that cannot be written ends the load with that file error.
TownFetchOutcome LoadPipeline::FetchTowns(const TownSelection& towns) {
    const std::vector<TownJob> jobs = TownJobs(towns);
    SetTrayStation(jobs.empty() ? QString() : jobs.front().stationIndex);
    TownPagePool pool(jobs, {AppSettings().MultiLoad, ImageHost()});
    pool_ = &pool;
    TownFetchOutcome outcome;
    for (size_t i = 0; i < jobs.size() && outcome.written; ++i) {
        LoadURL = jobs[i].url;
        LoadFile = jobs[i].file;
        host_.ShowLoadingVisuals(true);
        host_.ShowLoadState(LoadState::Loading);
        host_.SetTrayTip(kLoadingTip);
        const std::optional<TownPage> page = pool.Take(i);
        if (!page) {
            cancelled_ = true;
            break;
        }
        WriteLog(TownLogLine(jobs[i], *page));
        outcome.lastTownOk = page->ok;
        outcome.lastTown = jobs[i].name;
        outcome.lastTownFailures = page->failures;
        outcome.failedTowns += page->ok ? 0 : 1;
        if (page->ok)
            outcome.written = WriteFileAtomic(ResolvePath(LoadFile), page->bytes);
    }
    pool.Cancel(); // after a file error the rest is not wanted
    pool_ = nullptr;
    return outcome;
}

void LoadPipeline::Cancel() {
    if (!running_)
        return;
    cancelled_ = true;
    if (pool_)
        pool_->Cancel();
}

FsStatus LoadPipeline::PublishPages(const TownSelection& towns, bool lastTownOk) {
    const Settings& s = AppSettings();
    if (IsTrue(s.TranslitFileName)) {
        if (FsStatus status = MakeLatinFileNames(towns, fileNames_); !status)
            return status;
    } else {
        for (int i = 1; i <= towns.count && i <= kCatalogSize; ++i)
            fileNames_[i] = towns[i];
    }
    if (IsMultiLoad(s) && lastTownOk)
        return WriteIndexPage(towns, fileNames_);
    return FsStatus::success();
}

void LoadPipeline::SucceededActions() {
    const Settings& s = AppSettings();
    host_.ShowLoadStatus();
    host_.ShowLoadState(LoadState::Idle);
    AutoLoadStopped = false;
    if (!WorksAsDialUp(s))
        host_.EnableScheduledLoads();
    if (IsTrue(s.HangUp))
        HangUpAll();
    if (IsTrue(s.Sound))
        PlaySuccessSound();
    host_.ShowLoadStatus();
    if (IsTrue(s.ShellLoad))
        ShowForecast();
    if (IsTrue(s.NimboraCopy))
        CopyForecast();
    if (IsTrue(s.LoadExit))
        host_.ExitProgram();
}

void LoadPipeline::FailedActions(const TownFetchOutcome& fetched) {
    host_.SetTrayTip(LoadFailedTip(Now(), fetched.lastTownFailures));
    if (IsTrue(AppSettings().MSGError)) {
        AutoLoadStopped = true;
        const QString text = UsesLiveSources()
                                 ? LiveLoadFailedMessage(fetched.lastTown, fetched.lastTownFailures, LogFile())
                                 : LoadFailedMessage();
        ShowMessageBox(text, QStringLiteral("Ошибка подключения"), MsgIcon::Critical);
    }
    host_.ShowLoadState(LoadState::Failed);
    // A page left under its temporary name by an interrupted rewrite gets its name back.
    if (!FileExists(LoadFile) && FileExists(LoadFile + "l"))
        RenameFile(ResolvePath(LoadFile + "l"), LoadFile);
    AutoLoadStopped = true;
}

void LoadPipeline::ReportFileError(const FsStatus& status) {
    WriteLog(QStringLiteral("загрузка: файлы прогноза не записаны — ") + status.error);
    host_.SetTrayTip(TipWithTime(QStringLiteral("Ошибка записи файлов прогноза"), Now(), QLocale::system()));
    host_.ShowLoadState(LoadState::Failed);
    ShowMessageBox(QStringLiteral("Не удалось записать файлы прогноза погоды.\nПричина: %1.").arg(status.error),
                   QStringLiteral("Ошибка"), MsgIcon::Critical);
    AutoLoadStopped = true;
}

} // namespace vetorlan
