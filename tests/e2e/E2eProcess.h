#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace vetorlan::test {

// Ends a child process: politely first, then by force; never waits forever.
inline void StopProcess(QProcess& process) {
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(5000))
        process.kill();
    process.waitForFinished(5000);
}

#ifdef SAMPLE_SERVICE_BINARY
// Starts the sample forecast service on a free loopback port and returns its address from
// its "listening on" line, or the line it printed instead (not an http address).
inline QString StartSampleService(QProcess& service, const QStringList& extraArguments = {}) {
    service.start(SAMPLE_SERVICE_BINARY, QStringList{"--port", "0"} + extraArguments);
    if (!service.waitForStarted(5000))
        return QStringLiteral("the service did not start");
    while (!service.canReadLine() && service.waitForReadyRead(10000)) {
    }
    const QString line = QString::fromUtf8(service.readLine()).trimmed();
    const QString prefix = QStringLiteral("listening on ");
    return line.startsWith(prefix) ? line.mid(prefix.size()) : line;
}
#endif

} // namespace vetorlan::test
