#include "platform/CurlFetcher.h"

#include "core/FileSystemObject.h"
#include "platform/CurlLibrary.h"

#include <QSaveFile>
#include <QUrl>
#include <memory>
#include <utility>

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

QByteArray EncodedUrl(const QString& url) {
    const QUrl parsed(url, QUrl::TolerantMode);
    return parsed.isValid() ? parsed.toEncoded() : url.toUtf8();
}

void ConfigureTransfer(const CurlApi& api, CURL* curl, const QByteArray& url, const CurlFetcher::Limits& limits,
                       Body& body, char* errorBuffer) {
    const auto set = api.setopt;
    set(curl, CURLOPT_URL, url.constData());
    set(curl, CURLOPT_WRITEFUNCTION, &WriteBody);
    set(curl, CURLOPT_WRITEDATA, &body);
    set(curl, CURLOPT_ERRORBUFFER, errorBuffer);
    set(curl, CURLOPT_NOSIGNAL, 1L);
    set(curl, CURLOPT_USERAGENT, CurlFetcher::userAgent());
    set(curl, CURLOPT_FOLLOWLOCATION, 1L);
    set(curl, CURLOPT_MAXREDIRS, limits.maxRedirects);
    set(curl, CURLOPT_FAILONERROR, 1L);
    set(curl, CURLOPT_CONNECTTIMEOUT, limits.connectSeconds);
    set(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    set(curl, CURLOPT_LOW_SPEED_TIME, limits.stallSeconds);
    set(curl, CURLOPT_TIMEOUT, limits.totalSeconds);
    set(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.maxBytes));
    // Certificates are verified and proxies come from http_proxy/https_proxy/no_proxy: both
    // are libcurl's defaults and deliberately left alone.
}

// Whether the answer arrived whole with a 2xx status; otherwise a reason in `why`.
bool AnswerComplete(const CurlApi& api, CURL* curl, CURLcode result, const Body& body, const char* errorBuffer,
                    QString& why) {
    long status = 0;
    curl_off_t announced = -1;
    api.getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    api.getinfo(curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced);
    if (body.tooLarge)
        why = QStringLiteral("answer larger than the size cap");
    else if (body.writeFailed)
        why = QStringLiteral("cannot write the temporary file");
    else if (result != CURLE_OK)
        why = QString::fromUtf8(*errorBuffer ? errorBuffer : api.strerror(result));
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

CurlFetcher::CurlFetcher(const Limits& limits, Library library) : limits_(limits), library_(std::move(library)) {}

CurlFetcher::Library CurlFetcher::defaultLibrary() {
#ifdef Q_OS_WIN
    return {}; // linked directly, so that the DLL is deployed beside the program
#else
    return {QStringLiteral("curl"), 4};
#endif
}

const char* CurlFetcher::userAgent() {
    return "Vetorlan/1.5 (+https://vetorlan.example/)";
}

bool CurlFetcher::Fetch(const QString& url, const QString& path) {
    // The body goes to a temporary file beside the target (keeping an existing file's name,
    // whatever its letter case, and its permissions) and replaces the target on commit only.
    const CurlApi* api = LoadCurl(library_, lastError_);
    if (!api)
        return false;
    QSaveFile file(ResolvePath(path));
    if (!file.open(QIODevice::WriteOnly)) {
        lastError_ = QStringLiteral("cannot create a temporary file: ") + file.errorString();
        return false;
    }
    std::unique_ptr<CURL, decltype(api->easyCleanup)> curl(api->easyInit(), api->easyCleanup);
    if (!curl) {
        lastError_ = QStringLiteral("libcurl could not start");
        return false;
    }
    Body body{&file, limits_.maxBytes};
    char errorBuffer[CURL_ERROR_SIZE] = {};
    const QByteArray encoded = EncodedUrl(url);
    ConfigureTransfer(*api, curl.get(), encoded, limits_, body, errorBuffer);
    if (!RestrictToTheWeb(*api, curl.get())) {
        lastError_ = QStringLiteral("libcurl cannot keep the fetch to http and https");
        return false;
    }
    const CURLcode result = api->perform(curl.get());
    if (!AnswerComplete(*api, curl.get(), result, body, errorBuffer, lastError_))
        return false; // an uncommitted QSaveFile discards its temporary file
    if (!file.commit()) {
        lastError_ = file.errorString();
        return false;
    }
    lastError_.clear();
    return true;
}

} // namespace vetorlan
