#include "forecast/PageFile.h"

#include "core/FileSystemObject.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace vetorlan {

namespace {

QString quoted(const QString& path) {
    return QStringLiteral("\"%1\"").arg(QDir::toNativeSeparators(path));
}

// The file the page replaces: an existing name in any letter case, followed through a link.
FsStatus PageTarget(const QString& path, QString& target) {
    target = ResolvePath(path);
    const QFileInfo info(target);
    if (info.isSymLink() && info.exists())
        target = info.canonicalFilePath();
    if (QFileInfo::exists(target) && !QFileInfo(target).isFile())
        return FsStatus::failure(QStringLiteral("%1 не является обычным файлом").arg(quoted(target)));
    return FsStatus::success();
}

// Errors name the page, which is what the user knows.
FsStatus WriteTemp(const QString& temp, const QString& target, const QByteArray& bytes) {
    QFile::remove(temp); // a leftover, or something planted under the name: never written through
    QFile file(temp);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return FsStatus::failure(
            QStringLiteral("не удалось записать файл %1: %2").arg(quoted(target), file.errorString()));
    const bool written = file.write(bytes) == bytes.size() && file.flush();
    const QString why = file.errorString();
    file.close();
    if (!written || file.error() != QFileDevice::NoError) {
        QFile::remove(temp);
        return FsStatus::failure(QStringLiteral("не удалось записать файл %1: %2").arg(quoted(target), why));
    }
    return FsStatus::success();
}

} // namespace

FsStatus WritePageFile(const QString& path, const QByteArray& bytes) {
    QString target;
    if (FsStatus s = PageTarget(path, target); !s)
        return s;
    const QString temp = target + QLatin1String(kPageTempSuffix);
    if (FsStatus s = WriteTemp(temp, target, bytes); !s)
        return s;
    FsStatus renamed = RenameFile(temp, target);
    if (!renamed)
        QFile::remove(temp);
    return renamed;
}

void RemoveLeftoverPageTemps(const QString& folder) {
    const QDir dir(folder);
    const QStringList names = dir.entryList({QStringLiteral("*") + QLatin1String(kPageTempSuffix)},
                                            QDir::Files | QDir::System | QDir::Hidden);
    for (const QString& name : names)
        QFile::remove(dir.filePath(name));
}

} // namespace vetorlan
