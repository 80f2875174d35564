#pragma once

#include <QDialog>
#include <QPixmap>
#include <QString>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;
class QWidget;

namespace vetorlan {

class ColorShape;
class MainWindowApi;
class SpinScroll;

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
    SettingsDialog(MainWindowApi& main, QWidget* parent = nullptr);

    // The path field that the copy-target dialog fills on its Ok.
    void SetCopyPath(const QString& path);

    // Twips added by the tip animation (0..300).
    int TipOffset() const { return tipOffset_; }

    void done(int result) override;

private:
    void buildGeneralFrame();
    void buildWorkModeFrame();
    void buildDialUpGroup();
    void buildDirectGroup();
    QLayout* buildBracket();
    void buildViewFrame();
    void buildCopyFrame();
    void buildMultiLoadFrame();
    void buildErrorFrame();
    void buildBottom();
    void layoutForm();
    void connectHandlers();
    void Form_Load();
    void fillControls();

    void UpdateWorkModeControls();
    void UpdateActualControls();
    void UpdateMultiLoadControls();
    void UpdateTimeText();
    void UpdateActualWaitText();

    void Check5_Click();
    void Check11_Click();
    void Text2_Change();
    void VScroll1_Change();
    void VScroll2_Change();
    void VScroll3_Change();
    void Command1_Click();
    void Command2_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void Timer2_Timer();
    void Timer3_Timer();

    MainWindowApi& main_;
    bool restored_ = false;

    int tipOffset_ = 0;
    bool tipShown_ = false;
    bool tipHide_ = false;
    bool formReady_ = false;

    QGroupBox *Frame1, *Frame2, *Frame3, *Frame4, *Frame5, *Frame6;
    QCheckBox *Check1, *Check3, *Check4, *Check5, *Check6, *Check7, *Check8, *Check9, *Check10, *Check11, *Check12,
        *Check14;
    QRadioButton *Option1, *Option2, *Option3, *Option4, *Option5, *Option6, *Option7, *Option8;
    QButtonGroup *workModeGroup_, *browserGroup_, *errorGroup_, *styleGroup_;
    QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Image2;
    QLineEdit *Text1, *Text2, *Text3, *Text4;
    SpinScroll *VScroll1, *VScroll2, *VScroll3;
    QPushButton *Command1, *Command2, *Command3, *Command4, *Command5, *Command6;
    ColorShape *Shape1, *Shape2, *Shape3, *Shape4, *Line1, *Line2, *Line3;
    QWidget* tipArea_;
    QTimer *Timer1, *Timer2, *Timer3;
    QPixmap Image1, Image3; // sound off, sound on
};

} // namespace vetorlan
