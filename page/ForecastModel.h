#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <array>
#include <optional>

namespace vetorlan {

// Weather of one part of a day (утром, днём, вечером, ночью). A value the source does not
// give for the part is empty and shows as "—".
struct PartForecast {
    std::optional<int> temperatureLow;   // °C
    std::optional<int> temperatureHigh;  // °C
    QString picture;                     // picture name under _i/, without ".gif"
    QString text;                        // Russian description
    std::optional<int> pressure;         // mm Hg at the station
    std::optional<int> humidity;         // percent
    std::optional<int> windDirection;    // where the wind blows from: 0 = north, clockwise in steps of 45°
    std::optional<int> windSpeed;        // m/s
    std::optional<int> windGust;         // m/s, the strongest gust of the part
    std::optional<double> precipitation; // mm in the part
    bool known = true;                   // false: the source has nothing for this part
};

struct DayForecast {
    QDate date;
    std::array<PartForecast, 4> parts; // morning, day, evening, night
    // The sun on this date: the local clock times (minutes after midnight) of its rise and its
    // set on this date, -1 where it does not rise or set on it, and whether it is up at 00:00.
    // A set after midnight belongs to the date it happens on, so a set may come before the
    // rise (sunUpAtMidnight is then true). With neither time the day is polar: polar day when
    // sunUpAtMidnight, polar night when not. Night is wherever the sun is down: from 00:00 when
    // it is down then, up at each rise, down at each set.
    int sunriseMinutes = -1;
    int sunsetMinutes = -1;
    bool sunUpAtMidnight = false;
    int moonPhase = 0; // 0 new moon … 4 full moon … 7
};

// One hour of the forecast, for the chart of the coming hours and the temperature in the tray.
struct HourForecast {
    QDateTime local;                     // start of the hour in the town's own time
    double temperature = 0;              // °C
    std::optional<double> precipitation; // mm in the hour; empty where the source gives none
    double windFrom = 0;                 // degrees, where the wind blows from
    double windSpeed = 0;                // m/s
    std::optional<double> windGust;      // m/s
    QString picture;                     // picture name under _i/, without ".gif"; empty: unknown
};

// Where a page's weather comes from; decides its heading note and its credit line.
enum class ForecastSource { Sample, MetNorway, OpenMeteo };

// Everything a detailed forecast page shows.
struct Forecast {
    QString stationIndex;
    QDate issueDate;      // local date of the forecast's issue
    int issueMinutes = 0; // local time of the issue, minutes after midnight
    QList<DayForecast> days;
    std::optional<PartForecast> nightInProgress; // after midnight: 00–06 of the first day, shown before its morning
    // Hourly steps from the current hour (or the forecast's start); empty on the page service.
    QList<HourForecast> hours;
    ForecastSource source = ForecastSource::Sample;
};

} // namespace vetorlan
