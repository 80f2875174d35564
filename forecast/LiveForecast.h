#pragma once

#include <QByteArray>
#include <QString>
#include <atomic>

namespace vetorlan {

// The detailed page of a catalogue town made from the live sources: MET Norway, and
// Open-Meteo when MET Norway fails. An answer still fresh in the cache (until its Expires, at
// most 3 hours after it came) is rendered without a request; an expired one of the same day
// is revalidated with If-Modified-Since, an older one asked for anew. Safe from any thread.
// False, with the reasons in `error`, when neither source gives a whole forecast, and soon
// after `cancelled` (when given) becomes true: then nothing more is asked or cached.
bool FetchLivePage(const QString& stationIndex, QByteArray& page, QString& error,
                   const std::atomic<bool>* cancelled = nullptr);

// "Vetorlan/<version> <project address>", as the services' terms ask.
QByteArray LiveUserAgent();

} // namespace vetorlan
