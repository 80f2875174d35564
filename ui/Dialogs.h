#pragma once

class QDialog;
class QWidget;

namespace vetorlan {

class MainWindowApi;

// Opens the settings dialog: modal from the main window's button, modeless from the tray.
void ShowSettingsDialog(MainWindowApi& main, QWidget* parent, bool modal);

// The settings dialog that is open now, if any.
QDialog* CurrentSettingsDialog();

// Hides the main window and shows the first wizard page, modeless.
void StartSetupWizard(MainWindowApi& main);

} // namespace vetorlan
