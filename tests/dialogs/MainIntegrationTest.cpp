// The dialogs driven by the real main window: its first-run "Да", its settings button and
// tray entry, and the timers it pauses and restarts around them.
#include "DialogsTestSupport.h"

#include "tests/ui/UiFakes.h"
#include "ui/Dialogs.h"
#include "ui/Main.h"
#include "ui/SetupWizard.h"

#include <QPushButton>
#include <QTimer>
#include <memory>

namespace vetorlan::test {
namespace {

class MainIntegrationTest : public DialogFixture {
protected:
    Main& Start() {
        window = std::make_unique<Main>();
        AppSettingsContext() = SettingsContext{&autorun, window.get()};
        window->SetEndAtOnce([] {});
        window->SetExitProgram([] {});
        window->Form_Load({});
        return *window;
    }
    void TearDown() override {
        settle();
        window.reset();
        DialogFixture::TearDown();
    }
    bool timersRunning() const {
        const Scheduler& s = window->scheduler();
        return s.timer1.interval == 250 && s.timer2.interval == 1000 && s.timer3.interval == 60000;
    }
    bool timersPaused() const {
        const Scheduler& s = window->scheduler();
        return s.timer1.interval == 0 && s.timer2.interval == 0 && s.timer3.interval == 0;
    }

    FakeFetcher fetcher;
    FakeShell shell;
    FakeLine line;
    std::unique_ptr<Main> window;
};

TEST_F(MainIntegrationTest, FirstRunYesWalksTheWizardAndShowsTheWindowAgain) {
    boxes.answerNext(MsgAnswer::Yes);
    Main& w = Start();
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
    Settings expected;
    expected.StartTray = "True";
    expected.ShellLoad = "True";
    EXPECT_EQ(folder.read("Options.ini"), SerializeSettings(expected));
}

TEST_F(MainIntegrationTest, TrayOptionsPauseTheTimersUntilClosedAndLeadToTheWizard) {
    folder.write("Options.ini", SerializeSettings(Settings{}));
    Main& w = Start();
    w.show();
    ASSERT_FALSE(timersPaused());
    w.mnuMainOptions_Click();
    QDialog* options = CurrentSettingsDialog();
    ASSERT_NE(options, nullptr);
    EXPECT_TRUE(timersPaused());
    options->close();
    settle();
    EXPECT_TRUE(timersRunning());

    w.mnuMainOptions_Click();
    click(CurrentSettingsDialog(), "wizardButton"); // "Мастер"
    EXPECT_FALSE(w.isVisible());
    ASSERT_NE(CurrentWizardPage(), nullptr);
    EXPECT_TRUE(timersPaused());
    CurrentWizardPage()->close();
    settle();
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(timersRunning());
}

TEST_F(MainIntegrationTest, SettingsButtonOpensTheDialogModally) {
    folder.write("Options.ini", SerializeSettings(Settings{}));
    Main& w = Start();
    w.show();
    bool modal = false;
    QTimer::singleShot(0, [&] {
        QDialog* options = CurrentSettingsDialog();
        ASSERT_NE(options, nullptr);
        modal = options->isModal();
        EXPECT_TRUE(timersPaused());
        options->findChild<QPushButton*>("okButton")->click();
    });
    w.Command2_Click();
    EXPECT_TRUE(modal);
    EXPECT_TRUE(timersRunning());
    EXPECT_EQ(folder.read("Options.ini"), SerializeSettings(Settings{}));
}

} // namespace
} // namespace vetorlan::test
