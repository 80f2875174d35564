#pragma once

#include "forecast/LoadPipeline.h"
#include "sources/CurrentWeather.h"
#include "ui/TrayIcon.h"

#include <QObject>
#include <QTimer>
#include <functional>
#include <optional>

class QMenu;

namespace vetorlan {

// What the tray menu's entries do; "Показать прогноз" and the left click show the forecast.
struct TrayMenuActions {
    std::function<void()> open, load, settings, help, about, quit;
};

// The program's tray presence: the icon with the load's status, and the current temperature
// of the tray's town when a live forecast gives one; its tooltip, the menu and the left click.
class TrayController : public QObject {
    Q_OBJECT
public:
    // How often the temperature is read again from the stored digest (no service is asked).
    static constexpr int kRefreshMs = 600000;

    TrayController(const TrayMenuActions& actions, const Settings& settings, QObject* parent);

    void Show();
    void Hide();
    bool IsShown() const { return icon_.IsShown(); }
    // Whether the desktop has a notification area at all.
    static bool Available() { return TrayIcon::Available(); }

    // The status icon of a running or failed load, or the normal one.
    void SetStatusIcon(TrayIconKind kind);
    // The load's state; once a load has ended the temperature is read again.
    void ShowLoadState(LoadState state);
    // The load status line of the tooltip.
    void SetStatusTip(const QString& text);
    // The tooltip's status line from the forecast file's time stamp.
    void ShowLoadStatus();
    // The station index of the town whose temperature is shown (empty: none); reads its digest.
    void SetTown(const QString& stationIndex);
    // Reads the town's stored digest again and shows it.
    void RefreshTemperature();

    TrayIconKind StatusIcon() const { return status_; }
    const QString& Tip() const { return icon_.Tip(); }
    const QMenu& Menu() { return icon_.Menu(); }

private:
    void BuildMenu(const TrayMenuActions& actions);
    // Puts the temperature or the status picture, and the tooltip, on the icon.
    void Apply();

    const Settings& settings_;
    TrayIcon icon_;
    QTimer refreshTimer_;
    QString station_;
    std::optional<CurrentWeather> weather_;
    TrayIconKind status_ = TrayIconKind::Normal;
    QString statusTip_;
};

} // namespace vetorlan
