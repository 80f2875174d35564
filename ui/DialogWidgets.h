#pragma once

#include <QColor>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QScrollBar>

namespace vetorlan {

// A small vertical spinner whose upper arrow increases the number. The scroll bar runs over
// the negated range, so its own "step back" (the upper arrow) is a step up of the number.
class SpinScroll : public QScrollBar {
    Q_OBJECT
    Q_PROPERTY(int minimumNumber READ minimumNumber WRITE setMinimumNumber)
    Q_PROPERTY(int maximumNumber READ maximumNumber WRITE setMaximumNumber)
public:
    explicit SpinScroll(QWidget* parent = nullptr);
    int minimumNumber() const { return -maximum(); }
    int maximumNumber() const { return -minimum(); }
    void setMinimumNumber(int number) { setMaximum(-number); }
    void setMaximumNumber(int number) { setMinimum(-number); }
    int number() const { return -value(); }
    // Values outside the range are clamped, as a scroll bar does.
    void setNumber(int number) { setValue(-number); }
    QSize sizeHint() const override;

signals:
    void numberChanged(int number);
};

// A rectangle or a straight line drawn in one colour around or beside a group of controls.
// A rectangle keeps `inset` pixels between its border and its contents.
class ColorShape : public QFrame {
    Q_OBJECT
    Q_PROPERTY(Kind kind READ kind WRITE setKind)
    Q_PROPERTY(int inset READ inset WRITE setInset)
public:
    enum class Kind { Rectangle, HorizontalLine, VerticalLine };
    Q_ENUM(Kind)
    explicit ColorShape(QWidget* parent = nullptr);
    Kind kind() const { return kind_; }
    void setKind(Kind kind);
    int inset() const { return contentsMargins().left(); }
    void setInset(int inset) { setContentsMargins(inset, inset, inset, inset); }
    QColor color() const { return color_; }
    void setColor(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Kind kind_ = Kind::Rectangle;
    QColor color_;
};

// A folder list where Return opens the current folder instead of pressing the dialog's Ok.
class FolderList : public QListWidget {
    Q_OBJECT
public:
    using QListWidget::QListWidget;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// The caption of an option, word-wrapped beside it; a click on it selects its buddy option.
class OptionCaption : public QLabel {
    Q_OBJECT
public:
    explicit OptionCaption(QWidget* parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

// Colours of the enabling rules: grey lines of a disabled group, ink of an enabled one,
// blue of the group that belongs to the chosen connection mode.
QColor GreyLineColor(const QWidget* widget);
QColor InkLineColor(const QWidget* widget);
QColor BlueLineColor();

// Pictures of the dialogs, drawn at the device pixel ratio of the screen.
QPixmap LoudspeakerPicture(bool soundOn, int size, qreal dpr);
QPixmap TrayNotePicture(int size, qreal dpr);
QPixmap MouseNotePicture(int size, qreal dpr);

} // namespace vetorlan
