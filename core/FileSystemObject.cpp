#include "core/FileSystemObject.h"

#include "core/SystemFacts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QStorageInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>

namespace vetorlan {

namespace {

// The mode bits only: WriteUser reflects the caller's access, which is always granted to root.
constexpr QFileDevice::Permissions kWriteBits =
    QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;

QString folderOf(const QString& path) {
    return QFileInfo(path).absolutePath();
}

QString quoted(const QString& path) {
    return QStringLiteral("«%1»").arg(QDir::toNativeSeparators(path));
}

// Every entry of the folder of `path` whose name equals its last element without regard
// to letter case, the exact name first.
QStringList caseVariants(const QString& path) {
    const QFileInfo info(path);
    const QString name = info.fileName();
    if (name.isEmpty())
        return QFileInfo::exists(path) ? QStringList{path} : QStringList{};
    QStringList found;
    if (info.exists() || info.isSymLink())
        found << path;
    // An unsorted walk: sorting a large folder by name costs far more than the match.
    const QString folder = info.path();
    QStringList others;
    std::error_code error;
    for (std::filesystem::directory_iterator it(ToFsPath(folder), error), end; !error && it != end;
         it.increment(error)) {
        const QString entry = FromFsPath(it->path().filename());
        if (entry.size() == name.size() && entry != name && entry.compare(name, Qt::CaseInsensitive) == 0)
            others << folder + "/" + entry;
    }
    others.sort();
    found << others;
    return found;
}

// The first case variant of `path` that is a file (wantFile) or a folder.
QString findVariant(const QString& path, bool wantFile) {
    for (const QString& variant : caseVariants(path)) {
        const QFileInfo info(variant);
        if (wantFile ? info.isFile() : info.isDir())
            return variant;
    }
    return {};
}

bool isReadOnly(const QString& path) {
    return (QFileInfo(path).permissions() & kWriteBits) == 0;
}

// Removes every case variant of `path` except `keep`.
void removeOtherVariants(const QString& path, const QString& keep) {
    for (const QString& variant : caseVariants(path))
        if (variant != keep && QFileInfo(variant).isFile())
            QFile::remove(variant);
}

// Matches a name against a pattern of '*' (any run) and '?' (any one character),
// without regard to letter case.
bool wildcardMatch(QStringView name, QStringView pattern) {
    qsizetype n = 0, p = 0, starP = -1, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == u'?' || pattern[p].toCaseFolded() == name[n].toCaseFolded())) {
            ++p;
            ++n;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

// The simulated full disk of SimulateFullDisk.
struct FullDisk {
    qint64 budget = -1; // bytes still accepted; negative: no simulation
    bool atSync = false;
    bool lost = false; // a write went over the budget while the failure waits for the sync
};

FullDisk& fullDisk() {
    static FullDisk disk;
    return disk;
}

// How many of `size` bytes the (simulated) disk accepts; counts them against the budget.
qint64 acceptedBytes(qint64 size) {
    FullDisk& disk = fullDisk();
    if (disk.budget < 0)
        return size;
    const qint64 accepted = std::min(size, disk.budget);
    disk.budget -= accepted;
    if (accepted == size)
        return size;
    if (!disk.atSync)
        return accepted;
    disk.lost = true;
    return size;
}

QString noSpaceText() {
    return QString::fromLocal8Bit(std::strerror(ENOSPC));
}

FsStatus notRegular(const QString& path) {
    return FsStatus::failure(QStringLiteral("файл %1 не является обычным файлом").arg(quoted(path)));
}

// The file that writing `path` replaces: `path` itself, or the regular file a link names.
// Fails for anything that must not be replaced or written through.
FsStatus replaceableTarget(const QString& path, QString& target, LinkWrite links) {
    QFileInfo info(path);
    target = info.absoluteFilePath();
    if (!info.exists() && !info.isSymLink())
        return FsStatus::success();
    if (info.isSymLink() && links == LinkWrite::Replace)
        return FsStatus::success(); // the new file is renamed over the link
    if (info.isDir())
        return FsStatus::failure(QStringLiteral("%1 является папкой, а не файлом").arg(quoted(path)));
    if (!info.isFile())
        return notRegular(path); // a device, pipe, socket, or a link to one or to nothing
    if (info.isSymLink())
        target = info.canonicalFilePath();
    if (isReadOnly(target))
        return FsStatus::failure(QStringLiteral("файл %1 доступен только для чтения").arg(quoted(path)));
    return FsStatus::success();
}

// Creates a new temporary file beside `target` with the target's permissions.
FsStatus openTemporary(const QString& target, QFile& file) {
    const QFileInfo existing(target);
    const QFileDevice::Permissions permissions = existing.isFile() && !existing.isSymLink()
                                                     ? QFile::permissions(target)
                                                     : QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                           QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                                           QFileDevice::ReadOther | QFileDevice::WriteOther;
    const QString chars = QStringLiteral("abcdefghijklmnopqrstuvwxyz0123456789");
    for (int attempt = 0; attempt < 100; ++attempt) {
        QString suffix;
        for (int i = 0; i < 6; ++i)
            suffix += chars[QRandomGenerator::global()->bounded(int(chars.size()))];
        file.setFileName(target + "~" + suffix + ".tmp");
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered, permissions))
            return FsStatus::success();
        if (QFileInfo::exists(file.fileName()) || QFileInfo(file.fileName()).isSymLink())
            continue; // the name is taken: draw another
        break;
    }
    return FsStatus::failure(
        QStringLiteral("не удалось создать файл в папке %1: %2").arg(quoted(folderOf(target)), file.errorString()));
}

// Writes, syncs and closes the open file; any failure on the way is the write's failure.
QString writeThrough(QFile& file, const QByteArray& contents) {
    const qint64 accepted = acceptedBytes(contents.size());
    const bool lostAtSync = std::exchange(fullDisk().lost, false);
    if (accepted > 0 && file.write(contents.constData(), accepted) != accepted)
        return file.errorString();
    if (accepted < contents.size())
        return noSpaceText();
    if (const QString why = SyncToDisk(file); !why.isEmpty())
        return why;
    if (lostAtSync)
        return noSpaceText();
    file.close();
    if (file.error() != QFileDevice::NoError)
        return file.errorString();
    return {};
}

// Replaces exactly the file `path` by writing a temporary file beside it and renaming it
// over; other files whose names differ only in letter case are left alone.
FsStatus writeReplacing(const QString& path, const QByteArray& contents, LinkWrite links = LinkWrite::Follow) {
    QString target;
    if (FsStatus s = replaceableTarget(path, target, links); !s)
        return s;
    const QString folder = folderOf(target);
    // The message names the file as well as the folder: the file is what the user knows.
    const QString cannotWrite = QStringLiteral("не удалось записать файл %1: ").arg(quoted(path));
    if (!QFileInfo(folder).isDir())
        return FsStatus::failure(cannotWrite + QStringLiteral("папка %1 не существует").arg(quoted(folder)));
    if (!QFileInfo(folder).isWritable())
        return FsStatus::failure(cannotWrite + QStringLiteral("нет прав на запись в папку %1").arg(quoted(folder)));
    QFile file;
    if (FsStatus s = openTemporary(target, file); !s)
        return s;
    QString why = writeThrough(file, contents);
    if (why.isEmpty()) {
        std::error_code error;
        std::filesystem::rename(ToFsPath(file.fileName()), ToFsPath(target), error);
        if (!error)
            return FsStatus::success();
        why = QString::fromStdString(error.message());
    }
    file.close();
    QFile::remove(file.fileName());
    return FsStatus::failure(QStringLiteral("не удалось записать файл %1: %2").arg(quoted(path), why));
}

// Opens a file for reading, refusing anything but a regular file (a pipe would block).
FsStatus openForReading(const QString& path, QFile& file) {
    QString why;
    switch (OpenRegularFile(path, file, why)) {
    case ReadOpen::Opened:
        return FsStatus::success();
    case ReadOpen::Folder:
        return FsStatus::failure(QStringLiteral("%1 является папкой, а не файлом").arg(quoted(path)));
    case ReadOpen::NotRegular:
        return notRegular(path);
    case ReadOpen::Failed:
        break;
    }
    return FsStatus::failure(QStringLiteral("не удалось открыть файл %1: %2").arg(quoted(path), why));
}

// Copies one file over the target of the same name and removes the target's case-variants,
// unless the source folder holds that name too ("Main.gif" beside "main.gif" must both stay).
FsStatus copyOneFile(const QString& source, const QString& target, const QSet<QString>& sourceNames) {
    QByteArray contents;
    if (FsStatus s = ReadWholeFile(source, contents); !s)
        return s;
    FsStatus status = writeReplacing(target, contents);
    if (status)
        for (const QString& variant : caseVariants(target))
            if (variant != target && !sourceNames.contains(QFileInfo(variant).fileName()) &&
                QFileInfo(variant).isFile())
                QFile::remove(variant);
    return status;
}

QSet<QString> namesOf(const QFileInfoList& entries) {
    QSet<QString> names;
    for (const QFileInfo& entry : entries)
        names.insert(entry.fileName());
    return names;
}

FsStatus copyFolderContents(const QString& source, const QString& target) {
    QString resolvedTarget = findVariant(target, false);
    if (resolvedTarget.isEmpty())
        resolvedTarget = target;
    if (!QFileInfo(resolvedTarget).isDir() && !QDir().mkpath(resolvedTarget))
        return FsStatus::failure(QStringLiteral("не удалось создать папку %1").arg(quoted(resolvedTarget)));
    const QFileInfoList entries =
        QDir(source).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    const QSet<QString> names = namesOf(entries);
    FsStatus result;
    for (const QFileInfo& entry : entries) {
        const QString to = resolvedTarget + "/" + entry.fileName();
        FsStatus s;
        if (entry.isDir() && !entry.isSymLink())
            s = copyFolderContents(entry.filePath(), to);
        else if (entry.isFile())
            s = copyOneFile(entry.filePath(), to, names);
        if (!s && result)
            result = s;
    }
    return result;
}

} // namespace

QString ResolvePath(const QString& path) {
    if (QFileInfo::exists(path))
        return path;
    const QStringList variants = caseVariants(path);
    return variants.isEmpty() ? path : variants.front();
}

bool FileExists(const QString& path) {
    return QFileInfo(path).isFile() || !findVariant(path, true).isEmpty();
}

bool FolderExists(const QString& path) {
    return !findVariant(path, false).isEmpty();
}

bool EntryExists(const QString& path) {
    return !caseVariants(path).isEmpty();
}

FsStatus DeleteFile(const QString& path, bool force) {
    QStringList files;
    for (const QString& variant : caseVariants(path))
        if (QFileInfo(variant).isFile())
            files << variant;
    if (files.isEmpty())
        return FsStatus::failure(QStringLiteral("файл %1 не найден").arg(quoted(path)));
    for (const QString& file : files)
        if (!force && isReadOnly(file))
            return FsStatus::failure(QStringLiteral("файл %1 доступен только для чтения").arg(quoted(file)));
    for (const QString& file : files) {
        QFile f(file);
        if (!f.remove())
            return FsStatus::failure(
                QStringLiteral("не удалось удалить файл %1: %2").arg(quoted(file), f.errorString()));
    }
    return FsStatus::success();
}

FsStatus CreateTextFile(const QString& path) {
    return WriteFileAtomic(path, QByteArray());
}

FsStatus WriteFileAtomic(const QString& path, const QByteArray& contents, LinkWrite links) {
    FsStatus status = writeReplacing(path, contents, links);
    if (status)
        removeOtherVariants(path, path);
    return status;
}

bool CanCreateFileBeside(const QString& path) {
    QFile file;
    if (!QFileInfo(folderOf(path)).isDir() || !openTemporary(QFileInfo(path).absoluteFilePath(), file))
        return false;
    file.close();
    return file.remove();
}

bool IsTemporaryFileName(const QString& fileName) {
    static const QRegularExpression pattern(QStringLiteral("~[a-z0-9]{6}\\.tmp$"));
    return pattern.match(fileName).hasMatch();
}

FsStatus ReadWholeFile(const QString& path, QByteArray& contents, qint64 maxBytes) {
    QString resolved = findVariant(path, true);
    if (resolved.isEmpty())
        resolved = ResolvePath(path);
    QFile file;
    if (FsStatus s = openForReading(resolved, file); !s)
        return s;
    const QString tooLarge = QStringLiteral("файл %1 слишком велик").arg(quoted(resolved));
    if (maxBytes >= 0 && file.size() > maxBytes)
        return FsStatus::failure(tooLarge);
    // A byte past the size read at the start tells of a file that grew since.
    contents = maxBytes >= 0 ? file.read(std::min(file.size(), maxBytes) + 1) : file.readAll();
    if (file.error() != QFileDevice::NoError)
        return FsStatus::failure(
            QStringLiteral("не удалось прочитать файл %1: %2").arg(quoted(resolved), file.errorString()));
    if (maxBytes >= 0 && contents.size() > maxBytes)
        return FsStatus::failure(tooLarge);
    return FsStatus::success();
}

FsStatus RenameFile(const QString& from, const QString& to) {
    const QString source = findVariant(from, true);
    if (source.isEmpty())
        return FsStatus::failure(QStringLiteral("файл %1 не найден").arg(quoted(from)));
    if (source == to)
        return FsStatus::success();
    QString target;
    if (FsStatus s = replaceableTarget(to, target, LinkWrite::Follow); !s)
        return s;
    if (target != QFileInfo(to).absoluteFilePath()) {
        // A link: its file is replaced whole, and the source goes once that is done.
        QByteArray contents;
        FsStatus s = ReadWholeFile(source, contents);
        if (s)
            s = writeReplacing(to, contents);
        if (s)
            QFile::remove(source);
        return s;
    }
    // std::filesystem::rename replaces an existing target in one step; QFile::rename would not.
    std::error_code error;
    std::filesystem::rename(ToFsPath(source), ToFsPath(to), error);
    if (error)
        return FsStatus::failure(QStringLiteral("не удалось переименовать файл %1 в %2: %3")
                                     .arg(quoted(source), quoted(to), QString::fromStdString(error.message())));
    removeOtherVariants(to, to);
    return FsStatus::success();
}

QDateTime FileModified(const QString& path) {
    const QString file = findVariant(path, true);
    return file.isEmpty() ? QDateTime() : QFileInfo(file).lastModified();
}

FsStatus CopyFile(const QString& sourcePattern, const QString& targetFolder) {
    const QFileInfo patternInfo(sourcePattern);
    const QString pattern = patternInfo.fileName();
    const QString sourceFolder = ResolvePath(patternInfo.path());
    const QString target = findVariant(targetFolder, false);
    if (target.isEmpty())
        return FsStatus::failure(QStringLiteral("папка %1 не найдена").arg(quoted(targetFolder)));
    const QFileInfoList entries =
        QDir(sourceFolder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    const QSet<QString> names = namesOf(entries);
    bool matched = false;
    FsStatus result;
    for (const QFileInfo& entry : entries) {
        if (!wildcardMatch(entry.fileName(), pattern))
            continue;
        matched = true;
        if (FsStatus s = copyOneFile(entry.filePath(), target + "/" + entry.fileName(), names); !s && result)
            result = s;
    }
    if (!matched)
        return FsStatus::failure(QStringLiteral("нет файлов %1").arg(quoted(sourcePattern)));
    return result;
}

FsStatus CopyFolder(const QString& source, const QString& target) {
    const QString from = findVariant(source, false);
    if (from.isEmpty())
        return FsStatus::failure(QStringLiteral("папка %1 не найдена").arg(quoted(source)));
    const QString fromCanonical = QFileInfo(from).canonicalFilePath();
    const QString toAbsolute = QFileInfo(target).absoluteFilePath();
    QString toCanonical = QFileInfo(toAbsolute).canonicalFilePath();
    if (toCanonical.isEmpty())
        toCanonical = QFileInfo(folderOf(toAbsolute)).canonicalFilePath() + "/" + QFileInfo(toAbsolute).fileName();
    if (toCanonical == fromCanonical || toCanonical.startsWith(fromCanonical + "/"))
        return FsStatus::failure(QStringLiteral("нельзя скопировать папку %1 в саму себя").arg(quoted(from)));
    return copyFolderContents(from, target);
}

// Declared for the tests only (tests/support/TestSupport.h).
void SimulateFullDisk(qint64 bytes, bool atSync);
void SimulateFullDisk(qint64 bytes, bool atSync) {
    fullDisk() = FullDisk{bytes, atSync, false};
}

QString GetDriveName(const QString& path) {
    QFileInfo info(QFileInfo(path).absoluteFilePath());
    // A path that does not exist yet lies on the volume of its nearest existing folder.
    while (!info.exists() && !info.isRoot()) {
        const QString parent = info.absolutePath();
        if (parent == info.absoluteFilePath())
            break;
        info = QFileInfo(parent);
    }
    const QStorageInfo storage(info.absoluteFilePath());
    return storage.isValid() ? storage.rootPath() : QString();
}

bool DriveIsReady(const QString& driveName) {
    if (driveName.isEmpty())
        return false;
    const QStorageInfo storage(driveName);
    return storage.isValid() && storage.isReady();
}

} // namespace vetorlan
