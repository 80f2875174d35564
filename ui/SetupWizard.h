#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QVBoxLayout;

namespace vetorlan {

class MainWindowApi;

// One page of the setup wizard. Loading a page pauses the scheduler; "Далее >" writes the
// page's answer and saves at once; "< Назад" never saves; "Отмена", the title bar and Esc
// end the wizard with the scheduler restarted and the main window shown.
class WizardPage : public QDialog {
    Q_OBJECT
public:
    WizardPage(MainWindowApi& main, int page, const QString& frameCaption);
    int Page() const { return page_; }
    void reject() override;

protected:
    // Called once the subclass has filled the frame.
    void finishLayout();
    QRadioButton* addOption(const char* name, const QString& caption);
    virtual void WriteChoice() = 0;

    QGroupBox* Frame1;
    QVBoxLayout* frameBox_;
    QVBoxLayout* extraBox_;
    MainWindowApi& main_;

private:
    void Command1_Click();
    void Command2_Click();
    void closePage();

    int page_;
    bool closed_ = false;
    QPushButton *Command1, *Command2, *Command3;
};

class Master1 : public WizardPage {
    Q_OBJECT
public:
    explicit Master1(MainWindowApi& main);

private:
    void WriteChoice() override;
    QRadioButton *Option1, *Option2;
};

class Master2 : public WizardPage {
    Q_OBJECT
public:
    explicit Master2(MainWindowApi& main);

private:
    void WriteChoice() override;
    QRadioButton *Option1, *Option2;
};

class Master3 : public WizardPage {
    Q_OBJECT
public:
    explicit Master3(MainWindowApi& main);

private:
    void WriteChoice() override;
    QRadioButton *Option1, *Option2;
};

class Master4 : public WizardPage {
    Q_OBJECT
public:
    explicit Master4(MainWindowApi& main);

private:
    void WriteChoice() override;
    QWidget* buildNotes();
    QCheckBox *Check1, *Check2, *Check3;
};

// Creates and shows wizard page 1..4, modeless; the page that is open now, if any.
void ShowWizardPage(MainWindowApi& main, int page);
WizardPage* CurrentWizardPage();

} // namespace vetorlan
