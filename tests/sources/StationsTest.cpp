// The station table holds every catalogue town, in catalogue order, under its own name.
#include "sources/Stations.h"
#include "towns/TownCatalog.h"

#include <gtest/gtest.h>

namespace vetorlan {
namespace {

TEST(Stations, MatchTheCatalogueRowForRowAndAreFoundByIndex) {
    const QList<Station>& stations = AllStations();
    ASSERT_EQ(stations.size(), kCatalogSize);
    for (int position = 1; position <= kCatalogSize; ++position) {
        const TownEntry entry = CatalogEntry(position);
        const Station& row = stations[position - 1];
        EXPECT_EQ(row.index, TownIndex(entry)) << position;
        EXPECT_EQ(row.name, TownName(entry)) << position;
        EXPECT_FALSE(row.timeZone.isEmpty()) << position;
        EXPECT_EQ(FindStation(row.index), &row) << position;
    }
    const Station* moscow = FindStation(QStringLiteral("27612"));
    ASSERT_NE(moscow, nullptr);
    EXPECT_DOUBLE_EQ(moscow->latitude, 55.8333);
    EXPECT_DOUBLE_EQ(moscow->longitude, 37.6167);
    EXPECT_EQ(moscow->elevation, 156);
    EXPECT_EQ(moscow->timeZone, QStringLiteral("Europe/Moscow"));
    EXPECT_FALSE(FindStation(QStringLiteral("27653"))->elevation);   // no elevation in the table
    EXPECT_EQ(FindStation(QStringLiteral("37470"))->elevation, -19); // Дербент lies below sea level
    EXPECT_EQ(FindStation(QStringLiteral("00000")), nullptr);
}

} // namespace
} // namespace vetorlan
