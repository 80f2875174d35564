#include "platform/CurlFetcher.h"

#include "core/FileSystemObject.h"

#include <QSaveFile>
#include <QUrl>
#include <curl/curl.h>
#include <memory>
#include <mutex>

namespace vetorlan {

namespace {

struct Body {
    QSaveFile* file = nullptr;
    std::int64_t maxBytes = 0;
    std::int64_t received = 0;
    bool tooLarge = false;
    bool writeFailed = false;
};

// Returning less than it was given makes libcurl abort the transfer.
size_t WriteBody(char* data, size_t size, size_t count, void* userData) {
    auto* body = static_cast<Body*>(userData);
    const auto n = static_cast<std::int64_t>(size * count);
    if (body->received + n > body->maxBytes) {
        body->tooLarge = true;
        return 0;
    }
    if (body->file->write(data, n) != n) {
        body->writeFailed = true;
        return 0;
    }
    body->received += n;
    return static_cast<size_t>(n);
}

void InitCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

QByteArray EncodedUrl(const QString& url) {
    const QUrl parsed(url, QUrl::TolerantMode);
    return parsed.isValid() ? parsed.toEncoded() : url.toUtf8();
}

struct CurlDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};

void ConfigureTransfer(CURL* curl, const QByteArray& url, const CurlFetcher::Limits& limits, Body& body,
                       char* errorBuffer) {
    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &WriteBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_USERAGENT, CurlFetcher::userAgent());
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, limits.maxRedirects);
    curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, limits.connectSeconds);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, limits.stallSeconds);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, limits.totalSeconds);
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.maxBytes));
    // Only the web: a configured address must not make us read local files or other schemes.
#if LIBCURL_VERSION_NUM >= 0x075500
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
#else
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS, static_cast<long>(CURLPROTO_HTTP | CURLPROTO_HTTPS));
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS, static_cast<long>(CURLPROTO_HTTP | CURLPROTO_HTTPS));
#endif
    // Certificates are verified and proxies come from http_proxy/https_proxy/no_proxy: both
    // are libcurl's defaults and deliberately left alone.
}

// Whether the answer arrived whole with a 2xx status; otherwise a reason in `why`.
bool AnswerComplete(CURL* curl, CURLcode result, const Body& body, const char* errorBuffer, QString& why) {
    long status = 0;
    curl_off_t announced = -1;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    curl_easy_getinfo(curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced);
    if (body.tooLarge)
        why = QStringLiteral("answer larger than the size cap");
    else if (body.writeFailed)
        why = QStringLiteral("cannot write the temporary file");
    else if (result != CURLE_OK)
        why = QString::fromUtf8(*errorBuffer ? errorBuffer : curl_easy_strerror(result));
    else if (status < 200 || status > 299)
        why = QStringLiteral("HTTP status %1").arg(status);
    else if (announced >= 0 && announced != body.received)
        why = QStringLiteral("received %1 of %2 bytes").arg(body.received).arg(announced);
    else
        return true;
    return false;
}

} // namespace

CurlFetcher::CurlFetcher() : CurlFetcher(Limits{}) {}

CurlFetcher::CurlFetcher(const Limits& limits) : limits_(limits) {
    InitCurlOnce();
}

const char* CurlFetcher::userAgent() {
    return "Vetorlan/1.5 (+https://vetorlan.example/)";
}

bool CurlFetcher::Fetch(const QString& url, const QString& path) {
    // The body goes to a temporary file beside the target (keeping an existing file's name,
    // whatever its letter case, and its permissions) and replaces the target on commit only.
    QSaveFile file(ResolvePath(path));
    if (!file.open(QIODevice::WriteOnly)) {
        lastError_ = QStringLiteral("cannot create a temporary file: ") + file.errorString();
        return false;
    }
    std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
    if (!curl) {
        lastError_ = QStringLiteral("libcurl could not start");
        return false;
    }
    Body body{&file, limits_.maxBytes};
    char errorBuffer[CURL_ERROR_SIZE] = {};
    const QByteArray encoded = EncodedUrl(url);
    ConfigureTransfer(curl.get(), encoded, limits_, body, errorBuffer);
    const CURLcode result = curl_easy_perform(curl.get());
    if (!AnswerComplete(curl.get(), result, body, errorBuffer, lastError_))
        return false; // an uncommitted QSaveFile discards its temporary file
    if (!file.commit()) {
        lastError_ = file.errorString();
        return false;
    }
    lastError_.clear();
    return true;
}

} // namespace vetorlan
