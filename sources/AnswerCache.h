#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QTimeZone>

namespace vetorlan {

// A source's last answer for one town, with what is needed to ask again politely.
struct CachedAnswer {
    QByteArray body;
    QByteArray lastModified; // exactly as the service sent it; empty when it sent none
    QDateTime expires;       // UTC; invalid when the service sent none
    QDateTime fetched;       // UTC, when the body arrived
};

// The largest entry read or written, as the network answers are capped: a larger one counts
// as damaged.
constexpr qint64 kMaxCacheEntryBytes = 8ll << 20;

// $XDG_CACHE_HOME/vetorlan, or ~/.cache/vetorlan.
QString CacheFolder();

// The entry of `source` ("metno", "openmeteo") for a station index. False when there is none,
// it is damaged or too large, or a link stands in its place; such an entry is simply
// replaced by the next answer.
bool LoadCachedAnswer(const QString& source, const QString& index, CachedAnswer& answer);
// Written atomically: a reader sees the old entry or the new one. A link in the entry's place
// is replaced, never written through. False, writing nothing, for an entry over the cap.
bool StoreCachedAnswer(const QString& source, const QString& index, const CachedAnswer& answer);

// The text of an entry read into an answer; false when it is damaged.
bool ReadCachedAnswer(const QByteArray& entry, CachedAnswer& answer);

// How far a cached answer is trusted at `now` in the town's zone.
enum class CacheTrust {
    None,       // ask for a whole new answer
    Revalidate, // ask whether it changed (If-Modified-Since its Last-Modified)
    Fresh,      // use it without asking
};
CacheTrust TrustCachedAnswer(const CachedAnswer& answer, const QDateTime& now, const QTimeZone& zone);

// Removes the temporary files that a program killed while writing an entry left behind.
void RemoveCacheLeftovers();

// An HTTP date ("Mon, 20 Jul 2020 12:14:53 GMT", exactly that form) as UTC; invalid when the
// text is anything else.
QDateTime ParseHttpDate(const QByteArray& text);

} // namespace vetorlan
