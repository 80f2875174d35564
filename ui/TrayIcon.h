#pragma once

#include "ui/TrayIconKind.h"

#include <QDateTime>
#include <QLocale>
#include <QMenu>
#include <QObject>
#include <QString>
#include <memory>

class QSystemTrayIcon;

namespace vetorlan {

// The longest tooltip the tray keeps.
constexpr int kTrayTipLength = 64;

// The tooltip text for the forecast file's time stamp (invalid: no file) at `now`.
QString LoadStatusText(const QDateTime& modified, const QDateTime& now, const QLocale& locale = QLocale::system());

// The program's one notification-area icon: the current picture and tooltip, kept while
// the icon is away so that adding it again shows them, and the tray menu.
class TrayIcon : public QObject {
    Q_OBJECT
public:
    explicit TrayIcon(QObject* parent = nullptr);
    ~TrayIcon() override;

    void Add();
    void Delete();
    bool IsShown() const;
    // Whether the desktop has a notification area at all.
    static bool Available();

    // SetTrayTip: keeps at most 64 characters.
    void SetTrayTip(const QString& text);
    const QString& Tip() const { return tip_; }
    void SetIcon(TrayIconKind kind);
    TrayIconKind Icon() const { return kind_; }

    QMenu& Menu() { return menu_; }

signals:
    void leftButtonPressed();

private:
    void ApplyToIcon();

    std::unique_ptr<QSystemTrayIcon> icon_;
    QMenu menu_;
    QString tip_;
    TrayIconKind kind_ = TrayIconKind::Normal;
};

} // namespace vetorlan
