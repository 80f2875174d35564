#pragma once

#include <QString>

namespace vetorlan {

// Fetches a URL into a file. Implementations replace the target only when the answer
// arrived whole with a 2xx status; a failure leaves the file that was there untouched.
class Fetcher {
public:
    virtual ~Fetcher() = default;
    virtual bool Fetch(const QString& url, const QString& path) = 0;
};

// The fetcher DownloadFile uses (the libcurl one in the program, fakes in tests).
void SetFetcher(Fetcher* fetcher);

// True when the last fetch succeeded.
extern bool LoadOK;

// Blocking fetch of `url` into `path`; sets LoadOK.
void DownloadFile(const QString& url, const QString& path);

// The forecast service's address (scheme, host, optional port) and its image host:
// the environment variables VETORLAN_SERVICE_URL / VETORLAN_IMAGE_HOST, else the build's.
QString ServiceUrl();
QString ImageHost();

// ServiceUrl() + "/detailed.xml?city=" + index.
QString ForecastUrl(const QString& stationIndex);

} // namespace vetorlan
