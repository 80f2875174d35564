#include "DialogsTestSupport.h"

#include "ui/AboutWindow.h"
#include "ui/CopyTargetDialog.h"
#include "ui/Dialogs.h"
#include "ui/SettingsDialog.h"
#include "ui/SetupWizard.h"

#include <QTest>

namespace vetorlan::test {
namespace {

// Shows one dialog on a real display for a look at its layout:
// VETORLAN_DIALOG_GALLERY=settings|copytarget|about|wizard1..wizard4 and DISPLAY set.
// Skipped in ordinary runs.
TEST_F(DialogFixture, Gallery) {
    const QString which = qEnvironmentVariable("VETORLAN_DIALOG_GALLERY");
    if (which.isEmpty())
        GTEST_SKIP() << "set VETORLAN_DIALOG_GALLERY to show a dialog";
    const int seconds = qEnvironmentVariableIntValue("VETORLAN_DIALOG_SECONDS");
    AppSettings().WorkMode = "DirectConn";
    AppSettings().NimboraCopy = "True";
    AppSettings().PathNimboraCopy = "/media/server/weather/Nimbora.htm";
    QWidget* shown = nullptr;
    if (which == "settings") {
        ShowSettingsDialog(main, nullptr, false);
        shown = CurrentSettingsDialog();
    } else if (which == "copytarget" || which == "about") {
        shown = which == "about" ? static_cast<QWidget*>(new AboutWindow) : new CopyTargetDialog({});
        shown->show();
    } else if (which.startsWith("wizard")) {
        ShowWizardPage(main, which.mid(6).toInt());
        shown = CurrentWizardPage();
    }
    ASSERT_NE(shown, nullptr);
    shown->move(20, 20);
    QTest::qWait(1000 * (seconds > 0 ? seconds : 3));
}

} // namespace
} // namespace vetorlan::test
