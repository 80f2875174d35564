#include "sources/LiveSources.h"

#include "sources/Addresses.h"
#include "sources/Astronomy.h"
#include "sources/DayParts.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimeZone>
#include <QUrl>
#include <limits>

namespace vetorlan {

namespace {

// At most four decimals: the services cache per rounded point and block finer ones.
QString Coordinate(double value) {
    QString text = QString::number(value, 'f', 4);
    while (text.contains(u'.') && (text.endsWith(u'0') || text.endsWith(u'.')))
        text.chop(1);
    return text;
}

QTimeZone ZoneOf(const Station& station) {
    const QTimeZone zone(station.timeZone.toUtf8());
    return zone.isValid() ? zone : QTimeZone::utc();
}

bool ReadObject(const QByteArray& body, QJsonObject& root, QString& error) {
    QJsonParseError parse;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parse);
    if (parse.error != QJsonParseError::NoError || !document.isObject()) {
        error = QStringLiteral("not a JSON object: ") + parse.errorString();
        return false;
    }
    root = document.object();
    return true;
}

// Sunrise, sunset and moon phase of every day, and the check that two days or more remain.
bool FinishDays(QList<DayForecast>& days, const Station& station, const QTimeZone& zone, QString& error) {
    if (days.size() < 2) {
        error = QStringLiteral("fewer than two whole days in the answer");
        return false;
    }
    // The days follow each other from the first.
    const QList<int> moon = MoonPhases(days.first().date, int(days.size()), zone);
    for (qsizetype i = 0; i < days.size(); ++i) {
        const SunDay sun = SunOnDate(days[i].date, station.latitude, station.longitude, zone);
        days[i].sunriseMinutes = sun.sunrise;
        days[i].sunsetMinutes = sun.sunset;
        days[i].sunUpAtMidnight = sun.upAtMidnight;
        days[i].moonPhase = moon[i];
    }
    return true;
}

void SetIssue(Forecast& forecast, const QDateTime& issued, const QTimeZone& zone) {
    const QDateTime local = issued.toTimeZone(zone);
    forecast.issueDate = local.date();
    forecast.issueMinutes = local.time().hour() * 60 + local.time().minute();
}

// A number of `object` within its physical bounds, else empty.
std::optional<double> Value(const QJsonObject& object, const char* name, Quantity quantity) {
    const QJsonValue field = object.value(QLatin1String(name));
    return field.isDouble() ? Plausible(quantity, field.toDouble()) : std::nullopt;
}

QJsonObject Details(const QJsonObject& object, const char* name) {
    return object.value(QLatin1String(name)).toObject().value(u"details"_qs).toObject();
}

// The weather a source's code names; an unknown code keeps its family's (or "no data") and is
// noted for the log.
Condition Known(bool known, const Condition& condition, const QString& code, QStringList& unknown) {
    if (!known && !unknown.contains(code))
        unknown.append(code);
    return condition;
}

void WarnUnknown(const char* source, const Station& station, const QStringList& unknown) {
    if (!unknown.isEmpty())
        qWarning("%s, station %s: unknown weather codes %s", source, qPrintable(station.index),
                 qPrintable(unknown.join(u", "_qs)));
}

struct MetStep {
    qint64 time;
    QJsonObject data;
};

// The instant values of a step; sea-level pressure is brought to the station's elevation.
Instant MetInstant(const MetStep& step, double elevation) {
    const QJsonObject details = Details(step.data, "instant");
    Instant instant;
    instant.time = step.time;
    instant.temperature = Value(details, "air_temperature", Quantity::Temperature);
    const std::optional<double> seaLevel = Value(details, "air_pressure_at_sea_level", Quantity::Pressure);
    if (seaLevel && instant.temperature)
        instant.pressure = Plausible(Quantity::Pressure, StationPressure(*seaLevel, *instant.temperature, elevation));
    instant.humidity = Value(details, "relative_humidity", Quantity::Humidity);
    instant.windFrom = Value(details, "wind_from_direction", Quantity::Direction);
    instant.windSpeed = Value(details, "wind_speed", Quantity::WindSpeed);
    instant.windGust = Value(details, "wind_speed_of_gust", Quantity::WindSpeed);
    return instant;
}

// The span a step opens: its shortest period the answer gives, cut where the next step starts.
// Six-hour extremes count only for a whole period.
std::optional<Span> MetSpan(const MetStep& step, qint64 next, QStringList& unknown) {
    static const std::pair<const char*, qint64> kPeriods[] = {
        {"next_1_hours", 1}, {"next_6_hours", 6}, {"next_12_hours", 12}};
    for (const auto& [name, hours] : kPeriods) {
        const QJsonObject period = step.data.value(QLatin1String(name)).toObject();
        if (period.isEmpty())
            continue;
        Span span;
        span.start = step.time;
        span.end = step.time + hours * 3600;
        const bool cut = next < span.end;
        const double share = cut ? double(next - span.start) / double(span.end - span.start) : 1.0;
        if (cut)
            span.end = next;
        const QString code = period.value(u"summary"_qs).toObject().value(u"symbol_code"_qs).toString();
        Condition condition;
        if (!code.isEmpty())
            span.condition = Known(MetNorwayCondition(code, condition), condition, code, unknown);
        const QJsonObject details = period.value(u"details"_qs).toObject();
        const std::optional<double> amount = Value(details, "precipitation_amount", Quantity::Precipitation);
        if (amount && Plausible(Quantity::Precipitation, *amount / double(hours)))
            span.precipitation = *amount * share;
        span.low = Value(details, "air_temperature_min", Quantity::Temperature);
        span.high = Value(details, "air_temperature_max", Quantity::Temperature);
        if (cut || !span.low || !span.high || *span.low > *span.high)
            span.low = span.high = std::nullopt;
        return span;
    }
    return std::nullopt;
}

QList<MetStep> MetSteps(const QJsonArray& series) {
    QList<MetStep> steps;
    for (const QJsonValue& entry : series) {
        const QJsonObject object = entry.toObject();
        const QDateTime time = QDateTime::fromString(object.value(u"time"_qs).toString(), Qt::ISODate);
        if (time.isValid())
            steps.append({time.toSecsSinceEpoch(), object.value(u"data"_qs).toObject()});
    }
    std::stable_sort(steps.begin(), steps.end(), [](const MetStep& a, const MetStep& b) { return a.time < b.time; });
    steps.erase(
        std::unique(steps.begin(), steps.end(), [](const MetStep& a, const MetStep& b) { return a.time == b.time; }),
        steps.end());
    return steps;
}

// The station's elevation from the table; else the one the answer was made for; else sea level.
double MetElevation(const Station& station, const QJsonObject& root) {
    if (station.elevation)
        return *station.elevation;
    const QJsonArray point = root.value(u"geometry"_qs).toObject().value(u"coordinates"_qs).toArray();
    return point.size() > 2 && point[2].isDouble() ? point[2].toDouble() : 0.0;
}

Timeline MetTimeline(const QJsonObject& root, const Station& station, QStringList& unknown) {
    const QList<MetStep> steps = MetSteps(root.value(u"properties"_qs).toObject().value(u"timeseries"_qs).toArray());
    const double elevation = MetElevation(station, root);
    Timeline timeline;
    for (qsizetype i = 0; i < steps.size(); ++i) {
        timeline.instants.append(MetInstant(steps[i], elevation));
        const qint64 next = i + 1 < steps.size() ? steps[i + 1].time : std::numeric_limits<qint64>::max();
        if (std::optional<Span> span = MetSpan(steps[i], next, unknown))
            timeline.spans.append(*span);
    }
    return timeline;
}

} // namespace

QString MetNorwayUrl(const Station& station) {
    QString url = MetNorwayBase() + u"/complete?lat="_qs + Coordinate(station.latitude) + u"&lon="_qs +
                  Coordinate(station.longitude);
    if (station.elevation)
        url += u"&altitude="_qs + QString::number(*station.elevation);
    return url;
}

bool ReadMetNorway(const QByteArray& body, const Station& station, const QDateTime& now, Forecast& forecast,
                   QString& error) {
    QJsonObject root;
    if (!ReadObject(body, root, error))
        return false;
    const QTimeZone zone = ZoneOf(station);
    QStringList unknown;
    const Timeline timeline = MetTimeline(root, station, unknown);
    if (!MakeForecastDays(timeline, zone, now, forecast, error) || !FinishDays(forecast.days, station, zone, error))
        return false;
    WarnUnknown("MET Norway", station, unknown);
    const QJsonObject properties = root.value(u"properties"_qs).toObject();
    const QDateTime updated =
        QDateTime::fromString(properties.value(u"meta"_qs).toObject().value(u"updated_at"_qs).toString(), Qt::ISODate);
    SetIssue(forecast, updated.isValid() ? updated : now, zone);
    forecast.stationIndex = station.index;
    forecast.source = ForecastSource::MetNorway;
    return true;
}

QString OpenMeteoUrl(const Station& station) {
    QString url = OpenMeteoBase() + u"/forecast?latitude="_qs + Coordinate(station.latitude) + u"&longitude="_qs +
                  Coordinate(station.longitude);
    if (station.elevation)
        url += u"&elevation="_qs + QString::number(*station.elevation);
    return url +
           u"&hourly=temperature_2m,relative_humidity_2m,weather_code,surface_pressure,precipitation,wind_speed_10m,"
           "wind_direction_10m,wind_gusts_10m,is_day&timezone="_qs +
           QString::fromLatin1(QUrl::toPercentEncoding(station.timeZone)) + u"&wind_speed_unit=ms&forecast_days=9"_qs;
}

namespace {

// A column of the hourly arrays in the units the page shows: value * scale + offset.
struct Column {
    QJsonArray values;
    Quantity quantity = Quantity::Temperature;
    double scale = 1, offset = 0;

    std::optional<double> at(qsizetype i) const {
        if (i >= values.size() || !values[i].isDouble())
            return {};
        return Plausible(quantity, values[i].toDouble() * scale + offset);
    }
};

// How to bring a unit Open-Meteo may name to the page's; false for one the page cannot show.
bool Conversion(const QString& unit, Quantity quantity, Column& column) {
    static const QHash<QString, std::pair<double, double>> kUnits = {
        {u"°C"_qs, {1, 0}},         {u"°F"_qs, {5.0 / 9, -32 * 5.0 / 9}},
        {u"m/s"_qs, {1, 0}},        {u"km/h"_qs, {1 / 3.6, 0}},
        {u"mp/h"_qs, {0.44704, 0}}, {u"mph"_qs, {0.44704, 0}},
        {u"kn"_qs, {0.514444, 0}},  {u"hPa"_qs, {1, 0}},
        {u"mm"_qs, {1, 0}},         {u"inch"_qs, {25.4, 0}},
        {u"%"_qs, {1, 0}},          {u"°"_qs, {1, 0}},
    };
    static const QHash<Quantity, QStringList> kAllowed = {
        {Quantity::Temperature, {u"°C"_qs, u"°F"_qs}},
        {Quantity::WindSpeed, {u"m/s"_qs, u"km/h"_qs, u"mp/h"_qs, u"mph"_qs, u"kn"_qs}},
        {Quantity::Pressure, {u"hPa"_qs}},
        {Quantity::Precipitation, {u"mm"_qs, u"inch"_qs}},
        {Quantity::Humidity, {u"%"_qs}},
        {Quantity::Direction, {u"°"_qs}},
    };
    column.quantity = quantity;
    if (unit.isEmpty())
        return true; // not named: the unit the request asked for
    if (!kAllowed.value(quantity).contains(unit))
        return false;
    std::tie(column.scale, column.offset) = kUnits.value(unit);
    return true;
}

struct OpenMeteoColumns {
    QJsonArray time, code, isDay;
    Column temperature, humidity, pressure, seaLevel, precipitation, speed, direction, gust;
};

bool ReadColumns(const QJsonObject& root, OpenMeteoColumns& c, QString& error) {
    const QJsonObject hourly = root.value(u"hourly"_qs).toObject();
    const QJsonObject units = root.value(u"hourly_units"_qs).toObject();
    c.time = hourly.value(u"time"_qs).toArray();
    c.code = hourly.contains(u"weather_code"_qs) ? hourly.value(u"weather_code"_qs).toArray()
                                                 : hourly.value(u"weathercode"_qs).toArray();
    c.isDay = hourly.value(u"is_day"_qs).toArray();
    const std::tuple<const char*, Quantity, Column*> columns[] = {
        {"temperature_2m", Quantity::Temperature, &c.temperature},
        {"relative_humidity_2m", Quantity::Humidity, &c.humidity},
        {"surface_pressure", Quantity::Pressure, &c.pressure},
        {"pressure_msl", Quantity::Pressure, &c.seaLevel},
        {"precipitation", Quantity::Precipitation, &c.precipitation},
        {"wind_speed_10m", Quantity::WindSpeed, &c.speed},
        {"wind_direction_10m", Quantity::Direction, &c.direction},
        {"wind_gusts_10m", Quantity::WindSpeed, &c.gust},
    };
    for (const auto& [name, quantity, column] : columns) {
        const QString unit = units.value(QLatin1String(name)).toString();
        column->values = hourly.value(QLatin1String(name)).toArray();
        if (!Conversion(unit, quantity, *column)) {
            error = QStringLiteral("unit %1 of %2 cannot be shown").arg(unit, QLatin1String(name));
            return false;
        }
    }
    if (c.time.isEmpty()) {
        error = QStringLiteral("no hourly values");
        return false;
    }
    return true;
}

struct OpenMeteoContext {
    const OpenMeteoColumns& columns;
    QTimeZone zone;
    double elevation = 0; // for answers that give sea-level pressure only
    QStringList unknown;
};

// One hour: its instant and two spans, the hour before it (precipitation and gusts are sums
// and maxima of the preceding hour) and the hour around it (its weather).
void ReadHour(qsizetype i, OpenMeteoContext& context, Timeline& timeline) {
    const OpenMeteoColumns& c = context.columns;
    // The answer's times are the town's wall clock (timezone= in the request).
    const QDateTime wall = QDateTime::fromString(c.time[i].toString(), Qt::ISODate);
    if (!wall.isValid())
        return;
    Instant instant;
    instant.time = QDateTime(wall.date(), wall.time(), context.zone).toSecsSinceEpoch();
    if (!timeline.instants.isEmpty() && instant.time <= timeline.instants.last().time)
        return;
    instant.temperature = c.temperature.at(i);
    instant.humidity = c.humidity.at(i);
    instant.pressure = c.pressure.at(i);
    const std::optional<double> seaLevel = c.seaLevel.at(i);
    if (!instant.pressure && seaLevel && instant.temperature)
        instant.pressure =
            Plausible(Quantity::Pressure, StationPressure(*seaLevel, *instant.temperature, context.elevation));
    instant.windSpeed = c.speed.at(i);
    instant.windFrom = c.direction.at(i);
    timeline.instants.append(instant);
    Span before;
    before.start = instant.time - 3600;
    before.end = instant.time;
    before.precipitation = c.precipitation.at(i);
    before.windGust = c.gust.at(i);
    timeline.spans.append(before);
    if (i < c.code.size() && c.code[i].isDouble()) {
        const int code = c.code[i].toInt();
        const bool day = i >= c.isDay.size() || c.isDay[i].toInt(1) != 0;
        Condition condition;
        const bool known = WmoCondition(code, day, condition);
        Span around;
        around.start = instant.time - 1800;
        around.end = instant.time + 1800;
        around.condition = Known(known, condition, QString::number(code), context.unknown);
        timeline.spans.append(around);
    }
}

} // namespace

bool ReadOpenMeteo(const QByteArray& body, const Station& station, const QDateTime& now, const QDateTime& fetched,
                   Forecast& forecast, QString& error) {
    QJsonObject root;
    OpenMeteoColumns columns;
    if (!ReadObject(body, root, error) || !ReadColumns(root, columns, error))
        return false;
    const QTimeZone zone = ZoneOf(station);
    const QJsonValue answerElevation = root.value(u"elevation"_qs);
    OpenMeteoContext context{
        columns, zone, station.elevation ? double(*station.elevation) : answerElevation.toDouble(0), {}};
    Timeline timeline;
    for (qsizetype i = 0; i < columns.time.size(); ++i)
        ReadHour(i, context, timeline);
    if (!MakeForecastDays(timeline, zone, now, forecast, error) || !FinishDays(forecast.days, station, zone, error))
        return false;
    WarnUnknown("Open-Meteo", station, context.unknown);
    SetIssue(forecast, fetched, zone);
    forecast.stationIndex = station.index;
    forecast.source = ForecastSource::OpenMeteo;
    return true;
}

} // namespace vetorlan
