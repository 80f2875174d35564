#pragma once

#include "core/AutorunStore.h"
#include "core/FsStatus.h"
#include "core/Settings.h"

namespace vetorlan {

// What the settings store needs from the main window. The user interface implements it;
// tests use a recording fake.
class SettingsHost {
public:
    virtual ~SettingsHost() = default;
    // Sets the intervals of the three timers to 0 (their enabled state is kept).
    virtual void PauseTimers() = 0;
    // The tooltip of the multi-town list on a first run.
    virtual void SetTownListTip(const QString& tip) = 0;
    // RebuildMultiTownList when MultiLoad is "True", else RebuildSingleTownBoxes.
    virtual void RefreshTownLists() = 0;
    // The first-run question ("Совет") and what follows from its answer.
    virtual void AskFirstRunQuestion() = 0;
};

// Wiring of the settings store: the autorun store, the main window and the question whether
// the machine has a modem-type link, which the first-run defaults follow (any may be null).
struct SettingsContext {
    AutorunStore* autorun = nullptr;
    SettingsHost* host = nullptr;
    bool (*machineHasModemLink)() = nullptr;
};
SettingsContext& AppSettingsContext();

// Who asked for a save: the user (Ok in the settings dialog) hears of every failure,
// automatic saves of the first one in a run only.
enum class SaveRequest { Automatic, ByUser };

// Writes AppSettings() to Options.ini (atomically), then updates the autorun entry, then
// refreshes the town lists. A write failure is told to the user as `request` says.
FsStatus SaveSettings(SaveRequest request = SaveRequest::Automatic);

// Why a file of `size` bytes could not be written at `path`, as the file system shows it now.
enum class SaveFailure { NoFolder, FolderInTheWay, FolderNotWritable, ReadOnlyFile, DiskFull, WriteError };
SaveFailure ClassifySaveFailure(const QString& path, qint64 size);
// The message telling the user, in Russian, which file was not saved and why.
QString SaveFailureText(const QString& path, SaveFailure reason);

// Lets the next failed save tell the user again (the notice is shown once per run).
void ResetSaveFailureNotice();

// Fills AppSettings() from Options.ini, or runs ApplyDefaultSettings when the file is
// missing or not recognised; and AppExtraSettings() from Vetorlan.ini.
void LoadSettings();

// The first-run flow: timers paused, list tooltip, defaults, save, then the question.
void ApplyDefaultSettings();

// The defaults on this machine (FirstRunSettings for its links).
Settings MachineDefaultSettings();

} // namespace vetorlan
