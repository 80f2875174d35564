#pragma once

#include "core/SettingsStore.h"
#include "forecast/LoadPipeline.h"
#include "net/Scheduler.h"
#include "ui/MainWindowApi.h"
#include "ui/TrayIcon.h"

#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <functional>

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace vetorlan {

class AboutWindow;
class PictureButton;

// The main window: its own caption bar and frame, the town controls, the buttons, the
// clock and online indicator, the tray icon and the three scheduler timers.
class MainWindow : public QWidget, public SettingsHost, public MainWindowApi, public SchedulerHost, public LoadHost {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // The start-up sequence. `arguments` is the command line after the program name.
    void StartUp(const QStringList& arguments);
    // "/load" alone selects the one-shot load.
    static bool IsLoadCommandLine(const QStringList& arguments);

    // How the program ends at once with an exit status (close button, refused copy, after
    // "/load"); tests replace it so they can watch it happen.
    void SetEndAtOnce(std::function<void(int)> endAtOnce) { endAtOnce_ = std::move(endAtOnce); }
    // Whether another copy holds the program folder (replaceable for tests).
    void SetPreviousInstanceCheck(std::function<bool()> check) { previousInstance_ = std::move(check); }
    // How the program ends after a successful load with LoadExit (default: leave the event loop).
    void SetExitProgram(std::function<void()> exitProgram) { exitProgram_ = std::move(exitProgram); }

    // Town selection.
    void RebuildSingleTownBoxes();
    void RebuildMultiTownList();
    void FillTownBoxForRegion();
    void RecordSelectedTowns();
    void ShowSaveTownsButton();
    void SaveChosenTowns();
    void SaveTownLists() override;
    bool TownListReady = false;

    // Buttons, menu and tray.
    void LoadForecast();
    void OpenSettings();
    void OpenAbout();
    void Quit();
    void OpenHelp();
    void ToggleClock();
    void CloseOrGoToTray(int index);
    void GoToTray();
    void RestoreFromTray();
    void ShowLoadStatus() override;
    void ShowFromTray();
    void OpenSettingsFromTray();
    void OpenAboutFromTray();

    // SettingsHost
    void PauseTimers() override;
    void SetTownListTip(const QString& tip) override;
    void RefreshTownLists() override;
    void AskFirstRunQuestion() override;
    // MainWindowApi
    void PauseScheduler() override;
    void RestoreScheduler() override;
    void ShowMainWindow() override;
    void HideMainWindow() override;
    // SchedulerHost
    bool InTray() const override { return inTray_; }
    bool AutoLoadStopped() const override { return pipeline_.AutoLoadStopped; }
    // Once the program is ending no timer may start another load.
    bool LoadInProgress() const override { return pipeline_.LoadInProgress() || exiting_; }
    void RunLoad() override { LoadForecast(); }
    void SetClockText(const QString& text) override;
    void SetOnlineIndicator(bool visible, const QString& caption) override;
    void TimersChanged() override;
    // LoadHost
    int SingleTownRow() const override;
    const RegionTownList& RegionTowns() const override { return regionTowns_; }
    const TownSelection& SelectedTowns() const override { return selectedTowns_; }
    void ShowLoadingVisuals(bool loading) override;
    void SetTrayIcon(TrayIconKind kind) override;
    void SetTrayTip(const QString& text) override;
    void EnableScheduledLoads() override;
    void ExitProgram() override;

    // Parts tests and the dialogs look at.
    Scheduler& scheduler() { return scheduler_; }
    LoadPipeline& pipeline() { return pipeline_; }
    TrayIcon& tray() { return tray_; }
    QComboBox* regionBox = nullptr;
    QComboBox* townBox = nullptr;
    QListWidget* townList = nullptr; // made when the multi-town list is first needed
    QLabel* onlineIndicator = nullptr;
    QLabel* selectedCountLabel = nullptr;
    QLabel* clockLabel = nullptr;
    QPushButton* loadButton = nullptr;
    QPushButton* settingsButton = nullptr;
    QPushButton* aboutButton = nullptr;
    QPushButton* exitButton = nullptr;
    QPushButton* helpButton = nullptr;
    PictureButton* saveTownsButton = nullptr;
    QTimer connectionWatchTimer, dialUpLoadTimer, scheduledLoadTimer;
    bool loadingBackground() const { return loading_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void BuildTownControls();
    void EnsureTownList();
    void BuildButtons();
    void BuildTrayMenu();
    void PlaceCaptionBar();
    void FillSingleTownBoxes();
    void RestoreSingleTown();
    void RestoreMultiTown();
    void ShowAbout(bool modal);
    void EndAtOnce(int exitCode = 0);
    static void FollowTimer(QTimer& timer, const TimerState& state);

    RegionTownList regionTowns_;  // the region the town box shows
    TownSelection selectedTowns_; // the rows selected in the multi-town list
    Scheduler scheduler_{*this, AppSettings()};
    LoadPipeline pipeline_{*this};
    TrayIcon tray_;
    bool inTray_ = false;
    bool loading_ = false;
    QWidget* captionBar_ = nullptr;
    QLabel* captionLabels_[2] = {nullptr, nullptr};
    PictureButton* captionButtons_[2] = {nullptr, nullptr};
    bool hiddenByCode_ = false;
    bool exiting_ = false;
    QPointer<AboutWindow> about_;
    std::function<void(int)> endAtOnce_;
    std::function<void()> exitProgram_;
    std::function<bool()> previousInstance_;
};

} // namespace vetorlan
