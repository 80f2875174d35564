#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace vetorlan {

// A source's last answer for one town, with what is needed to ask again politely.
struct CachedAnswer {
    QByteArray body;
    QByteArray lastModified; // exactly as the service sent it; empty when it sent none
    QDateTime expires;       // UTC; invalid when the service sent none
    QDateTime fetched;       // UTC
};

// $XDG_CACHE_HOME/vetorlan, or ~/.cache/vetorlan.
QString CacheFolder();

// The entry of `source` ("metno", "openmeteo") for a station index. False when there is none
// or it cannot be read whole; such an entry is simply replaced by the next answer.
bool LoadCachedAnswer(const QString& source, const QString& index, CachedAnswer& answer);
// Written atomically: a reader sees the old entry or the new one.
bool StoreCachedAnswer(const QString& source, const QString& index, const CachedAnswer& answer);

// An HTTP date ("Mon, 20 Jul 2020 12:14:53 GMT") as UTC; invalid when it is not one.
QDateTime ParseHttpDate(const QByteArray& text);

} // namespace vetorlan
