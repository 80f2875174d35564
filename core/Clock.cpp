#include "core/Clock.h"

#include <QRegularExpression>

namespace vetorlan {

namespace {
QDateTime& nowOverride() {
    static QDateTime now;
    return now;
}
} // namespace

QDateTime Now() {
    return nowOverride().isValid() ? nowOverride() : QDateTime::currentDateTime();
}

void SetNowOverride(const QDateTime& now) {
    nowOverride() = now;
}

QString DefaultDateText(const QDate& date, const QLocale& locale) {
    return locale.toString(date, QLocale::ShortFormat);
}

QString DefaultTimeText(const QTime& time, const QLocale& locale) {
    static const QRegularExpression zone(QStringLiteral("\\s*\\bt+\\b\\s*"));
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.remove(zone);
    return locale.toString(time, format.trimmed());
}

} // namespace vetorlan
