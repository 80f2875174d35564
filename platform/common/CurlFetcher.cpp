#include "platform/common/CurlFetcher.h"

#include "core/FileSystemObject.h"
#include "core/ProjectInfo.h"
#include "platform/common/CurlTransfer.h"
#include "sources/SourceFailure.h"

#include <QUrl>
#include <utility>

namespace vetorlan {

namespace {

// Notes whether the last answer is chunked (a redirect's headers come first); a new status
// line starts the next answer's headers.
size_t ReadHeader(char* data, size_t size, size_t count, void* userData) {
    auto* chunked = static_cast<bool*>(userData);
    const QByteArray line = QByteArray(data, qsizetype(size * count)).trimmed().toLower();
    if (line.startsWith("http/"))
        *chunked = false;
    else if (line.startsWith("transfer-encoding:") && line.contains("chunked"))
        *chunked = true;
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

TransferLimits CommonLimits(const CurlFetcher::Limits& limits) {
    return {limits.connectSeconds, limits.stallSeconds, limits.totalSeconds, limits.maxBytes, limits.maxRedirects};
}

// The page fetch's own options on top of the common ones: plain bytes, our user agent,
// an error status as a failure, and the headers watched for chunking.
bool ConfigurePageFetch(const CurlApi& api, CURL* curl, const QByteArray& url, const CurlFetcher::Limits& limits,
                        TransferBody& body, bool& chunked) {
    const TransferLimits common = CommonLimits(limits);
    const auto set = api.setopt;
    set(curl, CURLOPT_HEADERFUNCTION, &ReadHeader);
    set(curl, CURLOPT_HEADERDATA, &chunked);
    // Plain bytes are asked for; a compressed answer sent anyway is decoded when libcurl knows
    // its encoding and fails otherwise (asking for compression slows small local answers).
    set(curl, CURLOPT_ACCEPT_ENCODING, "identity");
    set(curl, CURLOPT_USERAGENT, CurlFetcher::userAgent());
    set(curl, CURLOPT_FAILONERROR, 1L);
    return ConfigureTransfer(api, curl, url, common, body);
}

// Whether the answer arrived whole with a 2xx status; otherwise a failure with its reasons.
bool AnswerComplete(const CurlApi& api, CURL* curl, CURLcode result, const TransferBody& body,
                    const TransferLimits& limits, bool chunked, FetchResult& failure) {
    long status = 0;
    curl_off_t announced = -1;
    curl_off_t received = 0; // as sent, before any decoding
    api.getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    api.getinfo(curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced);
    api.getinfo(curl, CURLINFO_SIZE_DOWNLOAD_T, &received);
    const QString cut = QStringLiteral("ответ оборван");
    if (const QString why = TransferError(api, result, body); !why.isEmpty())
        failure =
            FetchResult::failure(why, TransferReason(api, curl, result, body, limits), status >= 300 ? int(status) : 0);
    else if (status < 200 || status > 299)
        failure = FetchResult::failure(QStringLiteral("HTTP status %1").arg(status), HttpStatusReason(int(status)),
                                       int(status));
    else if (announced >= 0 && announced != received)
        failure = FetchResult::failure(QStringLiteral("received %1 of %2 bytes").arg(received).arg(announced), cut);
    else if (body.bytes.isEmpty())
        failure = FetchResult::failure(QStringLiteral("empty answer"), QStringLiteral("пустой ответ"));
    else if (announced < 0 && !chunked && !DocumentClosed(body.bytes))
        failure = FetchResult::failure(QStringLiteral("answer without a length cut short (no closing </html>)"), cut);
    else
        return true;
    return false;
}

} // namespace

CurlFetcher::CurlFetcher() : CurlFetcher(Limits{}) {}

CurlFetcher::CurlFetcher(const Limits& limits, Library library) : limits_(limits), library_(std::move(library)) {}

CurlFetcher::Library CurlFetcher::defaultLibrary() {
#ifdef VETORLAN_CURL_LINKED
    return {}; // linked directly (Windows), so that the DLL is deployed beside the program
#else
    return {QStringLiteral("curl"), 4};
#endif
}

const char* CurlFetcher::userAgent() {
    static const QByteArray agent = ProgramUserAgent();
    return agent.constData();
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
        return FetchResult::failure(why, NoCurlReason());
    const CurlHandle curl = NewCurlHandle(*api);
    if (!curl)
        return FetchResult::failure(QStringLiteral("libcurl could not start"), NoCurlReason());
    QByteArray bytes;
    TransferBody body(bytes, cancelled);
    bool chunked = false;
    const QByteArray encoded = EncodedUrl(url);
    if (!ConfigurePageFetch(*api, curl.get(), encoded, limits_, body, chunked))
        return FetchResult::failure(QStringLiteral("libcurl cannot keep the fetch to http and https"), NoCurlReason());
    const CURLcode result = api->perform(curl.get());
    if (FetchResult failure; !AnswerComplete(*api, curl.get(), result, body, CommonLimits(limits_), chunked, failure))
        return failure;
    return FetchResult::success(std::move(bytes));
}

} // namespace vetorlan
