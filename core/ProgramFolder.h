#pragma once

#include "core/SystemFacts.h"

#include <QString>
#include <functional>

namespace vetorlan {

// The folder where Options.ini, the town lists and the pages live. By default the folder of
// the running executable; main() and tests point it elsewhere.
QString ProgramFolder();
void SetProgramFolder(const QString& folder);

// The program's main page in its folder: the index page of a multi-town load, the page of a
// single-town one (which writes the name in lower case). Always looked up without regard to case.
inline const QString kMainPageName = QStringLiteral("Nimbora.htm");

// ProgramFolder() + "/" + name, resolved to an existing entry whatever its letter case.
QString ProgramFile(const QString& name);

// The executable that starts the program (what an autostart entry runs).
QString ProgramExecutable();
void SetProgramExecutable(const QString& path);

// Where a run keeps its files: the program folder, and the installed shared files
// (style sheet, pictures, help) to keep copied into it; empty for a portable folder.
struct ProgramPlace {
    QString folder;
    QString sharedFolder;
};

using WritableCheck = std::function<bool(const QString& folder)>;

// FolderWritable and UserDataFolder come from the operating system's folder under platform/.

// A folder the executable can write, and which is not an installed layout (shared files in
// ../share/vetorlan and none beside the executable), is a portable program folder.
// Otherwise the program is installed and `dataFolder` is its program folder.
ProgramPlace ChooseProgramPlace(const QString& executableFolder, const QString& dataFolder,
                                const WritableCheck& writable = FolderWritable);

// Creates the program folder and copies in every shared file it lacks or holds an older copy
// of. False when the folder cannot be created or a copy failed.
bool PrepareProgramPlace(const ProgramPlace& place);

// Decides the place of this run from the running executable, prepares it and points
// ProgramFolder() at it.
void SetUpProgramFolder();

} // namespace vetorlan
