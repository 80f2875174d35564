#include "ui/CopyTargetDialog.h"

#include "core/CodePage.h"
#include "core/FileSystemObject.h"
#include "core/MessageBox.h"
#include "core/ProgramFolder.h"
#include "ui/DialogWidgets.h"
#include "ui/ScreenFit.h"
#include "ui_CopyTargetDialog.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <QStyle>

namespace vetorlan {

namespace {

const QColor PositiveColor(0, 0, 192);
const QColor NegativeColor(255, 0, 0);

// The refusal shown when the copy would overwrite the program's own page.
QString ownFolderMessage() {
    return QString("Нельзя копировать прогноз в директорию программы с тем же именем, что и загружаемый файл.") + "\n" +
           "Выберите другую директорию или другое имя файла." + "\n\n" +
           "Эта опция предназначена для копирования прогноза, например, на сетевой диск или сменный носитель "
           "информации; а в директории, где установлена программа, файлы с прогнозом будут в любом случае.";
}

bool isPseudoFileSystem(const QByteArray& type) {
    static const QList<QByteArray> pseudo = {
        "proc",      "sysfs",      "devtmpfs",  "devpts",          "tmpfs",      "cgroup", "cgroup2",
        "mqueue",    "securityfs", "debugfs",   "tracefs",         "pstore",     "bpf",    "autofs",
        "configfs",  "fusectl",    "hugetlbfs", "binfmt_misc",     "efivarfs",   "nsfs",   "rpc_pipefs",
        "selinuxfs", "ramfs",      "squashfs",  "fuse.gvfsd-fuse", "fuse.portal"};
    return pseudo.contains(type);
}

QStringList lowerForms(const QString& path) {
    QStringList forms{QDir::cleanPath(path).toLower()};
    const QFileInfo info(path);
    const QString folder = info.absoluteDir().canonicalPath();
    if (!folder.isEmpty())
        forms << QDir::cleanPath(folder + "/" + info.fileName()).toLower();
    return forms;
}

} // namespace

QString CandidatePath(const QString& folder, const QString& name) {
    return folder.endsWith('/') ? folder + name : folder + "/" + name;
}

bool WriteProbe(const QString& candidate) {
    return CanCreateFileBeside(candidate);
}

bool IsProgramOutputPath(const QString& candidate) {
    const QStringList given = lowerForms(candidate);
    for (const QString& name : {kMainPageName, kMainPageName + u'l'}) {
        for (const QString& own : lowerForms(ProgramFolder() + u'/' + name))
            if (given.contains(own))
                return true;
    }
    return false;
}

QStringList CopyTargetDrives() {
    QStringList drives;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || isPseudoFileSystem(volume.fileSystemType()))
            continue;
        if (!drives.contains(volume.rootPath()))
            drives << volume.rootPath();
    }
    std::sort(drives.begin(), drives.end());
    return drives;
}

CopyTargetDialog::CopyTargetDialog(std::function<void(const QString&)> setPath, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::CopyTargetDialog>()), setPath_(std::move(setPath)) {
    ui_->setupUi(this);
    ui_->folderList->setIconSize(QSize(fontMetrics().height(), fontMetrics().height()));
    // Its lists shrink with it, so on a small screen it simply opens smaller.
    resize(size().boundedTo(AvailableDialogArea(*this)));

    const QString current = GetDriveName(QDir::currentPath());
    QStringList drives = CopyTargetDrives();
    if (!drives.contains(current))
        drives.prepend(current);
    ui_->driveComboBox->addItems(drives);
    ui_->driveComboBox->setCurrentIndex(drives.indexOf(current));
    OpenFolder(QDir::currentPath());

    connect(ui_->driveComboBox, &QComboBox::currentIndexChanged, this, &CopyTargetDialog::CheckDrive);
    connect(ui_->folderList, &QListWidget::itemActivated, this, &CopyTargetDialog::OpenFolderItem);
    connect(ui_->okButton, &QPushButton::clicked, this, &CopyTargetDialog::AcceptTarget);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &CopyTargetDialog::reject);
    CheckDrive();
}

CopyTargetDialog::~CopyTargetDialog() = default;

void CopyTargetDialog::SelectDrive(const QString& mountPoint) {
    int index = ui_->driveComboBox->findText(mountPoint);
    if (index < 0) {
        ui_->driveComboBox->addItem(mountPoint);
        index = ui_->driveComboBox->count() - 1;
    }
    if (index == ui_->driveComboBox->currentIndex())
        CheckDrive();
    else
        ui_->driveComboBox->setCurrentIndex(index);
}

void CopyTargetDialog::OpenFolder(const QString& folder) {
    folder_ = QDir::cleanPath(folder);
    ui_->folderPathLabel->setText(folder_);
    ui_->folderList->clear();
    const QDir dir(folder_);
    if (!dir.isRoot())
        new QListWidgetItem(style()->standardIcon(QStyle::SP_FileDialogToParent), "..", ui_->folderList);
    const QIcon folderIcon = style()->standardIcon(QStyle::SP_DirIcon);
    for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase))
        new QListWidgetItem(folderIcon, name, ui_->folderList);
    ui_->folderList->setCurrentRow(0);
}

void CopyTargetDialog::OpenFolderItem(QListWidgetItem* item) {
    if (item->text() == "..")
        OpenFolder(QFileInfo(folder_).absolutePath());
    else
        OpenFolder(CandidatePath(folder_, item->text()));
}

QString CopyTargetDialog::FolderForDrive(const QString& drive) const {
    // The working folder when it lies on that drive, otherwise the drive's root.
    const QString cwd = QDir::currentPath();
    return GetDriveName(cwd) == drive ? cwd : drive;
}

void CopyTargetDialog::ShowStatus(QLabel* label, const QString& text, bool positive) {
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, positive ? PositiveColor : NegativeColor);
    label->setPalette(pal);
    label->setText(text);
}

void CopyTargetDialog::CheckDrive() {
    const QString drive = GetDriveName(ui_->driveComboBox->currentText());
    if (!DriveIsReady(drive)) {
        ShowStatus(ui_->driveStatusLabel, "Устройство: НЕ готово", false);
        ShowStatus(ui_->writeStatusLabel, "Запись: невозможна", false);
        return;
    }
    ShowStatus(ui_->driveStatusLabel, "Устройство: готово", true);
    const QString remembered = folder_;
    OpenFolder(FolderForDrive(drive));
    candidate_ = CandidatePath(folder_, ui_->fileNameEdit->text());
    if (WriteProbe(candidate_)) {
        ShowStatus(ui_->writeStatusLabel, "Запись: поддерживается", true);
    } else {
        ShowStatus(ui_->writeStatusLabel, "Запись: невозможна", false);
        OpenFolder(remembered);
    }
}

void CopyTargetDialog::AcceptTarget() {
    if (ui_->fileNameEdit->text().isEmpty()) {
        ShowMessageBox("Введите имя файла!", "Ошибка", MsgIcon::Critical);
        return;
    }
    candidate_ = CandidatePath(folder_, ui_->fileNameEdit->text());
    if (IsProgramOutputPath(candidate_)) {
        ShowMessageBox(ownFolderMessage(), "Ошибка", MsgIcon::Critical);
        candidate_ = "c:\\";
        return;
    }
    if (const QString unstorable = CharactersOutsideCp1251(candidate_); !unstorable.isEmpty()) {
        ShowMessageBox(UnstorableCharactersMessage(unstorable), "Ошибка", MsgIcon::Critical);
        return;
    }
    if (setPath_)
        setPath_(candidate_);
    accept();
}

} // namespace vetorlan
