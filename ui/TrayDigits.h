#pragma once

#include <QRect>
#include <QString>

class QPainter;

namespace vetorlan {

// Paints a temperature ("−40", "+12", "0": digits, '+' and U+2212) as large as fits `room`
// (device pixels), at its lower right, white in a dark outline that stays inside the room.
// The digits are the program's own: pixel fonts where the room is low, strokes above, so
// the tray icon loads no font file and reads the same on every desktop.
void PaintTrayDigits(QPainter& p, const QString& text, const QRect& room);

// The top row of what PaintTrayDigits covers in `room`: below the room's top where pixel
// digits are used, the room's top where strokes fill it.
int TrayDigitsTop(const QRect& room);

} // namespace vetorlan
