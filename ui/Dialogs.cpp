#include "ui/Dialogs.h"

#include "ui/MainWindowApi.h"
#include "ui/Master.h"
#include "ui/Options.h"

#include <QPointer>

namespace vetorlan {

namespace {
QPointer<Options>& openOptions() {
    static QPointer<Options> dialog;
    return dialog;
}
} // namespace

void ShowOptionsDialog(MainWindowApi& main, QWidget* parent, bool modal) {
    // One settings dialog at a time: a second request brings the open one to the front.
    if (Options* open = openOptions()) {
        open->raise();
        open->activateWindow();
        return;
    }
    auto* dialog = new Options(main, parent);
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
    ShowWizardPage(main, 1);
}

} // namespace vetorlan
