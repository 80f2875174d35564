#pragma once

#include "forecast/SourceFailure.h"

#include <QByteArray>
#include <QString>
#include <atomic>

namespace vetorlan {

// The detailed page of a catalogue town made from the live sources: MET Norway, and
// Open-Meteo when MET Norway fails. An answer still fresh in the cache (until its Expires, at
// most 3 hours after it came) is rendered without a request; an expired one of the same day
// is revalidated with If-Modified-Since, an older one asked for anew. Safe from any thread.
// False when neither source gives a whole forecast, and soon after `cancelled` (when given)
// becomes true: then nothing more is asked or cached. `failures` holds each source that
// failed, also when the next one answered.
bool FetchLivePage(const QString& stationIndex, QByteArray& page, SourceFailures& failures,
                   const std::atomic<bool>* cancelled = nullptr);

// The program's name and version with the project's address and contact when the build has them,
// as the services' terms ask.
QByteArray LiveUserAgent();

} // namespace vetorlan
