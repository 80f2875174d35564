// The system facts on Linux and other Unix-like desktops.
#include "core/SystemFacts.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <unistd.h>

namespace vetorlan {

QString ExecutableIn(const QString& folder) {
    return folder + QStringLiteral("/nimbora");
}

bool FolderWritable(const QString& folder) {
    // access() also reports a read-only mount, for root too.
    return ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
}

// $XDG_DATA_HOME/vetorlan, or ~/.local/share/vetorlan when the variable is unset or relative.
QString UserDataFolder() {
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (data.isEmpty() || QDir::isRelativePath(data))
        data = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(data + QStringLiteral("/vetorlan"));
}

std::filesystem::path ToFsPath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

QString FromFsPath(const std::filesystem::path& path) {
    return QFile::decodeName(path.native().c_str());
}

bool IsPathSeparator(QChar c) {
    return c == u'/';
}

bool KeepsBrowserDefaults() {
    return false;
}

QString ForcedBrowserProgram() {
    return {};
}

// StatusNotifierItem and X11 trays take any length.
int TrayTipLimit() {
    return 0;
}

QString WatchablePageOpener() {
    return QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
}

} // namespace vetorlan
