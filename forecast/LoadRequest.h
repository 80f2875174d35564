#pragma once

#include "core/Settings.h"
#include "forecast/LatinFileNames.h"
#include "sources/SourceFailure.h"
#include "towns/Selection.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

namespace vetorlan {

// One town of a load: its catalogue entry and the page file it is written to.
struct LoadTown {
    TownEntry entry;
    QString file;
};

// What a load is asked to do: the program folder, the settings the load started with, the
// towns to fetch in list order, and the multi-town list (for file names and the index page).
struct LoadRequest {
    QString folder;
    Settings settings;
    std::vector<LoadTown> towns;
    TownSelection selected;
};

// How one town of a load ended.
struct TownResult {
    bool ok = false;
    SourceFailures failures;
};

// How a load ended, with every town taken (in list order) and the file names it gave them.
struct LoadOutcome {
    enum class End { Succeeded, Failed, FileError, Cancelled };
    End end = End::Failed;
    // A file error's text, or why the load process gave no outcome.
    QString reason;
    std::vector<TownResult> towns;
    TownFileNameList fileNames;

    int FailedTowns() const;
    // The failures of the last town taken, plus the load process's own reason when it broke off.
    SourceFailures LastTownFailures() const;
};

// The load process's exit codes.
enum LoadChildExit {
    kChildSucceeded = 0,
    kChildFailed = 1,
    kChildFileError = 2,
    kChildCancelled = 3,
    kChildBadRequest = 4
};

// The request as lines for the load process's standard input (the last line is "end").
QByteArray EncodeRequest(const LoadRequest& request);
// nullopt for another version, a line not understood or a request without its "end".
std::optional<LoadRequest> DecodeRequest(const QByteArray& text);

// The reply lines: the header, one line per town as it is taken, the end line last.
QByteArray EncodeReplyHeader();
QByteArray EncodeTownLine(int number, const TownResult& town);
QByteArray EncodeEnd(const LoadOutcome& outcome);
// One "town" reply line decoded (nullopt for any other line).
std::optional<TownResult> DecodeTownLine(const QByteArray& line);
// The whole reply; one without its header or its end line is a failed load.
LoadOutcome DecodeReply(const QByteArray& text);

} // namespace vetorlan
