#include "core/ProgramFolder.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vetorlan {
namespace {

class ProgramFolderTest : public ::testing::Test {
protected:
    QString Path(const QString& name) const { return root_.filePath(name); }
    void Write(const QString& name, const QByteArray& bytes, const QDateTime& modified = {}) {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(Path(name)).absolutePath()));
        QFile f(Path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        f.flush();
        if (modified.isValid()) {
            ASSERT_TRUE(f.setFileTime(modified, QFileDevice::FileModificationTime));
        }
    }
    QByteArray Read(const QString& name) const {
        QFile f(Path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    QTemporaryDir root_;
};

TEST_F(ProgramFolderTest, WritableFolderIsPortableAndInstalledRunsUseTheDataFolder) {
    const QString data = Path("home/.local/share/vetorlan");
    Write("portable/nimbora.css", "css");
    Write("usr/share/vetorlan/nimbora.css", "css");
    ASSERT_TRUE(QDir().mkpath(Path("usr/bin")));
    Write("readonly/nimbora.css", "css");
    const QFileDevice::Permissions readAndEnter = QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                                  QFileDevice::ReadGroup | QFileDevice::ExeGroup |
                                                  QFileDevice::ReadOther | QFileDevice::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(Path("readonly"), readAndEnter));
    // Root writes through permission bits: there the read-only folder is declared so.
    QFile probe(Path("readonly/probe"));
    const bool root = probe.open(QIODevice::WriteOnly);
    probe.remove();
    const WritableCheck check = [&](const QString& folder) {
        return root ? !folder.endsWith("/readonly") : FolderWritable(folder);
    };

    const ProgramPlace portable = ChooseProgramPlace(Path("portable"), data, check);
    EXPECT_EQ(portable.folder, Path("portable"));
    EXPECT_TRUE(portable.sharedFolder.isEmpty());
    // A writable bin/ of an installed layout (e.g. root running /usr/bin/nimbora) stays clean.
    const ProgramPlace installed = ChooseProgramPlace(Path("usr/bin"), data, check);
    EXPECT_EQ(installed.folder, data);
    EXPECT_EQ(installed.sharedFolder, Path("usr/share/vetorlan"));
    const ProgramPlace readOnly = ChooseProgramPlace(Path("readonly"), data, check);
    EXPECT_EQ(readOnly.folder, data);
    EXPECT_TRUE(readOnly.sharedFolder.isEmpty());
    QFile::setPermissions(Path("readonly"), readAndEnter | QFileDevice::WriteOwner);
}

TEST_F(ProgramFolderTest, SharedFilesAreCopiedWhenMissingOrOlder) {
    const QDateTime built = QDateTime::currentDateTime().addDays(-10);
    Write("share/nimbora.css", "new css", built);
    Write("share/_i/sun.gif", "gif", built);
    Write("share/_i/Sun.gif", "big gif", built);
    Write("share/help/index.html", "help", built);
    Write("data/nimbora.css", "old css", built.addDays(-1));
    Write("data/help/index.html", "help kept", built.addDays(1));
    Write("data/Options.ini", "settings");
    const ProgramPlace place{Path("data"), Path("share")};

    ASSERT_TRUE(PrepareProgramPlace(place));
    EXPECT_EQ(Read("data/nimbora.css"), "new css");
    EXPECT_EQ(Read("data/_i/sun.gif"), "gif");
    EXPECT_EQ(Read("data/_i/Sun.gif"), "big gif");
    EXPECT_EQ(Read("data/help/index.html"), "help kept");
    EXPECT_EQ(Read("data/Options.ini"), "settings");

    // A newer shared file (an upgraded package) replaces the copy made from the older one.
    Write("share/_i/sun.gif", "gif 2", built.addDays(2));
    ASSERT_TRUE(PrepareProgramPlace(place));
    EXPECT_EQ(Read("data/_i/sun.gif"), "gif 2");
    ASSERT_TRUE(PrepareProgramPlace({Path("fresh/a/b"), QString()}));
    EXPECT_TRUE(QFileInfo(Path("fresh/a/b")).isDir());
}

} // namespace
} // namespace vetorlan
