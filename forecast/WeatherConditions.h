#pragma once

#include <QString>

namespace vetorlan {

// A condition as a page shows it: a picture under _i/ (without ".gif") and a Russian text.
struct Condition {
    QString picture;
    QString text;
};

// A MET Norway symbol_code ("rainshowers_day", "cloudy", ...). False for a code it does not know.
bool MetNorwayCondition(const QString& symbolCode, Condition& condition);

// A WMO weather code as Open-Meteo sends it; `day` picks the day or night picture of a clear
// or partly cloudy sky. False for a code it does not know.
bool WmoCondition(int code, bool day, Condition& condition);

} // namespace vetorlan
