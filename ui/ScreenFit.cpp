#include "ui/ScreenFit.h"

#include <QBoxLayout>
#include <QDialog>
#include <QGridLayout>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>

#include <algorithm>

namespace vetorlan {

namespace {

// Title bar and borders of a usual window manager, in logical pixels.
const QSize kFrameAllowance(16, 48);

// A scroll area that asks for a set size, so the dialog's fixed-size layout gives it that room.
class RoomScrollArea : public QScrollArea {
public:
    using QScrollArea::QScrollArea;
    void setRoom(QSize room) {
        room_ = room;
        updateGeometry();
    }
    QSize sizeHint() const override { return room_; }
    QSize minimumSizeHint() const override { return room_; }

private:
    QSize room_;
};

// Takes `row` out of `from` and places it in `outer` at `index`, spaced as it was.
void MoveRow(QLayout& from, QLayout& row, QBoxLayout& outer, int index) {
    from.removeItem(&row);
    row.setParent(nullptr);
    const auto* grid = qobject_cast<QGridLayout*>(&from);
    outer.insertSpacing(index, grid ? grid->verticalSpacing() : from.spacing());
    outer.insertLayout(index + 1, &row);
}

} // namespace

QSize AvailableDialogArea(const QWidget& dialog) {
    const QScreen* screen = dialog.screen();
    if (!screen)
        return {QWIDGETSIZE_MAX, QWIDGETSIZE_MAX};
    return screen->availableGeometry().size() - kFrameAllowance;
}

void FitToRoom(QDialog& dialog, QBoxLayout& outer, QLayout& scrolled, QLayout* keptInView, QSize room) {
    const QSize natural = dialog.sizeHint();
    if (natural.width() <= room.width() && natural.height() <= room.height())
        return;
    const int index = outer.indexOf(&scrolled);
    if (keptInView)
        MoveRow(scrolled, *keptInView, outer, index + 1);
    outer.removeItem(&scrolled);
    scrolled.setParent(nullptr);
    auto* content = new QWidget;
    content->setLayout(&scrolled);
    // The contents keep their natural size and scroll; they are never squeezed.
    const QSize contentSize = content->sizeHint();
    content->setMinimumSize(contentSize);
    auto* area = new RoomScrollArea;
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setWidget(content);
    area->setRoom(contentSize);
    outer.insertWidget(index, area);
    outer.invalidate();
    // Whatever the dialog still exceeds the room by is taken from the scroll area, which then
    // needs space for its scroll bars as well.
    const QSize over = dialog.sizeHint() - room;
    const int bar = area->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, area);
    QSize fitted = contentSize;
    if (over.height() > 0)
        fitted = QSize(std::min(contentSize.width() + bar, contentSize.width() - over.width()),
                       contentSize.height() - over.height());
    if (over.width() > 0)
        fitted = QSize(contentSize.width() - over.width(),
                       std::min(fitted.height() + bar, contentSize.height() - over.height()));
    area->setRoom(fitted.expandedTo(QSize(bar * 4, bar * 4)));
}

} // namespace vetorlan
