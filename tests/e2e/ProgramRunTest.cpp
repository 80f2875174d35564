// The built program started headless in a fresh folder against the sample forecast service
// on loopback: first run, one-shot loads in both modes, a failed fetch, damaged files.
#include "core/FileSystemObject.h"
#include "core/Settings.h"
#include "forecast/IndexPage.h"
#include "forecast/LatinFileNames.h"
#include "forecast/LoadPipeline.h"
#include "platform/common/CurlHttpClient.h"
#include "sources/Converter.h"
#include "sources/Download.h"
#include "tests/e2e/E2eProcess.h"
#include "towns/Selection.h"
#include "towns/TownCatalog.h"
#include "towns/TownLists.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <random>

namespace vetorlan::test {
namespace {

const QString kImageHost = QStringLiteral("http://images.invalid");

class ProgramRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        StartService();
        ASSERT_TRUE(QFile::copy(NIMBORA_BINARY, File("nimbora")));
    }
    void TearDown() override {
        Stop(program_);
        Stop(service_);
    }
    static void Stop(QProcess& p) { StopProcess(p); }
    void StartService() {
        url_ = StartSampleService(service_, {"--image-host", kImageHost});
        ASSERT_TRUE(url_.startsWith("http://")) << url_.toStdString();
    }

    QString File(const QString& name) const { return folder_.filePath(name); }
    void Write(const QString& name, const QByteArray& bytes) {
        QFile f(File(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QByteArray Read(const QString& name) const {
        QFile f(File(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void WriteOptions(const std::function<void(Settings&)>& change) {
        Settings s;
        s.AutoRun = "False";
        s.WorkMode = "DirectConn";
        s.Sound = "False";
        s.MSGError = "False";
        change(s);
        Write("Options.ini", SerializeSettings(s));
        settings_ = s;
    }
    void Start(const QStringList& arguments) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_CONFIG_HOME", config_.path());
        env.insert("XDG_CACHE_HOME", cache_.path());
        env.insert("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=" + cache_.filePath("no-system-bus")); // no NetworkManager
        env.insert("VETORLAN_SERVICE_URL", url_);
        env.insert("VETORLAN_IMAGE_HOST", kImageHost);
        program_.setProcessEnvironment(env);
        program_.setWorkingDirectory(folder_.path());
        program_.start(File("nimbora"), arguments);
        ASSERT_TRUE(program_.waitForStarted(10000));
    }
    // Runs "/load" and expects the program to end by itself with `exitCode`.
    void RunLoad(int exitCode = kExitLoaded) {
        Start({"/load"});
        ASSERT_TRUE(program_.waitForFinished(60000)) << "the one-shot load did not end";
        EXPECT_EQ(program_.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program_.exitCode(), exitCode);
    }
    // The page the service gives for an index, as the program must leave it on disk.
    QByteArray ExpectedPage(const QString& index, const QString& multiLoad) {
        CurlHttpClient client(CurlHttpClient::PageServiceLimits());
        SetHttpClient(&client);
        const FetchResult raw = FetchPage(url_ + "/detailed.xml?city=" + index);
        SetHttpClient(nullptr);
        EXPECT_TRUE(raw.ok) << raw.error.toStdString();
        return ConvertPageText(raw.body, multiLoad, kImageHost);
    }
    bool WaitFor(const std::function<bool()>& condition, int ms = 15000) {
        QElapsedTimer timer;
        timer.start();
        while (!condition()) {
            if (timer.elapsed() > ms || program_.state() == QProcess::NotRunning)
                return condition();
            QThread::msleep(50);
        }
        return true;
    }

    QTemporaryDir folder_, config_, cache_, scratch_;
    QProcess service_, program_;
    QString url_;
    Settings settings_;
};

TEST_F(ProgramRunTest, FirstRunWritesDefaultsAndAutostartThenAsks) {
    Start({});
    const QString autostart = config_.filePath("autostart/Vetorlan.desktop");
    ASSERT_TRUE(WaitFor([&] { return QFile::exists(File("Options.ini")) && QFile::exists(autostart); }));
    EXPECT_EQ(Read("Options.ini"), SerializeSettings(FirstRunSettings(false)));
    QFile entry(autostart);
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    EXPECT_TRUE(entry.readAll().contains("Exec=" + File("nimbora").toUtf8()));
    // The first-run question is open: the program waits for it, it has not ended.
    QThread::msleep(300);
    EXPECT_EQ(program_.state(), QProcess::Running);
}

TEST_F(ProgramRunTest, SingleTownLoadWritesThePageAndEnds) {
    WriteOptions([](Settings&) {});
    Write("gorod.ini", FormatGorodIni({1, 22}));
    RunLoad();
    EXPECT_EQ(Read("nimbora.htm"), ExpectedPage("27612", "False"));
    EXPECT_EQ(Read("gorod.ini"), FormatGorodIni({1, 22}));
}

TEST_F(ProgramRunTest, MultiTownLoadWritesPagesAndIndexInEveryStyle) {
    const QList<int> rows = {0, 270, 399};
    for (const char* style : {"Animation", "List"}) {
        for (const char* latin : {"False", "True"}) {
            SCOPED_TRACE(std::string(style) + " " + latin);
            WriteOptions([&](Settings& s) {
                s.MultiLoad = "True";
                s.IndexStyle = style;
                s.TranslitFileName = latin;
            });
            Write("goroda.ini", FormatGorodaIni(rows));
            RunLoad();
            // What the index page must hold, computed here from the same choice.
            TownSelection towns;
            TownFileNameList names;
            for (int row : rows)
                towns.Add(CatalogEntry(row + 1));
            for (int i = 1; i <= towns.count; ++i) {
                const QString name = TownName(towns[i]);
                const QString file = IsTrue(latin) ? LatinTownName(name) : name;
                names[i] = IsTrue(latin) ? file : towns[i];
                EXPECT_EQ(Read(file + ".htm"), ExpectedPage(TownIndex(towns[i]), "True")) << file.toStdString();
            }
            EXPECT_EQ(Read("Nimbora.htm"), IndexPageText(towns, names, settings_));
            EXPECT_EQ(Read("goroda.ini"), FormatGorodaIni(rows));
            for (const QString& name : QDir(folder_.path()).entryList({"*.htm"}, QDir::Files))
                QFile::remove(File(name));
        }
    }
}

// Killed at random moments of a multi-town load, every page is the old one or the whole new
// one; temporary files that a killed load leaves are gone after the next load.
TEST_F(ProgramRunTest, KilledLoadsLeaveEveryPageOldOrNew) {
    QList<int> rows;
    for (int row = 0; row < 400; row += 4)
        rows << row;
    WriteOptions([](Settings& s) {
        s.MultiLoad = "True";
        s.IndexStyle = "List";
    });
    Write("goroda.ini", FormatGorodaIni(rows));
    QElapsedTimer clock;
    clock.start();
    RunLoad();
    const int loadMs = int(clock.elapsed());
    std::printf("a whole load took %d ms\n", loadMs);
    QMap<QString, QByteArray> finished;
    for (const QString& name : QDir(folder_.path()).entryList({"*.htm"}, QDir::Files))
        finished[name] = Read(name);
    ASSERT_EQ(finished.size(), rows.size() + 1);
    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    for (int round = 0; round < 25; ++round) {
        SCOPED_TRACE(QStringLiteral("seed %1 round %2").arg(seed).arg(round).toStdString());
        for (const QString& name : finished.keys())
            Write(name, "old " + name.toUtf8());
        Start({"/load"});
        QThread::msleep(random() % (loadMs + 1));
        program_.kill();
        program_.waitForFinished(5000);
        for (const QString& name : finished.keys()) {
            const QByteArray page = Read(name);
            EXPECT_TRUE(page == finished[name] || page == "old " + name.toUtf8()) << name.toStdString();
        }
    }
    Write(QString::fromUtf8("Абакан.htm~k1lled.tmp"), "left by a killed load");
    Write(QString::fromUtf8("Азов.htm.vetorlan-tmp"), "left by an older version");
    RunLoad();
    for (const QString& name : QDir(folder_.path()).entryList(QDir::Files | QDir::Hidden))
        EXPECT_FALSE(IsTemporaryFileName(name) || name.endsWith(".vetorlan-tmp")) << name.toStdString();
    for (const QString& name : finished.keys())
        EXPECT_EQ(Read(name), finished[name]) << name.toStdString();
}

TEST_F(ProgramRunTest, FailedFetchLeavesTheOldPage) {
    WriteOptions([](Settings& s) { s.LoadExit = "True"; });
    Write("gorod.ini", FormatGorodIni({0, 5}));
    Write("nimbora.htm", "old forecast");
    Stop(service_);
    RunLoad(kExitFailed);
    EXPECT_EQ(Read("nimbora.htm"), QByteArray("old forecast"));
    QFile log(cache_.filePath("vetorlan/vetorlan.log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QString logged = QString::fromUtf8(log.readAll());
    EXPECT_TRUE(logged.contains(u"): не загружен — 127.0.0.1:"_qs)) << logged.toStdString();
    EXPECT_TRUE(logged.contains(u": нет соединения с сервером ("_qs)) << logged.toStdString();
}

TEST_F(ProgramRunTest, PartlyDamagedTownFilesStillLoad) {
    WriteOptions([](Settings& s) { s.MultiLoad = "True"; });
    Write("goroda.ini", " 9  3 , 5\r\n 4000  7 x 8");
    RunLoad();
    // The rows before the first bad number (3 and 5) were loaded, with their index page.
    EXPECT_EQ(QDir(folder_.path()).entryList({"*.htm"}, QDir::Files).size(), 3);
    EXPECT_TRUE(QFile::exists(File("Nimbora.htm")));
}

TEST_F(ProgramRunTest, DamagedFilesNeitherCrashNorHang) {
    struct Row {
        const char* name;
        QByteArray options, gorod, goroda;
    };
    Settings multi;
    multi.MultiLoad = "True";
    multi.MSGError = "False";
    const Row rows[] = {
        {"garbage settings", QByteArray("\xff\xfe garbage\r\n=\r\n", 16), "", ""},
        {"short settings", SerializeSettings(Settings{}).left(120), "1 2", ""},
        {"garbage single town", SerializeSettings(Settings{}), QByteArray("\x00\x01 -99999999999999999999 z", 26), ""},
        {"garbage multi town", SerializeSettings(multi), "", QByteArray("\xff 7 7 7 -1 \x00", 13)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Write("Options.ini", row.options);
        Write("gorod.ini", row.gorod);
        Write("goroda.ini", row.goroda);
        Start({"/load"});
        // It either ends by itself or waits on a message box; either way it stays alive and sane.
        program_.waitForFinished(3000);
        if (program_.state() == QProcess::NotRunning) {
            EXPECT_EQ(program_.exitStatus(), QProcess::NormalExit);
        } else {
            Stop(program_);
        }
        // Unrecognised settings are replaced by the defaults; a file cut short is kept.
        if (!row.options.startsWith("Vetorlan Options")) {
            EXPECT_EQ(Read("Options.ini"), SerializeSettings(FirstRunSettings(false)));
        } else {
            EXPECT_EQ(Read("Options.ini"), row.options);
        }
    }
}

#ifdef Q_OS_LINUX
TEST_F(ProgramRunTest, IdleProgramMapsNoSoundLibraries) {
    WriteOptions([](Settings&) {});
    Write("gorod.ini", FormatGorodIni({1, 22}));
    Start({});
    QFile maps(QStringLiteral("/proc/%1/maps").arg(program_.processId()));
    QByteArray mapped;
    // The platform plugin is loaded with the application, after every linked library.
    ASSERT_TRUE(WaitFor([&] {
        mapped = maps.open(QIODevice::ReadOnly) ? maps.readAll() : QByteArray();
        maps.close();
        return mapped.contains("offscreen");
    }));
    for (const char* library : {"canberra", "libpulse", "libasound", "Multimedia"})
        EXPECT_FALSE(mapped.contains(library)) << library;
}
#endif

} // namespace
} // namespace vetorlan::test
