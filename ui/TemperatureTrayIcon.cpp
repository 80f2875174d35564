#include "ui/TemperatureTrayIcon.h"

#include "sources/CurrentWeather.h"
#include "ui/TrayDigits.h"

#include <QIconEngine>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace vetorlan {

namespace {

// Sizes a D-Bus tray host is offered (it scales the nearest); an X11 tray asks for its own.
constexpr int kOfferedSides[] = {16, 22, 24, 32, 44, 48, 64};

// The cross of a failed load or the arrow of a running one, white in the mark's disc.
void DrawMarkSign(QPainter& p, const QRectF& disc, TrayIconKind status) {
    p.setPen(QPen(Qt::white, std::max(1.2, disc.width() / 6), Qt::SolidLine, Qt::RoundCap));
    const QPointF c = disc.center();
    const qreal a = disc.width() * 0.22;
    if (status == TrayIconKind::Error) {
        p.drawLine(c + QPointF(-a, -a), c + QPointF(a, a));
        p.drawLine(c + QPointF(a, -a), c + QPointF(-a, a));
    } else {
        p.drawLine(c + QPointF(0, -a * 1.2), c + QPointF(0, a * 1.1));
        p.drawLine(c + QPointF(-a, a * 0.2), c + QPointF(0, a * 1.2));
        p.drawLine(c + QPointF(a, a * 0.2), c + QPointF(0, a * 1.2));
    }
}

// The load's mark in the upper right corner: a red disc for a failed load, a blue one for a
// running load, with their signs from 22 pixels up; none after a load that succeeded.
void DrawMark(QPainter& p, int side, TrayIconKind status) {
    if (status == TrayIconKind::Normal)
        return;
    const qreal d = std::round(side * 0.44);
    const QRectF disc(side - d, 0, d, d);
    p.save();
    p.setPen(QPen(Qt::white, std::max(1.0, side / 16.0)));
    p.setBrush(status == TrayIconKind::Error ? QColor(215, 40, 30) : QColor(25, 105, 215));
    p.drawEllipse(disc.adjusted(0.5, 0.5, -0.5, -0.5));
    if (side >= 22)
        DrawMarkSign(p, disc, status);
    p.restore();
}

class TemperatureIconEngine final : public QIconEngine {
public:
    TemperatureIconEngine(int degrees, WeatherGlyph glyph, TrayIconKind status)
        : degrees_(degrees), glyph_(glyph), status_(status) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override {
        const qreal dpr = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap picture = Render(rect.size() * dpr);
        picture.setDevicePixelRatio(dpr);
        painter->drawPixmap(rect.topLeft(), picture);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override { return Render(size); }
    QIconEngine* clone() const override { return new TemperatureIconEngine(degrees_, glyph_, status_); }
    QString key() const override { return u"VetorlanTemperature"_qs; }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        QList<QSize> sizes;
        for (int side : kOfferedSides)
            sizes.append(QSize(side, side));
        return sizes;
    }

private:
    QPixmap Render(QSize size) const {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        const int side = std::min(size.width(), size.height());
        if (side <= 0)
            return pixmap;
        QPainter p(&pixmap);
        p.translate((size.width() - side) / 2, (size.height() - side) / 2);
        p.setRenderHint(QPainter::Antialiasing);
        const int top = int(std::lround(side * 0.4));
        const QRect room(0, top, side, side - top);
        // Pixel digits leave the rows above them to the glyph; stroked digits, filling the
        // room, may cover the glyph's lower part.
        const int digitsTop = TrayDigitsTop(room);
        PaintWeatherGlyph(p, QRectF(0, 0, side * 0.64, digitsTop > top ? digitsTop : side * 0.64), glyph_,
                          std::max(1.0, side / 16.0));
        DrawMark(p, side, status_);
        PaintTrayDigits(p, SignedDegreesText(degrees_), room);
        return pixmap;
    }

    int degrees_;
    WeatherGlyph glyph_;
    TrayIconKind status_;
};

} // namespace

QIcon TemperatureTrayIcon(int degrees, WeatherGlyph glyph, TrayIconKind status) {
    return QIcon(new TemperatureIconEngine(degrees, glyph, status));
}

} // namespace vetorlan
