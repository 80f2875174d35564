#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

namespace vetorlan {

// The settings record: every field is named by its key in Options.ini. Booleans are the
// exact strings "True"/"False" and are compared case-sensitively, untrimmed.
struct Settings {
    QString AutoRun = "True";
    QString StartTray = "False";
    QString WorkMode = "DialUp";
    QString GorodSave = "True";
    QString LoadExit = "False";
    QString ShellLoad = "False";
    QString TimeLoad = "07:00";
    QString CheckActual = "True";
    std::int16_t ActualWait = 12;
    QString PauseOnLine = "5";
    QString HangUp = "False";
    QString UseInternetExplorer = "True";
    QString NimboraCopy = "False";
    QString PathNimboraCopy = "c:\\";
    QString CopyPictures = "False";
    QString MultiLoad = "False";
    QString Sound = "True";
    QString MSGError = "True";
    QString IndexStyle = "Animation";
    QString TranslitFileName = "False";

    bool operator==(const Settings&) const = default;
};

// The settings a first run starts with: the record's defaults, with a permanent line unless
// the machine has a modem-type link. On Linux the page opens in the desktop's default browser,
// and the copy path stays empty (copying off) until the user picks a real folder: "c:\\"
// names none there.
Settings FirstRunSettings(bool modemLink);

// The process-wide instance that every part of the program reads and the dialogs write.
Settings& AppSettings();

inline bool IsTrue(const QString& value) {
    return value == QLatin1String("True");
}
inline bool IsNotFalse(const QString& value) {
    return value != QLatin1String("False");
}
inline bool IsDialUp(const Settings& s) {
    return s.WorkMode == QLatin1String("DialUp");
}
inline bool IsMultiLoad(const Settings& s) {
    return IsTrue(s.MultiLoad);
}

// The 39 lines of Options.ini in Windows-1251, each ended by CR LF.
QByteArray SerializeSettings(const Settings& settings);

// Reads Options.ini positionally. nullopt when the file is not recognised (an empty file
// or a wrong signature). Lines missing at the end and an ActualWait out of 16 bits keep
// their defaults.
std::optional<Settings> ParseSettings(const QByteArray& fileContents);

// The leading decimal number of a text (leading blanks skipped; 0 when there is none),
// rounded half to even. nullopt when it does not fit in 16 bits.
std::optional<std::int16_t> LeadingNumber16(const QString& text);

} // namespace vetorlan
