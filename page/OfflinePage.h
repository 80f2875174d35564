#pragma once

#include "page/ForecastModel.h"

#include <QByteArray>

namespace vetorlan {

// The detailed forecast page of a catalogue town as the program writes it, in Windows-1251:
// styled by nimbora.css, pictures under _i/, the source's credit, the «Назад» button under the
// page when `backButton`, ending in CR LF. Empty when the index is not in the catalogue.
QByteArray RenderOfflinePage(const Forecast& forecast, bool backButton);

} // namespace vetorlan
