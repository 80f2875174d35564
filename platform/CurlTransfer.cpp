#include "platform/CurlTransfer.h"

namespace vetorlan {

namespace {

// libcurl calls this at least once a second, also while nothing arrives; non-zero aborts.
int Progress(void* userData, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    const auto* body = static_cast<const TransferBody*>(userData);
    return body->cancelled && body->cancelled->load() ? 1 : 0;
}

// Returning less than it was given makes libcurl abort the transfer.
size_t WriteBody(char* data, size_t size, size_t count, void* userData) {
    auto* body = static_cast<TransferBody*>(userData);
    const auto n = static_cast<std::int64_t>(size * count);
    if (body->bytes.size() + n > body->maxBytes) {
        body->tooLarge = true;
        return 0;
    }
    body->bytes.append(data, qsizetype(n));
    return static_cast<size_t>(n);
}

} // namespace

CurlHandle NewCurlHandle(const CurlApi& api) {
    return CurlHandle(api.easyInit(), api.easyCleanup);
}

bool ConfigureTransfer(const CurlApi& api, CURL* curl, const QByteArray& url, const TransferLimits& limits,
                       TransferBody& body) {
    body.maxBytes = limits.maxBytes;
    const auto set = api.setopt;
    set(curl, CURLOPT_URL, url.constData());
    set(curl, CURLOPT_WRITEFUNCTION, &WriteBody);
    set(curl, CURLOPT_WRITEDATA, &body);
    set(curl, CURLOPT_XFERINFOFUNCTION, &Progress);
    set(curl, CURLOPT_XFERINFODATA, &body);
    set(curl, CURLOPT_NOPROGRESS, 0L);
    set(curl, CURLOPT_ERRORBUFFER, body.error);
    set(curl, CURLOPT_NOSIGNAL, 1L);
    set(curl, CURLOPT_FOLLOWLOCATION, 1L);
    set(curl, CURLOPT_MAXREDIRS, limits.maxRedirects);
    set(curl, CURLOPT_CONNECTTIMEOUT, limits.connectSeconds);
    set(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    set(curl, CURLOPT_LOW_SPEED_TIME, limits.stallSeconds);
    set(curl, CURLOPT_TIMEOUT, limits.totalSeconds);
    set(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.maxBytes));
    // Certificates are verified and proxies come from http_proxy/https_proxy/no_proxy: both
    // are libcurl's defaults and deliberately left alone.
    return RestrictToTheWeb(api, curl);
}

QString TransferError(const CurlApi& api, CURLcode result, const TransferBody& body) {
    if (body.tooLarge)
        return QStringLiteral("answer larger than the size cap");
    if (result != CURLE_OK)
        return QString::fromUtf8(*body.error ? body.error : api.strerror(result));
    return {};
}

} // namespace vetorlan
