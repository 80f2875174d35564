// The two readers and the page on answers that are not as they should be: nulls, unknown codes,
// absurd values, other dates, other units; and the values users look for: station pressure,
// precipitation, gusts, the night in progress and the hours. Expected values come from the
// answers by a second, simpler computation (brute force over the minutes), not from the code.
#include "core/CodePage.h"
#include "page/OfflinePage.h"
#include "page/WeatherConditions.h"
#include "sources/DayParts.h"
#include "sources/LiveSources.h"
#include "sources/Stations.h"
#include "tests/support/TestSupport.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <climits>
#include <gtest/gtest.h>
#include <vector>

namespace vetorlan {
namespace {

const QString kData = QStringLiteral(VETORLAN_LIVE_FIXTURES);

QByteArray Read(const QString& name) {
    return test::ReadFixture(kData + u'/' + name);
}

const Station& Town(const char* index) {
    return *FindStation(QString::fromLatin1(index));
}

const QDateTime kLondonRecorded(QDate(2020, 7, 20), QTime(12, 0), QTimeZone::utc());
const QDateTime kOpenMeteoRecorded(QDate(2026, 3, 2), QTime(9, 0), QTimeZone::utc());

Forecast ReadMet(const QByteArray& body, const Station& station, const QDateTime& now = kLondonRecorded) {
    Forecast forecast;
    QString error;
    EXPECT_TRUE(ReadMetNorway(body, station, now, forecast, error)) << error.toStdString();
    return forecast;
}

const DayForecast& Day(const Forecast& forecast, const QDate& date) {
    for (const DayForecast& day : forecast.days) {
        if (day.date == date)
            return day;
    }
    ADD_FAILURE() << date.toString(Qt::ISODate).toStdString();
    return forecast.days.first();
}

TEST(LiveReaders, UnknownCodesAbsurdValuesAndNegativeElevationsKeepTheSource) {
    const Station& derbent = Town("37470");
    EXPECT_TRUE(MetNorwayUrl(derbent).endsWith(u"&altitude=-19"_qs)) << MetNorwayUrl(derbent).toStdString();
    EXPECT_TRUE(OpenMeteoUrl(derbent).contains(u"&elevation=-19&"_qs));
    const Forecast forecast = ReadMet(Read(u"metno_complete_derbent_crafted.json"_qs), derbent);
    ASSERT_EQ(forecast.days.size(), 7);
    // 25 July 06–12 lies in two periods of "sandstorm_day"; 26 July 12–18 in two of "heavysnowsqualls_day".
    EXPECT_EQ(Day(forecast, QDate(2020, 7, 25)).parts[0].picture, u"no-data"_qs);
    EXPECT_EQ(Day(forecast, QDate(2020, 7, 25)).parts[0].text, u"нет данных"_qs);
    EXPECT_EQ(Day(forecast, QDate(2020, 7, 26)).parts[1].picture, u"snow"_qs);
    // 1e308, −2147483648, humidity 500 and wind 3e9 in the day of 21 July are left out, the rest stays.
    const PartForecast& day = Day(forecast, QDate(2020, 7, 21)).parts[1];
    ASSERT_TRUE(day.temperatureLow && day.humidity && day.windSpeed);
    EXPECT_EQ(*day.temperatureLow, 17);
    EXPECT_EQ(*day.temperatureHigh, 20);
    EXPECT_LE(*day.humidity, 100);
    EXPECT_LE(*day.windSpeed, 10);
    const QString page = fromCp1251(RenderOfflinePage(forecast, false));
    EXPECT_TRUE(page.contains(u"no-data.gif\" alt=\"нет данных\""_qs));
    EXPECT_FALSE(page.contains(u"e+"_qs) || page.contains(u"&minus;-"_qs) || page.contains(u"2147483648"_qs));
    Condition condition;
    EXPECT_FALSE(WmoCondition(83, true, condition));
    EXPECT_EQ(condition.picture, u"rain"_qs);
    EXPECT_FALSE(WmoCondition(4, true, condition));
    EXPECT_EQ(condition, NoDataCondition());
}

TEST(LiveReaders, NullsInOpenMeteoLeaveOutOnlyTheirHours) {
    Forecast forecast;
    QString error;
    const QDateTime midnight(QDate(2026, 3, 1), QTime(21, 0), QTimeZone::utc()); // 00:00 in Moscow
    ASSERT_TRUE(ReadOpenMeteo(Read(u"openmeteo_forecast_hourly_3d_nulls_crafted.json"_qs), Town("27612"), midnight,
                              midnight, forecast, error))
        << error.toStdString();
    ASSERT_EQ(forecast.days.size(), 2);
    const DayForecast& second = forecast.days[1];
    EXPECT_FALSE(second.parts[0].known) << "3 March 06–12 has nothing at all";
    for (int part = 1; part < 4; ++part)
        EXPECT_TRUE(second.parts[part].known && second.parts[part].temperatureLow) << part;
    // The day of 3 March has hours of haze (no family) and an unknown shower code: the known ones win.
    EXPECT_NE(second.parts[1].picture, u"no-data"_qs);
    for (const PartForecast& part : forecast.days[0].parts)
        EXPECT_TRUE(part.temperatureLow && part.pressure && part.windSpeed);
    // The hours bridge the one without a temperature on 2 March at 03:00 and skip the empty morning.
    const auto at = [&](int day, int hour) {
        return std::any_of(forecast.hours.begin(), forecast.hours.end(), [&](const HourForecast& h) {
            return h.local.date() == QDate(2026, 3, day) && h.local.time().hour() == hour;
        });
    };
    EXPECT_TRUE(at(2, 2) && at(2, 3) && at(2, 4)) << "one missing hour is bridged";
    EXPECT_FALSE(at(3, 9));
}

TEST(LiveReaders, AnswersAboutOtherDatesOrMostlyMissingFail) {
    const Station& moscow = Town("27612");
    const QByteArray london = Read(u"metno_complete_london_2020-07-20.json"_qs);
    Forecast forecast;
    QString error;
    for (const QDateTime& now : {QDateTime(QDate(2020, 7, 10), QTime(12, 0), QTimeZone::utc()),
                                 QDateTime(QDate(2030, 5, 31), QTime(12, 0), QTimeZone::utc())}) {
        EXPECT_FALSE(ReadMetNorway(london, moscow, now, forecast, error));
        EXPECT_TRUE(error.contains(u"today"_qs)) << error.toStdString();
    }
    // In the last hour before midnight an answer starting tomorrow is fine.
    ASSERT_TRUE(
        ReadMetNorway(london, moscow, QDateTime(QDate(2020, 7, 19), QTime(20, 30), QTimeZone::utc()), forecast, error))
        << error.toStdString();
    EXPECT_EQ(forecast.days.first().date, QDate(2020, 7, 20));
    QByteArray absurd = london;
    absurd.replace("\"air_temperature\": ", "\"air_temperature\": 1e308, \"was\": ");
    EXPECT_FALSE(ReadMetNorway(absurd, moscow, kLondonRecorded, forecast, error));
    EXPECT_TRUE(error.contains(u"missing"_qs)) << error.toStdString();
}

TEST(LiveReaders, OpenMeteoUnitsAreConvertedOrRefused) {
    const Station& moscow = Town("27612");
    const QByteArray body = Read(u"openmeteo_forecast_hourly_3d_2026-03-02.json"_qs);
    QJsonObject root = QJsonDocument::fromJson(body).object();
    QJsonObject hourly = root.value(u"hourly"_qs).toObject(), units = root.value(u"hourly_units"_qs).toObject();
    QJsonArray fahrenheit = hourly.value(u"temperature_2m"_qs).toArray();
    for (QJsonValueRef value : fahrenheit)
        value = value.toDouble() * 9 / 5 + 32;
    hourly.insert(u"temperature_2m"_qs, fahrenheit);
    units.insert(u"temperature_2m"_qs, u"°F"_qs);
    root.insert(u"hourly"_qs, hourly);
    root.insert(u"hourly_units"_qs, units);
    Forecast celsius, converted;
    QString error;
    ASSERT_TRUE(ReadOpenMeteo(body, moscow, kOpenMeteoRecorded, kOpenMeteoRecorded, celsius, error));
    ASSERT_TRUE(
        ReadOpenMeteo(QJsonDocument(root).toJson(), moscow, kOpenMeteoRecorded, kOpenMeteoRecorded, converted, error));
    EXPECT_EQ(converted.days[1].parts[1].temperatureHigh, celsius.days[1].parts[1].temperatureHigh);
    EXPECT_EQ(converted.days[0].parts[0].temperatureLow, celsius.days[0].parts[0].temperatureLow);
    units.insert(u"surface_pressure"_qs, u"mmHg"_qs);
    root.insert(u"hourly_units"_qs, units);
    EXPECT_FALSE(
        ReadOpenMeteo(QJsonDocument(root).toJson(), moscow, kOpenMeteoRecorded, kOpenMeteoRecorded, converted, error));
    EXPECT_TRUE(error.contains(u"mmHg"_qs)) << error.toStdString();
}

TEST(LiveReaders, PressureIsBroughtToTheStation) {
    EXPECT_NEAR(MillimetresOfMercury(StationPressure(1013, 15, 156)), 746, 1); // Moscow
    EXPECT_NEAR(MillimetresOfMercury(StationPressure(1013, 10, 890)), 683, 1); // Yerevan
    EXPECT_EQ(MillimetresOfMercury(StationPressure(1013, 15, 0)), 760);
    const QByteArray london = Read(u"metno_complete_london_2020-07-20.json"_qs);
    const Forecast moscow = ReadMet(london, Town("27612")), yerevan = ReadMet(london, Town("37789"));
    // 21 July 03Z–09Z: sea level 1025–1026 hPa, 11–17 °C, at 156 m (Moscow's morning); Yerevan's
    // morning is 02Z–08Z, at 890 m.
    EXPECT_EQ(moscow.days[1].parts[0].pressure, 755);
    EXPECT_NEAR(*yerevan.days[1].parts[0].pressure, 693, 1);
}

// The answer's steps: their times and the precipitation rate (mm a minute) of the shortest
// period each opens.
std::vector<std::pair<qint64, double>> Rates(const QJsonArray& series) {
    std::vector<std::pair<qint64, double>> rates;
    for (const QJsonValue& step : series) {
        const QJsonObject data = step[u"data"_qs].toObject();
        double rate = 0;
        for (const auto& [name, minutes] : {std::pair{"next_1_hours", 60}, {"next_6_hours", 360}}) {
            if (data.contains(QLatin1String(name))) {
                rate = data[QLatin1String(name)][u"details"_qs][u"precipitation_amount"_qs].toDouble() / minutes;
                break;
            }
        }
        rates.emplace_back(QDateTime::fromString(step[u"time"_qs].toString(), Qt::ISODate).toSecsSinceEpoch(), rate);
    }
    return rates;
}

// The brute-force precipitation of [from, to): each minute at the rate of the latest step before it.
double PrecipitationOracle(const std::vector<std::pair<qint64, double>>& rates, qint64 from, qint64 to) {
    double sum = 0;
    size_t step = 0;
    for (qint64 minute = from; minute < to; minute += 60) {
        while (step + 1 < rates.size() && rates[step + 1].first <= minute)
            ++step;
        sum += rates[step].second;
    }
    return sum;
}

TEST(LiveReaders, PrecipitationOfEveryPartIsThatOfItsHoursInEveryTown) {
    const QByteArray body = Read(u"metno_complete_london_2020-07-20.json"_qs);
    const auto rates = Rates(QJsonDocument::fromJson(body)[u"properties"_qs][u"timeseries"_qs].toArray());
    const qint64 start = kLondonRecorded.toSecsSinceEpoch() - 3600;
    double worst = 0;
    int wet = 0;
    for (const Station& station : AllStations()) {
        const QTimeZone zone(station.timeZone.toUtf8());
        const Forecast forecast = ReadMet(body, station);
        for (const DayForecast& day : forecast.days) {
            for (int part = 0; part < 4; ++part) {
                if (!day.parts[part].known)
                    continue;
                const qint64 from =
                    QDateTime(day.date.addDays(part == 3), QTime((6 * part + 6) % 24, 0), zone).toSecsSinceEpoch();
                const double expected = PrecipitationOracle(rates, std::max(from, start), from + 6 * 3600);
                ASSERT_TRUE(day.parts[part].precipitation) << station.name.toStdString();
                worst = std::max(worst, std::abs(*day.parts[part].precipitation - expected));
                wet += expected > 0;
            }
        }
    }
    EXPECT_LT(worst, 0.01);
    EXPECT_GT(wet, 400);
}

TEST(LiveReaders, NightInProgressIsTheFirstPartOfTheFirstDay) {
    // 21 July 22:30Z is 01:30 on 22 July in Moscow: the night 21Z–03Z is in progress.
    const QDateTime night(QDate(2020, 7, 21), QTime(22, 30), QTimeZone::utc());
    const Forecast forecast = ReadMet(Read(u"metno_complete_london_2020-07-20.json"_qs), Town("27612"), night);
    EXPECT_EQ(forecast.days.first().date, QDate(2020, 7, 22));
    ASSERT_TRUE(forecast.nightInProgress);
    // The recording's air_temperature from 21 July 21Z to 22 July 03Z: 10.9 … 15.9 °C.
    EXPECT_EQ(forecast.nightInProgress->temperatureLow, 11);
    EXPECT_EQ(forecast.nightInProgress->temperatureHigh, 16);
    const QString page = fromCp1251(RenderOfflinePage(forecast, false));
    const qsizetype dayHeader = page.indexOf(u"среда, 22 июля"_qs);
    ASSERT_GT(dayHeader, 0);
    EXPECT_LT(page.indexOf(u"до утра"_qs, dayHeader), page.indexOf(u"утром"_qs, dayHeader));
    EXPECT_TRUE(page.contains(u"прогноз на 7 дней"_qs));
    // Hours: local, consecutive, from the current one, 01:00 in Moscow on 22 July (22Z).
    ASSERT_GE(forecast.hours.size(), 48);
    EXPECT_EQ(forecast.hours.first().local, QDateTime(QDate(2020, 7, 22), QTime(1, 0), QTimeZone("Europe/Moscow")));
    for (qsizetype i = 1; i < 48; ++i)
        EXPECT_EQ(forecast.hours[i - 1].local.secsTo(forecast.hours[i].local), 3600);
    EXPECT_DOUBLE_EQ(forecast.hours.first().temperature, 15.0);
    EXPECT_EQ(forecast.hours.first().precipitation, 0.0);
    EXPECT_EQ(forecast.hours.first().picture, u"partly-night"_qs);
}

TEST(LiveReaders, PolarTwilightTakesTheNightPicture) {
    Condition condition;
    ASSERT_TRUE(MetNorwayCondition(u"clearsky_polartwilight"_qs, condition));
    EXPECT_EQ(condition.picture, u"clear-night"_qs);
    ASSERT_TRUE(MetNorwayCondition(u"fair_polartwilight"_qs, condition));
    EXPECT_EQ(condition.picture, u"partly-night"_qs);
}

PartForecast Part(std::optional<int> low, std::optional<int> high) {
    PartForecast part;
    part.temperatureLow = low;
    part.temperatureHigh = high;
    part.picture = u"cloudy"_qs;
    part.text = u"облачно"_qs;
    return part;
}

TEST(LiveReaders, PageShowsEqualEndsOnceMissingValuesAsDashesAndTheDaysItHas) {
    Forecast forecast;
    forecast.stationIndex = u"27612"_qs;
    forecast.source = ForecastSource::OpenMeteo;
    forecast.issueDate = QDate(2026, 12, 8);
    for (int i = 0; i < 2; ++i) {
        DayForecast day;
        day.date = QDate(2026, 12, 8 + i);
        day.parts = {Part(3, 3), Part(INT_MIN, INT_MAX), Part(-2, 1), Part({}, {})};
        forecast.days.append(day);
    }
    forecast.days[0].parts[0].precipitation = 0.04;
    forecast.days[0].parts[2].precipitation = 0.0;
    forecast.days[1].parts[2].precipitation = 2.46;
    const QString page = fromCp1251(RenderOfflinePage(forecast, false));
    EXPECT_TRUE(page.contains(u"прогноз на 2 дня</title>"_qs));
    EXPECT_TRUE(page.contains(u">+3°<"_qs));
    EXPECT_FALSE(page.contains(u"+3…+3"_qs));
    EXPECT_TRUE(page.contains(u">&minus;2147483648…+2147483647°<"_qs));
    EXPECT_TRUE(page.contains(u">&minus;2…+1°<"_qs));
    EXPECT_TRUE(page.contains(u"<th>Осадки, мм</th>"_qs));
    EXPECT_FALSE(page.contains(u"Порывы"_qs)) << "no gusts given, no column";
    EXPECT_TRUE(page.contains(u"<td class=\"b-forecast-details__rain\">0,1</td>"_qs));
    EXPECT_TRUE(page.contains(u"<td class=\"b-forecast-details__rain\">0</td>"_qs));
    EXPECT_TRUE(page.contains(u"<td class=\"b-forecast-details__rain\">2,5</td>"_qs));
    EXPECT_TRUE(page.contains(u"<td class=\"b-forecast-details__rain\">—</td>"_qs));
    EXPECT_TRUE(page.contains(u"<th colspan=\"9\">"_qs));
}

} // namespace
} // namespace vetorlan
