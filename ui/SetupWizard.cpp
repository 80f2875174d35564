#include "ui/SetupWizard.h"

#include "core/Settings.h"
#include "core/SettingsStore.h"
#include "core/Sound.h"
#include "net/Connection.h"
#include "ui/DialogWidgets.h"
#include "ui/MainWindowApi.h"
#include "ui_ConnectionPage.h"
#include "ui_FinishPage.h"
#include "ui_TownCountPage.h"
#include "ui_WorkModePage.h"

#include <QPointer>

namespace vetorlan {

namespace {

QPointer<SetupWizardPage>& currentPage() {
    static QPointer<SetupWizardPage> page;
    return page;
}

} // namespace

SetupWizardPage::SetupWizardPage(MainWindowApi& main, int page)
    : QDialog(nullptr), main_(main), settings_(AppSettings()), page_(page) {
    setAttribute(Qt::WA_DeleteOnClose);
    main_.PauseTimers();
}

void SetupWizardPage::ConnectButtons(QPushButton* back, QPushButton* next, QPushButton* cancel) {
    // A screen reader reads each option by the caption beside it.
    for (OptionCaption* caption : findChildren<OptionCaption*>())
        if (QWidget* option = caption->buddy())
            option->setAccessibleName(caption->text());
    connect(next, &QPushButton::clicked, this, &SetupWizardPage::GoForward);
    connect(back, &QPushButton::clicked, this, &SetupWizardPage::GoBack);
    connect(cancel, &QPushButton::clicked, this, &SetupWizardPage::reject);
    next->setFocus();
}

void SetupWizardPage::ClosePage() {
    closed_ = true;
    // The last page restarts the scheduler however it is left.
    if (page_ == 4)
        main_.RestoreTimers();
    if (currentPage() == this)
        currentPage() = nullptr;
    hide();
    deleteLater();
}

void SetupWizardPage::GoForward() {
    if (closed_)
        return;
    StoreChoice();
    SaveSettings();
    if (page_ < 4) {
        ShowWizardPage(main_, page_ + 1);
        ClosePage();
    } else {
        main_.ShowMainWindow();
        ClosePage();
    }
}

void SetupWizardPage::GoBack() {
    if (closed_ || page_ == 1)
        return;
    MainWindowApi& main = main_;
    const int previous = page_ - 1;
    ClosePage();
    ShowWizardPage(main, previous);
}

void SetupWizardPage::reject() {
    // "Отмена", Esc, the title bar and Alt+F4 all end the wizard here.
    if (closed_)
        return;
    if (page_ < 4)
        main_.RestoreTimers();
    main_.ShowMainWindow();
    ClosePage();
}

ConnectionPage::ConnectionPage(MainWindowApi& main)
    : SetupWizardPage(main, 1), ui_(std::make_unique<Ui::ConnectionPage>()) {
    ui_->setupUi(this);
    // The choice the program works by: a dial-up line only where the machine has a modem.
    (WorksAsDialUp(settings_) ? ui_->dialUpRadio : ui_->directLineRadio)->setChecked(true);
    ConnectButtons(ui_->backButton, ui_->nextButton, ui_->cancelButton);
}

ConnectionPage::~ConnectionPage() = default;

void ConnectionPage::StoreChoice() {
    settings_.WorkMode = ui_->dialUpRadio->isChecked() ? "DialUp" : "DirectConn";
}

WorkModePage::WorkModePage(MainWindowApi& main) : SetupWizardPage(main, 2), ui_(std::make_unique<Ui::WorkModePage>()) {
    ui_->setupUi(this);
    (IsTrue(settings_.AutoRun) ? ui_->automaticRadio : ui_->manualRadio)->setChecked(true);
    ConnectButtons(ui_->backButton, ui_->nextButton, ui_->cancelButton);
}

WorkModePage::~WorkModePage() = default;

void WorkModePage::StoreChoice() {
    const QString value = ui_->automaticRadio->isChecked() ? "True" : "False";
    settings_.AutoRun = value;
    settings_.StartTray = value;
}

TownCountPage::TownCountPage(MainWindowApi& main)
    : SetupWizardPage(main, 3), ui_(std::make_unique<Ui::TownCountPage>()) {
    ui_->setupUi(this);
    (settings_.MultiLoad == "False" ? ui_->oneTownRadio : ui_->severalTownsRadio)->setChecked(true);
    ConnectButtons(ui_->backButton, ui_->nextButton, ui_->cancelButton);
}

TownCountPage::~TownCountPage() = default;

void TownCountPage::StoreChoice() {
    settings_.MultiLoad = ui_->oneTownRadio->isChecked() ? "False" : "True";
}

FinishPage::FinishPage(MainWindowApi& main) : SetupWizardPage(main, 4), ui_(std::make_unique<Ui::FinishPage>()) {
    ui_->setupUi(this);
    // The page starts with sound on and the forecast shown, whatever the settings say.
    ui_->soundCheckBox->setChecked(true);
    ui_->showForecastCheckBox->setChecked(true);
    // Pictures drawn for the font's size and the screen.
    const int iconSize = fontMetrics().height() + 4;
    ui_->testSoundButton->setIcon(QIcon(LoudspeakerPicture(true, iconSize, devicePixelRatio())));
    ui_->testSoundButton->setIconSize(QSize(iconSize, iconSize));
    const int pictureSize = 2 * fontMetrics().height();
    ui_->trayPictureLabel->setPixmap(TrayNotePicture(pictureSize, devicePixelRatio()));
    ui_->mousePictureLabel->setPixmap(MouseNotePicture(pictureSize, devicePixelRatio()));
    connect(ui_->testSoundButton, &QToolButton::clicked, this, [] { PlaySuccessSound(); });
    ConnectButtons(ui_->backButton, ui_->nextButton, ui_->cancelButton);
}

FinishPage::~FinishPage() = default;

void FinishPage::StoreChoice() {
    Settings& s = settings_;
    s.Sound = ui_->soundCheckBox->isChecked() ? "True" : "False";
    s.ShellLoad = ui_->showForecastCheckBox->isChecked() ? "True" : "False";
    s.LoadExit = ui_->exitAfterLoadCheckBox->isChecked() ? "True" : "False";
}

void ShowWizardPage(MainWindowApi& main, int page) {
    SetupWizardPage* next = nullptr;
    switch (page) {
    case 1:
        next = new ConnectionPage(main);
        break;
    case 2:
        next = new WorkModePage(main);
        break;
    case 3:
        next = new TownCountPage(main);
        break;
    default:
        next = new FinishPage(main);
        break;
    }
    currentPage() = next;
    next->show();
    next->raise();
    next->activateWindow();
}

SetupWizardPage* CurrentWizardPage() {
    return currentPage();
}

} // namespace vetorlan
