// libFuzzer harness: a cache entry as a load finds it: read, judged, its revalidation date
// checked, its body read by both sources' readers and rendered.
#include "sources/AnswerCache.h"
#include "sources/LiveSources.h"
#include "tests/fuzz/FuzzSupport.h"

#include <QTimeZone>

using namespace vetorlan;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CachedAnswer cached;
    if (!ReadCachedAnswer(fuzz::Bytes(data, size), cached))
        return 0;
    const Station& station = fuzz::StationFor(size);
    const QDateTime now = fuzz::AnswerNow(cached.body);
    const QTimeZone zone(station.timeZone.toUtf8());
    TrustCachedAnswer(cached, now, zone);
    TrustCachedAnswer(cached, cached.fetched.addSecs(600), zone);
    ParseHttpDate(cached.lastModified);
    Forecast met, meteo;
    QString error;
    if (ReadMetNorway(cached.body, station, now, met, error))
        fuzz::Render(met);
    if (ReadOpenMeteo(cached.body, station, now, cached.fetched, meteo, error))
        fuzz::Render(meteo);
    return 0;
}
