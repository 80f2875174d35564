// The load, driven through a recording host and a fake service.
#include "forecast/LoadPipeline.h"
#include "core/Clock.h"
#include "core/CodePage.h"
#include "core/Log.h"
#include "core/Settings.h"
#include "forecast/IndexPage.h"
#include "forecast/LatinFileNames.h"
#include "sources/Converter.h"
#include "sources/Download.h"
#include "sources/HttpClient.h"
#include "sources/LiveForecast.h"
#include "tests/support/TestSupport.h"
#include "tests/ui/UiFakes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace vetorlan;
using namespace vetorlan::test;

namespace {

class RecordingHost : public LoadHost {
public:
    int SingleTownRow() const override { return townRow; }
    const RegionTownList& RegionTowns() const override { return regionTowns; }
    const TownSelection& SelectedTowns() const override { return selectedTowns; }
    void SaveTownLists() override { log << "save"; }
    void ShowLoadingVisuals(bool loading) override { log << (loading ? "busy" : "idle"); }
    void ShowLoadState(LoadState state) override {
        icon = state;
        log << QStringLiteral("icon%1").arg(int(state));
    }
    void SetTrayTip(const QString& text) override { tip = text; }
    void ShowLoadStatus() override { log << "status"; }
    void EnableScheduledLoads() override { log << "scheduledLoad"; }
    void ExitProgram() override { log << "exit"; }
    int townRow = -1;
    RegionTownList regionTowns;
    TownSelection selectedTowns;
    QStringList log;
    QString tip;
    LoadState icon = LoadState::Idle;
};

class LoadPipelineTest : public ::testing::Test {
protected:
    void SetUp() override {
        AppSettings() = Settings{};
        AppSettings().WorkMode = "DirectConn";
        AppSettings().Sound = "False";
        SetNowOverride(QDateTime(QDate(2026, 12, 6), QTime(12, 43, 56)));
    }
    void TearDown() override { SetNowOverride(QDateTime()); }

    void UseMulti(const QList<int>& positions) {
        AppSettings().MultiLoad = "True";
        SelectPositions(host.selectedTowns, positions);
    }
    void UseSingle(int region, int row) {
        FillRegion(host.regionTowns, region);
        host.townRow = row;
    }
    QByteArray Converted(const QString& index) const {
        return ConvertPageText(FakePage(index), AppSettings().MultiLoad, ImageHost());
    }

    TempProgramFolder folder;
    MessageBoxRecorder boxes;
    FakeFetcher fetcher;
    FakeSound sound;
    FakeShell shell;
    RecordingHost host;
    LoadPipeline pipeline{host};
};

TEST_F(LoadPipelineTest, SingleTownFetchesOnePageIntoNimboraHtmWhateverTheTown) {
    UseSingle(1, 22);                            // Москва
    SelectPositions(host.selectedTowns, {1, 2}); // a stale multi-town choice must not repeat the fetch
    AppSettings().Sound = "True";
    EXPECT_EQ(pipeline.LoadForecast(), LoadResult::Succeeded);
    ASSERT_EQ(fetcher.urls.size(), 1);
    EXPECT_EQ(fetcher.urls[0], ServiceUrl() + "/detailed.xml?city=27612");
    EXPECT_EQ(pipeline.LoadFile, folder.path() + "/nimbora.htm");
    EXPECT_EQ(folder.read("nimbora.htm"), Converted("27612"));
    EXPECT_EQ(host.log, QStringList({"save", "busy", "icon1", "idle", "status", "icon0", "scheduledLoad", "status"}));
    EXPECT_EQ(sound.plays, 1);
    EXPECT_FALSE(pipeline.AutoLoadStopped);
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(LoadPipelineTest, MiddleTownFailingStillCountsAsSuccess) {
    UseMulti({1, 271, 400}); // Абакан, Апрелевка, Ялта
    fetcher.failing = {"27521"};
    pipeline.AutoLoadStopped = true;
    EXPECT_EQ(pipeline.LoadForecast(), LoadResult::Succeeded);
    EXPECT_EQ(fetcher.urls.size(), 3);
    EXPECT_EQ(folder.read(QString::fromUtf8("Абакан.htm")), Converted("29862"));
    EXPECT_FALSE(folder.exists(QString::fromUtf8("Апрелевка.htm")));
    EXPECT_EQ(folder.read(QString::fromUtf8("Ялта.htm")), Converted("33990"));
    EXPECT_TRUE(folder.exists("Nimbora.htm"));
    EXPECT_FALSE(pipeline.AutoLoadStopped);
    EXPECT_EQ(pipeline.LoadFile, folder.path() + QString::fromUtf8("/Ялта.htm"));
    EXPECT_EQ(pipeline.FileNames()[2], host.selectedTowns[2]);
}

TEST_F(LoadPipelineTest, LastTownFailingRunsTheFailureActionsWithoutIndexPage) {
    UseMulti({1, 400});
    fetcher.failing = {"33990"};
    EXPECT_EQ(pipeline.LoadForecast(), LoadResult::Failed);
    EXPECT_EQ(fetcher.urls.size(), 2);
    EXPECT_TRUE(folder.exists(QString::fromUtf8("Абакан.htm")));
    EXPECT_FALSE(folder.exists("Nimbora.htm"));
    EXPECT_TRUE(pipeline.AutoLoadStopped);
    EXPECT_EQ(host.icon, LoadState::Failed);
    // The page service's reason reaches the tip; its message stays the long text.
    EXPECT_EQ(host.tip, LoadFailedTip(Now()) + "\n" + ServiceName() + ": HTTP 503");
    EXPECT_TRUE(host.tip.startsWith(QString::fromUtf8("Ошибка подключения к серверу\nпроизошла ")));
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].title, QString::fromUtf8("Ошибка подключения"));
    EXPECT_EQ(boxes.boxes()[0].icon, MsgIcon::Critical);
    EXPECT_EQ(boxes.boxes()[0].text, LoadFailedMessage());
    EXPECT_FALSE(host.log.contains("status"));
}

// MET Norway refuses, Open-Meteo stays silent: the live sources' message, the tip and the log
// name each source with its reason; the log also keeps the technical wording.
class SilentSources : public HttpClient {
public:
    HttpResponse Get(const HttpRequest& request) override {
        if (request.url.contains(u"/complete"_qs))
            return {503, {}, {}, {}, {}};
        return {0, {}, {}, u"Connection timed out after 4001 milliseconds"_qs, u"нет ответа за 4 с"_qs};
    }
};

TEST_F(LoadPipelineTest, AFailedLiveLoadNamesEachSourceInTheBoxTheTipAndTheLog) {
    QTemporaryDir cache;
    const QByteArray service = qgetenv("VETORLAN_SERVICE_URL"), cacheHome = qgetenv("XDG_CACHE_HOME");
    qputenv("VETORLAN_SERVICE_URL", "");
    qputenv("XDG_CACHE_HOME", cache.path().toUtf8());
    SilentSources sources;
    SetHttpClient(&sources);
    SetPageSource(&LivePages());
    SetLogFile(cache.filePath(u"vetorlan.log"_qs));
    UseSingle(1, 22); // Москва
    EXPECT_EQ(pipeline.LoadForecast(), LoadResult::Failed);
    SetLogFile({});
    SetPageSource(nullptr);
    SetHttpClient(nullptr);
    qputenv("VETORLAN_SERVICE_URL", service);
    qputenv("XDG_CACHE_HOME", cacheHome);

    const QString reasons = u"MET Norway: HTTP 503; Open-Meteo: нет ответа за 4 с"_qs;
    EXPECT_EQ(host.tip, LoadFailedTip(Now()) + u'\n' + reasons);
    ASSERT_EQ(boxes.boxes().size(), 1u);
    const QString text = boxes.boxes()[0].text;
    EXPECT_TRUE(text.startsWith(u"Не удалось загрузить прогноз погоды для города Москва.\n"_qs + reasons + u'\n'))
        << text.toStdString();
    EXPECT_TRUE(text.contains(cache.filePath(u"vetorlan.log"_qs)));
    EXPECT_FALSE(text.contains(u"Гидрометеоцентра"_qs));
    QFile log(cache.filePath(u"vetorlan.log"_qs));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(log.readAll())
                    .contains(u"Москва (27612): не загружен — MET Norway: HTTP 503; Open-Meteo: нет ответа за 4 с "
                              "(Connection timed out after 4001 milliseconds)\n"_qs));
}

TEST_F(LoadPipelineTest, FailureMessageIsTheWholeLongText) {
    const QString text = LoadFailedMessage();
    EXPECT_TRUE(text.startsWith(QString::fromUtf8("Не удается установить соединение с сервером Гидрометеоцентра.\n"
                                                  "Возможные причины ошибки:\n\n1. В Internet Explorer")));
    EXPECT_EQ(text.count("\n\n"), 5);
    EXPECT_TRUE(text.endsWith(QString::fromUtf8("соответствующей кнопкой из главного окна программы.")));
}

TEST_F(LoadPipelineTest, FailureOptionsDecideTheBoxButNeverTheStop) {
    struct Row {
        const char* msgError;
        const char* loadExit;
        size_t boxes;
    };
    for (const Row& row :
         {Row{"True", "False", 1}, Row{"False", "False", 0}, Row{"False", "True", 0}, Row{"true", "True", 0}}) {
        SCOPED_TRACE(std::string(row.msgError) + "/" + row.loadExit);
        MessageBoxRecorder local;
        host.log.clear();
        UseSingle(0, 0);
        AppSettings().MSGError = row.msgError;
        AppSettings().LoadExit = row.loadExit;
        AppSettings().HangUp = "True";
        FakeLine line;
        fetcher.failing = {TownIndex(host.regionTowns[1])};
        EXPECT_EQ(pipeline.LoadForecast(), LoadResult::Failed);
        EXPECT_EQ(local.boxes().size(), row.boxes);
        EXPECT_TRUE(pipeline.AutoLoadStopped);
        EXPECT_EQ(host.icon, LoadState::Failed);
        EXPECT_FALSE(host.log.contains("exit"));
        EXPECT_EQ(line.hangUps, 0);
        EXPECT_EQ(sound.plays, 0);
    }
}

TEST_F(LoadPipelineTest, SuccessActionsRunInOrder) {
    UseSingle(0, 5);
    AppSettings().HangUp = "True";
    AppSettings().Sound = "True";
    AppSettings().ShellLoad = "True";
    AppSettings().LoadExit = "True";
    FakeLine line;
    EXPECT_EQ(pipeline.LoadForecast(), LoadResult::Succeeded);
    EXPECT_EQ(line.hangUps, 1);
    EXPECT_EQ(sound.plays, 1);
    EXPECT_EQ(host.log.mid(4), QStringList({"status", "icon0", "scheduledLoad", "status", "exit"}));
    EXPECT_EQ(shell.opened.size() + shell.started.size(), 1);
}

TEST_F(LoadPipelineTest, DialUpSuccessLeavesScheduledLoadsAlone) {
    AppSettings().WorkMode = "DialUp";
    FakeLine line;
    UseSingle(2, 0);
    EXPECT_EQ(pipeline.LoadForecast(), LoadResult::Succeeded);
    EXPECT_FALSE(host.log.contains("scheduledLoad"));
}

TEST_F(LoadPipelineTest, RefusalsFetchNothingAndKeepTheStopFlag) {
    struct Row {
        const char* name;
        bool multi;
        bool dialUpOffline;
        const char* title;
        const char* text;
        LoadResult result;
    };
    const Row rows[] = {
        {"no town", false, false, "Выбор не сделан",
         "Выберите город, для которого необходимо загрузить прогноз погоды !", LoadResult::NoTown},
        {"no rows", true, false, "Выбор не сделан",
         "Выберите город, для которого необходимо загрузить прогноз погоды !", LoadResult::NoTown},
        {"offline", false, true, "Ошибка подключения", "Вы не в On Line !\nУстановите соединение с Интернетом.",
         LoadResult::Offline},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        MessageBoxRecorder local;
        FakeLine line;
        line.connected = false;
        host.log.clear();
        AppSettings().MultiLoad = row.multi ? "True" : "False";
        host.selectedTowns.Clear();
        host.townRow = row.dialUpOffline ? 3 : -1;
        AppSettings().WorkMode = row.dialUpOffline ? "DialUp" : "DirectConn";
        pipeline.AutoLoadStopped = true;
        EXPECT_EQ(pipeline.LoadForecast(), row.result);
        ASSERT_EQ(local.boxes().size(), 1u);
        EXPECT_EQ(local.boxes()[0].title, QString::fromUtf8(row.title));
        EXPECT_EQ(local.boxes()[0].text, QString::fromUtf8(row.text));
        EXPECT_TRUE(fetcher.urls.isEmpty());
        EXPECT_TRUE(pipeline.AutoLoadStopped);
        EXPECT_EQ(host.log, row.dialUpOffline ? QStringList{"save"} : QStringList{});
    }
}

TEST_F(LoadPipelineTest, FailedSingleLoadGetsThePageBackFromItsSpareName) {
    UseSingle(0, 0);
    AppSettings().MSGError = "False";
    fetcher.failing = {TownIndex(host.regionTowns[1])};
    folder.write("nimbora.html", "old page");
    EXPECT_EQ(pipeline.LoadForecast(), LoadResult::Failed);
    EXPECT_EQ(folder.read("nimbora.htm"), QByteArray("old page"));
    EXPECT_FALSE(folder.exists("nimbora.html"));
}

TEST_F(LoadPipelineTest, FailedLoadKeepsTheOldPage) {
    UseSingle(0, 0);
    AppSettings().MSGError = "False";
    fetcher.failing = {TownIndex(host.regionTowns[1])};
    folder.write("nimbora.htm", "old page");
    folder.write("nimbora.html", "spare");
    EXPECT_EQ(pipeline.LoadForecast(), LoadResult::Failed);
    EXPECT_EQ(folder.read("nimbora.htm"), QByteArray("old page"));
    EXPECT_TRUE(folder.exists("nimbora.html"));
}

TEST_F(LoadPipelineTest, IndexPageThatCannotBeWrittenIsToldAndCountsAsFailure) {
    UseMulti({1, 2});
    QDir(folder.path()).mkdir("Nimbora.htm"); // a folder where the index page goes
    AppSettings().LoadExit = "True";
    EXPECT_EQ(pipeline.LoadForecast(), LoadResult::FileError);
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].title, QString::fromUtf8("Ошибка"));
    EXPECT_EQ(boxes.boxes()[0].icon, MsgIcon::Critical);
    EXPECT_TRUE(boxes.boxes()[0].text.contains("Nimbora.htm")) << boxes.boxes()[0].text.toStdString();
    EXPECT_TRUE(pipeline.AutoLoadStopped);
    EXPECT_EQ(host.icon, LoadState::Failed);
    EXPECT_FALSE(host.log.contains("exit"));
    EXPECT_FALSE(host.log.contains("status"));
    EXPECT_EQ(host.log.last(), "icon2");
}

TEST_F(LoadPipelineTest, LatinNamesRenameThePagesOfAMultiTownLoad) {
    UseMulti({1, 400});
    AppSettings().TranslitFileName = "True";
    EXPECT_EQ(pipeline.LoadForecast(), LoadResult::Succeeded);
    EXPECT_EQ(folder.read("Abakan.htm"), Converted("29862"));
    EXPECT_FALSE(folder.exists(QString::fromUtf8("Абакан.htm")));
    EXPECT_EQ(pipeline.FileNames()[1], "Abakan");
}

TEST_F(LoadPipelineTest, ASecondLoadNeverStartsWhileOneRuns) {
    UseSingle(0, 0);
    LoadResult nested = LoadResult::Succeeded;
    fetcher.during = [&] {
        OnUiThread([&] {
            EXPECT_TRUE(pipeline.LoadInProgress());
            nested = pipeline.LoadForecast();
        });
    };
    EXPECT_EQ(pipeline.LoadForecast(), LoadResult::Succeeded);
    EXPECT_EQ(nested, LoadResult::Busy);
    EXPECT_EQ(fetcher.urls.size(), 1);
    EXPECT_FALSE(pipeline.LoadInProgress());
}

// Answers that are not a whole forecast page fail the town: its old page stays and, as the
// last town, the failure actions run. A page with some of the rewrite's texts is accepted.
TEST_F(LoadPipelineTest, AnswersThatAreNoForecastPageKeepTheOldPage) {
    // Cut markers in reverse order: each cut keeps the page twice.
    QByteArray crafted = "</head></table><div class=\"b-navigation g-line\"><table class=\"b-forecast-details\">";
    while (crafted.size() < (2 << 20))
        crafted += "</body>";
    crafted += "<!--[if lte IE 7]><table><body style=1><ul class=\"b-foot\">";
    struct Row {
        const char* name;
        QByteArray answer;
        bool accepted;
    };
    const Row rows[] = {
        {"captive portal", "<html><head><title>Wi-Fi</title></head><body><form>login</form></body></html>", false},
        {"service unavailable", "<html><body><h1>Service Temporarily Unavailable</h1></body></html>", false},
        {"rewrite over its bound", crafted, false},
        {"one cut's markers", "<html><head></head><body><ul class=\"b-foot\">x</ul></body></html>", true},
    };
    UseSingle(0, 0);
    const QString index = TownIndex(host.regionTowns[1]);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        MessageBoxRecorder local;
        folder.write("nimbora.htm", "old page");
        fetcher.answers[index] = row.answer;
        EXPECT_EQ(pipeline.LoadForecast(), row.accepted ? LoadResult::Succeeded : LoadResult::Failed);
        if (row.accepted) {
            EXPECT_EQ(folder.read("nimbora.htm"), ConvertPageText(row.answer, "False", ImageHost()));
        } else {
            EXPECT_EQ(folder.read("nimbora.htm"), QByteArray("old page"));
            EXPECT_TRUE(host.tip.startsWith(LoadFailedTip(Now()) + "\n" + ServiceName() + ": "))
                << host.tip.toStdString();
            ASSERT_EQ(local.boxes().size(), 1u);
            EXPECT_EQ(local.boxes()[0].text, LoadFailedMessage());
        }
        EXPECT_EQ(pipeline.AutoLoadStopped, !row.accepted);
    }
}

// A town's Latin name depends on the town only: after a reselection in which the new last
// town's fetch fails, every index link still opens its own town's page (also in a process
// that never loaded before).
TEST_F(LoadPipelineTest, LatinIndexLinksOpenEachTownsOwnPage) {
    const auto position = [](const char* name) {
        for (int i = 1; i <= kCatalogSize; ++i)
            if (TownName(CatalogEntry(i)) == QString::fromUtf8(name))
                return i;
        return 0;
    };
    const int abakan = position("Абакан"), azov = position("Азов"), arzamas = position("Арзамас"),
              armavir = position("Армавир");
    AppSettings().TranslitFileName = "True";
    AppSettings().IndexStyle = "List";
    AppSettings().MSGError = "False";
    for (bool freshProcess : {false, true}) {
        SCOPED_TRACE(freshProcess ? "fresh process" : "same process");
        fetcher.failing.clear();
        UseMulti({abakan, azov, arzamas});
        EXPECT_EQ(pipeline.LoadForecast(), LoadResult::Succeeded);
        LoadPipeline restarted{host};
        LoadPipeline& next = freshProcess ? restarted : pipeline;
        UseMulti({abakan, arzamas, armavir});
        fetcher.failing = {TownIndex(CatalogEntry(arzamas))};
        EXPECT_EQ(next.LoadForecast(), LoadResult::Succeeded);
        const QByteArray index = folder.read("Nimbora.htm");
        EXPECT_TRUE(index.contains("Arzamas.htm"));
        EXPECT_TRUE(index.contains("Armavir.htm"));
        EXPECT_FALSE(index.contains("Azov.htm"));
        EXPECT_FALSE(index.contains("\"/.htm") || index.contains("\".htm")) << index.toStdString();
    }
}

// A page that cannot be written is a file error of the load, told as such (the file and the
// reason), never as a connection failure: a folder under the page's name, and a read-only
// program folder (not for root, who writes whatever the permission bits say).
TEST_F(LoadPipelineTest, APageThatCannotBeWrittenIsAFileError) {
    UseSingle(0, 0);
    for (const bool readOnlyFolder : {false, true}) {
        if (readOnlyFolder && ::geteuid() == 0)
            continue;
        SCOPED_TRACE(readOnlyFolder ? "read-only folder" : "folder under the page's name");
        MessageBoxRecorder local;
        if (readOnlyFolder)
            QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::ExeOwner);
        else
            QDir(folder.path()).mkdir("nimbora.htm");
        EXPECT_EQ(pipeline.LoadForecast(), LoadResult::FileError);
        QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QDir(folder.path()).rmdir("nimbora.htm");
        ASSERT_EQ(local.boxes().size(), 1u);
        EXPECT_EQ(local.boxes()[0].title, QString::fromUtf8("Ошибка"));
        EXPECT_EQ(local.boxes()[0].icon, MsgIcon::Critical);
        EXPECT_TRUE(local.boxes()[0].text.contains("nimbora.htm")) << local.boxes()[0].text.toStdString();
        EXPECT_TRUE(host.tip.startsWith(QString::fromUtf8("Ошибка записи файлов прогноза\nпроизошла ")));
        EXPECT_EQ(host.icon, LoadState::Failed);
        EXPECT_TRUE(pipeline.AutoLoadStopped);
    }
}

// The window lives during a load: a selection or settings changed meanwhile neither change
// what the load publishes and which actions follow it, nor are undone by it.
TEST_F(LoadPipelineTest, SelectionAndSettingsChangedDuringTheLoadStayForTheNextOne) {
    UseMulti({1, 400});
    AppSettings().IndexStyle = "List";
    fetcher.during = [this] {
        OnUiThread([this] {
            SelectPositions(host.selectedTowns, {2});
            AppSettings().IndexStyle = "Animation";
            AppSettings().Sound = "True";
        });
    };
    EXPECT_EQ(pipeline.LoadForecast(), LoadResult::Succeeded);
    const QByteArray index = folder.read("Nimbora.htm");
    EXPECT_TRUE(index.contains(toCp1251(QString::fromUtf8("Ялта")))) << index.toStdString();
    EXPECT_FALSE(index.contains("slideLogo")) << "the index follows the style the load started with";
    EXPECT_EQ(sound.plays, 0);
    EXPECT_EQ(host.selectedTowns.count, 1);
    EXPECT_EQ(host.selectedTowns[1], CatalogEntry(2));
    EXPECT_EQ(AppSettings().IndexStyle, "Animation");
    EXPECT_EQ(AppSettings().Sound, "True");
}

TEST(LoadTexts, DateAndTimeFollowTheLocale) {
    const QLocale ru(QLocale::Russian, QLocale::Russia);
    EXPECT_EQ(DefaultDateText(QDate(2026, 12, 6), ru), "06.12.2026");
    EXPECT_EQ(DefaultTimeText(QTime(9, 5, 7), ru), "09:05:07");
    EXPECT_EQ(LoadFailedTip(QDateTime(QDate(2026, 12, 6), QTime(12, 43, 56)), {}, ru),
              QString::fromUtf8("Ошибка подключения к серверу\nпроизошла 06.12.2026\nв 12:43:56"));
}

} // namespace
