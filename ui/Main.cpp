#include "ui/Main.h"

#include "core/Clock.h"
#include "core/FileSystemObject.h"
#include "core/MessageBox.h"
#include "core/ProgramFolder.h"
#include "core/Settings.h"
#include "forecast/CopyView.h"
#include "towns/Base.h"
#include "towns/Selection.h"
#include "towns/TownLists.h"
#include "ui/AboutWindow.h"
#include "ui/Dialogs.h"
#include "ui/InterFace.h"
#include "ui/PictureButton.h"
#include "ui/Pictures.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
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
const QSize kPicButtonSize(16, 14);

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

} // namespace

Main::Main(QWidget* parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("Веторлан - v 1.5"));
    setWindowIcon(TrayIconPicture(TrayIconKind::Normal));
    setFixedSize(kWidth, kHeight);
    endAtOnce_ = [] {
        std::fflush(nullptr);
        std::_Exit(0);
    };
    previousInstance_ = [] { return false; };
    BuildControls();
    for (QTimer* timer : {&Timer1, &Timer2, &Timer3})
        timer->setTimerType(Qt::CoarseTimer);
    connect(&Timer1, &QTimer::timeout, this, [this] { scheduler_.Timer1_Timer(); });
    connect(&Timer2, &QTimer::timeout, this, [this] { scheduler_.Timer2_Timer(); });
    connect(&Timer3, &QTimer::timeout, this, [this] { scheduler_.Timer3_Timer(); });
    connect(&tray_, &TrayIcon::leftButtonPressed, this, [] { ShowForecast(); });
    BuildTrayMenu();
    TimersChanged();
}

Main::~Main() {
    if (AppSettingsContext().host == this)
        AppSettingsContext().host = nullptr;
    if (about_)
        delete about_;
}

bool Main::IsLoadCommandLine(const QStringList& arguments) {
    return arguments.size() == 1 && arguments.first() == QLatin1String("/load");
}

void Main::Form_Load(const QStringList& arguments) {
    Form_Resize();
    SetTitleBar(*this, false);
    SetTitleBar(*this, true);
    scheduler_.SetTimer3StartInterval();
    if (previousInstance_()) {
        ShowMessageBox(QStringLiteral("Программа уже запущена!"), QStringLiteral("Веторлан v1.3 - Ошибка"),
                       MsgIcon::Critical);
        EndAtOnce();
        return;
    }
    scheduler_.ShowClock = true;
    inTray_ = false;
    LoadSettings();
    const Settings& s = AppSettings();
    if (IsTrue(s.StartTray))
        GoToTray();
    Label1->setVisible(IsDialUp(s));
    ShowLoadingVisuals(false);
    if (!IsMultiLoad(s)) {
        Label2->hide();
        RefreshSingleTown();
    } else {
        RefreshMultiTown();
    }
    ShowLoadStatus();
    scheduler_.ArmForWorkMode();
    if (IsLoadCommandLine(arguments)) {
        Command1_Click();
        EndAtOnce();
        return;
    }
    if (!inTray_ && !hiddenByCode_)
        show();
}

void Main::EndAtOnce() {
    endAtOnce_();
}

// ---- Layout and chrome ----

void Main::BuildControls() {
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(236, 233, 216));
    setPalette(pal);
    imgCaption = new QWidget(this);
    imgCaption->setObjectName("imgCaption");
    imgCaption->installEventFilter(this);
    for (int i : {1, 0}) {
        lblCaption[i] = new QLabel(QStringLiteral("     Веторлан v.1.5"), this);
        lblCaption[i]->setObjectName(QStringLiteral("lblCaption%1").arg(i));
        QFont font = lblCaption[i]->font();
        font.setBold(true);
        lblCaption[i]->setFont(font);
        // A palette, not a style sheet: style sheets keep their engine in the idle program.
        QPalette text = lblCaption[i]->palette();
        text.setColor(QPalette::WindowText, i == 0 ? QColor(255, 255, 255) : QColor(0, 0, 128));
        lblCaption[i]->setPalette(text);
        lblCaption[i]->installEventFilter(this);
    }
    picButton[0] = new PictureButton(CloseButtonPicture, this);
    picButton[0]->setToolTip(QStringLiteral("Закрыть"));
    picButton[1] = new PictureButton(TrayButtonPicture, this);
    picButton[1]->setToolTip(QStringLiteral("Свернуть в трей"));
    for (int i : {0, 1}) {
        picButton[i]->resize(kPicButtonSize);
        connect(picButton[i], &QAbstractButton::clicked, this, [this, i] { picButton_Click(i); });
    }
    BuildTownControls();
    BuildButtons();
}

void Main::BuildTownControls() {
    Combo1 = new QComboBox(this);
    Combo1->setPlaceholderText(QStringLiteral("Выберите регион"));
    Combo1->setGeometry(10, 30, 200, 24);
    connect(Combo1, &QComboBox::currentIndexChanged, this, [this] { Combo1_Click(); });
    C1 = new QComboBox(this);
    C1->setPlaceholderText(QStringLiteral("Выберите город"));
    C1->setGeometry(10, 62, 200, 24);
    C1->setMaxVisibleItems(20);
    auto* popupStyle = new ListPopupStyle;
    popupStyle->setParent(C1);
    C1->setStyle(popupStyle);
    // The count sits right under the list on a plain strip, so no piece of the background
    // picture shows between them.
    Label2 = new QLabel(CountCaption(0), this);
    Label2->setGeometry(10, 140, 200, 23);
    Label2->setAutoFillBackground(true);
    Command7 = new PictureButton(SaveButtonPicture, this);
    Command7->setGeometry(192, 143, 18, 18);
    Command7->setToolTip(QStringLiteral("Сохранить список выбранных городов"));
    Command7->hide();
    Command7->raise();
    connect(Command7, &QAbstractButton::clicked, this, [this] { Command7_Click(); });
    C1->hide();
}

// The multi-town list is made the first time it is needed, so a single-town program never
// keeps it; it sits under the count and its save button as if made with them.
void Main::EnsureTownList() {
    if (List1)
        return;
    List1 = new QListWidget(this);
    List1->hide();
    List1->setSelectionMode(QAbstractItemView::MultiSelection);
    List1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    List1->setGeometry(10, 28, 200, 112);
    List1->stackUnder(Label2);
    List1->viewport()->installEventFilter(this);
    connect(List1, &QListWidget::itemSelectionChanged, this, [this] { List1_Click(); });
}

void Main::BuildButtons() {
    auto button = [this](const QString& caption, QRect geometry, void (Main::*handler)()) {
        auto* b = new QPushButton(caption, this);
        b->setGeometry(geometry);
        connect(b, &QPushButton::clicked, this, handler);
        return b;
    };
    Command1 = button(QStringLiteral("Загрузить прогноз погоды"), QRect(10, 164, 200, 26), &Main::Command1_Click);
    Command2 = button(QStringLiteral("Настройки"), QRect(222, 28, 120, 24), &Main::Command2_Click);
    Command3 = button(QStringLiteral("О программе"), QRect(222, 56, 120, 24), &Main::Command3_Click);
    Command5 = button(QStringLiteral("?"), QRect(222, 84, 28, 24), &Main::Command5_Click);
    Command5->setToolTip(QStringLiteral("Справка"));
    Command4 = button(QStringLiteral("Выход"), QRect(222, 112, 120, 24), &Main::Command4_Click);
    Label1 = new QLabel(this);
    Label1->setGeometry(256, 84, 86, 24);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->hide();
    Label3 = new QLabel(QStringLiteral("12:43:56"), this);
    Label3->setGeometry(222, 164, 120, 26);
    Label3->setAlignment(Qt::AlignCenter);
    Label3->setToolTip(QStringLiteral("Click me :)"));
    QFont clock = Label3->font();
    clock.setBold(true);
    clock.setPointSizeF(clock.pointSizeF() * 1.3);
    Label3->setFont(clock);
    Label3->installEventFilter(this);
}

void Main::BuildTrayMenu() {
    QMenu& menu = tray_.Menu();
    menu.addAction(QStringLiteral("Открыть программу"), this, &Main::mnuMainShow_Click);
    menu.addAction(QStringLiteral("Загрузить прогноз"), this, &Main::Command1_Click);
    menu.addAction(QStringLiteral("Показать прогноз"), this, [] { ShowForecast(); });
    menu.addSeparator();
    menu.addAction(QStringLiteral("Настройки"), this, &Main::mnuMainOptions_Click);
    menu.addSeparator();
    menu.addAction(QStringLiteral("Справка"), this, &Main::Command5_Click);
    menu.addSeparator();
    menu.addAction(QStringLiteral("О программе"), this, &Main::mnuMainAbout_Click);
    menu.addSeparator();
    menu.addAction(QStringLiteral("Выход"), this, &Main::Command4_Click);
    menu.addSeparator();
    menu.addAction(QStringLiteral("<Закрыть это меню>"));
}

void Main::Form_Resize() {
    const int w = width();
    lblCaption[0]->move(4, 5);
    lblCaption[1]->move(5, 6);
    for (QLabel* label : lblCaption)
        label->adjustSize();
    imgCaption->setGeometry(0, 0, w, kCaptionHeight);
    picButton[0]->move(w - picButton[0]->width() - 3, 2);
    picButton[1]->move(picButton[0]->x() - picButton[1]->width() - 1, 2);
    imgCaption->lower();
}

void Main::resizeEvent(QResizeEvent*) {
    Form_Resize();
}

// Closed by the desktop (task bar, window list): leave as "Выход" does, so the program
// never runs on with neither a window nor a tray icon.
void Main::closeEvent(QCloseEvent* event) {
    event->accept();
    if (!exiting_)
        Command4_Click();
}

void Main::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.save();
    PaintBackground(p, size(), loading_);
    p.restore();
    PaintCaption(p, QSize(width(), kCaptionHeight));
    p.setBrush(Qt::NoBrush);
    p.setPen(QColor(0, 0, 82));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.setPen(QColor(0, 0, 128));
    p.drawRect(rect().adjusted(1, 1, -2, -2));
}

bool Main::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseButtonPress)
        return QWidget::eventFilter(watched, event);
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (List1 && watched == List1->viewport()) {
        List1_MouseDown();
        return false;
    }
    if (watched == Label3) {
        if (mouse->button() == Qt::LeftButton)
            Label3_Click();
        return true;
    }
    if (watched == imgCaption || watched == lblCaption[0] || watched == lblCaption[1]) {
        if (mouse->button() == Qt::LeftButton && windowHandle())
            windowHandle()->startSystemMove();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

// ---- Town selection ----

void Main::Combo1_Click() {
    const int region = Combo1->currentIndex();
    if (region == -1)
        return;
    C1->clear();
    FillRegion(regionTowns_, region);
    QStringList names;
    for (int slot = 1; slot <= regionTowns_.count; ++slot)
        names << TownName(regionTowns_[slot]);
    C1->addItems(names);
    C1->setCurrentIndex(-1);
    // In multi-town mode the boxes stay hidden; they only hold the single-town choice.
    C1->setVisible(Combo1->isVisibleTo(this));
}

void Main::RefreshSingleTown() {
    Label2->hide();
    if (List1)
        List1->hide();
    Combo1->show();
    C1->hide(); // shown again once a region is chosen
    FillSingleTownBoxes();
}

// Rebuilds the region and town boxes from the saved choice; in multi-town mode they are
// hidden but still hold that choice, so saving the lists keeps it in gorod.ini.
void Main::FillSingleTownBoxes() {
    {
        const QSignalBlocker blocker(Combo1);
        Combo1->clear();
        for (int region = 0; region < kRegionCount; ++region)
            Combo1->addItem(RegionCaption(region));
        Combo1->setCurrentIndex(-1);
    }
    C1->clear();
    C1->setCurrentIndex(-1);
    RestoreSingleTown();
}

void Main::RestoreSingleTown() {
    if (!IsTrue(AppSettings().GorodSave) || !FileExists(ProgramFolder() + "/gorod.ini"))
        return;
    QByteArray contents;
    if (!ReadWholeFile(ProgramFile("gorod.ini"), contents))
        return;
    const std::optional<SingleTownChoice> choice = ParseGorodIni(contents);
    if (!choice || choice->regionRow < 0 || choice->regionRow >= Combo1->count())
        return;
    Combo1->setCurrentIndex(choice->regionRow);
    if (choice->townRow >= 0 && choice->townRow < C1->count())
        C1->setCurrentIndex(choice->townRow);
}

void Main::RefreshMultiTown() {
    EnsureTownList();
    Combo1->hide();
    C1->hide();
    List1->show();
    Label2->show();
    FillSingleTownBoxes();
    {
        const QSignalBlocker blocker(List1);
        List1->clear();
        QStringList names;
        for (int position = 1; position <= kCatalogSize; ++position) {
            const int region = RegionOfPosition(position);
            if (position == FirstPositionOfRegion(region))
                FillRegion(regionTowns_, region);
            names << TownName(regionTowns_[SlotOfPosition(position)]);
        }
        List1->addItems(names);
    }
    RestoreMultiTown();
    TownListReady = true;
    // The count and the chosen towns follow the rebuilt list, never an earlier selection.
    List1_Click();
}

void Main::RestoreMultiTown() {
    if (!IsTrue(AppSettings().GorodSave) || !FileExists(ProgramFolder() + "/goroda.ini"))
        return;
    QByteArray contents;
    if (!ReadWholeFile(ProgramFile("goroda.ini"), contents))
        return;
    TownListReady = false;
    for (int row : ParseGorodaIni(contents, List1->count()))
        List1->item(row)->setSelected(true);
    Label2->setText(CountCaption(static_cast<int>(List1->selectedItems().size())));
}

void Main::List1_Click() {
    if (!TownListReady)
        return;
    selectedTowns_.Clear();
    int lastRegion = -1;
    for (int i = 1; i <= List1->count() && i <= kCatalogSize; ++i) {
        if (!List1->item(i - 1)->isSelected())
            continue;
        selectedTowns_.Add(CatalogEntry(i));
        lastRegion = RegionOfPosition(i);
    }
    const int count = selectedTowns_.count;
    if (lastRegion >= 0)
        FillRegion(regionTowns_, lastRegion);
    if (count > 0) {
        Label2->setText(CountCaption(count));
        Label2->show();
    } else {
        Label2->hide();
    }
}

void Main::List1_MouseDown() {
    Command7->show();
}

void Main::Command7_Click() {
    Command7->hide();
    SaveTownLists();
}

void Main::SaveTownLists() {
    WriteGorodIni({Combo1->currentIndex(), C1->currentIndex()});
    if (!IsMultiLoad(AppSettings()))
        return;
    QList<int> rows;
    for (int r = 0; List1 && r < List1->count(); ++r) {
        if (List1->item(r)->isSelected())
            rows << r;
    }
    WriteGorodaIni(rows);
}

int Main::SingleTownRow() const {
    return C1->currentIndex();
}

// ---- Buttons and menu ----

void Main::Command1_Click() {
    pipeline_.Command1_Click();
}

void Main::Command2_Click() {
    ShowSettingsDialog(*this, this, true);
}

void Main::Command3_Click() {
    ShowAbout(true);
}

void Main::Command4_Click() {
    pipeline_.Cancel(); // a running load stops at once and writes nothing more
    exiting_ = true;
    tray_.Delete();
    hide();
    QuitEventLoop();
}

void Main::Command5_Click() {
    if (Shell* shell = CurrentShell())
        shell->OpenDocument(ProgramFolder() + "/help/index.html");
}

void Main::Label3_Click() {
    scheduler_.ShowClock = !scheduler_.ShowClock;
}

void Main::picButton_Click(int index) {
    if (index == 0)
        EndAtOnce();
    else
        GoToTray();
}

void Main::mnuMainShow_Click() {
    RestoreFromTray();
    inTray_ = false;
}

void Main::mnuMainOptions_Click() {
    ShowSettingsDialog(*this, this, false);
}

void Main::mnuMainAbout_Click() {
    ShowAbout(false);
}

// One About window at a time, from the tray or the window: a second request raises it.
void Main::ShowAbout(bool modal) {
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

void Main::GoToTray() {
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

void Main::RestoreFromTray() {
    setWindowState(Qt::WindowNoState);
    hiddenByCode_ = false;
    show();
    raise();
    activateWindow();
    tray_.Delete();
}

void Main::ShowLoadStatus() {
    tray_.SetTrayTip(LoadStatusText(FileModified(ProgramFile("nimbora.htm")), Now()));
}

void Main::SetTrayIcon(TrayIconKind kind) {
    tray_.SetIcon(kind);
}

void Main::SetTrayTip(const QString& text) {
    tray_.SetTrayTip(text);
}

// ---- The load's visuals and exits ----

void Main::ShowLoadingVisuals(bool loading) {
    loading_ = loading;
    Command1->setEnabled(!loading);
    if (isVisible())
        repaint();
}

void Main::EnableTimer3() {
    scheduler_.EnableTimer3();
}

void Main::ExitProgram() {
    exiting_ = true;
    tray_.Delete();
    hide();
    if (exitProgram_)
        exitProgram_();
    else
        QuitEventLoop();
}

// ---- Settings, dialogs, scheduler ----

void Main::PauseTimers() {
    scheduler_.PauseTimers();
}

void Main::SetTownListTip(const QString& tip) {
    EnsureTownList();
    List1->setToolTip(tip);
}

void Main::RefreshTownLists() {
    if (IsMultiLoad(AppSettings()))
        RefreshMultiTown();
    else
        RefreshSingleTown();
}

void Main::AskFirstRunQuestion() {
    const MsgAnswer answer =
        ShowMessageBox(FirstRunQuestion(), QStringLiteral("Совет"), MsgIcon::Question, MsgButtons::YesNo);
    if (answer == MsgAnswer::Yes) {
        HideMainWindow();
        StartSetupWizard(*this);
        return;
    }
    ShowMessageBox(QStringLiteral("Применены настройки программы по умолчанию.\nНажмите кнопку 'Настройка' и "
                                  "проверьте, устраивают ли Вас выставленные параметры"),
                   QStringLiteral("Сообщение"), MsgIcon::Information);
    scheduler_.RestoreTimers();
}

void Main::PauseScheduler() {
    scheduler_.PauseTimers();
}

void Main::RestoreScheduler() {
    scheduler_.RestoreTimers();
}

// The end of the wizard: the window comes back normal and active, also out of the tray.
void Main::ShowMainWindow() {
    mnuMainShow_Click();
}

void Main::HideMainWindow() {
    hiddenByCode_ = true;
    hide();
}

void Main::SetClockText(const QString& text) {
    Label3->setText(text);
}

void Main::SetOnlineIndicator(bool visible, const QString& caption) {
    Label1->setText(caption);
    Label1->setVisible(visible);
}

void Main::FollowTimer(QTimer& timer, const TimerState& state) {
    if (!state.running()) {
        timer.stop();
        return;
    }
    if (!timer.isActive() || timer.interval() != state.interval)
        timer.start(state.interval);
}

void Main::TimersChanged() {
    FollowTimer(Timer1, scheduler_.timer1);
    FollowTimer(Timer2, scheduler_.timer2);
    FollowTimer(Timer3, scheduler_.timer3);
}

} // namespace vetorlan
