#pragma once

#include "forecast/LoadPipeline.h"

#include <QIcon>
#include <QPixmap>
#include <QSize>

class QPainter;

namespace vetorlan {

// The pictures of the main window and the tray, drawn at run time so they stay sharp at
// every device pixel ratio. Sizes are in logical pixels.
// The window's background and caption bar are painted straight onto the window, only where
// it is repainted, so no window-sized picture stays in memory while the program idles.
void PaintBackground(QPainter& p, QSize size, bool loading); // Picture1 / Picture2
void PaintCaption(QPainter& p, QSize size);                  // imgCaption
QPixmap CloseButtonPicture(QSize size, qreal dpr);           // picButton 0
QPixmap TrayButtonPicture(QSize size, qreal dpr);            // picButton 1
QPixmap SaveButtonPicture(QSize size, qreal dpr);            // Command7
QIcon TrayIconPicture(TrayIconKind kind);                    // Picture3 / Picture5 / Picture4

} // namespace vetorlan
