#include "ui/Dialogs.h"

#include "core/Settings.h"
#include "ui/MainWindowApi.h"
#include "ui/SettingsDialog.h"
#include "ui/SetupWizard.h"

#include <QPointer>

namespace vetorlan {

namespace {
QPointer<SettingsDialog>& openSettings() {
    static QPointer<SettingsDialog> dialog;
    return dialog;
}
} // namespace

void ShowSettingsDialog(MainWindowApi& main, QWidget* parent, bool modal) {
    // One settings dialog at a time, and none while the wizard runs (it owns the scheduler
    // then): a second request brings the open window to the front.
    if (QDialog* open = openSettings() ? static_cast<QDialog*>(openSettings()) : CurrentWizardPage()) {
        open->raise();
        open->activateWindow();
        return;
    }
    auto* dialog = new SettingsDialog(main, AppSettings(), parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    openSettings() = dialog;
    if (modal) {
        dialog->exec();
    } else {
        dialog->show();
        dialog->raise();
        dialog->activateWindow();
    }
}

QDialog* CurrentSettingsDialog() {
    return openSettings();
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
