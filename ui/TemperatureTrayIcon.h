#pragma once

#include "ui/TrayIconKind.h"
#include "ui/WeatherGlyph.h"

#include <QIcon>

namespace vetorlan {

// The tray icon of a known temperature: the rounded value with its sign ("−3", "+12", "0")
// over a glyph of the weather, with a mark while a load runs (Loading) or after it failed
// (Error). It is drawn afresh at whatever size the tray asks for and keeps no pixmaps.
QIcon TemperatureTrayIcon(int degrees, WeatherGlyph glyph, TrayIconKind status);

} // namespace vetorlan
