#include "core/Settings.h"

#include "core/CodePage.h"
#include "core/SystemFacts.h"

#include <QStringList>
#include <algorithm>
#include <array>
#include <cstdint>

namespace vetorlan {

namespace {

constexpr int kLineCount = 39;
// The reader needs lines up to here; the last two ("" and "{End}") are never read.
constexpr int kLastReadLine = 37;
const QLatin1String kSignature("Vetorlan Options");

// A file line: its fixed text, or its key followed by a field of the record.
struct Line {
    const char* text;
    QString Settings::*field = nullptr;
    bool actualWait = false;
};

const std::array<Line, kLineCount>& fileLines() {
    static const std::array<Line, kLineCount> lines = {{
        {"Vetorlan Options"},
        {"{Head}"},
        {""},
        {"[Main:]"},
        {"VersionProgram=1.2 ' Do not edit!"},
        {"AutoRun=", &Settings::AutoRun},
        {"StartTray=", &Settings::StartTray},
        {"WorkMode=", &Settings::WorkMode},
        {"GorodSave=", &Settings::GorodSave},
        {""},
        {"[Loader:]"},
        {"LoadExit=", &Settings::LoadExit},
        {"ShellLoad=", &Settings::ShellLoad},
        {""},
        {"[Direct Connection Mode:]"},
        {"TimeLoad=", &Settings::TimeLoad},
        {"CheckActual=", &Settings::CheckActual},
        {"ActualWait=", nullptr, true},
        {""},
        {"[Dial Up Mode:]"},
        {"PauseOnLine=", &Settings::PauseOnLine},
        {"HangUp=", &Settings::HangUp},
        {""},
        {"[View:]"},
        {"UseInternetExplorer=", &Settings::UseInternetExplorer},
        {""},
        {"[Copy:]"},
        {"NimboraCopy=", &Settings::NimboraCopy},
        {"PathNimboraCopy=", &Settings::PathNimboraCopy},
        {"CopyPictures=", &Settings::CopyPictures},
        {""},
        {"[Adding:]"},
        {"MultiLoad=", &Settings::MultiLoad},
        {"Sound=", &Settings::Sound},
        {"MSGError=", &Settings::MSGError},
        {"IndexStyle=", &Settings::IndexStyle},
        {"TranslitFileName=", &Settings::TranslitFileName},
        {""},
        {"{End}"},
    }};
    return lines;
}

// A value is written on one line: line breaks inside it would shift every later line.
QString oneLine(QString value) {
    value.remove(QLatin1Char('\r'));
    value.remove(QLatin1Char('\n'));
    return value;
}

// Splits at CR LF, a lone CR or a lone LF; a break at the very end opens no new line.
QStringList splitLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\r' && text[i] != u'\n')
            continue;
        lines << text.mid(start, i - start);
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines << text.mid(start);
    return lines;
}

// Everything after the first "=", or the whole line when it holds none.
QString valueOf(const QString& line) {
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    return eq < 0 ? line : line.mid(eq + 1);
}

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

} // namespace

Settings FirstRunSettings(bool modemLink) {
    Settings s;
    s.WorkMode = modemLink ? QStringLiteral("DialUp") : QStringLiteral("DirectConn");
    if (!KeepsBrowserDefaults()) {
        s.UseInternetExplorer = QStringLiteral("False");
        s.PathNimboraCopy.clear();
    }
    return s;
}

Settings& AppSettings() {
    static Settings settings;
    return settings;
}

QByteArray SerializeSettings(const Settings& settings) {
    QString text;
    for (const Line& line : fileLines()) {
        text += QLatin1String(line.text);
        if (line.field)
            text += oneLine(settings.*line.field);
        else if (line.actualWait)
            text += QString::number(settings.ActualWait);
        text += QLatin1String("\r\n");
    }
    return toCp1251(text);
}

std::optional<Settings> ParseSettings(const QByteArray& fileContents) {
    QStringList lines = splitLines(fromCp1251(fileContents));
    if (lines.isEmpty() || lines.front() != kSignature)
        return std::nullopt;
    // In a file cut short, a last line without its line end may be cut too: not read.
    if (lines.size() < kLastReadLine && !fileContents.endsWith('\n') && !fileContents.endsWith('\r'))
        lines.removeLast();
    // A damaged file keeps what could be read: missing lines and a number out of range
    // leave their defaults.
    Settings settings;
    const int readable = std::min<int>(kLastReadLine, static_cast<int>(lines.size()));
    for (int i = 0; i < readable; ++i) {
        const Line& line = fileLines()[i];
        if (line.field)
            settings.*line.field = valueOf(lines[i]);
        else if (line.actualWait)
            settings.ActualWait = LeadingNumber16(valueOf(lines[i])).value_or(settings.ActualWait);
    }
    return settings;
}

std::optional<std::int16_t> LeadingNumber16(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';
    // The whole part, capped well above the 16-bit range so long digit runs cannot overflow.
    long magnitude = 0;
    for (; i < text.size() && isDigit(text[i]); ++i)
        magnitude = std::min(magnitude * 10 + (text[i].unicode() - u'0'), 1000000L);
    int firstFraction = 0;
    bool restNonZero = false;
    if (i < text.size() && text[i] == u'.') {
        ++i;
        if (i < text.size() && isDigit(text[i]))
            firstFraction = text[i++].unicode() - u'0';
        for (; i < text.size() && isDigit(text[i]); ++i)
            restNonZero = restNonZero || text[i] != u'0';
    }
    // Rounded to the nearest integer, a half going to the even neighbour.
    if (firstFraction > 5 || (firstFraction == 5 && (restNonZero || magnitude % 2 == 1)))
        ++magnitude;
    const long value = negative ? -magnitude : magnitude;
    if (value < INT16_MIN || value > INT16_MAX)
        return std::nullopt;
    return std::int16_t(value);
}

} // namespace vetorlan
