#include "ui/TrayController.h"

#include "core/Clock.h"
#include "core/ExtraSettings.h"
#include "core/FileSystemObject.h"
#include "core/ProgramFolder.h"
#include "forecast/CopyView.h"
#include "ui/TemperatureTrayIcon.h"

#include <QMenu>

namespace vetorlan {

TrayController::TrayController(const TrayMenuActions& actions, const Settings& settings, QObject* parent)
    : QObject(parent), settings_(settings) {
    connect(&icon_, &TrayIcon::leftButtonPressed, this, [this] { ShowForecast(settings_); });
    BuildMenu(actions);
    refreshTimer_.setTimerType(Qt::CoarseTimer);
    connect(&refreshTimer_, &QTimer::timeout, this, &TrayController::RefreshTemperature);
    refreshTimer_.start(kRefreshMs);
}

void TrayController::BuildMenu(const TrayMenuActions& actions) {
    QMenu& menu = icon_.Menu();
    menu.addAction(QStringLiteral("Открыть программу"), this, actions.open);
    menu.addAction(QStringLiteral("Загрузить прогноз"), this, actions.load);
    menu.addAction(QStringLiteral("Показать прогноз"), this, [this] { ShowForecast(settings_); });
    menu.addSeparator();
    menu.addAction(QStringLiteral("Настройки"), this, actions.settings);
    menu.addSeparator();
    menu.addAction(QStringLiteral("Справка"), this, actions.help);
    menu.addSeparator();
    menu.addAction(QStringLiteral("О программе"), this, actions.about);
    menu.addSeparator();
    menu.addAction(QStringLiteral("Выход"), this, actions.quit);
    menu.addSeparator();
    menu.addAction(QStringLiteral("<Закрыть это меню>"));
}

void TrayController::Show() {
    icon_.Add();
}

void TrayController::Hide() {
    icon_.Delete();
}

void TrayController::SetStatusIcon(TrayIconKind kind) {
    status_ = kind;
    Apply();
}

void TrayController::ShowLoadState(LoadState state) {
    status_ = state == LoadState::Loading  ? TrayIconKind::Loading
              : state == LoadState::Failed ? TrayIconKind::Error
                                           : TrayIconKind::Normal;
    if (state == LoadState::Loading)
        Apply();
    else
        RefreshTemperature();
}

void TrayController::SetStatusTip(const QString& text) {
    statusTip_ = text;
    Apply();
}

void TrayController::ShowLoadStatus() {
    SetStatusTip(LoadStatusText(FileModified(ProgramFile(kMainPageName)), Now()));
}

void TrayController::SetTown(const QString& stationIndex) {
    if (stationIndex == station_)
        return;
    station_ = stationIndex;
    RefreshTemperature();
}

void TrayController::RefreshTemperature() {
    weather_ = station_.isEmpty() ? std::nullopt : LoadCurrentWeather(station_);
    Apply();
}

void TrayController::Apply() {
    const QDateTime now = Now();
    const WeatherStep* step =
        weather_ && AppExtraSettings().ShowTemperature ? CurrentStep(*weather_, now.toSecsSinceEpoch()) : nullptr;
    if (!step) {
        icon_.SetIcon(status_);
        icon_.SetTrayTip(statusTip_);
        return;
    }
    const int degrees = RoundedDegrees(step->temperature);
    icon_.SetIcon(status_, TemperatureTrayIcon(degrees, GlyphOfPicture(step->picture), status_));
    icon_.SetTrayTip(CurrentWeatherTip(*weather_, *step, now) + QLatin1Char('\n') + statusTip_);
}

} // namespace vetorlan
