#pragma once

#include "core/SaveParametr.h"
#include "forecast/LoadPipeline.h"
#include "net/Scheduler.h"
#include "ui/FormMinimize.h"
#include "ui/MainWindowApi.h"

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
class Main : public QWidget, public SettingsHost, public MainWindowApi, public SchedulerHost, public LoadHost {
    Q_OBJECT
public:
    explicit Main(QWidget* parent = nullptr);
    ~Main() override;

    // The start-up sequence. `arguments` is the command line after the program name.
    void Form_Load(const QStringList& arguments);
    // "/load" alone selects the one-shot load.
    static bool IsLoadCommandLine(const QStringList& arguments);

    // How the program ends at once (close button, refused copy, after "/load"); tests
    // replace it so they can watch it happen.
    void SetEndAtOnce(std::function<void()> endAtOnce) { endAtOnce_ = std::move(endAtOnce); }
    // Whether another copy holds the program folder (replaceable for tests).
    void SetPreviousInstanceCheck(std::function<bool()> check) { previousInstance_ = std::move(check); }
    // How the program ends after a successful load with LoadExit (default: leave the event loop).
    void SetExitProgram(std::function<void()> exitProgram) { exitProgram_ = std::move(exitProgram); }

    // Town selection.
    void RefreshSingleTown();
    void RefreshMultiTown();
    void Combo1_Click();
    void List1_Click();
    void List1_MouseDown();
    void Command7_Click();
    void SaveTownLists() override;
    bool TownListReady = false;

    // Buttons, menu and tray.
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Label3_Click();
    void picButton_Click(int index);
    void GoToTray();
    void RestoreFromTray();
    void ShowLoadStatus() override;
    void mnuMainShow_Click();
    void mnuMainOptions_Click();
    void mnuMainAbout_Click();

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
    void RunLoad() override { Command1_Click(); }
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
    void EnableTimer3() override;
    void ExitProgram() override;

    // Parts tests and the dialogs look at.
    Scheduler& scheduler() { return scheduler_; }
    LoadPipeline& pipeline() { return pipeline_; }
    TrayIcon& tray() { return tray_; }
    QComboBox* Combo1 = nullptr;
    QComboBox* C1 = nullptr;
    QListWidget* List1 = nullptr; // made when the multi-town list is first needed
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command5 = nullptr;
    PictureButton* Command7 = nullptr;
    QTimer Timer1, Timer2, Timer3;
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
    void Form_Resize();
    void FillSingleTownBoxes();
    void RestoreSingleTown();
    void RestoreMultiTown();
    void ShowAbout(bool modal);
    void EndAtOnce();
    static void FollowTimer(QTimer& timer, const TimerState& state);

    RegionTownList regionTowns_;  // the region the town box shows
    TownSelection selectedTowns_; // the rows selected in the multi-town list
    Scheduler scheduler_{*this};
    LoadPipeline pipeline_{*this};
    TrayIcon tray_;
    bool inTray_ = false;
    bool loading_ = false;
    QWidget* imgCaption = nullptr;
    QLabel* lblCaption[2] = {nullptr, nullptr};
    PictureButton* picButton[2] = {nullptr, nullptr};
    bool hiddenByCode_ = false;
    bool exiting_ = false;
    QPointer<AboutWindow> about_;
    std::function<void()> endAtOnce_;
    std::function<void()> exitProgram_;
    std::function<bool()> previousInstance_;
};

} // namespace vetorlan
