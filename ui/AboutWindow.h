#pragma once

#include <QDialog>
#include <QTimer>
#include <cstdint>
#include <memory>

class QPushButton;

namespace vetorlan {

namespace Ui {
class AboutWindow;
}

// The About window: the data-source notice, links to the sources, the program's page and its
// author, and the opening animation that grows the window until its "Закрыть" button comes into view.
class AboutWindow : public QDialog {
    Q_OBJECT
public:
    explicit AboutWindow(QWidget* parent = nullptr);
    ~AboutWindow() override;

    // Design height and the growth of the animation, in logical pixels.
    static int DesignHeight();
    static int GrownHeight();

    QPushButton* closeButton() const;

    void StartOpeningAnimation();
    void StartGrowing();
    void GrowOneStep();
    void OpenDataSource(int which);
    void OpenProgramPage();
    void WriteToAuthor();

    std::int16_t grownTwips = 0;
    QTimer growDelayTimer, growStepTimer;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowDataSources();
    void ShowProjectAddresses();

    std::unique_ptr<Ui::AboutWindow> ui_;
};

// A data source the notice names: its caption, tooltip and web address.
struct SourceLink {
    QString name, tooltip, url;
};

// The notice and its two sources: the live services when the pages are made from them,
// else the page service's owners.
QString DataSourceNotice();
SourceLink DataSourceLink(int which);

// The addresses behind the project's links; empty when the build does not name them.
QString ProgramPageUrl();
QString AuthorMailUrl();

} // namespace vetorlan
