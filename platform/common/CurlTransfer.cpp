#include "platform/common/CurlTransfer.h"

#include "sources/SourceFailure.h"

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

namespace {

// Which limit ended a transfer that timed out: no connection yet, the whole time, or a stall.
long TimeoutSeconds(const CurlApi& api, CURL* curl, const TransferLimits& limits) {
    double connected = 0, total = 0;
    api.getinfo(curl, CURLINFO_CONNECT_TIME, &connected);
    api.getinfo(curl, CURLINFO_TOTAL_TIME, &total);
    if (connected <= 0)
        return limits.connectSeconds;
    return total >= double(limits.totalSeconds) ? limits.totalSeconds : limits.stallSeconds;
}

} // namespace

QString TransferReason(const CurlApi& api, CURL* curl, CURLcode result, const TransferBody& body,
                       const TransferLimits& limits) {
    if (body.tooLarge || result == CURLE_FILESIZE_EXCEEDED)
        return QStringLiteral("слишком большой ответ");
    switch (result) {
    case CURLE_OK:
        return {};
    case CURLE_OPERATION_TIMEDOUT:
        return QStringLiteral("нет ответа за %1 с").arg(TimeoutSeconds(api, curl, limits));
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
        return QStringLiteral("адрес сервера не найден");
    case CURLE_COULDNT_CONNECT:
        return QStringLiteral("нет соединения с сервером");
    case CURLE_ABORTED_BY_CALLBACK:
        return QStringLiteral("загрузка прервана");
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_CERTPROBLEM:
        return QStringLiteral("ошибка защищённого соединения");
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_PARTIAL_FILE:
    case CURLE_GOT_NOTHING:
        return QStringLiteral("связь прервалась");
    case CURLE_HTTP_RETURNED_ERROR: {
        long status = 0;
        api.getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
        return HttpStatusReason(int(status));
    }
    case CURLE_TOO_MANY_REDIRECTS:
        return QStringLiteral("слишком много перенаправлений");
    default:
        return QStringLiteral("сетевая ошибка %1").arg(int(result));
    }
}

QString NoCurlReason() {
    return QStringLiteral("не загружена библиотека libcurl");
}

} // namespace vetorlan
