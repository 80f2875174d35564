#pragma once

#include <QAbstractButton>
#include <QPixmap>
#include <functional>

namespace vetorlan {

// A flat button that shows a picture drawn for its size and the screen's pixel ratio.
class PictureButton : public QAbstractButton {
    Q_OBJECT
public:
    using Painter = std::function<QPixmap(QSize, qreal)>;
    PictureButton(Painter painter, QWidget* parent = nullptr);
    QSize sizeHint() const override { return QSize(16, 14); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Painter painter_;
};

} // namespace vetorlan
