// Latin names of the town pages and the renaming of the page files.
#include "forecast/LatinFileNames.h"
#include "tests/support/TestSupport.h"
#include "towns/Selection.h"

#include <QDir>
#include <gtest/gtest.h>

namespace vetorlan {
namespace {

struct NameRow {
    const char* russian;
    const char* latin;
};

const NameRow kNames[] = {
    {"Барнаул", "Barnaul"},
    {"Верхне Пенжино", "Verhne Penjino"},
    {"Улан-Удэ", "Ulan-ude"},
    {"Жезказган (Джезказган)", "Jezkazgan (djezkazgan)"},
    {"Санкт-Петербург", "Sankt-peterburg"},
    {"Тверь", "Tver'"},
    {"Анадырь", "Anadir'"},
    {"Чита", "4ita"},
    {"Шахты", "6ahti"},
    {"Щелково", "6elkovo"},
    {"Южно-Сахалинск", "Yjno-sahalinsk"},
    {"Йошкар-Ола", "Yo6kar-ola"},
    {"Великий Новгород", "Velikiy Novgorod"},
    {"ЁЛКИ-ПАЛКИ", "Elki-palki"},
    {"Объячево", "Ob'a4evo"},
    {"Гусь-Хрустальный", "Gus'-hrustal'niy"},
    {"рим\tмир\nдом\vлес\fсад\rлуг", "Rim\tMir\nDom\vLes\fSad\rLug"},
    {"Мыс Шмидта", "Mis 6midta"},
    {"NEW york 2", "New York 2"},
    {"", ""},
};

TEST(LatinTownName, ListedNames) {
    for (const NameRow& row : kNames) {
        const QString russian = QString::fromUtf8(row.russian);
        const QString latin = LatinTownName(russian);
        EXPECT_EQ(latin, QString::fromUtf8(row.latin)) << row.russian;
        EXPECT_EQ(latin.size(), russian.size()) << row.russian;
    }
}

TEST(LatinTownName, NullCharacterSeparatesWords) {
    EXPECT_EQ(LatinTownName(QString("ab") + QChar(0) + "cd"), QString("Ab") + QChar(0) + "Cd");
}

TEST(LatinTownName, EveryCatalogueNameBecomesPlainAscii) {
    for (int position = 1; position <= kCatalogSize; ++position) {
        const QString latin = LatinTownName(TownName(CatalogEntry(position)));
        for (QChar c : latin)
            EXPECT_LT(c.unicode(), 128) << qPrintable(latin);
    }
}

class MakeLatinFileNamesTest : public ::testing::Test {
protected:
    void select(const QStringList& entries) {
        for (const QString& entry : entries)
            towns_.Add(entry);
    }
    FsStatus MakeLatinFileNames() { return vetorlan::MakeLatinFileNames(towns_, names_); }
    test::TempProgramFolder folder_;
    TownSelection towns_;
    TownFileNameList names_;
};

TEST_F(MakeLatinFileNamesTest, RenamesFoundPagesAndKeepsSlotsOfMissingOnes) {
    select({"29838|Барнаул", "27402|Тверь", "30758|Чита"});
    names_[2] = "Tver'";
    folder_.write("Барнаул.htm", "barnaul page");
    folder_.write("Чита.htm", "chita page");
    folder_.write("4ita.htm", "yesterday");

    EXPECT_TRUE(MakeLatinFileNames());
    EXPECT_EQ(folder_.entries(), (QStringList{"4ita.htm", "Barnaul.htm"}));
    EXPECT_EQ(folder_.read("Barnaul.htm"), "barnaul page");
    EXPECT_EQ(folder_.read("4ita.htm"), "chita page");
    EXPECT_EQ(names_[1], "Barnaul");
    EXPECT_EQ(names_[2], "Tver'");
    EXPECT_EQ(names_[3], "4ita");
}

TEST_F(MakeLatinFileNamesTest, OlderFileInAnotherCaseIsReplaced) {
    select({"29838|Барнаул"});
    folder_.write("Барнаул.htm", "new");
    folder_.write("BARNAUL.HTM", "old");
    EXPECT_TRUE(MakeLatinFileNames());
    EXPECT_EQ(folder_.entries(), QStringList{"Barnaul.htm"});
    EXPECT_EQ(folder_.read("Barnaul.htm"), "new");
}

TEST_F(MakeLatinFileNamesTest, NameDesignatingThePageItselfKeepsThePage) {
    select({"00001|rome", "00002|Oslo", "00003|2024"});
    folder_.write("rome.htm", "rome page");
    folder_.write("Oslo.htm", "oslo page");
    folder_.write("2024.htm", "digits page");
    EXPECT_TRUE(MakeLatinFileNames());
    EXPECT_EQ(folder_.entries(), (QStringList{"2024.htm", "Oslo.htm", "Rome.htm"}));
    EXPECT_EQ(folder_.read("Rome.htm"), "rome page");
    EXPECT_EQ(folder_.read("Oslo.htm"), "oslo page");
    EXPECT_EQ(folder_.read("2024.htm"), "digits page");
    EXPECT_EQ(names_[1], "Rome");
}

TEST_F(MakeLatinFileNamesTest, FileErrorEndsTheProcedureWithoutLosingPages) {
    select({"29838|Барнаул", "30758|Чита"});
    folder_.write("Барнаул.htm", "barnaul page");
    folder_.write("Чита.htm", "chita page");
    ASSERT_TRUE(QDir(folder_.path()).mkpath("Barnaul.htm/inside"));

    const FsStatus status = MakeLatinFileNames();
    EXPECT_FALSE(status.ok);
    EXPECT_FALSE(status.error.isEmpty());
    EXPECT_EQ(folder_.read("Барнаул.htm"), "barnaul page");
    EXPECT_EQ(folder_.read("Чита.htm"), "chita page"); // not reached
    EXPECT_TRUE(names_[2].isEmpty());
}

} // namespace
} // namespace vetorlan
