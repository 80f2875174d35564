#include "DialogsTestSupport.h"

#include "core/FileSystemObject.h"
#include "core/ProgramFolder.h"
#include "ui/CopyTargetDialog.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>

namespace vetorlan::test {
namespace {

class CopyTargetDialogTest : public DialogFixture {
protected:
    CopyTargetDialog* open() {
        auto* dialog = new CopyTargetDialog([this](const QString& path) { chosen << path; });
        dialog->show();
        return dialog;
    }
    void setName(CopyTargetDialog* d, const QString& name) { child<QLineEdit>(d, "fileNameEdit")->setText(name); }
    QStringList chosen;
};

TEST_F(CopyTargetDialogTest, WriteProbeLeavesNothingBehind) {
    EXPECT_TRUE(WriteProbe(folder.file("Nimbora.htm")));
    EXPECT_TRUE(folder.entries().isEmpty());
    // A read-only leftover under an older probe's name neither sways the answer nor is touched.
    folder.write("Nimbora.htm_", "old");
    QFile::setPermissions(folder.file("Nimbora.htm_"), QFile::ReadOwner);
    EXPECT_TRUE(WriteProbe(folder.file("Nimbora.htm")));
    EXPECT_EQ(folder.entries(), QStringList{"Nimbora.htm_"});
    EXPECT_FALSE(WriteProbe(folder.file("missing/Nimbora.htm")));
    EXPECT_EQ(folder.entries(), QStringList{"Nimbora.htm_"});
}

TEST_F(CopyTargetDialogTest, CandidateJoinsFolderAndNameWithOneSeparator) {
    EXPECT_EQ(CandidatePath("/srv/share", "Nimbora.htm"), "/srv/share/Nimbora.htm");
    EXPECT_EQ(CandidatePath("/", "Nimbora.htm"), "/Nimbora.htm");
}

TEST_F(CopyTargetDialogTest, ReadyDriveIsCheckedOnOpeningWithoutLeavingAProbe) {
    // The dialog opens at the current folder; make that one the user can surely write.
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(folder.path()));
    const auto restore = qScopeGuard([&previous] { QDir::setCurrent(previous); });
    const QStringList before = QDir::current().entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    CopyTargetDialog* d = open();
    EXPECT_EQ(d->windowTitle(), "Выберите путь и имя файла");
    EXPECT_EQ(child<QLineEdit>(d, "fileNameEdit")->text(), "Nimbora.htm");
    EXPECT_EQ(d->CurrentFolder(), QDir::currentPath());
    auto* drive = child<QLabel>(d, "driveStatusLabel");
    auto* write = child<QLabel>(d, "writeStatusLabel");
    EXPECT_EQ(drive->text(), "Устройство: готово");
    EXPECT_EQ(drive->palette().color(QPalette::WindowText), QColor(0, 0, 192));
    EXPECT_EQ(write->text(), "Запись: поддерживается");
    EXPECT_EQ(write->palette().color(QPalette::WindowText), QColor(0, 0, 192));
    EXPECT_EQ(QDir::current().entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), before);
    EXPECT_FALSE(CopyTargetDrives().isEmpty());
}

TEST_F(CopyTargetDialogTest, UnwritableDriveKeepsTheFolderListWhereItWas) {
    if (GetDriveName("/proc/self") != "/proc")
        GTEST_SKIP() << "no /proc mount here";
    CopyTargetDialog* d = open();
    const QString before = d->CurrentFolder();
    d->SelectDrive("/proc");
    EXPECT_EQ(child<QLabel>(d, "driveStatusLabel")->text(), "Устройство: готово");
    auto* write = child<QLabel>(d, "writeStatusLabel");
    EXPECT_EQ(write->text(), "Запись: невозможна");
    EXPECT_EQ(write->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(d->CurrentFolder(), before);
}

TEST_F(CopyTargetDialogTest, EmptyNameIsRefusedAndTheDialogStaysOpen) {
    CopyTargetDialog* d = open();
    setName(d, "");
    click(d, "okButton");
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text, "Введите имя файла!");
    EXPECT_EQ(boxes.boxes()[0].title, "Ошибка");
    EXPECT_EQ(boxes.boxes()[0].icon, MsgIcon::Critical);
    EXPECT_TRUE(d->isVisible());
    EXPECT_TRUE(chosen.isEmpty());
}

TEST_F(CopyTargetDialogTest, TheProgramsOwnPageIsRefusedInAnyLetterCase) {
    const QString message =
        "Нельзя копировать прогноз в директорию программы с тем же именем, что и загружаемый файл.\n"
        "Выберите другую директорию или другое имя файла.\n\n"
        "Эта опция предназначена для копирования прогноза, например, на сетевой диск или сменный носитель "
        "информации; а в директории, где установлена программа, файлы с прогнозом будут в любом случае.";
    const QString before = AppSettings().PathNimboraCopy = "/srv/share/Nimbora.htm";
    CopyTargetDialog* d = open();
    d->OpenFolder(ProgramFolder());
    for (const char* name : {"Nimbora.htm", "NIMBORA.HTM", "nimbora.Html"}) {
        setName(d, name);
        click(d, "okButton");
        EXPECT_TRUE(d->isVisible()) << name;
    }
    ASSERT_EQ(boxes.boxes().size(), 3u);
    for (const auto& box : boxes.boxes()) {
        EXPECT_EQ(box.text, message);
        EXPECT_EQ(box.title, "Ошибка");
        EXPECT_EQ(box.icon, MsgIcon::Critical);
    }
    EXPECT_TRUE(chosen.isEmpty());
    EXPECT_EQ(AppSettings().PathNimboraCopy, before) << "the saved target is untouched until Ok";
    // Another name in the program folder is accepted and closes the dialog.
    setName(d, "Nimbora.htm.bak");
    click(d, "okButton");
    EXPECT_EQ(chosen, QStringList{folder.file("Nimbora.htm.bak")});
    EXPECT_FALSE(d->isVisible());
}

TEST_F(CopyTargetDialogTest, FolderListOpensSubfoldersAndGoesBack) {
    ASSERT_TRUE(QDir(folder.path()).mkpath("a/b"));
    CopyTargetDialog* d = open();
    d->OpenFolder(folder.path());
    auto* list = child<QListWidget>(d, "folderList");
    ASSERT_EQ(list->count(), 2); // ".." and "a"
    list->setCurrentRow(1);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(d->CurrentFolder(), folder.file("a"));
    EXPECT_TRUE(d->isVisible()) << "Return in the folder list opens the folder, not Ok";
    EXPECT_TRUE(chosen.isEmpty());
    list->setCurrentRow(0);
    QTest::keyClick(list, Qt::Key_Enter);
    EXPECT_EQ(d->CurrentFolder(), folder.path());
    click(d, "cancelButton");
    EXPECT_TRUE(chosen.isEmpty());
    EXPECT_TRUE(boxes.boxes().empty());
}

} // namespace
} // namespace vetorlan::test
