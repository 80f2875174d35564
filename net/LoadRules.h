#pragma once

#include "core/Settings.h"

#include <QDateTime>
#include <QString>
#include <QTime>

namespace vetorlan {

// The pause of PauseOnLine in seconds: the leading number of the text (leading blanks
// skipped, an optional sign and fraction; 0 when the text starts with no number).
double PauseOnLineSeconds(const QString& text);

// TimeLoad as a time of day with 0 seconds ("07:05", also "7:05" and surrounding blanks);
// an invalid QTime when the text is no time of day, so that no set-time load happens.
QTime TimeLoadValue(const QString& text);

// Whether `now`, cut to hours and minutes, is the minute named by TimeLoad.
bool IsTimeLoadMinute(const QDateTime& now, const QString& timeLoad);

// The period of the freshness check in hours (ActualWait held to 1..23), or 0 when
// CheckActual is not "True".
int FreshnessPeriodHours(const Settings& settings);

// Whether a forecast file last modified at `modified` must be loaded again at `now` on a
// direct line: it is not from today, or the freshness check is on and the file is at
// least its period old.
bool ForecastIsStale(const QDateTime& modified, const QDateTime& now, const Settings& settings);

} // namespace vetorlan
