#include "towns/TownLists.h"

#include "tests/support/TestSupport.h"

#include <QFile>
#include <algorithm>
#include <gtest/gtest.h>
#include <string_view>

namespace vetorlan {
namespace {

TEST(GorodIniFormatTest, FreeFormatNumbersAndLineEnd) {
    const struct {
        int region, town;
        const char* bytes;
    } cases[] = {
        {1, 22, " 1  22 \r\n"}, {-1, -1, "-1 -1 \r\n"},   {0, 0, " 0  0 \r\n"},
        {2, -1, " 2 -1 \r\n"},  {0, 269, " 0  269 \r\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatGorodIni({c.region, c.town}), QByteArray(c.bytes)) << c.bytes;
}

TEST(GorodaIniFormatTest, CountThenAscendingRowsWithoutLineEnd) {
    const struct {
        QList<int> rows;
        const char* bytes;
    } cases[] = {
        {{0, 270, 399}, " 3  0  270  399 "},
        {{399, 0, 270}, " 3  0  270  399 "}, // ascending whatever the order given
        {{5, 5, 7}, " 2  5  7 "},            // a row is written once
        {{-1, 4}, " 1  4 "},                 // no impossible rows
        {{12}, " 1  12 "},
        {{}, " 0 "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatGorodaIni(c.rows), QByteArray(c.bytes)) << c.bytes;
}

TEST(FreeFormatReaderTest, SeparatorsSignsAndStops) {
    using namespace std::literals;
    const struct {
        std::string_view text;
        QList<long long> numbers;
    } cases[] = {
        {" 1  22 \r\n"sv, {1, 22}},
        {"-1 -1 \r\n"sv, {-1, -1}},
        {"1,22"sv, {1, 22}},
        {"1 ,, \t22\n\n3\r"sv, {1, 22, 3}},
        {"+5 -0 007"sv, {5, 0, 7}},
        {""sv, {}},
        {" \r\n,\t "sv, {}},
        {"3 1 x 2"sv, {3, 1}},
        {"3 1 2x 4"sv, {3, 1}},
        {"1.5 2"sv, {}},
        {"- 4"sv, {}},
        {"4 --5"sv, {4}},
        {"1;2"sv, {}},
        {"7 \0 8"sv, {7}},
        {"7\0 8"sv, {}},
        {"\xEF\xBB\xBF"
         "1 2"sv,
         {}},
        {"99999999999999999999999 1"sv, {9223372036854775807LL, 1}},
        {"-99999999999999999999999"sv, {-9223372036854775807LL}},
        {"9223372036854775807 9223372036854775808"sv, {9223372036854775807LL, 9223372036854775807LL}},
    };
    for (const auto& c : cases) {
        const QByteArray text(c.text.data(), qsizetype(c.text.size()));
        EXPECT_EQ(ReadFreeFormatNumbers(text), c.numbers) << text.toStdString();
    }
}

TEST(GorodIniReaderTest, ChoicesAndDamage) {
    const struct {
        const char* text;
        bool present;
        int region, town;
    } cases[] = {
        {" 1  22 \r\n", true, 1, 22},
        {"-1 -1 \r\n", true, -1, -1},
        {"2,82", true, 2, 82},
        {"0\r\n269", true, 0, 269},
        {" 1  22  17 junk", true, 1, 22},
        {"1 47", true, 1, -1}, // Moscow has towns 0..46
        {"2 83", true, 2, -1},
        {"0 -7", true, 0, -1},
        {"-1 5", true, -1, -1}, // a town without a region means nothing
        {"3 0", false, 0, 0},   // no fourth region
        {"-2 0", false, 0, 0},
        {"1", false, 0, 0},
        {"", false, 0, 0},
        {"abc", false, 0, 0},
        {"1 x", false, 0, 0},
        {"4294967297 1", false, 0, 0},
        {"1 4294967297", true, 1, -1},
    };
    for (const auto& c : cases) {
        const auto choice = ParseGorodIni(QByteArray(c.text));
        ASSERT_EQ(choice.has_value(), c.present) << c.text;
        if (c.present) {
            EXPECT_EQ(choice->regionRow, c.region) << c.text;
            EXPECT_EQ(choice->townRow, c.town) << c.text;
        }
    }
}

TEST(GorodaIniReaderTest, RowsAndDamage) {
    const struct {
        const char* text;
        QList<int> rows;
    } cases[] = {
        {" 3  0  270  399 ", {0, 270, 399}},
        {"3,0,270,399\r\n", {0, 270, 399}},
        {"3\n0\n270\n399", {0, 270, 399}},
        {" 0 ", {}},
        {"", {}},
        {"abc", {}},
        {"3 0 400 5", {0}}, // row outside the list ends what is taken
        {"3 0 -1 5", {0}},
        {"3 10 20", {10, 20}},    // fewer numbers than the count
        {"2 10 20 30", {10, 20}}, // the count says how many are taken
        {"3 10 x 30", {10}},      // text that is not a number
        {"3 7 7 9", {7, 9}},      // duplicates dropped
        {"3 9 1 5", {9, 1, 5}},
        {"-2 1 2", {}},  // negative count
        {"401 1 2", {}}, // a count no list can have
        {"99999999999999999999 1 2", {}},
        {"2 1 99999999999999999999", {1}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseGorodaIni(QByteArray(c.text), 400), c.rows) << c.text;
}

TEST(GorodaIniReaderTest, RowsAreCheckedAgainstTheGivenRowCount) {
    EXPECT_EQ(ParseGorodaIni(" 3  0  4  5 ", 5), QList<int>({0, 4}));
    EXPECT_EQ(ParseGorodaIni(" 1  0 ", 0), QList<int>());
}

TEST(TownListsRoundTripTest, WhatIsWrittenIsReadBack) {
    const QList<QList<int>> selections = {{0}, {399}, {0, 270, 399}, {5, 3, 1}};
    for (const QList<int>& rows : selections) {
        QList<int> expected = rows;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(ParseGorodaIni(FormatGorodaIni(rows), 400), expected);
    }
    QList<int> all;
    for (int row = 0; row < 400; ++row)
        all.append(row);
    EXPECT_EQ(ParseGorodaIni(FormatGorodaIni(all), 400), all);
    for (SingleTownChoice choice : {SingleTownChoice{1, 22}, SingleTownChoice{-1, -1}, SingleTownChoice{2, 82}}) {
        const auto read = ParseGorodIni(FormatGorodIni(choice));
        ASSERT_TRUE(read);
        EXPECT_EQ(read->regionRow, choice.regionRow);
        EXPECT_EQ(read->townRow, choice.townRow);
    }
}

TEST(TownListsFileTest, WritersReplaceTheFiles) {
    test::TempProgramFolder folder;
    ASSERT_TRUE(WriteGorodIni({1, 22}));
    EXPECT_EQ(folder.read("gorod.ini"), QByteArray(" 1  22 \r\n"));
    ASSERT_TRUE(WriteGorodIni({-1, -1}));
    EXPECT_EQ(folder.read("gorod.ini"), QByteArray("-1 -1 \r\n"));
    ASSERT_TRUE(WriteGorodaIni({399, 0, 270}));
    EXPECT_EQ(folder.read("goroda.ini"), QByteArray(" 3  0  270  399 "));
    ASSERT_TRUE(WriteGorodaIni({12}));
    EXPECT_EQ(folder.read("goroda.ini"), QByteArray(" 1  12 "));
    EXPECT_EQ(folder.entries(), QStringList({"gorod.ini", "goroda.ini"}));
}

TEST(TownListsFileTest, NoSelectionDeletesGorodaIni) {
    test::TempProgramFolder folder;
    ASSERT_TRUE(WriteGorodaIni({}));
    EXPECT_FALSE(folder.exists("goroda.ini"));
    ASSERT_TRUE(WriteGorodaIni({3}));
    ASSERT_TRUE(WriteGorodaIni({}));
    EXPECT_FALSE(folder.exists("goroda.ini"));
    EXPECT_TRUE(folder.entries().isEmpty());
}

TEST(TownListsFileTest, NamesMatchWhateverTheLetterCase) {
    test::TempProgramFolder folder;
    folder.write("GOROD.INI", "0 0");
    folder.write("Goroda.ini", " 1  4 ");
    ASSERT_TRUE(WriteGorodIni({2, 5}));
    ASSERT_TRUE(WriteGorodaIni({7, 8}));
    EXPECT_EQ(folder.entries().size(), 2);
    EXPECT_EQ(folder.read(folder.entries().contains("GOROD.INI") ? "GOROD.INI" : "gorod.ini"),
              QByteArray(" 2  5 \r\n"));
    ASSERT_TRUE(WriteGorodaIni({}));
    EXPECT_EQ(folder.entries().size(), 1);
}

} // namespace
} // namespace vetorlan
