#include "ui/AboutWindow.h"

#include "core/ProgramFolder.h"
#include "forecast/CopyView.h"
#include "ui_AboutWindow.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

namespace vetorlan {

namespace {

// Twips to logical pixels.
constexpr int Px(int twips) {
    return (twips + 7) / 15;
}

constexpr int kDesignHeight = 4710;
constexpr int kGrowth = 420;
constexpr int kGrowStep = 10;

const QString kProgramPage = QStringLiteral("http://vetorlan.example.org/");
const QString kAuthorMail = QStringLiteral("author@vetorlan.example.org");

// The sources of the forecasts and town coordinates, with their licences.
void OpenCredits() {
    if (Shell* shell = CurrentShell())
        shell->OpenDocument(ProgramFolder() + QStringLiteral("/help/credits.htm"));
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

AboutWindow::AboutWindow(QWidget* parent) : QDialog(parent), m_ui(std::make_unique<Ui::AboutWindow>()) {
    m_ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    // The two addresses are shown as they are opened.
    m_ui->programPageLink->setText(kProgramPage);
    m_ui->authorMailLink->setText(kAuthorMail);
    for (QWidget* link : {m_ui->portalLink, m_ui->bureauLink, m_ui->programPageLink, m_ui->authorMailLink})
        link->installEventFilter(this);
    connect(m_ui->closeButton, &QPushButton::clicked, this, &AboutWindow::close);
    connect(m_ui->licenceLabel, &QLabel::linkActivated, this, [] { OpenCredits(); });
    growDelayTimer.setInterval(2000);
    growStepTimer.setInterval(10);
    connect(&growDelayTimer, &QTimer::timeout, this, &AboutWindow::startGrowing);
    connect(&growStepTimer, &QTimer::timeout, this, &AboutWindow::growOneStep);
}

AboutWindow::~AboutWindow() = default;

QPushButton* AboutWindow::closeButton() const {
    return m_ui->closeButton;
}

void AboutWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // A window restored from the task bar is not opened anew: its animation stays done.
    if (!event->spontaneous())
        startOpeningAnimation();
}

void AboutWindow::startOpeningAnimation() {
    grownTwips = 0;
    growStepTimer.stop();
    setFixedHeight(DesignHeight());
    growDelayTimer.start();
}

void AboutWindow::startGrowing() {
    growStepTimer.start();
}

void AboutWindow::growOneStep() {
    if (grownTwips >= kGrowth) {
        growDelayTimer.stop();
        growStepTimer.stop();
        return;
    }
    grownTwips = static_cast<std::int16_t>(grownTwips + kGrowStep);
    setFixedHeight(Px(kDesignHeight + grownTwips));
}

bool AboutWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == m_ui->portalLink)
            openOwnerPortal();
        else if (watched == m_ui->bureauLink)
            openMeteoBureau();
        else if (watched == m_ui->programPageLink)
            openProgramPage();
        else if (watched == m_ui->authorMailLink)
            writeToAuthor();
    }
    return QDialog::eventFilter(watched, event);
}

namespace {
void OpenLink(const QString& target) {
    if (Shell* shell = CurrentShell())
        shell->OpenDocument(target);
}
} // namespace

void AboutWindow::openOwnerPortal() {
    OpenLink(OwnerPortalUrl());
}
void AboutWindow::openMeteoBureau() {
    OpenLink(MeteoBureauUrl());
}
void AboutWindow::openProgramPage() {
    OpenLink(ProgramPageUrl());
}
void AboutWindow::writeToAuthor() {
    OpenLink(AuthorMailUrl());
}

} // namespace vetorlan
