#include "ui/Dialogs.h"

#include "ui/MainWindowApi.h"

namespace vetorlan {

// Placeholders until the settings dialog and the wizard are built.
void ShowOptionsDialog(MainWindowApi&, QWidget*, bool) {}

void StartSetupWizard(MainWindowApi&) {}

} // namespace vetorlan
