#include "towns/TownCatalog.h"
#include "towns/Selection.h"

#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

namespace vetorlan {
namespace {

void FillAll(RegionTownList& towns, int region) {
    FillRegion(towns, region);
    ASSERT_EQ(towns.count, RegionSize(region));
}

struct PositionCase {
    int position;
    int region;
    int slot;
    const char* entry;
};

class CatalogPositionTest : public ::testing::TestWithParam<PositionCase> {};

TEST_P(CatalogPositionTest, EntryRegionAndSlot) {
    RegionTownList towns;
    const PositionCase& c = GetParam();
    EXPECT_EQ(RegionOfPosition(c.position), c.region);
    EXPECT_EQ(SlotOfPosition(c.position), c.slot);
    EXPECT_EQ(CatalogEntry(c.position), QString::fromUtf8(c.entry));
    // The same entry is reached the way the list handler does it: fill the region, take the slot.
    FillRegion(towns, c.region);
    EXPECT_EQ(towns[c.slot], QString::fromUtf8(c.entry));
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, CatalogPositionTest,
    ::testing::Values(PositionCase{1, 0, 1, "29862|Абакан"}, PositionCase{20, 0, 20, "17310|Аланья"},
                      PositionCase{21, 0, 21, "17350|Адана"}, PositionCase{270, 0, 270, "24959|Якутск"},
                      PositionCase{271, 1, 1, "27521|Апрелевка"}, PositionCase{293, 1, 23, "27612|Москва"},
                      PositionCase{317, 1, 47, "27528|Щелково"}, PositionCase{318, 2, 1, "35746|Аральск"},
                      PositionCase{400, 2, 83, "33990|Ялта"}));

TEST(CatalogTest, RegionsCountsAndCaptions) {
    const int sizes[] = {270, 47, 83};
    const int firsts[] = {1, 271, 318};
    const char* captions[] = {"Города России", "Москва и область", "Страны СНГ"};
    int total = 0;
    for (int region = 0; region < kRegionCount; ++region) {
        EXPECT_EQ(RegionSize(region), sizes[region]);
        EXPECT_EQ(FirstPositionOfRegion(region), firsts[region]);
        EXPECT_EQ(RegionCaption(region), QString::fromUtf8(captions[region]));
        total += RegionSize(region);
    }
    EXPECT_EQ(total, kCatalogSize);
    for (int bad : {-1, 3, 100}) {
        EXPECT_EQ(RegionSize(bad), 0);
        EXPECT_EQ(FirstPositionOfRegion(bad), 0);
        EXPECT_TRUE(RegionCaption(bad).isEmpty());
    }
}

TEST(CatalogTest, PositionsOutsideTheCatalogueHaveNoEntry) {
    for (int bad : {-5, 0, 401, 100000}) {
        EXPECT_EQ(RegionOfPosition(bad), -1) << bad;
        EXPECT_EQ(SlotOfPosition(bad), 0) << bad;
        EXPECT_TRUE(CatalogEntry(bad).isEmpty()) << bad;
    }
}

// Every entry: five digits, "|", a name of Cyrillic letters, blanks, hyphens, brackets;
// indices and names unique across the whole catalogue; positions map back to region slots.
TEST(CatalogTest, EveryEntryIsWellFormedAndUnique) {
    const QRegularExpression shape(QStringLiteral("^\\d{5}\\|[А-Яа-яЁё][А-Яа-яЁё ()\\-]*[А-Яа-яЁё)]$"));
    QSet<QString> indices, names;
    for (int position = 1; position <= kCatalogSize; ++position) {
        const TownEntry entry = CatalogEntry(position);
        SCOPED_TRACE(position);
        EXPECT_TRUE(shape.match(entry).hasMatch()) << entry.toStdString();
        const int index = TownIndex(entry).toInt();
        EXPECT_GE(index, 17310);
        EXPECT_LE(index, 38933);
        indices.insert(TownIndex(entry));
        names.insert(TownName(entry));
        EXPECT_EQ(FirstPositionOfRegion(RegionOfPosition(position)) + SlotOfPosition(position) - 1, position);
    }
    EXPECT_EQ(indices.size(), kCatalogSize);
    EXPECT_EQ(names.size(), kCatalogSize);
}

TEST(CatalogTest, IndexAndNameOfEntriesWithBrackets) {
    RegionTownList towns;
    FillAll(towns, 2);
    const struct {
        int slot;
        const char* index;
        const char* name;
    } cases[] = {{24, "35671", "Жезказган (Джезказган)"}, {68, "38507", "Туркменбаши (Красноводск)"}};
    for (const auto& c : cases) {
        EXPECT_EQ(TownIndex(towns[c.slot]), QString::fromLatin1(c.index));
        EXPECT_EQ(TownName(towns[c.slot]), QString::fromUtf8(c.name));
    }
    FillAll(towns, 1);
    EXPECT_EQ(TownName(towns[23]), QStringLiteral("Москва"));
    EXPECT_EQ(TownIndex(towns[23]), QStringLiteral("27612"));
}

TEST(CatalogTest, OrderIsTheCataloguesNotAlphabetical) {
    RegionTownList towns;
    FillAll(towns, 0);
    // "Артем" comes before "Александров-Гай", "Аланья" after "Астрахань".
    EXPECT_EQ(towns[7], QStringLiteral("31974|Артем"));
    EXPECT_EQ(towns[8], QStringLiteral("34391|Александров-Гай"));
    EXPECT_EQ(towns[19], QStringLiteral("34880|Астрахань"));
}

TEST(CatalogTest, AFillOverwritesItsSlotsAndKeepsHigherOnes) {
    RegionTownList towns;
    FillRussiaTowns(towns);
    EXPECT_EQ(towns.count, 270);
    const TownEntry russian48 = towns[48];
    const TownEntry russian84 = towns[84];
    FillMoscowTowns(towns);
    EXPECT_EQ(towns.count, 47);
    for (int slot = 1; slot <= 47; ++slot)
        EXPECT_EQ(towns[slot], CatalogEntry(270 + slot)) << slot;
    EXPECT_EQ(towns[48], russian48);
    FillCisTowns(towns);
    EXPECT_EQ(towns.count, 83);
    for (int slot = 1; slot <= 83; ++slot)
        EXPECT_EQ(towns[slot], CatalogEntry(317 + slot)) << slot;
    EXPECT_EQ(towns[84], russian84);
    EXPECT_EQ(towns[270], QStringLiteral("24959|Якутск"));
}

TEST(CatalogTest, UnknownRegionAndCatalogReadsLeaveTheArrayAlone) {
    RegionTownList towns;
    FillMoscowTowns(towns);
    const auto before = towns.entries;
    FillRegion(towns, -1);
    FillRegion(towns, 3);
    for (int position = 1; position <= kCatalogSize; ++position)
        (void)CatalogEntry(position);
    EXPECT_EQ(towns.count, 47);
    EXPECT_EQ(towns.entries, before);
}

// Entries taken from the array stay valid and unchanged after later fills.
TEST(CatalogTest, CopiedEntriesSurviveLaterFills) {
    RegionTownList towns;
    FillRussiaTowns(towns);
    TownSelection selected;
    selected.Add(towns[1]);
    FillCisTowns(towns);
    selected.Add(towns[83]);
    FillMoscowTowns(towns);
    towns.entries[1].append(QStringLiteral("x")); // a caller editing its copy changes no table
    FillRussiaTowns(towns);
    EXPECT_EQ(selected[1], QStringLiteral("29862|Абакан"));
    EXPECT_EQ(selected[2], QStringLiteral("33990|Ялта"));
    EXPECT_EQ(towns[1], QStringLiteral("29862|Абакан"));
    EXPECT_EQ(CatalogEntry(271), QStringLiteral("27521|Апрелевка"));
}

} // namespace
} // namespace vetorlan
