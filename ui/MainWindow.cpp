#include "ui/MainWindow.h"

#include "core/Clock.h"
#include "core/FileSystemObject.h"
#include "core/MessageBox.h"
#include "core/ProgramFolder.h"
#include "core/ProjectInfo.h"
#include "core/Settings.h"
#include "forecast/CopyView.h"
#include "net/Connection.h"
#include "towns/Selection.h"
#include "towns/TownCatalog.h"
#include "towns/TownLists.h"
#include "ui/AboutWindow.h"
#include "ui/Dialogs.h"
#include "ui/PictureButton.h"
#include "ui/Pictures.h"
#include "ui/WindowChrome.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QPushButton>
#include <QSignalBlocker>
#include <QWindow>
#include <cstdio>
#include <cstdlib>

namespace vetorlan {

namespace {

// The window's client area: 5280 x 2940 twips, 15 twips to a logical pixel.
constexpr int kWidth = 5280 / 15;
constexpr int kHeight = 2940 / 15;
constexpr int kCaptionHeight = 20;
const QSize kCaptionButtonSize(16, 14);

// Keeps a combo box's popup a scrolling list of at most maxVisibleItems rows: some styles
// otherwise open it as one menu as long as the list.
class ListPopupStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == QStyle::SH_ComboBox_Popup)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// A combo box that takes ListPopupStyle when its popup first opens: a style of its own from
// the start would build and keep a second style engine in a program that never opens it.
class ListPopupComboBox : public QComboBox {
public:
    using QComboBox::QComboBox;
    void showPopup() override {
        if (!popupStyle_) {
            popupStyle_ = new ListPopupStyle;
            popupStyle_->setParent(this);
            setStyle(popupStyle_);
        }
        QComboBox::showPopup();
    }

private:
    ListPopupStyle* popupStyle_ = nullptr;
};

QString CountCaption(int count) {
    return QStringLiteral("Выбрано: ") + QString::number(count);
}

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

// The whole stored town list `name`, when the user keeps the chosen towns and it can be read.
bool ReadSavedTownFile(const QString& name, QByteArray& contents) {
    const QString path = ProgramFile(name);
    return IsTrue(AppSettings().GorodSave) && FileExists(path) && ReadWholeFile(path, contents);
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
    BuildControls();
    for (QTimer* timer : {&connectionWatchTimer, &dialUpLoadTimer, &scheduledLoadTimer})
        timer->setTimerType(Qt::CoarseTimer);
    connect(&connectionWatchTimer, &QTimer::timeout, this, [this] { scheduler_.WatchClockAndConnection(); });
    connect(&dialUpLoadTimer, &QTimer::timeout, this, [this] { scheduler_.LoadAfterOnlinePause(); });
    connect(&scheduledLoadTimer, &QTimer::timeout, this, [this] { scheduler_.LoadWhenStaleOrDue(); });
    connect(&tray_, &TrayIcon::leftButtonPressed, this, [] { ShowForecast(AppSettings()); });
    BuildTrayMenu();
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

// The caption bar is placed by the resize event the window gets when it is first shown, so
// a program that starts in the tray or only loads never measures its bold caption.
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
    const Settings& s = AppSettings();
    if (IsTrue(s.StartTray))
        GoToTray();
    onlineIndicator->setVisible(WorksAsDialUp(s));
    ShowLoadingVisuals(false);
    if (!IsMultiLoad(s)) {
        selectedCountLabel->hide();
        RebuildSingleTownBoxes();
    } else {
        RebuildMultiTownList();
    }
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

void MainWindow::BuildControls() {
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(236, 233, 216));
    setPalette(pal);
    captionBar_ = new QWidget(this);
    captionBar_->setObjectName("captionBar");
    captionBar_->installEventFilter(this);
    for (int i : {1, 0}) {
        captionLabels_[i] = new QLabel(QStringLiteral("     Веторлан v.") + ProgramVersion(), this);
        captionLabels_[i]->setObjectName(QStringLiteral("captionLabel%1").arg(i));
        QFont font = captionLabels_[i]->font();
        font.setBold(true);
        captionLabels_[i]->setFont(font);
        // A palette, not a style sheet: style sheets keep their engine in the idle program.
        QPalette text = captionLabels_[i]->palette();
        text.setColor(QPalette::WindowText, i == 0 ? QColor(255, 255, 255) : QColor(0, 0, 128));
        captionLabels_[i]->setPalette(text);
        captionLabels_[i]->installEventFilter(this);
    }
    captionButtons_[0] = new PictureButton(CloseButtonPicture, this);
    captionButtons_[0]->setToolTip(QStringLiteral("Закрыть"));
    captionButtons_[1] = new PictureButton(TrayButtonPicture, this);
    captionButtons_[1]->setToolTip(QStringLiteral("Свернуть в трей"));
    for (int i : {0, 1}) {
        captionButtons_[i]->resize(kCaptionButtonSize);
        connect(captionButtons_[i], &QAbstractButton::clicked, this, [this, i] { CloseOrGoToTray(i); });
    }
    BuildTownControls();
    BuildButtons();
}

void MainWindow::BuildTownControls() {
    regionBox = new QComboBox(this);
    regionBox->setPlaceholderText(QStringLiteral("Выберите регион"));
    regionBox->setGeometry(10, 30, 200, 24);
    connect(regionBox, &QComboBox::currentIndexChanged, this, [this] { FillTownBoxForRegion(); });
    townBox = new ListPopupComboBox(this);
    townBox->setPlaceholderText(QStringLiteral("Выберите город"));
    townBox->setGeometry(10, 62, 200, 24);
    townBox->setMaxVisibleItems(20);
    // The count sits right under the list on a plain strip, so no piece of the background
    // picture shows between them.
    selectedCountLabel = new QLabel(CountCaption(0), this);
    selectedCountLabel->setGeometry(10, 140, 200, 23);
    selectedCountLabel->setAutoFillBackground(true);
    saveTownsButton = new PictureButton(SaveButtonPicture, this);
    saveTownsButton->setGeometry(192, 143, 18, 18);
    saveTownsButton->setToolTip(QStringLiteral("Сохранить список выбранных городов"));
    saveTownsButton->hide();
    saveTownsButton->raise();
    connect(saveTownsButton, &QAbstractButton::clicked, this, [this] { SaveChosenTowns(); });
    townBox->hide();
}

// The multi-town list is made the first time it is needed, so a single-town program never
// keeps it; it sits under the count and its save button as if made with them.
void MainWindow::EnsureTownList() {
    if (townList)
        return;
    townList = new QListWidget(this);
    townList->hide();
    townList->setSelectionMode(QAbstractItemView::MultiSelection);
    townList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    townList->setGeometry(10, 28, 200, 112);
    townList->stackUnder(selectedCountLabel);
    townList->viewport()->installEventFilter(this);
    connect(townList, &QListWidget::itemSelectionChanged, this, [this] { RecordSelectedTowns(); });
}

void MainWindow::BuildButtons() {
    auto button = [this](const QString& caption, QRect geometry, void (MainWindow::*handler)()) {
        auto* b = new QPushButton(caption, this);
        b->setGeometry(geometry);
        connect(b, &QPushButton::clicked, this, handler);
        return b;
    };
    loadButton = button(QStringLiteral("Загрузить прогноз погоды"), QRect(10, 164, 200, 26), &MainWindow::LoadForecast);
    settingsButton = button(QStringLiteral("Настройки"), QRect(222, 28, 120, 24), &MainWindow::OpenSettings);
    aboutButton = button(QStringLiteral("О программе"), QRect(222, 56, 120, 24), &MainWindow::OpenAbout);
    helpButton = button(QStringLiteral("?"), QRect(222, 84, 28, 24), &MainWindow::OpenHelp);
    helpButton->setToolTip(QStringLiteral("Справка"));
    exitButton = button(QStringLiteral("Выход"), QRect(222, 112, 120, 24), &MainWindow::Quit);
    onlineIndicator = new QLabel(this);
    onlineIndicator->setGeometry(256, 84, 86, 24);
    onlineIndicator->setAlignment(Qt::AlignCenter);
    onlineIndicator->hide();
    clockLabel = new QLabel(QStringLiteral("12:43:56"), this);
    clockLabel->setGeometry(222, 164, 120, 26);
    clockLabel->setAlignment(Qt::AlignCenter);
    clockLabel->setToolTip(QStringLiteral("Click me :)"));
    QFont clock = clockLabel->font();
    clock.setBold(true);
    clock.setPointSizeF(clock.pointSizeF() * 1.3);
    clockLabel->setFont(clock);
    clockLabel->installEventFilter(this);
}

void MainWindow::BuildTrayMenu() {
    QMenu& menu = tray_.Menu();
    menu.addAction(QStringLiteral("Открыть программу"), this, &MainWindow::ShowFromTray);
    menu.addAction(QStringLiteral("Загрузить прогноз"), this, &MainWindow::LoadForecast);
    menu.addAction(QStringLiteral("Показать прогноз"), this, [] { ShowForecast(AppSettings()); });
    menu.addSeparator();
    menu.addAction(QStringLiteral("Настройки"), this, &MainWindow::OpenSettingsFromTray);
    menu.addSeparator();
    menu.addAction(QStringLiteral("Справка"), this, &MainWindow::OpenHelp);
    menu.addSeparator();
    menu.addAction(QStringLiteral("О программе"), this, &MainWindow::OpenAboutFromTray);
    menu.addSeparator();
    menu.addAction(QStringLiteral("Выход"), this, &MainWindow::Quit);
    menu.addSeparator();
    menu.addAction(QStringLiteral("<Закрыть это меню>"));
}

void MainWindow::PlaceCaptionBar() {
    const int w = width();
    captionLabels_[0]->move(4, 5);
    captionLabels_[1]->move(5, 6);
    for (QLabel* label : captionLabels_)
        label->adjustSize();
    captionBar_->setGeometry(0, 0, w, kCaptionHeight);
    captionButtons_[0]->move(w - captionButtons_[0]->width() - 3, 2);
    captionButtons_[1]->move(captionButtons_[0]->x() - captionButtons_[1]->width() - 1, 2);
    captionBar_->lower();
}

void MainWindow::resizeEvent(QResizeEvent*) {
    PlaceCaptionBar();
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
    PaintCaption(p, QSize(width(), kCaptionHeight));
    p.setBrush(Qt::NoBrush);
    p.setPen(QColor(0, 0, 82));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.setPen(QColor(0, 0, 128));
    p.drawRect(rect().adjusted(1, 1, -2, -2));
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseButtonPress)
        return QWidget::eventFilter(watched, event);
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (townList && watched == townList->viewport()) {
        ShowSaveTownsButton();
        return false;
    }
    if (watched == clockLabel) {
        if (mouse->button() == Qt::LeftButton)
            ToggleClock();
        return true;
    }
    if (watched == captionBar_ || watched == captionLabels_[0] || watched == captionLabels_[1]) {
        if (mouse->button() == Qt::LeftButton && windowHandle())
            windowHandle()->startSystemMove();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

// ---- Town selection ----

void MainWindow::FillTownBoxForRegion() {
    const int region = regionBox->currentIndex();
    if (region == -1)
        return;
    townBox->clear();
    FillRegion(regionTowns_, region);
    QStringList names;
    for (int slot = 1; slot <= regionTowns_.count; ++slot)
        names << TownName(regionTowns_[slot]);
    townBox->addItems(names);
    townBox->setCurrentIndex(-1);
    // In multi-town mode the boxes stay hidden; they only hold the single-town choice.
    townBox->setVisible(regionBox->isVisibleTo(this));
}

void MainWindow::RebuildSingleTownBoxes() {
    selectedCountLabel->hide();
    if (townList)
        townList->hide();
    regionBox->show();
    townBox->hide(); // shown again once a region is chosen
    FillSingleTownBoxes();
}

// Rebuilds the region and town boxes from the saved choice; in multi-town mode they are
// hidden but still hold that choice, so saving the lists keeps it in gorod.ini.
void MainWindow::FillSingleTownBoxes() {
    {
        const QSignalBlocker blocker(regionBox);
        regionBox->clear();
        for (int region = 0; region < kRegionCount; ++region)
            regionBox->addItem(RegionCaption(region));
        regionBox->setCurrentIndex(-1);
    }
    townBox->clear();
    townBox->setCurrentIndex(-1);
    RestoreSingleTown();
}

void MainWindow::RestoreSingleTown() {
    QByteArray contents;
    if (!ReadSavedTownFile("gorod.ini", contents))
        return;
    const std::optional<SingleTownChoice> choice = ParseGorodIni(contents);
    if (!choice || choice->regionRow < 0 || choice->regionRow >= regionBox->count())
        return;
    regionBox->setCurrentIndex(choice->regionRow);
    if (choice->townRow >= 0 && choice->townRow < townBox->count())
        townBox->setCurrentIndex(choice->townRow);
}

void MainWindow::RebuildMultiTownList() {
    EnsureTownList();
    regionBox->hide();
    townBox->hide();
    townList->show();
    selectedCountLabel->show();
    FillSingleTownBoxes();
    {
        const QSignalBlocker blocker(townList);
        townList->clear();
        QStringList names;
        for (int position = 1; position <= kCatalogSize; ++position) {
            const int region = RegionOfPosition(position);
            if (position == FirstPositionOfRegion(region))
                FillRegion(regionTowns_, region);
            names << TownName(regionTowns_[SlotOfPosition(position)]);
        }
        townList->addItems(names);
    }
    RestoreMultiTown();
    TownListReady = true;
    // The count and the chosen towns follow the rebuilt list, never an earlier selection.
    RecordSelectedTowns();
}

void MainWindow::RestoreMultiTown() {
    QByteArray contents;
    if (!ReadSavedTownFile("goroda.ini", contents))
        return;
    TownListReady = false;
    for (int row : ParseGorodaIni(contents, townList->count()))
        townList->item(row)->setSelected(true);
    selectedCountLabel->setText(CountCaption(static_cast<int>(townList->selectedItems().size())));
}

void MainWindow::RecordSelectedTowns() {
    if (!TownListReady)
        return;
    selectedTowns_.Clear();
    int lastRegion = -1;
    for (int i = 1; i <= townList->count() && i <= kCatalogSize; ++i) {
        if (!townList->item(i - 1)->isSelected())
            continue;
        selectedTowns_.Add(CatalogEntry(i));
        lastRegion = RegionOfPosition(i);
    }
    const int count = selectedTowns_.count;
    if (lastRegion >= 0)
        FillRegion(regionTowns_, lastRegion);
    if (count > 0) {
        selectedCountLabel->setText(CountCaption(count));
        selectedCountLabel->show();
    } else {
        selectedCountLabel->hide();
    }
}

void MainWindow::ShowSaveTownsButton() {
    saveTownsButton->show();
}

void MainWindow::SaveChosenTowns() {
    saveTownsButton->hide();
    SaveTownLists();
}

void MainWindow::SaveTownLists() {
    WriteGorodIni({regionBox->currentIndex(), townBox->currentIndex()});
    if (!IsMultiLoad(AppSettings()))
        return;
    QList<int> rows;
    for (int r = 0; townList && r < townList->count(); ++r) {
        if (townList->item(r)->isSelected())
            rows << r;
    }
    WriteGorodaIni(rows);
}

int MainWindow::SingleTownRow() const {
    return townBox->currentIndex();
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
    tray_.Delete();
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

void MainWindow::CloseOrGoToTray(int index) {
    if (index == 0)
        EndAtOnce();
    else
        GoToTray();
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
    tray_.SetIcon(TrayIconKind::Normal); // the tip keeps its last text
    tray_.Add();
    if (TrayIcon::Available()) {
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
    tray_.Delete();
}

void MainWindow::ShowLoadStatus() {
    tray_.SetTrayTip(LoadStatusText(FileModified(ProgramFile("nimbora.htm")), Now()));
}

void MainWindow::SetTrayIcon(TrayIconKind kind) {
    tray_.SetIcon(kind);
}

void MainWindow::SetTrayTip(const QString& text) {
    tray_.SetTrayTip(text);
}

// ---- The load's visuals and exits ----

void MainWindow::ShowLoadingVisuals(bool loading) {
    loading_ = loading;
    loadButton->setEnabled(!loading);
    if (isVisible())
        repaint();
}

void MainWindow::EnableScheduledLoads() {
    scheduler_.EnableScheduledLoads();
}

void MainWindow::ExitProgram() {
    exiting_ = true;
    tray_.Delete();
    hide();
    if (exitProgram_)
        exitProgram_();
    else
        QuitEventLoop();
}

// ---- Settings, dialogs, scheduler ----

void MainWindow::PauseTimers() {
    scheduler_.PauseTimers();
}

void MainWindow::SetTownListTip(const QString& tip) {
    EnsureTownList();
    townList->setToolTip(tip);
}

void MainWindow::RefreshTownLists() {
    if (IsMultiLoad(AppSettings()))
        RebuildMultiTownList();
    else
        RebuildSingleTownBoxes();
}

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

void MainWindow::PauseScheduler() {
    scheduler_.PauseTimers();
}

void MainWindow::RestoreScheduler() {
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
    clockLabel->setText(text);
}

void MainWindow::SetOnlineIndicator(bool visible, const QString& caption) {
    onlineIndicator->setText(caption);
    onlineIndicator->setVisible(visible);
}

void MainWindow::FollowTimer(QTimer& timer, const TimerState& state) {
    if (!state.running()) {
        timer.stop();
        return;
    }
    if (!timer.isActive() || timer.interval() != state.interval)
        timer.start(state.interval);
}

void MainWindow::TimersChanged() {
    FollowTimer(connectionWatchTimer, scheduler_.connectionWatchTimer);
    FollowTimer(dialUpLoadTimer, scheduler_.dialUpLoadTimer);
    FollowTimer(scheduledLoadTimer, scheduler_.scheduledLoadTimer);
}

} // namespace vetorlan
