// The built program's one-shot load made from the live sources (no page service configured),
// against the loopback stand-in of MET Norway and Open-Meteo; and the shipped office cache
// (nginx) in front of the stand-in, shared by several desktops' loads.
#include "core/CodePage.h"
#include "core/Settings.h"
#include "forecast/LoadPipeline.h"
#include "tests/core/DefaultOptionsFile.h"
#include "tests/e2e/E2eProcess.h"
#include "tools/live-stand-in/LiveStandIn.h"
#include "towns/TownCatalog.h"
#include "towns/TownLists.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <memory>
#include <unistd.h>

namespace vetorlan::test {
namespace {

const QString kMetCredit = QStringLiteral("<a href=\"https://api.met.no/\">MET Norway</a>");

QByteArray ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// One desktop: its own program folder, settings and cache.
struct Desktop {
    QTemporaryDir folder, config, cache;
    QProcess program;

    QString File(const QString& name) const { return folder.filePath(name); }
    bool Prepare(const QList<int>& rows) {
        Settings s;
        s.AutoRun = "False";
        s.WorkMode = "DirectConn";
        s.Sound = "False";
        s.MSGError = "False";
        s.MultiLoad = rows.size() > 1 ? "True" : "False";
        const bool written = rows.size() > 1 ? WriteFile(File("goroda.ini"), FormatGorodaIni(rows))
                                             : WriteFile(File("gorod.ini"), FormatGorodIni({1, 22}));
        return written && WriteFile(File("Options.ini"), SerializeSettings(s)) &&
               QFile::copy(NIMBORA_BINARY, File("nimbora"));
    }
    // Moscow with the Options.ini a first run writes by the record's defaults (a dial-up line).
    bool PrepareDefaults() {
        return WriteFile(File("gorod.ini"), FormatGorodIni({1, 22})) && WriteFile(File("Options.ini"), kDefaultFile) &&
               QFile::copy(NIMBORA_BINARY, File("nimbora"));
    }
    void Start(const QString& metNorway, const QString& openMeteo) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_CONFIG_HOME", config.path());
        env.insert("XDG_CACHE_HOME", cache.path());
        env.insert("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=" + cache.filePath("no-bus")); // no NetworkManager
        env.insert("VETORLAN_SERVICE_URL", "");
        env.insert("VETORLAN_METNO_URL", metNorway);
        env.insert("VETORLAN_OPENMETEO_URL", openMeteo);
        program.setProcessEnvironment(env);
        program.setWorkingDirectory(folder.path());
        program.start(File("nimbora"), {"/load"});
    }
    bool Finish(int exitCode = kExitLoaded) {
        const bool ended = program.waitForFinished(60000);
        StopProcess(program);
        return ended && program.exitStatus() == QProcess::NormalExit && program.exitCode() == exitCode;
    }
    QString Page(const QString& name) const { return fromCp1251(ReadFile(File(name))); }
    QString Log() const { return QString::fromUtf8(ReadFile(cache.filePath("vetorlan/vetorlan.log"))); }
};

int Days(const QString& page) {
    return int(page.count(u"class=\"b-forecast-details__date"_qs));
}

class LiveLoad : public ::testing::Test {
protected:
    QString MetBase() const { return QString::fromStdString(standIn_.metNorwayBase()); }
    QString OpenMeteoBase() const { return QString::fromStdString(standIn_.openMeteoBase()); }

    standin::LiveStandIn standIn_{QStringLiteral(VETORLAN_LIVE_FIXTURES)};
};

TEST_F(LiveLoad, OneTownAndSeveralTownsGetPagesWithTheSourceCredit) {
    Desktop one;
    ASSERT_TRUE(one.Prepare({}));
    one.Start(MetBase(), OpenMeteoBase());
    ASSERT_TRUE(one.Finish()) << one.program.readAllStandardError().toStdString();
    const QString page = one.Page("nimbora.htm");
    EXPECT_EQ(Days(page), 7);
    EXPECT_TRUE(page.contains(kMetCredit));
    EXPECT_TRUE(page.contains(u"<h1>Москва</h1>"_qs));
    EXPECT_TRUE(page.contains(u"<div class=\"b-meteogram\">"_qs));
    // Station pressure, precipitation and gusts, and the days the page has in its title.
    EXPECT_TRUE(page.contains(u"<th>Осадки, мм</th>"_qs) && page.contains(u"<th>Порывы, м/с</th>"_qs));
    EXPECT_TRUE(page.contains(u"прогноз на 7 дней</title>"_qs));

    Desktop several;
    const QList<int> rows = {0, 270, 399};
    ASSERT_TRUE(several.Prepare(rows));
    standIn_.metFault = standin::Fault::ServerError; // Open-Meteo answers instead
    several.Start(MetBase(), OpenMeteoBase());
    ASSERT_TRUE(several.Finish()) << several.program.readAllStandardError().toStdString();
    EXPECT_TRUE(QFile::exists(several.File("Nimbora.htm")));
    for (int row : rows) {
        const QString town = several.Page(TownName(CatalogEntry(row + 1)) + ".htm");
        EXPECT_EQ(Days(town), 2) << row;
        EXPECT_TRUE(town.contains(u"прогноз на 2 дня</title>"_qs)) << row;
        EXPECT_TRUE(town.contains(u"Данные о погоде: Open-Meteo.com"_qs)) << row;
        EXPECT_TRUE(town.contains(u"<div class=\"b-meteogram\">"_qs)) << row;
    }
}

// The Options.ini of the record's defaults says "DialUp"; a machine with no NetworkManager has
// no modem-type link, so the load goes ahead as on a permanent line.
TEST_F(LiveLoad, DefaultSettingsLoadWithoutNetworkManager) {
    Desktop desktop;
    ASSERT_TRUE(desktop.PrepareDefaults());
    desktop.Start(MetBase(), OpenMeteoBase());
    ASSERT_TRUE(desktop.Finish()) << desktop.program.readAllStandardError().toStdString();
    EXPECT_EQ(Days(desktop.Page("nimbora.htm")), 7);
    EXPECT_TRUE(desktop.Log().contains(u"Москва (27612): загружен\n"_qs)) << desktop.Log().toStdString();
}

TEST_F(LiveLoad, BothSourcesFailingLeaveBothReasonsInTheLogAndAFailingExit) {
    Desktop desktop;
    ASSERT_TRUE(desktop.Prepare({}));
    standIn_.metFault = standin::Fault::Slow;
    standIn_.slowSeconds = 6; // beyond the program's 4 s
    standIn_.openMeteoFails = true;
    desktop.Start(MetBase(), OpenMeteoBase());
    ASSERT_TRUE(desktop.Finish(kExitFailed)) << desktop.program.exitCode();
    const QString line = u"Москва (27612): не загружен — MET Norway: нет ответа за 4 с ("_qs;
    EXPECT_TRUE(desktop.Log().contains(line)) << desktop.Log().toStdString();
    EXPECT_TRUE(desktop.Log().contains(u"; Open-Meteo: HTTP 500\n"_qs)) << desktop.Log().toStdString();
    EXPECT_TRUE(QString::fromUtf8(desktop.program.readAllStandardError()).contains(line)) << "also on standard error";
    EXPECT_FALSE(QFile::exists(desktop.File("nimbora.htm")));
}

// A load clears what a killed one left in the cache; a temporary file still being written, by
// another copy of the program sharing the cache, stays.
TEST_F(LiveLoad, LeftoversOfAKilledLoadAreClearedFromTheCache) {
    Desktop one;
    ASSERT_TRUE(one.Prepare({}));
    const QDir cache(one.cache.filePath("vetorlan"));
    ASSERT_TRUE(cache.mkpath("."));
    const QString killed = cache.filePath("metno-27612.json~k1ll3d.tmp");
    const QString writing = cache.filePath("metno-26063.json~n0wr1t.tmp");
    for (const QString& temporary : {killed, writing})
        ASSERT_TRUE(WriteFile(temporary, "{\"body\": \"{\\\"type\\\": \\\"Fea"));
    QFile old(killed);
    ASSERT_TRUE(old.open(QIODevice::ReadWrite) &&
                old.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
    old.close();
    one.Start(MetBase(), OpenMeteoBase());
    ASSERT_TRUE(one.Finish()) << one.program.readAllStandardError().toStdString();
    EXPECT_FALSE(QFile::exists(killed));
    EXPECT_TRUE(QFile::exists(writing));
    EXPECT_TRUE(QFile::exists(cache.filePath("metno-27612.json")));
}

int FreePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

bool Listening(int port) {
    for (int i = 0; i < 100; ++i) {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, quint16(port));
        if (socket.waitForConnected(100))
            return true;
        QThread::msleep(50);
    }
    return false;
}

// The shipped configuration with its addresses and paths moved to this test's own.
QByteArray OfficeCacheConfig(const QString& dir, int metPort, int meteoPort, const QString& met, const QString& meteo) {
    QByteArray conf = ReadFile(QStringLiteral(VETORLAN_OFFICE_CACHE_CONF));
    conf.replace("listen 127.0.0.1:8081", "listen 127.0.0.1:" + QByteArray::number(metPort));
    conf.replace("listen 127.0.0.1:8082", "listen 127.0.0.1:" + QByteArray::number(meteoPort));
    conf.replace("https://api.met.no/weatherapi/locationforecast/2.0/", met.toUtf8() + "/");
    conf.replace("https://api.open-meteo.com/v1/", meteo.toUtf8() + "/");
    conf.replace("/run/vetorlan-office-cache.pid", dir.toUtf8() + "/nginx.pid");
    conf.replace("/var/log/nginx", dir.toUtf8());
    conf.replace("/var/cache/nginx", dir.toUtf8());
    if (geteuid() == 0)
        conf.prepend("user root;\n"); // the workers must reach this test's private folder
    return conf;
}

TEST_F(LiveLoad, OfficeCacheAsksUpstreamOncePerTownWhileFresh) {
    QString nginx = QStandardPaths::findExecutable("nginx", {"/usr/sbin", "/usr/local/sbin"});
    if (nginx.isEmpty())
        GTEST_SKIP() << "nginx is not installed (scripts/setup.sh installs nginx-light)";
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath("vetorlan-temp"));
    const int metPort = FreePort(), meteoPort = FreePort();
    ASSERT_TRUE(WriteFile(dir.filePath("nginx.conf"),
                          OfficeCacheConfig(dir.path(), metPort, meteoPort, MetBase(), OpenMeteoBase())));
    QProcess server;
    server.setProcessChannelMode(QProcess::ForwardedChannels);
    server.start(nginx, {"-p", dir.path(), "-e", dir.filePath("error.log"), "-c", dir.filePath("nginx.conf"), "-g",
                         "daemon off;"});
    ASSERT_TRUE(server.waitForStarted(5000));
    ASSERT_TRUE(Listening(metPort) && Listening(meteoPort)) << ReadFile(dir.filePath("error.log")).toStdString();

    const QList<int> rows = {0, 1, 2};
    const QString viaCache = u"http://127.0.0.1:%1"_qs;
    std::vector<std::unique_ptr<Desktop>> desktops;
    for (int copy = 0; copy < 3; ++copy) {
        desktops.push_back(std::make_unique<Desktop>());
        ASSERT_TRUE(desktops.back()->Prepare(rows));
        desktops.back()->Start(viaCache.arg(metPort), viaCache.arg(meteoPort));
    }
    for (auto& desktop : desktops) {
        EXPECT_TRUE(desktop->Finish());
        for (int row : rows)
            EXPECT_TRUE(desktop->Page(TownName(CatalogEntry(row + 1)) + ".htm").contains(kMetCredit)) << row;
    }
    StopProcess(server);
    EXPECT_EQ(standIn_.count("/metno/complete"), int(rows.size())) << "one upstream request per town";
    EXPECT_EQ(standIn_.count("/openmeteo/forecast"), 0);
    for (const auto& seen : standIn_.seen())
        EXPECT_EQ(seen.userAgent.rfind("Vetorlan/", 0), 0u) << seen.userAgent;
}

} // namespace
} // namespace vetorlan::test
