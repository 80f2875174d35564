#include "core/ExtraSettings.h"

#include "core/MessageBox.h"
#include "core/ProgramFolder.h"
#include "core/SettingsStore.h"

#include <QSettings>

namespace vetorlan {

namespace {

const QString kFileName = QStringLiteral("Vetorlan.ini");
const QString kBrowserCommand = QStringLiteral("View/BrowserCommand");
const QString kShowTemperature = QStringLiteral("Tray/ShowTemperature");

void ReadExtraSettings(const QSettings& file, ExtraSettings& s) {
    s.BrowserCommand = file.value(kBrowserCommand, s.BrowserCommand).toString();
    s.ShowTemperature = file.value(kShowTemperature, s.ShowTemperature).toBool();
}

void WriteExtraSettings(QSettings& file, const ExtraSettings& s) {
    file.setValue(kBrowserCommand, s.BrowserCommand);
    file.setValue(kShowTemperature, s.ShowTemperature);
}

} // namespace

ExtraSettings& AppExtraSettings() {
    static ExtraSettings settings;
    return settings;
}

void LoadExtraSettings() {
    ExtraSettings s;
    const QSettings file(ProgramFile(kFileName), QSettings::IniFormat);
    ReadExtraSettings(file, s);
    AppExtraSettings() = s;
}

// QSettings writes to a temporary file and renames it over the old one.
FsStatus SaveExtraSettings() {
    const QString path = ProgramFile(kFileName);
    QSettings file(path, QSettings::IniFormat);
    WriteExtraSettings(file, AppExtraSettings());
    file.sync();
    if (file.status() == QSettings::NoError)
        return FsStatus::success();
    const QString why = SaveFailureText(path, ClassifySaveFailure(path, 1024));
    ShowMessageBox(why, QStringLiteral("Ошибка"), MsgIcon::Critical);
    return FsStatus::failure(why);
}

} // namespace vetorlan
