#pragma once

#include "core/FsStatus.h"
#include "towns/Selection.h"

#include <QString>
#include <array>

namespace vetorlan {

// Per-town file names without folder and ".htm", parallel to a TownSelection (slot 0 unused).
using TownFileNameList = std::array<QString, kCatalogSize + 1>;

// The Latin form of a Russian town name: lower case, the letter table, proper case.
QString LatinTownName(const QString& russianName);

// Renames each selected town's page in the program folder to its Latin name and records
// the names in `names`. A file error ends the procedure and is returned.
FsStatus MakeLatinFileNames(const TownSelection& towns, TownFileNameList& names);

} // namespace vetorlan
