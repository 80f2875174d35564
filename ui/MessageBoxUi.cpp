#include "ui/MessageBoxUi.h"

#include "core/MessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <cstdio>

namespace vetorlan {

namespace {

QMessageBox::Icon ToQtIcon(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::Critical:
        return QMessageBox::Critical;
    case MsgIcon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

MsgAnswer ShowQtBox(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons) {
    const bool yesNo = buttons == MsgButtons::YesNo;
    QMessageBox box(ToQtIcon(icon), title, text, yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok);
    if (yesNo) {
        box.button(QMessageBox::Yes)->setText(QStringLiteral("Да"));
        box.button(QMessageBox::No)->setText(QStringLiteral("Нет"));
    }
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    const int answer = box.exec();
    if (!yesNo)
        return MsgAnswer::Ok;
    return answer == QMessageBox::Yes ? MsgAnswer::Yes : MsgAnswer::No;
}

MsgAnswer PrintMessage(const QString& text, const QString& title, MsgIcon, MsgButtons buttons) {
    const QString line = QStringLiteral("nimbora: ") + title + QStringLiteral(": ") + text.simplified();
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
    return buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Ok;
}

} // namespace

void InstallMessageBoxUi() {
    SetMessageBoxHandler(ShowQtBox);
}

void InstallConsoleMessages() {
    SetMessageBoxHandler(PrintMessage);
}

} // namespace vetorlan
