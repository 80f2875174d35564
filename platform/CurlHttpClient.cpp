#include "platform/CurlHttpClient.h"

#include "platform/CurlLibrary.h"

#include <QUrl>
#include <memory>

namespace vetorlan {

namespace {

struct Answer {
    HttpResponse* response = nullptr;
    std::int64_t maxBytes = 0;
    bool tooLarge = false;
    const std::atomic<bool>* cancelled = nullptr;
};

// libcurl calls this at least once a second, also while nothing arrives; non-zero aborts.
int Progress(void* userData, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    const auto* answer = static_cast<const Answer*>(userData);
    return answer->cancelled && answer->cancelled->load() ? 1 : 0;
}

size_t WriteBody(char* data, size_t size, size_t count, void* userData) {
    auto* answer = static_cast<Answer*>(userData);
    const auto n = static_cast<std::int64_t>(size * count);
    if (answer->response->body.size() + n > answer->maxBytes) {
        answer->tooLarge = true;
        return 0; // less than given: libcurl aborts the transfer
    }
    answer->response->body.append(data, n);
    return static_cast<size_t>(n);
}

// Keeps the headers of the last answer only: a redirect or a "100 Continue" starts anew.
size_t WriteHeader(char* data, size_t size, size_t count, void* userData) {
    auto* answer = static_cast<Answer*>(userData);
    const QByteArray line = QByteArray(data, qsizetype(size * count)).trimmed();
    if (line.startsWith("HTTP/")) {
        answer->response->headers.clear();
    } else if (const qsizetype colon = line.indexOf(':'); colon > 0) {
        answer->response->headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
    }
    return size * count;
}

struct HeaderList {
    const CurlApi* api;
    curl_slist* list = nullptr;
    ~HeaderList() {
        if (list)
            api->slistFreeAll(list);
    }
};

void Configure(const CurlApi& api, CURL* curl, const QByteArray& url, const CurlHttpClient::Limits& limits,
               Answer& answer, char* errorBuffer) {
    const auto set = api.setopt;
    set(curl, CURLOPT_URL, url.constData());
    set(curl, CURLOPT_WRITEFUNCTION, &WriteBody);
    set(curl, CURLOPT_WRITEDATA, &answer);
    set(curl, CURLOPT_HEADERFUNCTION, &WriteHeader);
    set(curl, CURLOPT_HEADERDATA, &answer);
    set(curl, CURLOPT_XFERINFOFUNCTION, &Progress);
    set(curl, CURLOPT_XFERINFODATA, &answer);
    set(curl, CURLOPT_NOPROGRESS, 0L);
    set(curl, CURLOPT_ERRORBUFFER, errorBuffer);
    set(curl, CURLOPT_NOSIGNAL, 1L);
    set(curl, CURLOPT_ACCEPT_ENCODING, ""); // every encoding libcurl can decode, gzip among them
    set(curl, CURLOPT_FOLLOWLOCATION, 1L);
    set(curl, CURLOPT_MAXREDIRS, 5L);
    set(curl, CURLOPT_CONNECTTIMEOUT, limits.connectSeconds);
    set(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    set(curl, CURLOPT_LOW_SPEED_TIME, limits.stallSeconds);
    set(curl, CURLOPT_TIMEOUT, limits.totalSeconds);
    set(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.maxBytes));
}

} // namespace

HttpResponse CurlHttpClient::Get(const HttpRequest& request) {
    HttpResponse response;
    const CurlApi* api = LoadCurl(library_, response.error);
    if (!api)
        return response;
    std::unique_ptr<CURL, decltype(api->easyCleanup)> curl(api->easyInit(), api->easyCleanup);
    if (!curl || !RestrictToTheWeb(*api, curl.get())) {
        response.error = QStringLiteral("libcurl could not start");
        return response;
    }
    Answer answer{&response, limits_.maxBytes, false, request.cancelled};
    char errorBuffer[CURL_ERROR_SIZE] = {};
    const QByteArray url = QUrl(request.url, QUrl::TolerantMode).toEncoded();
    Configure(*api, curl.get(), url, limits_, answer, errorBuffer);
    HeaderList headers{api};
    for (const auto& [name, value] : request.headers)
        headers.list = api->slistAppend(headers.list, (name + ": " + value).constData());
    api->setopt(curl.get(), CURLOPT_HTTPHEADER, headers.list);
    const CURLcode result = api->perform(curl.get());
    long status = 0;
    api->getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &status);
    response.status = int(status);
    if (answer.tooLarge)
        response.error = QStringLiteral("answer larger than the size cap");
    else if (result == CURLE_ABORTED_BY_CALLBACK)
        response.error = QStringLiteral("cancelled");
    else if (result != CURLE_OK)
        response.error = QString::fromUtf8(*errorBuffer ? errorBuffer : api->strerror(result));
    return response;
}

} // namespace vetorlan
