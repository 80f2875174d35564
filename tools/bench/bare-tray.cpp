// The smallest Qt tray program with one small window and a ticking clock, for comparing
// the idle memory of the main program against.
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTime>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QLabel window(QStringLiteral("bare tray"));
    window.resize(352, 196);
    window.show();
    QPixmap picture(32, 32);
    picture.fill(Qt::darkBlue);
    QMenu menu;
    menu.addAction(QStringLiteral("Quit"), &app, &QCoreApplication::quit);
    QSystemTrayIcon tray{QIcon(picture)};
    tray.setContextMenu(&menu);
    tray.show();
    QTimer clock;
    QObject::connect(&clock, &QTimer::timeout, &window,
                     [&window] { window.setText(QTime::currentTime().toString(QStringLiteral("HH:mm:ss"))); });
    clock.start(250);
    return QApplication::exec();
}
