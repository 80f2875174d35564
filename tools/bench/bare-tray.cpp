// The smallest Qt tray program with one small window and a ticking clock, for comparing
// the idle memory and the start-up time of the main program against.
// usage: bare-tray [PROGRAM [ARGUMENTS...]]. With a program it also loads as the main program
// does, through a child process: a load starts whenever nimbora.htm is missing from the
// working folder (checked every second, like the program's scheduler), and the child's
// standard output is read line by line until it ends.
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QSystemTrayIcon>
#include <QTime>
#include <QTimer>

namespace {

void LoadThroughChildren(QSystemTrayIcon& tray, QStringList arguments) {
    const QString program = arguments.takeFirst();
    auto* child = new QProcess(&tray);
    auto* lines = new QStringList;
    QObject::connect(child, &QProcess::readyReadStandardOutput, [child, lines] {
        while (child->canReadLine())
            *lines << QString::fromUtf8(child->readLine()).trimmed();
    });
    QObject::connect(child, &QProcess::finished, [&tray, lines](int code, QProcess::ExitStatus status) {
        tray.setToolTip(QStringLiteral("load ended: %1 %2, %3 lines").arg(code).arg(int(status)).arg(lines->size()));
        lines->clear();
    });
    auto* scheduler = new QTimer(&tray);
    QObject::connect(scheduler, &QTimer::timeout, [child, program, arguments] {
        if (child->state() == QProcess::NotRunning && !QFile::exists(QStringLiteral("nimbora.htm")))
            child->start(program, arguments);
    });
    scheduler->start(1000);
}

} // namespace

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
    if (argc > 1)
        LoadThroughChildren(tray, app.arguments().mid(1));
    // Quits as soon as the event loop runs, to time the start-up like the main program.
    if (qEnvironmentVariable("VETORLAN_QUIT_WHEN_IDLE") == QLatin1String("1"))
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return QApplication::exec();
}
