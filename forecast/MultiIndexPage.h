#pragma once

#include "core/FsStatus.h"

#include <QByteArray>

namespace vetorlan {

// The index page's bytes for the selected towns (Windows-1251): the animation page when
// IndexStyle is exactly "Animation", else the list page. Reads SelectedTowns,
// SelectedCount, TownFileNames and AppSettings().
QByteArray IndexPageText();

// Writes "Nimbora.htm" in the program folder (old or whole new page). A file error is returned.
FsStatus WriteIndexPage();

} // namespace vetorlan
