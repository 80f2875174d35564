#pragma once

#include "platform/common/CurlLibrary.h"
#include "sources/HttpClient.h"

#include <cstdint>

namespace vetorlan {

// HTTP GET with libcurl: request headers out, status, headers and the (decoded) body back. An
// answer shorter than its announced length, over the size cap, or in an encoding libcurl cannot
// decode is an error. Loads libcurl at the first request, not at start, so a program that idles
// between loads does not keep it (and the TLS and Kerberos libraries it brings) in memory. Each
// request uses its own handle, so threads may call Get at the same time.
class CurlHttpClient : public HttpClient {
public:
    // The live sources' bounds: a source that accepts and then says nothing fails after
    // `stallSeconds`, so that the other source is asked soon and a long load against a stalled
    // one takes minutes, not hours.
    struct Limits {
        long connectSeconds = 4;
        long stallSeconds = 4; // below 1 byte/s for this long ends the request
        long totalSeconds = 12;
        std::int64_t maxBytes = 8ll << 20; // a week of hourly steps is well under 1 MB
        long maxRedirects = 5;
    };
    // The page service's: slower pages, far larger than any real one allowed.
    static Limits PageServiceLimits() { return {15, 30, 120, 32ll << 20, 5}; }

    using Library = CurlLibraryFile;

    CurlHttpClient() : CurlHttpClient(Limits{}) {}
    explicit CurlHttpClient(const Limits& limits, Library library = DefaultCurlLibrary())
        : limits_(limits), library_(std::move(library)) {}

    HttpResponse Get(const HttpRequest& request) override;

private:
    Limits limits_;
    Library library_;
};

} // namespace vetorlan
