// The log file: every line also on standard error, warnings from any thread included, and
// rotation that keeps the two files under 1 MB together.
#include "core/Log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <thread>

namespace vetorlan {
namespace {

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(Log, WarningsFromAnyThreadReachTheFileWhichRotatesUnderOneMegabyte) {
    QTemporaryDir cache;
    const QString path = cache.filePath(u"vetorlan/vetorlan.log"_qs); // its folder is made at the first line
    SetLogFile(path);
    InstallLogMessageHandler();
    std::thread reader([] { qWarning("weather code %d is unknown", 99); });
    reader.join();
    EXPECT_TRUE(ReadAll(path).contains("weather code 99 is unknown"));

    const QString line(1000, u'ж'); // 2 kB in UTF-8
    SetLogToStandardError(false);
    for (int i = 0; i < 1000; ++i)
        WriteLog(line);
    SetLogToStandardError(true);
    qInstallMessageHandler(nullptr);
    SetLogFile({});
    const QStringList files = QDir(cache.filePath(u"vetorlan"_qs)).entryList(QDir::Files);
    EXPECT_EQ(files, (QStringList{u"vetorlan.log"_qs, u"vetorlan.log.1"_qs}));
    const qint64 total = QFileInfo(path).size() + QFileInfo(path + u".1"_qs).size();
    EXPECT_LT(total, 1024 * 1024);
    EXPECT_GT(QFileInfo(path + u".1"_qs).size(), kLogFileLimit - 4096) << "the older file was full";
    EXPECT_TRUE(ReadAll(path).endsWith(line.toUtf8() + '\n')) << "whole lines";
}

} // namespace
} // namespace vetorlan
