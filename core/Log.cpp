#include "core/Log.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <mutex>

namespace vetorlan {

namespace {

std::mutex& LogMutex() {
    static std::mutex mutex;
    return mutex;
}

QString& LogPath() {
    static QString path;
    return path;
}

bool& ToStandardError() {
    static bool on = true;
    return on;
}

QtMessageHandler& PreviousHandler() {
    static QtMessageHandler previous = nullptr;
    return previous;
}

// Makes room for `bytes` more: a full file becomes the one older file.
void RotateIfFull(const QString& path, qint64 bytes) {
    const QFileInfo file(path);
    if (!file.exists() || file.size() + bytes <= kLogFileLimit)
        return;
    const QString older = path + QStringLiteral(".1");
    QFile::remove(older);
    QFile::rename(path, older);
}

// One write of the whole line, appended: lines from several threads do not interleave.
void AppendToFile(const QString& path, const QByteArray& line) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    RotateIfFull(path, line.size());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        file.write(line);
}

void LogMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtDebugMsg || type == QtInfoMsg) {
        if (QtMessageHandler previous = PreviousHandler())
            previous(type, context, message);
        return;
    }
    WriteLog(QStringLiteral("предупреждение: ") + message);
}

} // namespace

void SetLogFile(const QString& path) {
    const std::lock_guard lock(LogMutex());
    LogPath() = path;
}

void SetLogToStandardError(bool on) {
    const std::lock_guard lock(LogMutex());
    ToStandardError() = on;
}

QString LogFile() {
    const std::lock_guard lock(LogMutex());
    return LogPath();
}

void WriteLog(const QString& text) {
    QString oneLine = text;
    oneLine.replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QByteArray line =
        (QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss ")) + oneLine + u'\n').toUtf8();
    const std::lock_guard lock(LogMutex());
    if (ToStandardError()) {
        std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
        std::fflush(stderr);
    }
    if (!LogPath().isEmpty())
        AppendToFile(LogPath(), line);
}

void InstallLogMessageHandler() {
    QtMessageHandler previous = qInstallMessageHandler(LogMessage);
    if (previous != LogMessage)
        PreviousHandler() = previous;
}

} // namespace vetorlan
