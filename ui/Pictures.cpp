#include "ui/Pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace vetorlan {

namespace {

QPixmap Canvas(QSize size, qreal dpr) {
    QPixmap pixmap(size * dpr);
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

void DrawSun(QPainter& p, QPointF centre, qreal radius, QColor core) {
    p.save();
    p.setPen(QPen(core.darker(115), radius * 0.16, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 8; ++i) {
        p.save();
        p.translate(centre);
        p.rotate(45.0 * i);
        p.drawLine(QPointF(0, radius * 1.25), QPointF(0, radius * 1.7));
        p.restore();
    }
    QRadialGradient glow(centre, radius);
    glow.setColorAt(0, core.lighter(130));
    glow.setColorAt(1, core);
    p.setPen(QPen(core.darker(125), radius * 0.08));
    p.setBrush(glow);
    p.drawEllipse(centre, radius, radius);
    p.restore();
}

void DrawCloud(QPainter& p, QRectF box, QColor fill, QColor edge) {
    QPainterPath cloud;
    cloud.setFillRule(Qt::WindingFill);
    const qreal w = box.width(), h = box.height();
    cloud.addEllipse(QRectF(box.left(), box.top() + h * 0.4, w * 0.45, h * 0.6));
    cloud.addEllipse(QRectF(box.left() + w * 0.2, box.top(), w * 0.5, h * 0.8));
    cloud.addEllipse(QRectF(box.left() + w * 0.5, box.top() + h * 0.3, w * 0.5, h * 0.7));
    cloud.addRect(QRectF(box.left() + w * 0.2, box.top() + h * 0.6, w * 0.6, h * 0.4));
    p.save();
    p.setPen(QPen(edge, qMax<qreal>(1.0, h * 0.06)));
    p.setBrush(fill);
    p.drawPath(cloud.simplified());
    p.restore();
}

} // namespace

void PaintBackground(QPainter& p, QSize size, bool loading, const QRect& dirty) {
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, loading ? QColor(214, 226, 244) : QColor(246, 244, 232));
    sky.setColorAt(1, loading ? QColor(184, 202, 232) : QColor(236, 233, 216));
    p.fillRect(QRect(QPoint(0, 0), size), sky);
    // A faint weather motif in the free space under the town boxes. Its strokes cost the
    // most, so a repaint elsewhere (the clock, every second) leaves them out.
    const QPointF sun(size.width() * 0.27, size.height() * 0.6);
    if (!dirty.intersects(QRectF(sun.x() - 30, sun.y() - 30, 90, 66).toAlignedRect()))
        return;
    p.setOpacity(0.3);
    DrawSun(p, sun, 14, loading ? QColor(150, 170, 210) : QColor(250, 200, 60));
    DrawCloud(p, QRectF(sun.x() - 4, sun.y() + 2, 54, 30), Qt::white, QColor(140, 150, 170));
}

void PaintCaption(QPainter& p, QSize size) {
    QLinearGradient bar(0, 0, size.width(), 0);
    bar.setColorAt(0, QColor(70, 110, 190));
    bar.setColorAt(0.6, QColor(120, 160, 225));
    bar.setColorAt(1, QColor(170, 200, 240));
    p.fillRect(QRect(QPoint(0, 0), size), bar);
    QLinearGradient shine(0, 0, 0, size.height());
    shine.setColorAt(0, QColor(255, 255, 255, 70));
    shine.setColorAt(0.5, QColor(255, 255, 255, 0));
    p.fillRect(QRect(QPoint(0, 0), size), shine);
    p.setPen(QColor(0, 0, 82));
    p.drawLine(0, size.height() - 1, size.width(), size.height() - 1);
}

namespace {

// A rounded button face in two colours with a white glyph drawn by `glyph`.
template <typename Glyph> QPixmap ButtonFace(QSize size, qreal dpr, QColor top, QColor bottom, Glyph glyph) {
    QPixmap pixmap = Canvas(size, dpr);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient face(0, 0, 0, size.height());
    face.setColorAt(0, top);
    face.setColorAt(1, bottom);
    p.setPen(QPen(QColor(0, 0, 82), 1));
    p.setBrush(face);
    p.drawRoundedRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1), 3, 3);
    p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
    glyph(p, QSizeF(size));
    return pixmap;
}

} // namespace

QPixmap CloseButtonPicture(QSize size, qreal dpr) {
    return ButtonFace(size, dpr, QColor(236, 120, 100), QColor(196, 60, 40), [](QPainter& p, QSizeF s) {
        const qreal m = s.height() * 0.3;
        p.drawLine(QPointF(m + 1, m), QPointF(s.width() - m - 1, s.height() - m));
        p.drawLine(QPointF(s.width() - m - 1, m), QPointF(m + 1, s.height() - m));
    });
}

QPixmap TrayButtonPicture(QSize size, qreal dpr) {
    return ButtonFace(size, dpr, QColor(150, 185, 240), QColor(60, 100, 180), [](QPainter& p, QSizeF s) {
        p.drawLine(QPointF(s.width() * 0.3, s.height() * 0.7), QPointF(s.width() * 0.7, s.height() * 0.7));
    });
}

QPixmap SaveButtonPicture(QSize size, qreal dpr) {
    QPixmap pixmap = Canvas(size, dpr);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF body(1.5, 1.5, size.width() - 3, size.height() - 3);
    p.setPen(QPen(QColor(0, 0, 82), 1));
    p.setBrush(QColor(60, 100, 180));
    p.drawRoundedRect(body, 2, 2);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(body.left() + body.width() * 0.2, body.top(), body.width() * 0.6, body.height() * 0.4));
    p.setBrush(QColor(200, 210, 230));
    p.drawRect(QRectF(body.left() + body.width() * 0.25, body.top() + body.height() * 0.6, body.width() * 0.5,
                      body.height() * 0.4));
    return pixmap;
}

QIcon TrayIconPicture(TrayIconKind kind) {
    QIcon icon;
    for (int side : {16, 22, 24, 32, 48, 64}) {
        QPixmap pixmap = Canvas(QSize(side, side), 1.0);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(side / 32.0, side / 32.0);
        switch (kind) {
        case TrayIconKind::Normal:
            DrawSun(p, QPointF(12, 12), 6.5, QColor(250, 190, 30));
            DrawCloud(p, QRectF(8, 13, 23, 15), Qt::white, QColor(70, 90, 130));
            break;
        case TrayIconKind::Loading: {
            DrawCloud(p, QRectF(2, 3, 28, 18), QColor(220, 232, 250), QColor(40, 80, 160));
            QPainterPath arrow;
            arrow.moveTo(16, 31);
            arrow.lineTo(8, 21);
            arrow.lineTo(13, 21);
            arrow.lineTo(13, 13);
            arrow.lineTo(19, 13);
            arrow.lineTo(19, 21);
            arrow.lineTo(24, 21);
            arrow.closeSubpath();
            p.setPen(QPen(QColor(0, 60, 20), 1));
            p.setBrush(QColor(40, 170, 70));
            p.drawPath(arrow);
            break;
        }
        case TrayIconKind::Error:
            DrawCloud(p, QRectF(2, 4, 28, 18), QColor(215, 215, 220), QColor(80, 80, 90));
            p.setPen(QPen(QColor(200, 20, 20), 4, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(18, 18), QPointF(29, 29));
            p.drawLine(QPointF(29, 18), QPointF(18, 29));
            break;
        }
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace vetorlan
