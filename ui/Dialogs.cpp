#include "ui/Dialogs.h"

#include "ui/MainWindowApi.h"
#include "ui/SettingsDialog.h"
#include "ui/SetupWizard.h"

#include <QPointer>

namespace vetorlan {

namespace {
QPointer<SettingsDialog>& openOptions() {
    static QPointer<SettingsDialog> dialog;
    return dialog;
}
} // namespace

void ShowOptionsDialog(MainWindowApi& main, QWidget* parent, bool modal) {
    // One settings dialog at a time, and none while the wizard runs (it owns the scheduler
    // then): a second request brings the open window to the front.
    if (QDialog* open = openOptions() ? static_cast<QDialog*>(openOptions()) : CurrentWizardPage()) {
        open->raise();
        open->activateWindow();
        return;
    }
    auto* dialog = new SettingsDialog(main, parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    openOptions() = dialog;
    if (modal) {
        dialog->exec();
    } else {
        dialog->show();
        dialog->raise();
        dialog->activateWindow();
    }
}

QDialog* CurrentOptionsDialog() {
    return openOptions();
}

void StartSetupWizard(MainWindowApi& main) {
    main.HideMainWindow();
    if (SetupWizardPage* open = CurrentWizardPage()) {
        open->raise();
        open->activateWindow();
        return;
    }
    ShowWizardPage(main, 1);
}

} // namespace vetorlan
