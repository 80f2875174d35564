#pragma once

#include "core/SettingsStore.h"
#include "forecast/LoadPipeline.h"
#include "net/Scheduler.h"
#include "ui/MainWindowApi.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <functional>

class QLabel;
class QPushButton;

namespace vetorlan {

class AboutWindow;
class CaptionBar;
class SchedulerTimers;
class TownPicker;
class TrayController;

// The main window: its caption bar and frame, the town picker, the buttons, the clock and
// online indicator, the tray and the three scheduler timers.
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

    // Buttons, menu and tray.
    void LoadForecast();
    void OpenSettings();
    void OpenAbout();
    void Quit();
    void OpenHelp();
    void ToggleClock();
    void GoToTray();
    void ShowFromTray();
    void OpenSettingsFromTray();
    void OpenAboutFromTray();

    // SettingsHost and MainWindowApi
    void PauseTimers() override;
    void RestoreTimers() override;
    void SetTownListTip(const QString& tip) override;
    void RefreshTownLists() override;
    void AskFirstRunQuestion() override;
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
    const RegionTownList& RegionTowns() const override;
    const TownSelection& SelectedTowns() const override;
    void SaveTownLists() override;
    void ShowLoadingVisuals(bool loading) override;
    void ShowLoadState(LoadState state) override;
    void SetTrayTip(const QString& text) override;
    void ShowLoadStatus() override;
    void EnableScheduledLoads() override;
    void ExitProgram() override;

    // Parts tests look at.
    Scheduler& TimerScheduler() { return scheduler_; }
    LoadPipeline& Pipeline() { return pipeline_; }
    TrayController& Tray() { return *tray_; }
    TownPicker& Towns() { return *towns_; }
    bool LoadingBackground() const { return loading_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildButtons();
    void RestoreFromTray();
    void ShowAbout(bool modal);
    QString TrayStation() const;
    void EndAtOnce(int exitCode = 0);

    Settings& settings_ = AppSettings(); // the program's settings, read again from Options.ini at start
    Scheduler scheduler_{*this, settings_};
    LoadPipeline pipeline_{*this};
    CaptionBar* captionBar_ = nullptr;
    TownPicker* towns_ = nullptr;
    TrayController* tray_ = nullptr;
    QLabel* onlineIndicator_ = nullptr;
    QLabel* clockLabel_ = nullptr;
    QPushButton* loadButton_ = nullptr;
    SchedulerTimers* timers_ = nullptr;
    bool inTray_ = false;
    bool loading_ = false;
    bool hiddenByCode_ = false;
    bool exiting_ = false;
    QPointer<AboutWindow> about_;
    std::function<void(int)> endAtOnce_;
    std::function<void()> exitProgram_;
    std::function<bool()> previousInstance_;
};

} // namespace vetorlan
