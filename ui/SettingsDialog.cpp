#include "ui/SettingsDialog.h"

#include "core/SaveParametr.h"
#include "core/Settings.h"
#include "core/Sound.h"
#include "ui/CopyTargetDialog.h"
#include "ui/DialogWidgets.h"
#include "ui/Dialogs.h"
#include "ui/MainWindowApi.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace vetorlan {

namespace {

constexpr int TipFullTwips = 300;
constexpr int TipStepTwips = 10;
constexpr int TwipsPerPixel = 15; // at 96 dpi
constexpr int PictureSize = 32;

const char* const True = "True";
const char* const False = "False";

QString boolText(const QCheckBox* box) {
    return box->isChecked() ? True : False;
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

template <class T> T* named(QWidget* parent, const char* name, const QString& text = {}, const QString& tip = {}) {
    auto* w = new T(parent);
    w->setObjectName(name);
    if constexpr (requires { w->setText(text); })
        if (!text.isEmpty())
            w->setText(text);
    if (!tip.isEmpty())
        w->setToolTip(tip);
    return w;
}

QLineEdit* readOnlyField(QWidget* parent, const char* name, const QString& tip, const QString& widest) {
    auto* edit = named<QLineEdit>(parent, name, {}, tip);
    edit->setReadOnly(true);
    edit->setAlignment(Qt::AlignCenter);
    edit->setFocusPolicy(Qt::NoFocus);
    const int width = edit->fontMetrics().horizontalAdvance(widest) + 16;
    edit->setFixedWidth(width);
    return edit;
}

// A row of controls, closed by a stretch unless `stretch` is false.
QHBoxLayout* row(std::initializer_list<QWidget*> widgets, bool stretch = true) {
    auto* layout = new QHBoxLayout;
    layout->setSpacing(4);
    for (QWidget* w : widgets)
        layout->addWidget(w);
    if (stretch)
        layout->addStretch();
    return layout;
}

QButtonGroup* pair(QObject* owner, QRadioButton* a, QRadioButton* b) {
    auto* group = new QButtonGroup(owner);
    group->addButton(a);
    group->addButton(b);
    return group;
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

SettingsDialog::SettingsDialog(MainWindowApi& main, QWidget* parent) : QDialog(parent), main_(main) {
    setObjectName("SettingsDialog");
    setWindowTitle("Настройки");
    Image1 = LoudspeakerPicture(false, PictureSize, devicePixelRatio());
    Image3 = LoudspeakerPicture(true, PictureSize, devicePixelRatio());
    // Built in reading order, so the tab order follows it.
    buildGeneralFrame();
    buildViewFrame();
    buildWorkModeFrame();
    buildCopyFrame();
    buildErrorFrame();
    buildMultiLoadFrame();
    buildBottom();
    layoutForm();
    connectHandlers();
    Form_Load();
}

void SettingsDialog::buildGeneralFrame() {
    Frame1 = named<QGroupBox>(this, "Frame1");
    Frame1->setTitle("Общие");
    Check7 = named<QCheckBox>(Frame1, "Check7", "Автозапуск программы",
                              "Программа будет запускаться вместе с системой. Рекомендуется с установленной "
                              "следующей опцией.");
    Check8 = named<QCheckBox>(Frame1, "Check8", "Запускаться в свернутом режиме (иконка в трее)",
                              "Запуск в свернутом режиме. Рекомендуется с установленной предыдущей опцией.");
    Check1 = named<QCheckBox>(Frame1, "Check1", "Запоминать город при выходе",
                              "При последующих запусках программы город будет проставлен автоматически.");
    Check3 = named<QCheckBox>(Frame1, "Check3", "Выходить из программы после загрузки прогноза",
                              "Чтобы каждый раз вручную не закрывать программу после загрузки прогноза.");
    auto* box = new QVBoxLayout(Frame1);
    for (QWidget* w : {Check7, Check8, Check1, Check3})
        box->addWidget(w);
    box->addStretch();
}

void SettingsDialog::buildViewFrame() {
    Frame3 = named<QGroupBox>(this, "Frame3");
    Frame3->setTitle("Просмотр");
    Check9 = named<QCheckBox>(Frame3, "Check9", "Не показывать прогноз сразу после загрузки",
                              "Загруженный прогноз всегда доступен для промотра по левому щелчку на иконке в трее.");
    Option1 = named<QRadioButton>(
        Frame3, "Option1", "Использовать браузер по умолчанию",
        "Открыть прогноз в браузере по умолчанию (в том числе Internet Explorer, если ничего другого нет).");
    Option2 = named<QRadioButton>(Frame3, "Option2", "Использовать Internet Explorer (принудительно)",
                                  "Если прогноз не открывается при установке браузера по умолчанию.");
    browserGroup_ = pair(this, Option1, Option2);
    auto* box = new QVBoxLayout(Frame3);
    for (QWidget* w : {static_cast<QWidget*>(Check9), static_cast<QWidget*>(Option1), static_cast<QWidget*>(Option2)})
        box->addWidget(w);
    box->addStretch();
}

void SettingsDialog::buildWorkModeFrame() {
    Frame4 = named<QGroupBox>(this, "Frame4");
    Frame4->setTitle("Режим работы");
    Option4 = named<QRadioButton>(Frame4, "Option4", "Модемное (Dial-Up) соединение с Интеренетом");
    buildDialUpGroup();
    Option5 = named<QRadioButton>(Frame4, "Option5", "Выделенная линия, локальная сеть, xDSL-модем");
    workModeGroup_ = pair(this, Option4, Option5);
    buildDirectGroup();

    const int fieldHeight = Text2->sizeHint().height();
    for (SpinScroll* s : {VScroll1, VScroll2, VScroll3})
        s->setFixedHeight(fieldHeight);

    auto* grid = new QGridLayout(Frame4);
    grid->addWidget(Option4, 0, 0);
    grid->addWidget(Shape1, 1, 0);
    grid->addWidget(Option5, 0, 1);
    grid->addWidget(Shape2, 1, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
}

void SettingsDialog::buildDialUpGroup() {
    Shape1 = new ColorShape(ColorShape::Kind::Rectangle, Frame4);
    Shape1->setObjectName("Shape1");
    Label2 = named<QLabel>(Shape1, "Label2", "Загружать прогноз через");
    Text2 = named<QLineEdit>(Shape1, "Text2", {}, "Пауза перед началом загрузки, чтобы сразу не занимать канал.");
    Text2->setAlignment(Qt::AlignCenter);
    Text2->setFixedWidth(Text2->fontMetrics().horizontalAdvance("1000") + 16);
    VScroll1 = new SpinScroll(0, 100, Shape1);
    VScroll1->setObjectName("VScroll1");
    Label3 = named<QLabel>(Shape1, "Label3", "секунд");
    Label4 = named<QLabel>(Shape1, "Label4", "после обнаружения соединения с Интеренетом");
    Check4 = named<QCheckBox>(Shape1, "Check4", "Разорвать соединение после загрузки",
                              "Работает только на модемном (Dial Up) соединении.");
    auto* box = new QVBoxLayout(Shape1);
    box->addLayout(row({Label2, Text2, VScroll1, Label3}));
    box->addWidget(Label4);
    box->addWidget(Check4);
    box->addStretch();
}

void SettingsDialog::buildDirectGroup() {
    Shape2 = new ColorShape(ColorShape::Kind::Rectangle, Frame4);
    Shape2->setObjectName("Shape2");
    Label5 = named<QLabel>(Shape2, "Label5", "Время загрузки прогноза:");
    Shape3 = new ColorShape(ColorShape::Kind::Rectangle, Shape2);
    Shape3->setObjectName("Shape3");
    Shape3->setContentsMargins(2, 2, 2, 2);
    Text3 =
        readOnlyField(Shape3, "Text3", "В это время прогноз будет загружен, независимо от его актуальности.", "00:00");
    VScroll2 = new SpinScroll(-1, 24, Shape3);
    VScroll2->setObjectName("VScroll2");
    VScroll2->setAccessibleName("Часы");
    VScroll3 = new SpinScroll(-1, 60, Shape3);
    VScroll3->setObjectName("VScroll3");
    VScroll3->setAccessibleName("Минуты");
    auto* timeBox = row({VScroll2, Text3, VScroll3}, false);
    timeBox->setSpacing(2);
    Shape3->setLayout(timeBox);

    Check12 = named<QCheckBox>(Shape2, "Check12", "Проверять актуальность прогноза один раз в",
                               "Автоматическая проверка соответствия даты прогноза текущей дате.");
    Command4 = named<QPushButton>(Shape2, "Command4", "<");
    Text4 = readOnlyField(Shape2, "Text4", "Период проверки актуальности прогноза на локальном диске.", "23 часов");
    Command5 = named<QPushButton>(Shape2, "Command5", ">");
    for (QPushButton* b : {Command4, Command5})
        b->setFixedWidth(b->fontMetrics().horizontalAdvance("<") + 24);
    auto* periodRow = row({Command4, Text4, Command5});
    periodRow->insertSpacing(0, 20);
    periodRow->insertLayout(1, buildBracket());

    auto* box = new QVBoxLayout(Shape2);
    box->addLayout(row({Label5, Shape3}));
    box->addWidget(Check12);
    box->addLayout(periodRow);
    box->addStretch();
}

// The bracket "[" in front of the period controls, drawn by three lines.
QLayout* SettingsDialog::buildBracket() {
    Line1 = new ColorShape(ColorShape::Kind::HorizontalLine, Shape2);
    Line2 = new ColorShape(ColorShape::Kind::VerticalLine, Shape2);
    Line3 = new ColorShape(ColorShape::Kind::HorizontalLine, Shape2);
    Line1->setObjectName("Line1");
    Line2->setObjectName("Line2");
    Line3->setObjectName("Line3");
    Line1->setFixedWidth(8);
    Line3->setFixedWidth(8);
    auto* bracket = new QGridLayout;
    bracket->setSpacing(0);
    bracket->addWidget(Line1, 0, 1);
    bracket->addWidget(Line2, 0, 0, 3, 1);
    bracket->addWidget(Line3, 2, 1);
    bracket->setRowStretch(1, 1);
    return bracket;
}

void SettingsDialog::buildCopyFrame() {
    Frame2 = named<QGroupBox>(this, "Frame2");
    Frame2->setTitle("Копирование");
    Check5 = named<QCheckBox>(Frame2, "Check5", "После загрузки скопировать прогноз в папку...",
                              "Можно настроить автоматическое копирование на сервер Вашей организации, чтобы "
                              "остальные пользователи тоже знали погоду.");
    Text1 = named<QLineEdit>(
        Frame2, "Text1", {},
        "Путь и имя файла, куда будет копироваться загруженный прогноз. Используйте кнопку \"выбрать\"");
    Text1->setMinimumWidth(Text1->fontMetrics().horizontalAdvance("/media/server/weather/Nimbora.htm"));
    Command1 = named<QPushButton>(Frame2, "Command1", "Выбрать", "Выберите путь и имя файла для копирования прогноза.");
    Check6 = named<QCheckBox>(Frame2, "Check6", "Вместе с картинками",
                              "С картинками красивее, но если они уже скопированы куда нужно, можно выключить.");
    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(Text1, 1);
    pathRow->addWidget(Command1);
    auto* box = new QVBoxLayout(Frame2);
    box->addWidget(Check5);
    box->addLayout(pathRow);
    box->addWidget(Check6);
    box->addStretch();
}

void SettingsDialog::buildErrorFrame() {
    Frame6 = named<QGroupBox>(this, "Frame6");
    Frame6->setTitle("Ошибки при загрузке данных из Интернета");
    Option3 =
        named<QRadioButton>(Frame6, "Option3", "Сообщить об ошибке", "При ошибке выдать диалоговое окно с сообщением.");
    Option6 = named<QRadioButton>(Frame6, "Option6", "Изменить иконку в трее", "При ошибке не надоедать сообщениями.");
    errorGroup_ = pair(this, Option3, Option6);
    auto* box = new QVBoxLayout(Frame6);
    box->addWidget(Option3);
    box->addWidget(Option6);
    box->addStretch();
}

void SettingsDialog::buildMultiLoadFrame() {
    Frame5 = named<QGroupBox>(this, "Frame5");
    Frame5->setTitle("Мультизагрузка");
    Check10 = named<QCheckBox>(Frame5, "Check10",
                               "Загружать прогноз погоды для нескольких городов (множественный выбор из одного списка)",
                               "Загружать прогноз для нескольких выбранных городов.");
    Shape4 = new ColorShape(ColorShape::Kind::Rectangle, Frame5);
    Shape4->setObjectName("Shape4");
    Label6 = named<QLabel>(Shape4, "Label6", "Меню выбора города при просмотре прогоноза:");
    Option7 =
        named<QRadioButton>(Shape4, "Option7", "Анимированное", "Красивое. Не рекомендуется, если городов более 5-7.");
    Option8 = named<QRadioButton>(Shape4, "Option8", "Обычный список",
                                  "Используйте при большом количестве городов, для которых загружается прогноз.");
    styleGroup_ = pair(this, Option7, Option8);
    Check14 = named<QCheckBox>(Shape4, "Check14", "Создавать имена файлов из английских символов ",
                               "Если сервер, на который производится копирование не понимает кириллицы.");
    auto* styleRow = new QHBoxLayout;
    styleRow->addWidget(Label6);
    styleRow->addWidget(Option7);
    styleRow->addWidget(Option8);
    styleRow->addStretch();
    auto* inner = new QVBoxLayout(Shape4);
    inner->addLayout(styleRow);
    inner->addWidget(Check14);
    auto* box = new QVBoxLayout(Frame5);
    box->addWidget(Check10);
    box->addWidget(Shape4);
}

void SettingsDialog::buildBottom() {
    Check11 = named<QCheckBox>(this, "Check11", "Звуковой сигнал после успешной загрузки",
                               "Издать вопль восторга при успешной загрузке:)");
    Image2 = named<QLabel>(this, "Image2", {}, "Ничего. Просто картинка.");
    Image2->setFixedSize(PictureSize, PictureSize);
    Command2 = named<QPushButton>(this, "Command2", "Ok", "Сохранить настройки и закрыть окно.");
    Command3 = named<QPushButton>(this, "Command3", "Отмена", "Закрыть окно без сохранения настроек.");
    Command6 = named<QPushButton>(this, "Command6", "Мастер", "Использовать мастера, облегчающего настройку.");
    Command2->setDefault(true);
    tipArea_ = new QWidget(this);
    tipArea_->setObjectName("TipArea");
    tipArea_->setFixedHeight(0);
    Label1 = named<QLabel>(tipArea_, "Label1", "совет: работают всплывающие подсказки.");
    QPalette red = Label1->palette();
    red.setColor(QPalette::WindowText, QColor(255, 0, 0));
    Label1->setPalette(red);
    Label1->move(12, 2);
    Label1->adjustSize();
    Timer1 = new QTimer(this);
    Timer2 = new QTimer(this);
    Timer3 = new QTimer(this);
    Timer1->setInterval(2000);
    Timer2->setInterval(10);
    Timer3->setInterval(3500);
}

void SettingsDialog::layoutForm() {
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(Check11);
    bottom->addWidget(Image2);
    bottom->addStretch();
    bottom->addWidget(Command2);
    bottom->addWidget(Command3);
    bottom->addWidget(Command6);

    auto* grid = new QGridLayout;
    grid->addWidget(Frame1, 0, 0);
    grid->addWidget(Frame3, 0, 1);
    grid->addWidget(Frame4, 1, 0, 1, 2);
    grid->addWidget(Frame2, 2, 0);
    grid->addWidget(Frame6, 2, 1);
    grid->addWidget(Frame5, 3, 0, 1, 2);
    grid->addLayout(bottom, 4, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);

    auto* outer = new QVBoxLayout(this);
    outer->setSpacing(0);
    outer->addLayout(grid);
    outer->addWidget(tipArea_);
    // The form keeps the size of its contents; the tip animation grows it through tipArea_.
    outer->setSizeConstraint(QLayout::SetFixedSize);
}

void SettingsDialog::connectHandlers() {
    connect(Option4, &QRadioButton::clicked, this, &SettingsDialog::UpdateWorkModeControls);
    connect(Option5, &QRadioButton::clicked, this, &SettingsDialog::UpdateWorkModeControls);
    connect(Check12, &QCheckBox::clicked, this, &SettingsDialog::UpdateActualControls);
    connect(Check10, &QCheckBox::clicked, this, &SettingsDialog::UpdateMultiLoadControls);
    connect(Check5, &QCheckBox::clicked, this, &SettingsDialog::Check5_Click);
    connect(Check11, &QCheckBox::clicked, this, &SettingsDialog::Check11_Click);
    connect(Text2, &QLineEdit::textChanged, this, &SettingsDialog::Text2_Change);
    connect(VScroll1, &SpinScroll::numberChanged, this, &SettingsDialog::VScroll1_Change);
    connect(VScroll2, &SpinScroll::numberChanged, this, &SettingsDialog::VScroll2_Change);
    connect(VScroll3, &SpinScroll::numberChanged, this, &SettingsDialog::VScroll3_Change);
    connect(Command1, &QPushButton::clicked, this, &SettingsDialog::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &SettingsDialog::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &SettingsDialog::reject);
    connect(Command4, &QPushButton::clicked, this, &SettingsDialog::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &SettingsDialog::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &SettingsDialog::Command6_Click);
    connect(Timer1, &QTimer::timeout, Timer2, qOverload<>(&QTimer::start));
    connect(Timer2, &QTimer::timeout, this, &SettingsDialog::Timer2_Timer);
    connect(Timer3, &QTimer::timeout, this, &SettingsDialog::Timer3_Timer);
}

void SettingsDialog::Form_Load() {
    main_.PauseScheduler();
    const Settings& s = AppSettings();
    VScroll2->setNumber(leadingInt(s.TimeLoad.left(2)));
    VScroll3->setNumber(leadingInt(s.TimeLoad.mid(3, 2)));
    VScroll1->setNumber(leadingInt(s.PauseOnLine));
    tipShown_ = tipHide_ = formReady_ = false;
    Timer1->start();
    UpdateWorkModeControls();
    fillControls();
    UpdateMultiLoadControls();
}

void SettingsDialog::fillControls() {
    const Settings& s = AppSettings();
    Check7->setChecked(IsTrue(s.AutoRun));
    Check8->setChecked(IsNotFalse(s.StartTray));
    Text3->setText(s.TimeLoad);
    Text2->setText(s.PauseOnLine);
    Check9->setChecked(s.ShellLoad == False);
    Check1->setChecked(IsTrue(s.GorodSave));
    (IsDialUp(s) ? Option4 : Option5)->setChecked(true);
    UpdateWorkModeControls();
    Check3->setChecked(IsNotFalse(s.LoadExit));
    Check4->setChecked(IsNotFalse(s.HangUp));
    (IsTrue(s.UseInternetExplorer) ? Option2 : Option1)->setChecked(true);
    Text1->setText(s.PathNimboraCopy);
    Text1->setCursorPosition(0);
    Check10->setChecked(IsNotFalse(s.MultiLoad));
    Check11->setChecked(IsTrue(s.Sound));
    Check11_Click();
    formReady_ = true;
    Check5->setChecked(IsNotFalse(s.NimboraCopy));
    Check5_Click();
    Check6->setChecked(IsTrue(s.CopyPictures));
    UpdateActualWaitText();
    Check12->setChecked(IsTrue(s.CheckActual));
    UpdateActualControls();
    (IsTrue(s.MSGError) ? Option3 : Option6)->setChecked(true);
    (s.IndexStyle == "Animation" ? Option7 : Option8)->setChecked(true);
    Check14->setChecked(IsTrue(s.TranslitFileName));
}

void SettingsDialog::UpdateWorkModeControls() {
    const bool dialUp = Option4->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{Label2, Label3, Label4, Text2, VScroll1, Check4})
        w->setEnabled(dialUp);
    for (QWidget* w : std::initializer_list<QWidget*>{Label5, Text3, VScroll2, VScroll3, Check12})
        w->setEnabled(!dialUp);
    Shape1->setColor(dialUp ? BlueLineColor() : InkLineColor(this));
    Shape2->setColor(dialUp ? InkLineColor(this) : BlueLineColor());
    Shape3->setColor(dialUp ? GreyLineColor(this) : InkLineColor(this));
    UpdateActualControls();
}

void SettingsDialog::UpdateActualControls() {
    const bool on = Option5->isChecked() && Check12->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{Command4, Command5, Text4})
        w->setEnabled(on);
    for (ColorShape* line : {Line1, Line2, Line3})
        line->setColor(on ? InkLineColor(this) : GreyLineColor(this));
}

void SettingsDialog::UpdateMultiLoadControls() {
    const bool on = Check10->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{Option7, Option8, Check14, Label6})
        w->setEnabled(on);
    Shape4->setColor(on ? InkLineColor(this) : GreyLineColor(this));
}

void SettingsDialog::UpdateTimeText() {
    Text3->setText(
        QString("%1:%2").arg(VScroll2->number(), 2, 10, QChar('0')).arg(VScroll3->number(), 2, 10, QChar('0')));
}

void SettingsDialog::UpdateActualWaitText() {
    Text4->setText(ActualWaitText(AppSettings().ActualWait));
}

void SettingsDialog::Check5_Click() {
    const bool on = Check5->isChecked();
    AppSettings().NimboraCopy = boolText(Check5);
    Text1->setEnabled(on);
    QPalette pal = Text1->palette();
    pal.setColor(QPalette::Base, palette().color(on ? QPalette::Base : QPalette::Button));
    Text1->setPalette(pal);
    Command1->setEnabled(on);
    Check6->setEnabled(on);
}

void SettingsDialog::Check11_Click() {
    Image2->setPixmap(Check11->isChecked() ? Image3 : Image1);
    if (Check11->isChecked() && formReady_)
        PlaySuccessSound();
}

void SettingsDialog::Text2_Change() {
    const QString text = Text2->text();
    const QString normal = NormalisePauseText(text);
    if (normal == text)
        return;
    // Keep the caret where the user was typing, shifted by what the rewrite removed.
    const int cursor = Text2->cursorPosition() - (text.size() - normal.size());
    Text2->setText(normal);
    Text2->setCursorPosition(std::clamp(cursor, 0, int(normal.size())));
}

void SettingsDialog::VScroll1_Change() {
    Text2->setText(QString::number(VScroll1->number()));
}

void SettingsDialog::VScroll2_Change() {
    if (VScroll2->number() == 24)
        VScroll2->setNumber(0);
    else if (VScroll2->number() == -1)
        VScroll2->setNumber(23);
    UpdateTimeText();
}

void SettingsDialog::VScroll3_Change() {
    if (VScroll3->number() == 60)
        VScroll3->setNumber(0);
    else if (VScroll3->number() == -1)
        VScroll3->setNumber(59);
    UpdateTimeText();
}

void SettingsDialog::Command4_Click() {
    std::int16_t& wait = AppSettings().ActualWait;
    if (wait != 1)
        wait = std::int16_t(std::clamp(wait - 1, 1, 23));
    UpdateActualWaitText();
}

void SettingsDialog::Command5_Click() {
    std::int16_t& wait = AppSettings().ActualWait;
    if (wait != 23)
        wait = std::int16_t(std::clamp(wait + 1, 1, 23));
    UpdateActualWaitText();
}

void SettingsDialog::SetCopyPath(const QString& path) {
    Text1->setText(path);
    Text1->setCursorPosition(0);
}

void SettingsDialog::Command1_Click() {
    CopyTargetDialog dialog([this](const QString& path) { SetCopyPath(path); }, this);
    dialog.exec();
}

void SettingsDialog::Command2_Click() {
    Settings& s = AppSettings();
    s.AutoRun = boolText(Check7);
    s.StartTray = boolText(Check8);
    s.GorodSave = boolText(Check1);
    s.LoadExit = boolText(Check3);
    s.WorkMode = Option4->isChecked() ? "DialUp" : "DirectConn";
    s.PauseOnLine = Text2->text();
    s.HangUp = boolText(Check4);
    s.TimeLoad = Text3->text();
    s.CheckActual = boolText(Check12);
    s.ShellLoad = Check9->isChecked() ? False : True;
    s.UseInternetExplorer = Option2->isChecked() ? True : False;
    s.NimboraCopy = boolText(Check5);
    s.PathNimboraCopy = Text1->text();
    s.CopyPictures = boolText(Check6);
    s.MultiLoad = boolText(Check10);
    s.IndexStyle = Option7->isChecked() ? "Animation" : "List";
    s.TranslitFileName = boolText(Check14);
    s.MSGError = Option3->isChecked() ? True : False;
    s.Sound = boolText(Check11);
    SaveSettings();
    accept();
}

void SettingsDialog::Command6_Click() {
    reject();
    StartSetupWizard(main_);
}

void SettingsDialog::Timer2_Timer() {
    if (tipOffset_ < TipFullTwips && !tipShown_)
        tipOffset_ += TipStepTwips;
    if (tipOffset_ == TipFullTwips && !tipShown_) {
        tipShown_ = true;
        Timer3->start();
    }
    if (tipOffset_ > 0 && tipShown_ && tipHide_)
        tipOffset_ -= TipStepTwips;
    if (tipOffset_ == 0) {
        Timer1->stop();
        Timer2->stop();
    }
    // 300 twips are 20 pixels at 96 dpi; a larger font gets the room its tip line needs.
    const int full = std::max(TipFullTwips / TwipsPerPixel, Label1->sizeHint().height() + 6);
    tipArea_->setFixedHeight(tipOffset_ * full / TipFullTwips);
}

void SettingsDialog::Timer3_Timer() {
    tipHide_ = true;
    Timer3->stop();
}

void SettingsDialog::done(int result) {
    for (QTimer* t : {Timer1, Timer2, Timer3})
        t->stop();
    if (!restored_) {
        restored_ = true;
        main_.RestoreScheduler();
    }
    QDialog::done(result);
}

} // namespace vetorlan
