#include "ui/CaptionBar.h"

#include "core/ProjectInfo.h"
#include "ui/PictureButton.h"
#include "ui/Pictures.h"

#include <QLabel>
#include <QMouseEvent>
#include <QWindow>

namespace vetorlan {

namespace {

const QSize kButtonSize(16, 14);

} // namespace

CaptionBar::CaptionBar(QWidget& window) : QWidget(&window) {
    setObjectName(QStringLiteral("captionBar"));
    installEventFilter(this);
    for (int i : {1, 0}) {
        labels_[i] = new QLabel(QStringLiteral("     Веторлан v.") + ProgramVersion(), this);
        labels_[i]->setObjectName(QStringLiteral("captionLabel%1").arg(i));
        QFont font = labels_[i]->font();
        font.setBold(true);
        labels_[i]->setFont(font);
        // A palette, not a style sheet: style sheets keep their engine in the idle program.
        QPalette text = labels_[i]->palette();
        text.setColor(QPalette::WindowText, i == 0 ? QColor(255, 255, 255) : QColor(0, 0, 128));
        labels_[i]->setPalette(text);
        labels_[i]->installEventFilter(this);
    }
    closeButton_ = new PictureButton(CloseButtonPicture, this);
    closeButton_->setObjectName(QStringLiteral("closeButton"));
    closeButton_->setToolTip(QStringLiteral("Закрыть"));
    trayButton_ = new PictureButton(TrayButtonPicture, this);
    trayButton_->setObjectName(QStringLiteral("trayButton"));
    trayButton_->setToolTip(QStringLiteral("Свернуть в трей"));
    for (PictureButton* button : {closeButton_, trayButton_})
        button->resize(kButtonSize);
    connect(closeButton_, &QAbstractButton::clicked, this, &CaptionBar::CloseClicked);
    connect(trayButton_, &QAbstractButton::clicked, this, &CaptionBar::TrayClicked);
}

// Placed by the window's resize event, so a program that starts in the tray or only loads
// never measures its bold caption.
void CaptionBar::FitWidth(int width) {
    labels_[0]->move(4, 5);
    labels_[1]->move(5, 6);
    for (QLabel* label : labels_)
        label->adjustSize();
    setGeometry(0, 0, width, kHeight);
    closeButton_->move(width - closeButton_->width() - 3, 2);
    trayButton_->move(closeButton_->x() - trayButton_->width() - 1, 2);
    lower();
}

bool CaptionBar::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseButtonPress)
        return QWidget::eventFilter(watched, event);
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::LeftButton && window()->windowHandle())
        window()->windowHandle()->startSystemMove();
    return true;
}

} // namespace vetorlan
