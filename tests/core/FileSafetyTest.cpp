// Every writer of the program on a disk that fills up, and the program's names taken by
// links, pipes and folders: each file stays the old one or becomes the whole new one.
#include "core/FileSystemObject.h"
#include "core/ProgramFolder.h"
#include "core/SettingsStore.h"
#include "platform/linux/XdgAutostart.h"
#include "tests/support/TestSupport.h"
#include "towns/TownLists.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <sys/mount.h>
#include <sys/stat.h>

namespace vetorlan {
namespace {

using test::MessageBoxRecorder;
using test::TempProgramFolder;

// Every file below `root` with its contents; links are listed, not followed.
std::map<QString, QByteArray> snapshot(const QString& root) {
    std::map<QString, QByteArray> files;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        files[QDir(root).relativeFilePath(path)] = f.open(QIODevice::ReadOnly) ? f.readAll() : "<unreadable>";
    }
    return files;
}

std::optional<QByteArray> lookup(const std::map<QString, QByteArray>& files, const QString& name) {
    const auto it = files.find(name);
    return it == files.end() ? std::nullopt : std::optional<QByteArray>(it->second);
}

QByteArray filler(char c, int size) {
    return QByteArray(size, c);
}

// One writer of the program: how its folder looks before, and the write itself.
struct Writer {
    const char* name;
    std::function<void(const TempProgramFolder&)> prepare;
    std::function<FsStatus()> write;
    bool reportsFailure = true; // the autostart entry is written silently
};

std::vector<Writer> writers() {
    return {
        {"settings",
         [](const TempProgramFolder& d) {
             d.write("Options.ini", SerializeSettings(Settings{}));
             AppSettings().PathNimboraCopy = "/srv/weather/Nimbora.htm";
         },
         [] { return SaveSettings(); }},
        {"town list",
         [](const TempProgramFolder& d) {
             d.write("gorod.ini", FormatGorodIni({3, 4}));
         },
         [] {
             return WriteGorodIni({1, 22});
         }},
        {"town selection", [](const TempProgramFolder&) {},
         [] {
             return WriteGorodaIni({5, 7, 9, 11});
         }},
        {"autostart entry",
         [](const TempProgramFolder& d) {
             QDir(d.path()).mkpath("config/autostart");
             d.write("config/autostart/Vetorlan.desktop", "[Desktop Entry]\nExec=/old/nimbora\n");
         },
         [] {
             XdgAutostartStore().SetAutorunValue("Vetorlan", "/opt/vetorlan/nimbora");
             return FsStatus::success();
         },
         false},
        {"page copies",
         [](const TempProgramFolder& d) {
             QDir(d.path()).mkdir("copy");
             for (const char* name : {"a.htm", "b.htm", "c.htm"})
                 d.write(name, filler(name[0], 700));
             d.write("copy/b.htm", "old b");
         },
         [] { return CopyFile(ProgramFolder() + "/*.htm", ProgramFolder() + "/copy"); }},
        {"picture folder copy",
         [](const TempProgramFolder& d) {
             QDir(d.path()).mkpath("_i/sub");
             QDir(d.path()).mkpath("copy/_i");
             d.write("_i/1.gif", filler('1', 900));
             d.write("_i/sub/2.gif", filler('2', 900));
             d.write("copy/_i/1.gif", "old picture");
         },
         [] { return CopyFolder(ProgramFolder() + "/_i", ProgramFolder() + "/copy/_i"); }},
    };
}

class FileSafetyTest : public ::testing::Test {
protected:
    void SetUp() override {
        AppSettings() = Settings{};
        ResetSaveFailureNotice();
        savedConfig_ = qgetenv("XDG_CONFIG_HOME");
    }
    void TearDown() override {
        SimulateFullDisk(-1);
        AppSettings() = Settings{};
        ResetSaveFailureNotice();
        savedConfig_.isNull() ? qunsetenv("XDG_CONFIG_HOME") : qputenv("XDG_CONFIG_HOME", savedConfig_);
    }
    // Runs the writer in a fresh folder, on a disk that takes `budget` bytes (negative: all).
    std::map<QString, QByteArray> run(const Writer& writer, qint64 budget, bool atSync, FsStatus& status,
                                      std::map<QString, QByteArray>* before = nullptr) {
        TempProgramFolder dir;
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.file("config")));
        AppSettings() = Settings{};
        ResetSaveFailureNotice();
        writer.prepare(dir);
        if (before)
            *before = snapshot(dir.path());
        SimulateFullDisk(budget, atSync);
        status = writer.write();
        SimulateFullDisk(-1);
        return snapshot(dir.path());
    }

    MessageBoxRecorder boxes;
    QByteArray savedConfig_;
};

TEST_F(FileSafetyTest, EveryWriterLeavesOldOrWholeNewFilesOnAFillingDiskAndSaysSo) {
    for (const Writer& writer : writers()) {
        std::map<QString, QByteArray> old;
        FsStatus status;
        const std::map<QString, QByteArray> whole = run(writer, -1, false, status, &old);
        ASSERT_TRUE(status) << writer.name << ": " << status.error.toStdString();
        ASSERT_NE(whole, old) << writer.name;
        for (const bool atSync : {false, true}) {
            for (const qint64 budget : {0, 1, 100, 700, 1000, 1500}) {
                const std::map<QString, QByteArray> after = run(writer, budget, atSync, status);
                const std::string where =
                    std::string(writer.name) + ", budget " + std::to_string(budget) + (atSync ? " lost at sync" : "");
                bool allNew = true;
                for (const auto& [name, contents] : after)
                    EXPECT_TRUE(lookup(old, name) || lookup(whole, name)) << where << ": stray " << name.toStdString();
                for (const auto& [name, contents] : whole) {
                    const std::optional<QByteArray> now = lookup(after, name);
                    EXPECT_TRUE(now == contents || now == lookup(old, name)) << where << ": " << name.toStdString();
                    allNew = allNew && now == contents;
                }
                if (!allNew && writer.reportsFailure) {
                    EXPECT_FALSE(status) << where;
                }
            }
        }
    }
}

// A real disk that fills: a tiny tmpfs, where the suite may mount one (root only).
TEST_F(FileSafetyTest, FullTmpfsKeepsTheOldFileAndReportsTheFailure) {
    QTemporaryDir base;
    const QString disk = base.filePath("disk");
    ASSERT_TRUE(QDir().mkdir(disk));
    if (::mount("tmpfs", QFile::encodeName(disk).constData(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a tmpfs here (needs root)";
    const auto unmount = qScopeGuard([&disk] { ::umount2(QFile::encodeName(disk).constData(), MNT_DETACH); });
    const QString options = disk + "/Options.ini", source = base.filePath("page.htm");
    ASSERT_TRUE(WriteFileAtomic(options, "old settings"));
    ASSERT_TRUE(WriteFileAtomic(source, filler('p', 9000)));
    QFile ballast(disk + "/ballast");
    ASSERT_TRUE(ballast.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    while (ballast.write(filler('b', 4096)) == 4096) {
    }
    ballast.close();

    QByteArray contents;
    EXPECT_FALSE(WriteFileAtomic(options, filler('n', 2000)));
    EXPECT_FALSE(CopyFile(source, disk));
    ASSERT_TRUE(ReadWholeFile(options, contents));
    EXPECT_EQ(contents, "old settings");
    EXPECT_EQ(QDir(disk).entryList(QDir::Files | QDir::Hidden, QDir::Name), (QStringList{"Options.ini", "ballast"}));

    ASSERT_TRUE(ballast.remove());
    EXPECT_TRUE(WriteFileAtomic(options, filler('n', 2000)));
    EXPECT_TRUE(CopyFile(source, disk));
}

// A named pipe stands for a device node: opening it would block, writing through it would
// feed whatever listens.
bool makePipe(const QString& path) {
    return ::mkfifo(QFile::encodeName(path).constData(), 0644) == 0;
}

bool isPipe(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISFIFO(st.st_mode);
}

TEST_F(FileSafetyTest, PipesAndFoldersUnderTheProgramsNamesAreNeverReplacedOrWrittenThrough) {
    TempProgramFolder dir;
    ASSERT_TRUE(makePipe(dir.file("device")));
    ASSERT_TRUE(QFile::link(dir.file("device"), dir.file("Options.ini")));
    ASSERT_TRUE(makePipe(dir.file("nimbora.htm")));
    ASSERT_TRUE(QDir(dir.path()).mkdir("gorod.ini"));

    // Settings through a link to the pipe: unreadable, no defaults written, one message.
    LoadSettings();
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_TRUE(boxes.boxes()[0].text.contains("«" + dir.file("Options.ini") + "» не является обычным файлом"))
        << boxes.boxes()[0].text.toStdString();
    EXPECT_TRUE(QFileInfo(dir.file("Options.ini")).isSymLink());
    EXPECT_TRUE(isPipe(dir.file("device")));

    QByteArray contents;
    for (const char* name : {"Options.ini", "nimbora.htm", "gorod.ini"}) {
        const FsStatus write = WriteFileAtomic(dir.file(name), "new");
        EXPECT_FALSE(write) << name;
        EXPECT_TRUE(write.error.contains(dir.file(name))) << write.error.toStdString();
        EXPECT_FALSE(ReadWholeFile(dir.file(name), contents)) << name;
    }
    dir.write("fetched.tmp", "page");
    EXPECT_FALSE(RenameFile(dir.file("fetched.tmp"), dir.file("nimbora.htm")));
    EXPECT_FALSE(CopyFile(dir.file("*.htm"), dir.path()));
    EXPECT_TRUE(isPipe(dir.file("nimbora.htm")));
    EXPECT_TRUE(isPipe(dir.file("device")));
    EXPECT_TRUE(QFileInfo(dir.file("gorod.ini")).isDir());
    EXPECT_EQ(dir.read("fetched.tmp"), "page");
}

TEST_F(FileSafetyTest, LinkToAFileElsewhereReplacesThatFileWholeUnlessItIsReadOnly) {
    TempProgramFolder dir;
    QTemporaryDir elsewhere;
    const QString own = elsewhere.filePath("own.htm"), locked = elsewhere.filePath("locked.htm");
    for (const QString& path : {own, locked}) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write("outside") == 7);
    }
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    ASSERT_TRUE(QFile::link(own, dir.file("nimbora.htm")));
    ASSERT_TRUE(QFile::link(locked, dir.file("Options.ini")));

    ASSERT_TRUE(WriteFileAtomic(dir.file("nimbora.htm"), "new page"));
    dir.write("fetched.tmp", "newer page");
    ASSERT_TRUE(RenameFile(dir.file("fetched.tmp"), dir.file("nimbora.htm")));
    EXPECT_TRUE(QFileInfo(dir.file("nimbora.htm")).isSymLink());
    EXPECT_EQ(dir.read("nimbora.htm"), "newer page");
    EXPECT_FALSE(dir.exists("fetched.tmp"));

    EXPECT_FALSE(WriteFileAtomic(dir.file("Options.ini"), "settings"));
    EXPECT_EQ(dir.read("Options.ini"), "outside");
    EXPECT_EQ(QDir(elsewhere.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"locked.htm", "own.htm"}));
    EXPECT_EQ(dir.entries(), (QStringList{"Options.ini", "nimbora.htm"}));
}

} // namespace
} // namespace vetorlan
