#include "platform/CurlFetcher.h"

#include "core/FileSystemObject.h"
#include "platform/CurlLibrary.h"

#include <QUrl>
#include <memory>
#include <utility>


namespace vetorlan {

namespace {

struct Body {
    QByteArray bytes;
    std::int64_t maxBytes = 0;
    bool tooLarge = false;
    bool chunked = false; // of the last answer (a redirect's headers come first)
    const std::atomic<bool>* cancelled = nullptr;
};

// libcurl calls this at least once a second, also while nothing arrives; non-zero aborts.
int Progress(void* userData, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    const auto* body = static_cast<const Body*>(userData);
    return body->cancelled && body->cancelled->load() ? 1 : 0;
}

// Returning less than it was given makes libcurl abort the transfer.
size_t WriteBody(char* data, size_t size, size_t count, void* userData) {
    auto* body = static_cast<Body*>(userData);
    const auto n = static_cast<std::int64_t>(size * count);
    if (body->bytes.size() + n > body->maxBytes) {
        body->tooLarge = true;
        return 0;
    }
    body->bytes.append(data, qsizetype(n));
    return static_cast<size_t>(n);
}

// Notes whether the answer is chunked; a new status line starts the next answer's headers.
size_t ReadHeader(char* data, size_t size, size_t count, void* userData) {
    auto* body = static_cast<Body*>(userData);
    const QByteArray line = QByteArray(data, qsizetype(size * count)).trimmed().toLower();
    if (line.startsWith("http/"))
        body->chunked = false;
    else if (line.startsWith("transfer-encoding:") && line.contains("chunked"))
        body->chunked = true;
    return size * count;
}

// A body that ends when the server closes the connection cannot tell a cut from its end;
// a page is whole only when its document is closed.
bool DocumentClosed(const QByteArray& bytes) {
    return bytes.right(256).trimmed().toLower().endsWith("</html>");
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
    set(curl, CURLOPT_XFERINFOFUNCTION, &Progress);
    set(curl, CURLOPT_XFERINFODATA, &body);
    set(curl, CURLOPT_NOPROGRESS, 0L);
    set(curl, CURLOPT_HEADERFUNCTION, &ReadHeader);
    set(curl, CURLOPT_HEADERDATA, &body);
    // Plain bytes are asked for; a compressed answer sent anyway is decoded when libcurl knows
    // its encoding and fails otherwise (asking for compression slows small local answers).
    set(curl, CURLOPT_ACCEPT_ENCODING, "identity");
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
    curl_off_t received = 0; // as sent, before any decoding
    api.getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    api.getinfo(curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced);
    api.getinfo(curl, CURLINFO_SIZE_DOWNLOAD_T, &received);
    if (body.tooLarge)
        why = QStringLiteral("answer larger than the size cap");
    else if (result != CURLE_OK)
        why = QString::fromUtf8(*errorBuffer ? errorBuffer : api.strerror(result));
    else if (status < 200 || status > 299)
        why = QStringLiteral("HTTP status %1").arg(status);
    else if (announced >= 0 && announced != received)
        why = QStringLiteral("received %1 of %2 bytes").arg(received).arg(announced);
    else if (body.bytes.isEmpty())
        why = QStringLiteral("empty answer");
    else if (announced < 0 && !body.chunked && !DocumentClosed(body.bytes))
        why = QStringLiteral("answer without a length cut short (no closing </html>)");
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

FetchResult CurlFetcher::Fetch(const QString& url, const std::atomic<bool>* cancelled) {
    QString why;
    FetchResult result = Transfer(url, cancelled, why);
    const std::lock_guard lock(errorMutex_);
    lastError_ = result.ok ? QString() : result.error;
    return result;
}

QString CurlFetcher::lastError() const {
    const std::lock_guard lock(errorMutex_);
    return lastError_;
}

FetchResult CurlFetcher::Transfer(const QString& url, const std::atomic<bool>* cancelled, QString& why) const {
    const CurlApi* api = LoadCurl(library_, why);
    if (!api)
        return FetchResult::failure(why);
    std::unique_ptr<CURL, decltype(api->easyCleanup)> curl(api->easyInit(), api->easyCleanup);
    if (!curl)
        return FetchResult::failure(QStringLiteral("libcurl could not start"));
    Body body;
    body.maxBytes = limits_.maxBytes;
    body.cancelled = cancelled;
    char errorBuffer[CURL_ERROR_SIZE] = {};
    const QByteArray encoded = EncodedUrl(url);
    ConfigureTransfer(*api, curl.get(), encoded, limits_, body, errorBuffer);
    if (!RestrictToTheWeb(*api, curl.get()))
        return FetchResult::failure(QStringLiteral("libcurl cannot keep the fetch to http and https"));
    const CURLcode result = api->perform(curl.get());
    if (!AnswerComplete(*api, curl.get(), result, body, errorBuffer, why))
        return FetchResult::failure(why);
    return FetchResult::success(std::move(body.bytes));
}

} // namespace vetorlan
