#pragma once

#include "core/FsStatus.h"

#include <QString>

namespace vetorlan {

// Settings beyond Options.ini, which stays 39 lines: they live in Vetorlan.ini beside it, in
// Qt's INI format. A missing file or key keeps the default. To add a setting, add a field
// here with its default, and its key to ReadExtraSettings and WriteExtraSettings.
struct ExtraSettings {
    // [View] BrowserCommand: the browser the page opens in when UseInternetExplorer is "True",
    // as a command line; the page's path is added as its last argument. Empty: the platform's
    // own choice.
    QString BrowserCommand;
    // [Tray] ShowTemperature: the tray icon shows the current temperature of the tray's town
    // when a live forecast gives one.
    bool ShowTemperature = true;

    bool operator==(const ExtraSettings&) const = default;
};

// The process-wide instance, read at start and written by the settings dialog.
ExtraSettings& AppExtraSettings();

// Fills AppExtraSettings() from Vetorlan.ini of the program folder.
void LoadExtraSettings();

// Writes AppExtraSettings() to Vetorlan.ini (the whole file is replaced); a failure is told to
// the user as one of Options.ini is.
FsStatus SaveExtraSettings();

} // namespace vetorlan
