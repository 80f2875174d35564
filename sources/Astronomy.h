#pragma once

#include <QDate>
#include <QList>
#include <QTimeZone>

namespace vetorlan {

// What the sun does on one local date at a place: the local clock times (minutes after
// midnight) at which its upper limb rises above and sinks below the horizon on that date,
// refraction included, and whether it is up at the date's 00:00. With neither a rise nor a
// set, upAtMidnight tells polar day from polar night. On the few days a rise or a set passes
// midnight, a date can hold three crossings: the first rise and the first set are kept, and
// the third, minutes before the next midnight, is left out.
struct SunDay {
    int sunrise = -1; // -1: the sun does not rise on this date
    int sunset = -1;  // -1: the sun does not set on this date
    bool upAtMidnight = false;
};
SunDay SunOnDate(const QDate& date, double latitude, double longitude, const QTimeZone& zone);

// Moon phases of `days` local dates from `first` on: 0 new moon, 2 first quarter, 4 full moon
// and 6 last quarter on the date in whose local day the instant falls; 1, 3, 5 and 7 on the
// dates between them.
QList<int> MoonPhases(const QDate& first, int days, const QTimeZone& zone);

} // namespace vetorlan
