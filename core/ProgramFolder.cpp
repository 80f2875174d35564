#include "core/ProgramFolder.h"

#include "core/FileSystemObject.h"

#include <QCoreApplication>

namespace vetorlan {

namespace {
QString& folderOverride() {
    static QString folder;
    return folder;
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

} // namespace vetorlan
