#include "ui/MainWindow.h"

#include "core/MessageBox.h"
#include "core/ProgramFolder.h"
#include "core/ProjectInfo.h"
#include "core/Settings.h"
#include "forecast/CopyView.h"
#include "net/Connection.h"
#include "ui/AboutWindow.h"
#include "ui/CaptionBar.h"
#include "ui/Dialogs.h"
#include "ui/Pictures.h"
#include "ui/SchedulerTimers.h"
#include "ui/TownPicker.h"
#include "ui/TrayController.h"
#include "ui/WindowChrome.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

namespace vetorlan {

namespace {

// The window's client area in logical pixels.
constexpr int kWidth = 352;
constexpr int kHeight = 196;

QString FirstRunQuestion() {
    return QStringLiteral(
        "Вы запустили программу в первый раз.\n\n"
        "Рекомендуется использовать мастера быстрой настройки, это значительно упростит настройку программы.\n\n"
        "Примечание: Вы всегда можете вызвать мастера быстрой настройки, нажав кнопку 'Мастер' в окне настроек\n\n"
        "Хотите воспользоваться мастером?");
}

void QuitEventLoop() {
    QCoreApplication::exit(0);
    // Before the event loop runs exit() does nothing; quit as soon as it starts.
    QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
}

} // namespace

MainWindow::MainWindow(QWidget* parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("Веторлан - v ") + ProgramVersion());
    setWindowIcon(TrayIconPicture(TrayIconKind::Normal));
    setFixedSize(kWidth, kHeight);
    endAtOnce_ = [](int exitCode) {
        std::fflush(nullptr);
        std::_Exit(exitCode);
    };
    previousInstance_ = [] { return false; };
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(236, 233, 216));
    setPalette(pal);
    captionBar_ = new CaptionBar(*this);
    connect(captionBar_, &CaptionBar::CloseClicked, this, [this] { EndAtOnce(); });
    connect(captionBar_, &CaptionBar::TrayClicked, this, &MainWindow::GoToTray);
    towns_ = new TownPicker(*this, settings_);
    BuildButtons();
    const auto slot = [this](void (MainWindow::*handler)()) { return [this, handler] { (this->*handler)(); }; };
    tray_ = new TrayController({slot(&MainWindow::ShowFromTray), slot(&MainWindow::LoadForecast),
                                slot(&MainWindow::OpenSettingsFromTray), slot(&MainWindow::OpenHelp),
                                slot(&MainWindow::OpenAboutFromTray), slot(&MainWindow::Quit)},
                               settings_, this);
    connect(towns_, &TownPicker::ChoiceChanged, this, [this] { tray_->SetTown(TrayStation()); });
    timers_ = new SchedulerTimers(scheduler_, this);
    TimersChanged();
}

MainWindow::~MainWindow() {
    if (AppSettingsContext().host == this)
        AppSettingsContext().host = nullptr;
    if (about_)
        delete about_;
}

bool MainWindow::IsLoadCommandLine(const QStringList& arguments) {
    return arguments.size() == 1 && arguments.first() == QLatin1String("/load");
}

void MainWindow::StartUp(const QStringList& arguments) {
    SetTitleBar(*this, false);
    SetTitleBar(*this, true);
    scheduler_.SetScheduledLoadStartInterval();
    if (previousInstance_()) {
        ShowMessageBox(QStringLiteral("Программа уже запущена!"),
                       QStringLiteral("Веторлан v") + ProgramVersion() + QStringLiteral(" - Ошибка"),
                       MsgIcon::Critical);
        EndAtOnce(kExitAnotherCopy);
        return;
    }
    scheduler_.ShowClock = true;
    inTray_ = false;
    LoadSettings();
    const Settings& s = settings_;
    if (IsTrue(s.StartTray))
        GoToTray();
    onlineIndicator_->setVisible(WorksAsDialUp(s));
    ShowLoadingVisuals(false);
    RefreshTownLists();
    ShowLoadStatus();
    scheduler_.ArmForWorkMode();
    if (IsLoadCommandLine(arguments)) {
        const LoadResult result = pipeline_.LoadForecast();
        EndAtOnce(ExitCodeOf(result, pipeline_.FailedTowns()));
        return;
    }
    if (!inTray_ && !hiddenByCode_)
        show();
}

void MainWindow::EndAtOnce(int exitCode) {
    endAtOnce_(exitCode);
}

// ---- Layout and chrome ----

void MainWindow::BuildButtons() {
    auto button = [this](const QString& caption, QRect geometry, void (MainWindow::*handler)()) {
        auto* b = new QPushButton(caption, this);
        b->setGeometry(geometry);
        connect(b, &QPushButton::clicked, this, handler);
        return b;
    };
    loadButton_ =
        button(QStringLiteral("Загрузить прогноз погоды"), QRect(10, 164, 200, 26), &MainWindow::LoadForecast);
    loadButton_->setObjectName(QStringLiteral("loadButton"));
    button(QStringLiteral("Настройки"), QRect(222, 28, 120, 24), &MainWindow::OpenSettings);
    button(QStringLiteral("О программе"), QRect(222, 56, 120, 24), &MainWindow::OpenAbout);
    button(QStringLiteral("?"), QRect(222, 84, 28, 24), &MainWindow::OpenHelp)->setToolTip(QStringLiteral("Справка"));
    button(QStringLiteral("Выход"), QRect(222, 112, 120, 24), &MainWindow::Quit);
    onlineIndicator_ = new QLabel(this);
    onlineIndicator_->setObjectName(QStringLiteral("onlineIndicator"));
    onlineIndicator_->setGeometry(256, 84, 86, 24);
    onlineIndicator_->setAlignment(Qt::AlignCenter);
    onlineIndicator_->hide();
    clockLabel_ = new QLabel(QStringLiteral("12:43:56"), this);
    clockLabel_->setGeometry(222, 164, 120, 26);
    clockLabel_->setAlignment(Qt::AlignCenter);
    clockLabel_->setToolTip(QStringLiteral("Click me :)"));
    QFont clock = clockLabel_->font();
    clock.setBold(true);
    clock.setPointSizeF(clock.pointSizeF() * 1.3);
    clockLabel_->setFont(clock);
    clockLabel_->installEventFilter(this);
}

void MainWindow::resizeEvent(QResizeEvent*) {
    captionBar_->FitWidth(width());
}

// Closed by the desktop (task bar, window list): leave as "Выход" does, so the program
// never runs on with neither a window nor a tray icon.
void MainWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    if (!exiting_)
        Quit();
}

void MainWindow::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    p.save();
    PaintBackground(p, size(), loading_, event->rect());
    p.restore();
    PaintCaption(p, QSize(width(), CaptionBar::kHeight));
    p.setBrush(Qt::NoBrush);
    p.setPen(QColor(0, 0, 82));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.setPen(QColor(0, 0, 128));
    p.drawRect(rect().adjusted(1, 1, -2, -2));
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != clockLabel_ || event->type() != QEvent::MouseButtonPress)
        return QWidget::eventFilter(watched, event);
    if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        ToggleClock();
    return true;
}

// ---- Buttons and menu ----

void MainWindow::LoadForecast() {
    pipeline_.LoadForecast();
}

void MainWindow::OpenSettings() {
    ShowSettingsDialog(*this, this, true);
}

void MainWindow::OpenAbout() {
    ShowAbout(true);
}

void MainWindow::Quit() {
    pipeline_.Cancel(); // a running load stops at once and writes nothing more
    exiting_ = true;
    tray_->Hide();
    hide();
    QuitEventLoop();
}

void MainWindow::OpenHelp() {
    if (Shell* shell = CurrentShell())
        shell->OpenDocument(ProgramFolder() + "/help/index.html");
}

void MainWindow::ToggleClock() {
    scheduler_.ShowClock = !scheduler_.ShowClock;
}

void MainWindow::ShowFromTray() {
    RestoreFromTray();
    inTray_ = false;
}

void MainWindow::OpenSettingsFromTray() {
    ShowSettingsDialog(*this, this, false);
}

void MainWindow::OpenAboutFromTray() {
    ShowAbout(false);
}

// One About window at a time, from the tray or the window: a second request raises it.
void MainWindow::ShowAbout(bool modal) {
    if (about_ && about_->isVisible()) {
        about_->raise();
        about_->activateWindow();
        return;
    }
    delete about_; // closed but not deleted yet
    auto* about = new AboutWindow(modal ? this : nullptr);
    about->setAttribute(Qt::WA_DeleteOnClose);
    about_ = about;
    if (modal)
        about->exec();
    else
        about->show();
}

// ---- Tray ----

void MainWindow::GoToTray() {
    tray_->SetStatusIcon(TrayIconKind::Normal); // the tip keeps its last text
    tray_->Show();
    if (TrayController::Available()) {
        setWindowState(Qt::WindowMinimized);
        hide();
    } else {
        // No notification area: the window stays reachable from the task bar.
        showMinimized();
    }
    inTray_ = true;
}

void MainWindow::RestoreFromTray() {
    setWindowState(Qt::WindowNoState);
    hiddenByCode_ = false;
    show();
    raise();
    activateWindow();
    tray_->Hide();
}

void MainWindow::ShowLoadStatus() {
    tray_->ShowLoadStatus();
}

void MainWindow::ShowLoadState(LoadState state) {
    tray_->ShowLoadState(state);
}

void MainWindow::SetTrayTip(const QString& text) {
    tray_->SetStatusTip(text);
}

// ---- The town picker ----

int MainWindow::SingleTownRow() const {
    return towns_->SingleTownRow();
}

const RegionTownList& MainWindow::RegionTowns() const {
    return towns_->RegionTowns();
}

const TownSelection& MainWindow::SelectedTowns() const {
    return towns_->SelectedTowns();
}

// The tray shows the chosen town, in multi-town mode the first chosen one.
QString MainWindow::TrayStation() const {
    if (IsMultiLoad(settings_))
        return SelectedTowns().count > 0 ? TownIndex(SelectedTowns()[1]) : QString();
    const int row = SingleTownRow();
    return row >= 0 ? TownIndex(RegionTowns()[row + 1]) : QString();
}

void MainWindow::SaveTownLists() {
    towns_->SaveTownLists();
}

void MainWindow::SetTownListTip(const QString& tip) {
    towns_->SetTownListTip(tip);
}

// At start and after the settings were saved: the lists, then the tray's town and its
// temperature, which may have been switched on or off.
void MainWindow::RefreshTownLists() {
    if (IsMultiLoad(settings_))
        towns_->RebuildMultiTownList();
    else
        towns_->RebuildSingleTownBoxes();
    tray_->RefreshTemperature();
}

// ---- The load's visuals and exits ----

void MainWindow::ShowLoadingVisuals(bool loading) {
    loading_ = loading;
    loadButton_->setEnabled(!loading);
    if (isVisible())
        repaint();
}

void MainWindow::EnableScheduledLoads() {
    scheduler_.EnableScheduledLoads();
}

void MainWindow::ExitProgram() {
    exiting_ = true;
    tray_->Hide();
    hide();
    if (exitProgram_)
        exitProgram_();
    else
        QuitEventLoop();
}

// ---- Settings, dialogs, scheduler ----

void MainWindow::AskFirstRunQuestion() {
    const MsgAnswer answer =
        ShowMessageBox(FirstRunQuestion(), QStringLiteral("Совет"), MsgIcon::Question, MsgButtons::YesNo);
    if (answer == MsgAnswer::Yes) {
        HideMainWindow();
        StartSetupWizard(*this);
        return;
    }
    ShowMessageBox(QStringLiteral("Применены настройки программы по умолчанию.\nНажмите кнопку 'Настройки' и "
                                  "проверьте, устраивают ли Вас выставленные параметры"),
                   QStringLiteral("Сообщение"), MsgIcon::Information);
    scheduler_.RestoreTimers();
}

void MainWindow::PauseTimers() {
    scheduler_.PauseTimers();
}

void MainWindow::RestoreTimers() {
    scheduler_.RestoreTimers();
}

// The end of the wizard: the window comes back normal and active, also out of the tray.
void MainWindow::ShowMainWindow() {
    ShowFromTray();
}

void MainWindow::HideMainWindow() {
    hiddenByCode_ = true;
    hide();
}

void MainWindow::SetClockText(const QString& text) {
    clockLabel_->setText(text);
}

void MainWindow::SetOnlineIndicator(bool visible, const QString& caption) {
    onlineIndicator_->setText(caption);
    onlineIndicator_->setVisible(visible);
}

void MainWindow::TimersChanged() {
    timers_->Follow();
}

} // namespace vetorlan
