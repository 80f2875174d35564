#include "platform/common/CurlLibrary.h"

#include <QLibrary>
#include <map>
#include <memory>
#include <mutex>
#include <utility>

namespace vetorlan {

namespace {

template <typename Function> bool Resolve(QLibrary& library, const char* symbol, Function& function) {
    function = reinterpret_cast<Function>(library.resolve(symbol));
    return function != nullptr;
}

bool ResolveAll(QLibrary& library, CurlApi& api) {
    return Resolve(library, "curl_global_init", api.globalInit) && Resolve(library, "curl_easy_init", api.easyInit) &&
           Resolve(library, "curl_easy_cleanup", api.easyCleanup) && Resolve(library, "curl_easy_setopt", api.setopt) &&
           Resolve(library, "curl_easy_perform", api.perform) && Resolve(library, "curl_easy_getinfo", api.getinfo) &&
           Resolve(library, "curl_easy_strerror", api.strerror) &&
           Resolve(library, "curl_slist_append", api.slistAppend) &&
           Resolve(library, "curl_slist_free_all", api.slistFreeAll);
}

bool OpenLibrary(const CurlLibraryFile& which, CurlApi& api, QString& why) {
#ifdef VETORLAN_CURL_LINKED
    if (which.name.isEmpty()) {
        api = CurlApi{&curl_global_init,   &curl_easy_init,    &curl_easy_cleanup,
                      &curl_easy_setopt,   &curl_easy_perform, &curl_easy_getinfo,
                      &curl_easy_strerror, &curl_slist_append, &curl_slist_free_all};
        return true;
    }
#endif
    QLibrary library(which.name, which.version);
    if (!library.load()) {
        why = QStringLiteral("cannot load libcurl: ") + library.errorString();
        return false;
    }
    if (!ResolveAll(library, api)) {
        why = QStringLiteral("not a usable libcurl: ") + library.fileName();
        library.unload();
        return false;
    }
    return true; // stays loaded for the program's life: QLibrary does not unload on destruction
}

} // namespace

CurlLibraryFile DefaultCurlLibrary() {
#ifdef VETORLAN_CURL_LINKED
    return {}; // linked directly (Windows), so that the DLL is deployed beside the program
#else
    return {QStringLiteral("curl"), 4};
#endif
}

const CurlApi* LoadCurl(const CurlLibraryFile& which, QString& why) {
    static std::mutex mutex;
    static std::map<std::pair<QString, int>, std::unique_ptr<CurlApi>> loaded;
    const std::lock_guard lock(mutex);
    std::unique_ptr<CurlApi>& api = loaded[{which.name, which.version}];
    if (api)
        return api.get();
    auto candidate = std::make_unique<CurlApi>();
    if (!OpenLibrary(which, *candidate, why))
        return nullptr;
    if (candidate->globalInit(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
        why = QStringLiteral("libcurl could not start");
        return nullptr;
    }
    api = std::move(candidate);
    return api.get();
}

bool RestrictToTheWeb(const CurlApi& api, CURL* curl) {
#if LIBCURL_VERSION_NUM >= 0x075500
    if (api.setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK &&
        api.setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https") == CURLE_OK)
        return true;
#endif
    const auto web = static_cast<long>(CURLPROTO_HTTP | CURLPROTO_HTTPS);
    return api.setopt(curl, CURLOPT_PROTOCOLS, web) == CURLE_OK &&
           api.setopt(curl, CURLOPT_REDIR_PROTOCOLS, web) == CURLE_OK;
}

} // namespace vetorlan
