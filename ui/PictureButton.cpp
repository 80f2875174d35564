#include "ui/PictureButton.h"

#include <QPainter>

namespace vetorlan {

PictureButton::PictureButton(Painter painter, QWidget* parent) : QAbstractButton(parent), painter_(std::move(painter)) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
}

void PictureButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawPixmap(0, 0, painter_(size(), devicePixelRatioF()));
    if (isDown())
        p.fillRect(rect(), QColor(0, 0, 0, 50));
    else if (underMouse())
        p.fillRect(rect(), QColor(255, 255, 255, 40));
}

} // namespace vetorlan
