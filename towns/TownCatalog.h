#pragma once

#include <QString>
#include <array>
#include <cstdint>

namespace vetorlan {

// A town: five-digit station index, "|", the Russian name.
using TownEntry = QString;

constexpr int kRegionSlots = 270; // the largest region fills the array exactly
constexpr int kCatalogSize = 400; // towns in all three regions
constexpr int kRegionCount = 3;   // 0 Russia, 1 Moscow and region, 2 CIS

// The entries of the region filled last, slots 1..count (slot 0 unused). A fill overwrites
// slots 1..N and the count; higher slots keep what an earlier fill left there.
struct RegionTownList {
    std::array<TownEntry, kRegionSlots + 1> entries;
    std::int16_t count = 0;

    const TownEntry& operator[](int slot) const { return entries[slot]; }
};

void FillRussiaTowns(RegionTownList& list);
void FillMoscowTowns(RegionTownList& list);
void FillCisTowns(RegionTownList& list);
// Fills the region by its number (0, 1, 2); other numbers leave the list as it is.
void FillRegion(RegionTownList& list, int region);

// Captions of the regions in the region list: "Города России", "Москва и область", "Страны СНГ".
QString RegionCaption(int region);

// Number of towns of a region (270, 47, 83); 0 for other numbers.
int RegionSize(int region);

// Region (0..2) and slot (1..) of a catalogue position 1..400; -1 and 0 outside it.
int RegionOfPosition(int position);
int SlotOfPosition(int position);
// First catalogue position of a region: 1, 271, 318; 0 for other numbers.
int FirstPositionOfRegion(int region);

// The entry at a catalogue position 1..400, read from the constant tables; empty outside.
TownEntry CatalogEntry(int position);

// Characters 1..5 and 7.. of an entry.
inline QString TownIndex(const TownEntry& entry) {
    return entry.left(5);
}
inline QString TownName(const TownEntry& entry) {
    return entry.mid(6);
}

} // namespace vetorlan
