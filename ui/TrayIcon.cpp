#include "ui/TrayIcon.h"

#include "core/Clock.h"
#include "core/SystemFacts.h"
#include "ui/Pictures.h"

#include <QSystemTrayIcon>

namespace vetorlan {

QString LoadStatusText(const QDateTime& modified, const QDateTime& now, const QLocale& locale) {
    if (!modified.isValid())
        return QStringLiteral("Прогноз погоды не загружен\nнажмите правую кнопку мыши");
    const QString date = DefaultDateText(modified.date(), locale);
    const QString time = " " + DefaultTimeText(modified.time(), locale);
    const QString detail =
        date == DefaultDateText(now.date(), locale) ? QStringLiteral("сегодня \nв") + time : date + " \nв" + time;
    return QStringLiteral("Прогноз погоды был загружен: \n") + detail;
}

TrayIcon::TrayIcon(QObject* parent) : QObject(parent) {}

TrayIcon::~TrayIcon() = default;

bool TrayIcon::Available() {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void TrayIcon::Add() {
    if (!icon_) {
        icon_ = std::make_unique<QSystemTrayIcon>();
        // The desktop opens the menu on the right button itself (X11 and D-Bus trays alike).
        icon_->setContextMenu(&menu_);
        connect(icon_.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::Trigger)
                emit leftButtonPressed();
        });
    }
    ApplyToIcon();
    icon_->show();
}

void TrayIcon::Delete() {
    if (icon_)
        icon_->hide();
}

bool TrayIcon::IsShown() const {
    return icon_ && icon_->isVisible();
}

void TrayIcon::SetTrayTip(const QString& text) {
    const int limit = TrayTipLimit();
    tip_ = limit > 0 ? text.left(limit) : text;
    if (icon_)
        icon_->setToolTip(tip_);
}

void TrayIcon::SetIcon(TrayIconKind kind, const QIcon& picture) {
    kind_ = kind;
    picture_ = picture;
    if (icon_)
        icon_->setIcon(picture_.isNull() ? TrayIconPicture(kind_) : picture_);
}

void TrayIcon::ApplyToIcon() {
    icon_->setIcon(picture_.isNull() ? TrayIconPicture(kind_) : picture_);
    icon_->setToolTip(tip_);
}

} // namespace vetorlan
