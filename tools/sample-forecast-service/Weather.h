#pragma once

#include "page/ForecastModel.h"

#include <QDate>
#include <QList>

namespace vetorlan::sample {

// Seven days of invented weather from `firstDay` for a station. Each day depends only on the
// station and that day's date, so a day reads the same whichever day the week starts on.
QList<DayForecast> WeekWeather(int stationIndex, const QDate& firstDay);

} // namespace vetorlan::sample
