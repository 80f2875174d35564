#pragma once

#include "ui/TrayIconKind.h"

#include <QIcon>
#include <QPixmap>
#include <QSize>

class QPainter;

namespace vetorlan {

// The pictures of the main window and the tray, drawn at run time so they stay sharp at
// every device pixel ratio. Sizes are in logical pixels.
// The window's background and caption bar are painted straight onto the window, only where
// it is repainted, so no window-sized picture stays in memory while the program idles.
// Idle / loading; `dirty` is the part being repainted.
void PaintBackground(QPainter& p, QSize size, bool loading, const QRect& dirty);
void PaintCaption(QPainter& p, QSize size);        // caption bar
QPixmap CloseButtonPicture(QSize size, qreal dpr); // caption bar: close
QPixmap TrayButtonPicture(QSize size, qreal dpr);  // caption bar: to the tray
QPixmap SaveButtonPicture(QSize size, qreal dpr);  // saves the chosen towns
QIcon TrayIconPicture(TrayIconKind kind);          // normal / loading / error

} // namespace vetorlan
