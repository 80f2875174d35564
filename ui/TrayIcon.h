#pragma once

#include "ui/TrayIconKind.h"

#include <QDateTime>
#include <QIcon>
#include <QLocale>
#include <QMenu>
#include <QObject>
#include <QString>
#include <memory>

class QSystemTrayIcon;

namespace vetorlan {

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

    // Cut to what the system's tray shows (TrayTipLimit).
    void SetTrayTip(const QString& text);
    const QString& Tip() const { return tip_; }
    // The status picture of `kind`, or `picture` in its place when given.
    void SetIcon(TrayIconKind kind, const QIcon& picture = QIcon());
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
    QIcon picture_;
};

} // namespace vetorlan
