// One copy of the program per program folder.
#include "platform/common/SingleInstance.h"

#include <QFile>
#include <QScopeGuard>
#include <QSysInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vetorlan;

namespace {

TEST(SingleInstanceTest, OneCopyPerProgramFolderWhateverSessionStartsIt) {
    QTemporaryDir a, b, runtime;
    const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
    const auto restore = qScopeGuard([&savedRuntime] {
        savedRuntime.isNull() ? qunsetenv("XDG_RUNTIME_DIR") : qputenv("XDG_RUNTIME_DIR", savedRuntime);
    });
    // A desktop session's copy, then a scheduled start without a runtime folder.
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    SingleInstance first(a.path());
    ASSERT_TRUE(first.TryAcquire());
    qunsetenv("XDG_RUNTIME_DIR");
    SingleInstance second(a.path());
    EXPECT_FALSE(second.TryAcquire());
    SingleInstance elsewhere(b.path());
    EXPECT_TRUE(elsewhere.TryAcquire());
    first.Release();
    EXPECT_TRUE(second.TryAcquire());
}

TEST(SingleInstanceTest, LockOfACrashedCopyIsTakenOver) {
    QTemporaryDir folder;
    const QString lockPath = SingleInstance::LockFilePath(folder.path());
    {
        QFile stale(lockPath);
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
        // A process number no living process has, as a crashed copy would leave it.
        stale.write("2147483000\nnimbora\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    }
    SingleInstance next(folder.path());
    EXPECT_TRUE(next.TryAcquire());
    next.Release();
    EXPECT_FALSE(QFile::exists(lockPath));
}

} // namespace
