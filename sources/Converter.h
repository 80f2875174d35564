#pragma once

#include <QByteArray>
#include <QString>

namespace vetorlan {

// Rewrites a fetched page (Windows-1251 bytes) for offline viewing: the nine replacements,
// the five cuts, the "Назад" button after every "</body>" when multiLoad is exactly
// "True", and a CR LF appended. `imageHost` is the service's image host (scheme, host).
// The result never exceeds OutputBound(page.size()); a page whose rewrite would is refused
// with an empty result (a rewritten page is never empty: it ends in CR LF).
QByteArray ConvertPageText(QByteArray page, const QString& multiLoad, const QString& imageHost);
qsizetype OutputBound(qsizetype inputSize);

// Whether the page holds any text the rewrite looks for: a replacement's text, or both
// markers of a cut. A page with none (a login page of a captive portal, a server's error
// page) is not a forecast page.
bool LooksLikeForecastPage(const QByteArray& page, const QString& imageHost);

} // namespace vetorlan
