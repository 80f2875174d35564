#include "DialogsTestSupport.h"
#include "tests/ui/UiFakes.h"

#include "ui/Dialogs.h"
#include "ui/SetupWizard.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace vetorlan::test {
namespace {

class SetupWizardTest : public DialogFixture {
protected:
    SetupWizardPage* page() {
        QCoreApplication::processEvents();
        return CurrentWizardPage();
    }
    void press(const char* button) {
        SetupWizardPage* p = page();
        ASSERT_NE(p, nullptr);
        click(p, button);
    }
    void choose(const char* option) { click(page(), option); }
    // Settings are written once per forward step; the autorun fake counts them (AutoRun is on).
    int saves() const { return autorun.sets + autorun.deletes; }
    void expectEnded() {
        QCoreApplication::processEvents();
        EXPECT_EQ(CurrentWizardPage(), nullptr);
        EXPECT_TRUE(main.shown);
        EXPECT_TRUE(main.running);
        int visiblePages = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            visiblePages += qobject_cast<SetupWizardPage*>(w) && w->isVisible();
        EXPECT_EQ(visiblePages, 0);
    }
};

TEST_F(SetupWizardTest, FirstRunChoicesSaveFourTimesAndChangeOnlyTrayAndShow) {
    StartSetupWizard(main);
    EXPECT_FALSE(main.shown);
    const char* titles[] = {"Шаг первый", "Шаг второй", "Шаг третий", "Шаг четвертый"};
    for (int i = 0; i < 4; ++i) {
        ASSERT_NE(page(), nullptr);
        EXPECT_EQ(page()->windowTitle(), titles[i]);
        EXPECT_EQ(page()->Page(), i + 1);
        EXPECT_FALSE(main.running) << "paused while page " << i + 1 << " is open";
        EXPECT_EQ(child<QPushButton>(page(), "backButton")->isEnabled(), i > 0);
        EXPECT_EQ(child<QPushButton>(page(), "nextButton")->text(), i == 3 ? "Готово" : "Далее >");
        press("nextButton");
        EXPECT_EQ(saves(), i + 1);
    }
    Settings expected;
    expected.WorkMode = "DirectConn"; // no modem-type link here: the first page offers the permanent line
    expected.StartTray = "True";
    expected.ShellLoad = "True";
    EXPECT_EQ(AppSettings(), expected);
    EXPECT_EQ(folder.read("Options.ini"), SerializeSettings(expected));
    expectEnded();
}

TEST_F(SetupWizardTest, ManualModeRemovesAutostartAtOnceEvenWhenCancelledLater) {
    autorun.values["Vetorlan"] = "/old/nimbora";
    StartSetupWizard(main);
    press("nextButton");
    choose("manualRadio");
    press("nextButton");
    EXPECT_FALSE(autorun.values.contains("Vetorlan"));
    EXPECT_EQ(page()->Page(), 3);
    press("cancelButton");
    EXPECT_FALSE(autorun.values.contains("Vetorlan"));
    EXPECT_EQ(AppSettings().AutoRun, "False");
    EXPECT_EQ(AppSettings().StartTray, "False");
    EXPECT_TRUE(folder.read("Options.ini").contains("AutoRun=False\r\nStartTray=False\r\n"));
    expectEnded();
}

TEST_F(SetupWizardTest, BackNeverSavesAndForwardSavesAgain) {
    StartSetupWizard(main);
    press("nextButton");
    press("nextButton");
    ASSERT_EQ(page()->Page(), 3);
    EXPECT_EQ(saves(), 2);
    choose("severalTownsRadio"); // several towns, not written by going back
    press("backButton");
    EXPECT_EQ(page()->Page(), 2);
    EXPECT_EQ(saves(), 2);
    EXPECT_EQ(AppSettings().MultiLoad, "False");
    press("nextButton");
    EXPECT_EQ(saves(), 3);
    press("nextButton");
    ASSERT_EQ(page()->Page(), 4);
    press("backButton");
    EXPECT_EQ(page()->Page(), 3);
    EXPECT_FALSE(main.running) << "page 3 pauses again after page 4 restarted the scheduler";
    EXPECT_EQ(saves(), 4);
    press("cancelButton");
    expectEnded();
}

// Every way out of every page shows the main window with the scheduler running.
TEST_F(SetupWizardTest, EveryExitShowsTheMainWindowWithTheSchedulerRunning) {
    const char* exits[] = {"Отмена", "title bar", "Escape"};
    for (int target = 1; target <= 4; ++target) {
        for (const char* exit : exits) {
            main = FakeMainWindow{};
            StartSetupWizard(main);
            for (int i = 1; i < target; ++i)
                press("nextButton");
            SetupWizardPage* p = page();
            ASSERT_EQ(p->Page(), target);
            p->show();
            if (QString(exit) == "title bar")
                p->close();
            else if (QString(exit) == "Escape")
                QTest::keyClick(p, Qt::Key_Escape);
            else
                press("cancelButton");
            SCOPED_TRACE(testing::Message() << "page " << target << " by " << exit);
            expectEnded();
            EXPECT_EQ(main.restores, 1);
        }
    }
}

TEST_F(SetupWizardTest, InitialChoicesFollowTheSettingsExactly) {
    struct Row {
        QString Settings::*field;
        const char* value;
        int page;
        const char* selected;
    };
    FakeLine modem; // a modem-type link, so "DialUp" stays a dial-up line
    const Row rows[] = {
        {&Settings::WorkMode, "DialUp", 1, "dialUpRadio"},  {&Settings::WorkMode, "Other", 1, "directLineRadio"},
        {&Settings::AutoRun, "True", 2, "automaticRadio"},  {&Settings::AutoRun, "true", 2, "manualRadio"},
        {&Settings::MultiLoad, "False", 3, "oneTownRadio"}, {&Settings::MultiLoad, "x", 3, "severalTownsRadio"}};
    for (const Row& row : rows) {
        AppSettings() = Settings{};
        AppSettings().*row.field = row.value;
        ShowWizardPage(main, row.page);
        EXPECT_TRUE(child<QRadioButton>(page(), row.selected)->isChecked()) << row.value;
        press("cancelButton");
    }
    modem.modemLinks = ConnectionBackend::ModemLinks::None;
    AppSettings() = Settings{};
    ShowWizardPage(main, 1);
    EXPECT_TRUE(child<QRadioButton>(page(), "directLineRadio")->isChecked()) << "no modem: the permanent line";
    press("cancelButton");
}

TEST_F(SetupWizardTest, LastPageStartsFixedAndTestsTheSound) {
    AppSettings().Sound = "False";
    AppSettings().ShellLoad = "False";
    AppSettings().LoadExit = "True";
    ShowWizardPage(main, 4);
    SetupWizardPage* p = page();
    EXPECT_TRUE(child<QCheckBox>(p, "soundCheckBox")->isChecked());
    EXPECT_TRUE(child<QCheckBox>(p, "showForecastCheckBox")->isChecked());
    EXPECT_FALSE(child<QCheckBox>(p, "exitAfterLoadCheckBox")->isChecked());
    click(p, "soundCheckBox");
    click(p, "testSoundButton");
    EXPECT_EQ(sound.plays, 1) << "the test button ignores the check box";
    EXPECT_EQ(child<QLabel>(p, "rightClickNoteLabel")->text(),
              "Щелчок ПРАВОЙ кнопкой мыши по иконке программы в трее откроет меню.");
    press("nextButton");
    EXPECT_EQ(AppSettings().Sound, "False");
    EXPECT_EQ(AppSettings().ShellLoad, "True");
    EXPECT_EQ(AppSettings().LoadExit, "False");
    expectEnded();
}

TEST_F(SetupWizardTest, SettingsAndASecondWizardWaitWhileTheWizardRuns) {
    StartSetupWizard(main);
    press("nextButton");
    SetupWizardPage* second = page();
    ShowSettingsDialog(main, nullptr, false);
    EXPECT_EQ(CurrentSettingsDialog(), nullptr);
    StartSetupWizard(main);
    EXPECT_EQ(page(), second);
    EXPECT_FALSE(main.running);
    press("cancelButton");
    expectEnded();
}

TEST_F(SetupWizardTest, OptionCaptionsSelectTheirOption) {
    ShowWizardPage(main, 2);
    auto* caption = child<QLabel>(page(), "manualCaption");
    EXPECT_EQ(caption->text(), "Ручная загрузка прогноза погоды. В этом режиме большая часть заложенных в программу "
                               "функций не используется.");
    QTest::mouseClick(caption, Qt::LeftButton);
    EXPECT_TRUE(child<QRadioButton>(page(), "manualRadio")->isChecked());
    press("cancelButton");
}

} // namespace
} // namespace vetorlan::test
