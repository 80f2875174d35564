#include "core/Settings.h"
#include "tests/core/DefaultOptionsFile.h"
#include "tests/support/TestSupport.h"

#include <QList>
#include <gtest/gtest.h>

namespace vetorlan {
namespace {

using test::kDefaultFile;

QList<QByteArray> defaultLines() {
    QList<QByteArray> lines = kDefaultFile.split('\n');
    lines.removeLast();
    for (QByteArray& line : lines)
        line.chop(1);
    return lines;
}

QByteArray joinLines(const QList<QByteArray>& lines, const QByteArray& end = "\r\n") {
    QByteArray out;
    for (const QByteArray& line : lines)
        out += line + end;
    return out;
}

// The default file with line `number` (1-based) replaced.
QByteArray withLine(int number, const QByteArray& text) {
    QList<QByteArray> lines = defaultLines();
    lines[number - 1] = text;
    return joinLines(lines);
}

TEST(Settings, DefaultsSerialiseToTheDefaultFile) {
    EXPECT_EQ(SerializeSettings(Settings{}), kDefaultFile);
    EXPECT_EQ(ParseSettings(kDefaultFile), Settings{});
}

TEST(Settings, EveryFieldRoundTripsInWindows1251) {
    Settings s;
    s.AutoRun = "False";
    s.StartTray = "True";
    s.WorkMode = "DirectConn";
    s.TimeLoad = "23:59";
    s.ActualWait = -7;
    s.PauseOnLine = "100";
    s.PathNimboraCopy = QString::fromUtf8("/home/юзер/Прогноз=погоды/Nimbora.htm");
    s.IndexStyle = "List";
    s.TranslitFileName = " True ";
    const QByteArray file = SerializeSettings(s);
    EXPECT_TRUE(file.contains(test::cp1251("PathNimboraCopy=/home/юзер/Прогноз=погоды/Nimbora.htm\r\n")));
    EXPECT_TRUE(file.contains("ActualWait=-7\r\n"));
    EXPECT_EQ(ParseSettings(file), s);
}

TEST(Settings, LineBreaksInsideAValueNeverShiftTheFile) {
    Settings s;
    s.PathNimboraCopy = "c:\\a\r\nb\nc";
    const QByteArray file = SerializeSettings(s);
    EXPECT_EQ(file.count("\r\n"), 39);
    EXPECT_EQ(ParseSettings(file)->PathNimboraCopy, "c:\\abc");
}

TEST(Settings, KeysArePositional) {
    std::optional<Settings> s = ParseSettings(withLine(6, "StartTray=False"));
    ASSERT_TRUE(s);
    EXPECT_EQ(s->AutoRun, "False");

    QList<QByteArray> lines = defaultLines();
    std::swap(lines[33], lines[34]); // Sound=True and MSGError=True swap places
    lines[33] = "MSGError=Off";
    s = ParseSettings(joinLines(lines));
    ASSERT_TRUE(s);
    EXPECT_EQ(s->Sound, "Off");
    EXPECT_EQ(s->MSGError, "True");

    // Section, braces and version lines are never looked at.
    lines = defaultLines();
    for (int skipped : {2, 3, 4, 5, 10, 11, 14, 15, 19, 20, 23, 24, 26, 27, 31, 32, 38, 39})
        lines[skipped - 1] = "garbage = here";
    EXPECT_EQ(ParseSettings(joinLines(lines)), Settings{});
}

TEST(Settings, ValueIsEverythingAfterTheFirstEqualsSignUntrimmed) {
    struct Row {
        int line;
        QByteArray text;
        QString Settings::*field;
        const char* expected;
    };
    const Row rows[] = {
        {29, "PathNimboraCopy=d:\\a=b\\Nimbora.htm", &Settings::PathNimboraCopy, "d:\\a=b\\Nimbora.htm"},
        {29, "PathNimboraCopy=", &Settings::PathNimboraCopy, ""},
        {6, "AutoRun= True", &Settings::AutoRun, " True"},
        {6, "AutoRun=True ", &Settings::AutoRun, "True "},
        {8, "DialUp", &Settings::WorkMode, "DialUp"},
        {16, "", &Settings::TimeLoad, ""},
        {37, "=", &Settings::TranslitFileName, ""},
        {36, "IndexStyle==List", &Settings::IndexStyle, "=List"},
    };
    for (const Row& row : rows) {
        const std::optional<Settings> s = ParseSettings(withLine(row.line, row.text));
        ASSERT_TRUE(s) << row.text.constData();
        EXPECT_EQ((*s).*row.field, QString::fromUtf8(row.expected)) << row.text.constData();
    }
}

TEST(Settings, ActualWaitIsTheLeadingNumberRoundedHalfToEven) {
    struct Row {
        const char* text;
        std::optional<std::int16_t> value;
    };
    const Row rows[] = {
        {"12", 12},         {"7h", 7},
        {"abc", 0},         {"", 0},
        {"  5", 5},         {"\t3x", 3},
        {"7.5", 8},         {"6.5", 6},
        {"6.51", 7},        {"6.49", 6},
        {"0.5", 0},         {"1.5", 2},
        {"-2.5", -2},       {"-3.5", -4},
        {"-7", -7},         {"+4", 4},
        {"-", 0},           {".", 0},
        {"5.", 5},          {"32767", 32767},
        {"32767.4", 32767}, {"32767.5", {}},
        {"-32768", -32768}, {"-32768.5", -32768},
        {"32768", {}},      {"-32769", {}},
        {"40000", {}},      {"99999999999999999999", {}},
        {"0000012", 12},    {"12.500000000001", 13},
        {"12.5000000", 12}, {"1 2", 1},
    };
    for (const Row& row : rows)
        EXPECT_EQ(LeadingNumber16(QString::fromUtf8(row.text)), row.value) << row.text;
}

TEST(Settings, ActualWaitLineIsReadFromTheValue) {
    const std::pair<QByteArray, int> rows[] = {{"ActualWait=7h", 7},  {"ActualWait=abc", 0}, {"ActualWait=7.5", 8},
                                               {"ActualWait=6.5", 6}, {"ActualWait= 3", 3},  {"9", 9}};
    for (const auto& [text, value] : rows) {
        const std::optional<Settings> s = ParseSettings(withLine(18, text));
        ASSERT_TRUE(s) << text.constData();
        EXPECT_EQ(s->ActualWait, value) << text.constData();
    }
}

// A damaged file keeps the user's values; only what is missing or out of range is default.
TEST(Settings, DamagedFileKeepsWhatCouldBeRead) {
    Settings mine;
    mine.MultiLoad = "True";
    mine.WorkMode = "DirectConn";
    mine.IndexStyle = "List";
    mine.TranslitFileName = "True";
    QList<QByteArray> lines = SerializeSettings(mine).split('\n');
    lines.removeLast();
    for (QByteArray& line : lines)
        line.chop(1);

    lines[17] = "ActualWait=40000";
    Settings expected = mine;
    EXPECT_EQ(ParseSettings(joinLines(lines)), expected);

    expected.TranslitFileName = "False"; // line 37 lost
    EXPECT_EQ(ParseSettings(joinLines(lines.mid(0, 36))), expected);
    expected.IndexStyle = "Animation"; // line 36 cut inside its key
    EXPECT_EQ(ParseSettings(joinLines(lines.mid(0, 35)) + "IndexSt"), expected);
    EXPECT_EQ(ParseSettings("Vetorlan Options"), Settings{});
}

TEST(Settings, UnrecognisedFiles) {
    const QByteArray cases[] = {
        "",
        "\r\n",
        withLine(1, "Vetorlan Options "),
        withLine(1, "vetorlan options"),
        withLine(1, "VETORLAN OPTIONS"),
        withLine(1, " Vetorlan Options"),
        withLine(1, "\xEF\xBB\xBFVetorlan Options"),
    };
    for (const QByteArray& file : cases)
        EXPECT_FALSE(ParseSettings(file)) << file.left(40).constData();
}

TEST(Settings, ShortOrForeignLineEndsStillLoad) {
    const QList<QByteArray> lines = defaultLines();
    const QByteArray cases[] = {
        joinLines(lines.mid(0, 37)),                    // ends right after line 37
        joinLines(lines.mid(0, 37)).chopped(2),         // line 37 without its line end
        joinLines(lines.mid(0, 36)) + "\r\n",           // line 37 empty
        joinLines(lines, "\n"),                         // edited on Linux
        joinLines(lines, "\r"),                         // lone CR
        joinLines(lines) + "trailing junk\r\nmore\r\n", // extra lines are ignored
    };
    int row = 0;
    for (const QByteArray& file : cases) {
        const std::optional<Settings> s = ParseSettings(file);
        ASSERT_TRUE(s) << "case " << row;
        Settings expected;
        if (row == 2)
            expected.TranslitFileName = "";
        EXPECT_EQ(*s, expected) << "case " << row;
        ++row;
    }
}

} // namespace
} // namespace vetorlan
