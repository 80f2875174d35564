// The Debian package unpacked into a temporary root: its files where desktops look for them,
// the desktop entry and metainfo accepted by their validators, and the unpacked program run
// by an ordinary user with a fresh home keeping its files in ~/.local/share/vetorlan.
#include "core/Settings.h"
#include "tests/e2e/E2eProcess.h"
#include "towns/TownLists.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vetorlan::test {
namespace {

const QString kImageHost = QStringLiteral("http://images.invalid");

// Runs a tool to its end; its exit code, or -1 when it did not run. Output goes to `output`.
int RunTool(const QString& program, const QStringList& arguments, QString* output = nullptr) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, arguments);
    if (!p.waitForStarted(5000) || !p.waitForFinished(60000))
        return -1;
    if (output)
        *output = QString::fromUtf8(p.readAll());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

class PackageRunTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        root_ = new QTemporaryDir;
        if (QStandardPaths::findExecutable("dpkg-deb").isEmpty())
            return;
        unpacked_ = RunTool("dpkg-deb", {"-x", VETORLAN_DEB, root_->path()}) == 0;
        // Readable by the ordinary user; bin/ read-only as an installed program's folder is.
        chmod(QFile::encodeName(root_->path()).constData(), 0755);
        chmod(QFile::encodeName(Bin()).constData(), 0555);
    }
    static void TearDownTestSuite() {
        chmod(QFile::encodeName(Bin()).constData(), 0755);
        delete root_;
    }
    void SetUp() override {
        if (QStandardPaths::findExecutable("dpkg-deb").isEmpty())
            GTEST_SKIP() << "dpkg-deb is not installed";
        ASSERT_TRUE(unpacked_) << "dpkg-deb -x failed";
    }
    void TearDown() override {
        StopProcess(program_);
        StopProcess(service_);
    }

    static QString Installed(const QString& path) { return root_->path() + "/usr/" + path; }
    static QString Bin() { return Installed("bin"); }

    // A fresh home owned by the user who runs the program: nobody when the suite runs as root.
    void MakeHome() {
        ASSERT_TRUE(home_.isValid());
        ASSERT_TRUE(QDir().mkpath(home_.filePath("runtime")));
        if (geteuid() == 0) {
            const passwd* user = getpwnam("nobody");
            ASSERT_NE(user, nullptr);
            for (const QString& path : {home_.path(), home_.filePath("runtime")})
                ASSERT_EQ(chown(QFile::encodeName(path).constData(), user->pw_uid, user->pw_gid), 0);
        }
        chmod(QFile::encodeName(home_.filePath("runtime")).constData(), 0700);
    }
    QString Data(const QString& name) const { return home_.filePath(".local/share/vetorlan/" + name); }

    void Start(const QStringList& arguments) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"})
            env.remove(name);
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("VETORLAN_SERVICE_URL", url_);
        env.insert("VETORLAN_IMAGE_HOST", kImageHost);
        program_.setProcessEnvironment(env);
        program_.setWorkingDirectory(home_.path());
        // runuser sets HOME to the user's own; env puts the fresh one back.
        QStringList command = {"env", "HOME=" + home_.path(), "XDG_RUNTIME_DIR=" + home_.filePath("runtime"),
                               Installed("bin/nimbora")};
        if (geteuid() == 0)
            command = QStringList{"-u", "nobody", "--"} + command;
        program_.start(geteuid() == 0 ? "runuser" : command.takeFirst(), command + arguments);
        ASSERT_TRUE(program_.waitForStarted(10000));
    }
    bool WaitFor(const std::function<bool()>& condition) {
        QElapsedTimer timer;
        timer.start();
        while (!condition() && timer.elapsed() < 30000 && program_.state() != QProcess::NotRunning)
            QThread::msleep(50);
        return condition();
    }
    void Write(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }

    static inline QTemporaryDir* root_ = nullptr;
    static inline bool unpacked_ = false;
    QTemporaryDir home_;
    QProcess program_, service_;
    QString url_ = QStringLiteral("http://127.0.0.1:9");
};

TEST_F(PackageRunTest, FilesAreWhereTheDesktopLooksAndPassTheValidators) {
    QStringList expected = {"bin/nimbora",
                            "share/applications/vetorlan.desktop",
                            "share/icons/hicolor/scalable/apps/vetorlan.svg",
                            "share/metainfo/vetorlan.metainfo.xml",
                            "share/doc/vetorlan/copyright",
                            "share/vetorlan/nimbora.css",
                            "share/vetorlan/_i/main.gif",
                            "share/vetorlan/help/index.html"};
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        expected << QString("share/icons/hicolor/%1x%1/apps/vetorlan.png").arg(size);
    for (const QString& path : expected)
        EXPECT_TRUE(QFileInfo(Installed(path)).isFile()) << path.toStdString();
    EXPECT_TRUE(QFileInfo(Installed("bin/nimbora")).isExecutable());

    QString report;
    if (QStandardPaths::findExecutable("desktop-file-validate").isEmpty())
        ADD_FAILURE() << "desktop-file-validate is not installed (desktop-file-utils)";
    else
        EXPECT_EQ(RunTool("desktop-file-validate", {Installed("share/applications/vetorlan.desktop")}, &report), 0)
            << report.toStdString();
    if (QStandardPaths::findExecutable("appstreamcli").isEmpty())
        ADD_FAILURE() << "appstreamcli is not installed (appstream)";
    else
        EXPECT_EQ(RunTool("appstreamcli", {"validate", "--no-net", Installed("share/metainfo/vetorlan.metainfo.xml")},
                          &report),
                  0)
            << report.toStdString();
}

TEST_F(PackageRunTest, InstalledProgramKeepsItsFilesInTheUserDataFolder) {
    MakeHome();
    Start({});
    const QString autostart = home_.filePath(".config/autostart/Vetorlan.desktop");
    ASSERT_TRUE(WaitFor([&] { return QFile::exists(Data("Options.ini")) && QFile::exists(autostart); }))
        << program_.readAllStandardError().toStdString();
    QFile entry(autostart);
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    EXPECT_TRUE(entry.readAll().contains("\nExec=" + Installed("bin/nimbora").toUtf8() + "\n"));
    StopProcess(program_);

    url_ = StartSampleService(service_, {"--image-host", kImageHost});
    ASSERT_TRUE(url_.startsWith("http://")) << url_.toStdString();
    Settings s;
    s.AutoRun = "False";
    s.WorkMode = "DirectConn";
    s.Sound = "False";
    s.MSGError = "False";
    Write(Data("Options.ini"), SerializeSettings(s));
    Write(Data("gorod.ini"), FormatGorodIni({1, 22}));
    Start({"/load"});
    ASSERT_TRUE(program_.waitForFinished(60000)) << "the one-shot load did not end";
    EXPECT_EQ(program_.exitCode(), 0) << program_.readAllStandardError().toStdString();

    EXPECT_GT(QFileInfo(Data("nimbora.htm")).size(), 0);
    EXPECT_TRUE(QFileInfo(Data("nimbora.css")).isFile());
    EXPECT_TRUE(QFileInfo(Data("_i/main.gif")).isFile());
    EXPECT_EQ(QDir(Bin()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"nimbora"});
}

} // namespace
} // namespace vetorlan::test
