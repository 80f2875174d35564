// The dialogs driven by the real main window: its first-run "Да", its settings button and
// tray entry, and the timers it pauses and restarts around them.
#include "DialogsTestSupport.h"

#include "tests/ui/UiFakes.h"
#include "ui/Dialogs.h"
#include "ui/MainWindow.h"
#include "ui/SetupWizard.h"

#include <QPushButton>
#include <QTimer>
#include <memory>

namespace vetorlan::test {
namespace {

class MainWindowIntegrationTest : public DialogFixture {
protected:
    MainWindow& Start() {
        window = std::make_unique<MainWindow>();
        AppSettingsContext() = SettingsContext{&autorun, window.get()};
        window->SetEndAtOnce([](int) {});
        window->SetExitProgram([] {});
        window->StartUp({});
        return *window;
    }
    void TearDown() override {
        settle();
        window.reset();
        DialogFixture::TearDown();
    }
    bool timersRunning() const {
        const Scheduler& s = window->TimerScheduler();
        return s.connectionWatchTimer.interval == 250 && s.dialUpLoadTimer.interval == 1000 &&
               s.scheduledLoadTimer.interval == 60000;
    }
    bool timersPaused() const {
        const Scheduler& s = window->TimerScheduler();
        return s.connectionWatchTimer.interval == 0 && s.dialUpLoadTimer.interval == 0 &&
               s.scheduledLoadTimer.interval == 0;
    }

    FakeFetcher fetcher;
    FakeShell shell;
    FakeLine line;
    std::unique_ptr<MainWindow> window;
};

TEST_F(MainWindowIntegrationTest, FirstRunYesWalksTheWizardAndShowsTheWindowAgain) {
    boxes.answerNext(MsgAnswer::Yes);
    MainWindow& w = Start();
    settle();
    ASSERT_NE(CurrentWizardPage(), nullptr);
    EXPECT_EQ(CurrentWizardPage()->windowTitle(), "Шаг первый");
    EXPECT_FALSE(w.isVisible());
    for (int page = 1; page <= 4; ++page) {
        EXPECT_TRUE(timersPaused()) << page;
        click(CurrentWizardPage(), "nextButton");
    }
    EXPECT_EQ(CurrentWizardPage(), nullptr);
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(timersRunning());
    Settings expected = FirstRunSettings(false);
    expected.StartTray = "True";
    expected.ShellLoad = "True";
    EXPECT_EQ(folder.read("Options.ini"), SerializeSettings(expected));
}

TEST_F(MainWindowIntegrationTest, TrayOptionsPauseTheTimersUntilClosedAndLeadToTheWizard) {
    folder.write("Options.ini", SerializeSettings(Settings{}));
    MainWindow& w = Start();
    w.show();
    ASSERT_FALSE(timersPaused());
    w.OpenSettingsFromTray();
    QDialog* options = CurrentSettingsDialog();
    ASSERT_NE(options, nullptr);
    EXPECT_TRUE(timersPaused());
    options->close();
    settle();
    EXPECT_TRUE(timersRunning());

    w.OpenSettingsFromTray();
    click(CurrentSettingsDialog(), "wizardButton"); // "Мастер"
    EXPECT_FALSE(w.isVisible());
    ASSERT_NE(CurrentWizardPage(), nullptr);
    EXPECT_TRUE(timersPaused());
    CurrentWizardPage()->close();
    settle();
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(timersRunning());
}

TEST_F(MainWindowIntegrationTest, SettingsButtonOpensTheDialogModally) {
    folder.write("Options.ini", SerializeSettings(Settings{}));
    MainWindow& w = Start();
    w.show();
    bool modal = false;
    QTimer::singleShot(0, [&] {
        QDialog* options = CurrentSettingsDialog();
        ASSERT_NE(options, nullptr);
        modal = options->isModal();
        EXPECT_TRUE(timersPaused());
        options->findChild<QPushButton*>("okButton")->click();
    });
    w.OpenSettings();
    EXPECT_TRUE(modal);
    EXPECT_TRUE(timersRunning());
    EXPECT_EQ(folder.read("Options.ini"), SerializeSettings(Settings{}));
}

} // namespace
} // namespace vetorlan::test
