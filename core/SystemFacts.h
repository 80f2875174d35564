#pragma once

#include <QFile>
#include <QString>
#include <filesystem>

// What the program's lower layers need to know of the operating system. Each folder under
// platform/ for an operating system defines these; no other file asks which system it runs on.
namespace vetorlan {

// The program's executable in `folder`, as the system writes paths.
QString ExecutableIn(const QString& folder);
// The running program's own file, to start it again (on Linux the very file it started from,
// even when an upgrade has replaced it since).
QString RunningProgramFile();
// Whether the user may create and replace files in `folder` (a read-only mount counts too).
bool FolderWritable(const QString& folder);
// The user's own data folder for the program when it cannot keep its files beside itself.
QString UserDataFolder();

// File names as the standard library's file system functions take them, and back.
std::filesystem::path ToFsPath(const QString& path);
QString FromFsPath(const std::filesystem::path& path);

// Whether `c` separates folders in a path the user typed.
bool IsPathSeparator(QChar c);

// Whether the first run keeps the settings that name Internet Explorer and a copy path,
// which only mean something where those exist.
bool KeepsBrowserDefaults();
// The browser forced by the "use Internet Explorer" setting; empty where there is none.
QString ForcedBrowserProgram();
// Writes what the file holds through to the disk; the reason when the system reports a
// failure (a full disk some file systems only find then), else empty.
QString SyncToDisk(QFile& file);

// Opens `path` for reading only when it is a regular file, without ever waiting on a pipe or
// a device. `why` is the system's reason when the file cannot be opened at all.
enum class ReadOpen { Opened, Failed, Folder, NotRegular };
ReadOpen OpenRegularFile(const QString& path, QFile& file, QString& why);

// The folder the kernel lists network interfaces in (their "flags" and "operstate"); empty
// where there is none.
QString NetworkInterfaceFolder();
// Whether a one-shot load without a display may fall back to Qt's offscreen platform, as an
// unreachable X display would otherwise abort it.
bool OneShotLoadMayLackDisplay();

// The longest tooltip the system's tray shows (64 on Windows); 0 where it takes any length.
int TrayTipLimit();
// The desktop's page opener that reports failures (xdg-open), empty where the desktop
// answers at once.
QString WatchablePageOpener();
// Lets a write to a pipe whose reader has ended fail instead of ending the process (a load
// process must finish its writes even when the program that started it is gone).
void IgnoreBrokenPipes();
// Whether the process `pid` still runs (a process that has ended but was not yet waited for
// does not); true where the system cannot tell.
bool ProcessRuns(qint64 pid);

} // namespace vetorlan
