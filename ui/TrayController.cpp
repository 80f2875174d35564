#include "ui/TrayController.h"

#include "core/Clock.h"
#include "core/FileSystemObject.h"
#include "core/ProgramFolder.h"
#include "forecast/CopyView.h"

#include <QMenu>

namespace vetorlan {

TrayController::TrayController(const TrayMenuActions& actions, QObject* parent) : QObject(parent) {
    connect(&icon_, &TrayIcon::leftButtonPressed, this, [] { ShowForecast(); });
    BuildMenu(actions);
}

void TrayController::BuildMenu(const TrayMenuActions& actions) {
    QMenu& menu = icon_.Menu();
    menu.addAction(QStringLiteral("Открыть программу"), this, actions.open);
    menu.addAction(QStringLiteral("Загрузить прогноз"), this, actions.load);
    menu.addAction(QStringLiteral("Показать прогноз"), this, [] { ShowForecast(); });
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
    icon_.SetIcon(kind);
}

void TrayController::ShowLoadState(LoadState state) {
    SetStatusIcon(state == LoadState::Loading  ? TrayIconKind::Loading
                  : state == LoadState::Failed ? TrayIconKind::Error
                                               : TrayIconKind::Normal);
}

void TrayController::SetStatusTip(const QString& text) {
    icon_.SetTrayTip(text);
}

void TrayController::ShowLoadStatus() {
    SetStatusTip(LoadStatusText(FileModified(ProgramFile("nimbora.htm")), Now()));
}

} // namespace vetorlan
