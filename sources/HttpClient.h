#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <atomic>
#include <functional>

namespace vetorlan {

// One GET request: the address and the extra request headers. When `cancelled` is given and
// becomes true, the request gives up within about a second with an error. `beforeStart`, when
// given, is called right before each request goes out (a redirect's too, where the client can
// tell); false abandons the request as cancelled.
struct HttpRequest {
    QString url;
    QList<QPair<QByteArray, QByteArray>> headers;
    const std::atomic<bool>* cancelled = nullptr;
    std::function<bool()> beforeStart;
};

// What came back. `error` is set (and the rest meaningless) when no whole answer arrived:
// no connection, a timeout, a body cut short, an answer over the size cap; `reason` then
// says it shortly in Russian for the user (empty: `error` serves).
struct HttpResponse {
    int status = 0;
    QList<QPair<QByteArray, QByteArray>> headers; // of the final answer, names as sent
    QByteArray body;                              // decoded when it came compressed
    QString error;
    QString reason;

    // The value of a header, matched without regard to letter case; empty when absent.
    QByteArray Header(const QByteArray& name) const;
};

// Blocking HTTP GET; implementations may be called from several threads at once.
class HttpClient {
public:
    virtual ~HttpClient() = default;
    virtual HttpResponse Get(const HttpRequest& request) = 0;
};

// The client the page sources use (libcurl in the program, fakes and loopback ones in tests).
void SetHttpClient(HttpClient* client);
HttpClient* CurrentHttpClient();

} // namespace vetorlan
