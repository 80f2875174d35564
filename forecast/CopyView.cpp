#include "forecast/CopyView.h"

#include "core/ExtraSettings.h"
#include "core/FileSystemObject.h"
#include "core/MessageBox.h"
#include "core/ProgramFolder.h"
#include "core/Settings.h"
#include "core/SystemFacts.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <atomic>

namespace vetorlan {

namespace {

// Stands in while no shell is installed: opens nothing.
class NoShell : public Shell {
public:
    bool OpenDocument(const QString&) override { return false; }
    bool StartProgram(const QString&, const QStringList&) override { return false; }
};

std::atomic<Shell*> installedShell = nullptr;

// Everything before the last separator of the copy path; empty when there is none.
QString copyFolderOf(const QString& path) {
    qsizetype cut = path.size() - 1;
    while (cut >= 0 && !IsPathSeparator(path[cut]))
        --cut;
    if (cut < 0)
        return QString();
    return cut == 0 ? path.left(1) : path.left(cut); // "/name" lies in the root folder
}

bool isProgramFolder(const QString& folder) {
    const QString a = QFileInfo(folder).canonicalFilePath();
    return !a.isEmpty() && a == QFileInfo(ProgramFolder()).canonicalFilePath();
}

// Whether any file of the program folder matches the pattern (letter case ignored).
bool anyProgramFileMatches(const QString& pattern) {
    return !QDir(ProgramFolder()).entryList({pattern}, QDir::Files | QDir::Hidden).isEmpty();
}

// Copies the files of the program folder that match; none matching is not an error.
bool copyMatching(const QString& pattern, const QString& target) {
    if (!anyProgramFileMatches(pattern))
        return true;
    return bool(CopyFile(ProgramFolder() + "/" + pattern, target));
}

void tellBrowserFailure(const QString& why) {
    ShowMessageBox(BrowserFailureMessage(why), QStringLiteral("Ошибка"), MsgIcon::Critical);
}

// The browser command of Vetorlan.ini with the page as its last argument; without one, the
// platform's forced browser or else the default one.
void openInChosenBrowser(const QString& page) {
    QStringList command = QProcess::splitCommand(AppExtraSettings().BrowserCommand);
    if (command.isEmpty() && !ForcedBrowserProgram().isEmpty())
        command = QStringList{ForcedBrowserProgram()};
    if (command.isEmpty()) {
        CurrentShell()->OpenPage(page, tellBrowserFailure);
        return;
    }
    const QString program = command.takeFirst();
    if (!CurrentShell()->StartProgram(program, command << page))
        tellBrowserFailure(QStringLiteral("программа «%1» не запускается").arg(program));
}

} // namespace

void SetShell(Shell* shell) {
    installedShell = shell;
}

Shell* CurrentShell() {
    static NoShell none;
    Shell* shell = installedShell.load();
    return shell ? shell : &none;
}

QString BrowserFailureMessage(const QString& why) {
    return QStringLiteral("Не удалось открыть прогноз погоды в браузере.\nПричина: %1.\n\n"
                          "Выберите браузер в настройках программы (кнопка 'Настройки', раздел 'Просмотр').")
        .arg(why);
}

void CopyForecast(const Settings& settings) {
    const QString target = copyFolderOf(settings.PathNimboraCopy);
    if (target.isEmpty() || !FolderExists(target)) {
        ShowMessageBox("Директория для копирования не найдена !", "Ошибка", MsgIcon::Critical);
        return;
    }
    if (isProgramFolder(target))
        return; // the pages already lie there; copying a file onto itself could only damage it
    bool copied = copyMatching("*.htm", target);
    copied = copyMatching("*.css", target) && copied;
    if (IsTrue(settings.CopyPictures)) {
        const QString pictures = ProgramFile("_i");
        if (FolderExists(pictures))
            copied = bool(CopyFolder(pictures, target + "/_i")) && copied;
    }
    if (!copied)
        ShowMessageBox("Не удалось скопировать прогноз погоды в директорию " + QDir::toNativeSeparators(target) + " !",
                       "Ошибка", MsgIcon::Critical);
}

void ShowForecast(const Settings& settings) {
    const QString page = ProgramFile(kMainPageName);
    if (!FileExists(page)) {
        ShowMessageBox("Нет загруженного прогноза погоды!", "Файл не найден", MsgIcon::Information);
        return;
    }
    const QString& how = settings.UseInternetExplorer;
    if (how == QLatin1String("False"))
        CurrentShell()->OpenPage(page, tellBrowserFailure);
    else if (how == QLatin1String("True"))
        openInChosenBrowser(page);
}

} // namespace vetorlan
