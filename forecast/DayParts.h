#pragma once

#include "forecast/ForecastModel.h"
#include "forecast/WeatherConditions.h"

#include <QDateTime>
#include <QList>
#include <optional>

namespace vetorlan {

// One time step of a source's answer, already in the town's local wall-clock time.
struct WeatherStep {
    QDateTime local;
    double temperature = 0;                      // °C at the step
    std::optional<double> periodLow, periodHigh; // extremes of the period the step opens, if given
    Condition condition;
    double pressureHpa = 0;
    double humidity = 0;  // percent
    double windFrom = 0;  // degrees
    double windSpeed = 0; // m/s
};

// Groups steps into days of four parts in local time: morning 06–12, day 12–18, evening
// 18–24 and the night that follows, 00–06 of the next date. A part takes the temperature
// range of its steps and the rest from the step nearest its middle. Days from `today` on whose
// four parts all have steps count, at most seven in a row; the first may lack its earliest
// parts (they had passed when the forecast was made) and marks them not known. Sunrise,
// sunset and the moon phase are left to the caller.
QList<DayForecast> GroupIntoDays(const QList<WeatherStep>& steps, const QDate& today);

// hPa to mm Hg, rounded.
int MillimetresOfMercury(double hectopascals);

} // namespace vetorlan
