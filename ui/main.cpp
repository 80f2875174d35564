// The program: installs the platform services, creates the main window and runs its start-up.
#include "core/Log.h"
#include "core/ProgramFolder.h"
#include "core/SettingsStore.h"
#include "core/Sound.h"
#include "forecast/AnswerCache.h"
#include "forecast/CopyView.h"
#include "forecast/Download.h"
#include "net/Connection.h"
#include "net/ConnectionBackend.h"
#include "platform/CurlFetcher.h"
#include "platform/CurlHttpClient.h"
#include "platform/DesktopShell.h"
#include "platform/SingleInstance.h"
#include "ui/MainWindow.h"
#include "ui/MessageBoxUi.h"

#ifdef Q_OS_WIN
#include "platform/RasBackend.h"
#include "platform/RegistryAutorun.h"
#include "platform/WindowsSoundPlayer.h"
#else
#include "platform/CanberraSoundPlayer.h"
#include "platform/NetworkManagerBackend.h"
#include "platform/XdgAutostart.h"
#endif

#include <QApplication>
#include <QPixmapCache>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

namespace {

// The command line after the program name, as typed (before Qt takes its own options).
QStringList CommandLine(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

} // namespace

int main(int argc, char** argv) {
    using namespace vetorlan;
    const QStringList arguments = CommandLine(argc, argv);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setApplicationName(QStringLiteral("Vetorlan"));
    // The window repaints its buttons and boxes seldom; the style's cache of their rendered
    // faces would keep about 150 kB for the whole idle life, so they are drawn afresh instead.
    QPixmapCache::setCacheLimit(0);
    SetUpProgramFolder();
    SetLogFile(CacheFolder() + QStringLiteral("/vetorlan.log"));
    InstallLogMessageHandler();

    InstallMessageBoxUi();
    DesktopShell shell;
    SetShell(&shell);
    CurlFetcher fetcher;
    SetFetcher(&fetcher);
    CurlHttpClient liveSources;
    SetHttpClient(&liveSources);
#ifdef Q_OS_WIN
    RasBackend connections;
    RegistryAutorunStore autorun;
#else
    NetworkManagerBackend connections;
    XdgAutostartStore autorun;
#endif
    SetConnectionBackend(&connections);
#ifdef Q_OS_WIN
    WindowsSoundPlayer sound;
#else
    CanberraSoundPlayer sound;
#endif
    SetSoundPlayer(&sound);

    MainWindow window;
    AppSettingsContext() = SettingsContext{&autorun, &window, &MachineHasModemLink};
    SingleInstance instance(ProgramFolder());
    window.SetPreviousInstanceCheck([&instance] { return !instance.TryAcquire(); });
    window.SetEndAtOnce([&instance](int exitCode) {
        instance.Release();
        std::fflush(nullptr);
        std::_Exit(exitCode);
    });
    window.StartUp(arguments);

    if (qEnvironmentVariable("VETORLAN_QUIT_WHEN_IDLE") == QLatin1String("1"))
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    const int code = QApplication::exec();
    AppSettingsContext() = SettingsContext{};
    SetSoundPlayer(nullptr);
    SetConnectionBackend(nullptr);
    SetHttpClient(nullptr);
    SetFetcher(nullptr);
    SetShell(nullptr);
    return code;
}
