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

// The About window: the data-source notice, four links and the opening animation that
// grows the window until its "Закрыть" button comes into view.
class AboutWindow : public QDialog {
    Q_OBJECT
public:
    explicit AboutWindow(QWidget* parent = nullptr);
    ~AboutWindow() override;

    // Design height and the growth of the animation, in logical pixels.
    static int DesignHeight();
    static int GrownHeight();

    QPushButton* closeButton() const;

    void startOpeningAnimation();
    void startGrowing();
    void growOneStep();
    void openOwnerPortal();
    void openMeteoBureau();
    void openProgramPage();
    void writeToAuthor();

    std::int16_t grownTwips = 0;
    QTimer growDelayTimer, growStepTimer;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<Ui::AboutWindow> m_ui;
};

// The addresses behind the links.
QString OwnerPortalUrl();
QString MeteoBureauUrl();
QString ProgramPageUrl();
QString AuthorMailUrl();

} // namespace vetorlan
