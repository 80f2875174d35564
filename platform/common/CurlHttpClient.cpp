#include "platform/common/CurlHttpClient.h"

#include "platform/common/CurlTransfer.h"

#include <QUrl>

namespace vetorlan {

namespace {

// Keeps the headers of the last answer only: a redirect or a "100 Continue" starts anew.
size_t WriteHeader(char* data, size_t size, size_t count, void* userData) {
    auto* response = static_cast<HttpResponse*>(userData);
    const QByteArray line = QByteArray(data, qsizetype(size * count)).trimmed();
    if (line.startsWith("HTTP/")) {
        response->headers.clear();
    } else if (const qsizetype colon = line.indexOf(':'); colon > 0) {
        response->headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
    }
    return size * count;
}

#if LIBCURL_VERSION_NUM >= 0x075000
int BeforeRequest(void* data, char*, char*, int, int) {
    const auto* request = static_cast<const HttpRequest*>(data);
    return request->beforeStart() ? CURL_PREREQFUNC_OK : CURL_PREREQFUNC_ABORT;
}
#endif

// Lets `beforeStart` run just before each request is sent (after the connection is made), so
// that the time spent loading libcurl or connecting does not shift a request's start. A
// libcurl older than 7.80 lacks the hook: then it runs once, before the transfer.
bool HookRequestStart(const CurlApi& api, CURL* curl, const HttpRequest& request) {
    if (!request.beforeStart)
        return true;
#if LIBCURL_VERSION_NUM >= 0x075000
    if (api.setopt(curl, CURLOPT_PREREQFUNCTION, &BeforeRequest) == CURLE_OK &&
        api.setopt(curl, CURLOPT_PREREQDATA, &request) == CURLE_OK)
        return true;
#else
    (void)api;
    (void)curl;
#endif
    return request.beforeStart();
}

struct HeaderList {
    const CurlApi* api;
    curl_slist* list = nullptr;
    ~HeaderList() {
        if (list)
            api->slistFreeAll(list);
    }
};

TransferLimits CommonLimits(const CurlHttpClient::Limits& limits) {
    return {limits.connectSeconds, limits.stallSeconds, limits.totalSeconds, limits.maxBytes, limits.maxRedirects};
}

// The live requests' own options on top of the common ones: every encoding libcurl can
// decode (gzip among them) and the answer's headers collected.
bool ConfigureRequest(const CurlApi& api, CURL* curl, const QByteArray& url, const CurlHttpClient::Limits& limits,
                      TransferBody& body, HttpResponse& response) {
    const TransferLimits common = CommonLimits(limits);
    api.setopt(curl, CURLOPT_HEADERFUNCTION, &WriteHeader);
    api.setopt(curl, CURLOPT_HEADERDATA, &response);
    api.setopt(curl, CURLOPT_ACCEPT_ENCODING, "");
    return ConfigureTransfer(api, curl, url, common, body);
}

// An answer that ended before its announced length (as sent, before any decoding) is cut short.
void CheckLength(const CurlApi& api, CURL* curl, HttpResponse& response) {
    curl_off_t announced = -1;
    curl_off_t received = 0;
    api.getinfo(curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced);
    api.getinfo(curl, CURLINFO_SIZE_DOWNLOAD_T, &received);
    if (announced >= 0 && announced != received) {
        response.error = QStringLiteral("received %1 of %2 bytes").arg(received).arg(announced);
        response.reason = QStringLiteral("ответ оборван");
    }
}

} // namespace

HttpResponse CurlHttpClient::Get(const HttpRequest& request) {
    HttpResponse response;
    const CurlApi* api = LoadCurl(library_, response.error);
    if (!api) {
        response.reason = NoCurlReason();
        return response;
    }
    const CurlHandle curl = NewCurlHandle(*api);
    TransferBody body(response.body, request.cancelled);
    const QByteArray url = QUrl(request.url, QUrl::TolerantMode).toEncoded();
    if (!curl || !ConfigureRequest(*api, curl.get(), url, limits_, body, response)) {
        response.error = QStringLiteral("libcurl could not start");
        response.reason = NoCurlReason();
        return response;
    }
    HeaderList headers{api};
    for (const auto& [name, value] : request.headers)
        headers.list = api->slistAppend(headers.list, (name + ": " + value).constData());
    api->setopt(curl.get(), CURLOPT_HTTPHEADER, headers.list);
    if (!HookRequestStart(*api, curl.get(), request)) {
        response.error = QStringLiteral("cancelled");
        return response;
    }
    const CURLcode result = api->perform(curl.get());
    long status = 0;
    api->getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &status);
    response.status = int(status);
    // A cancelled request aborts in the progress callback; a body over the cap in the body one.
    response.error =
        result == CURLE_ABORTED_BY_CALLBACK ? QStringLiteral("cancelled") : TransferError(*api, result, body);
    response.reason = TransferReason(*api, curl.get(), result, body, CommonLimits(limits_));
    if (response.error.isEmpty())
        CheckLength(*api, curl.get(), response);
    return response;
}

} // namespace vetorlan
