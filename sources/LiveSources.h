#pragma once

#include "page/ForecastModel.h"
#include "sources/Stations.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace vetorlan {

// The two live forecast sources: their request addresses and their answers read into the
// page model. A value missing from an answer or outside physical bounds is left out, and an
// unknown weather code takes its family's picture (and is logged). A reader fails, with a
// reason, on an answer that is not JSON, covers fewer than two days, is not about today in
// the town, has mostly missing values or units the page cannot show. `now` decides which
// local day is the first one shown; `fetched` stands for the issue time when the answer does
// not give one.

// {base}/complete?lat=..&lon=..[&altitude=..], base from VETORLAN_METNO_URL. Sea-level pressure
// is shown at the station's elevation.
QString MetNorwayUrl(const Station& station);
// Reads a Locationforecast 2.0 answer, `complete` or `compact`.
bool ReadMetNorway(const QByteArray& body, const Station& station, const QDateTime& now, Forecast& forecast,
                   QString& error);

// {base}/forecast?latitude=..&longitude=..[&elevation=..]&hourly=..&timezone=..
// &wind_speed_unit=ms&forecast_days=9, base from VETORLAN_OPENMETEO_URL. Sun and moon of both
// sources are our own computation.
QString OpenMeteoUrl(const Station& station);
bool ReadOpenMeteo(const QByteArray& body, const Station& station, const QDateTime& now, const QDateTime& fetched,
                   Forecast& forecast, QString& error);

} // namespace vetorlan
