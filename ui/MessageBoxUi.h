#pragma once

namespace vetorlan {

// Shows the program's message boxes as modal QMessageBoxes.
void InstallMessageBoxUi();

// For a run without a display, where nobody could answer a box: each message goes to standard
// error and takes its default answer (Ok, or No to a question).
void InstallConsoleMessages();

} // namespace vetorlan
