#include "ui/DialogWidgets.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace vetorlan {

SpinScroll::SpinScroll(QWidget* parent) : QScrollBar(Qt::Vertical, parent) {
    setSingleStep(1);
    setPageStep(1);
    connect(this, &QScrollBar::valueChanged, this, [this](int v) { emit numberChanged(-v); });
}

QSize SpinScroll::sizeHint() const {
    const QSize base = QScrollBar::sizeHint();
    return {base.width(), 2 * base.width()};
}

ColorShape::ColorShape(QWidget* parent) : QFrame(parent), color_(Qt::black) {
    setInset(4);
}

void ColorShape::setKind(Kind kind) {
    kind_ = kind;
    if (kind_ == Kind::Rectangle)
        return setInset(4);
    setInset(0);
    if (kind_ == Kind::HorizontalLine)
        setFixedHeight(1);
    else
        setFixedWidth(1);
}

void ColorShape::setColor(const QColor& color) {
    color_ = color;
    update();
}

void ColorShape::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(QPen(color_, 1));
    const QRect r = rect().adjusted(0, 0, -1, -1);
    switch (kind_) {
    case Kind::Rectangle:
        p.drawRect(r);
        break;
    case Kind::HorizontalLine:
        p.fillRect(rect(), color_);
        break;
    case Kind::VerticalLine:
        p.fillRect(rect(), color_);
        break;
    }
}

void FolderList::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentItem()) {
        emit itemActivated(currentItem());
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

OptionCaption::OptionCaption(QWidget* parent) : QLabel(parent) {
    setWordWrap(true);
    // Wide enough that the long texts wrap into a few even lines.
    setMinimumWidth(fontMetrics().horizontalAdvance(QString(62, QChar(0x043E))));
}

void OptionCaption::mousePressEvent(QMouseEvent* event) {
    auto* option = qobject_cast<QAbstractButton*>(buddy());
    if (event->button() == Qt::LeftButton && option && option->isEnabled()) {
        option->setFocus(Qt::MouseFocusReason);
        option->click();
    }
}

QColor GreyLineColor(const QWidget* widget) {
    return widget->palette().color(QPalette::Mid);
}
QColor InkLineColor(const QWidget* widget) {
    return widget->palette().color(QPalette::WindowText);
}
QColor BlueLineColor() {
    return QColor(0, 0, 255);
}

namespace {

QPixmap blank(int size, qreal dpr) {
    QPixmap pm(QSize(size, size) * dpr);
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    return pm;
}

void drawSpeaker(QPainter& p, qreal s) {
    QPainterPath body;
    body.moveTo(0.10 * s, 0.38 * s);
    body.lineTo(0.28 * s, 0.38 * s);
    body.lineTo(0.52 * s, 0.16 * s);
    body.lineTo(0.52 * s, 0.84 * s);
    body.lineTo(0.28 * s, 0.62 * s);
    body.lineTo(0.10 * s, 0.62 * s);
    body.closeSubpath();
    p.setPen(QPen(QColor(40, 40, 40), s / 24));
    p.setBrush(QColor(120, 120, 140));
    p.drawPath(body);
}

} // namespace

QPixmap LoudspeakerPicture(bool soundOn, int size, qreal dpr) {
    QPixmap pm = blank(size, dpr);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    drawSpeaker(p, s);
    p.setBrush(Qt::NoBrush);
    if (soundOn) {
        p.setPen(QPen(QColor(0, 110, 0), s / 14, Qt::SolidLine, Qt::RoundCap));
        for (int i = 0; i < 3; ++i) {
            const qreal r = (0.14 + 0.11 * i) * s;
            p.drawArc(QRectF(0.52 * s - r, 0.5 * s - r, 2 * r, 2 * r), -45 * 16, 90 * 16);
        }
    } else {
        p.setPen(QPen(QColor(200, 0, 0), s / 12, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(0.62 * s, 0.36 * s), QPointF(0.88 * s, 0.64 * s));
        p.drawLine(QPointF(0.62 * s, 0.64 * s), QPointF(0.88 * s, 0.36 * s));
    }
    return pm;
}

QPixmap TrayNotePicture(int size, qreal dpr) {
    QPixmap pm = blank(size, dpr);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    // A strip of the panel with a small sun icon and the clock.
    p.setPen(QPen(QColor(60, 60, 60), s / 24));
    p.setBrush(QColor(210, 220, 235));
    p.drawRoundedRect(QRectF(0.04 * s, 0.30 * s, 0.92 * s, 0.40 * s), s / 12, s / 12);
    p.setBrush(QColor(255, 190, 0));
    p.setPen(QPen(QColor(200, 120, 0), s / 30));
    p.drawEllipse(QPointF(0.26 * s, 0.50 * s), 0.11 * s, 0.11 * s);
    p.setPen(QPen(QColor(30, 30, 30), s / 20));
    p.drawLine(QPointF(0.50 * s, 0.42 * s), QPointF(0.50 * s, 0.58 * s));
    p.drawLine(QPointF(0.58 * s, 0.42 * s), QPointF(0.58 * s, 0.58 * s));
    p.drawLine(QPointF(0.70 * s, 0.42 * s), QPointF(0.70 * s, 0.58 * s));
    p.drawLine(QPointF(0.78 * s, 0.42 * s), QPointF(0.78 * s, 0.58 * s));
    return pm;
}

QPixmap MouseNotePicture(int size, qreal dpr) {
    QPixmap pm = blank(size, dpr);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    const QRectF body(0.26 * s, 0.08 * s, 0.48 * s, 0.84 * s);
    p.setPen(QPen(QColor(50, 50, 50), s / 24));
    p.setBrush(QColor(235, 235, 235));
    p.drawRoundedRect(body, 0.24 * s, 0.24 * s);
    p.drawLine(QPointF(0.26 * s, 0.40 * s), QPointF(0.74 * s, 0.40 * s));
    p.drawLine(QPointF(0.50 * s, 0.08 * s), QPointF(0.50 * s, 0.40 * s));
    // The left button is the one the notes speak of first.
    QPainterPath left;
    left.moveTo(0.50 * s, 0.09 * s);
    left.lineTo(0.50 * s, 0.39 * s);
    left.lineTo(0.27 * s, 0.39 * s);
    left.arcTo(QRectF(0.27 * s, 0.09 * s, 0.46 * s, 0.46 * s), 180, -90);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(70, 130, 220));
    p.drawPath(left);
    return pm;
}

} // namespace vetorlan
