#include "ui/TrayDigits.h"

#include <QPainter>
#include <QPainterPath>
#include <QRegion>
#include <algorithm>
#include <cmath>

namespace vetorlan {

namespace {

constexpr int kStrokedDigitsFrom = 17; // rooms this high or higher get stroked digits
const QColor kOutline(20, 24, 30, 235);

// ---- pixel fonts, for rooms lower than kStrokedDigitsFrom pixels

// One glyph: `width` columns, its rows top down, '#' lit.
struct PixelGlyph {
    int width;
    const char* rows;
};

// Digits 0-9, then '+' and the minus.
struct PixelFont {
    int height;
    PixelGlyph glyphs[12];
};

// Thin 4 × 7 digits for the smallest icons.
const PixelFont kThinDigits = {
    7,
    {{4, ".##.#..##..##..##..##..#.##."},
     {4, "..#..##...#...#...#...#..###"},
     {4, ".##.#..#...#..#..#..#...####"},
     {4, "###....#...#.##....#...####."},
     {4, "#..##..##..#####...#...#...#"},
     {4, "#####...###....#...##..#.##."},
     {4, ".##.#...#...###.#..##..#.##."},
     {4, "####...#...#..#...#..#...#.."},
     {4, ".##.#..##..#.##.#..##..#.##."},
     {4, ".##.#..##..#.###...#...#.##."},
     {3, ".......#.###.#......."},
     {3, ".........###........."}},
};

// Bold 5 × 9 digits with two-pixel stems.
const PixelFont kBoldDigits = {
    9,
    {{5, ".###.##.####.####.####.####.####.####.##.###."},
     {5, "..##..###.####...##...##...##...##...##...##."},
     {5, ".###.##.##...##...##..##..##..##...##...#####"},
     {5, "####....##...##...##.###....##...##...######."},
     {5, "##.####.####.####.#######...##...##...##...##"},
     {5, "#######...##...####....##...##...####.##.###."},
     {5, ".###.##...##...####.##.####.####.####.##.###."},
     {5, "#####...##...##..##...##..##...##...##...##.."},
     {5, ".###.##.####.####.##.###.##.####.####.##.###."},
     {5, ".###.##.####.####.####.##.####...##...##.###."},
     {6, "..............##....##..############..##....##........"},
     {4, "................########............"}},
};

const PixelGlyph& GlyphOf(const PixelFont& font, QChar c) {
    return font.glyphs[c.isDigit() ? c.digitValue() : c == u'+' ? 10 : 11];
}

QRegion PixelInk(const PixelFont& font, const QString& text, QPoint topLeft) {
    QRegion lit;
    for (QChar c : text) {
        const PixelGlyph& glyph = GlyphOf(font, c);
        for (int i = 0; i < glyph.width * font.height; ++i)
            if (glyph.rows[i] == '#')
                lit += QRect(topLeft.x() + i % glyph.width, topLeft.y() + i / glyph.width, 1, 1);
        topLeft.rx() += glyph.width + 1;
    }
    return lit;
}

void PaintPixelDigits(QPainter& p, const PixelFont& font, const QString& text, const QRect& room) {
    int width = -1;
    for (QChar c : text)
        width += GlyphOf(font, c).width + 1;
    const QPoint topLeft(room.x() + room.width() - 1 - width, room.y() + room.height() - 1 - font.height);
    const QRegion lit = PixelInk(font, text, topLeft);
    QRegion outline;
    for (const QRect& r : lit)
        outline += r.adjusted(-1, -1, 1, 1);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setClipRegion(outline);
    p.fillRect(room, kOutline);
    p.setClipRegion(lit);
    p.fillRect(room, Qt::white);
    p.restore();
}

// ---- stroked digits: centre lines in a box `Width` wide and 1 high

constexpr qreal kDigitWidth = 0.58;

qreal StrokeWidthOf(QChar c) {
    if (c == u'1')
        return kDigitWidth * 0.62;
    return c.isDigit() ? kDigitWidth : c == u'+' ? 0.56 : 0.44;
}

QPainterPath Six() {
    const qreal w = kDigitWidth;
    QPainterPath path;
    path.moveTo(w * 0.85, 0.02);
    path.cubicTo(w * 0.3, 0.06, 0, 0.3, 0, 0.71);
    path.addEllipse(QRectF(0, 0.42, w, 0.58));
    return path;
}

QPainterPath StrokeGlyph(QChar c) {
    const qreal w = kDigitWidth;
    QPainterPath path;
    switch (c.unicode()) {
    case u'0':
        path.addRoundedRect(QRectF(0, 0, w, 1), w / 2, w / 2);
        break;
    case u'1':
        path.moveTo(0, 0.24);
        path.lineTo(w * 0.62, 0);
        path.lineTo(w * 0.62, 1);
        break;
    case u'2':
        path.arcMoveTo(QRectF(0, 0, w, w), 160);
        path.arcTo(QRectF(0, 0, w, w), 160, -200);
        path.lineTo(0, 1);
        path.lineTo(w, 1);
        break;
    case u'3':
        path.arcMoveTo(QRectF(w * 0.06, 0, w * 0.88, 0.48), 150);
        path.arcTo(QRectF(w * 0.06, 0, w * 0.88, 0.48), 150, -240);
        path.arcTo(QRectF(0, 0.48, w, 0.52), 90, -235);
        break;
    case u'4':
        path.moveTo(w * 0.74, 1);
        path.lineTo(w * 0.74, 0);
        path.lineTo(0, 0.68);
        path.lineTo(w, 0.68);
        break;
    case u'5':
        path.moveTo(w, 0);
        path.lineTo(w * 0.08, 0);
        path.lineTo(w * 0.02, 0.46);
        path.arcTo(QRectF(0, 0.36, w, 0.64), 145, -275);
        break;
    case u'6':
        return Six();
    case u'7':
        path.moveTo(0, 0);
        path.lineTo(w, 0);
        path.lineTo(w * 0.3, 1);
        break;
    case u'8':
        path.addEllipse(QRectF(w * 0.06, 0, w * 0.88, 0.46));
        path.addEllipse(QRectF(0, 0.46, w, 0.54));
        break;
    case u'9':
        return QTransform(-1, 0, 0, -1, w, 1).map(Six());
    case u'+':
        path.moveTo(0, 0.5);
        path.lineTo(0.56, 0.5);
        path.moveTo(0.28, 0.22);
        path.lineTo(0.28, 0.78);
        break;
    default: // the minus
        path.moveTo(0, 0.5);
        path.lineTo(0.44, 0.5);
        break;
    }
    return path;
}

// How a text's centre lines sit in a room: glyph height, stroke, gap and horizontal squeeze.
struct StrokeLayout {
    int height = 0;    // of the centre lines, pixels
    int stroke = 0;    // pen width, pixels
    qreal gap = 0;     // between neighbouring glyph boxes
    qreal squeeze = 1; // horizontal scale against the vertical, down to kNarrowest
    qreal width = 0;   // of all centre lines, pixels
};

constexpr qreal kNarrowest = 0.7;

StrokeLayout LayOut(const QString& text, int inkWidth, int inkHeight) {
    qreal units = 0;
    for (QChar c : text)
        units += StrokeWidthOf(c);
    StrokeLayout layout;
    for (int ink = inkHeight; ink > 4; --ink) {
        layout.stroke = std::max(2, int(std::lround(ink * 0.24)));
        layout.height = ink - layout.stroke;
        layout.gap = layout.stroke + std::max(1.0, layout.height * 0.08);
        const qreal room = inkWidth - layout.stroke - layout.gap * (text.size() - 1);
        layout.squeeze = std::min(1.0, room / (units * layout.height));
        layout.width = units * layout.height * layout.squeeze + layout.gap * (text.size() - 1);
        if (layout.squeeze >= kNarrowest)
            break;
    }
    return layout;
}

void PaintStrokedDigits(QPainter& p, const QString& text, const QRect& room, int outline) {
    const StrokeLayout layout = LayOut(text, room.width() - 2 * outline, room.height() - 2 * outline);
    const qreal right = room.x() + room.width() - outline - layout.stroke / 2.0;
    const qreal bottom = room.y() + room.height() - outline - layout.stroke / 2.0;
    QPainterPath lines;
    qreal x = right - layout.width;
    for (QChar c : text) {
        const qreal scaleX = layout.height * layout.squeeze;
        lines.addPath(QTransform(scaleX, 0, 0, layout.height, x, bottom - layout.height).map(StrokeGlyph(c)));
        x += StrokeWidthOf(c) * scaleX + layout.gap;
    }
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.strokePath(lines, QPen(kOutline, layout.stroke + 2 * outline, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.strokePath(lines, QPen(Qt::white, layout.stroke, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.restore();
}

// The pixel font for a room, or none where strokes fill it.
const PixelFont* PixelFontFor(const QRect& room) {
    if (room.height() < kBoldDigits.height + 2)
        return &kThinDigits;
    return room.height() < kStrokedDigitsFrom ? &kBoldDigits : nullptr;
}

} // namespace

int TrayDigitsTop(const QRect& room) {
    const PixelFont* font = PixelFontFor(room);
    return font ? room.y() + room.height() - font->height - 2 : room.y();
}

void PaintTrayDigits(QPainter& p, const QString& text, const QRect& room) {
    if (const PixelFont* font = PixelFontFor(room))
        return PaintPixelDigits(p, *font, text, room);
    PaintStrokedDigits(p, text, room, std::max(1, int(std::lround(room.height() / 13.0))));
}

} // namespace vetorlan
