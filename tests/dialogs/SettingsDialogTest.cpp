#include "DialogsTestSupport.h"

#include "core/ExtraSettings.h"
#include "core/FileSystemObject.h"
#include "ui/CopyTargetDialog.h"
#include "ui/DialogWidgets.h"
#include "ui/Dialogs.h"
#include "ui/ScreenFit.h"
#include "ui/SettingsDialog.h"
#include "ui/SetupWizard.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStyleOptionSlider>
#include <QTest>
#include <QTimer>

namespace vetorlan::test {
namespace {

class SettingsDialogTest : public DialogFixture {
protected:
    SettingsDialog* open() {
        ShowSettingsDialog(main, nullptr, false);
        auto* dialog = qobject_cast<SettingsDialog*>(CurrentSettingsDialog());
        EXPECT_NE(dialog, nullptr);
        return dialog;
    }
    QString text(SettingsDialog* d, const char* name) { return child<QLineEdit>(d, name)->text(); }
    bool enabled(SettingsDialog* d, const char* name) { return child<QWidget>(d, name)->isEnabled(); }
    QColor shape(SettingsDialog* d, const char* name) { return child<ColorShape>(d, name)->color(); }
};

TEST_F(SettingsDialogTest, OkAtOnceRewritesTheSameFile) {
    ASSERT_TRUE(SaveSettings());
    const QByteArray before = folder.read("Options.ini");
    SettingsDialog* d = open();
    EXPECT_EQ(main.pauses, 1);
    EXPECT_FALSE(main.running);
    click(d, "okButton");
    EXPECT_EQ(folder.read("Options.ini"), before);
    EXPECT_EQ(main.restores, 1);
    EXPECT_TRUE(main.running);
    EXPECT_EQ(CurrentSettingsDialog(), nullptr);
}

// Values not in their usual form are normalised by the rule of their control on Ok.
TEST_F(SettingsDialogTest, OkNormalisesUnusualValues) {
    struct Row {
        QString Settings::*field;
        const char* stored;
        const char* saved;
    };
    const Row rows[] = {
        {&Settings::PauseOnLine, " 5", "5"},          {&Settings::PauseOnLine, "007", "7"},
        {&Settings::PauseOnLine, "12.9", "12"},       {&Settings::AutoRun, "yes", "False"},
        {&Settings::StartTray, "yes", "True"},        {&Settings::GorodSave, "yes", "False"},
        {&Settings::LoadExit, "yes", "True"},         {&Settings::ShellLoad, "yes", "True"},
        {&Settings::ShellLoad, "False", "False"},     {&Settings::HangUp, "yes", "True"},
        {&Settings::CheckActual, "yes", "False"},     {&Settings::UseInternetExplorer, "yes", "False"},
        {&Settings::NimboraCopy, "yes", "True"},      {&Settings::CopyPictures, "yes", "False"},
        {&Settings::MultiLoad, "yes", "True"},        {&Settings::Sound, "yes", "False"},
        {&Settings::MSGError, "yes", "False"},        {&Settings::TranslitFileName, "yes", "False"},
        {&Settings::WorkMode, "Other", "DirectConn"}, {&Settings::WorkMode, "dialup", "DirectConn"},
        {&Settings::IndexStyle, "Fancy", "List"},     {&Settings::TimeLoad, "7:5", "7:5"},
    };
    for (const Row& row : rows) {
        AppSettings() = Settings{};
        AppSettings().*row.field = row.stored;
        SettingsDialog* d = open();
        click(d, "okButton");
        Settings expected;
        expected.*row.field = row.saved;
        EXPECT_EQ(AppSettings(), expected) << row.stored << " -> " << row.saved;
        ASSERT_TRUE(folder.exists("Options.ini"));
        EXPECT_EQ(folder.read("Options.ini"), SerializeSettings(expected)) << row.stored;
    }
}

TEST_F(SettingsDialogTest, HandEditedOutOfRangeValuesLoadAndShowTheirText) {
    struct Row {
        const char* pause;
        const char* time;
        const char* shownPause;
        const char* shownTime;
    };
    const Row rows[] = {{"250", "99:99", "100", "99:99"}, {"abc", "x", "0", "x"}, {"-3", "-1:-1", "0", "-1:-1"}};
    for (const Row& row : rows) {
        AppSettings().PauseOnLine = row.pause;
        AppSettings().TimeLoad = row.time;
        SettingsDialog* d = open();
        EXPECT_EQ(text(d, "pauseEdit"), row.shownPause);
        EXPECT_EQ(text(d, "loadTimeEdit"), row.shownTime);
        const int hour = child<SpinScroll>(d, "hourSpinner")->number();
        const int minute = child<SpinScroll>(d, "minuteSpinner")->number();
        EXPECT_TRUE(hour >= 0 && hour <= 23) << hour;
        EXPECT_TRUE(minute >= 0 && minute <= 59) << minute;
        click(d, "okButton");
        EXPECT_EQ(AppSettings().PauseOnLine, row.shownPause);
        EXPECT_EQ(AppSettings().TimeLoad, row.shownTime);
    }
}

TEST_F(SettingsDialogTest, HoursAndMinutesWrapAndTheUpperArrowIncreases) {
    AppSettings().WorkMode = "DirectConn";
    AppSettings().TimeLoad = "23:59";
    SettingsDialog* d = open();
    auto* hours = child<SpinScroll>(d, "hourSpinner");
    auto* minutes = child<SpinScroll>(d, "minuteSpinner");
    d->show();
    QStyleOptionSlider opt;
    opt.initFrom(hours);
    opt.orientation = Qt::Vertical;
    opt.minimum = hours->minimum();
    opt.maximum = hours->maximum();
    opt.sliderPosition = hours->sliderPosition();
    opt.sliderValue = hours->value();
    opt.singleStep = 1;
    opt.pageStep = 1;
    opt.subControls = QStyle::SC_All;
    const QRect upper = hours->style()->subControlRect(QStyle::CC_ScrollBar, &opt, QStyle::SC_ScrollBarSubLine, hours);
    ASSERT_TRUE(upper.isValid());
    QTest::mouseClick(hours, Qt::LeftButton, {}, upper.center());
    EXPECT_EQ(text(d, "loadTimeEdit"), "00:59");
    hours->triggerAction(QAbstractSlider::SliderSingleStepAdd); // the lower arrow
    EXPECT_EQ(text(d, "loadTimeEdit"), "23:59");
    minutes->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(text(d, "loadTimeEdit"), "23:00");
    minutes->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(text(d, "loadTimeEdit"), "23:59");
    hours->setNumber(7);
    minutes->setNumber(5);
    EXPECT_EQ(text(d, "loadTimeEdit"), "07:05");
    click(d, "okButton");
    EXPECT_EQ(AppSettings().TimeLoad, "07:05");
}

TEST_F(SettingsDialogTest, PauseFieldIsCappedAndForcedToAnInteger) {
    const std::pair<const char*, const char*> typed[] = {{"250", "100"}, {"abc", "0"},   {"42", "42"},
                                                         {"100", "100"}, {"101", "100"}, {"9x", "9"}};
    SettingsDialog* d = open();
    auto* field = child<QLineEdit>(d, "pauseEdit");
    auto* spinner = child<SpinScroll>(d, "pauseSpinner");
    for (const auto& [input, shown] : typed) {
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        QTest::keyClicks(field, input);
        EXPECT_EQ(field->text(), shown) << input;
    }
    EXPECT_EQ(spinner->number(), 5) << "the spinner does not follow typed text";
    // The caret stays usable: typing a digit after clearing the field gives that digit.
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    EXPECT_EQ(field->text(), "0");
    QTest::keyClicks(field, "7");
    EXPECT_EQ(field->text(), "7");
    spinner->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(field->text(), "6");
    click(d, "okButton");
    EXPECT_EQ(AppSettings().PauseOnLine, "6");
}

TEST(SettingsDialogText, PauseNormalisationAndPeriodWords) {
    const std::pair<const char*, const char*> pauses[] = {
        {" 5", "5"}, {"", "0"}, {"abc", "0"}, {"250", "100"}, {"99999999999", "100"}, {"3.7", "3"}, {"-5", "0"}};
    for (const auto& [in, out] : pauses)
        EXPECT_EQ(NormalisePauseText(in), out) << in;
    const std::pair<int, const char*> words[] = {{1, "1 час"},     {2, "2 часа"},    {4, "4 часа"},  {5, "5 часов"},
                                                 {11, "11 часов"}, {20, "20 часов"}, {21, "21 час"}, {22, "22 часа"},
                                                 {23, "23 часа"},  {0, "0 "},        {24, "24 "},    {-3, "-3 "}};
    for (const auto& [hours, shown] : words)
        EXPECT_EQ(ActualWaitText(hours), shown) << hours;
}

TEST_F(SettingsDialogTest, PeriodButtonsStayWithinBoundsAndWriteAtOnce) {
    AppSettings().WorkMode = "DirectConn";
    struct Row {
        int start;
        const char* button;
        int end;
        const char* shown;
    };
    const Row rows[] = {{1, "shorterPeriodButton", 1, "1 час"},      {23, "longerPeriodButton", 23, "23 часа"},
                        {20, "longerPeriodButton", 21, "21 час"},    {21, "longerPeriodButton", 22, "22 часа"},
                        {12, "shorterPeriodButton", 11, "11 часов"}, {0, "longerPeriodButton", 1, "1 час"}};
    for (const Row& row : rows) {
        AppSettings().ActualWait = std::int16_t(row.start);
        SettingsDialog* d = open();
        click(d, row.button);
        EXPECT_EQ(AppSettings().ActualWait, row.end) << row.start;
        EXPECT_EQ(text(d, "actualPeriodEdit"), row.shown);
        click(d, "cancelButton");
        EXPECT_EQ(AppSettings().ActualWait, row.end) << "Cancel keeps the period in memory";
    }
}

TEST_F(SettingsDialogTest, EnablingRulesFollowModeCheckAndMultiLoad) {
    const QColor blue(0, 0, 255);
    SettingsDialog* d = open();
    const QColor ink = InkLineColor(d);
    const QColor grey = GreyLineColor(d);
    ASSERT_NE(ink, grey);
    // Dial-up (the default): the pause group is live, the permanent-line group is not.
    for (const char* name :
         {"pauseLabel", "secondsLabel", "afterConnectLabel", "pauseEdit", "pauseSpinner", "hangUpCheckBox"})
        EXPECT_TRUE(enabled(d, name)) << name;
    for (const char* name : {"loadTimeLabel", "loadTimeEdit", "hourSpinner", "minuteSpinner", "checkActualCheckBox",
                             "shorterPeriodButton", "longerPeriodButton", "actualPeriodEdit"})
        EXPECT_FALSE(enabled(d, name)) << name;
    EXPECT_EQ(shape(d, "dialUpFrame"), blue);
    EXPECT_EQ(shape(d, "directLineFrame"), ink);
    EXPECT_EQ(shape(d, "loadTimeFrame"), grey);
    EXPECT_EQ(shape(d, "bracketSideLine"), grey);

    click(d, "directLineRadio");
    for (const char* name :
         {"pauseLabel", "secondsLabel", "afterConnectLabel", "pauseEdit", "pauseSpinner", "hangUpCheckBox"})
        EXPECT_FALSE(enabled(d, name)) << name;
    for (const char* name : {"loadTimeLabel", "loadTimeEdit", "hourSpinner", "minuteSpinner", "checkActualCheckBox",
                             "shorterPeriodButton", "longerPeriodButton", "actualPeriodEdit"})
        EXPECT_TRUE(enabled(d, name)) << name;
    EXPECT_EQ(shape(d, "dialUpFrame"), ink);
    EXPECT_EQ(shape(d, "directLineFrame"), blue);
    EXPECT_EQ(shape(d, "loadTimeFrame"), ink);
    for (const char* line : {"bracketTopLine", "bracketSideLine", "bracketBottomLine"})
        EXPECT_EQ(shape(d, line), ink) << line;

    click(d, "checkActualCheckBox"); // off
    for (const char* name : {"shorterPeriodButton", "longerPeriodButton", "actualPeriodEdit"})
        EXPECT_FALSE(enabled(d, name)) << name;
    EXPECT_EQ(shape(d, "bracketTopLine"), grey);

    // Multi-load off by default: its style controls are grey until it is checked.
    for (const char* name : {"animatedIndexRadio", "listIndexRadio", "latinNamesCheckBox", "indexStyleLabel"})
        EXPECT_FALSE(enabled(d, name)) << name;
    EXPECT_EQ(shape(d, "indexStyleFrame"), grey);
    click(d, "multiLoadCheckBox");
    for (const char* name : {"animatedIndexRadio", "listIndexRadio", "latinNamesCheckBox", "indexStyleLabel"})
        EXPECT_TRUE(enabled(d, name)) << name;
    EXPECT_EQ(shape(d, "indexStyleFrame"), ink);

    // Copying off by default: its path, button and pictures box follow the check box.
    for (const char* name : {"copyPathEdit", "choosePathButton", "copyPicturesCheckBox"})
        EXPECT_FALSE(enabled(d, name)) << name;
    click(d, "copyCheckBox");
    for (const char* name : {"copyPathEdit", "choosePathButton", "copyPicturesCheckBox"})
        EXPECT_TRUE(enabled(d, name)) << name;
    EXPECT_EQ(AppSettings().NimboraCopy, "True");
}

TEST_F(SettingsDialogTest, CancelAfterClearingCopyKeepsItOffInMemoryOnly) {
    AppSettings().NimboraCopy = "True";
    ASSERT_TRUE(SaveSettings());
    const QByteArray before = folder.read("Options.ini");
    SettingsDialog* d = open();
    click(d, "copyCheckBox");
    EXPECT_EQ(AppSettings().NimboraCopy, "False");
    click(d, "cancelButton");
    EXPECT_EQ(AppSettings().NimboraCopy, "False");
    EXPECT_EQ(folder.read("Options.ini"), before);
    EXPECT_TRUE(main.running);
}

TEST_F(SettingsDialogTest, SoundPlaysOnlyOnAClickThatChecksTheBox) {
    AppSettings().Sound = "True";
    SettingsDialog* d = open();
    EXPECT_EQ(sound.plays, 0) << "loading never plays";
    auto* picture = child<QLabel>(d, "soundPictureLabel");
    const QImage on = picture->pixmap().toImage();
    click(d, "soundCheckBox");
    EXPECT_EQ(sound.plays, 0);
    EXPECT_NE(picture->pixmap().toImage(), on) << "the loudspeaker picture changes";
    click(d, "soundCheckBox");
    EXPECT_EQ(sound.plays, 1);
    EXPECT_EQ(picture->pixmap().toImage(), on);
}

TEST_F(SettingsDialogTest, EveryWayOutRestoresTheSchedulerOnce) {
    const char* exits[] = {"okButton", "cancelButton", "title bar", "Escape"};
    for (const char* exit : exits) {
        main = FakeMainWindow{};
        SettingsDialog* d = open();
        d->show();
        if (QString(exit) == "title bar")
            d->close();
        else if (QString(exit) == "Escape")
            QTest::keyClick(d, Qt::Key_Escape);
        else
            click(d, exit);
        QCoreApplication::processEvents();
        EXPECT_EQ(main.pauses, 1) << exit;
        EXPECT_EQ(main.restores, 1) << exit;
        EXPECT_EQ(CurrentSettingsDialog(), nullptr) << exit;
    }
}

TEST_F(SettingsDialogTest, WizardButtonClosesWithoutSavingAndStartsTheWizard) {
    SettingsDialog* d = open();
    click(d, "autoRunCheckBox");
    click(d, "wizardButton");
    EXPECT_FALSE(folder.exists("Options.ini"));
    EXPECT_EQ(AppSettings().AutoRun, "True");
    EXPECT_EQ(CurrentSettingsDialog(), nullptr);
    EXPECT_FALSE(main.shown);
    EXPECT_FALSE(main.running);
    ASSERT_NE(CurrentWizardPage(), nullptr);
    EXPECT_EQ(CurrentWizardPage()->objectName(), "ConnectionPage");
    EXPECT_TRUE(CurrentWizardPage()->isVisible());
}

TEST_F(SettingsDialogTest, TipAnimationUncoversTheRedTipAndShrinksBack) {
    SettingsDialog* d = open();
    d->show();
    auto* tip = child<QLabel>(d, "tipLabel");
    EXPECT_EQ(tip->text(), "совет: работают всплывающие подсказки.");
    EXPECT_EQ(tip->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    const int base = d->height();
    EXPECT_EQ(d->TipOffset(), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return d->TipOffset() == 300; }, 20000));
    QCoreApplication::processEvents();
    EXPECT_GE(d->height(), base + 300 / 15);
    EXPECT_TRUE(tip->isVisible());
    EXPECT_LE(tip->mapTo(d, QPoint(0, tip->height())).y(), d->height()) << "the whole tip line is uncovered";
    ASSERT_TRUE(QTest::qWaitFor([&] { return d->TipOffset() == 0; }, 20000));
    QCoreApplication::processEvents();
    EXPECT_EQ(d->height(), base);
}

// On a screen lower than the dialog it opens within the screen's room, its form scrolls, and
// the buttons and the tip's line stay in view.
TEST_F(SettingsDialogTest, FitsTheScreenWithItsButtonsInView) {
    SettingsDialog* d = open();
    d->show();
    QCoreApplication::processEvents();
    const QSize room = AvailableDialogArea(*d);
    EXPECT_LE(d->width(), room.width());
    EXPECT_LE(d->height() + 300 / 15, room.height());
    for (const char* name : {"okButton", "cancelButton", "wizardButton"}) {
        const auto* button = child<QWidget>(d, name);
        EXPECT_TRUE(d->rect().contains(QRect(button->mapTo(d, QPoint()), button->size()))) << name;
    }
    const auto* form = d->findChild<QScrollArea*>();
    if (!form)
        GTEST_SKIP() << "the screen holds the whole dialog; dialogs_small_screen_test runs this at twice the scale";
    EXPECT_GT(form->widget()->height(), form->viewport()->height()) << "the form scrolls";
}

TEST_F(SettingsDialogTest, ChosenCopyTargetLandsInThePathField) {
    AppSettings().NimboraCopy = "True";
    SettingsDialog* d = open();
    const QString target = folder.path() + "/share";
    ASSERT_TRUE(QDir().mkpath(target));
    QTimer::singleShot(0, [&] {
        auto* select = qobject_cast<CopyTargetDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(select, nullptr);
        select->OpenFolder(target);
        select->findChild<QLineEdit*>("fileNameEdit")->setText("weather.htm");
        select->findChild<QPushButton*>("okButton")->click();
    });
    click(d, "choosePathButton");
    EXPECT_EQ(text(d, "copyPathEdit"), target + "/weather.htm");
    click(d, "okButton");
    EXPECT_EQ(AppSettings().PathNimboraCopy, target + "/weather.htm");
}

// Copying needs a folder: ticked with none, the choice opens; cancelled, copying stays off.
TEST_F(SettingsDialogTest, CopyingWithoutAFolderAsksForOne) {
    AppSettings().NimboraCopy = "False";
    AppSettings().PathNimboraCopy = "";
    SettingsDialog* d = open();
    bool asked = false;
    QTimer::singleShot(0, [&] {
        auto* select = qobject_cast<CopyTargetDialog*>(QApplication::activeModalWidget());
        asked = select != nullptr;
        if (select)
            select->reject();
    });
    click(d, "copyCheckBox");
    EXPECT_TRUE(asked);
    EXPECT_FALSE(child<QCheckBox>(d, "copyCheckBox")->isChecked());
    EXPECT_FALSE(enabled(d, "copyPathEdit"));
    EXPECT_EQ(AppSettings().NimboraCopy, "False");
}

// The other browser is a command of the user's, kept in Vetorlan.ini; Options.ini keeps its
// one key for the choice.
TEST_F(SettingsDialogTest, ChosenBrowserCommandIsKeptInVetorlanIni) {
    AppSettings().UseInternetExplorer = "False";
    SettingsDialog* d = open();
    EXPECT_TRUE(child<QRadioButton>(d, "defaultBrowserRadio")->isChecked());
    EXPECT_FALSE(enabled(d, "browserCommandEdit"));
    click(d, "browserCommandRadio");
    EXPECT_TRUE(enabled(d, "browserCommandEdit"));
    child<QLineEdit>(d, "browserCommandEdit")->setText(" firefox --new-window ");
    click(d, "okButton");
    EXPECT_EQ(AppSettings().UseInternetExplorer, "True");
    EXPECT_EQ(folder.read("Options.ini").count("\r\n"), 39);
    AppExtraSettings() = {};
    LoadExtraSettings();
    EXPECT_EQ(AppExtraSettings().BrowserCommand, "firefox --new-window");
    EXPECT_TRUE(folder.read("Vetorlan.ini").contains("BrowserCommand=firefox --new-window"));
    d = open();
    EXPECT_EQ(text(d, "browserCommandEdit"), "firefox --new-window");
    click(d, "cancelButton");
    AppExtraSettings() = {};
}

TEST_F(SettingsDialogTest, TabOrderFollowsTheReadingOrder) {
    SettingsDialog* d = open();
    QStringList chain;
    for (QWidget* w = d->nextInFocusChain(); w != d; w = w->nextInFocusChain())
        if (!w->objectName().isEmpty() && (w->focusPolicy() & Qt::TabFocus))
            chain << w->objectName();
    const QStringList reading = {"autoRunCheckBox",
                                 "startInTrayCheckBox",
                                 "rememberTownCheckBox",
                                 "exitAfterLoadCheckBox",
                                 "hideForecastCheckBox",
                                 "defaultBrowserRadio",
                                 "dialUpRadio",
                                 "pauseEdit",
                                 "hangUpCheckBox",
                                 "directLineRadio",
                                 "checkActualCheckBox",
                                 "shorterPeriodButton",
                                 "longerPeriodButton",
                                 "copyCheckBox",
                                 "copyPathEdit",
                                 "choosePathButton",
                                 "copyPicturesCheckBox",
                                 "errorMessageRadio",
                                 "multiLoadCheckBox",
                                 "animatedIndexRadio",
                                 "latinNamesCheckBox",
                                 "soundCheckBox",
                                 "okButton",
                                 "cancelButton",
                                 "wizardButton"};
    int last = -1;
    for (const QString& name : reading) {
        const int at = int(chain.indexOf(name));
        EXPECT_GT(at, last) << name.toStdString() << " in " << chain.join(' ').toStdString();
        last = std::max(last, at);
    }
}

TEST_F(SettingsDialogTest, CaptionsAndTipsAreTheProgramsOwn) {
    SettingsDialog* d = open();
    EXPECT_EQ(d->windowTitle(), "Настройки");
    EXPECT_EQ(child<QCheckBox>(d, "latinNamesCheckBox")->text(), "Создавать имена файлов из английских символов ");
    EXPECT_EQ(child<QRadioButton>(d, "dialUpRadio")->text(), "Модемное (Dial-Up) соединение с Интеренетом");
    EXPECT_EQ(child<QLabel>(d, "indexStyleLabel")->text(), "Меню выбора города при просмотре прогоноза:");
    EXPECT_EQ(child<QCheckBox>(d, "hideForecastCheckBox")->toolTip(),
              "Загруженный прогноз всегда доступен для промотра по левому щелчку на иконке в трее.");
    EXPECT_EQ(child<QLineEdit>(d, "copyPathEdit")->toolTip(),
              "Путь и имя файла, куда будет копироваться загруженный прогноз. Используйте кнопку \"выбрать\"");
    // The two check boxes bound to no setting are left out.
    for (QCheckBox* box : d->findChildren<QCheckBox*>())
        EXPECT_FALSE(box->text().contains("трафика") || box->text().contains("On-Line")) << box->text().toStdString();
}

} // namespace
} // namespace vetorlan::test
