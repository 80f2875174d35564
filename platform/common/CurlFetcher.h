#pragma once

#include "sources/Download.h"

#include <QString>
#include <cstdint>
#include <mutex>

namespace vetorlan {

// Fetches over HTTP(S) with libcurl into memory. A fetch succeeds only when the answer arrived
// whole (its announced length, or a closed document when the server ends it by closing) with
// a 2xx status and a body; a compressed answer is decoded or refused. Fetch is safe on several threads.
// libcurl (and the TLS and Kerberos libraries it brings) is loaded at the first fetch, not at
// start, so a program that idles between loads does not keep it in memory; when it cannot be
// loaded every fetch fails with the reason in lastError().
class CurlFetcher : public Fetcher {
public:
    struct Limits {
        long connectSeconds = 15;           // to open the connection
        long stallSeconds = 30;             // below 1 byte/s for this long ends the fetch
        long totalSeconds = 120;            // cap on the whole fetch
        std::int64_t maxBytes = 32ll << 20; // far above any real page
        long maxRedirects = 5;
    };

    // The shared library to load libcurl from, as QLibrary takes it (name and major version).
    // An empty name means the libcurl the program is linked with (Windows).
    struct Library {
        QString name;
        int version = -1;
    };
    static Library defaultLibrary();

    CurlFetcher();
    explicit CurlFetcher(const Limits& limits, Library library = defaultLibrary());

    FetchResult Fetch(const QString& url, const std::atomic<bool>* cancelled = nullptr) override;

    // A short reason for the last failure (empty after a success), for diagnostics.
    QString lastError() const;

    static const char* userAgent();

private:
    FetchResult Transfer(const QString& url, const std::atomic<bool>* cancelled, QString& why) const;

    Limits limits_;
    Library library_;
    mutable std::mutex errorMutex_;
    QString lastError_;
};

} // namespace vetorlan
