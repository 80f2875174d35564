#include "core/SaveParametr.h"

#include "core/FileSystemObject.h"
#include "core/MessageBox.h"
#include "core/ProgramFolder.h"

#include <QDir>
#include <utility>

namespace vetorlan {

namespace {

const QString kOptionsFile = QStringLiteral("Options.ini");
const QString kAutorunName = QStringLiteral("Vetorlan");

// Set once the user has been told that the settings could not be saved.
bool& saveFailureTold() {
    static bool told = false;
    return told;
}

void tellSaveFailure(const FsStatus& status) {
    if (std::exchange(saveFailureTold(), true))
        return;
    const QString text = QStringLiteral("Не удалось сохранить настройки программы в файл Options.ini.\n"
                                        "Причина: %1\n\n"
                                        "Проверьте, разрешена ли запись в папку программы:\n%2")
                             .arg(status.error, QDir::toNativeSeparators(ProgramFolder()));
    ShowMessageBox(text, QStringLiteral("Ошибка"), MsgIcon::Critical);
}

void tellReadFailure(const FsStatus& status) {
    const QString text = QStringLiteral("Не удалось прочитать настройки программы из файла Options.ini.\n"
                                        "Причина: %1\n\n"
                                        "Программа работает с настройками по умолчанию; файл оставлен без изменений.")
                             .arg(status.error);
    ShowMessageBox(text, QStringLiteral("Ошибка"), MsgIcon::Critical);
}

// The command that starts the program: its folder joined with the executable's name.
QString autorunCommand() {
#ifdef Q_OS_WIN
    return QDir::toNativeSeparators(ProgramFolder() + "/Nimbora.exe");
#else
    return ProgramFolder() + "/nimbora";
#endif
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

SettingsContext& AppSettingsContext() {
    static SettingsContext context;
    return context;
}

void ResetSaveFailureNotice() {
    saveFailureTold() = false;
}

FsStatus SaveSettings() {
    const Settings& settings = AppSettings();
    const FsStatus status = WriteFileAtomic(ProgramFile(kOptionsFile), SerializeSettings(settings));
    if (!status)
        tellSaveFailure(status);
    updateAutorun(settings);
    if (SettingsHost* host = AppSettingsContext().host)
        host->RefreshTownLists();
    return status;
}

void LoadSettings() {
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
        AppSettings() = Settings{};
        tellReadFailure(read);
        return;
    }
    if (std::optional<Settings> loaded = ParseSettings(contents))
        AppSettings() = *loaded;
    else
        ApplyDefaultSettings();
}

void ApplyDefaultSettings() {
    SettingsHost* host = AppSettingsContext().host;
    if (host) {
        host->PauseTimers();
        host->SetTownListTip(QStringLiteral("Совет первого запуска: список отсортирован не по алфавиту!"));
    }
    AppSettings() = Settings{};
    SaveSettings();
    if (host)
        host->AskFirstRunQuestion();
}

} // namespace vetorlan
