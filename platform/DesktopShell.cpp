#include "platform/DesktopShell.h"

#include <QDesktopServices>
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

} // namespace

bool DesktopShell::OpenDocument(const QString& pathOrUrl) {
    return QDesktopServices::openUrl(toUrl(pathOrUrl));
}

bool DesktopShell::StartProgram(const QString& program, const QStringList& arguments) {
    return QProcess::startDetached(program, arguments);
}

} // namespace vetorlan
