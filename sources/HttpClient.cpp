#include "sources/HttpClient.h"

namespace vetorlan {

namespace {

std::atomic<HttpClient*> currentClient = nullptr;

} // namespace

QByteArray HttpResponse::Header(const QByteArray& name) const {
    for (const auto& [key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

void SetHttpClient(HttpClient* client) {
    currentClient = client;
}

HttpClient* CurrentHttpClient() {
    return currentClient.load();
}

} // namespace vetorlan
