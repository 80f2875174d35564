// Day parts against a brute-force oracle over the hours: a MET Norway answer of a smooth day
// (−5 °C at 03:00 in the town, +5 °C at 15:00; hourly steps for 60 hours, then six-hour
// periods with their exact extremes) read for every catalogue town on many dates. Each part's
// range must lie within 1 °C of the true range of its hours, its pressure within 1 mm of the
// mean of its hours.
#include "sources/DayParts.h"
#include "sources/LiveSources.h"
#include "sources/Stations.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

namespace vetorlan {
namespace {

constexpr qint64 kHour = 3600;

// The town's offset from UTC, looked up once per hour.
class Offsets {
public:
    explicit Offsets(const QTimeZone& zone) : zone_(zone) {}
    int at(qint64 utc) {
        const qint64 hour = utc / kHour;
        auto found = cache_.constFind(hour);
        if (found == cache_.constEnd())
            found =
                cache_.insert(hour, zone_.offsetFromUtc(QDateTime::fromSecsSinceEpoch(hour * kHour, QTimeZone::utc())));
        return *found;
    }

private:
    QTimeZone zone_;
    QHash<qint64, int> cache_;
};

double LocalHour(qint64 utc, Offsets& offsets) {
    const qint64 local = utc + offsets.at(utc);
    return double(((local % 86400) + 86400) % 86400) / kHour;
}

double Temperature(qint64 utc, Offsets& offsets) {
    return -5 * std::cos(2 * std::numbers::pi * (LocalHour(utc, offsets) - 3) / 24);
}

double SeaLevel(qint64 utc) {
    return 1013 + 6 * std::sin(double(utc) / (30 * kHour));
}

std::pair<double, double> TrueRange(qint64 from, qint64 to, Offsets& offsets) {
    double low = 1e9, high = -1e9;
    for (qint64 t = from; t <= to; t += 300) {
        low = std::min(low, Temperature(t, offsets));
        high = std::max(high, Temperature(t, offsets));
    }
    return {low, high};
}

QJsonObject Period(const char* code, std::optional<std::pair<double, double>> extremes) {
    QJsonObject details{{"precipitation_amount", 0.0}};
    if (extremes) {
        details.insert("air_temperature_min", extremes->first);
        details.insert("air_temperature_max", extremes->second);
    }
    return {{"summary", QJsonObject{{"symbol_code", code}}}, {"details", details}};
}

QJsonObject Step(qint64 t, bool hourly, Offsets& offsets) {
    const QJsonObject instant{{"air_temperature", Temperature(t, offsets)},
                              {"air_pressure_at_sea_level", SeaLevel(t)},
                              {"relative_humidity", 80.0},
                              {"wind_from_direction", 200.0},
                              {"wind_speed", 3.0}};
    QJsonObject data{{"instant", QJsonObject{{"details", instant}}},
                     {"next_6_hours", Period("cloudy", TrueRange(t, t + 6 * kHour, offsets))}};
    if (hourly)
        data.insert("next_1_hours", Period("cloudy", std::nullopt));
    return {{"time", QDateTime::fromSecsSinceEpoch(t, QTimeZone::utc()).toString(Qt::ISODate)}, {"data", data}};
}

// Hourly steps from the hour of `start` for about 60 hours, up to a six-hour boundary of UTC;
// then six-hourly steps to nine days.
QByteArray SmoothAnswer(qint64 start, Offsets& offsets) {
    QJsonArray series;
    const qint64 first = start / kHour * kHour;
    const qint64 switchAt = (first + 60 * kHour) / (6 * kHour) * (6 * kHour);
    for (qint64 t = first; t <= first + 9 * 24 * kHour; t += t < switchAt ? kHour : 6 * kHour)
        series.append(Step(t, t < switchAt, offsets));
    const QJsonObject root{{"type", "Feature"},
                           {"properties", QJsonObject{{"timeseries", series}}},
                           {"geometry", QJsonObject{{"coordinates", QJsonArray{0, 0, 0}}}}};
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

double MeanStationPressure(const Station& station, qint64 from, qint64 to, Offsets& offsets) {
    double sum = 0;
    int count = 0;
    for (qint64 t = from; t < to; t += 300, ++count)
        sum += StationPressure(SeaLevel(t), Temperature(t, offsets), station.elevation.value_or(0));
    return sum / count * 0.750061683;
}

struct Worst {
    double temperature = 0, pressure = 0;
    QString where;
};

void CheckPart(const PartForecast& part, qint64 from, qint64 to, qint64 start, const Station& station, Offsets& offsets,
               Worst& worst) {
    if (!part.known)
        return;
    ASSERT_TRUE(part.temperatureLow && part.temperatureHigh && part.pressure) << station.name.toStdString();
    const auto [low, high] = TrueRange(std::max(from, start), to, offsets);
    const double deviation = std::max(std::abs(*part.temperatureLow - low), std::abs(*part.temperatureHigh - high));
    if (deviation > worst.temperature) {
        worst.temperature = deviation;
        worst.where = station.name + u' ' + QDateTime::fromSecsSinceEpoch(from, QTimeZone::utc()).toString(Qt::ISODate);
    }
    const double pressure = MeanStationPressure(station, std::max(from, start), to, offsets);
    worst.pressure = std::max(worst.pressure, std::abs(*part.pressure - pressure));
}

qint64 LocalAt(const QDate& date, int hour, const QTimeZone& zone) {
    return QDateTime(date.addDays(hour / 24), QTime(hour % 24, 0), zone).toSecsSinceEpoch();
}

TEST(DayParts, EveryPartOfEveryTownHoldsTheTrueRangeOfItsHours) {
    QList<QDateTime> moments; // through the year at different hours of the UTC day, and both DST changes
    for (int i = 0; i < 4; ++i)
        moments << QDateTime(QDate(2026, 1, 3).addDays(i * 97), QTime((i * 7) % 24, 20), QTimeZone::utc());
    moments << QDateTime(QDate(2026, 3, 28), QTime(21, 0), QTimeZone::utc())
            << QDateTime(QDate(2026, 10, 24), QTime(22, 30), QTimeZone::utc());
    QHash<QString, QByteArray> answers; // one per zone and moment
    Worst worst;
    int parts = 0;
    for (const Station& station : AllStations()) {
        const QTimeZone zone(station.timeZone.toUtf8());
        Offsets offsets(zone);
        for (const QDateTime& now : moments) {
            Forecast forecast;
            QString error;
            QByteArray& answer = answers[station.timeZone + now.toString(Qt::ISODate)];
            if (answer.isEmpty())
                answer = SmoothAnswer(now.toSecsSinceEpoch(), offsets);
            ASSERT_TRUE(ReadMetNorway(answer, station, now, forecast, error))
                << station.name.toStdString() << " " << error.toStdString();
            ASSERT_EQ(forecast.days.size(), 7) << station.name.toStdString();
            const qint64 start = now.toSecsSinceEpoch() / kHour * kHour;
            for (const DayForecast& day : forecast.days) {
                for (int part = 0; part < 4; ++part, ++parts)
                    CheckPart(day.parts[part], LocalAt(day.date, part * 6 + 6, zone),
                              LocalAt(day.date, part * 6 + 12, zone), start, station, offsets, worst);
            }
            if (forecast.nightInProgress)
                CheckPart(*forecast.nightInProgress, LocalAt(forecast.days.first().date, 0, zone),
                          LocalAt(forecast.days.first().date, 6, zone), start, station, offsets, worst);
        }
    }
    RecordProperty("worst_deviation_celsius", QString::number(worst.temperature, 'f', 2).toStdString());
    std::printf("%d parts; worst temperature deviation %.2f °C (%s), worst pressure deviation %.2f mm\n", parts,
                worst.temperature, qPrintable(worst.where), worst.pressure);
    EXPECT_LE(worst.temperature, 1.0) << worst.where.toStdString();
    EXPECT_LE(worst.pressure, 1.0);
}

} // namespace
} // namespace vetorlan
