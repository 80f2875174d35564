#pragma once

#include <QList>
#include <QString>

namespace vetorlan {

// Why one source gave no forecast for a town: the source's name ("MET Norway", "Open-Meteo",
// the page service's host), a short Russian reason for the user ("HTTP 503", "нет ответа за
// 4 с"), the HTTP status where an answer came, and the technical wording for the log.
struct SourceFailure {
    QString source;
    QString reason;
    int httpStatus = 0;
    QString detail;
};
using SourceFailures = QList<SourceFailure>;

// "MET Norway: HTTP 503; Open-Meteo: нет ответа за 4 с".
QString ReasonsText(const SourceFailures& failures);

// The same with the HTTP status and the technical wording, for the log.
QString ReasonsLogText(const SourceFailures& failures);

// The user's reason for an HTTP status that is not a forecast: "HTTP 503".
QString HttpStatusReason(int status);

} // namespace vetorlan
