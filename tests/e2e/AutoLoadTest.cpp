// The built program on a permanent line, started into the tray without a display, against
// the sample forecast service on loopback.
#include "core/Settings.h"
#include "tests/e2e/E2eProcess.h"
#include "tests/support/StallingServer.h"
#include "towns/TownLists.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <signal.h>

namespace vetorlan::test {
namespace {

class AutoLoadTest : public ::testing::Test {
protected:
    void SetUp() override {
        url_ = StartSampleService(service_);
        ASSERT_TRUE(url_.startsWith("http://")) << url_.toStdString();
        // A forecast written "today" must stay today's while the test runs.
        while (QTime::currentTime() > QTime(23, 59, 0))
            QThread::sleep(5);
    }
    void TearDown() override {
        StopProcess(program_);
        StopProcess(service_);
    }

    QString File(const QString& name) const { return folder_.filePath(name); }

    // A program folder for a permanent line that starts in the tray and ends after a load.
    void PrepareFolder(const QDateTime& forecastModified, const char* loadExit = "True") {
        ASSERT_TRUE(QFile::copy(NIMBORA_BINARY, File("nimbora")));
        Settings s;
        s.AutoRun = "False";
        s.StartTray = "True";
        s.WorkMode = "DirectConn";
        s.LoadExit = loadExit;
        s.ShellLoad = "False";
        s.Sound = "False";
        s.MSGError = "False";
        s.TimeLoad = QTime::currentTime().addSecs(12 * 3600).toString("HH:mm"); // not in this test's minute
        Write("Options.ini", SerializeSettings(s));
        Write("gorod.ini", FormatGorodIni({1, 22})); // Moscow
        Write("nimbora.htm", "<html>old forecast</html>");
        QFile page(File("nimbora.htm"));
        ASSERT_TRUE(page.open(QIODevice::ReadWrite));
        ASSERT_TRUE(page.setFileTime(forecastModified, QFileDevice::FileModificationTime));
    }
    void Write(const QString& name, const QByteArray& contents) {
        QFile f(File(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(contents) == contents.size());
    }
    void Start() {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("VETORLAN_SERVICE_URL", url_);
        env.insert("VETORLAN_IMAGE_HOST", url_);
        env.insert("XDG_CONFIG_HOME", File("config"));
        env.insert("XDG_CACHE_HOME", File("cache"));
        env.insert("XDG_RUNTIME_DIR", runtime_.path());
        program_.setProcessEnvironment(env);
        program_.setWorkingDirectory(folder_.path());
        program_.start(File("nimbora"), {});
        ASSERT_TRUE(program_.waitForStarted(5000));
    }

    QTemporaryDir folder_, runtime_;
    QProcess service_, program_;
    QString url_;
};

TEST_F(AutoLoadTest, StaleForecastIsLoadedByItselfAndTheProgramEnds) {
    PrepareFolder(QDateTime::currentDateTime().addDays(-2));
    Start();
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(program_.waitForFinished(60000)) << "no automatic load ended the program";
    EXPECT_EQ(program_.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program_.exitCode(), 0);
    RecordProperty("seconds_to_exit", QString::number(clock.elapsed() / 1000.0).toStdString());
    const QFileInfo page(File("nimbora.htm"));
    EXPECT_EQ(page.lastModified().date(), QDate::currentDate());
    QFile f(page.filePath());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_FALSE(f.readAll().contains("old forecast"));
}

TEST_F(AutoLoadTest, TodaysForecastIsLeftAlone) {
    const QDateTime written = QDateTime::currentDateTime().addSecs(-60);
    PrepareFolder(written);
    Start();
    EXPECT_FALSE(program_.waitForFinished(4000)) << "the program ended on its own";
    EXPECT_EQ(QFileInfo(File("nimbora.htm")).lastModified().toSecsSinceEpoch(), written.toSecsSinceEpoch());
}

#ifdef Q_OS_LINUX
// The load ran in a load process: the program in the tray never maps the network libraries.
TEST_F(AutoLoadTest, TrayProgramMapsNoNetworkLibrariesAfterItsLoad) {
    PrepareFolder(QDateTime::currentDateTime().addDays(-2), "False");
    Start();
    QElapsedTimer clock;
    clock.start();
    const auto loaded = [&] {
        QFile page(File("nimbora.htm"));
        return page.open(QIODevice::ReadOnly) && !page.readAll().contains("old forecast");
    };
    while (!loaded() && clock.elapsed() < 60000 && program_.state() == QProcess::Running)
        QThread::msleep(100);
    ASSERT_TRUE(loaded()) << "no automatic load came";
    QThread::msleep(500); // the success actions run after the page is written
    ASSERT_EQ(program_.state(), QProcess::Running);
    QFile maps(QStringLiteral("/proc/%1/maps").arg(program_.processId()));
    ASSERT_TRUE(maps.open(QIODevice::ReadOnly));
    const QByteArray mapped = maps.readAll();
    for (const char* library : {"libcurl", "libssl", "libcrypto", "gnutls"})
        EXPECT_FALSE(mapped.contains(library)) << library;
}

// The program's load process: the child it started, if any.
qint64 LoadProcessOf(qint64 program) {
    for (const QString& task :
         QDir(QStringLiteral("/proc/%1/task").arg(program)).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile children(QStringLiteral("/proc/%1/task/%2/children").arg(program).arg(task));
        if (children.open(QIODevice::ReadOnly))
            if (const QByteArray ids = children.readAll().trimmed(); !ids.isEmpty())
                return ids.split(' ').first().toLongLong();
    }
    return 0;
}

// Killed in the middle of an automatic load, the load process takes only the load with it:
// the program in the tray runs on, keeps the old page and logs the failure with its reason.
TEST_F(AutoLoadTest, AKilledLoadProcessLeavesTheTrayProgramRunning) {
    StallingServer stalling;
    ASSERT_NE(stalling.port(), 0);
    url_ = QString::fromLatin1(stalling.url());
    PrepareFolder(QDateTime::currentDateTime().addDays(-2), "False");
    Start();
    QElapsedTimer clock;
    clock.start();
    qint64 child = 0;
    while ((child = LoadProcessOf(program_.processId())) == 0 && clock.elapsed() < 30000)
        QThread::msleep(50);
    ASSERT_NE(child, 0) << "no load process came";
    ASSERT_EQ(::kill(pid_t(child), SIGKILL), 0);
    QFile log(File("cache/vetorlan/vetorlan.log"));
    const auto logged = [&] {
        log.close();
        return log.open(QIODevice::ReadOnly) &&
               QString::fromUtf8(log.readAll()).contains(QString::fromUtf8("прерван (сигнал 9)"));
    };
    while (!logged() && clock.elapsed() < 40000)
        QThread::msleep(50);
    EXPECT_TRUE(logged()) << "the failure is not in the log";
    EXPECT_EQ(program_.state(), QProcess::Running);
    QFile page(File("nimbora.htm"));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    EXPECT_TRUE(page.readAll().contains("old forecast"));
}
#endif

} // namespace
} // namespace vetorlan::test
