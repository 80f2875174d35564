#pragma once

#include <QDialog>
#include <QPixmap>
#include <QString>
#include <QTimer>
#include <memory>
#include <vector>

class QAbstractButton;

namespace vetorlan {

class MainWindowApi;
struct Settings;

namespace Ui {
class SettingsDialog;
}

// The pause field's text after a change: the integer part of its leading number, at most
// 100, without blanks; "0" when it does not start with a number.
QString NormalisePauseText(const QString& text);

// The staleness period as shown: the number, a blank and "час", "часа" or "часов".
QString ActualWaitText(int hours);

// The settings dialog "Настройки". Loading pauses the main window's scheduler; every way out
// restores it. Ok writes the fields and saves; Cancel keeps only what the buttons wrote at once.
class SettingsDialog : public QDialog {
    Q_OBJECT
public:
    // `settings`: the program's settings, which the dialog shows and changes.
    SettingsDialog(MainWindowApi& main, Settings& settings, QWidget* parent = nullptr);
    ~SettingsDialog() override;

    // The path field that the copy-target dialog fills on its Ok.
    void SetCopyPath(const QString& path);

    // Twips added by the tip animation (0..300).
    int TipOffset() const { return tipOffset_; }

    void done(int result) override;

private:
    // How a "True"/"False" setting is shown by a check box or by the first of two options.
    enum class Reading { CheckedIfTrue, CheckedUnlessFalse, CheckedIfFalse };
    struct Binding {
        QAbstractButton* on;
        QAbstractButton* off; // the other option of a pair; none for a check box
        QString Settings::*field;
        Reading reading;
    };
    std::vector<Binding> Bindings() const;

    void FitFieldSizes();
    int TipFullHeight() const;
    void ConnectHandlers();
    void StartUp();
    void ShowSettings();
    void ShowBoundSettings(const Settings& s);
    void StoreBoundSettings(Settings& s) const;

    void UpdateWorkModeControls();
    void UpdateActualControls();
    void UpdateMultiLoadControls();
    void ShowLoadTime();
    void ShowActualWait();

    void ShowBrowserChoice();
    void UpdateBrowserControls();
    void CopyClicked();
    void SwitchCopying();
    void ShowSoundChoice();
    void NormalisePauseField();
    void ShowSpinnerPause();
    void WrapHourAndShowTime();
    void WrapMinuteAndShowTime();
    void ChooseCopyTarget();
    void SaveAndClose();
    void ShortenActualWait();
    void LengthenActualWait();
    void StartWizard();
    void StepTipAnimation();
    void StartHidingTip();

    std::unique_ptr<Ui::SettingsDialog> ui_;
    MainWindowApi& main_;
    Settings& settings_;
    bool restored_ = false;

    int tipOffset_ = 0;
    bool tipShown_ = false;
    bool tipHide_ = false;
    bool formReady_ = false;

    QTimer tipDelayTimer_, tipStepTimer_, tipHoldTimer_;
    QPixmap soundOffPicture_, soundOnPicture_;
};

} // namespace vetorlan
