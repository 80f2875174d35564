// Loads through the built program's load process against the sample forecast service on
// loopback, with the process killed at random moments: the caller lives on and hears of a
// failed load, every page is the old one or the whole new one, and the next load cleans up.
#include "core/FileSystemObject.h"
#include "forecast/ChildLoadRunner.h"
#include "tests/e2e/E2eProcess.h"
#include "towns/TownCatalog.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <random>
#include <signal.h>
#include <unistd.h>

namespace vetorlan::test {
namespace {

class LoadChildTest : public ::testing::Test {
protected:
    void SetUp() override {
        const QString url = StartSampleService(service_);
        ASSERT_TRUE(url.startsWith("http://")) << url.toStdString();
        qputenv("VETORLAN_SERVICE_URL", url.toUtf8());
        qputenv("VETORLAN_IMAGE_HOST", "http://images.invalid");
        qputenv("XDG_CACHE_HOME", cache_.path().toUtf8());
        request_.folder = folder_.path();
        request_.settings.MultiLoad = "True";
        request_.settings.IndexStyle = "List";
        for (int position = 1; position <= kCatalogSize; position += 4) {
            const TownEntry entry = CatalogEntry(position);
            request_.towns.push_back({entry, folder_.filePath(TownName(entry) + ".htm")});
            request_.selected.Add(entry);
        }
    }
    void TearDown() override { StopProcess(service_); }

    // A load whose process gets `signal` after `delayMs` (none when 0).
    LoadOutcome Load(int signal = 0, int delayMs = 0) {
        ChildLoadRunner runner(NIMBORA_BINARY);
        QTimer::singleShot(delayMs, [&] {
            if (signal != 0 && runner.ChildProcessId() > 0)
                ::kill(pid_t(runner.ChildProcessId()), signal);
        });
        return runner.Run(request_, [](int, const TownResult&) {});
    }
    QMap<QString, QByteArray> Pages() const {
        QMap<QString, QByteArray> pages;
        for (const QString& name : QDir(folder_.path()).entryList({"*.htm"}, QDir::Files)) {
            QFile f(folder_.filePath(name));
            pages[name] = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }
        return pages;
    }
    void Write(const QString& name, const QByteArray& bytes) {
        QFile f(folder_.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size());
    }

    QTemporaryDir folder_, cache_;
    QProcess service_;
    LoadRequest request_;
};

TEST_F(LoadChildTest, KilledAtAnyMomentTheLoadFailsAndLeavesEveryPageOldOrNew) {
    QElapsedTimer clock;
    clock.start();
    ASSERT_EQ(Load().end, LoadOutcome::End::Succeeded);
    const int loadMs = int(clock.elapsed());
    std::printf("a whole load took %d ms\n", loadMs);
    const QMap<QString, QByteArray> finished = Pages();
    ASSERT_EQ(finished.size(), int(request_.towns.size()) + 1);
    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    int failed = 0;
    for (int round = 0; round < 25; ++round) {
        SCOPED_TRACE(QStringLiteral("seed %1 round %2").arg(seed).arg(round).toStdString());
        for (const QString& name : finished.keys())
            Write(name, "old " + name.toUtf8());
        const LoadOutcome outcome = Load(round == 0 ? SIGSEGV : SIGKILL, int(random() % (loadMs + 1)));
        if (outcome.end != LoadOutcome::End::Succeeded) { // a kill may come after the end
            ++failed;
            EXPECT_EQ(outcome.end, LoadOutcome::End::Failed);
            EXPECT_EQ(outcome.reason, QStringLiteral("прерван (сигнал %1)").arg(round == 0 ? SIGSEGV : SIGKILL));
        }
        for (const auto& [name, page] : Pages().asKeyValueRange())
            EXPECT_TRUE(page == finished[name] || page == "old " + name.toUtf8()) << name.toStdString();
    }
    EXPECT_GT(failed, 0);
    ASSERT_EQ(Load().end, LoadOutcome::End::Succeeded);
    EXPECT_EQ(Pages(), finished);
    for (const QString& name : QDir(folder_.path()).entryList(QDir::Files | QDir::Hidden | QDir::System))
        EXPECT_TRUE(name.endsWith(".htm")) << name.toStdString();
}

// A folder that cannot take the page is a file error naming the file, never a busy or failed
// load: a folder under the page's name, and a read-only program folder (not for root, who
// writes whatever the permission bits say).
TEST_F(LoadChildTest, APageThatCannotBeWrittenIsAFileError) {
    request_.settings.MultiLoad = "False";
    request_.towns.resize(1);
    request_.towns[0].file = folder_.filePath("nimbora.htm");
    for (const bool readOnlyFolder : {false, true}) {
        if (readOnlyFolder && ::geteuid() == 0)
            continue;
        SCOPED_TRACE(readOnlyFolder ? "read-only folder" : "folder under the page's name");
        if (readOnlyFolder)
            QFile::setPermissions(folder_.path(), QFile::ReadOwner | QFile::ExeOwner);
        else
            QDir(folder_.path()).mkdir("nimbora.htm");
        const LoadOutcome outcome = Load();
        QFile::setPermissions(folder_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QDir(folder_.path()).rmdir("nimbora.htm");
        EXPECT_EQ(outcome.end, LoadOutcome::End::FileError);
        EXPECT_TRUE(outcome.reason.contains("nimbora.htm")) << outcome.reason.toStdString();
    }
}

} // namespace
} // namespace vetorlan::test
