#pragma once

#include "page/ForecastModel.h"

#include <QString>

namespace vetorlan {

// The chart of the next 48 hours in the town's own time, from the hour of the forecast's issue:
// temperature line, precipitation bars, wind arrows, night shading, midnights and condition
// pictures (relative links to _i/). An HTML block holding one inline SVG that scales with the
// page; no script, nothing fetched, only characters Windows-1251 holds. Empty when the
// forecast has fewer than two hourly steps in that time.
QString MeteogramHtml(const Forecast& forecast);

} // namespace vetorlan
