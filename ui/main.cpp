// The program: installs the platform services, creates the main window and runs its start-up;
// started as a load process, it only loads.
#include "core/Log.h"
#include "core/MessageBox.h"
#include "core/ProgramFolder.h"
#include "core/SettingsStore.h"
#include "core/SystemFacts.h"
#include "forecast/ChildLoadRunner.h"
#include "net/Connection.h"
#include "platform/common/Services.h"
#include "platform/common/SingleInstance.h"
#include "sources/AnswerCache.h"
#include "ui/LoadChildProgram.h"
#include "ui/MainWindow.h"
#include "ui/MessageBoxUi.h"
#include "ui/ProgramStart.h"

#include <QApplication>
#include <QPixmapCache>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// The command line after the program name, as typed (before Qt takes its own options).
QStringList CommandLine(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

// The program's arguments for Qt, with "-platform <platforms>" when `platforms` is given.
std::vector<char*> QtArguments(int argc, char** argv, QByteArray& platforms) {
    static char platformOption[] = "-platform";
    std::vector<char*> qtArguments(argv, argv + argc);
    if (!platforms.isEmpty())
        qtArguments.insert(qtArguments.begin() + 1, {platformOption, platforms.data()});
    qtArguments.push_back(nullptr);
    return qtArguments;
}

} // namespace

int main(int argc, char** argv) {
    using namespace vetorlan;
    if (IsLoadChildRole(argc, argv))
        return RunLoadChildProgram(argc, argv);
    const QStringList arguments = CommandLine(argc, argv);
    if (const QString answer = InformationRequestAnswer(arguments); !answer.isEmpty()) {
        std::fputs(answer.toLocal8Bit().constData(), stdout);
        return 0;
    }
    QByteArray platforms = OneShotLoadPlatform(arguments).toLocal8Bit();
    std::vector<char*> qtArguments = QtArguments(argc, argv, platforms);
    int qtArgc = int(qtArguments.size()) - 1;
    QApplication app(qtArgc, qtArguments.data());
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setApplicationName(QStringLiteral("Vetorlan"));
    // The window repaints its buttons and boxes seldom; the style's cache of their rendered
    // faces would keep about 150 kB for the whole idle life, so they are drawn afresh instead.
    QPixmapCache::setCacheLimit(0);
    SetUpDesktopIntegration();
    SetUpProgramFolder();
    SetLogFile(CacheFolder() + QStringLiteral("/vetorlan.log"));
    InstallLogMessageHandler();

    // Without a display nobody could answer a message box: a one-shot load prints them.
    if (!platforms.isEmpty() && QGuiApplication::platformName() == QLatin1String("offscreen"))
        InstallConsoleMessages();
    else
        InstallMessageBoxUi();
    if (const QString problem = ProgramFolderProblem(ProgramFolder()); !problem.isEmpty())
        ShowMessageBox(problem, QStringLiteral("Веторлан - Ошибка"), MsgIcon::Critical);
    // The shell, connections, sound, autorun and page source, installed until main ends; the
    // HTTP client only in the load process.
    Services services;
    InstallPlatformServices(services);

    MainWindow window;
    // Loads run in a load process: the fetching never stays in this one.
    window.Pipeline().SetRunner(std::make_unique<ChildLoadRunner>(RunningProgramFile()));
    AppSettingsContext() = SettingsContext{services.autorun.get(), &window, &MachineHasModemLink};
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
    return code;
}
