// The built program's first run on a virtual X display: answer "Да" to the first-run
// question, walk the setup wizard to "Готово" with key presses, then find the settings file
// as the wizard set it and the main window shown. Skipped when Xvfb or xdotool is missing.
#include "core/ProjectInfo.h"
#include "core/Settings.h"
#include "tests/e2e/VirtualDisplay.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vetorlan::test {
namespace {

class WizardRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        xdotool_ = QStandardPaths::findExecutable("xdotool");
        if (!VirtualDisplay::Available() || xdotool_.isEmpty())
            GTEST_SKIP() << "Xvfb or xdotool is not installed";
        ASSERT_TRUE(folder_.isValid() && config_.isValid());
        ASSERT_TRUE(display_.Start()) << display_.Log().toStdString();
        ASSERT_TRUE(QFile::copy(NIMBORA_BINARY, folder_.filePath("nimbora")));
    }
    void TearDown() override { StopProcess(program_); }

    QProcessEnvironment Environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", display_.Name());
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("XDG_CONFIG_HOME", config_.path());
        env.insert("VETORLAN_SERVICE_URL", "http://127.0.0.1:9");
        return env;
    }

    void StartProgram() {
        LogOutputTo(program_, folder_.filePath("output.log"));
        program_.setProcessEnvironment(Environment());
        program_.setWorkingDirectory(folder_.path());
        program_.start(folder_.filePath("nimbora"), {});
        ASSERT_TRUE(program_.waitForStarted(5000)) << program_.errorString().toStdString();
    }

    // xdotool's output; what it says on its error channel is kept for a failure report.
    QString XdoTool(const QStringList& args) {
        QProcess p;
        p.setProcessEnvironment(Environment());
        p.start(xdotool_, args);
        if (!p.waitForFinished(10000))
            xdotoolErrors_ += "xdotool " + args.join(' ') + " did not end in 10 s\n";
        xdotoolErrors_ += QString::fromUtf8(p.readAllStandardError());
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    }
    QString FindWindow(const QString& title) {
        return XdoTool({"search", "--onlyvisible", "--name", "^" + title + "$"}).section('\n', 0, 0);
    }

    // Waits until a window with this title is shown (present) or gone; stops early when the
    // program has ended, since then nothing will change.
    bool WaitForWindow(const QString& title, bool present = true) {
        const QDeadlineTimer deadline(kDisplayWaitMs);
        while (FindWindow(title).isEmpty() == present) {
            if (deadline.hasExpired() || program_.state() == QProcess::NotRunning || program_.waitForFinished(100))
                return false;
        }
        return true;
    }

    // Why a wait failed: the program's state and output, Xvfb's, and xdotool's complaints.
    ::testing::AssertionResult Failure(const QString& what) {
        return ::testing::AssertionFailure() << what.toStdString() << "\n"
                                             << DescribeState(program_, "nimbora").toStdString() << "; its output:\n"
                                             << ReadLog(folder_.filePath("output.log")).toStdString() << "\n"
                                             << display_.Log().toStdString() << "\nxdotool's errors:\n"
                                             << xdotoolErrors_.toStdString();
    }

    ::testing::AssertionResult Shown(const QString& title) {
        return WaitForWindow(title) ? ::testing::AssertionSuccess() : Failure("no window " + title);
    }

    ::testing::AssertionResult PressReturnIn(const QString& title) {
        if (::testing::AssertionResult shown = Shown(title); !shown)
            return shown;
        XdoTool({"windowfocus", "--sync", FindWindow(title)});
        XdoTool({"key", "Return"});
        // The window goes away once the key has been handled.
        if (!WaitForWindow(title, false))
            return Failure("the window " + title + " stays after Return");
        return ::testing::AssertionSuccess();
    }

    VirtualDisplay display_;
    QTemporaryDir folder_, config_;
    QString xdotool_, xdotoolErrors_;
    QProcess program_;
};

TEST_F(WizardRunTest, FirstRunWizardWithItsInitialChoicesEndsWithTheMainWindowShown) {
    StartProgram();
    ASSERT_TRUE(PressReturnIn("Совет")); // "Да" is the default answer
    for (const char* page : {"Шаг первый", "Шаг второй", "Шаг третий", "Шаг четвертый"})
        ASSERT_TRUE(PressReturnIn(page)); // "Далее >" and, last, "Готово" are the default buttons

    ASSERT_TRUE(Shown(QStringLiteral("Веторлан - v ") + ProgramVersion())) << "the main window is shown again";
    EXPECT_EQ(program_.state(), QProcess::Running);
    Settings expected = FirstRunSettings(false); // no NetworkManager here: a permanent line
    expected.StartTray = "True";
    expected.ShellLoad = "True";
    QFile file(folder_.filePath("Options.ini"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), SerializeSettings(expected));
    // The log-in entry runs this copy, and only while it is there.
    QFile entry(config_.filePath("autostart/Vetorlan.desktop"));
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    EXPECT_TRUE(entry.readAll().contains("\nTryExec=" + folder_.filePath("nimbora").toUtf8() + "\n"));
}

} // namespace
} // namespace vetorlan::test
