// The index page of a multi-town load, in both styles.
#include "forecast/IndexPage.h"
#include "core/ProgramFolder.h"
#include "core/Settings.h"
#include "forecast/LatinFileNames.h"
#include "tests/support/TestSupport.h"
#include "towns/Selection.h"

#include <gtest/gtest.h>

namespace vetorlan {
namespace {

using test::cp1251;

class IndexPageTest : public ::testing::Test {
protected:
    void SetUp() override { savedSettings_ = AppSettings(); }
    void TearDown() override { AppSettings() = savedSettings_; }
    void select(const QStringList& entries, const QStringList& fileNames = {}) {
        towns_.Clear();
        for (int i = 0; i < entries.size(); ++i) {
            towns_.Add(entries[i]);
            names_[i + 1] = fileNames.value(i);
        }
    }
    QByteArray IndexPageText() const { return vetorlan::IndexPageText(towns_, names_, AppSettings()); }
    FsStatus WriteIndexPage() const { return vetorlan::WriteIndexPage(towns_, names_, AppSettings()); }
    // The page split at its CR LF line ends (LF inside a line stays in it).
    static QList<QByteArray> lines(const QByteArray& page) {
        EXPECT_TRUE(page.endsWith("\r\n"));
        QList<QByteArray> result;
        qsizetype start = 0;
        for (qsizetype end; (end = page.indexOf("\r\n", start)) >= 0; start = end + 2)
            result << page.mid(start, end - start);
        return result;
    }
    Settings savedSettings_;
    TownSelection towns_;
    TownFileNameList names_;
};

const char kListRule[] = "<table width=400 cellpadding=0 cellspacing=0 border=0 align=center><td><hr size=1 "
                         "hoshade color=#FFFFFF></td></table>\r\n";

std::string listLink(const char* file, const char* name) {
    return std::string("<p align=\"center\"><a href=\"") + file +
           ".htm\"><font color=\"#FFFF00\" face=\"Arial, Helvetica, sans-serif\"><font size=\"5\">" + name +
           "</font></a></p>\n\r\n";
}

TEST_F(IndexPageTest, ListPageForOneTownByteForByte) {
    AppSettings().IndexStyle = "List";
    AppSettings().TranslitFileName = "False";
    select({"29838|Барнаул"});
    const std::string expected =
        std::string("<html>\r\n<head>\r\n"
                    "<meta http-equiv=\"content-type\" content=\"text/html; charset=windows-1251\">\r\n"
                    "<title>Прогноз погоды</title>\r\n</head>\r\n"
                    "<body bgcolor=white background=\"_i/main.gif\">\r\n"
                    "<p align=center><b style='mso-bidi-font-weight:Normal'><span style='font-size:26.0pt'><font "
                    "face=\"Times New Roman, Times, serif\" color=\"#FF0000\">Прогноз погоды</font><font face=\"Times "
                    "New Roman, Times, serif\"> </font></span></b></p>\r\n") +
        kListRule + listLink("Барнаул", "Барнаул") + kListRule + "</body>\r\n</html>\r\n";
    EXPECT_EQ(IndexPageText(), cp1251(expected.c_str()));
}

TEST_F(IndexPageTest, ListPageForThreeTownsWithLatinNames) {
    AppSettings().TranslitFileName = "True";
    for (const char* style : {"List", "animation", "", "Animation "}) {
        AppSettings().IndexStyle = style;
        select({"26477|Великие Луки", "30758|Чита", "12345|a|b"}, {"Velikie Luki", "4ita", "A|b"});
        const QList<QByteArray> page = lines(IndexPageText());
        ASSERT_EQ(page.size(), 14) << style;
        EXPECT_EQ(page[2], "<meta http-equiv=\"content-type\" content=\"text/html; charset=windows-1251\">");
        EXPECT_EQ(page[8] + "\r\n", cp1251(listLink("Velikie Luki", "Великие Луки").c_str()));
        EXPECT_EQ(page[9] + "\r\n", cp1251(listLink("4ita", "Чита").c_str()));
        EXPECT_EQ(page[10] + "\r\n", cp1251(listLink("A|b", "a|b").c_str()));
        EXPECT_EQ(page[11] + "\r\n", kListRule);
    }
}

TEST_F(IndexPageTest, FileNamesAreDisplayNamesUnlessTranslitIsExactlyTrue) {
    AppSettings().IndexStyle = "List";
    AppSettings().TranslitFileName = "true";
    select({"26477|Великие Луки"}, {"Velikie Luki"});
    EXPECT_TRUE(IndexPageText().contains(cp1251("<a href=\"Великие Луки.htm\">")));
    AppSettings().TranslitFileName = "True";
    EXPECT_TRUE(IndexPageText().contains("<a href=\"Velikie Luki.htm\">"));
}

// Line number (1-based) and text of the animation page for one town.
const std::pair<int, const char*> kAnimationOneTown[] = {
    {3, "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\">"},
    {10, "</STYLE><SCRIPT language=JavaScript>"},
    {11, ""},
    {12, ""},
    {13, "    function showObject(object) {"},
    {14, "        object.visibility = VISIBLE;"},
    {22, "            if (from < to) {"},
    {24, "                setTimeout('slideLogo(' + from + ',' + to + ')', 75);"},
    {32, "                objects[i].left = (r * Math.cos(pos[i])) + xoff"},
    {35, "        rotateTimer = setTimeout(\"rotateObjects()\", 100);"},
    {38, "     function initObjects() {"},
    {40, "        objects = new Array(fly1);"},
    {44, "                pos[i] = parseFloat(pos[i - 1] + ((2 * pi) / objects.length));"},
    {49, "    var objects;"},
    {57, "    var pos;"},
    {58, ""},
    {59, ""},
    {60, "</SCRIPT>"},
    {61, "</HEAD>"},
    {62, "<BODY link=while text=lime background=\"_i/Main.gif\">"},
    {63, ""},
    {64, "<DIV class=fly id=fly1>\n<P><A\nhref=\"Барнаул.htm\"\nonmouseout=hideObject(desc1) "
         "onmouseover=showObject(desc1) >Барнаул</A> </P></DIV>\n"},
    {65, "<DIV class=logo id=company>"},
    {66, "<P>Прогноз погоды</P></DIV>"},
    {67, "<DIV class=desc id=desc1>\n<P>Прогноз для города Барнаул</P></DIV>"},
    {70, "    var isNS = (navigator.appName == \"Netscape\" && parseInt(navigator.appVersion) >= 4 && "
         "document.layers != null);"},
    {75, "    var fly1 = (isNS) ? document.fly1 : document.all.fly1.style;"},
    {77, "    var company = (isNS) ? document.company : document.all.company.style;"},
    {78, "    var desc1 = (isNS) ? document.desc1 : document.all.desc1.style;"},
    {80, "    slideLogo(0, 140);"},
    {82, "<img src=\"_i/earth.gif\">"},
    {83, "</body>"},
    {84, "</html>"},
};

TEST_F(IndexPageTest, AnimationPageForOneTown) {
    AppSettings().IndexStyle = "Animation";
    AppSettings().TranslitFileName = "False";
    select({"29838|Барнаул"});
    const QList<QByteArray> page = lines(IndexPageText());
    ASSERT_EQ(page.size(), 84);
    for (const auto& [number, text] : kAnimationOneTown)
        EXPECT_EQ(page[number - 1], cp1251(text)) << "line " << number;
}

TEST_F(IndexPageTest, AnimationPageRepeatsTownGroupsInListOrder) {
    AppSettings().IndexStyle = "Animation";
    AppSettings().TranslitFileName = "False";
    select({"1|A", "2|B", "3|C"});
    const QList<QByteArray> page = lines(IndexPageText());
    ASSERT_EQ(page.size(), 84 + 4 * 2);
    EXPECT_EQ(page[39], "        objects = new Array(fly1, fly2, fly3);");
    for (int i = 0; i < 3; ++i) {
        const QByteArray n = QByteArray::number(i + 1), name(1, char('A' + i));
        EXPECT_EQ(page[63 + i], "<DIV class=fly id=fly" + n + ">\n<P><A\nhref=\"" + name +
                                    ".htm\"\nonmouseout=hideObject(desc" + n + ") onmouseover=showObject(desc" + n +
                                    ") >" + name + "</A> </P></DIV>\n");
        EXPECT_EQ(page[68 + i],
                  "<DIV class=desc id=desc" + n + ">\n" + cp1251("<P>Прогноз для города ") + name + "</P></DIV>");
        EXPECT_EQ(page[78 + i],
                  "    var fly" + n + " = (isNS) ? document.fly" + n + " : document.all.fly" + n + ".style;");
        EXPECT_EQ(page[83 + i],
                  "    var desc" + n + " = (isNS) ? document.desc" + n + " : document.all.desc" + n + ".style;");
    }
    EXPECT_EQ(page[66], "<DIV class=logo id=company>");
    EXPECT_EQ(page[82], "    var company = (isNS) ? document.company : document.all.company.style;");
    EXPECT_EQ(page.last(), "</html>");
}

TEST_F(IndexPageTest, WriteReplacesThePageWhateverItsCase) {
    AppSettings().IndexStyle = "List";
    select({"29838|Барнаул"});
    test::TempProgramFolder folder;
    folder.write("nimbora.htm", "single-town page");
    EXPECT_TRUE(WriteIndexPage());
    EXPECT_EQ(folder.entries().size(), 1);
    EXPECT_EQ(folder.read(folder.entries().first()), IndexPageText());
}

TEST_F(IndexPageTest, WriteReportsAFolderThatCannotTakeThePage) {
    select({"29838|Барнаул"});
    test::TempProgramFolder folder;
    folder.write("sub", "");
    SetProgramFolder(folder.file("sub")); // a file, not a folder
    EXPECT_FALSE(WriteIndexPage().ok);
}

} // namespace
} // namespace vetorlan
