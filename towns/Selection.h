#pragma once

#include "towns/Base.h"

#include <array>
#include <cstdint>

namespace vetorlan {

// The towns selected in the multi-town list, slots 1..SelectedCount in row order (slot 0
// unused). Slots above the count keep older values and are never read.
extern std::array<TownEntry, kCatalogSize + 1> SelectedTowns;
extern std::int16_t SelectedCount;

} // namespace vetorlan
