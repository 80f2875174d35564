#include "ui/SettingsDialog.h"

#include "core/ExtraSettings.h"
#include "core/Settings.h"
#include "core/SettingsStore.h"
#include "core/Sound.h"
#include "core/SystemFacts.h"
#include "forecast/CopyView.h"
#include "ui/CopyTargetDialog.h"
#include "ui/DialogWidgets.h"
#include "ui/Dialogs.h"
#include "ui/MainWindowApi.h"
#include "ui/ScreenFit.h"
#include "ui_SettingsDialog.h"

#include <algorithm>

namespace vetorlan {

namespace {

constexpr int TipFullTwips = 300;
constexpr int TipStepTwips = 10;
constexpr int TwipsPerPixel = 15; // at 96 dpi
constexpr int PictureSize = 32;

const char* const True = "True";
const char* const False = "False";

QString boolText(bool on) {
    return on ? True : False;
}

// The number at the start of a text, as the spinners take it (blanks skipped, a sign
// allowed, 0 when there is none); kept small so that it cannot overflow.
int leadingInt(const QString& text) {
    int i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    int value = 0;
    for (; i < text.size() && text[i].isDigit() && text[i].unicode() < 128; ++i)
        value = std::min(value * 10 + (text[i].unicode() - '0'), 100000);
    return negative ? -value : value;
}

// A read-only field just wide enough for its widest text.
void fitWidth(QWidget* field, const QString& widest) {
    field->setFixedWidth(field->fontMetrics().horizontalAdvance(widest) + 16);
}

} // namespace

QString NormalisePauseText(const QString& text) {
    int i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    if (i < text.size() && text[i] == '+')
        ++i;
    int value = 0;
    bool digits = false;
    for (; i < text.size() && text[i].unicode() >= '0' && text[i].unicode() <= '9'; ++i) {
        digits = true;
        value = std::min(value * 10 + (text[i].unicode() - '0'), 1000);
    }
    // A leading number over 100 becomes 100; otherwise its integer part is kept.
    return digits ? QString::number(std::min(value, 100)) : QString("0");
}

QString ActualWaitText(int hours) {
    QString word;
    if (hours == 1 || hours == 21)
        word = "час";
    else if ((hours >= 2 && hours <= 4) || hours == 22 || hours == 23)
        word = "часа";
    else if (hours >= 5 && hours <= 20)
        word = "часов";
    return QString::number(hours) + " " + word;
}

SettingsDialog::SettingsDialog(MainWindowApi& main, Settings& settings, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::SettingsDialog>()), main_(main), settings_(settings) {
    ui_->setupUi(this);
    soundOffPicture_ = LoudspeakerPicture(false, PictureSize, devicePixelRatio());
    soundOnPicture_ = LoudspeakerPicture(true, PictureSize, devicePixelRatio());
    FitFieldSizes();
    ShowBrowserChoice();
    // The tip slides in below the buttons, so its line is kept free too.
    FitToRoom(*this, *ui_->outerLayout, *ui_->formLayout, ui_->bottomRow,
              AvailableDialogArea(*this) - QSize(0, TipFullHeight()));
    tipDelayTimer_.setInterval(2000);
    tipStepTimer_.setInterval(10);
    tipHoldTimer_.setInterval(3500);
    ConnectHandlers();
    StartUp();
}

SettingsDialog::~SettingsDialog() = default;

// Sizes that follow the font: fields as wide as their widest text, spinners as tall as a field.
void SettingsDialog::FitFieldSizes() {
    fitWidth(ui_->pauseEdit, "1000");
    fitWidth(ui_->loadTimeEdit, "00:00");
    fitWidth(ui_->actualPeriodEdit, "23 часов");
    for (QWidget* b : {ui_->shorterPeriodButton, ui_->longerPeriodButton})
        b->setFixedWidth(b->fontMetrics().horizontalAdvance("<") + 24);
    ui_->copyPathEdit->setMinimumWidth(
        ui_->copyPathEdit->fontMetrics().horizontalAdvance("/media/server/weather/Nimbora.htm"));
    const int fieldHeight = ui_->pauseEdit->sizeHint().height();
    for (SpinScroll* s : {ui_->pauseSpinner, ui_->hourSpinner, ui_->minuteSpinner})
        s->setFixedHeight(fieldHeight);
    ui_->tipLabel->adjustSize();
}

std::vector<SettingsDialog::Binding> SettingsDialog::Bindings() const {
    const Ui::SettingsDialog& u = *ui_;
    return {
        {u.autoRunCheckBox, nullptr, &Settings::AutoRun, Reading::CheckedIfTrue},
        {u.startInTrayCheckBox, nullptr, &Settings::StartTray, Reading::CheckedUnlessFalse},
        {u.rememberTownCheckBox, nullptr, &Settings::GorodSave, Reading::CheckedIfTrue},
        {u.exitAfterLoadCheckBox, nullptr, &Settings::LoadExit, Reading::CheckedUnlessFalse},
        {u.hideForecastCheckBox, nullptr, &Settings::ShellLoad, Reading::CheckedIfFalse},
        {u.hangUpCheckBox, nullptr, &Settings::HangUp, Reading::CheckedUnlessFalse},
        {u.checkActualCheckBox, nullptr, &Settings::CheckActual, Reading::CheckedIfTrue},
        {u.copyCheckBox, nullptr, &Settings::NimboraCopy, Reading::CheckedUnlessFalse},
        {u.copyPicturesCheckBox, nullptr, &Settings::CopyPictures, Reading::CheckedIfTrue},
        {u.multiLoadCheckBox, nullptr, &Settings::MultiLoad, Reading::CheckedUnlessFalse},
        {u.latinNamesCheckBox, nullptr, &Settings::TranslitFileName, Reading::CheckedIfTrue},
        {u.soundCheckBox, nullptr, &Settings::Sound, Reading::CheckedIfTrue},
        {u.browserCommandRadio, u.defaultBrowserRadio, &Settings::UseInternetExplorer, Reading::CheckedIfTrue},
        {u.errorMessageRadio, u.errorIconRadio, &Settings::MSGError, Reading::CheckedIfTrue},
    };
}

void SettingsDialog::ShowBoundSettings(const Settings& s) {
    for (const Binding& b : Bindings()) {
        const QString& value = s.*b.field;
        const bool on = b.reading == Reading::CheckedIfTrue        ? IsTrue(value)
                        : b.reading == Reading::CheckedUnlessFalse ? IsNotFalse(value)
                                                                   : value == False;
        if (b.off)
            (on ? b.on : b.off)->setChecked(true);
        else
            b.on->setChecked(on);
    }
}

void SettingsDialog::StoreBoundSettings(Settings& s) const {
    for (const Binding& b : Bindings())
        s.*b.field = boolText(b.on->isChecked() != (b.reading == Reading::CheckedIfFalse));
}

void SettingsDialog::ConnectHandlers() {
    const Ui::SettingsDialog& u = *ui_;
    connect(u.dialUpRadio, &QRadioButton::clicked, this, &SettingsDialog::UpdateWorkModeControls);
    connect(u.directLineRadio, &QRadioButton::clicked, this, &SettingsDialog::UpdateWorkModeControls);
    connect(u.checkActualCheckBox, &QCheckBox::clicked, this, &SettingsDialog::UpdateActualControls);
    connect(u.multiLoadCheckBox, &QCheckBox::clicked, this, &SettingsDialog::UpdateMultiLoadControls);
    connect(u.copyCheckBox, &QCheckBox::clicked, this, &SettingsDialog::CopyClicked);
    connect(u.defaultBrowserRadio, &QRadioButton::toggled, this, &SettingsDialog::UpdateBrowserControls);
    connect(u.soundCheckBox, &QCheckBox::clicked, this, &SettingsDialog::ShowSoundChoice);
    connect(u.pauseEdit, &QLineEdit::textChanged, this, &SettingsDialog::NormalisePauseField);
    connect(u.pauseSpinner, &SpinScroll::numberChanged, this, &SettingsDialog::ShowSpinnerPause);
    connect(u.hourSpinner, &SpinScroll::numberChanged, this, &SettingsDialog::WrapHourAndShowTime);
    connect(u.minuteSpinner, &SpinScroll::numberChanged, this, &SettingsDialog::WrapMinuteAndShowTime);
    connect(u.choosePathButton, &QPushButton::clicked, this, &SettingsDialog::ChooseCopyTarget);
    connect(u.okButton, &QPushButton::clicked, this, &SettingsDialog::SaveAndClose);
    connect(u.cancelButton, &QPushButton::clicked, this, &SettingsDialog::reject);
    connect(u.shorterPeriodButton, &QPushButton::clicked, this, &SettingsDialog::ShortenActualWait);
    connect(u.longerPeriodButton, &QPushButton::clicked, this, &SettingsDialog::LengthenActualWait);
    connect(u.wizardButton, &QPushButton::clicked, this, &SettingsDialog::StartWizard);
    connect(&tipDelayTimer_, &QTimer::timeout, &tipStepTimer_, qOverload<>(&QTimer::start));
    connect(&tipStepTimer_, &QTimer::timeout, this, &SettingsDialog::StepTipAnimation);
    connect(&tipHoldTimer_, &QTimer::timeout, this, &SettingsDialog::StartHidingTip);
}

void SettingsDialog::StartUp() {
    main_.PauseTimers();
    const Settings& s = settings_;
    ui_->hourSpinner->setNumber(leadingInt(s.TimeLoad.left(2)));
    ui_->minuteSpinner->setNumber(leadingInt(s.TimeLoad.mid(3, 2)));
    ui_->pauseSpinner->setNumber(leadingInt(s.PauseOnLine));
    tipShown_ = tipHide_ = formReady_ = false;
    tipDelayTimer_.start();
    UpdateWorkModeControls();
    ShowSettings();
    UpdateMultiLoadControls();
}

void SettingsDialog::ShowSettings() {
    const Settings& s = settings_;
    ui_->loadTimeEdit->setText(s.TimeLoad);
    ui_->pauseEdit->setText(s.PauseOnLine);
    (IsDialUp(s) ? ui_->dialUpRadio : ui_->directLineRadio)->setChecked(true);
    (s.IndexStyle == "Animation" ? ui_->animatedIndexRadio : ui_->listIndexRadio)->setChecked(true);
    ui_->copyPathEdit->setText(s.PathNimboraCopy);
    ui_->copyPathEdit->setCursorPosition(0);
    ui_->browserCommandEdit->setText(AppExtraSettings().BrowserCommand);
    ui_->trayTemperatureCheckBox->setChecked(AppExtraSettings().ShowTemperature);
    ShowBoundSettings(s);
    UpdateBrowserControls();
    UpdateWorkModeControls();
    ShowSoundChoice();
    formReady_ = true;
    SwitchCopying();
    ShowActualWait();
    UpdateActualControls();
}

void SettingsDialog::UpdateWorkModeControls() {
    const Ui::SettingsDialog& u = *ui_;
    const bool dialUp = u.dialUpRadio->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{u.pauseLabel, u.secondsLabel, u.afterConnectLabel, u.pauseEdit,
                                                      u.pauseSpinner, u.hangUpCheckBox})
        w->setEnabled(dialUp);
    for (QWidget* w : std::initializer_list<QWidget*>{u.loadTimeLabel, u.loadTimeEdit, u.hourSpinner, u.minuteSpinner,
                                                      u.checkActualCheckBox})
        w->setEnabled(!dialUp);
    u.dialUpFrame->setColor(dialUp ? BlueLineColor() : InkLineColor(this));
    u.directLineFrame->setColor(dialUp ? InkLineColor(this) : BlueLineColor());
    u.loadTimeFrame->setColor(dialUp ? GreyLineColor(this) : InkLineColor(this));
    UpdateActualControls();
}

void SettingsDialog::UpdateActualControls() {
    const Ui::SettingsDialog& u = *ui_;
    const bool on = u.directLineRadio->isChecked() && u.checkActualCheckBox->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{u.shorterPeriodButton, u.longerPeriodButton, u.actualPeriodEdit})
        w->setEnabled(on);
    for (ColorShape* line : {u.bracketTopLine, u.bracketSideLine, u.bracketBottomLine})
        line->setColor(on ? InkLineColor(this) : GreyLineColor(this));
}

void SettingsDialog::UpdateMultiLoadControls() {
    const Ui::SettingsDialog& u = *ui_;
    const bool on = u.multiLoadCheckBox->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{u.animatedIndexRadio, u.listIndexRadio, u.latinNamesCheckBox,
                                                      u.indexStyleLabel})
        w->setEnabled(on);
    u.indexStyleFrame->setColor(on ? InkLineColor(this) : GreyLineColor(this));
}

void SettingsDialog::ShowLoadTime() {
    ui_->loadTimeEdit->setText(QString("%1:%2")
                                   .arg(ui_->hourSpinner->number(), 2, 10, QChar('0'))
                                   .arg(ui_->minuteSpinner->number(), 2, 10, QChar('0')));
}

void SettingsDialog::ShowActualWait() {
    ui_->actualPeriodEdit->setText(ActualWaitText(settings_.ActualWait));
}

// Where the platform has a browser of its own to force (Internet Explorer), that is the
// second choice; elsewhere the user names a browser command.
void SettingsDialog::ShowBrowserChoice() {
    const QString forced = ForcedBrowserProgram();
    if (forced.isEmpty())
        return;
    ui_->browserCommandRadio->setText(QStringLiteral("Использовать Internet Explorer (принудительно)"));
    ui_->browserCommandRadio->setToolTip(
        QStringLiteral("Если прогноз не открывается при установке браузера по умолчанию."));
    ui_->defaultBrowserRadio->setToolTip(QStringLiteral(
        "Открыть прогноз в браузере по умолчанию (в том числе Internet Explorer, если ничего другого нет)."));
    ui_->browserCommandEdit->hide();
}

void SettingsDialog::UpdateBrowserControls() {
    ui_->browserCommandEdit->setEnabled(ui_->browserCommandRadio->isChecked());
}

// Copying needs a folder: ticked with none, the choice of one opens at once; the box stays
// clear when none is chosen.
void SettingsDialog::CopyClicked() {
    if (ui_->copyCheckBox->isChecked() && ui_->copyPathEdit->text().trimmed().isEmpty()) {
        ChooseCopyTarget();
        if (ui_->copyPathEdit->text().trimmed().isEmpty())
            ui_->copyCheckBox->setChecked(false);
    }
    SwitchCopying();
}

// Copying is switched in memory at once; its path, button and pictures box follow.
void SettingsDialog::SwitchCopying() {
    const bool on = ui_->copyCheckBox->isChecked();
    settings_.NimboraCopy = boolText(on);
    ui_->copyPathEdit->setEnabled(on);
    QPalette pal = ui_->copyPathEdit->palette();
    pal.setColor(QPalette::Base, palette().color(on ? QPalette::Base : QPalette::Button));
    ui_->copyPathEdit->setPalette(pal);
    ui_->choosePathButton->setEnabled(on);
    ui_->copyPicturesCheckBox->setEnabled(on);
}

// The loudspeaker follows the check box; a click that turns the sound on plays it.
void SettingsDialog::ShowSoundChoice() {
    ui_->soundPictureLabel->setPixmap(ui_->soundCheckBox->isChecked() ? soundOnPicture_ : soundOffPicture_);
    if (ui_->soundCheckBox->isChecked() && formReady_)
        PlaySuccessSound();
}

void SettingsDialog::NormalisePauseField() {
    QLineEdit* field = ui_->pauseEdit;
    const QString text = field->text();
    const QString normal = NormalisePauseText(text);
    if (normal == text)
        return;
    // Keep the caret where the user was typing, shifted by what the rewrite removed.
    const int cursor = field->cursorPosition() - (text.size() - normal.size());
    field->setText(normal);
    field->setCursorPosition(std::clamp(cursor, 0, int(normal.size())));
}

void SettingsDialog::ShowSpinnerPause() {
    ui_->pauseEdit->setText(QString::number(ui_->pauseSpinner->number()));
}

void SettingsDialog::WrapHourAndShowTime() {
    SpinScroll* hours = ui_->hourSpinner;
    if (hours->number() == 24)
        hours->setNumber(0);
    else if (hours->number() == -1)
        hours->setNumber(23);
    ShowLoadTime();
}

void SettingsDialog::WrapMinuteAndShowTime() {
    SpinScroll* minutes = ui_->minuteSpinner;
    if (minutes->number() == 60)
        minutes->setNumber(0);
    else if (minutes->number() == -1)
        minutes->setNumber(59);
    ShowLoadTime();
}

void SettingsDialog::ShortenActualWait() {
    std::int16_t& wait = settings_.ActualWait;
    if (wait != 1)
        wait = std::int16_t(std::clamp(wait - 1, 1, 23));
    ShowActualWait();
}

void SettingsDialog::LengthenActualWait() {
    std::int16_t& wait = settings_.ActualWait;
    if (wait != 23)
        wait = std::int16_t(std::clamp(wait + 1, 1, 23));
    ShowActualWait();
}

void SettingsDialog::SetCopyPath(const QString& path) {
    ui_->copyPathEdit->setText(path);
    ui_->copyPathEdit->setCursorPosition(0);
}

void SettingsDialog::ChooseCopyTarget() {
    CopyTargetDialog dialog([this](const QString& path) { SetCopyPath(path); }, this);
    dialog.exec();
}

void SettingsDialog::SaveAndClose() {
    Settings& s = settings_;
    StoreBoundSettings(s);
    s.WorkMode = ui_->dialUpRadio->isChecked() ? "DialUp" : "DirectConn";
    s.PauseOnLine = ui_->pauseEdit->text();
    s.TimeLoad = ui_->loadTimeEdit->text();
    s.PathNimboraCopy = ui_->copyPathEdit->text();
    s.IndexStyle = ui_->animatedIndexRadio->isChecked() ? "Animation" : "List";
    // Vetorlan.ini first: saving Options.ini refreshes the window and the tray, which read both.
    ExtraSettings extra = AppExtraSettings();
    extra.BrowserCommand = ui_->browserCommandEdit->text().trimmed();
    extra.ShowTemperature = ui_->trayTemperatureCheckBox->isChecked();
    if (!(extra == AppExtraSettings())) {
        AppExtraSettings() = extra;
        SaveExtraSettings();
    }
    SaveSettings(SaveRequest::ByUser);
    accept();
}

void SettingsDialog::StartWizard() {
    reject();
    StartSetupWizard(main_);
}

// One tick of the tip: it slides in, stays while the hold timer runs, then slides out.
void SettingsDialog::StepTipAnimation() {
    if (tipOffset_ < TipFullTwips && !tipShown_)
        tipOffset_ += TipStepTwips;
    if (tipOffset_ == TipFullTwips && !tipShown_) {
        tipShown_ = true;
        tipHoldTimer_.start();
    }
    if (tipOffset_ > 0 && tipShown_ && tipHide_)
        tipOffset_ -= TipStepTwips;
    if (tipOffset_ == 0) {
        tipDelayTimer_.stop();
        tipStepTimer_.stop();
    }
    ui_->tipArea->setFixedHeight(tipOffset_ * TipFullHeight() / TipFullTwips);
}

// 300 twips are 20 pixels at 96 dpi; a larger font gets the room its tip line needs.
int SettingsDialog::TipFullHeight() const {
    return std::max(TipFullTwips / TwipsPerPixel, ui_->tipLabel->sizeHint().height() + 6);
}

void SettingsDialog::StartHidingTip() {
    tipHide_ = true;
    tipHoldTimer_.stop();
}

void SettingsDialog::done(int result) {
    for (QTimer* t : {&tipDelayTimer_, &tipStepTimer_, &tipHoldTimer_})
        t->stop();
    if (!restored_) {
        restored_ = true;
        main_.RestoreTimers();
    }
    QDialog::done(result);
}

} // namespace vetorlan
