#pragma once

#include <QSize>

class QBoxLayout;
class QDialog;
class QLayout;
class QWidget;

namespace vetorlan {

// The room a dialog may take on its screen: the screen's available area less the window
// manager's frame, which is not known before the dialog is first shown.
QSize AvailableDialogArea(const QWidget& dialog);

// Keeps a dialog that its layout holds at its natural size within `room`. When the dialog is
// larger, `scrolled` (an item of `outer`) moves into a scroll area that takes what room is left,
// and `keptInView` (a row inside `scrolled`, such as the buttons) moves below it.
void FitToRoom(QDialog& dialog, QBoxLayout& outer, QLayout& scrolled, QLayout* keptInView, QSize room);

} // namespace vetorlan
