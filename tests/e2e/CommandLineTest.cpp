// The built program started as from a text console or cron: no display, no Qt platform chosen.
// --help and --version answer and write nothing; "/load" writes the page headless; a data
// folder that cannot be made is named at start-up.
#include "core/ProjectInfo.h"
#include "core/Settings.h"
#include "tests/e2e/E2eProcess.h"
#include "towns/TownLists.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace vetorlan::test {
namespace {

class CommandLineTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid() && home_.isValid());
        ASSERT_TRUE(QFile::copy(NIMBORA_BINARY, Program()));
    }
    void TearDown() override {
        StopProcess(program_);
        StopProcess(service_);
    }
    QString Program() const { return folder_.filePath("nimbora"); }
    void Write(const QString& name, const QByteArray& bytes) {
        QFile f(folder_.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }

    // Runs the program to its end in a session without a display, in a fresh home.
    void Run(const QStringList& arguments, const QString& serviceUrl = QStringLiteral("http://127.0.0.1:9")) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_CONFIG_HOME", "XDG_DATA_HOME",
                                 "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"})
            env.remove(name);
        env.insert("HOME", home_.path());
        env.insert("VETORLAN_SERVICE_URL", serviceUrl);
        program_.setProcessEnvironment(env);
        program_.setWorkingDirectory(home_.path());
        program_.start(Program(), arguments);
        ASSERT_TRUE(program_.waitForStarted(10000));
        ASSERT_TRUE(program_.waitForFinished(60000)) << "the program did not end";
        EXPECT_EQ(program_.exitStatus(), QProcess::NormalExit) << program_.readAllStandardError().toStdString();
    }
    // Every file below `root`, as paths relative to it.
    static QStringList FilesBelow(const QString& root) {
        QStringList files;
        QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (it.hasNext())
            files << QDir(root).relativeFilePath(it.next());
        return files;
    }

    QTemporaryDir folder_, home_;
    QProcess program_, service_;
};

TEST_F(CommandLineTest, HelpAndVersionAnswerWithoutADisplayAndWriteNothing) {
    const std::pair<const char*, QString> requests[] = {{"--help", "/load"},
                                                        {"--version", "Vetorlan) " + ProgramVersion() + "\n"}};
    for (const auto& [option, expected] : requests) {
        SCOPED_TRACE(option);
        Run({option});
        EXPECT_EQ(program_.exitCode(), 0);
        EXPECT_TRUE(QString::fromUtf8(program_.readAllStandardOutput()).contains(expected));
    }
    EXPECT_EQ(FilesBelow(folder_.path()), QStringList{"nimbora"});
    EXPECT_EQ(FilesBelow(home_.path()), QStringList{});
}

TEST_F(CommandLineTest, LoadWritesThePageWithoutADisplay) {
    const QString url = StartSampleService(service_);
    ASSERT_TRUE(url.startsWith("http://")) << url.toStdString();
    Settings s;
    s.AutoRun = s.Sound = s.MSGError = "False";
    s.WorkMode = "DirectConn";
    Write("Options.ini", SerializeSettings(s));
    Write("gorod.ini", FormatGorodIni({1, 22}));
    Run({"/load"}, url);
    QFile page(folder_.filePath("nimbora.htm"));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly)) << program_.readAllStandardError().toStdString();
    EXPECT_GT(page.size(), 1000);
}

// An installed program (its own folder read-only) whose home cannot be written.
TEST_F(CommandLineTest, ADataFolderThatCannotBeMadeIsNamedAtStartUp) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders; the suite's ordinary-user run covers this";
    const auto setMode = [this](mode_t mode) {
        for (const QString& path : {folder_.path(), home_.path()})
            chmod(QFile::encodeName(path).constData(), mode);
    };
    const auto restore = qScopeGuard([&setMode] { setMode(0700); });
    setMode(0555);
    Run({"/load"});
    const QString errors = QString::fromUtf8(program_.readAllStandardError());
    EXPECT_TRUE(errors.contains(QString::fromUtf8("Не удалось создать папку данных программы: ") + home_.path() +
                                "/.local/share/vetorlan"))
        << errors.toStdString();
}

} // namespace
} // namespace vetorlan::test
