#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace vetorlan {

// File contents are Windows-1251 on every platform; these convert them to and from the
// Unicode text the user interface and file names use. Unmappable characters become '?'.
QByteArray toCp1251(QStringView text);
QString fromCp1251(QByteArrayView bytes);

} // namespace vetorlan
