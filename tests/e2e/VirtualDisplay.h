#pragma once

#include "tests/e2e/E2eProcess.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>

namespace vetorlan::test {

// How long a display test waits for one thing (the display, a window) before it fails.
constexpr int kDisplayWaitMs = 20000;

// Sends a process's output (both channels) to a file that nobody has to drain: a full pipe
// would stop the process, and the file can be attached to a failure.
inline void LogOutputTo(QProcess& process, const QString& path) {
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardOutputFile(path);
}

inline QString ReadLog(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString("(no output)");
}

// "<name> runs" or how it ended, looking afresh (no event loop keeps the state current).
inline QString DescribeState(QProcess& process, const QString& name) {
    if (process.state() != QProcess::NotRunning && !process.waitForFinished(0))
        return name + " runs";
    if (process.exitStatus() == QProcess::CrashExit)
        return name + " crashed or was killed (" + process.errorString() + ")";
    return name + QString(" ended with exit code %1").arg(process.exitCode());
}

// An Xvfb display of the test's own. Xvfb picks a free display number itself and reports it
// on -displayfd only once it accepts clients, so nothing guesses numbers or watches sockets.
// -noreset: by default the server resets whenever its last client leaves, and a client that
// connects during the reset is refused; a test's short-lived xdotool calls would make the
// program under test lose that race now and then and end with "could not connect to display".
class VirtualDisplay {
public:
    VirtualDisplay() = default;
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;
    ~VirtualDisplay() { StopProcess(xvfb_); }

    static bool Available() { return !QStandardPaths::findExecutable("Xvfb").isEmpty(); }

    // Starts Xvfb and waits for its display number; false (see Log()) when none came in time.
    bool Start() {
        xvfb_.setStandardErrorFile(logs_.filePath("xvfb.log"));
        xvfb_.start(QStandardPaths::findExecutable("Xvfb"),
                    {"-displayfd", "1", "-noreset", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"});
        const QDeadlineTimer deadline(kDisplayWaitMs);
        while (!xvfb_.canReadLine() && !deadline.hasExpired() && xvfb_.waitForReadyRead(deadline.remainingTime())) {
        }
        const QByteArray number = xvfb_.readLine().trimmed();
        if (number.isEmpty())
            return false;
        name_ = ":" + QString::fromLatin1(number);
        return true;
    }

    // ":N", the value of DISPLAY for the programs on this display.
    const QString& Name() const { return name_; }

    // How Xvfb is doing, and its own messages so far.
    QString Log() {
        return DescribeState(xvfb_, "Xvfb " + name_) + "; its output:\n" + ReadLog(logs_.filePath("xvfb.log"));
    }

private:
    QTemporaryDir logs_;
    QProcess xvfb_;
    QString name_;
};

} // namespace vetorlan::test
