#pragma once

#include "core/FsStatus.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

// <windows.h> turns these names into macros of its own ANSI/wide functions.
#ifdef DeleteFile
#undef DeleteFile
#endif
#ifdef CopyFile
#undef CopyFile
#endif

namespace vetorlan {

// File operations of the program. Names are matched without regard to letter case in the
// last path element: "Nimbora.htm" finds "nimbora.htm", and writing "Nimbora.htm" replaces
// "nimbora.htm" instead of adding a second file. Paths use '/' on Linux.

// The existing entry at `path` whatever the letter case of its last element, or `path`
// itself when none exists.
QString ResolvePath(const QString& path);

bool FileExists(const QString& path);
bool FolderExists(const QString& path);
// Whether anything at all (file, folder, link, device, pipe, socket) goes by the name.
bool EntryExists(const QString& path);

// Removes the file; a read-only file survives unless `force`.
FsStatus DeleteFile(const QString& path, bool force = false);

// Creates an empty file, replacing any file of that name.
FsStatus CreateTextFile(const QString& path);

// What a write does with a symbolic link under the file's name.
enum class LinkWrite {
    Follow,  // the file the link names is replaced whole and the link stays
    Replace, // the link itself is replaced by the file: nothing outside the folder is written
};

// Replaces the file whole: writes a temporary file beside it, checks that every byte
// reached the disk (write, sync and close), and only then renames it over the old one (and
// over any case-variant of the name), so a crash or full disk never leaves it empty or
// half-written. Only regular files are replaced: a folder, device, pipe or socket under
// the name is refused, and so is a read-only file. A link is followed only to a regular file.
FsStatus WriteFileAtomic(const QString& path, const QByteArray& contents, LinkWrite links = LinkWrite::Follow);

// Whether a new file can be made in the folder of `path`: makes one under a fresh name of its
// own and removes it, so no earlier file under any name can sway the answer.
bool CanCreateFileBeside(const QString& path);

// Whether the name is that of a temporary file of WriteFileAtomic, which only a program
// killed in the middle of a write leaves behind.
bool IsTemporaryFileName(const QString& fileName);

// Reads the whole file; fails when it cannot be read completely or is not a regular file,
// and (when `maxBytes` is not negative) when it holds more than `maxBytes`, reading no more.
FsStatus ReadWholeFile(const QString& path, QByteArray& contents, qint64 maxBytes = -1);

// Renames `from` to `to`, replacing a file at `to` on the terms of WriteFileAtomic.
FsStatus RenameFile(const QString& from, const QString& to);

// Last-modified local time; invalid when the file does not exist.
QDateTime FileModified(const QString& path);

// Copies every file of a folder matching the pattern of the last element ("*.htm",
// matched without regard to case) into `targetFolder`, overwriting. Fails when nothing
// matched or a copy failed.
FsStatus CopyFile(const QString& sourcePattern, const QString& targetFolder);

// Copies a folder with all its files and sub-folders to `target`, overwriting.
FsStatus CopyFolder(const QString& source, const QString& target);

// The drive of a path: on Linux the mount point of the volume holding it.
QString GetDriveName(const QString& path);
// Whether the drive holds a readable, mounted medium.
bool DriveIsReady(const QString& driveName);

} // namespace vetorlan
