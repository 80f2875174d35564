#include "core/ProgramFolder.h"

#include "core/FileSystemObject.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace vetorlan {

namespace {
QString& folderOverride() {
    static QString folder;
    return folder;
}

QString& executableOverride() {
    static QString path;
    return path;
}

const QString kSharedSubfolder = QStringLiteral("/../share/vetorlan");
const QString kStyleSheet = QStringLiteral("/nimbora.css");

// Copies one shared file over a missing or older copy, keeping the source's time stamp so
// that a later, newer shared file is recognised.
bool refreshCopy(const QString& source, const QString& target) {
    const QFileInfo from(source);
    const QFileInfo to(target);
    if (to.exists() && to.lastModified() >= from.lastModified())
        return true;
    // Names are kept exactly: the picture folder holds names that differ only in case.
    QByteArray contents;
    QSaveFile copy(target);
    if (!QDir().mkpath(to.absolutePath()) || !ReadWholeFile(source, contents) || !copy.open(QIODevice::WriteOnly) ||
        copy.write(contents) != contents.size() || !copy.commit())
        return false;
    QFile written(target);
    return written.open(QIODevice::ReadWrite) &&
           written.setFileTime(from.lastModified(), QFileDevice::FileModificationTime);
}
} // namespace

QString ProgramFolder() {
    if (!folderOverride().isEmpty())
        return folderOverride();
    return QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString(".");
}

void SetProgramFolder(const QString& folder) {
    folderOverride() = folder;
}

QString ProgramFile(const QString& name) {
    return ResolvePath(ProgramFolder() + "/" + name);
}

QString ProgramExecutable() {
    if (!executableOverride().isEmpty())
        return executableOverride();
    return ExecutableIn(ProgramFolder());
}

void SetProgramExecutable(const QString& path) {
    executableOverride() = path;
}

ProgramPlace ChooseProgramPlace(const QString& executableFolder, const QString& dataFolder,
                                const WritableCheck& writable) {
    const QString shared = QDir::cleanPath(executableFolder + kSharedSubfolder);
    const bool hasShared = QFileInfo(shared).isDir();
    const bool installedLayout = hasShared && !QFile::exists(executableFolder + kStyleSheet);
    if (!installedLayout && writable(executableFolder))
        return {executableFolder, QString()};
    return {dataFolder, hasShared ? shared : QString()};
}

bool PrepareProgramPlace(const ProgramPlace& place) {
    if (!QDir().mkpath(place.folder))
        return false;
    if (place.sharedFolder.isEmpty())
        return true;
    bool complete = true;
    const QDir shared(place.sharedFolder);
    QDirIterator files(place.sharedFolder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString source = files.next();
        complete = refreshCopy(source, place.folder + "/" + shared.relativeFilePath(source)) && complete;
    }
    return complete;
}

void SetUpProgramFolder() {
    const ProgramPlace place = ChooseProgramPlace(QCoreApplication::applicationDirPath(), UserDataFolder());
    // A folder that could not be made is reported by the caller, which names it to the user.
    PrepareProgramPlace(place);
    SetProgramFolder(place.folder);
    SetProgramExecutable(QDir::toNativeSeparators(QCoreApplication::applicationFilePath()));
}

} // namespace vetorlan
