#include "towns/Selection.h"

namespace vetorlan {

std::array<TownEntry, kCatalogSize + 1> SelectedTowns;
std::int16_t SelectedCount = 0;

} // namespace vetorlan
