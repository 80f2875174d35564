#include "core/SettingsStore.h"
#include "core/FileSystemObject.h"
#include "core/ProgramFolder.h"
#include "tests/core/DefaultOptionsFile.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace vetorlan {
namespace {

using test::FakeAutorunStore;
using test::MessageBoxRecorder;
using test::TempProgramFolder;

class RecordingHost : public SettingsHost {
public:
    void PauseTimers() override { calls << "pause"; }
    void SetTownListTip(const QString& tip) override { calls << "tip:" + tip; }
    void RefreshTownLists() override { calls << "refresh:" + AppSettings().MultiLoad; }
    void AskFirstRunQuestion() override {
        calls << "question";
        fileAtQuestion = FileExists(ProgramFile("Options.ini"));
    }
    QStringList calls;
    bool fileAtQuestion = false;
};

// Wires a fake autorun store and a recording host for one test, and resets the settings.
class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        AppSettingsContext() = {&autorun, &host};
        AppSettings() = Settings{};
        ResetSaveFailureNotice();
    }
    void TearDown() override {
        AppSettingsContext() = {};
        AppSettings() = Settings{};
        ResetSaveFailureNotice();
    }
    QByteArray defaultFile() const { return SerializeSettings(FirstRunSettings(false)); }

    TempProgramFolder dir;
    MessageBoxRecorder boxes;
    FakeAutorunStore autorun;
    RecordingHost host;
};

// The defaults follow the machine: a permanent line without a modem link, the desktop's
// browser, and no copy folder until the user picks one ("c:\\" names none on Linux).
TEST_F(SettingsStoreTest, FirstStartInAnEmptyFolderWritesDefaultsThenAsks) {
    AppSettings().AutoRun = "garbage from before";
    LoadSettings();
    EXPECT_EQ(dir.entries(), QStringList{"Options.ini"});
    EXPECT_EQ(dir.read("Options.ini").count("\r\n"), 39);
    QByteArray expected = test::kDefaultFile;
    expected.replace("WorkMode=DialUp", "WorkMode=DirectConn")
        .replace("UseInternetExplorer=True", "UseInternetExplorer=False")
        .replace("PathNimboraCopy=c:\\", "PathNimboraCopy=");
    EXPECT_EQ(dir.read("Options.ini"), expected);
    EXPECT_EQ(AppSettings(), FirstRunSettings(false));
    EXPECT_EQ(autorun.values.value("Vetorlan"), dir.path() + "/nimbora");
    EXPECT_EQ(host.calls, (QStringList{"pause", "tip:Совет первого запуска: список отсортирован не по алфавиту!",
                                       "refresh:False", "question"}));
    EXPECT_TRUE(host.fileAtQuestion);
    EXPECT_TRUE(boxes.boxes().empty());

    AppSettingsContext().machineHasModemLink = [] { return true; };
    QFile::remove(dir.file("Options.ini"));
    LoadSettings();
    EXPECT_EQ(AppSettings().WorkMode, "DialUp");
}

TEST_F(SettingsStoreTest, UnrecognisedFilesAreReplacedByDefaults) {
    const QByteArray files[] = {"", "vetorlan options\r\nAutoRun=False\r\n"};
    for (const QByteArray& file : files) {
        host.calls.clear();
        dir.write("Options.ini", file);
        LoadSettings();
        EXPECT_EQ(dir.read("Options.ini"), defaultFile());
        EXPECT_EQ(host.calls.last(), "question");
    }
}

TEST_F(SettingsStoreTest, RecognisedFileIsLoadedWithoutWritingOrAsking) {
    Settings stored;
    stored.AutoRun = "False";
    stored.MultiLoad = "True";
    stored.ActualWait = 3;
    const QByteArray file = SerializeSettings(stored);
    dir.write("OPTIONS.INI", file);
    LoadSettings();
    EXPECT_EQ(AppSettings(), stored);
    EXPECT_TRUE(host.calls.isEmpty());
    EXPECT_TRUE(autorun.values.isEmpty());
    EXPECT_EQ(dir.entries(), QStringList{"OPTIONS.INI"});
}

TEST_F(SettingsStoreTest, DamagedFileIsLoadedAsFarAsItGoesWithoutAsking) {
    Settings stored;
    stored.MultiLoad = "True";
    const QByteArray whole = SerializeSettings(stored);
    QByteArray damaged = whole.left(whole.indexOf("[Adding:]")) + "[Adding:]\r\nMultiLoad=True\r\n";
    damaged.replace("ActualWait=12", "ActualWait=40000");
    dir.write("Options.ini", damaged);
    LoadSettings();
    EXPECT_EQ(AppSettings(), stored);
    EXPECT_TRUE(host.calls.isEmpty());
    EXPECT_EQ(dir.read("Options.ini"), damaged);
}

TEST_F(SettingsStoreTest, SaveFollowsAutoRunOnEverySave) {
    AppSettings().MultiLoad = "True";
    ASSERT_TRUE(SaveSettings());
    EXPECT_EQ(autorun.values.value("Vetorlan"), dir.path() + "/nimbora");
    EXPECT_EQ(host.calls, QStringList{"refresh:True"});

    for (const char* off : {"False", "true", "True "}) {
        AppSettings().AutoRun = off;
        ASSERT_TRUE(SaveSettings());
        EXPECT_FALSE(autorun.values.contains("Vetorlan")) << off;
    }
    EXPECT_EQ(autorun.deletes, 3);
    EXPECT_TRUE(boxes.boxes().empty());

    // A program moved to another folder names the new folder at its next save.
    TempProgramFolder moved;
    AppSettings().AutoRun = "True";
    ASSERT_TRUE(SaveSettings());
    EXPECT_EQ(autorun.values.value("Vetorlan"), moved.path() + "/nimbora");
}

TEST_F(SettingsStoreTest, SaveReplacesACaseVariantOfTheFile) {
    dir.write("options.ini", "old");
    ASSERT_TRUE(SaveSettings());
    EXPECT_EQ(dir.entries().size(), 1);
    EXPECT_EQ(dir.read(dir.entries().front()), SerializeSettings(Settings{}));
}

TEST_F(SettingsStoreTest, UnwritableFolderIsToldOnceAndNeverStopsTheProgram) {
    dir.write("blocker", "a file where the program folder should be");
    SetProgramFolder(dir.file("blocker"));
    for (int attempt = 0; attempt < 3; ++attempt) {
        FsStatus status;
        EXPECT_NO_THROW(status = SaveSettings());
        EXPECT_FALSE(status);
    }
    EXPECT_NO_THROW(LoadSettings());
    ASSERT_EQ(boxes.boxes().size(), 1u);
    const MessageBoxRecorder::Box& box = boxes.boxes().front();
    EXPECT_EQ(box.title, "Ошибка");
    EXPECT_EQ(box.icon, MsgIcon::Critical);
    EXPECT_TRUE(box.text.contains("Options.ini"));
    EXPECT_TRUE(box.text.contains("Причина:"));
    EXPECT_TRUE(box.text.contains(dir.file("blocker")));
    // Autorun and the town lists still follow the save; the first-run question still comes.
    EXPECT_EQ(autorun.sets, 4);
    EXPECT_EQ(host.calls.count("refresh:False"), 4);
    EXPECT_EQ(host.calls.last(), "question");
    EXPECT_EQ(dir.read("blocker"), "a file where the program folder should be");
}

TEST_F(SettingsStoreTest, SaveFailureIsToldInRussianWithTheFileAndItsRealReason) {
    const QString file = dir.file("Options.ini");
    dir.write("Options.ini", "old");
    QFile::setPermissions(file, QFileDevice::ReadOwner);
    EXPECT_EQ(ClassifySaveFailure(file, 1000), SaveFailure::ReadOnlyFile);
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(ClassifySaveFailure(file, 1000), SaveFailure::FolderNotWritable);
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_EQ(ClassifySaveFailure(dir.file("none/Options.ini"), 1000), SaveFailure::NoFolder);

    const QRegularExpression quotedPath(QStringLiteral("«[^»]*»")), latin(QStringLiteral("[A-Za-z]"));
    for (SaveFailure reason : {SaveFailure::NoFolder, SaveFailure::FolderInTheWay, SaveFailure::FolderNotWritable,
                               SaveFailure::ReadOnlyFile, SaveFailure::DiskFull, SaveFailure::WriteError}) {
        QString text = SaveFailureText(file, reason);
        EXPECT_TRUE(text.contains("«" + file + "»")) << text.toStdString();
        EXPECT_FALSE(text.remove(quotedPath).contains(latin)) << text.toStdString();
    }
    EXPECT_TRUE(SaveFailureText(file, SaveFailure::ReadOnlyFile).contains("только для чтения"));
    EXPECT_TRUE(SaveFailureText(file, SaveFailure::DiskFull).contains("свободного места"));

    // Automatic saves tell the first failure of a run; every save the user asks for is told.
    SetProgramFolder(dir.file("none"));
    SaveSettings();
    SaveSettings();
    EXPECT_EQ(boxes.boxes().size(), 1u);
    SaveSettings(SaveRequest::ByUser);
    SaveSettings(SaveRequest::ByUser);
    EXPECT_EQ(boxes.boxes().size(), 3u);
}

TEST_F(SettingsStoreTest, MissingParentFolderFailsTheSameWay) {
    SetProgramFolder(dir.file("no/such/folder"));
    EXPECT_FALSE(SaveSettings());
    EXPECT_EQ(boxes.boxes().size(), 1u);
    EXPECT_FALSE(QDir(dir.file("no")).exists());
}

TEST_F(SettingsStoreTest, ReadOnlyFolderKeepsTheOldFile) {
    dir.write("Options.ini", "old");
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    if (QFileInfo(dir.path()).isWritable()) {
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        GTEST_SKIP() << "permission bits do not bind this user";
    }
    EXPECT_FALSE(SaveSettings());
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(dir.read("Options.ini"), "old");
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_TRUE(boxes.boxes().front().text.contains("нет прав на запись"));
}

TEST_F(SettingsStoreTest, UnreadableFileIsKeptAndDefaultsUsed) {
    Settings mine;
    mine.MultiLoad = "True";
    dir.write("Options.ini", SerializeSettings(mine));
    QFile::setPermissions(dir.file("Options.ini"), QFileDevice::WriteOwner);
    if (QFile(dir.file("Options.ini")).open(QIODevice::ReadOnly)) {
        QFile::setPermissions(dir.file("Options.ini"), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        GTEST_SKIP() << "permission bits do not bind this user";
    }
    LoadSettings();
    QFile::setPermissions(dir.file("Options.ini"), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_EQ(AppSettings(), FirstRunSettings(false));
    EXPECT_EQ(dir.read("Options.ini"), SerializeSettings(mine));
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_TRUE(boxes.boxes().front().text.startsWith("Не удалось прочитать настройки"));
}

TEST_F(SettingsStoreTest, NullWiringIsSkipped) {
    AppSettingsContext() = {};
    EXPECT_NO_THROW(LoadSettings());
    EXPECT_EQ(dir.read("Options.ini"), defaultFile());
    AppSettings().AutoRun = "False";
    EXPECT_TRUE(SaveSettings());
}

} // namespace
} // namespace vetorlan
