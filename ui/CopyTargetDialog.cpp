#include "ui/CopyTargetDialog.h"

#include "core/FileSystemObject.h"
#include "core/MessageBox.h"
#include "core/ProgramFolder.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStorageInfo>
#include <QStyle>
#include <QVBoxLayout>

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

// The folder list: Return opens the current folder instead of pressing the dialog's Ok.
class FolderList : public QListWidget {
public:
    using QListWidget::QListWidget;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentItem()) {
            emit itemActivated(currentItem());
            event->accept();
            return;
        }
        QListWidget::keyPressEvent(event);
    }
};

} // namespace

QString CandidatePath(const QString& folder, const QString& name) {
    return folder.endsWith('/') ? folder + name : folder + "/" + name;
}

bool WriteProbe(const QString& candidate) {
    const QString probe = candidate + "_";
    if (!CreateTextFile(probe))
        return false;
    return bool(DeleteFile(probe, true));
}

bool IsProgramOutputPath(const QString& candidate) {
    const QStringList given = lowerForms(candidate);
    for (const char* name : {"/Nimbora.htm", "/Nimbora.html"}) {
        for (const QString& own : lowerForms(ProgramFolder() + name))
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
    : QDialog(parent), setPath_(std::move(setPath)) {
    setObjectName("CopyTargetDialog");
    setWindowTitle("Выберите путь и имя файла");

    Frame1 = new QGroupBox("Диск:", this);
    Frame1->setObjectName("Frame1");
    Drive1 = new QComboBox(Frame1);
    Drive1->setObjectName("Drive1");
    (new QVBoxLayout(Frame1))->addWidget(Drive1);

    Frame2 = new QGroupBox("Каталог:", this);
    Frame2->setObjectName("Frame2");
    dirPath_ = new QLabel(Frame2);
    dirPath_->setWordWrap(true);
    Dir1 = new FolderList(Frame2);
    Dir1->setObjectName("Dir1");
    Dir1->setIconSize(QSize(fontMetrics().height(), fontMetrics().height()));
    auto* dirBox = new QVBoxLayout(Frame2);
    dirBox->addWidget(dirPath_);
    dirBox->addWidget(Dir1, 1);

    Frame3 = new QGroupBox("Создавать файл с именем:", this);
    Frame3->setObjectName("Frame3");
    Text1 = new QLineEdit("Nimbora.htm", Frame3);
    Text1->setObjectName("Text1");
    (new QVBoxLayout(Frame3))->addWidget(Text1);

    Label1 = new QLabel(this);
    Label1->setObjectName("Label1");
    Label2 = new QLabel(this);
    Label2->setObjectName("Label2");
    Command1 = new QPushButton("Ok", this);
    Command1->setObjectName("Command1");
    Command1->setDefault(true);
    Command2 = new QPushButton("Отмена", this);
    Command2->setObjectName("Command2");

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto* right = new QVBoxLayout;
    right->addWidget(Frame3);
    right->addWidget(Label1);
    right->addWidget(Label2);
    right->addStretch();
    right->addLayout(buttons);
    auto* left = new QVBoxLayout;
    left->addWidget(Frame1);
    left->addWidget(Frame2, 1);
    auto* grid = new QHBoxLayout(this);
    grid->addLayout(left, 3);
    grid->addLayout(right, 2);
    resize(620, 380);

    setTabOrder(Drive1, Dir1);
    setTabOrder(Dir1, Text1);
    setTabOrder(Text1, Command1);
    setTabOrder(Command1, Command2);

    const QString current = GetDriveName(QDir::currentPath());
    QStringList drives = CopyTargetDrives();
    if (!drives.contains(current))
        drives.prepend(current);
    Drive1->addItems(drives);
    Drive1->setCurrentIndex(drives.indexOf(current));
    OpenFolder(QDir::currentPath());

    connect(Drive1, &QComboBox::currentIndexChanged, this, &CopyTargetDialog::Drive1_Change);
    connect(Dir1, &QListWidget::itemActivated, this, &CopyTargetDialog::Dir1_Activated);
    connect(Command1, &QPushButton::clicked, this, &CopyTargetDialog::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &CopyTargetDialog::reject);
    Drive1_Change();
}

void CopyTargetDialog::SelectDrive(const QString& mountPoint) {
    int index = Drive1->findText(mountPoint);
    if (index < 0) {
        Drive1->addItem(mountPoint);
        index = Drive1->count() - 1;
    }
    if (index == Drive1->currentIndex())
        Drive1_Change();
    else
        Drive1->setCurrentIndex(index);
}

void CopyTargetDialog::OpenFolder(const QString& folder) {
    folder_ = QDir::cleanPath(folder);
    dirPath_->setText(folder_);
    Dir1->clear();
    const QDir dir(folder_);
    if (!dir.isRoot())
        new QListWidgetItem(style()->standardIcon(QStyle::SP_FileDialogToParent), "..", Dir1);
    const QIcon folderIcon = style()->standardIcon(QStyle::SP_DirIcon);
    for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase))
        new QListWidgetItem(folderIcon, name, Dir1);
    Dir1->setCurrentRow(0);
}

void CopyTargetDialog::Dir1_Activated(QListWidgetItem* item) {
    if (item->text() == "..")
        OpenFolder(QFileInfo(folder_).absolutePath());
    else
        OpenFolder(CandidatePath(folder_, item->text()));
}

QString CopyTargetDialog::folderForDrive(const QString& drive) const {
    // The working folder when it lies on that drive, otherwise the drive's root.
    const QString cwd = QDir::currentPath();
    return GetDriveName(cwd) == drive ? cwd : drive;
}

void CopyTargetDialog::showStatus(QLabel* label, const QString& text, bool positive) {
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, positive ? PositiveColor : NegativeColor);
    label->setPalette(pal);
    label->setText(text);
}

void CopyTargetDialog::Drive1_Change() {
    const QString drive = GetDriveName(Drive1->currentText());
    if (!DriveIsReady(drive)) {
        showStatus(Label1, "Устройство: НЕ готово", false);
        showStatus(Label2, "Запись: невозможна", false);
        return;
    }
    showStatus(Label1, "Устройство: готово", true);
    const QString remembered = folder_;
    OpenFolder(folderForDrive(drive));
    candidate_ = CandidatePath(folder_, Text1->text());
    if (WriteProbe(candidate_)) {
        showStatus(Label2, "Запись: поддерживается", true);
    } else {
        showStatus(Label2, "Запись: невозможна", false);
        OpenFolder(remembered);
    }
}

void CopyTargetDialog::Command1_Click() {
    if (Text1->text().isEmpty()) {
        ShowMessageBox("Введите имя файла!", "Ошибка", MsgIcon::Critical);
        return;
    }
    candidate_ = CandidatePath(folder_, Text1->text());
    if (IsProgramOutputPath(candidate_)) {
        ShowMessageBox(ownFolderMessage(), "Ошибка", MsgIcon::Critical);
        candidate_ = "c:\\";
        return;
    }
    if (setPath_)
        setPath_(candidate_);
    accept();
}

} // namespace vetorlan
