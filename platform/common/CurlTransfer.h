#pragma once

#include "platform/common/CurlLibrary.h"

#include <QByteArray>
#include <QString>
#include <atomic>
#include <cstdint>
#include <memory>

namespace vetorlan {

// An easy handle that libcurl cleans up when it goes out of scope.
using CurlHandle = std::unique_ptr<CURL, decltype(&curl_easy_cleanup)>;
CurlHandle NewCurlHandle(const CurlApi& api);

// The bounds both the page fetch and the live requests put on one transfer.
struct TransferLimits {
    long connectSeconds = 0;
    long stallSeconds = 0; // below 1 byte/s for this long ends the transfer
    long totalSeconds = 0;
    std::int64_t maxBytes = 0;
    long maxRedirects = 0;
};

// What libcurl's body and progress callbacks share during one transfer: the body kept under
// the size cap, the flag that aborts it, and libcurl's own wording of a failure.
struct TransferBody {
    TransferBody(QByteArray& into, const std::atomic<bool>* cancelFlag) : bytes(into), cancelled(cancelFlag) {}

    QByteArray& bytes;
    const std::atomic<bool>* cancelled = nullptr;
    std::int64_t maxBytes = 0;
    bool tooLarge = false;
    char error[CURL_ERROR_SIZE] = {};
};

// Sets the options every transfer has in common: address, body and progress callbacks, error
// buffer, no signals, redirects, timeouts, size cap and http/https only. `url` and `body` must
// outlive the transfer. False when libcurl cannot keep the transfer to http and https.
bool ConfigureTransfer(const CurlApi& api, CURL* curl, const QByteArray& url, const TransferLimits& limits,
                       TransferBody& body);

// Why the transfer failed (the size cap, then libcurl's reason); empty when it did not.
QString TransferError(const CurlApi& api, CURLcode result, const TransferBody& body);

// The same shortly in Russian for the user ("нет ответа за 4 с", naming the limit that ended
// it); empty when it did not fail.
QString TransferReason(const CurlApi& api, CURL* curl, CURLcode result, const TransferBody& body,
                       const TransferLimits& limits);

// The user's reason when libcurl itself cannot be used.
QString NoCurlReason();

} // namespace vetorlan
