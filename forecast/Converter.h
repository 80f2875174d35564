#pragma once

#include <QByteArray>
#include <QString>

namespace vetorlan {

// Rewrites a fetched page (Windows-1251 bytes) for offline viewing: the nine replacements,
// the five cuts, the "Назад" button after every "</body>" when multiLoad is exactly
// "True", and a CR LF appended. `imageHost` is the service's image host (scheme, host).
QByteArray ConvertPageText(QByteArray page, const QString& multiLoad, const QString& imageHost);

// Rewrites the file at `path` in place (atomically). A missing file is left alone, an
// unreadable one untouched. Reads MultiLoad from AppSettings() and ImageHost().
void ConvertPage(const QString& path);

} // namespace vetorlan
