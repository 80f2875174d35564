#pragma once

#include "core/FsStatus.h"
#include "core/Settings.h"
#include "forecast/LatinFileNames.h"

#include <QByteArray>

namespace vetorlan {

// The index page's bytes for the selected towns (Windows-1251): the animation page when
// IndexStyle is exactly "Animation", else the list page. Links the towns under `names` when
// TranslitFileName is set, else under their Russian names.
QByteArray IndexPageText(const TownSelection& towns, const TownFileNameList& names, const Settings& settings);

// Writes "Nimbora.htm" in the program folder (old or whole new page). A file error is returned.
FsStatus WriteIndexPage(const TownSelection& towns, const TownFileNameList& names, const Settings& settings);

} // namespace vetorlan
