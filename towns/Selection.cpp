#include "towns/Selection.h"

namespace vetorlan {

void TownSelection::Clear() {
    count = 0;
}

void TownSelection::Add(const TownEntry& entry) {
    if (count < kCatalogSize)
        entries[++count] = entry;
}

} // namespace vetorlan
