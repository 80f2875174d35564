#pragma once

#include <QWidget>

class QLabel;

namespace vetorlan {

class PictureButton;

// The window's own caption: the program's name with its shadow, the close and tray buttons.
// A press on the bar moves the window. The window paints the bar's background.
class CaptionBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHeight = 20;

    explicit CaptionBar(QWidget& window);
    // Spans the window's width with the buttons at its right end.
    void FitWidth(int width);

signals:
    void CloseClicked();
    void TrayClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* labels_[2] = {nullptr, nullptr};
    PictureButton* closeButton_ = nullptr;
    PictureButton* trayButton_ = nullptr;
};

} // namespace vetorlan
