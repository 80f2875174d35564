#include "core/SettingsStore.h"

#include "core/ExtraSettings.h"
#include "core/FileSystemObject.h"
#include "core/MessageBox.h"
#include "core/ProgramFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <utility>

namespace vetorlan {

namespace {

const QString kOptionsFile = QStringLiteral("Options.ini");
const QString kAutorunName = QStringLiteral("Vetorlan");

// The mode bits only: the caller's access is always granted to root.
constexpr QFileDevice::Permissions kWriteBits =
    QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;

bool writable(const QFileInfo& info) {
    return info.isWritable() && (info.permissions() & kWriteBits) != 0;
}

QString quoted(const QString& path) {
    return QStringLiteral("«%1»").arg(QDir::toNativeSeparators(path));
}

// Set once the user has been told that an automatic save failed.
bool& saveFailureTold() {
    static bool told = false;
    return told;
}

void tellSaveFailure(const QString& path, qint64 size, SaveRequest request) {
    if (std::exchange(saveFailureTold(), true) && request == SaveRequest::Automatic)
        return;
    ShowMessageBox(SaveFailureText(path, ClassifySaveFailure(path, size)), QStringLiteral("Ошибка"), MsgIcon::Critical);
}

void tellReadFailure(const FsStatus& status) {
    const QString text = QStringLiteral("Не удалось прочитать настройки программы из файла Options.ini.\n"
                                        "Причина: %1\n\n"
                                        "Программа работает с настройками по умолчанию; файл оставлен без изменений.")
                             .arg(status.error);
    ShowMessageBox(text, QStringLiteral("Ошибка"), MsgIcon::Critical);
}

// The command that starts the program: the executable of this run.
QString autorunCommand() {
    return ProgramExecutable();
}

void updateAutorun(const Settings& settings) {
    AutorunStore* store = AppSettingsContext().autorun;
    if (!store)
        return;
    if (IsTrue(settings.AutoRun))
        store->SetAutorunValue(kAutorunName, autorunCommand());
    else
        store->DeleteAutorunValue(kAutorunName);
}

} // namespace

SaveFailure ClassifySaveFailure(const QString& path, qint64 size) {
    const QFileInfo file(path);
    const QFileInfo folder(file.absolutePath());
    if (!folder.isDir())
        return SaveFailure::NoFolder;
    if (file.isDir())
        return SaveFailure::FolderInTheWay;
    if (!writable(folder))
        return SaveFailure::FolderNotWritable;
    if (file.isFile() && !writable(file))
        return SaveFailure::ReadOnlyFile;
    const QStorageInfo storage(folder.absoluteFilePath());
    if (storage.isValid() && storage.bytesAvailable() >= 0 && storage.bytesAvailable() < size + 4096)
        return SaveFailure::DiskFull;
    return SaveFailure::WriteError;
}

QString SaveFailureText(const QString& path, SaveFailure reason) {
    const QString folder = QFileInfo(path).absolutePath();
    QString why;
    switch (reason) {
    case SaveFailure::NoFolder:
        why = QStringLiteral("папка %1 не существует.").arg(quoted(folder));
        break;
    case SaveFailure::FolderInTheWay:
        why = QStringLiteral("на месте файла находится папка с тем же именем.");
        break;
    case SaveFailure::FolderNotWritable:
        why = QStringLiteral("нет прав на запись в папку %1.").arg(quoted(folder));
        break;
    case SaveFailure::ReadOnlyFile:
        why = QStringLiteral("файл доступен только для чтения. Снимите с него запрет записи.");
        break;
    case SaveFailure::DiskFull:
        why = QStringLiteral("на диске недостаточно свободного места.");
        break;
    case SaveFailure::WriteError:
        why = QStringLiteral("ошибка записи на диск.");
        break;
    }
    return QStringLiteral("Не удалось сохранить настройки программы в файл %1.\nПричина: %2\n\n"
                          "Настройки действуют до выхода из программы, но не сохранены.")
        .arg(quoted(path), why);
}

SettingsContext& AppSettingsContext() {
    static SettingsContext context;
    return context;
}

void ResetSaveFailureNotice() {
    saveFailureTold() = false;
}

FsStatus SaveSettings(SaveRequest request) {
    const Settings& settings = AppSettings();
    const QString path = ProgramFile(kOptionsFile);
    const QByteArray contents = SerializeSettings(settings);
    const FsStatus status = WriteFileAtomic(path, contents);
    if (!status)
        tellSaveFailure(path, contents.size(), request);
    updateAutorun(settings);
    if (SettingsHost* host = AppSettingsContext().host)
        host->RefreshTownLists();
    return status;
}

void LoadSettings() {
    LoadExtraSettings();
    const QString path = ProgramFile(kOptionsFile);
    // Only a missing file is a first run: a pipe or device under the name is unreadable.
    if (!EntryExists(path)) {
        ApplyDefaultSettings();
        return;
    }
    QByteArray contents;
    if (const FsStatus read = ReadWholeFile(path, contents); !read) {
        // A file that exists but cannot be read is the user's, not a first run: work with
        // the defaults and leave the file as it is.
        AppSettings() = MachineDefaultSettings();
        tellReadFailure(read);
        return;
    }
    if (std::optional<Settings> loaded = ParseSettings(contents))
        AppSettings() = *loaded;
    else
        ApplyDefaultSettings();
}

Settings MachineDefaultSettings() {
    bool (*modemLink)() = AppSettingsContext().machineHasModemLink;
    return FirstRunSettings(modemLink && modemLink());
}

void ApplyDefaultSettings() {
    SettingsHost* host = AppSettingsContext().host;
    if (host) {
        host->PauseTimers();
        host->SetTownListTip(QStringLiteral("Совет первого запуска: список отсортирован не по алфавиту!"));
    }
    AppSettings() = MachineDefaultSettings();
    SaveSettings();
    if (host)
        host->AskFirstRunQuestion();
}

} // namespace vetorlan
