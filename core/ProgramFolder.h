#pragma once

#include <QString>

namespace vetorlan {

// The folder of the running executable, where Options.ini and the pages live.
// Tests point it at a temporary folder.
QString ProgramFolder();
void SetProgramFolder(const QString& folder);

// ProgramFolder() + "/" + name, resolved to an existing entry whatever its letter case.
QString ProgramFile(const QString& name);

} // namespace vetorlan
