// The smallest Qt tray program with one small window and a ticking clock, for comparing
// the idle memory and the start-up time of the main program against.
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
    // Quits as soon as the event loop runs, to time the start-up like the main program.
    if (qEnvironmentVariable("VETORLAN_QUIT_WHEN_IDLE") == QLatin1String("1"))
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return QApplication::exec();
}
