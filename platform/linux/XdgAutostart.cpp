#include "platform/linux/XdgAutostart.h"

#include "core/FileSystemObject.h"

#include <QDir>
#include <QFile>

#include <algorithm>

namespace vetorlan {

namespace {

// Characters that force an Exec argument into double quotes.
const QString kReserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");

QString quoteArgument(const QString& arg) {
    if (!arg.isEmpty() && std::none_of(arg.begin(), arg.end(), [](QChar c) { return kReserved.contains(c); }))
        return arg;
    QString quoted = QStringLiteral("\"");
    for (QChar c : arg) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
    }
    return quoted + u'"';
}

// The escapes of a string value: backslash, and the control characters a line cannot hold.
QString escapeStringValue(const QString& value) {
    QString out;
    for (QChar c : value) {
        if (c == u'\\')
            out += QStringLiteral("\\\\");
        else if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c == u'\t')
            out += QStringLiteral("\\t");
        else if (c == u'\r')
            out += QStringLiteral("\\r");
        else
            out += c;
    }
    return out;
}

} // namespace

QString DesktopExecArgument(const QString& program) {
    return escapeStringValue(quoteArgument(program)).replace(u'%', QStringLiteral("%%"));
}

// TryExec makes the desktop skip the entry once the program is removed; Icon names the
// installed theme icon, which a portable copy simply lacks.
QByteArray DesktopEntry(const QString& name, const QString& program) {
    const QString text = QStringLiteral("[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Name=%1\n"
                                        "Name[ru]=Веторлан\n"
                                        "Comment=Загрузка свежего прогноза погоды при входе в систему\n"
                                        "Icon=vetorlan\n"
                                        "TryExec=%2\n"
                                        "Exec=%3\n"
                                        "Terminal=false\n"
                                        "X-GNOME-Autostart-enabled=true\n")
                             .arg(escapeStringValue(name), escapeStringValue(program), DesktopExecArgument(program));
    return text.toUtf8();
}

QString XdgAutostartStore::AutostartFolder() {
    // A relative XDG_CONFIG_HOME is invalid and is ignored.
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || QDir::isRelativePath(config))
        config = QDir::homePath() + "/.config";
    return config + "/autostart";
}

QString XdgAutostartStore::EntryFile(const QString& name) {
    return AutostartFolder() + "/" + name + ".desktop";
}

void XdgAutostartStore::SetAutorunValue(const QString& name, const QString& data) {
    if (!QDir().mkpath(AutostartFolder()))
        return;
    WriteFileAtomic(EntryFile(name), DesktopEntry(name, data));
}

void XdgAutostartStore::DeleteAutorunValue(const QString& name) {
    QFile::remove(EntryFile(name));
}

} // namespace vetorlan
