#pragma once

#include <QString>
#include <QtGlobal>

namespace vetorlan {

// The program's log: one line per event on standard error and, once a file is set, appended
// to that file. A file grown past kLogFileLimit is renamed to "<name>.1" (replacing the older
// one) and started anew, so the two stay under 1 MB together. Safe from any thread; nothing
// is kept in memory between lines.
constexpr qint64 kLogFileLimit = 400 * 1024;

// The log file, created with its folder at the first line; empty: standard error only.
void SetLogFile(const QString& path);
QString LogFile();

// Whether lines also go to standard error (the default).
void SetLogToStandardError(bool on);

// Writes one line, stamped with the local date and time.
void WriteLog(const QString& text);

// Qt's warnings (qWarning and worse, from any thread) go to the log as well; debug and info
// output stays on standard error only.
void InstallLogMessageHandler();

} // namespace vetorlan
