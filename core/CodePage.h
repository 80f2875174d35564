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

// The characters of `text` that Windows-1251 cannot hold, each once, in order of appearance
// (a surrogate pair is one character). Empty when the text can be stored as it is.
QString CharactersOutsideCp1251(QStringView text);
// The refusal naming such characters, for a path the settings file could not keep.
QString UnstorableCharactersMessage(QStringView characters);

} // namespace vetorlan
