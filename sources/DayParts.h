#pragma once

#include "page/ForecastModel.h"
#include "page/WeatherConditions.h"

#include <QDateTime>
#include <QList>
#include <QTimeZone>
#include <optional>

namespace vetorlan {

// What a source may say, each with its physical bounds: a value outside them is treated as
// missing, never shown.
enum class Quantity { Temperature, Pressure, Humidity, WindSpeed, Direction, Precipitation };
std::optional<double> Plausible(Quantity quantity, double value);

// What an answer says at one instant (seconds since the epoch); empty where it says nothing.
struct Instant {
    qint64 time = 0;
    std::optional<double> temperature; // °C
    std::optional<double> pressure;    // hPa at the station
    std::optional<double> humidity;    // percent
    std::optional<double> windFrom;    // degrees
    std::optional<double> windSpeed;   // m/s
    std::optional<double> windGust;    // m/s
};

// What an answer says of the span [start, end): its weather, its precipitation, its strongest
// gust and, for six-hour spans, its temperature extremes.
struct Span {
    qint64 start = 0;
    qint64 end = 0;
    std::optional<Condition> condition;
    std::optional<double> precipitation; // mm over the span
    std::optional<double> low, high;     // °C
    std::optional<double> windGust;      // m/s
};

// A source's answer as instants and spans, each list in time order (spans by start and by end).
struct Timeline {
    QList<Instant> instants;
    QList<Span> spans;
};

// Fills the days, the night in progress and the hours of `forecast` from a timeline, in the
// town's own time: morning 06–12, day 12–18, evening 18–24 and the night that follows, 00–06
// of the next date. A part takes the values of the hours it covers: temperatures follow a
// smooth curve through the instants that keeps within each span's extremes; pressure,
// humidity and wind are means over the part; precipitation is the spans' amounts weighed by
// their overlap. Days from today on that the answer covers to their night's end count, at
// most seven; a part with no data at all is not known. Fails when the answer is not about
// today (tomorrow is accepted in the last hour before midnight) or when most of the parts
// still to come have no temperature. Sunrise, sunset and the moon are left to the caller.
bool MakeForecastDays(const Timeline& timeline, const QTimeZone& zone, const QDateTime& now, Forecast& forecast,
                      QString& error);

// hPa to mm Hg, rounded.
int MillimetresOfMercury(double hectopascals);

// Sea-level pressure brought to a station's elevation (hypsometric formula, the air column
// taken at the station's temperature plus the standard lapse rate over half its height).
double StationPressure(double seaLevelHpa, double temperatureC, double elevationMetres);

} // namespace vetorlan
