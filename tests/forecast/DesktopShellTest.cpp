// Starting a program hands each argument over whole, with no shell in between.
#include "platform/DesktopShell.h"

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

} // namespace
} // namespace vetorlan
