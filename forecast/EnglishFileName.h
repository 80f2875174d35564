#pragma once

#include "core/FsStatus.h"
#include "towns/Base.h"

#include <QString>
#include <array>

namespace vetorlan {

// Per-town file names without folder and ".htm", parallel to SelectedTowns (slot 0 unused).
extern std::array<QString, kCatalogSize + 1> TownFileNames;

// The Latin form of a Russian town name: lower case, the letter table, proper case.
QString LatinTownName(const QString& russianName);

// Renames each selected town's page in the program folder to its Latin name and records
// the names in TownFileNames. A file error ends the procedure and is returned.
FsStatus MakeLatinFileNames();

} // namespace vetorlan
