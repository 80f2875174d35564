#pragma once

#include <QDate>
#include <QTimeZone>

namespace vetorlan {

// Sunrise and sunset on a local date at a place, in minutes after local midnight; -1 for
// both on a day of polar night or midnight sun. Accurate to a few minutes.
struct SunTimes {
    int sunrise = -1;
    int sunset = -1;
};
SunTimes SunriseSunset(const QDate& date, double latitude, double longitude, const QTimeZone& zone);

// Moon phase on a date: 0 new moon … 4 full moon … 7.
int MoonPhase(const QDate& date);

} // namespace vetorlan
