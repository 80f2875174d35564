#include "forecast/LoadPipeline.h"

#include "core/Clock.h"
#include "core/FileSystemObject.h"
#include "core/Log.h"
#include "core/MessageBox.h"
#include "core/ProgramFolder.h"
#include "core/Settings.h"
#include "core/Sound.h"
#include "forecast/CopyView.h"
#include "forecast/LoadRunner.h"
#include "net/Connection.h"
#include "sources/AnswerCache.h"
#include "sources/Converter.h"
#include "sources/CurrentWeather.h"
#include "sources/Download.h"

#include <QDir>

namespace vetorlan {

namespace {

const QString kLoadingTip = QStringLiteral("Идет загрузка прогноза погоды...");

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

LoadPipeline::LoadPipeline(LoadHost& host) : host_(host), runner_(std::make_unique<InProcessLoadRunner>()) {}

LoadPipeline::~LoadPipeline() = default;

void LoadPipeline::SetRunner(std::unique_ptr<LoadRunner> runner) {
    runner_ = std::move(runner);
}

bool LoadPipeline::TownChosen(const Settings& s) const {
    if (!IsMultiLoad(s))
        return host_.SingleTownRow() != -1;
    return host_.SelectedTowns().count >= 1;
}

LoadResult LoadPipeline::LoadForecast() {
    if (running_)
        return LoadResult::Busy;
    RunningGuard guard(running_);
    // The settings the load started with; the user may change them while it runs.
    const Settings s = AppSettings();
    failedTowns_ = 0;
    if (!TownChosen(s)) {
        WriteLog(QStringLiteral("загрузка: город не выбран"));
        ShowMessageBox(NoTownMessage(), QStringLiteral("Выбор не сделан"), MsgIcon::Information);
        return LoadResult::NoTown;
    }
    host_.SaveTownLists();
    if (IsDialUp(s) && !IsOnline(s)) {
        WriteLog(QStringLiteral("загрузка: модемное соединение не установлено"));
        ShowMessageBox(OfflineMessage(), QStringLiteral("Ошибка подключения"), MsgIcon::Critical);
        return LoadResult::Offline;
    }
    // The selection may change while the pages are fetched: the load publishes what it loaded.
    const LoadRequest request = Request(s, host_.SelectedTowns());
    LoadFile = request.towns.front().file;
    loadTown_ = TownName(request.towns.front().entry);
    host_.ShowLoadingVisuals(true);
    host_.ShowLoadState(LoadState::Loading);
    host_.SetTrayTip(kLoadingTip);
    const LoadOutcome outcome = runner_->Run(request, [&](int number, const TownResult&) {
        LoadFile = request.towns[number - 1].file;
        loadTown_ = TownName(request.towns[number - 1].entry);
    });
    failedTowns_ = outcome.FailedTowns();
    if (outcome.end == LoadOutcome::End::Cancelled) {
        WriteLog(QStringLiteral("загрузка прервана"));
        host_.ShowLoadingVisuals(false);
        return LoadResult::Cancelled;
    }
    fileNames_ = outcome.fileNames;
    host_.ShowLoadingVisuals(false);
    return Finish(s, outcome);
}

LoadResult LoadPipeline::Finish(const Settings& s, const LoadOutcome& outcome) {
    switch (outcome.end) {
    case LoadOutcome::End::Succeeded:
        SucceededActions(s);
        return LoadResult::Succeeded;
    case LoadOutcome::End::FileError:
        ReportFileError(outcome.reason);
        return LoadResult::FileError;
    case LoadOutcome::End::Failed:
    case LoadOutcome::End::Cancelled:
        break;
    }
    if (!outcome.reason.isEmpty())
        WriteLog(QStringLiteral("загрузка: процесс загрузки ") + outcome.reason);
    FailedActions(s, outcome);
    return LoadResult::Failed;
}

LoadRequest LoadPipeline::Request(const Settings& s, const TownSelection& towns) const {
    LoadRequest request{ProgramFolder(), s, {}, towns};
    if (!IsMultiLoad(s)) {
        // A single-town load fetches its one town once, whatever the multi-town list holds.
        const int slot = host_.SingleTownRow() + 1;
        const TownEntry entry = slot >= 1 && slot <= kRegionSlots ? host_.RegionTowns()[slot] : TownEntry();
        request.towns.push_back({entry, request.folder + "/" + kMainPageName.toLower()});
        return request;
    }
    for (int i = 1; i <= towns.count; ++i)
        request.towns.push_back({towns[i], request.folder + "/" + TownName(towns[i]) + ".htm"});
    return request;
}

void LoadPipeline::Cancel() {
    if (running_)
        runner_->Cancel();
}

void LoadPipeline::SucceededActions(const Settings& s) {
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
        ShowForecast(s);
    if (IsTrue(s.NimboraCopy))
        CopyForecast(s);
    if (IsTrue(s.LoadExit))
        host_.ExitProgram();
}

void LoadPipeline::FailedActions(const Settings& s, const LoadOutcome& outcome) {
    const SourceFailures failures = outcome.LastTownFailures();
    host_.SetTrayTip(LoadFailedTip(Now(), failures));
    if (IsTrue(s.MSGError)) {
        AutoLoadStopped = true;
        const QString text =
            UsesLiveSources() ? LiveLoadFailedMessage(loadTown_, failures, LogFile()) : LoadFailedMessage();
        ShowMessageBox(text, QStringLiteral("Ошибка подключения"), MsgIcon::Critical);
    }
    host_.ShowLoadState(LoadState::Failed);
    // A page left under its temporary name by an interrupted rewrite gets its name back.
    if (!FileExists(LoadFile) && FileExists(LoadFile + "l"))
        RenameFile(ResolvePath(LoadFile + "l"), LoadFile);
    AutoLoadStopped = true;
}

void LoadPipeline::ReportFileError(const QString& error) {
    WriteLog(QStringLiteral("загрузка: файлы прогноза не записаны — ") + error);
    host_.SetTrayTip(TipWithTime(QStringLiteral("Ошибка записи файлов прогноза"), Now(), QLocale::system()));
    host_.ShowLoadState(LoadState::Failed);
    ShowMessageBox(QStringLiteral("Не удалось записать файлы прогноза погоды.\nПричина: %1.").arg(error),
                   QStringLiteral("Ошибка"), MsgIcon::Critical);
    AutoLoadStopped = true;
}

} // namespace vetorlan
