// The success sound resource, the tray texts and the About window.
#include "core/ProjectInfo.h"
#include "tests/support/TestSupport.h"
#include "tests/ui/UiFakes.h"
#include "ui/AboutWindow.h"
#include "ui/TrayIcon.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QtEndian>
#include <gtest/gtest.h>

using namespace vetorlan;
using namespace vetorlan::test;

namespace {

TEST(SuccessSoundTest, ResourceIsTheExpectedWave) {
    QFile wav(":/sound/101.wav");
    ASSERT_TRUE(wav.open(QIODevice::ReadOnly));
    const QByteArray bytes = wav.readAll();
    ASSERT_EQ(bytes.size(), 30044);
    auto u16 = [&](int at) { return qFromLittleEndian<quint16>(bytes.constData() + at); };
    auto u32 = [&](int at) { return qFromLittleEndian<quint32>(bytes.constData() + at); };
    EXPECT_EQ(bytes.left(4), "RIFF");
    EXPECT_EQ(u32(4), 30036u);
    EXPECT_EQ(bytes.mid(8, 8), "WAVEfmt ");
    EXPECT_EQ(u16(20), 1); // PCM
    EXPECT_EQ(u16(22), 1); // mono
    EXPECT_EQ(u32(24), 22050u);
    EXPECT_EQ(u16(34), 8); // 8-bit
    EXPECT_EQ(bytes.mid(36, 4), "data");
    EXPECT_EQ(u32(40), 30000u);
    // Starts and ends in silence, so playing it never clicks.
    EXPECT_EQ(static_cast<unsigned char>(bytes[44]), 128);
    EXPECT_EQ(static_cast<unsigned char>(bytes[bytes.size() - 1]), 128);
}

TEST(TrayTextTest, LoadStatusNamesTheDayOfTheForecast) {
    const QLocale ru(QLocale::Russian, QLocale::Russia);
    const QDateTime now(QDate(2026, 12, 6), QTime(18, 0, 0));
    struct Row {
        QDateTime modified;
        const char* expected;
    };
    const Row rows[] = {
        {QDateTime(), "Прогноз погоды не загружен\nнажмите правую кнопку мыши"},
        {QDateTime(QDate(2026, 12, 6), QTime(12, 43, 56)), "Прогноз погоды был загружен: \nсегодня \nв 12:43:56"},
        {QDateTime(QDate(2026, 12, 5), QTime(23, 59, 59)), "Прогноз погоды был загружен: \n05.12.2026 \nв 23:59:59"},
        {QDateTime(QDate(2026, 12, 6), QTime(0, 0, 0)), "Прогноз погоды был загружен: \nсегодня \nв 00:00:00"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(LoadStatusText(row.modified, now, ru), QString::fromUtf8(row.expected));
}

// StatusNotifierItem and X11 trays show a long tooltip whole (Windows cuts it at 64).
TEST(TrayTextTest, TipIsKeptWhole) {
    TrayIcon tray;
    tray.SetTrayTip(QString(90, QChar(u'ж')));
    EXPECT_EQ(tray.Tip(), QString(90, QChar(u'ж')));
    tray.SetTrayTip("short");
    EXPECT_EQ(tray.Tip(), "short");
    tray.SetIcon(TrayIconKind::Error);
    tray.Add(); // keeps the last picture and tip
    EXPECT_EQ(tray.Icon(), TrayIconKind::Error);
    tray.Delete();
}

TEST(AboutWindowTest, GrowsUntilCloseIsInViewAndStartsOverOnEveryOpening) {
    FakeShell shell;
    for (int opening = 0; opening < 2; ++opening) {
        AboutWindow about;
        about.show();
        EXPECT_EQ(about.windowTitle(), QString::fromUtf8("О программе"));
        EXPECT_EQ(about.height(), AboutWindow::DesignHeight());
        EXPECT_GT(about.closeButton()->geometry().bottom(), about.height());
        EXPECT_TRUE(about.growDelayTimer.isActive());
        EXPECT_EQ(about.growDelayTimer.interval(), 2000);
        about.StartGrowing();
        EXPECT_TRUE(about.growStepTimer.isActive());
        int ticks = 0;
        while (about.growStepTimer.isActive() && ticks < 100) {
            about.GrowOneStep();
            ++ticks;
        }
        EXPECT_EQ(ticks, 43); // 42 steps of 10 twips, then the stop
        EXPECT_EQ(about.grownTwips, 420);
        EXPECT_EQ(about.height(), AboutWindow::GrownHeight());
        EXPECT_LE(about.closeButton()->geometry().bottom(), about.height());
        EXPECT_FALSE(about.growDelayTimer.isActive());
        about.WriteToAuthor();
    }
    // A mail link only to a contact the build names, with this version in the subject.
    if (ProjectContact().isEmpty()) {
        EXPECT_TRUE(shell.opened.isEmpty());
    } else {
        ASSERT_EQ(shell.opened.size(), 2);
        EXPECT_EQ(shell.opened[0], "mailto:" + ProjectContact() + "?subject=Vetorlan v" + ProgramVersion() + " MSG");
    }
}

// Pages made from the live sources credit MET Norway and Open-Meteo, pages of a page service
// its owners; the project's addresses are shown only when the build has them.
TEST(AboutWindowTest, CreditsTheSourcesOfThePagesAndShowsNoMissingAddress) {
    const QByteArray savedService = qgetenv("VETORLAN_SERVICE_URL");
    const auto restore = qScopeGuard([&savedService] { qputenv("VETORLAN_SERVICE_URL", savedService); });
    const std::pair<QByteArray, QStringList> cases[] = {
        {"", {"MET Norway", "Open-Meteo.com", "https://api.met.no/", "https://open-meteo.com/"}},
        {"http://127.0.0.1:9",
         {"Яндекс", "Метеобюро Москвы и области", "https://yandex.ru/", "https://www.meteoinfo.ru/"}},
    };
    for (const auto& [service, expected] : cases) {
        qputenv("VETORLAN_SERVICE_URL", service);
        FakeShell shell;
        AboutWindow about;
        about.show();
        const auto* first = about.findChild<QLabel*>("firstSourceLink");
        const auto* second = about.findChild<QLabel*>("secondSourceLink");
        ASSERT_TRUE(first && second);
        EXPECT_EQ(QStringList({first->text(), second->text()}), expected.mid(0, 2));
        about.OpenDataSource(0);
        about.OpenDataSource(1);
        EXPECT_EQ(shell.opened, expected.mid(2));
        EXPECT_EQ(about.findChild<QWidget*>("programPageFrame")->isVisible(), !ProjectHomepage().isEmpty());
        EXPECT_EQ(about.findChild<QWidget*>("authorMailLink")->isVisible(), !ProjectContact().isEmpty());
    }
}

} // namespace
