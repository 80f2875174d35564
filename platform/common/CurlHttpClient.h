#pragma once

#include "platform/common/CurlFetcher.h"
#include "sources/HttpClient.h"

#include <cstdint>

namespace vetorlan {

// HTTP GET with libcurl for the live forecast sources: request headers out, status, headers
// and the (decompressed) body back. Loads libcurl at the first request, as the page fetch
// does. Each request uses its own handle, so threads may call Get at the same time.
class CurlHttpClient : public HttpClient {
public:
    // A source that accepts and then says nothing fails after `stallSeconds`, so that the
    // other source is asked soon and a long load against a stalled one takes minutes, not hours.
    struct Limits {
        long connectSeconds = 4;
        long stallSeconds = 4; // below 1 byte/s for this long ends the request
        long totalSeconds = 12;
        std::int64_t maxBytes = 8ll << 20; // a week of hourly steps is well under 1 MB
    };

    CurlHttpClient() : CurlHttpClient(Limits{}) {}
    explicit CurlHttpClient(const Limits& limits, CurlFetcher::Library library = CurlFetcher::defaultLibrary())
        : limits_(limits), library_(std::move(library)) {}

    HttpResponse Get(const HttpRequest& request) override;

private:
    Limits limits_;
    CurlFetcher::Library library_;
};

} // namespace vetorlan
