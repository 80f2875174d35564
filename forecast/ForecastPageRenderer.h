#pragma once

#include "forecast/ForecastModel.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vetorlan {

// True when a catalogue town bears this station index.
bool IsCatalogueIndex(const QString& index);

// The detailed forecast page of a catalogue town in Windows-1251, with every marker the page
// rewriting cuts at. Weather pictures point at `imageHost` + "/i/wiz/...", the others at
// "/i/...". Empty when the index is not in the catalogue.
QByteArray RenderForecastPage(const Forecast& forecast, const QString& imageHost);

// Pictures and texts of the moon phases (0..7) and the eight wind directions.
QString MoonPicture(int phase);
QString MoonText(int phase);
QString WindPicture(int direction);
QString WindText(int direction);

// Names of the weather pictures a page may show (without ".gif").
QStringList WeatherPictureNames();

} // namespace vetorlan
