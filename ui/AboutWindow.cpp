#include "ui/AboutWindow.h"

#include "core/ProgramFolder.h"
#include "core/ProjectInfo.h"
#include "forecast/CopyView.h"
#include "sources/Download.h"
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

// The sources of the forecasts and town coordinates, with their licences.
void OpenCredits() {
    if (Shell* shell = CurrentShell())
        shell->OpenDocument(ProgramFolder() + QStringLiteral("/help/credits.htm"));
}

// Pages made from the live sources credit the two open services, as the credits page does.
const SourceLink kLiveSources[] = {
    {QStringLiteral("MET Norway"), QStringLiteral("Посетить сайт Норвежского метеорологического института"),
     QStringLiteral("https://api.met.no/")},
    {QStringLiteral("Open-Meteo.com"), QStringLiteral("Посетить сайт Open-Meteo"),
     QStringLiteral("https://open-meteo.com/")},
};
const SourceLink kServiceOwners[] = {
    {QStringLiteral("Яндекс"), QStringLiteral("Заглянуть на Яндекс"), QStringLiteral("https://yandex.ru/")},
    {QStringLiteral("Метеобюро Москвы и области"), QStringLiteral("Посетить сайт метеобюро"),
     QStringLiteral("https://www.meteoinfo.ru/")},
};

// The About window names the data's owners by the build's page source, whether or not a load
// has installed its clients yet.
bool ShowsLiveSources() {
    return ServiceUrl().isEmpty();
}

} // namespace

SourceLink DataSourceLink(int which) {
    return (ShowsLiveSources() ? kLiveSources : kServiceOwners)[which == 0 ? 0 : 1];
}

QString DataSourceNotice() {
    return ShowsLiveSources()
               ? QStringLiteral("Прогноз погоды основан на данных открытых служб (лицензия CC BY 4.0):")
               : QStringLiteral("Все права на материалы, извлекаемые программой из сети Интернет принадлежат");
}

QString ProgramPageUrl() {
    return ProjectHomepage();
}

QString AuthorMailUrl() {
    const QString contact = ProjectContact();
    if (contact.isEmpty())
        return {};
    return "mailto:" + contact + "?subject=Vetorlan v" + ProgramVersion() + " MSG";
}

int AboutWindow::DesignHeight() {
    return Px(kDesignHeight);
}
int AboutWindow::GrownHeight() {
    return Px(kDesignHeight + kGrowth);
}

AboutWindow::AboutWindow(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::AboutWindow>()) {
    ui_->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ShowDataSources();
    ShowProjectAddresses();
    for (QWidget* link : {ui_->firstSourceLink, ui_->secondSourceLink, ui_->programPageLink, ui_->authorMailLink})
        link->installEventFilter(this);
    connect(ui_->closeButton, &QPushButton::clicked, this, &AboutWindow::close);
    connect(ui_->licenceLabel, &QLabel::linkActivated, this, [] { OpenCredits(); });
    growDelayTimer.setInterval(2000);
    growStepTimer.setInterval(10);
    connect(&growDelayTimer, &QTimer::timeout, this, &AboutWindow::StartGrowing);
    connect(&growStepTimer, &QTimer::timeout, this, &AboutWindow::GrowOneStep);
}

AboutWindow::~AboutWindow() = default;

void AboutWindow::ShowDataSources() {
    ui_->rightsLabel->setText(DataSourceNotice());
    const std::pair<QLabel*, SourceLink> links[] = {{ui_->firstSourceLink, DataSourceLink(0)},
                                                    {ui_->secondSourceLink, DataSourceLink(1)}};
    for (const auto& [label, link] : links) {
        label->setText(link.name);
        label->setToolTip(link.tooltip);
    }
}

// The addresses are shown as they are opened; one the build does not name is left out. Without
// the mail link the author's frame holds its one line, still just above "Закрыть".
void AboutWindow::ShowProjectAddresses() {
    ui_->programPageLink->setText(ProjectHomepage());
    ui_->programPageFrame->setVisible(!ProjectHomepage().isEmpty());
    ui_->authorMailLink->setText(ProjectContact());
    ui_->authorMailLink->setVisible(!ProjectContact().isEmpty());
    if (ProjectContact().isEmpty()) {
        QRect frame = ui_->authorFrame->geometry();
        frame.setTop(frame.bottom() + 1 - (ui_->authorLabel->geometry().bottom() + 1 + ui_->authorLabel->y()));
        ui_->authorFrame->setGeometry(frame);
    }
}

QPushButton* AboutWindow::closeButton() const {
    return ui_->closeButton;
}

void AboutWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // A window restored from the task bar is not opened anew: its animation stays done.
    if (!event->spontaneous())
        StartOpeningAnimation();
}

void AboutWindow::StartOpeningAnimation() {
    grownTwips = 0;
    growStepTimer.stop();
    setFixedHeight(DesignHeight());
    growDelayTimer.start();
}

void AboutWindow::StartGrowing() {
    growStepTimer.start();
}

void AboutWindow::GrowOneStep() {
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
        if (watched == ui_->firstSourceLink)
            OpenDataSource(0);
        else if (watched == ui_->secondSourceLink)
            OpenDataSource(1);
        else if (watched == ui_->programPageLink)
            OpenProgramPage();
        else if (watched == ui_->authorMailLink)
            WriteToAuthor();
    }
    return QDialog::eventFilter(watched, event);
}

namespace {
void OpenLink(const QString& target) {
    Shell* shell = CurrentShell();
    if (shell && !target.isEmpty())
        shell->OpenDocument(target);
}
} // namespace

void AboutWindow::OpenDataSource(int which) {
    OpenLink(DataSourceLink(which).url);
}
void AboutWindow::OpenProgramPage() {
    OpenLink(ProgramPageUrl());
}
void AboutWindow::WriteToAuthor() {
    OpenLink(AuthorMailUrl());
}

} // namespace vetorlan
