// The built program's first run on a virtual X display: answer "Да" to the first-run
// question, walk the setup wizard to "Готово" with key presses, then find the settings file
// as the wizard set it and the main window shown. Skipped when Xvfb or xdotool is missing.
#include "core/Settings.h"
#include "tests/e2e/E2eProcess.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace vetorlan::test {
namespace {

constexpr int kWaitMs = 30000;

class WizardRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        xvfb_ = QStandardPaths::findExecutable("Xvfb");
        xdotool_ = QStandardPaths::findExecutable("xdotool");
        if (xvfb_.isEmpty() || xdotool_.isEmpty())
            GTEST_SKIP() << "Xvfb or xdotool is not installed";
        ASSERT_TRUE(folder_.isValid() && config_.isValid());
        StartDisplay();
        ASSERT_TRUE(QFile::copy(NIMBORA_BINARY, folder_.filePath("nimbora")));
    }
    void TearDown() override {
        Stop(program_);
        Stop(display_);
    }
    static void Stop(QProcess& p) { StopProcess(p); }

    // A display number whose socket and lock file are both free.
    void StartDisplay() {
        for (int n = 140; n < 200 && display_.state() == QProcess::NotRunning; ++n) {
            if (QFile::exists(QString("/tmp/.X11-unix/X%1").arg(n)) || QFile::exists(QString("/tmp/.X%1-lock").arg(n)))
                continue;
            displayName_ = QString(":%1").arg(n);
            display_.start(xvfb_, {displayName_, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"});
            ASSERT_TRUE(display_.waitForStarted(5000));
            const QString socket = QString("/tmp/.X11-unix/X%1").arg(n);
            QElapsedTimer clock;
            clock.start();
            while (!QFile::exists(socket) && display_.state() == QProcess::Running && clock.elapsed() < kWaitMs)
                QThread::msleep(50);
        }
        ASSERT_EQ(display_.state(), QProcess::Running) << "no free display";
    }

    QProcessEnvironment Environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", displayName_);
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("XDG_CONFIG_HOME", config_.path());
        env.insert("VETORLAN_SERVICE_URL", "http://127.0.0.1:9");
        return env;
    }

    QString XdoTool(const QStringList& args) const {
        QProcess p;
        p.setProcessEnvironment(Environment());
        p.start(xdotool_, args);
        p.waitForFinished(10000);
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    }

    // The first visible window with exactly this title, waited for.
    QString WaitForWindow(const QString& title) const {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < kWaitMs) {
            const QString ids = XdoTool({"search", "--onlyvisible", "--name", "^" + title + "$"});
            if (!ids.isEmpty())
                return ids.split('\n').first();
            QThread::msleep(100);
        }
        return {};
    }

    void PressReturnIn(const QString& title) {
        const QString window = WaitForWindow(title);
        ASSERT_FALSE(window.isEmpty()) << "no window " << title.toStdString();
        XdoTool({"windowfocus", "--sync", window});
        XdoTool({"key", "Return"});
        // The window goes away once the key has been handled.
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < kWaitMs &&
               !XdoTool({"search", "--onlyvisible", "--name", "^" + title + "$"}).isEmpty())
            QThread::msleep(100);
    }

    QTemporaryDir folder_, config_;
    QString xvfb_, xdotool_, displayName_;
    QProcess display_, program_;
};

TEST_F(WizardRunTest, FirstRunWizardWithItsInitialChoicesEndsWithTheMainWindowShown) {
    program_.setProcessEnvironment(Environment());
    program_.setWorkingDirectory(folder_.path());
    program_.start(folder_.filePath("nimbora"), {});
    ASSERT_TRUE(program_.waitForStarted(5000));

    PressReturnIn("Совет"); // "Да" is the default answer
    for (const char* page : {"Шаг первый", "Шаг второй", "Шаг третий", "Шаг четвертый"})
        PressReturnIn(page); // "Далее >" and, last, "Готово" are the default buttons

    EXPECT_FALSE(WaitForWindow("Веторлан - v 1.5").isEmpty()) << "the main window is shown again";
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
