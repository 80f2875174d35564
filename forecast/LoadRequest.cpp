#include "forecast/LoadRequest.h"

#include <QList>
#include <utility>

namespace vetorlan {

namespace {

const QByteArray kHeader = "vetorlan-load 1";

// The settings travel as "option" lines, one per field, named by their Options.ini keys.
const std::pair<const char*, QString Settings::*> kTextOptions[] = {
    {"AutoRun", &Settings::AutoRun},
    {"StartTray", &Settings::StartTray},
    {"WorkMode", &Settings::WorkMode},
    {"GorodSave", &Settings::GorodSave},
    {"LoadExit", &Settings::LoadExit},
    {"ShellLoad", &Settings::ShellLoad},
    {"TimeLoad", &Settings::TimeLoad},
    {"CheckActual", &Settings::CheckActual},
    {"PauseOnLine", &Settings::PauseOnLine},
    {"HangUp", &Settings::HangUp},
    {"UseInternetExplorer", &Settings::UseInternetExplorer},
    {"NimboraCopy", &Settings::NimboraCopy},
    {"PathNimboraCopy", &Settings::PathNimboraCopy},
    {"CopyPictures", &Settings::CopyPictures},
    {"MultiLoad", &Settings::MultiLoad},
    {"Sound", &Settings::Sound},
    {"MSGError", &Settings::MSGError},
    {"IndexStyle", &Settings::IndexStyle},
    {"TranslitFileName", &Settings::TranslitFileName},
};

// A field holds any text: backslash, tab and line ends are escaped.
QByteArray Escape(const QString& text) {
    QByteArray out;
    for (const char c : text.toUtf8()) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString Unescape(const QByteArray& field) {
    QByteArray out;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] != '\\' || i + 1 == field.size()) {
            out += field[i];
            continue;
        }
        const char c = field[++i];
        out += c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c;
    }
    return QString::fromUtf8(out);
}

QByteArray Line(std::initializer_list<QByteArray> fields) {
    QByteArray line;
    for (const QByteArray& field : fields)
        line += (line.isEmpty() ? QByteArray() : QByteArray("\t")) + field;
    return line + '\n';
}

QList<QByteArray> Lines(const QByteArray& text) {
    QList<QByteArray> lines = text.split('\n');
    for (QByteArray& line : lines)
        if (line.endsWith('\r'))
            line.chop(1);
    return lines;
}

bool SetOption(Settings& settings, const QByteArray& key, const QString& value) {
    if (key == "ActualWait") {
        bool ok = false;
        settings.ActualWait = std::int16_t(value.toShort(&ok));
        return ok;
    }
    for (const auto& [name, field] : kTextOptions)
        if (key == name) {
            settings.*field = value;
            return true;
        }
    return false;
}

QByteArray EndWord(LoadOutcome::End end) {
    switch (end) {
    case LoadOutcome::End::Succeeded:
        return "succeeded";
    case LoadOutcome::End::FileError:
        return "file-error";
    case LoadOutcome::End::Cancelled:
        return "cancelled";
    case LoadOutcome::End::Failed:
        break;
    }
    return "failed";
}

std::optional<LoadOutcome::End> EndOf(const QByteArray& word) {
    for (const auto end : {LoadOutcome::End::Succeeded, LoadOutcome::End::Failed, LoadOutcome::End::FileError,
                           LoadOutcome::End::Cancelled})
        if (EndWord(end) == word)
            return end;
    return std::nullopt;
}

} // namespace

int LoadOutcome::FailedTowns() const {
    int failed = 0;
    for (const TownResult& town : towns)
        failed += town.ok ? 0 : 1;
    return failed;
}

SourceFailures LoadOutcome::LastTownFailures() const {
    SourceFailures failures = towns.empty() ? SourceFailures{} : towns.back().failures;
    if (end == End::Failed && !reason.isEmpty())
        failures.append({QStringLiteral("процесс загрузки"), reason, 0, reason});
    return failures;
}

QByteArray EncodeRequest(const LoadRequest& request) {
    QByteArray text = kHeader + '\n' + Line({"folder", Escape(request.folder)});
    for (const auto& [name, field] : kTextOptions)
        text += Line({"option", name, Escape(request.settings.*field)});
    text += Line({"option", "ActualWait", QByteArray::number(request.settings.ActualWait)});
    for (const LoadTown& town : request.towns)
        text += Line({"town", Escape(town.entry), Escape(town.file)});
    for (int i = 1; i <= request.selected.count; ++i)
        text += Line({"selected", Escape(request.selected[i])});
    return text + "end\n";
}

std::optional<LoadRequest> DecodeRequest(const QByteArray& text) {
    const QList<QByteArray> lines = Lines(text);
    if (lines.isEmpty() || lines.first() != kHeader)
        return std::nullopt;
    LoadRequest request;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QList<QByteArray> f = lines[i].split('\t');
        if (f[0] == "end" && f.size() == 1)
            return request;
        if (f[0] == "folder" && f.size() == 2)
            request.folder = Unescape(f[1]);
        else if (f[0] == "option" && f.size() == 3 && SetOption(request.settings, f[1], Unescape(f[2])))
            continue;
        else if (f[0] == "town" && f.size() == 3)
            request.towns.push_back({Unescape(f[1]), Unescape(f[2])});
        else if (f[0] == "selected" && f.size() == 2)
            request.selected.Add(Unescape(f[1]));
        else
            return std::nullopt;
    }
    return std::nullopt;
}

QByteArray EncodeReplyHeader() {
    return kHeader + '\n';
}

QByteArray EncodeTownLine(int number, const TownResult& town) {
    QByteArray line = "town\t" + QByteArray::number(number) + (town.ok ? "\tok" : "\tfailed");
    for (const SourceFailure& f : town.failures)
        line += '\t' + Escape(f.source) + '\t' + Escape(f.reason) + '\t' + QByteArray::number(f.httpStatus) + '\t' +
                Escape(f.detail);
    return line + '\n';
}

std::optional<TownResult> DecodeTownLine(const QByteArray& line) {
    QByteArray bare = line;
    while (bare.endsWith('\n') || bare.endsWith('\r'))
        bare.chop(1);
    const QList<QByteArray> f = bare.split('\t');
    if (f.size() < 3 || f[0] != "town" || (f[2] != "ok" && f[2] != "failed") || (f.size() - 3) % 4 != 0)
        return std::nullopt;
    TownResult town{f[2] == "ok", {}};
    for (qsizetype i = 3; i < f.size(); i += 4)
        town.failures.append({Unescape(f[i]), Unescape(f[i + 1]), f[i + 2].toInt(), Unescape(f[i + 3])});
    return town;
}

QByteArray EncodeEnd(const LoadOutcome& outcome) {
    QByteArray text;
    for (int i = 1; i <= kCatalogSize; ++i)
        if (!outcome.fileNames[i].isEmpty())
            text += Line({"name", QByteArray::number(i), Escape(outcome.fileNames[i])});
    if (outcome.reason.isEmpty())
        return text + Line({"end", EndWord(outcome.end)});
    return text + Line({"end", EndWord(outcome.end), Escape(outcome.reason)});
}

LoadOutcome DecodeReply(const QByteArray& text) {
    const QList<QByteArray> lines = Lines(text);
    LoadOutcome outcome;
    if (lines.isEmpty() || lines.first() != kHeader) {
        outcome.reason = QStringLiteral("ответ процесса загрузки не распознан");
        return outcome;
    }
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QList<QByteArray> f = lines[i].split('\t');
        if (std::optional<TownResult> town = DecodeTownLine(lines[i])) {
            outcome.towns.push_back(std::move(*town));
        } else if (f[0] == "name" && f.size() == 3 && f[1].toInt() >= 1 && f[1].toInt() <= kCatalogSize) {
            outcome.fileNames[f[1].toInt()] = Unescape(f[2]);
        } else if (f[0] == "end" && f.size() <= 3 && f.size() >= 2 && EndOf(f[1])) {
            outcome.end = *EndOf(f[1]);
            outcome.reason = f.size() == 3 ? Unescape(f[2]) : QString();
            return outcome;
        }
    }
    outcome.end = LoadOutcome::End::Failed;
    outcome.reason = QStringLiteral("ответ процесса загрузки оборван");
    return outcome;
}

} // namespace vetorlan
