// Benchmark (not a test): the bare tray program that runs a load as a child process, as the
// lean load would. A load starts whenever nimbora.htm is missing from the working folder
// (checked every second, like the program's scheduler), and the child's standard output is
// read line by line until it ends. usage: bare-tray-child PROGRAM [ARGUMENTS...]
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QProcess>
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
    QStringList arguments = app.arguments().mid(1);
    const QString program = arguments.takeFirst();
    QProcess child;
    QStringList lines;
    QObject::connect(&child, &QProcess::readyReadStandardOutput, [&] {
        while (child.canReadLine())
            lines << QString::fromUtf8(child.readLine()).trimmed();
    });
    QObject::connect(&child, &QProcess::finished, [&](int code, QProcess::ExitStatus status) {
        tray.setToolTip(QStringLiteral("load ended: %1 %2, %3 lines").arg(code).arg(int(status)).arg(lines.size()));
        lines.clear();
    });
    QTimer scheduler;
    QObject::connect(&scheduler, &QTimer::timeout, [&] {
        if (child.state() == QProcess::NotRunning && !QFile::exists(QStringLiteral("nimbora.htm")))
            child.start(program, arguments);
    });
    scheduler.start(1000);
    return QApplication::exec();
}
