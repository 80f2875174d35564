#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace vetorlan {

// The one source of the current date and time for the scheduler and the status texts,
// so tests can walk through midnight or a set minute without waiting.
QDateTime Now();

// Fixes Now() at the given local time (invalid QDateTime: back to the system clock).
void SetNowOverride(const QDateTime& now);

// The system's default texts of a date (short form) and of a time (long form, so with
// seconds, without its time-zone part: "09:05:07" in Russian).
QString DefaultDateText(const QDate& date, const QLocale& locale = QLocale::system());
QString DefaultTimeText(const QTime& time, const QLocale& locale = QLocale::system());

} // namespace vetorlan
