// Starting a program hands each argument over whole, with no shell in between.
#include "platform/common/DesktopShell.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace vetorlan {
namespace {

TEST(DesktopShell, ArgumentWithBlanksAndQuotesArrivesWhole) {
    QTemporaryDir dir;
    const QString page = dir.path() + "/My Weather 'x' \"$HOME\"; echo/Nimbora.htm";
    const QString out = dir.path() + "/argument.txt";
    DesktopShell shell;
    // The child writes its one argument ($1) into a file; the script itself is ours.
    ASSERT_TRUE(
        shell.StartProgram("/bin/sh", {"-c", "printf '%s' \"$1\" > \"$0.tmp\" && mv \"$0.tmp\" \"$0\"", out, page}));
    QDeadlineTimer deadline(20000);
    while (!QFile::exists(out) && !deadline.hasExpired())
        QThread::msleep(20);
    QFile f(out);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(f.readAll()), page);
}

TEST(DesktopShell, MissingProgramIsAFailure) {
    DesktopShell shell;
    EXPECT_FALSE(shell.StartProgram("/nonexistent/vetorlan-browser", {"page.htm"}));
}

// The desktop's opener is watched: one that finds no browser (xdg-open's status 3) is a
// failure told a moment later, one that opens the page is none.
TEST(DesktopShell, AnOpenerThatFindsNoBrowserIsAFailure) {
    QTemporaryDir bin;
    const QString page = bin.path() + "/My Weather/Nimbora.htm";
    const QString opened = bin.path() + "/opened.txt";
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", bin.path().toUtf8() + ":" + path);
    for (const bool browser : {false, true}) {
        QFile opener(bin.path() + "/xdg-open");
        ASSERT_TRUE(opener.open(QIODevice::WriteOnly | QIODevice::Truncate));
        opener.write(browser ? "#!/bin/sh\nprintf '%s' \"$1\" > \"" + opened.toUtf8() + ".tmp\" && mv \"" +
                                   opened.toUtf8() + ".tmp\" \"" + opened.toUtf8() + "\"\n"
                             : "#!/bin/sh\nexit 3\n");
        opener.close();
        opener.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QString why;
        bool told = false;
        DesktopShell shell;
        shell.OpenPage(page, [&](const QString& reason) {
            why = reason;
            told = true;
        });
        QDeadlineTimer deadline(20000);
        while (!told && !(browser && QFile::exists(opened)) && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QCoreApplication::processEvents(QEventLoop::AllEvents, 200); // a late report would come now
        EXPECT_EQ(told, !browser) << why.toStdString();
        if (!browser) {
            EXPECT_TRUE(why.contains("xdg-open: код 3")) << why.toStdString();
        }
    }
    qputenv("PATH", path);
    QFile f(opened);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(f.readAll()), page);
}

} // namespace
} // namespace vetorlan
