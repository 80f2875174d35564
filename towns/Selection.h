#pragma once

#include "towns/TownCatalog.h"

#include <array>
#include <cstdint>

namespace vetorlan {

// The towns selected in the multi-town list, slots 1..count in row order (slot 0 unused).
// Slots above the count keep older values and are never read.
struct TownSelection {
    std::array<TownEntry, kCatalogSize + 1> entries;
    std::int16_t count = 0;

    const TownEntry& operator[](int slot) const { return entries[slot]; }
    // Empties the selection; the slots keep their values.
    void Clear();
    // Puts the entry in the next slot; a full selection stays as it is.
    void Add(const TownEntry& entry);
};

} // namespace vetorlan
