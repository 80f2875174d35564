#include "ui/AboutWindow.h"

#include "forecast/CopyView.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

namespace vetorlan {

namespace {

// Twips to logical pixels.
constexpr int Px(int twips) {
    return (twips + 7) / 15;
}

constexpr int kDesignWidth = 4680;
constexpr int kDesignHeight = 4710;
constexpr int kGrowth = 420;
constexpr int kGrowStep = 10;

const QString kProgramPage = QStringLiteral("http://vetorlan.example.org/");
const QString kAuthorMail = QStringLiteral("author@vetorlan.example.org");

QFrame* Line(QWidget* parent, QRect geometry) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(geometry);
    return line;
}

} // namespace

QString OwnerPortalUrl() {
    return QStringLiteral("https://yandex.ru/");
}
QString MeteoBureauUrl() {
    return QStringLiteral("https://www.meteoinfo.ru/");
}
QString ProgramPageUrl() {
    return kProgramPage;
}
QString AuthorMailUrl() {
    return "mailto:" + kAuthorMail + "?subject=Vetorlan v1.3 MSG";
}

int AboutWindow::DesignHeight() {
    return Px(kDesignHeight);
}
int AboutWindow::GrownHeight() {
    return Px(kDesignHeight + kGrowth);
}

AboutWindow::AboutWindow(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("О программе"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    BuildNotice();
    BuildPageAndAuthor();
    Command1 = new QPushButton(QStringLiteral("Закрыть"), this);
    Command1->setGeometry(Px(180), Px(4740), Px(4335), Px(315));
    connect(Command1, &QPushButton::clicked, this, &AboutWindow::Command1_Click);
    Timer1.setInterval(2000);
    Timer2.setInterval(10);
    connect(&Timer1, &QTimer::timeout, this, &AboutWindow::Timer1_Timer);
    connect(&Timer2, &QTimer::timeout, this, &AboutWindow::Timer2_Timer);
    setFixedSize(Px(kDesignWidth), DesignHeight());
}

QLabel* AboutWindow::MakeLink(QWidget* parent, const QString& text, const QString& tip, QRect geometry) {
    auto* link = new QLabel(text, parent);
    link->setStyleSheet(QStringLiteral("color: rgb(0,0,255); text-decoration: underline;"));
    link->setToolTip(tip);
    link->setCursor(Qt::PointingHandCursor);
    link->setGeometry(geometry);
    link->installEventFilter(this);
    return link;
}

void AboutWindow::BuildNotice() {
    auto* Frame3 = new QGroupBox(QStringLiteral("Внимание !"), this);
    Frame3->setGeometry(Px(120), Px(120), Px(4440), Px(1800));
    auto* Label8 = new QLabel(
        QStringLiteral("Все права на материалы, извлекаемые программой из сети Интернет принадлежат"), Frame3);
    Label8->setWordWrap(true);
    Label8->setGeometry(Px(120), Px(300), Px(4200), Px(600));
    Label10 = MakeLink(Frame3, QStringLiteral("Яндекс"), QStringLiteral("Заглянуть на Яндекс"),
                       QRect(Px(120), Px(1000), Px(4200), Px(255)));
    Line(Frame3, QRect(Px(120), Px(1275), Px(4200), Px(30)));
    Label9 = MakeLink(Frame3, QStringLiteral("Метеобюро Москвы и области"), QStringLiteral("Посетить сайт метеобюро"),
                      QRect(Px(120), Px(1350), Px(4200), Px(255)));
    auto* Label7 = new QLabel(QStringLiteral("Программа распространяется бесплатно. Все права на программу "
                                             "принадлежат её автору."),
                              this);
    Label7->setWordWrap(true);
    Label7->setGeometry(Px(120), Px(2000), Px(4440), Px(500));
}

void AboutWindow::BuildPageAndAuthor() {
    auto* Frame2 = new QFrame(this);
    Frame2->setFrameShape(QFrame::StyledPanel);
    Frame2->setGeometry(Px(120), Px(2580), Px(4440), Px(900));
    auto* Label5 = new QLabel(QStringLiteral("Страничка программы"), Frame2);
    QFont bold = Label5->font();
    bold.setBold(true);
    Label5->setFont(bold);
    Label5->setGeometry(Px(120), Px(120), Px(4200), Px(300));
    Label6 = MakeLink(Frame2, kProgramPage, QStringLiteral("Посетить страничку программы в Интернете"),
                      QRect(Px(120), Px(480), Px(4200), Px(300)));
    auto* Frame1 = new QFrame(this);
    Frame1->setFrameShape(QFrame::StyledPanel);
    Frame1->setGeometry(Px(120), Px(3600), Px(4440), Px(960));
    auto* Label3 = new QLabel(QStringLiteral("Автор программы: разработчик Веторлана"), Frame1);
    Label3->setGeometry(Px(120), Px(120), Px(4200), Px(300));
    Label4 = MakeLink(Frame1, kAuthorMail, QStringLiteral("Написать письмо автору программы"),
                      QRect(Px(120), Px(480), Px(4200), Px(300)));
}

void AboutWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // A window restored from the task bar is not opened anew: its animation stays done.
    if (!event->spontaneous())
        Form_Load();
}

void AboutWindow::Form_Load() {
    GrowStep = 0;
    Timer2.stop();
    setFixedHeight(DesignHeight());
    Timer1.start();
}

void AboutWindow::Timer1_Timer() {
    Timer2.start();
}

void AboutWindow::Timer2_Timer() {
    if (GrowStep >= kGrowth) {
        Timer1.stop();
        Timer2.stop();
        return;
    }
    GrowStep = static_cast<std::int16_t>(GrowStep + kGrowStep);
    setFixedHeight(Px(kDesignHeight + GrowStep));
}

bool AboutWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == Label10)
            Label10_Click();
        else if (watched == Label9)
            Label9_Click();
        else if (watched == Label6)
            Label6_Click();
        else if (watched == Label4)
            Label4_Click();
    }
    return QDialog::eventFilter(watched, event);
}

namespace {
void OpenLink(const QString& target) {
    if (Shell* shell = CurrentShell())
        shell->OpenDocument(target);
}
} // namespace

void AboutWindow::Label10_Click() {
    OpenLink(OwnerPortalUrl());
}
void AboutWindow::Label9_Click() {
    OpenLink(MeteoBureauUrl());
}
void AboutWindow::Label6_Click() {
    OpenLink(ProgramPageUrl());
}
void AboutWindow::Label4_Click() {
    OpenLink(AuthorMailUrl());
}

void AboutWindow::Command1_Click() {
    close();
}

} // namespace vetorlan
