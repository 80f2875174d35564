#pragma once

#include "forecast/LoadPipeline.h"
#include "ui/TrayIcon.h"

#include <QObject>
#include <functional>

class QMenu;

namespace vetorlan {

// What the tray menu's entries do; "Показать прогноз" and the left click show the forecast.
struct TrayMenuActions {
    std::function<void()> open, load, settings, help, about, quit;
};

// The program's tray presence: the icon with the load's status, its tooltip, the menu and
// the left click.
class TrayController : public QObject {
    Q_OBJECT
public:
    TrayController(const TrayMenuActions& actions, QObject* parent);

    void Show();
    void Hide();
    bool IsShown() const { return icon_.IsShown(); }
    // Whether the desktop has a notification area at all.
    static bool Available() { return TrayIcon::Available(); }

    // The status icon of a running or failed load, or the normal one.
    void SetStatusIcon(TrayIconKind kind);
    void ShowLoadState(LoadState state);
    void SetStatusTip(const QString& text);
    // The tooltip from the forecast file's time stamp.
    void ShowLoadStatus();

    TrayIconKind StatusIcon() const { return icon_.Icon(); }
    const QString& Tip() const { return icon_.Tip(); }
    const QMenu& Menu() { return icon_.Menu(); }

private:
    void BuildMenu(const TrayMenuActions& actions);

    TrayIcon icon_;
};

} // namespace vetorlan
