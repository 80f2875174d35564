#pragma once

namespace vetorlan {

// Shows the program's message boxes as modal QMessageBoxes.
void InstallMessageBoxUi();

} // namespace vetorlan
