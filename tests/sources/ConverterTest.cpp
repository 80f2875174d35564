// The page rewrite: replacements, cuts, the back button and the file handling around them.
#include "sources/Converter.h"
#include "core/Settings.h"
#include "tests/support/TestSupport.h"
#include "tools/sample-forecast-service/PageFiles.h"

#include <gtest/gtest.h>

namespace vetorlan {
namespace {

using test::cp1251;

const char kHost[] = "http://img.test";
const char kBackButton[] = "</body><br>\n<div align=\"center\"><input type=\"button\" value=\"Назад\""
                           "onClick=\"history.back()\" name=\"button\"></div>";

struct Row {
    const char* name;
    const char* multiLoad;
    const char* page;     // UTF-8, converted to Windows-1251 before the rewrite
    const char* expected; // without the CR LF that every rewrite appends
};

std::string withBackButtons(const char* before, const char* between, const char* after) {
    return std::string(before) + kBackButton + between + kBackButton + after;
}

const std::string kTwoBodies = withBackButtons("<body>a", "b", "");

const Row kRows[] = {
    {"NothingToChange", "False", "<p>Погода на неделю</p>", "<p>Погода на неделю</p>"},
    {"EmptyPage", "False", "", ""},
    {"ServiceNameWithDot", "False", "Яндекс.Погода", "Погода"},
    {"ServiceNameWithoutDotStays", "False", "Яндекс Погода", "Яндекс Погода"},
    {"LabelRenamed", "False", "<b>Кратко</b>", "<b>Прогноз погоды на 7 дней</b>"},
    {"StyleSheet", "False", "<link href=\"css/_weather.css\">", "<link href=\"nimbora.css\">"},
    {"ImagePrefixLeavesItsSlash", "False", "<img src=\"http://img.test/i/wiz/sun.gif\">", "<img src=\"_i//sun.gif\">"},
    {"OtherHostOnlyLosesItsPath", "False", "http://else.test/i/wiz/a.gif", "http://else.test_i/wiz/a.gif"},
    {"LocalPictures", "False", "/i/x.gif _i/moon/a.gif /i/wind/b.gif", "_i/x.gif _i/a.gif _i/b.gif"},
    {"ScanIsNonOverlapping", "False", "/i/i/", "_i/i/"},
    {"LinksRemoved", "False", "a<a href=\"/othercity.xml\">другой город</a>b Напечатать&#133;c", "ab c"},
    {"Cut1ConditionalComment", "False", "<head><!--[if lte IE 7]><link></head><body>", "<head></head><body>"},
    {"Cut2LeavesOneCharacter", "False", "x<table>abc</table>y", "xc</table>y"},
    {"Cut2TailAtPositionZero", "False", "</table><table>y", "</table><table>y"},
    {"Cut3BodyTag", "False", "<body style=\"a\"><div class=\"b-navigation g-line\">",
     "<body><div class=\"b-navigation g-line\">"},
    {"Cut3NeedsBodyStyle", "False", "<body><p><div class=\"b-navigation g-line\">",
     "<body><p><div class=\"b-navigation g-line\">"},
    {"Cut3TailAtPositionZero", "False", "<div class=\"b-navigation g-line\"><body style=1>",
     "<div class=\"b-navigation g-line\"><body style=1>"},
    {"Cut4FindsTheTableCut2Left", "False", "<table>ab</table>JUNK<table class=\"b-forecast-details\">",
     "b</table><table class=\"b-forecast-details\">"},
    {"NoClosingTableNoCut2NoCut4", "False", "<table>abc<table class=\"b-forecast-details\">",
     "<table>abc<table class=\"b-forecast-details\">"},
    {"Cut5Footer", "False", "p<ul class=\"b-foot\"><li>f</li></ul></body></html>", "p</body></html>"},
    {"Cut5NeedsBodyEnd", "False", "p<ul class=\"b-foot\">f", "p<ul class=\"b-foot\">f"},
    {"BackButtonAfterEveryBodyEnd", "True", "<body>a</body>b</body>", kTwoBodies.c_str()},
    {"BackButtonNeedsExactTrue", "true", "<body>a</body>b</body>", "<body>a</body>b</body>"},
    {"BackButtonNeedsBodyEnd", "True", "<body>a", "<body>a"},
};

class ConvertPageTextTest : public ::testing::TestWithParam<Row> {};

TEST_P(ConvertPageTextTest, RewritesAsTabulated) {
    const Row& row = GetParam();
    EXPECT_EQ(ConvertPageText(cp1251(row.page), row.multiLoad, kHost), cp1251(row.expected) + "\r\n");
}

INSTANTIATE_TEST_SUITE_P(Rows, ConvertPageTextTest, ::testing::ValuesIn(kRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ConvertPageText, ImageHostWithTrailingSlashOrNone) {
    EXPECT_EQ(ConvertPageText("http://img.test/i/wiz/a.gif", "False", "http://img.test/"), "_i//a.gif\r\n");
    // Without an image host there is no absolute prefix to remove; only the local path rule applies.
    EXPECT_EQ(ConvertPageText("http://img.test/i/wiz/a.gif", "False", ""), "http://img.test_i/wiz/a.gif\r\n");
}

TEST(ConvertPageText, KeepsBytesThatAreNotText) {
    const QByteArray page("a\0b\xff\r\n\x98", 7);
    EXPECT_EQ(ConvertPageText(page, "False", kHost), page + "\r\n");
}

// A page shaped like the service's, through every step.
const char kServicePage[] =
    "<html><head><title>Яндекс.Погода</title><link rel=\"stylesheet\" href=\"css/_weather.css\">"
    "<!--[if lte IE 7]><link rel=\"stylesheet\" href=\"css/_ie.css\"><![endif]--></head>\n"
    "<body style=\"margin:0\"><div class=\"b-head\">Яндекс</div><div class=\"b-navigation g-line\">"
    "<a href=\"/othercity.xml\">другой город</a> Напечатать&#133;</div>\n"
    "<table><tr><td>Кратко</td></tr></table><div>ad</div><table class=\"b-forecast-details\"><tr><td>"
    "<img src=\"http://img.test/i/wiz/bkn.png\"><img src=\"/i/moon/3.gif\"><img src=\"/i/wind/n.gif\">"
    "</td></tr></table>\n"
    "<ul class=\"b-foot\"><li>Яндекс</li></ul></body></html>";

const char kConvertedPage[] =
    "<html><head><title>Погода</title><link rel=\"stylesheet\" href=\"nimbora.css\"></head>\n"
    "<body><div class=\"b-navigation g-line\"> </div>\n"
    "></table><table class=\"b-forecast-details\"><tr><td>"
    "<img src=\"_i//bkn.png\"><img src=\"_i/3.gif\"><img src=\"_i/n.gif\"></td></tr></table>\n"
    "</body><br>\n<div align=\"center\"><input type=\"button\" value=\"Назад\"onClick=\"history.back()\" "
    "name=\"button\"></div></html>\r\n";

// Cut markers in reverse order make every cut keep the text twice, and in multi-town mode each
// "</body>" gains the back button: the rewrite stays within its bound or refuses the page,
// at every size, so a crafted page can neither exhaust memory nor pass as a forecast.
TEST(ConvertPageText, CraftedPagesStayWithinTheBound) {
    const QByteArray tails = "</head></table><div class=\"b-navigation g-line\"><table class=\"b-forecast-details\">";
    const QByteArray heads = "<!--[if lte IE 7]><table><body style=1><ul class=\"b-foot\">";
    for (const qsizetype size : {qsizetype(4) << 10, qsizetype(1) << 20, qsizetype(16) << 20}) {
        SCOPED_TRACE(size);
        QByteArray page = tails;
        page.reserve(size + heads.size() + 8);
        while (page.size() < size)
            page += "</body>";
        page += heads;
        for (const char* multiLoad : {"True", "False"}) {
            const QByteArray out = ConvertPageText(page, multiLoad, kHost);
            EXPECT_LE(out.size(), OutputBound(page.size()));
            if (size >= qsizetype(1) << 20) { // sixteen times the page: far over the bound
                EXPECT_TRUE(out.isEmpty()) << multiLoad;
            }
        }
    }
    // A page that grows a little (one back button) is still rewritten.
    EXPECT_FALSE(ConvertPageText("<body>a</body>", "True", kHost).isEmpty());
    EXPECT_EQ(OutputBound(qsizetype(1) << 30), qsizetype(64) << 20);
}

class ConvertPageFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = AppSettings();
        hostBefore_ = qgetenv("VETORLAN_IMAGE_HOST");
        qputenv("VETORLAN_IMAGE_HOST", kHost);
    }
    void TearDown() override {
        AppSettings() = saved_;
        qputenv("VETORLAN_IMAGE_HOST", hostBefore_);
    }
    test::TempProgramFolder folder_;
    Settings saved_;
    QByteArray hostBefore_;
};

TEST_F(ConvertPageFileTest, ServicePageThroughEveryStep) {
    AppSettings().MultiLoad = "True";
    folder_.write("Барнаул.htm", cp1251(kServicePage));
    ConvertPage(folder_.file("Барнаул.htm"));
    EXPECT_EQ(folder_.read("Барнаул.htm"), cp1251(kConvertedPage));
}

TEST_F(ConvertPageFileTest, EachRewriteAddsOneLineEnd) {
    AppSettings().MultiLoad = "False";
    folder_.write("nimbora.htm", "page");
    ConvertPage(folder_.file("nimbora.htm"));
    ConvertPage(folder_.file("nimbora.htm"));
    EXPECT_EQ(folder_.read("nimbora.htm"), "page\r\n\r\n");
}

TEST_F(ConvertPageFileTest, NameMatchedWithoutRegardToCase) {
    folder_.write("nimbora.htm", "x<table>abc</table>y");
    ConvertPage(folder_.file("Nimbora.htm"));
    EXPECT_EQ(folder_.entries(), QStringList{"nimbora.htm"});
    EXPECT_EQ(folder_.read("nimbora.htm"), "xc</table>y\r\n");
}

TEST_F(ConvertPageFileTest, MissingFileLeftAlone) {
    ConvertPage(folder_.file("nimbora.htm"));
    EXPECT_TRUE(folder_.entries().isEmpty());
}

} // namespace
} // namespace vetorlan
