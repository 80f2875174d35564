#pragma once

#include "page/ForecastModel.h"
#include "sources/PageSource.h"
#include "sources/SourceFailure.h"

#include <QByteArray>
#include <QString>
#include <atomic>

namespace vetorlan {

// The forecast of a catalogue town from the live sources: MET Norway, and
// Open-Meteo when MET Norway fails. An answer still fresh in the cache (until its Expires, at
// most 3 hours after it came) is read without a request; an expired one of the same day
// is revalidated with If-Modified-Since, an older one asked for anew. Safe from any thread.
// False when neither source gives a whole forecast, and soon after `cancelled` (when given)
// becomes true: then nothing more is asked or cached. `failures` holds each source that
// failed, also when the next one answered.
bool FetchLiveForecast(const QString& stationIndex, Forecast& forecast, SourceFailures& failures,
                       const std::atomic<bool>* cancelled = nullptr);

// Pages made from the live sources' forecasts.
const PageSource& LivePages();

// The program's name and version with the project's address and contact when the build has them,
// as the services' terms ask.
QByteArray LiveUserAgent();

} // namespace vetorlan
