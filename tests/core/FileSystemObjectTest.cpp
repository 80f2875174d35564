#include "core/FileSystemObject.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vetorlan {
namespace {

using test::TempProgramFolder;

void makeReadOnly(const QString& path) {
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
}

TEST(FileSystemObject, LookupIgnoresLetterCaseOfTheLastElement) {
    TempProgramFolder dir;
    dir.write("nimbora.htm", "page");
    QDir(dir.path()).mkdir("_i");
    struct Row {
        const char* asked;
        bool file, folder;
        const char* resolved;
    };
    const Row rows[] = {
        {"nimbora.htm", true, false, "nimbora.htm"},  {"Nimbora.htm", true, false, "nimbora.htm"},
        {"NIMBORA.HTM", true, false, "nimbora.htm"},  {"_I", false, true, "_i"},
        {"missing.htm", false, false, "missing.htm"},
    };
    for (const Row& row : rows) {
        const QString asked = dir.file(row.asked);
        EXPECT_EQ(FileExists(asked), row.file) << row.asked;
        EXPECT_EQ(FolderExists(asked), row.folder) << row.asked;
        EXPECT_EQ(ResolvePath(asked), dir.file(row.resolved)) << row.asked;
    }
    QByteArray contents;
    ASSERT_TRUE(ReadWholeFile(dir.file("NIMBORA.htm"), contents));
    EXPECT_EQ(contents, "page");
    EXPECT_TRUE(FileModified(dir.file("Nimbora.HTM")).isValid());
    EXPECT_FALSE(FileModified(dir.file("none.htm")).isValid());
}

TEST(FileSystemObject, AtomicWriteReplacesCaseVariantsLeavingOneFile) {
    TempProgramFolder dir;
    dir.write("nimbora.htm", "old");
    dir.write("NIMBORA.HTM", "older");
    ASSERT_TRUE(WriteFileAtomic(dir.file("Nimbora.htm"), "new"));
    EXPECT_EQ(dir.entries(), QStringList{"Nimbora.htm"});
    EXPECT_EQ(dir.read("Nimbora.htm"), "new");

    ASSERT_TRUE(CreateTextFile(dir.file("nimbora.htm")));
    EXPECT_EQ(dir.entries(), QStringList{"nimbora.htm"});
    EXPECT_TRUE(dir.read("nimbora.htm").isEmpty());
}

TEST(FileSystemObject, AtomicWriteFailsCleanlyWhereNothingCanBeWritten) {
    TempProgramFolder dir;
    dir.write("plain", "a file, not a folder");
    QDir(dir.path()).mkdir("folder");
    EXPECT_FALSE(WriteFileAtomic(dir.file("missing/x.txt"), "x"));
    EXPECT_FALSE(WriteFileAtomic(dir.file("plain/x.txt"), "x"));
    const FsStatus onFolder = WriteFileAtomic(dir.file("folder"), "x");
    EXPECT_FALSE(onFolder);
    EXPECT_FALSE(onFolder.error.isEmpty());
    EXPECT_EQ(dir.entries(), (QStringList{"folder", "plain"}));
    EXPECT_EQ(dir.read("plain"), "a file, not a folder");
}

TEST(FileSystemObject, ReadOnlyFileSurvivesDeleteUnlessForced) {
    TempProgramFolder dir;
    dir.write("locked.txt", "keep");
    dir.write("free.txt", "go");
    makeReadOnly(dir.file("locked.txt"));

    EXPECT_FALSE(DeleteFile(dir.file("locked.txt")));
    EXPECT_TRUE(dir.exists("locked.txt"));
    EXPECT_TRUE(DeleteFile(dir.file("LOCKED.TXT"), true));
    EXPECT_FALSE(dir.exists("locked.txt"));

    EXPECT_TRUE(DeleteFile(dir.file("Free.txt")));
    EXPECT_FALSE(dir.exists("free.txt"));
    EXPECT_FALSE(DeleteFile(dir.file("free.txt")));
}

TEST(FileSystemObject, RenameReplacesTargetAndItsCaseVariants) {
    TempProgramFolder dir;
    dir.write("moskva.htm", "fresh");
    dir.write("MOSKVA1.htm", "stale");
    ASSERT_TRUE(RenameFile(dir.file("Moskva.htm"), dir.file("moskva1.htm")));
    EXPECT_EQ(dir.entries(), QStringList{"moskva1.htm"});
    EXPECT_EQ(dir.read("moskva1.htm"), "fresh");
    EXPECT_FALSE(RenameFile(dir.file("gone.htm"), dir.file("x.htm")));
}

TEST(FileSystemObject, WildcardCopyMatchesWithoutCaseAndOverwrites) {
    TempProgramFolder dir;
    QDir(dir.path()).mkpath("src/sub");
    QDir(dir.path()).mkpath("dst");
    dir.write("src/a.htm", "A");
    dir.write("src/B.HTM", "B");
    dir.write("src/c.html", "C");
    dir.write("src/nimbora.css", "css");
    dir.write("src/sub/d.htm", "D");
    dir.write("dst/b.htm", "old B");

    ASSERT_TRUE(CopyFile(dir.file("src/*.htm"), dir.file("dst")));
    EXPECT_EQ(QDir(dir.file("dst")).entryList(QDir::Files, QDir::Name), (QStringList{"B.HTM", "a.htm"}));
    EXPECT_EQ(dir.read("dst/B.HTM"), "B");

    struct Row {
        const char* pattern;
        bool ok;
    };
    const Row rows[] = {{"src/NIMBORA.CSS", true},
                        {"src/*.Css", true},
                        {"src/*.gif", false},
                        {"src/n*a.c?s", true},
                        {"nowhere/*", false}};
    for (const Row& row : rows)
        EXPECT_EQ(bool(CopyFile(dir.file(row.pattern), dir.file("dst"))), row.ok) << row.pattern;
    EXPECT_EQ(dir.read("dst/nimbora.css"), "css");
    EXPECT_FALSE(CopyFile(dir.file("src/*.htm"), dir.file("no-such-target")));
}

TEST(FileSystemObject, FolderCopyIsRecursiveAndOverwrites) {
    TempProgramFolder dir;
    QDir(dir.path()).mkpath("_i/wiz/deep");
    dir.write("_i/sun.gif", "sun");
    dir.write("_i/wiz/deep/rain.gif", "rain");
    QDir(dir.path()).mkpath("copy/_i");
    dir.write("copy/_i/sun.gif", "old sun");
    dir.write("copy/_i/extra.gif", "kept");

    ASSERT_TRUE(CopyFolder(dir.file("_I"), dir.file("copy/_i")));
    EXPECT_EQ(dir.read("copy/_i/sun.gif"), "sun");
    EXPECT_EQ(dir.read("copy/_i/wiz/deep/rain.gif"), "rain");
    EXPECT_EQ(dir.read("copy/_i/extra.gif"), "kept");

    ASSERT_TRUE(CopyFolder(dir.file("_i"), dir.file("fresh/target")));
    EXPECT_EQ(dir.read("fresh/target/wiz/deep/rain.gif"), "rain");

    // Names that differ only in case are both copied when the source holds both, while a
    // stale case-variant in the target is replaced.
    dir.write("_i/Main.gif", "animation page");
    dir.write("_i/main.gif", "list page");
    dir.write("copy/_i/SUN.GIF", "stale");
    ASSERT_TRUE(CopyFolder(dir.file("_i"), dir.file("copy/_i")));
    EXPECT_EQ(dir.read("copy/_i/Main.gif"), "animation page");
    EXPECT_EQ(dir.read("copy/_i/main.gif"), "list page");
    EXPECT_FALSE(QFileInfo::exists(dir.file("copy/_i/SUN.GIF")));
    EXPECT_EQ(dir.read("copy/_i/sun.gif"), "sun");

    EXPECT_FALSE(CopyFolder(dir.file("_i"), dir.file("_i/wiz/inside")));
    EXPECT_FALSE(CopyFolder(dir.file("none"), dir.file("copy")));
}

TEST(FileSystemObject, DriveOfAPathIsItsMountedVolume) {
    TempProgramFolder dir;
    const QString drive = GetDriveName(dir.path());
    ASSERT_FALSE(drive.isEmpty());
    EXPECT_TRUE(dir.path().startsWith(drive.endsWith('/') ? drive : drive + "/") || dir.path() == drive);
    EXPECT_TRUE(DriveIsReady(drive));
    EXPECT_EQ(GetDriveName(dir.file("not/yet/there.htm")), drive);
    EXPECT_FALSE(DriveIsReady(QString()));
    EXPECT_FALSE(DriveIsReady(dir.file("no-such-mount")));
}

} // namespace
} // namespace vetorlan
