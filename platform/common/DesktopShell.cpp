#include "platform/common/DesktopShell.h"

#include "core/SystemFacts.h"

#include <QDesktopServices>
#include <QElapsedTimer>
#include <QProcess>
#include <QUrl>

namespace vetorlan {

namespace {

// Web and mail addresses go as they are; everything else is a local file path.
QUrl toUrl(const QString& pathOrUrl) {
    for (const char* scheme : {"http://", "https://", "mailto:", "file://"})
        if (pathOrUrl.startsWith(QLatin1String(scheme), Qt::CaseInsensitive))
            return QUrl(pathOrUrl);
    return QUrl::fromLocalFile(pathOrUrl);
}

// What xdg-open's exit status means to the user (3: no program for the page).
QString openerFailure(int exitCode, QProcess::ExitStatus status) {
    if (status != QProcess::NormalExit)
        return QStringLiteral("программа xdg-open завершилась аварийно");
    if (exitCode == 3)
        return QStringLiteral("на рабочем столе не выбран браузер по умолчанию (xdg-open: код 3)");
    return QStringLiteral("программа xdg-open не смогла открыть страницу (код %1)").arg(exitCode);
}

// Runs the opener with the page; the process object lives until it ends, also past the watch.
void watchOpener(const QString& opener, const QString& page, const Shell::OpenFailed& failed) {
    auto* process = new QProcess;
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    QElapsedTimer started;
    started.start();
    QObject::connect(
        process, &QProcess::finished, process, [process, failed, started](int exitCode, QProcess::ExitStatus status) {
            process->deleteLater();
            if ((status != QProcess::NormalExit || exitCode != 0) && started.elapsed() < DesktopShell::kOpenerWatchMs)
                failed(openerFailure(exitCode, status));
        });
    QObject::connect(process, &QProcess::errorOccurred, process, [process, failed](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        process->deleteLater();
        failed(QStringLiteral("программа xdg-open не запускается"));
    });
    process->start(opener, {page});
}

} // namespace

bool DesktopShell::OpenDocument(const QString& pathOrUrl) {
    return QDesktopServices::openUrl(toUrl(pathOrUrl));
}

bool DesktopShell::StartProgram(const QString& program, const QStringList& arguments) {
    return QProcess::startDetached(program, arguments);
}

void DesktopShell::OpenPage(const QString& page, const OpenFailed& failed) {
    if (const QString opener = WatchablePageOpener(); !opener.isEmpty()) {
        watchOpener(opener, page, failed);
        return;
    }
    // Elsewhere the desktop's answer comes at once (on Linux from $BROWSER and the like).
    if (!OpenDocument(page))
        failed(QStringLiteral("не найден браузер по умолчанию"));
}

} // namespace vetorlan
