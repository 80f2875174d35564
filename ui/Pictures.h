#pragma once

#include "forecast/LoadPipeline.h"

#include <QIcon>
#include <QPixmap>
#include <QSize>

namespace vetorlan {

// The pictures of the main window and the tray, drawn at run time so they stay sharp at
// every device pixel ratio. Sizes are in logical pixels.
QPixmap BackgroundPicture(QSize size, bool loading, qreal dpr); // Picture1 / Picture2
QPixmap CaptionPicture(QSize size, qreal dpr);                  // imgCaption
QPixmap CloseButtonPicture(QSize size, qreal dpr);              // picButton 0
QPixmap TrayButtonPicture(QSize size, qreal dpr);               // picButton 1
QPixmap SaveButtonPicture(QSize size, qreal dpr);               // Command7
QIcon TrayIconPicture(TrayIconKind kind);                       // Picture3 / Picture5 / Picture4

} // namespace vetorlan
