#include "ui/WeatherGlyph.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace vetorlan {

WeatherGlyph GlyphOfPicture(const QString& picture) {
    static const QHash<QString, WeatherGlyph> glyphs = {
        {u"clear-day"_qs, WeatherGlyph::Sun},
        {u"clear-night"_qs, WeatherGlyph::Moon},
        {u"partly-day"_qs, WeatherGlyph::SunCloud},
        {u"partly-night"_qs, WeatherGlyph::MoonCloud},
        {u"cloudy"_qs, WeatherGlyph::Cloud},
        {u"overcast"_qs, WeatherGlyph::Overcast},
        {u"light-rain"_qs, WeatherGlyph::Rain},
        {u"rain"_qs, WeatherGlyph::Rain},
        {u"light-snow"_qs, WeatherGlyph::Snow},
        {u"snow"_qs, WeatherGlyph::Snow},
        {u"sleet"_qs, WeatherGlyph::Sleet},
        {u"storm"_qs, WeatherGlyph::Thunder},
        {u"fog"_qs, WeatherGlyph::Fog},
    };
    return glyphs.value(picture, WeatherGlyph::None);
}

namespace {

const QColor kEdge(40, 48, 60);

void DrawSun(QPainter& p, QPointF centre, qreal radius, qreal line) {
    p.save();
    if (radius >= 3) { // smaller suns are mere discs
        p.setPen(QPen(QColor(235, 150, 0), line, Qt::SolidLine, Qt::RoundCap));
        for (int i = 0; i < 8; ++i) {
            const qreal a = i * std::numbers::pi / 4;
            const QPointF ray(std::cos(a), std::sin(a));
            p.drawLine(centre + ray * radius * 1.3, centre + ray * radius * 1.65);
        }
    }
    p.setPen(QPen(QColor(200, 110, 0), line));
    p.setBrush(QColor(255, 196, 20));
    p.drawEllipse(centre, radius, radius);
    p.restore();
}

// A crescent whose dark part faces `away` (a unit vector): behind a cloud at its lower left,
// the lit part must face up and right to be seen.
void DrawMoon(QPainter& p, QPointF centre, qreal radius, qreal line, QPointF away = {0.85, -0.5}) {
    QPainterPath disc, bite;
    disc.addEllipse(centre, radius, radius);
    bite.addEllipse(centre + away * radius * 0.85, radius * 0.95, radius * 0.95);
    p.save();
    p.setPen(QPen(QColor(170, 130, 20), line));
    p.setBrush(QColor(250, 222, 110));
    p.drawPath(disc.subtracted(bite));
    p.restore();
}

void DrawCloud(QPainter& p, QRectF box, QColor fill, qreal line) {
    const qreal w = box.width(), h = box.height();
    QPainterPath cloud;
    cloud.setFillRule(Qt::WindingFill);
    cloud.addEllipse(QRectF(box.left(), box.top() + h * 0.35, w * 0.5, h * 0.65));
    cloud.addEllipse(QRectF(box.left() + w * 0.22, box.top(), w * 0.52, h * 0.85));
    cloud.addEllipse(QRectF(box.left() + w * 0.5, box.top() + h * 0.3, w * 0.5, h * 0.7));
    cloud.addRect(QRectF(box.left() + w * 0.25, box.top() + h * 0.5, w * 0.5, h * 0.5));
    p.save();
    p.setPen(QPen(kEdge, line));
    p.setBrush(fill);
    p.drawPath(cloud.simplified());
    p.restore();
}

// Slanted drops (rain) or dots (snow) under a cloud, in `row`.
void DrawFalling(QPainter& p, QRectF row, int count, bool snow, qreal line) {
    p.save();
    for (int i = 0; i < count; ++i) {
        const qreal x = row.left() + row.width() * (i + 0.5) / count;
        if (snow) {
            p.setPen(QPen(QColor(40, 90, 170), line));
            p.setBrush(Qt::white);
            const qreal r = std::max(1.0, row.height() * 0.35);
            p.drawEllipse(QPointF(x, row.center().y()), r, r);
        } else {
            p.setPen(QPen(QColor(30, 110, 230), line * 1.4, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(x + row.height() * 0.25, row.top()), QPointF(x - row.height() * 0.25, row.bottom()));
        }
    }
    p.restore();
}

void DrawBolt(QPainter& p, QRectF area, qreal line) {
    QPainterPath bolt;
    const qreal w = area.width(), h = area.height();
    bolt.moveTo(area.left() + w * 0.55, area.top());
    bolt.lineTo(area.left() + w * 0.15, area.top() + h * 0.6);
    bolt.lineTo(area.left() + w * 0.5, area.top() + h * 0.6);
    bolt.lineTo(area.left() + w * 0.35, area.bottom());
    bolt.lineTo(area.left() + w * 0.9, area.top() + h * 0.4);
    bolt.lineTo(area.left() + w * 0.55, area.top() + h * 0.4);
    bolt.closeSubpath();
    p.save();
    p.setPen(QPen(QColor(150, 90, 0), line * 0.8));
    p.setBrush(QColor(255, 210, 30));
    p.drawPath(bolt);
    p.restore();
}

void DrawFog(QPainter& p, QRectF box, qreal line) {
    p.save();
    const qreal bar = std::max(1.5, box.height() / 7);
    for (int i = 0; i < 3; ++i) {
        const qreal y = box.top() + box.height() * (0.2 + 0.3 * i);
        const qreal indent = (i % 2) * box.width() * 0.15;
        p.setPen(QPen(kEdge, bar + line * 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(box.left() + indent, y), QPointF(box.right() - box.width() * 0.15 + indent, y));
        p.setPen(QPen(QColor(220, 225, 232), bar, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(box.left() + indent, y), QPointF(box.right() - box.width() * 0.15 + indent, y));
    }
    p.restore();
}

void DrawCloudWith(QPainter& p, QRectF box, WeatherGlyph glyph, qreal line) {
    const QRectF cloud(box.left(), box.top(), box.width(), box.height() * 0.68);
    const QRectF below(box.left() + box.width() * 0.15, box.top() + box.height() * 0.72, box.width() * 0.7,
                       box.height() * 0.28);
    const bool dark = glyph == WeatherGlyph::Overcast || glyph == WeatherGlyph::Thunder;
    DrawCloud(p, cloud, dark ? QColor(170, 180, 194) : QColor(246, 248, 251), line);
    if (glyph == WeatherGlyph::Rain)
        DrawFalling(p, below, 3, false, line);
    else if (glyph == WeatherGlyph::Snow)
        DrawFalling(p, below, 3, true, line);
    else if (glyph == WeatherGlyph::Sleet) {
        DrawFalling(p, QRectF(below.left(), below.top(), below.width() / 2, below.height()), 1, false, line);
        DrawFalling(p, QRectF(below.center().x(), below.top(), below.width() / 2, below.height()), 1, true, line);
    } else if (glyph == WeatherGlyph::Thunder) {
        const QRectF lower(box.left() + box.width() * 0.3, box.top() + box.height() * 0.4, box.width() * 0.4,
                           box.height() * 0.6);
        DrawBolt(p, lower, line);
    }
}

} // namespace

void PaintWeatherGlyph(QPainter& p, const QRectF& box, WeatherGlyph glyph, qreal line) {
    const qreal unit = std::min(box.width(), box.height());
    const qreal r = unit * 0.26;
    switch (glyph) {
    case WeatherGlyph::None:
        return;
    case WeatherGlyph::Sun:
        return DrawSun(p, box.center(), unit * 0.3, line);
    case WeatherGlyph::Moon:
        return DrawMoon(p, box.center(), unit * 0.36, line);
    case WeatherGlyph::SunCloud:
    case WeatherGlyph::MoonCloud:
        if (glyph == WeatherGlyph::SunCloud)
            DrawSun(p, box.topLeft() + QPointF(box.width() * 0.62, r * 1.25), r, line);
        else
            DrawMoon(p, box.topLeft() + QPointF(box.width() * 0.62, r * 1.25), r * 1.15, line, {-0.7, 0.7});
        return DrawCloud(p, QRectF(box.left(), box.top() + box.height() * 0.32, box.width() * 0.85, box.height() * 0.6),
                         QColor(246, 248, 251), line);
    case WeatherGlyph::Fog:
        return DrawFog(p, box, line);
    default:
        return DrawCloudWith(p, box, glyph, line);
    }
}

} // namespace vetorlan
