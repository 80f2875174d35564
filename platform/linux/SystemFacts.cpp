// The system facts on Linux and other Unix-like desktops.
#include "core/SystemFacts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
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

QString SyncToDisk(QFile& file) {
    // Space on some file systems is only claimed when the data goes to disk: sync to learn.
    if (::fsync(file.handle()) != 0 && errno != EINVAL && errno != ENOTSUP && errno != ENOSYS && errno != EROFS)
        return QString::fromLocal8Bit(std::strerror(errno));
    return {};
}

ReadOpen OpenRegularFile(const QString& path, QFile& file, QString& why) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        why = QString::fromLocal8Bit(std::strerror(errno));
        return ReadOpen::Failed;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return S_ISDIR(st.st_mode) ? ReadOpen::Folder : ReadOpen::NotRegular;
    }
    if (file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return ReadOpen::Opened;
    ::close(fd);
    why = file.errorString();
    return ReadOpen::Failed;
}

QString NetworkInterfaceFolder() {
    return QStringLiteral("/sys/class/net");
}

bool OneShotLoadMayLackDisplay() {
    return true;
}

// StatusNotifierItem and X11 trays take any length.
int TrayTipLimit() {
    return 0;
}

QString WatchablePageOpener() {
    return QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
}

QString RunningProgramFile() {
    const QString self = QStringLiteral("/proc/self/exe");
    return QFile::exists(self) ? self : QCoreApplication::applicationFilePath();
}

bool ProcessRuns(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return ::kill(pid_t(pid), 0) == 0 || errno != ESRCH;
    // The state follows the command name in parentheses: Z (zombie) and X (dead) have ended.
    const QByteArray line = stat.readAll();
    const qsizetype close = line.lastIndexOf(')');
    return close < 0 || close + 2 >= line.size() || (line[close + 2] != 'Z' && line[close + 2] != 'X');
}

void IgnoreBrokenPipes() {
    std::signal(SIGPIPE, SIG_IGN);
}

} // namespace vetorlan
