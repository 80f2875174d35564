#pragma once

#include <QString>

namespace vetorlan {

// Page files the old way, one step each, for the fetch benchmark and its tests: the program
// itself prepares pages in memory and writes each once.

// Blocking fetch of `url` into `path` with FetchPage (replaced as a whole, only after a
// success); true when the page arrived and was written. `error` (when given) gets the fetch's.
[[nodiscard]] bool DownloadFile(const QString& url, const QString& path, QString* error = nullptr);

// Rewrites the file at `path` in place (atomically). A missing file is left alone, an
// unreadable one untouched. Reads MultiLoad from AppSettings() and ImageHost().
void ConvertPage(const QString& path);

} // namespace vetorlan
