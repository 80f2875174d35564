#include "forecast/LiveSources.h"

#include "forecast/Astronomy.h"
#include "forecast/DayParts.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimeZone>
#include <QUrl>

namespace vetorlan {

namespace {

QString BaseUrl(const char* variable, const char* fallback) {
    QString base = qEnvironmentVariable(variable).trimmed();
    if (base.isEmpty())
        base = QString::fromLatin1(fallback);
    while (base.endsWith(u'/'))
        base.chop(1);
    return base;
}

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

bool Number(const QJsonObject& object, const char* name, double& value) {
    const QJsonValue field = object.value(QLatin1String(name));
    value = field.toDouble();
    return field.isDouble();
}

QString MetSymbol(const QJsonObject& data) {
    for (const char* period : {"next_1_hours", "next_6_hours", "next_12_hours"}) {
        const QString code = data.value(QLatin1String(period))
                                 .toObject()
                                 .value(u"summary"_qs)
                                 .toObject()
                                 .value(u"symbol_code"_qs)
                                 .toString();
        if (!code.isEmpty())
            return code;
    }
    return {};
}

// One element of properties.timeseries; false when a field the page needs is missing. A step
// without any symbol (the series' last) is left out.
bool ReadMetStep(const QJsonObject& entry, const QTimeZone& zone, QList<WeatherStep>& steps, QString& error) {
    const QDateTime time = QDateTime::fromString(entry.value(u"time"_qs).toString(), Qt::ISODate);
    const QJsonObject data = entry.value(u"data"_qs).toObject();
    const QJsonObject instant = data.value(u"instant"_qs).toObject().value(u"details"_qs).toObject();
    WeatherStep step;
    if (!time.isValid() || !Number(instant, "air_temperature", step.temperature) ||
        !Number(instant, "air_pressure_at_sea_level", step.pressureHpa) ||
        !Number(instant, "relative_humidity", step.humidity) ||
        !Number(instant, "wind_from_direction", step.windFrom) || !Number(instant, "wind_speed", step.windSpeed)) {
        error = QStringLiteral("a time step lacks its time or a needed value");
        return false;
    }
    const QString symbol = MetSymbol(data);
    if (symbol.isEmpty())
        return true;
    if (!MetNorwayCondition(symbol, step.condition)) {
        error = QStringLiteral("unknown symbol_code ") + symbol;
        return false;
    }
    // Six-hourly steps carry the extremes of their period; hourly ones have their own.
    const QJsonObject six = data.value(u"next_6_hours"_qs).toObject().value(u"details"_qs).toObject();
    double low = 0, high = 0;
    if (!data.contains(u"next_1_hours"_qs) && Number(six, "air_temperature_min", low) &&
        Number(six, "air_temperature_max", high)) {
        step.periodLow = low;
        step.periodHigh = high;
    }
    step.local = time.toTimeZone(zone);
    steps.append(step);
    return true;
}

} // namespace

QString MetNorwayUrl(const Station& station) {
    QString url = BaseUrl("VETORLAN_METNO_URL", "https://api.met.no/weatherapi/locationforecast/2.0") +
                  u"/complete?lat="_qs + Coordinate(station.latitude) + u"&lon="_qs + Coordinate(station.longitude);
    if (station.elevation >= 0)
        url += u"&altitude="_qs + QString::number(station.elevation);
    return url;
}

bool ReadMetNorway(const QByteArray& body, const Station& station, const QDateTime& now, Forecast& forecast,
                   QString& error) {
    QJsonObject root;
    if (!ReadObject(body, root, error))
        return false;
    const QJsonObject properties = root.value(u"properties"_qs).toObject();
    const QJsonArray series = properties.value(u"timeseries"_qs).toArray();
    const QTimeZone zone = ZoneOf(station);
    QList<WeatherStep> steps;
    for (const QJsonValue& entry : series) {
        if (!ReadMetStep(entry.toObject(), zone, steps, error))
            return false;
    }
    forecast.days = GroupIntoDays(steps, now.toTimeZone(zone).date());
    if (!FinishDays(forecast.days, station, zone, error))
        return false;
    const QDateTime updated =
        QDateTime::fromString(properties.value(u"meta"_qs).toObject().value(u"updated_at"_qs).toString(), Qt::ISODate);
    SetIssue(forecast, updated.isValid() ? updated : now, zone);
    forecast.stationIndex = station.index;
    forecast.source = ForecastSource::MetNorway;
    return true;
}

QString OpenMeteoUrl(const Station& station) {
    return BaseUrl("VETORLAN_OPENMETEO_URL", "https://api.open-meteo.com/v1") + u"/forecast?latitude="_qs +
           Coordinate(station.latitude) + u"&longitude="_qs + Coordinate(station.longitude) +
           u"&hourly=temperature_2m,relative_humidity_2m,weather_code,pressure_msl,wind_speed_10m,"
           "wind_direction_10m,is_day&timezone="_qs +
           QString::fromLatin1(QUrl::toPercentEncoding(station.timeZone)) + u"&wind_speed_unit=ms&forecast_days=9"_qs;
}

namespace {

struct OpenMeteoColumns {
    QJsonArray time, temperature, humidity, code, pressure, speed, direction, isDay;
};

bool ReadColumns(const QJsonObject& hourly, OpenMeteoColumns& c, QString& error) {
    c.time = hourly.value(u"time"_qs).toArray();
    c.temperature = hourly.value(u"temperature_2m"_qs).toArray();
    c.humidity = hourly.value(u"relative_humidity_2m"_qs).toArray();
    c.code = hourly.contains(u"weather_code"_qs) ? hourly.value(u"weather_code"_qs).toArray()
                                                 : hourly.value(u"weathercode"_qs).toArray();
    c.pressure = hourly.value(u"pressure_msl"_qs).toArray();
    c.speed = hourly.value(u"wind_speed_10m"_qs).toArray();
    c.direction = hourly.value(u"wind_direction_10m"_qs).toArray();
    c.isDay = hourly.value(u"is_day"_qs).toArray();
    const qsizetype n = c.time.size();
    for (const QJsonArray* column : {&c.temperature, &c.humidity, &c.code, &c.pressure, &c.speed, &c.direction}) {
        if (column->size() != n) {
            error = QStringLiteral("hourly values missing");
            return false;
        }
    }
    return true;
}

// Factor from the answer's wind speed unit to m/s.
double WindFactor(const QString& unit) {
    if (unit == u"km/h"_qs)
        return 1 / 3.6;
    if (unit == u"mp/h"_qs || unit == u"mph"_qs)
        return 0.44704;
    if (unit == u"kn"_qs)
        return 0.514444;
    return 1.0;
}

bool ReadHour(const OpenMeteoColumns& c, qsizetype i, const QTimeZone& zone, double windFactor, WeatherStep& step,
              QString& error) {
    const QDateTime wall = QDateTime::fromString(c.time[i].toString(), Qt::ISODate);
    const bool present = wall.isValid() && c.temperature[i].isDouble() && c.humidity[i].isDouble() &&
                         c.code[i].isDouble() && c.pressure[i].isDouble() && c.speed[i].isDouble() &&
                         c.direction[i].isDouble();
    const bool day = i >= c.isDay.size() || c.isDay[i].toInt(1) != 0;
    if (!present || !WmoCondition(c.code[i].toInt(), day, step.condition)) {
        error = QStringLiteral("an hour lacks a value or has an unknown weather code");
        return false;
    }
    // The answer's times are already the town's wall clock (timezone= in the request).
    step.local = QDateTime(wall.date(), wall.time(), zone);
    step.temperature = c.temperature[i].toDouble();
    step.humidity = c.humidity[i].toDouble();
    step.pressureHpa = c.pressure[i].toDouble();
    step.windSpeed = c.speed[i].toDouble() * windFactor;
    step.windFrom = c.direction[i].toDouble();
    return true;
}

} // namespace

bool ReadOpenMeteo(const QByteArray& body, const Station& station, const QDateTime& now, const QDateTime& fetched,
                   Forecast& forecast, QString& error) {
    QJsonObject root;
    OpenMeteoColumns columns;
    if (!ReadObject(body, root, error) || !ReadColumns(root.value(u"hourly"_qs).toObject(), columns, error))
        return false;
    const QTimeZone zone = ZoneOf(station);
    const double windFactor =
        WindFactor(root.value(u"hourly_units"_qs).toObject().value(u"wind_speed_10m"_qs).toString());
    QList<WeatherStep> steps;
    for (qsizetype i = 0; i < columns.time.size(); ++i) {
        WeatherStep step;
        if (!ReadHour(columns, i, zone, windFactor, step, error))
            return false;
        steps.append(step);
    }
    forecast.days = GroupIntoDays(steps, now.toTimeZone(zone).date());
    if (!FinishDays(forecast.days, station, zone, error))
        return false;
    SetIssue(forecast, fetched, zone);
    forecast.stationIndex = station.index;
    forecast.source = ForecastSource::OpenMeteo;
    return true;
}

} // namespace vetorlan
