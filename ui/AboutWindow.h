#pragma once

#include <QDialog>
#include <QTimer>
#include <cstdint>

class QLabel;
class QPushButton;

namespace vetorlan {

// The About window: the data-source notice, four links and the opening animation that
// grows the window until its "Закрыть" button comes into view.
class AboutWindow : public QDialog {
    Q_OBJECT
public:
    explicit AboutWindow(QWidget* parent = nullptr);

    // Design height and the growth of the animation, in logical pixels.
    static int DesignHeight();
    static int GrownHeight();

    void Form_Load();
    void Timer1_Timer();
    void Timer2_Timer();
    void Label10_Click();
    void Label9_Click();
    void Label6_Click();
    void Label4_Click();
    void Command1_Click();

    std::int16_t GrowStep = 0;
    QTimer Timer1, Timer2;
    QPushButton* Command1 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* MakeLink(QWidget* parent, const QString& text, const QString& tip, QRect geometry);
    void BuildNotice();
    void BuildPageAndAuthor();

    QLabel* Label10 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label4 = nullptr;
};

// The addresses behind the links.
QString OwnerPortalUrl();
QString MeteoBureauUrl();
QString ProgramPageUrl();
QString AuthorMailUrl();

} // namespace vetorlan
