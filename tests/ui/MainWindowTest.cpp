// The main window without a display: start-up, run modes, town selection and its files.
#include "ui/MainWindow.h"
#include "core/Clock.h"
#include "core/ExtraSettings.h"
#include "core/Settings.h"
#include "core/SettingsStore.h"
#include "sources/CurrentWeather.h"
#include "tests/support/TestSupport.h"
#include "tests/ui/UiFakes.h"
#include "towns/Selection.h"
#include "ui/Dialogs.h"
#include "ui/PictureButton.h"
#include "ui/TownPicker.h"
#include "ui/TrayController.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScopeGuard>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

using namespace vetorlan;
using namespace vetorlan::test;

namespace {

// A part of the window found by its object name.
template <class T> T* Child(QWidget& window, const char* name) {
    return window.findChild<T*>(QLatin1String(name));
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override { AppSettings() = Settings{}; }
    void TearDown() override {
        // A dialog left open (the wizard after "Yes" to the first-run question) holds the
        // window; close it while the window lives, so no later test reuses it.
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<QDialog*>(widget); dialog && dialog->isVisible())
                dialog->reject();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        AppSettingsContext() = SettingsContext{};
    }

    // Writes Options.ini with the given changes to the defaults.
    void WriteOptions(const std::function<void(Settings&)>& change) {
        Settings s;
        change(s);
        folder.write("Options.ini", SerializeSettings(s));
    }
    // A window started as the program starts it, with its exits recorded.
    MainWindow& Start(const QStringList& arguments = {}) {
        window = std::make_unique<MainWindow>();
        AppSettingsContext() = SettingsContext{&autorun, window.get()};
        window->SetEndAtOnce([this](int code) {
            ++endedAtOnce;
            exitCode = code;
        });
        window->SetExitProgram([this] { ++exited; });
        window->StartUp(arguments);
        return *window;
    }
    void Select(const QList<int>& rows, bool selected = true) {
        for (int row : rows)
            Child<QListWidget>(*window, "townList")->item(row)->setSelected(selected);
    }

    TempProgramFolder folder;
    MessageBoxRecorder boxes;
    FakeAutorunStore autorun;
    FakeFetcher fetcher;
    FakeSound sound;
    FakeShell shell;
    FakeLine line;
    std::unique_ptr<MainWindow> window;
    int endedAtOnce = 0;
    int exitCode = -1;
    int exited = 0;
};

TEST_F(MainWindowTest, CommandLineMustBeExactlyLoad) {
    EXPECT_TRUE(MainWindow::IsLoadCommandLine({"/load"}));
    for (const QStringList& other : {QStringList{}, QStringList{"/Load"}, QStringList{" /load"}, QStringList{"/load "},
                                     QStringList{"/load", "/load"}, QStringList{"load"}})
        EXPECT_FALSE(MainWindow::IsLoadCommandLine(other)) << other.join('|').toStdString();
}

TEST_F(MainWindowTest, StartUpFollowsTheRunMode) {
    struct Row {
        const char* startTray;
        const char* workMode;
        const char* multiLoad;
        bool scheduledLoadTimer, onlineIndicator, selectedCountLabel;
    };
    const Row rows[] = {
        {"False", "DialUp", "False", false, true, false},
        {"True", "DirectConn", "False", true, false, false},
        {"True", "dialup", "True", true, false, false},
        {"False", "DialUp", "True", false, true, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.startTray) + row.workMode + row.multiLoad);
        WriteOptions([&](Settings& s) {
            s.StartTray = row.startTray;
            s.WorkMode = row.workMode;
            s.MultiLoad = row.multiLoad;
        });
        MainWindow& w = Start();
        EXPECT_EQ(w.InTray(), IsTrue(row.startTray));
        EXPECT_EQ(w.TimerScheduler().scheduledLoadTimer.enabled, row.scheduledLoadTimer);
        EXPECT_EQ(w.TimerScheduler().scheduledLoadTimer.interval, 1000);
        EXPECT_EQ(Child<QTimer>(w, "scheduledLoadTimer")->isActive(), row.scheduledLoadTimer);
        if (row.scheduledLoadTimer) {
            EXPECT_EQ(Child<QTimer>(w, "scheduledLoadTimer")->interval(), 1000);
        }
        EXPECT_FALSE(w.TimerScheduler().dialUpLoadTimer.enabled);
        EXPECT_EQ(Child<QLabel>(w, "onlineIndicator")->isVisibleTo(&w), row.onlineIndicator);
        EXPECT_EQ(Child<QLabel>(w, "selectedCountLabel")->isVisibleTo(&w),
                  row.selectedCountLabel); // multi mode: nothing selected yet
        const auto* list = Child<QListWidget>(w, "townList");
        EXPECT_EQ(list && list->isVisibleTo(&w), IsTrue(row.multiLoad));
        EXPECT_EQ(Child<QComboBox>(w, "regionBox")->isVisibleTo(&w), !IsTrue(row.multiLoad));
        // No notification area offscreen: the tray start leaves the window minimised, not hidden.
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(w.isMinimized(), IsTrue(row.startTray));
        EXPECT_TRUE(w.windowFlags().testFlag(Qt::FramelessWindowHint));
        EXPECT_EQ(w.windowTitle(), QString::fromUtf8("Веторлан - v 1.5"));
        EXPECT_EQ(w.Tray().Tip(), QString::fromUtf8("Прогноз погоды не загружен\nнажмите правую кнопку мыши"));
        EXPECT_EQ(endedAtOnce, 0);
        EXPECT_TRUE(boxes.boxes().empty());
    }
}

TEST_F(MainWindowTest, MultiModeCountsTheRestoredSelectionOnce) {
    WriteOptions([](Settings& s) { s.MultiLoad = "True"; });
    folder.write("goroda.ini", " 3  0  270  399 ");
    MainWindow& w = Start();
    EXPECT_EQ(w.SelectedTowns().count, 3);
    EXPECT_EQ(w.SelectedTowns()[1], QString::fromUtf8("29862|Абакан"));
    EXPECT_EQ(w.SelectedTowns()[2], QString::fromUtf8("27521|Апрелевка"));
    EXPECT_EQ(w.SelectedTowns()[3], QString::fromUtf8("33990|Ялта"));
    EXPECT_EQ(Child<QLabel>(w, "selectedCountLabel")->text(), QString::fromUtf8("Выбрано: 3"));
    EXPECT_TRUE(Child<QLabel>(w, "selectedCountLabel")->isVisibleTo(&w));
    EXPECT_TRUE(w.Towns().ListReady());
}

TEST_F(MainWindowTest, SelectingRowsCountsAndSavesThem) {
    WriteOptions([](Settings& s) { s.MultiLoad = "True"; });
    MainWindow& w = Start();
    EXPECT_EQ(Child<QListWidget>(w, "townList")->count(), 400);
    EXPECT_EQ(Child<QListWidget>(w, "townList")->selectionMode(), QAbstractItemView::MultiSelection);
    Select({399, 0, 270});
    EXPECT_EQ(w.SelectedTowns().count, 3);
    EXPECT_EQ(w.SelectedTowns()[3], QString::fromUtf8("33990|Ялта"));
    EXPECT_EQ(Child<QLabel>(w, "selectedCountLabel")->text(), QString::fromUtf8("Выбрано: 3"));
    EXPECT_EQ(w.RegionTowns().count, RegionSize(2)); // the region of the last selected row
    w.Towns().ShowSaveTownsButton();
    EXPECT_TRUE(Child<QAbstractButton>(w, "saveTownsButton")->isVisibleTo(&w));
    Child<QAbstractButton>(w, "saveTownsButton")->click();
    EXPECT_FALSE(Child<QAbstractButton>(w, "saveTownsButton")->isVisibleTo(&w));
    EXPECT_EQ(folder.read("goroda.ini"), QByteArray(" 3  0  270  399 "));
    EXPECT_EQ(folder.read("gorod.ini"), QByteArray("-1 -1 \r\n"));

    Select({0, 270, 399}, false);
    EXPECT_EQ(w.SelectedTowns().count, 0);
    EXPECT_FALSE(Child<QLabel>(w, "selectedCountLabel")->isVisibleTo(&w));
    w.SaveTownLists();
    EXPECT_FALSE(folder.exists("goroda.ini"));
    w.LoadForecast();
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].title, QString::fromUtf8("Выбор не сделан"));
    EXPECT_TRUE(fetcher.urls.isEmpty());
}

TEST_F(MainWindowTest, SingleTownChoiceSurvivesARestart) {
    MainWindow& first = Start();
    Child<QComboBox>(first, "regionBox")->setCurrentIndex(1);
    ASSERT_TRUE(Child<QComboBox>(first, "townBox")->isVisibleTo(&first));
    ASSERT_EQ(Child<QComboBox>(first, "townBox")->count(), 47);
    Child<QComboBox>(first, "townBox")->setCurrentIndex(22);
    first.SaveTownLists();
    EXPECT_EQ(folder.read("gorod.ini"), QByteArray(" 1  22 \r\n"));

    MainWindow& second = Start();
    EXPECT_EQ(Child<QComboBox>(second, "regionBox")->currentText(), QString::fromUtf8("Москва и область"));
    EXPECT_EQ(Child<QComboBox>(second, "townBox")->currentText(), QString::fromUtf8("Москва"));
    EXPECT_EQ(second.RegionTowns()[second.SingleTownRow() + 1], QString::fromUtf8("27612|Москва"));
}

// After every rebuild (a dialog's save, a mode switch) the count, the chosen towns and
// the visible selection agree, and the load fetches exactly what is shown.
TEST_F(MainWindowTest, RebuiltListsKeepCountChoiceAndSelectionInStep) {
    WriteOptions([](Settings& s) {
        s.MultiLoad = "True";
        s.WorkMode = "DirectConn";
    });
    MainWindow& w = Start();
    auto expectInStep = [&](int count) {
        EXPECT_EQ(Child<QListWidget>(w, "townList")->selectedItems().size(), count);
        EXPECT_EQ(w.SelectedTowns().count, count);
        EXPECT_EQ(Child<QLabel>(w, "selectedCountLabel")->isVisibleTo(&w), count > 0);
        if (count > 0) {
            EXPECT_EQ(Child<QLabel>(w, "selectedCountLabel")->text(), QString::fromUtf8("Выбрано: %1").arg(count));
        }
    };
    Select({0, 1, 2});           // not saved
    ASSERT_TRUE(SaveSettings()); // "Ok" in the settings dialog
    expectInStep(0);

    folder.write("goroda.ini", " 2  4  9 ");
    AppSettings().MultiLoad = "False";
    ASSERT_TRUE(SaveSettings());
    AppSettings().MultiLoad = "True";
    ASSERT_TRUE(SaveSettings());
    expectInStep(2);
    EXPECT_EQ(w.SelectedTowns()[2], CatalogEntry(10));
    w.LoadForecast();
    EXPECT_EQ(fetcher.urls.size(), 2);
    EXPECT_TRUE(boxes.boxes().empty());
}

// A session in multi-town mode keeps the single-town choice for the switch back.
TEST_F(MainWindowTest, MultiTownSessionKeepsTheSingleTownChoice) {
    WriteOptions([](Settings& s) {
        s.MultiLoad = "True";
        s.WorkMode = "DirectConn";
    });
    folder.write("gorod.ini", " 1  22 \r\n");
    folder.write("goroda.ini", " 1  4 ");
    MainWindow& w = Start();
    EXPECT_FALSE(Child<QComboBox>(w, "townBox")->isVisibleTo(&w));
    w.LoadForecast();
    EXPECT_EQ(fetcher.urls.size(), 1);
    EXPECT_EQ(folder.read("gorod.ini"), QByteArray(" 1  22 \r\n"));
    AppSettings().MultiLoad = "False";
    ASSERT_TRUE(SaveSettings());
    EXPECT_TRUE(Child<QComboBox>(w, "townBox")->isVisibleTo(&w));
    EXPECT_EQ(Child<QComboBox>(w, "townBox")->currentText(), QString::fromUtf8("Москва"));
    EXPECT_EQ(w.RegionTowns()[w.SingleTownRow() + 1], QString::fromUtf8("27612|Москва"));
}

TEST_F(MainWindowTest, GorodSaveFalseWritesTheFilesButIgnoresThemOnRebuild) {
    WriteOptions([](Settings& s) {
        s.GorodSave = "False";
        s.MultiLoad = "True";
        s.WorkMode = "DirectConn";
    });
    folder.write("gorod.ini", " 2  5 \r\n");
    folder.write("goroda.ini", " 1  7 ");
    MainWindow& w = Start();
    EXPECT_TRUE(Child<QListWidget>(w, "townList")->selectedItems().isEmpty());
    Select({4});
    EXPECT_EQ(w.SelectedTowns().count, 1);
    w.LoadForecast();
    EXPECT_EQ(fetcher.urls.size(), 1);
    EXPECT_EQ(folder.read("goroda.ini"), QByteArray(" 1  4 "));
    AppSettings().MultiLoad = "False";
    w.RefreshTownLists();
    EXPECT_EQ(Child<QComboBox>(w, "regionBox")->currentIndex(), -1);
    EXPECT_FALSE(Child<QComboBox>(w, "townBox")->isVisibleTo(&w));
}

TEST_F(MainWindowTest, DamagedTownFilesAreIgnoredWithoutHarm) {
    struct Row {
        const char* gorod;
        const char* goroda;
        int region, town, selected;
    };
    const Row rows[] = {
        {" 7  3 \r\n", " 2  5  9999 ", -1, -1, 1},
        {" 0  999 ", " 5  1  2 ", 0, -1, 2},
        {"abc", "x y z", -1, -1, 0},
        {"", "-3 1 2", -1, -1, 0},
        {" 2 ,, 82 ", " 2 , 10 ,\r\n 11 ", 2, 82, 2},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.gorod);
        WriteOptions([](Settings&) {});
        folder.write("gorod.ini", row.gorod);
        MainWindow& single = Start();
        EXPECT_EQ(Child<QComboBox>(single, "regionBox")->currentIndex(), row.region);
        EXPECT_EQ(Child<QComboBox>(single, "townBox")->currentIndex(), row.town);
        WriteOptions([](Settings& s) { s.MultiLoad = "True"; });
        folder.write("goroda.ini", row.goroda);
        MainWindow& multi = Start();
        EXPECT_EQ(multi.SelectedTowns().count, row.selected);
    }
}

TEST_F(MainWindowTest, FirstRunWritesDefaultsAndAsks) {
    MainWindow& w = Start();
    // No modem link is known here: the defaults are those of a permanent line.
    EXPECT_EQ(folder.read("Options.ini"), SerializeSettings(FirstRunSettings(false)));
    EXPECT_EQ(autorun.values.value("Vetorlan"), folder.path() + "/nimbora");
    ASSERT_EQ(boxes.boxes().size(), 2u);
    EXPECT_EQ(boxes.boxes()[0].title, QString::fromUtf8("Совет"));
    EXPECT_EQ(boxes.boxes()[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(boxes.boxes()[0].text.count("\n\n"), 3);
    EXPECT_TRUE(boxes.boxes()[0].text.endsWith(QString::fromUtf8("Хотите воспользоваться мастером?")));
    EXPECT_EQ(boxes.boxes()[1].title, QString::fromUtf8("Сообщение"));
    EXPECT_EQ(boxes.boxes()[1].text.count('\n'), 1);
    EXPECT_TRUE(boxes.boxes()[1].text.contains(QString::fromUtf8("'Настройки'"))) << "the button's caption";
    EXPECT_EQ(Child<QListWidget>(w, "townList")->toolTip(),
              QString::fromUtf8("Совет первого запуска: список отсортирован не по алфавиту!"));
    // Answer No restored the timers.
    EXPECT_EQ(w.TimerScheduler().connectionWatchTimer.interval, 250);
    EXPECT_EQ(w.TimerScheduler().dialUpLoadTimer.interval, 1000);
    EXPECT_EQ(w.TimerScheduler().scheduledLoadTimer.interval, 60000);
    EXPECT_TRUE(Child<QTimer>(w, "connectionWatchTimer")->isActive());
    EXPECT_TRUE(w.isVisible());
}

TEST_F(MainWindowTest, FirstRunYesHidesTheWindowWithTimersPaused) {
    boxes.answerNext(MsgAnswer::Yes);
    MainWindow& w = Start();
    EXPECT_EQ(boxes.boxes().size(), 1u);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.TimerScheduler().connectionWatchTimer.interval, 0);
    EXPECT_FALSE(Child<QTimer>(w, "connectionWatchTimer")->isActive());
}

TEST_F(MainWindowTest, ASecondCopyIsRefusedBeforeReadingSettings) {
    window = std::make_unique<MainWindow>();
    window->SetPreviousInstanceCheck([] { return true; });
    window->SetEndAtOnce([this](int code) {
        ++endedAtOnce;
        exitCode = code;
    });
    window->StartUp({});
    EXPECT_EQ(endedAtOnce, 1);
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text, QString::fromUtf8("Программа уже запущена!"));
    EXPECT_EQ(boxes.boxes()[0].title, QString::fromUtf8("Веторлан v1.5 - Ошибка"));
    EXPECT_EQ(boxes.boxes()[0].icon, MsgIcon::Critical);
    EXPECT_FALSE(folder.exists("Options.ini"));
}

TEST_F(MainWindowTest, LoadCommandLineLoadsOnceAndEnds) {
    WriteOptions([](Settings& s) { s.WorkMode = "DirectConn"; });
    folder.write("gorod.ini", " 0  0 \r\n");
    Start({"/load"});
    EXPECT_EQ(fetcher.urls.size(), 1);
    EXPECT_TRUE(folder.exists("nimbora.htm"));
    EXPECT_EQ(endedAtOnce, 1);
    EXPECT_EQ(exitCode, 0);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, LoadingShowsItsStateAndRestoresIt) {
    WriteOptions([](Settings& s) {
        s.WorkMode = "DirectConn";
        s.LoadExit = "True";
    });
    folder.write("gorod.ini", " 0  3 \r\n");
    MainWindow& w = Start();
    bool busySeen = false;
    fetcher.during = [&] {
        OnUiThread([&] {
            busySeen = !Child<QPushButton>(w, "loadButton")->isEnabled() && w.LoadingBackground() &&
                       w.Tray().StatusIcon() == TrayIconKind::Loading &&
                       w.Tray().Tip() == QString::fromUtf8("Идет загрузка прогноза погоды...") && w.LoadInProgress();
        });
    };
    w.TimerScheduler().scheduledLoadTimer.enabled = false;
    w.LoadForecast();
    EXPECT_TRUE(busySeen);
    EXPECT_TRUE(Child<QPushButton>(w, "loadButton")->isEnabled());
    EXPECT_FALSE(w.LoadingBackground());
    EXPECT_EQ(w.Tray().StatusIcon(), TrayIconKind::Normal);
    EXPECT_TRUE(w.Tray().Tip().startsWith(QString::fromUtf8("Прогноз погоды был загружен: \nсегодня \nв ")));
    EXPECT_TRUE(w.TimerScheduler().scheduledLoadTimer.enabled);
    EXPECT_EQ(exited, 1);
}

TEST_F(MainWindowTest, AnExitAfterAnAutomaticLoadStartsNoSecondLoadInTheSameTick) {
    WriteOptions([](Settings& s) {
        s.WorkMode = "DirectConn";
        s.StartTray = "True";
        s.LoadExit = "True";
        s.TimeLoad = "07:00";
    });
    folder.write("gorod.ini", " 0  3 \r\n");
    folder.write("nimbora.htm", "old");
    const QDateTime now(QDate(2026, 12, 7), QTime(7, 0, 30));
    QFile page(folder.file("nimbora.htm"));
    ASSERT_TRUE(page.open(QIODevice::ReadWrite));
    ASSERT_TRUE(page.setFileTime(now.addDays(-1), QFileDevice::FileModificationTime));
    page.close();
    SetNowOverride(now);
    MainWindow& w = Start();
    w.TimerScheduler().LoadWhenStaleOrDue(); // a stale file in the minute of TimeLoad
    SetNowOverride({});
    EXPECT_EQ(fetcher.urls.size(), 1);
    EXPECT_EQ(exited, 1);
}

// The chosen town's stored digest puts its temperature in the tray at start; switching the
// setting off in the settings takes it away at once.
TEST_F(MainWindowTest, TrayShowsTheChosenTownsTemperatureWhileTheSettingIsOn) {
    const QByteArray savedCache = qgetenv("XDG_CACHE_HOME");
    const auto restore = qScopeGuard([&savedCache] {
        savedCache.isNull() ? qunsetenv("XDG_CACHE_HOME") : qputenv("XDG_CACHE_HOME", savedCache);
        AppExtraSettings() = ExtraSettings{};
    });
    qputenv("XDG_CACHE_HOME", QFile::encodeName(folder.file("cache")));
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    CurrentWeather moscow{QString::fromUtf8("Москва"), "27612", now - 600, now + 7200, {}};
    moscow.steps = {{now - 300, -3.4, 0, 4, "cloudy", QString::fromUtf8("облачно")}};
    ASSERT_TRUE(StoreCurrentWeather(moscow));
    WriteOptions([](Settings&) {});
    folder.write("gorod.ini", " 1  22 \r\n");
    MainWindow& w = Start();
    EXPECT_TRUE(w.Tray().Tip().startsWith(QString::fromUtf8("Москва: −3°, облачно, ветер С 4 м/с.")))
        << w.Tray().Tip().toStdString();
    EXPECT_TRUE(w.Tray().Tip().endsWith(QString::fromUtf8("\nПрогноз погоды не загружен\nнажмите правую кнопку мыши")));
    AppExtraSettings().ShowTemperature = false;
    ASSERT_TRUE(SaveSettings());
    EXPECT_EQ(w.Tray().Tip(), QString::fromUtf8("Прогноз погоды не загружен\nнажмите правую кнопку мыши"));
}

TEST_F(MainWindowTest, TrayButtonAndMenuMoveTheWindow) {
    WriteOptions([](Settings&) {});
    MainWindow& w = Start();
    w.Tray().SetStatusTip("last tip");
    w.Tray().SetStatusIcon(TrayIconKind::Error); // left from a failed load
    Child<QAbstractButton>(w, "trayButton")->click();
    EXPECT_TRUE(w.InTray());
    EXPECT_EQ(w.Tray().StatusIcon(), TrayIconKind::Normal);
    EXPECT_EQ(w.Tray().Tip(), "last tip");
    EXPECT_TRUE(w.isMinimized()); // no notification area offscreen: still reachable
    w.ShowFromTray();
    EXPECT_FALSE(w.InTray());
    EXPECT_FALSE(w.isMinimized());
    w.ToggleClock();
    EXPECT_FALSE(w.TimerScheduler().ShowClock);
    w.OpenHelp();
    EXPECT_EQ(shell.opened, QStringList{folder.path() + "/help/index.html"});
    Child<QAbstractButton>(w, "closeButton")->click();
    EXPECT_EQ(endedAtOnce, 1);
}

// Visible top-level dialogs (wizard pages, About windows) of the running test.
QList<QDialog*> OpenDialogs() {
    QList<QDialog*> open;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QDialog*>(widget); dialog && dialog->isVisible())
            open << dialog;
    return open;
}

void ClickButton(QWidget* dialog, const QString& caption) {
    for (QPushButton* button : dialog->findChildren<QPushButton*>())
        if (button->text() == caption)
            return button->click();
    ADD_FAILURE() << "no button " << caption.toStdString();
}

// The caption bar is placed when the window first shows, whether it starts on screen or
// comes back from the tray.
TEST_F(MainWindowTest, CaptionBarIsPlacedWhenTheWindowFirstShows) {
    for (const char* startTray : {"False", "True"}) {
        SCOPED_TRACE(startTray);
        WriteOptions([startTray](Settings& s) { s.StartTray = startTray; });
        MainWindow& w = Start();
        w.ShowFromTray();
        const auto* caption = w.findChild<QLabel*>(QStringLiteral("captionLabel0"));
        ASSERT_TRUE(caption);
        EXPECT_EQ(caption->geometry(), QRect(QPoint(4, 5), caption->sizeHint()));
        EXPECT_EQ(w.findChild<QWidget*>(QStringLiteral("captionBar"))->width(), w.width());
    }
}

// Tray, then the wizard from the settings, left by Esc or by its last page's "Готово".
TEST_F(MainWindowTest, WizardEndBringsAWindowFromTheTrayBackNormalAndActive) {
    WriteOptions([](Settings& s) { s.StartTray = "True"; });
    for (bool finish : {false, true}) {
        SCOPED_TRACE(finish);
        MainWindow& w = Start();
        ASSERT_TRUE(w.isMinimized());
        StartSetupWizard(w);
        EXPECT_FALSE(w.isVisible());
        for (int page = 1; finish && page < 4; ++page)
            ClickButton(OpenDialogs().front(), QString::fromUtf8("Далее >"));
        ASSERT_EQ(OpenDialogs().size(), 1);
        if (finish)
            ClickButton(OpenDialogs().front(), QString::fromUtf8("Готово"));
        else
            OpenDialogs().front()->reject();
        QCoreApplication::processEvents();
        EXPECT_TRUE(w.isVisible());
        EXPECT_FALSE(w.windowState().testFlag(Qt::WindowMinimized));
        EXPECT_FALSE(w.isMinimized());
        EXPECT_FALSE(w.InTray());
        EXPECT_TRUE(w.isActiveWindow());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// The window's small things: nothing of the background shows between the town list and
// its count, the town box opens as a list of 20 rows, and "О программе" from the tray and
// then from the window gives one About window.
TEST_F(MainWindowTest, SmallThingsOnScreen) {
    WriteOptions([](Settings& s) { s.MultiLoad = "True"; });
    folder.write("goroda.ini", " 1  4 ");
    MainWindow& multi = Start();
    const QImage shot = multi.grab().toImage();
    const QColor plain = multi.palette().color(QPalette::Window);
    const QRect list = Child<QListWidget>(multi, "townList")->geometry();
    int strayPixels = 0;
    for (int y = list.bottom() + 1; y < list.bottom() + 5; ++y)
        for (int x = list.x(); x <= list.right(); ++x)
            strayPixels += shot.pixelColor(x, y) != plain;
    EXPECT_EQ(strayPixels, 0);

    WriteOptions([](Settings&) {});
    MainWindow& w = Start();
    Child<QComboBox>(w, "regionBox")->setCurrentIndex(1);
    QComboBox* townBox = Child<QComboBox>(w, "townBox");
    ASSERT_EQ(townBox->count(), 47);
    townBox->showPopup();
    const int rows = townBox->view()->viewport()->height() / townBox->view()->sizeHintForRow(0);
    EXPECT_GE(rows, 19);
    EXPECT_LE(rows, 20);
    townBox->hidePopup();

    w.OpenAboutFromTray();
    QTimer unblock; // only fires if a second, modal About window blocks
    unblock.setSingleShot(true);
    QObject::connect(&unblock, &QTimer::timeout, [] {
        for (QDialog* dialog : OpenDialogs())
            dialog->reject();
    });
    unblock.start(0);
    w.OpenAbout();
    EXPECT_EQ(OpenDialogs().size(), 1);
    for (QDialog* dialog : OpenDialogs())
        dialog->close();
    w.OpenAboutFromTray(); // a closed About window opens again
    EXPECT_EQ(OpenDialogs().size(), 1);
    for (QDialog* dialog : OpenDialogs())
        dialog->close();
}

TEST_F(MainWindowTest, RealTimersFollowTheSchedulerAndNeverSpinAtZero) {
    WriteOptions([](Settings& s) { s.WorkMode = "DirectConn"; });
    MainWindow& w = Start();
    w.PauseTimers();
    EXPECT_TRUE(w.TimerScheduler().scheduledLoadTimer.enabled);
    for (const char* timer : {"connectionWatchTimer", "dialUpLoadTimer", "scheduledLoadTimer"})
        EXPECT_FALSE(Child<QTimer>(w, timer)->isActive()) << timer;
    w.RestoreTimers();
    EXPECT_TRUE(Child<QTimer>(w, "connectionWatchTimer")->isActive());
    EXPECT_EQ(Child<QTimer>(w, "connectionWatchTimer")->interval(), 250);
    EXPECT_FALSE(Child<QTimer>(w, "dialUpLoadTimer")->isActive());
    EXPECT_TRUE(Child<QTimer>(w, "scheduledLoadTimer")->isActive());
    EXPECT_EQ(Child<QTimer>(w, "scheduledLoadTimer")->interval(), 60000);
}

TEST_F(MainWindowTest, TrayMenuHasItsThirteenItems) {
    WriteOptions([](Settings&) {});
    MainWindow& w = Start();
    QStringList captions;
    for (QAction* action : w.Tray().Menu().actions())
        captions << (action->isSeparator() ? QString("-") : action->text());
    EXPECT_EQ(captions, QStringList({"Открыть программу", "Загрузить прогноз", "Показать прогноз", "-", "Настройки",
                                     "-", "Справка", "-", "О программе", "-", "Выход", "-", "<Закрыть это меню>"}));
}

} // namespace
