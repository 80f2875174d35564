#pragma once

#include <QList>
#include <QString>
#include <optional>

namespace vetorlan {

// Where a catalogue town lies: the coordinates the live forecast sources are asked for, and
// the time zone its day parts are counted in.
struct Station {
    QString index; // five-digit station index of the catalogue
    QString name;
    double latitude = 0;
    double longitude = 0;
    std::optional<int> elevation; // metres above sea level (below it where negative); empty when unknown
    QString timeZone;             // IANA name
};

// The 400 rows of the station table, in catalogue order.
const QList<Station>& AllStations();

// The row of a station index, or nullptr.
const Station* FindStation(const QString& index);

} // namespace vetorlan
