#pragma once

#include "core/Settings.h"

#include <QDialog>
#include <QString>
#include <memory>

class QPushButton;

namespace vetorlan {

class MainWindowApi;

namespace Ui {
class ConnectionPage;
class WorkModePage;
class TownCountPage;
class FinishPage;
} // namespace Ui

// One page of the setup wizard. Loading a page pauses the scheduler; "Далее >" writes the
// page's answer and saves at once; "< Назад" never saves; "Отмена", the title bar and Esc
// end the wizard with the scheduler restarted and the main window shown.
class SetupWizardPage : public QDialog {
    Q_OBJECT
public:
    SetupWizardPage(MainWindowApi& main, int page);
    int Page() const { return page_; }
    void reject() override;

protected:
    // Called by a page once its form is set up.
    void ConnectButtons(QPushButton* back, QPushButton* next, QPushButton* cancel);
    virtual void StoreChoice() = 0;

    MainWindowApi& main_;
    Settings& settings_; // the program's settings, which the answers change

private:
    void GoForward();
    void GoBack();
    void ClosePage();

    int page_;
    bool closed_ = false;
};

// Step one: dial-up or a permanent connection.
class ConnectionPage : public SetupWizardPage {
    Q_OBJECT
public:
    explicit ConnectionPage(MainWindowApi& main);
    ~ConnectionPage() override;

private:
    void StoreChoice() override;
    std::unique_ptr<Ui::ConnectionPage> ui_;
};

// Step two: automatic start and load, or manual loading.
class WorkModePage : public SetupWizardPage {
    Q_OBJECT
public:
    explicit WorkModePage(MainWindowApi& main);
    ~WorkModePage() override;

private:
    void StoreChoice() override;
    std::unique_ptr<Ui::WorkModePage> ui_;
};

// Step three: one town or several.
class TownCountPage : public SetupWizardPage {
    Q_OBJECT
public:
    explicit TownCountPage(MainWindowApi& main);
    ~TownCountPage() override;

private:
    void StoreChoice() override;
    std::unique_ptr<Ui::TownCountPage> ui_;
};

// Step four: sound, showing and exiting after a load, and notes on the tray icon.
class FinishPage : public SetupWizardPage {
    Q_OBJECT
public:
    explicit FinishPage(MainWindowApi& main);
    ~FinishPage() override;

private:
    void StoreChoice() override;
    std::unique_ptr<Ui::FinishPage> ui_;
};

// Creates and shows wizard page 1..4, modeless; the page that is open now, if any.
void ShowWizardPage(MainWindowApi& main, int page);
SetupWizardPage* CurrentWizardPage();

} // namespace vetorlan
