#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QLabel;
class QListWidgetItem;

namespace vetorlan {

namespace Ui {
class CopyTargetDialog;
}

// The folder joined with the file name by the platform's separator.
QString CandidatePath(const QString& folder, const QString& name);

// Whether the candidate's folder takes a new file: creates one under a fresh name and
// deletes it again. Nothing is left behind, and no leftover file sways it; no message.
bool WriteProbe(const QString& candidate);

// Whether the candidate is the program's own page (the program folder with "Nimbora.htm" or
// "Nimbora.html"), compared without regard to letter case.
bool IsProgramOutputPath(const QString& candidate);

// Mount points of the mounted volumes that hold real file systems, the root first.
QStringList CopyTargetDrives();

// The copy-target dialog "Выберите путь и имя файла": drive, folder and file name, with the
// drive and write checks; Ok hands the full path to `setPath` and closes.
class CopyTargetDialog : public QDialog {
    Q_OBJECT
public:
    CopyTargetDialog(std::function<void(const QString&)> setPath, QWidget* parent = nullptr);
    ~CopyTargetDialog() override;

    QString CurrentFolder() const { return folder_; }
    // Selects the drive (adding it to the list when missing), which runs the drive check.
    void SelectDrive(const QString& mountPoint);
    // Moves the folder list, as the user does by opening folders; runs no check.
    void OpenFolder(const QString& folder);

private:
    void CheckDrive();
    void OpenFolderItem(QListWidgetItem* item);
    void AcceptTarget();
    void ShowStatus(QLabel* label, const QString& text, bool positive);
    QString FolderForDrive(const QString& drive) const;

    std::unique_ptr<Ui::CopyTargetDialog> ui_;
    std::function<void(const QString&)> setPath_;
    QString folder_;
    QString candidate_;
};

} // namespace vetorlan
