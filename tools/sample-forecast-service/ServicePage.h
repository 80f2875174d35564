#pragma once

#include "page/PageParts.h"

#include <QByteArray>
#include <QString>

namespace vetorlan {

// The detailed forecast page of a catalogue town as a page service sends it, in
// Windows-1251, with every marker the page rewriting cuts at. Weather pictures point at
// `imageHost` + "/i/wiz/...", the others at "/i/...". Empty when the index is not in the catalogue.
QByteArray RenderForecastPage(const Forecast& forecast, const QString& imageHost);

} // namespace vetorlan
