#pragma once

#include "forecast/Down.h"

#include <QString>
#include <cstdint>

namespace vetorlan {

// Fetches over HTTP(S) with libcurl into a temporary file beside the target, which is renamed
// over the target (or over a case-variant of its name) only when the answer arrived whole
// with a 2xx status. Every other outcome removes the temporary file and leaves the old one.
class CurlFetcher : public Fetcher {
public:
    struct Limits {
        long connectSeconds = 15;           // to open the connection
        long stallSeconds = 30;             // below 1 byte/s for this long ends the fetch
        long totalSeconds = 120;            // cap on the whole fetch
        std::int64_t maxBytes = 32ll << 20; // far above any real page
        long maxRedirects = 5;
    };

    CurlFetcher();
    explicit CurlFetcher(const Limits& limits);

    bool Fetch(const QString& url, const QString& path) override;

    // A short reason for the last failure (empty after a success), for diagnostics.
    QString lastError() const { return lastError_; }

    static const char* userAgent();

private:
    Limits limits_;
    QString lastError_;
};

} // namespace vetorlan
