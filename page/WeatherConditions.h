#pragma once

#include <QString>

namespace vetorlan {

// A condition as a page shows it: a picture under _i/ (without ".gif") and a Russian text.
struct Condition {
    QString picture;
    QString text;
    friend bool operator==(const Condition&, const Condition&) = default;
};

// The neutral picture and text of a weather the program cannot name.
Condition NoDataCondition();

// A MET Norway symbol_code ("rainshowers_day", "cloudy", ...); polar twilight takes the night
// pictures. False for a code it does not know: `condition` is then its family's ("…snow…" is
// snow) or NoDataCondition().
bool MetNorwayCondition(const QString& symbolCode, Condition& condition);

// A WMO weather code as Open-Meteo sends it; `day` picks the day or night picture of a clear
// or partly cloudy sky. False for a code it does not know: `condition` is then its decade's
// (7x is snow) or NoDataCondition().
bool WmoCondition(int code, bool day, Condition& condition);

} // namespace vetorlan
