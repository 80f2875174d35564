#pragma once

#include <QString>

// The pre-7.85 protocol options are only a fallback for an older libcurl found at run time.
#define CURL_DISABLE_DEPRECATION
#include <curl/curl.h>

namespace vetorlan {

// The shared library to load libcurl from, as QLibrary takes it (name and major version).
// An empty name means the libcurl the program is linked with (Windows).
struct CurlLibraryFile {
    QString name;
    int version = -1;
};
CurlLibraryFile DefaultCurlLibrary();

// The libcurl functions the fetches use, resolved from the library once.
struct CurlApi {
    decltype(&curl_global_init) globalInit = nullptr;
    decltype(&curl_easy_init) easyInit = nullptr;
    decltype(&curl_easy_cleanup) easyCleanup = nullptr;
    decltype(&curl_easy_setopt) setopt = nullptr;
    decltype(&curl_easy_perform) perform = nullptr;
    decltype(&curl_easy_getinfo) getinfo = nullptr;
    decltype(&curl_easy_strerror) strerror = nullptr;
    decltype(&curl_slist_append) slistAppend = nullptr;
    decltype(&curl_slist_free_all) slistFreeAll = nullptr;
};

// libcurl loaded and initialised once per library; nullptr with a reason when it cannot be.
// A failure is not remembered, so a later fetch tries again. Safe from any thread.
const CurlApi* LoadCurl(const CurlLibraryFile& which, QString& why);

// Only the web: a configured address must not make us read local files or other schemes.
// A libcurl that takes neither form of the option is not used at all.
bool RestrictToTheWeb(const CurlApi& api, CURL* curl);

} // namespace vetorlan
