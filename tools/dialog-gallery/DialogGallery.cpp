// Shows one dialog for a look at its layout, in a throw-away program folder:
//   dialog-gallery settings|copytarget|about|wizard1..wizard4 [picture.png | seconds]
// With a file name it saves the dialog's picture and ends; otherwise it stays on screen for
// the given seconds (3 by default).
#include "core/ProgramFolder.h"
#include "core/Settings.h"
#include "ui/AboutWindow.h"
#include "ui/CopyTargetDialog.h"
#include "ui/Dialogs.h"
#include "ui/MainWindowApi.h"
#include "ui/SettingsDialog.h"
#include "ui/SetupWizard.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

namespace {

// The dialogs' view of a main window that is not there.
class AbsentMainWindow : public vetorlan::MainWindowApi {
public:
    void PauseTimers() override {}
    void RestoreTimers() override {}
    void ShowMainWindow() override {}
    void HideMainWindow() override {}
};

QWidget* ShowDialog(const QString& which, vetorlan::MainWindowApi& main) {
    using namespace vetorlan;
    if (which == QLatin1String("settings")) {
        ShowSettingsDialog(main, nullptr, false);
        return CurrentSettingsDialog();
    }
    if (which == QLatin1String("copytarget") || which == QLatin1String("about")) {
        QWidget* shown =
            which == QLatin1String("about") ? static_cast<QWidget*>(new AboutWindow) : new CopyTargetDialog({});
        shown->show();
        return shown;
    }
    if (which.startsWith(QLatin1String("wizard"))) {
        ShowWizardPage(main, which.mid(6).toInt());
        return CurrentWizardPage();
    }
    return nullptr;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments().mid(1);
    QTemporaryDir folder;
    vetorlan::SetProgramFolder(folder.path());
    vetorlan::Settings& settings = vetorlan::AppSettings();
    settings.WorkMode = QStringLiteral("DirectConn");
    settings.NimboraCopy = QStringLiteral("True");
    settings.PathNimboraCopy = QStringLiteral("/media/server/weather/Nimbora.htm");
    AbsentMainWindow main;
    QWidget* shown = arguments.isEmpty() ? nullptr : ShowDialog(arguments.first(), main);
    if (!shown) {
        std::fputs("usage: dialog-gallery settings|copytarget|about|wizard1..wizard4 [picture.png | seconds]\n",
                   stderr);
        return 2;
    }
    shown->move(20, 20);
    const QString second = arguments.value(1);
    if (second.endsWith(QLatin1String(".png"))) {
        QApplication::processEvents();
        return shown->grab().save(second) ? 0 : 1;
    }
    const int seconds = second.isEmpty() ? 3 : second.toInt();
    QTimer::singleShot(1000 * seconds, &app, &QCoreApplication::quit);
    return QApplication::exec();
}
