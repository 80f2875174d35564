#pragma once

#include <QRectF>
#include <QString>

class QPainter;

namespace vetorlan {

// The weather families the tray icon draws, one simple glyph each: the pages' pictures lose
// their drops and rays when shrunk to a tray icon, and pale clouds vanish on a light panel.
enum class WeatherGlyph { None, Sun, Moon, SunCloud, MoonCloud, Cloud, Overcast, Rain, Snow, Sleet, Thunder, Fog };

// The glyph of a page picture name ("partly-night", "light-rain", ...); None when unknown.
WeatherGlyph GlyphOfPicture(const QString& picture);

// Paints the glyph into `box` (device pixels), its outlines `line` pixels wide.
void PaintWeatherGlyph(QPainter& p, const QRectF& box, WeatherGlyph glyph, qreal line);

} // namespace vetorlan
