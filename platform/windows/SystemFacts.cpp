// The system facts on Windows.
#include "core/SystemFacts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace vetorlan {

QString ExecutableIn(const QString& folder) {
    return QDir::toNativeSeparators(folder + QStringLiteral("/Nimbora.exe"));
}

bool FolderWritable(const QString& folder) {
    return QFileInfo(folder).isWritable();
}

// The local application data folder.
QString UserDataFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/vetorlan");
}

std::filesystem::path ToFsPath(const QString& path) {
    return std::filesystem::path(path.toStdWString());
}

QString FromFsPath(const std::filesystem::path& path) {
    return QString::fromStdWString(path.native());
}

bool IsPathSeparator(QChar c) {
    return c == u'/' || c == u'\\';
}

bool KeepsBrowserDefaults() {
    return true;
}

QString ForcedBrowserProgram() {
    const QString windir = qEnvironmentVariable("windir");
    const QString drive = windir.isEmpty() ? QStringLiteral("C") : windir.left(1);
    return drive + QStringLiteral(":\\Program Files\\Internet Explorer\\Iexplore.exe");
}

QString SyncToDisk(QFile&) {
    return {};
}

ReadOpen OpenRegularFile(const QString& path, QFile& file, QString& why) {
    file.setFileName(path);
    if (file.open(QIODevice::ReadOnly))
        return ReadOpen::Opened;
    why = file.errorString();
    return ReadOpen::Failed;
}

QString NetworkInterfaceFolder() {
    return {};
}

bool OneShotLoadMayLackDisplay() {
    return false;
}

int TrayTipLimit() {
    return 64;
}

QString WatchablePageOpener() {
    return {};
}

QString RunningProgramFile() {
    return QCoreApplication::applicationFilePath();
}

bool ProcessRuns(qint64) {
    return true; // Windows frees a lock of an ended process; Qt's own check covers the rest
}

void IgnoreBrokenPipes() {
    // Windows has no SIGPIPE: a write to a closed pipe fails.
}

} // namespace vetorlan
