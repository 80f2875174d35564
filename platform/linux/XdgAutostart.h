#pragma once

#include "core/AutorunStore.h"

#include <QString>

namespace vetorlan {

// The autorun entry on Linux: a Desktop Entry in $XDG_CONFIG_HOME/autostart (default
// ~/.config/autostart) named after the entry, started by the desktop at log-in.
class XdgAutostartStore : public AutorunStore {
public:
    void SetAutorunValue(const QString& name, const QString& data) override;
    void DeleteAutorunValue(const QString& name) override;

    // The autostart folder and the file of an entry, read from the environment at each call.
    static QString AutostartFolder();
    static QString EntryFile(const QString& name);
};

// The program path as one argument of an Exec= key: quoted when it holds reserved
// characters, then escaped as a string value, with '%' doubled.
QString DesktopExecArgument(const QString& program);

// The contents of the Desktop Entry that starts `program`.
QByteArray DesktopEntry(const QString& name, const QString& program);

} // namespace vetorlan
