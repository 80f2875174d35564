// Copying the pages to the user's folder and handing the page to a browser.
#include "forecast/CopyView.h"
#include "core/ExtraSettings.h"
#include "core/ProgramFolder.h"
#include "core/Settings.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vetorlan {
namespace {

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QStringList entriesOf(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

class CopyForecastTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = AppSettings();
        program_.write("Nimbora.htm", "index");
        program_.write("Barnaul.HTM", "barnaul");
        program_.write("nimbora.css", "css");
        program_.write("Extra.CSS", "extra css");
        program_.write("Options.ini", "settings");
        program_.write("page.html", "not a page of ours");
        QDir(program_.path()).mkpath("_i/moon");
        program_.write("_i/sun.gif", "sun");
        program_.write("_i/moon/3.gif", "moon");
        AppSettings().PathNimboraCopy = target_.path() + "/copy.htm";
    }
    void TearDown() override { AppSettings() = saved_; }
    QString target(const QString& name) const { return target_.path() + "/" + name; }

    Settings saved_;
    test::TempProgramFolder program_;
    test::MessageBoxRecorder boxes_;
    QTemporaryDir target_;
};

TEST_F(CopyForecastTest, PagesStyleSheetsAndPictures) {
    QFile::copy(program_.file("Options.ini"), target("Nimbora.htm")); // an older copy
    AppSettings().CopyPictures = "True";
    CopyForecast(AppSettings());
    EXPECT_TRUE(boxes_.boxes().empty());
    EXPECT_EQ(entriesOf(target_.path()), (QStringList{"Barnaul.HTM", "Extra.CSS", "Nimbora.htm", "_i", "nimbora.css"}));
    EXPECT_EQ(readFile(target("Nimbora.htm")), "index");
    EXPECT_EQ(readFile(target("Extra.CSS")), "extra css");
    EXPECT_EQ(readFile(target("_i/sun.gif")), "sun");
    EXPECT_EQ(readFile(target("_i/moon/3.gif")), "moon");
}

TEST_F(CopyForecastTest, PicturesOnlyWithExactTrue) {
    for (const char* value : {"False", "true"}) {
        AppSettings().CopyPictures = value;
        CopyForecast(AppSettings());
        EXPECT_FALSE(QFileInfo::exists(target("_i"))) << value;
        EXPECT_EQ(readFile(target("Barnaul.HTM")), "barnaul");
    }
    EXPECT_TRUE(boxes_.boxes().empty());
}

TEST_F(CopyForecastTest, NoStyleSheetIsNoReasonToStop) {
    QFile::remove(program_.file("nimbora.css"));
    QFile::remove(program_.file("Extra.CSS"));
    QDir(program_.file("_i")).removeRecursively();
    AppSettings().CopyPictures = "True";
    CopyForecast(AppSettings());
    EXPECT_TRUE(boxes_.boxes().empty());
    EXPECT_EQ(entriesOf(target_.path()), (QStringList{"Barnaul.HTM", "Nimbora.htm"}));
}

TEST_F(CopyForecastTest, MissingFolderIsReported) {
    for (const QString& path : {QString("c:\\"), QString(), QString("copy.htm"), target("absent/copy.htm")}) {
        AppSettings().PathNimboraCopy = path;
        CopyForecast(AppSettings());
    }
    ASSERT_EQ(boxes_.boxes().size(), 4u);
    for (const auto& box : boxes_.boxes()) {
        EXPECT_EQ(box.text, "Директория для копирования не найдена !");
        EXPECT_EQ(box.title, "Ошибка");
        EXPECT_EQ(box.icon, MsgIcon::Critical);
    }
    EXPECT_TRUE(entriesOf(target_.path()).isEmpty());
}

TEST_F(CopyForecastTest, FailedCopyIsToldOnceAndTheRestIsCopied) {
    QDir(target_.path()).mkpath("Nimbora.htm"); // a folder where a page should go
    AppSettings().CopyPictures = "True";
    CopyForecast(AppSettings());
    ASSERT_EQ(boxes_.boxes().size(), 1u);
    EXPECT_EQ(boxes_.boxes().front().title, "Ошибка");
    EXPECT_EQ(boxes_.boxes().front().icon, MsgIcon::Critical);
    EXPECT_TRUE(boxes_.boxes().front().text.contains(target_.path()));
    EXPECT_EQ(readFile(target("Barnaul.HTM")), "barnaul");
    EXPECT_EQ(readFile(target("_i/sun.gif")), "sun");
}

TEST_F(CopyForecastTest, ProgramFolderAsTargetLeavesThePagesIntact) {
    AppSettings().PathNimboraCopy = program_.file("copy.htm");
    AppSettings().CopyPictures = "True";
    CopyForecast(AppSettings());
    EXPECT_TRUE(boxes_.boxes().empty());
    EXPECT_EQ(program_.read("Nimbora.htm"), "index");
    EXPECT_EQ(program_.read("_i/sun.gif"), "sun");
}

class FakeShell : public Shell {
public:
    bool OpenDocument(const QString& pathOrUrl) override {
        calls << "open " + pathOrUrl;
        return opens;
    }
    bool StartProgram(const QString& program, const QStringList& arguments) override {
        calls << "start " + program + " [" + arguments.join("][") + "]";
        return starts;
    }
    QStringList calls;
    bool opens = true, starts = true;
};

class ShowForecastTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = AppSettings();
        SetShell(&shell_);
    }
    void TearDown() override {
        SetShell(nullptr);
        AppSettings() = saved_;
        AppExtraSettings() = {};
    }
    Settings saved_;
    FakeShell shell_;
    test::TempProgramFolder program_;
    test::MessageBoxRecorder boxes_;
};

TEST_F(ShowForecastTest, EachBrowserSetting) {
    const QString folder = program_.file("My Weather 'x' \"y\"");
    QDir().mkpath(folder);
    SetProgramFolder(folder);
    QFile page(folder + "/nimbora.htm");
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.close();
    const QString path = folder + "/nimbora.htm";

    struct Row {
        const char* value;
        const char* command;
        QString call;
    };
    const Row rows[] = {
        {"False", "firefox", "open " + path},
        {"True", "", "open " + path}, // no browser chosen: the desktop's default one
        {"True", " firefox  --new-window ", "start firefox [--new-window][" + path + "]"},
        {"True", "\"/opt/My Browser/run\" -p", "start /opt/My Browser/run [-p][" + path + "]"},
        {"true", "firefox", ""},
        {"", "firefox", ""},
    };
    for (const Row& row : rows) {
        shell_.calls.clear();
        AppSettings().UseInternetExplorer = row.value;
        AppExtraSettings().BrowserCommand = row.command;
        ShowForecast(AppSettings());
        EXPECT_EQ(shell_.calls, row.call.isEmpty() ? QStringList() : QStringList{row.call}) << row.value << row.command;
    }
    EXPECT_TRUE(boxes_.boxes().empty());
    SetProgramFolder(program_.path());
}

// A browser that does not start is told, with the browser's name; from the tray's left
// click as much as after a load.
TEST_F(ShowForecastTest, ABrowserThatDoesNotStartIsTold) {
    program_.write("Nimbora.htm", "page");
    shell_.opens = shell_.starts = false;
    AppSettings().UseInternetExplorer = "True";
    AppExtraSettings().BrowserCommand = "no-such-browser";
    ShowForecast(AppSettings());
    AppSettings().UseInternetExplorer = "False";
    ShowForecast(AppSettings());
    ASSERT_EQ(boxes_.boxes().size(), 2u);
    EXPECT_EQ(boxes_.boxes()[0].text, BrowserFailureMessage("программа «no-such-browser» не запускается"));
    EXPECT_TRUE(boxes_.boxes()[1].text.startsWith("Не удалось открыть прогноз погоды в браузере.\nПричина: "));
    EXPECT_EQ(boxes_.boxes()[1].icon, MsgIcon::Critical);
}

TEST_F(ShowForecastTest, MissingPageIsReported) {
    AppSettings().UseInternetExplorer = "False";
    ShowForecast(AppSettings());
    EXPECT_TRUE(shell_.calls.isEmpty());
    ASSERT_EQ(boxes_.boxes().size(), 1u);
    EXPECT_EQ(boxes_.boxes().front().text, "Нет загруженного прогноза погоды!");
    EXPECT_EQ(boxes_.boxes().front().title, "Файл не найден");
    EXPECT_EQ(boxes_.boxes().front().icon, MsgIcon::Information);
}

TEST_F(ShowForecastTest, WithoutAShellNothingBreaks) {
    SetShell(nullptr);
    ASSERT_NE(CurrentShell(), nullptr);
    program_.write("Nimbora.htm", "page");
    AppSettings().UseInternetExplorer = "True";
    ShowForecast(AppSettings());
    EXPECT_FALSE(CurrentShell()->OpenDocument(program_.file("Nimbora.htm")));
}

} // namespace
} // namespace vetorlan
