#include "ui/ProgramStart.h"

#include "core/ProgramFolder.h"
#include "core/ProjectInfo.h"
#include "core/SystemFacts.h"
#include "ui/Pictures.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace vetorlan {

namespace {

QString HelpText() {
    return QStringLiteral("Использование: nimbora [/load | --help | --version]\n"
                          "\n"
                          "Веторлан загружает подробный прогноз погоды для одного или нескольких городов\n"
                          "и сохраняет страницы для просмотра без Интернета. Без параметров программа\n"
                          "открывает своё окно или значок в области уведомлений.\n"
                          "\n"
                          "  /load      загрузить прогноз один раз с сохранёнными настройками и завершиться;\n"
                          "             работает и без графического сеанса (например, из cron)\n"
                          "  --help     показать эту справку и выйти\n"
                          "  --version  показать версию и выйти\n"
                          "\n"
                          "Подробнее: man nimbora\n");
}

QString VersionText() {
    QString text = QStringLiteral("nimbora (Vetorlan) ") + ProgramVersion() + u'\n';
    if (!ProjectHomepage().isEmpty())
        text += ProjectHomepage() + u'\n';
    return text;
}

} // namespace

QString InformationRequestAnswer(const QStringList& arguments) {
    if (arguments.contains(QLatin1String("--help")) || arguments.contains(QLatin1String("-h")))
        return HelpText();
    if (arguments.contains(QLatin1String("--version")))
        return VersionText();
    return {};
}

QString OneShotLoadPlatform(const QStringList& arguments) {
    if (!OneShotLoadMayLackDisplay() || arguments != QStringList{QStringLiteral("/load")} ||
        !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return {};
    // An X display that cannot be reached makes Qt try the next platform instead of aborting.
    return qEnvironmentVariableIsEmpty("DISPLAY") ? QStringLiteral("offscreen") : QStringLiteral("xcb;offscreen");
}

void SetUpDesktopIntegration() {
    QApplication::setWindowIcon(TrayIconPicture(TrayIconKind::Normal));
    QGuiApplication::setDesktopFileName(QStringLiteral("vetorlan"));
    // The translation file is mapped, not read: it costs the idle program almost nothing.
    static QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTexts);
}

QString ProgramFolderProblem(const QString& folder) {
    const QString shown = QDir::toNativeSeparators(folder);
    if (!QFileInfo(folder).isDir())
        return QStringLiteral("Не удалось создать папку данных программы:\n%1\n\n"
                              "Настройки и прогнозы сохранить не удастся.")
            .arg(shown);
    if (!FolderWritable(folder))
        return QStringLiteral("В папку данных программы нельзя записывать:\n%1\n\n"
                              "Настройки и прогнозы сохранить не удастся.")
            .arg(shown);
    return {};
}

} // namespace vetorlan
