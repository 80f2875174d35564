#include "sources/Stations.h"

#include <QFile>
#include <QHash>

// Resources of a static library must be registered by name, outside any namespace.
static void InitStationResources() {
    Q_INIT_RESOURCE(stations);
}

namespace vetorlan {

namespace {

// index,name,lat,lon,elevation_m,tz,source; a row that does not read whole is left out.
bool ParseRow(const QString& line, Station& station) {
    const QStringList fields = line.split(u',');
    if (fields.size() != 7 || fields[0].size() != 5)
        return false;
    bool latOk = false, lonOk = false;
    station.index = fields[0];
    station.name = fields[1];
    station.latitude = fields[2].toDouble(&latOk);
    station.longitude = fields[3].toDouble(&lonOk);
    bool elevationOk = false;
    const int elevation = fields[4].toInt(&elevationOk);
    station.elevation = elevationOk ? std::optional(elevation) : std::nullopt;
    station.timeZone = fields[5];
    return latOk && lonOk && !station.timeZone.isEmpty();
}

QList<Station> ReadTable() {
    InitStationResources();
    QFile file(QStringLiteral(":/vetorlan/stations.csv"));
    QList<Station> stations;
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return stations;
    file.readLine(); // header
    while (!file.atEnd()) {
        Station station;
        if (ParseRow(QString::fromUtf8(file.readLine()).trimmed(), station))
            stations.append(station);
    }
    return stations;
}

} // namespace

const QList<Station>& AllStations() {
    static const QList<Station> stations = ReadTable();
    return stations;
}

const Station* FindStation(const QString& index) {
    static const QHash<QString, qsizetype> byIndex = [] {
        QHash<QString, qsizetype> positions;
        for (qsizetype i = 0; i < AllStations().size(); ++i)
            positions.insert(AllStations()[i].index, i);
        return positions;
    }();
    const auto found = byIndex.constFind(index);
    return found == byIndex.constEnd() ? nullptr : &AllStations()[*found];
}

} // namespace vetorlan
