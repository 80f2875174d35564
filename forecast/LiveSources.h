#pragma once

#include "forecast/ForecastModel.h"
#include "forecast/Stations.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace vetorlan {

// The two live forecast sources: their request addresses and their answers read into the
// page model. A reader fails, with a reason, on anything but a whole answer of at least two
// days: not JSON, fields missing, an unknown weather code. `now` decides which local day is
// the first one shown; `fetched` stands for the issue time when the answer does not give one.

// {base}/complete?lat=..&lon=..[&altitude=..], base from VETORLAN_METNO_URL.
QString MetNorwayUrl(const Station& station);
// Reads a Locationforecast 2.0 answer, `complete` or `compact`.
bool ReadMetNorway(const QByteArray& body, const Station& station, const QDateTime& now, Forecast& forecast,
                   QString& error);

// {base}/forecast?latitude=..&longitude=..&hourly=..&timezone=..&wind_speed_unit=ms,
// base from VETORLAN_OPENMETEO_URL. Sun and moon of both sources are our own computation.
QString OpenMeteoUrl(const Station& station);
bool ReadOpenMeteo(const QByteArray& body, const Station& station, const QDateTime& now, const QDateTime& fetched,
                   Forecast& forecast, QString& error);

} // namespace vetorlan
