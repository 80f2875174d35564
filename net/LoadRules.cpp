#include "net/LoadRules.h"

#include <algorithm>

namespace vetorlan {

namespace {

// Plain scanning instead of regular expressions: the set time is read every second, and the
// regular-expression engine would otherwise stay in the idle program.
bool IsBlank(QChar c) {
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

qsizetype SkipBlanks(const QString& text, qsizetype i) {
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    return i;
}

qsizetype SkipDigits(const QString& text, qsizetype i) {
    while (i < text.size() && text[i] >= u'0' && text[i] <= u'9')
        ++i;
    return i;
}

} // namespace

double PauseOnLineSeconds(const QString& text) {
    // The leading number after blanks: an optional sign, then "5", "5.", "5.25" or ".25".
    const qsizetype start = SkipBlanks(text, 0);
    qsizetype digits = start;
    if (digits < text.size() && (text[digits] == u'+' || text[digits] == u'-'))
        ++digits;
    const qsizetype whole = SkipDigits(text, digits);
    qsizetype end = whole;
    if (end < text.size() && text[end] == u'.') {
        const qsizetype fraction = SkipDigits(text, end + 1);
        if (whole > digits || fraction > end + 1)
            end = fraction;
    }
    return end > digits ? text.mid(start, end - start).toDouble() : 0.0;
}

QTime TimeLoadValue(const QString& text) {
    // "H:MM" or "HH:MM", blanks around allowed.
    const qsizetype hour = SkipBlanks(text, 0);
    const qsizetype colon = SkipDigits(text, hour);
    if (colon == hour || colon - hour > 2 || colon >= text.size() || text[colon] != u':')
        return {};
    const qsizetype minuteEnd = SkipDigits(text, colon + 1);
    if (minuteEnd - colon - 1 != 2 || SkipBlanks(text, minuteEnd) != text.size())
        return {};
    return QTime(text.mid(hour, colon - hour).toInt(), text.mid(colon + 1, 2).toInt()); // invalid past 23:59
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
