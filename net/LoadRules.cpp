#include "net/LoadRules.h"

#include <QRegularExpression>
#include <algorithm>

namespace vetorlan {

double PauseOnLineSeconds(const QString& text) {
    static const QRegularExpression number(QStringLiteral("^\\s*([+-]?(\\d+(\\.\\d*)?|\\.\\d+))"));
    const QRegularExpressionMatch match = number.match(text);
    return match.hasMatch() ? match.captured(1).toDouble() : 0.0;
}

QTime TimeLoadValue(const QString& text) {
    static const QRegularExpression hhmm(QStringLiteral("^\\s*(\\d{1,2}):(\\d{2})\\s*$"));
    const QRegularExpressionMatch match = hhmm.match(text);
    if (!match.hasMatch())
        return {};
    return QTime(match.captured(1).toInt(), match.captured(2).toInt()); // invalid past 23:59
}

bool IsTimeLoadMinute(const QDateTime& now, const QString& timeLoad) {
    const QTime setTime = TimeLoadValue(timeLoad);
    const QTime current = now.time();
    return setTime.isValid() && current.hour() == setTime.hour() && current.minute() == setTime.minute();
}

int FreshnessPeriodHours(const Settings& settings) {
    if (!IsTrue(settings.CheckActual))
        return 0;
    return std::clamp<int>(settings.ActualWait, 1, 23);
}

bool ForecastIsStale(const QDateTime& modified, const QDateTime& now, const Settings& settings) {
    if (modified.date() != now.date())
        return true;
    const int hours = FreshnessPeriodHours(settings);
    return hours > 0 && modified.secsTo(now) >= qint64(hours) * 3600;
}

} // namespace vetorlan
