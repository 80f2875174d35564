// Reading the two sources' answers: every weather code both can send has a picture and a
// text, answers that are not whole are refused, and polar days are named.
#include "sources/LiveSources.h"
#include "core/CodePage.h"
#include "page/OfflinePage.h"
#include "page/WeatherConditions.h"
#include "sources/Astronomy.h"
#include "sources/RequestGate.h"
#include "sources/Stations.h"
#include "tests/support/TestSupport.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTimeZone>
#include <algorithm>
#include <atomic>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>
#include <vector>

namespace vetorlan {
namespace {

const QString kData = QStringLiteral(VETORLAN_LIVE_FIXTURES);

QByteArray Read(const QString& name) {
    return test::ReadFixture(kData + u'/' + name);
}

QList<QStringList> CsvRows(const QString& name) {
    QList<QStringList> rows;
    for (const QByteArray& line : Read(name).split('\n').mid(1)) {
        if (!line.trimmed().isEmpty())
            rows << QString::fromUtf8(line).split(u',');
    }
    return rows;
}

// Each day's sun cell on the rendered page, a picture written as [its alt text].
std::string SunCells(const Forecast& forecast) {
    const QString page = fromCp1251(RenderOfflinePage(forecast, false));
    static const QRegularExpression cell(u"<span class=\"b-forecast-details__sun\">(.*?)</span>"_qs);
    static const QRegularExpression picture(u"<img [^>]*alt=\"([^\"]*)\"[^>]*>"_qs);
    QStringList cells;
    for (const QRegularExpressionMatch& match : cell.globalMatch(page))
        cells << match.captured(1).replace(picture, u"[\\1]"_qs);
    return cells.join(u" | "_qs).toStdString();
}

void ExpectShipped(const Condition& c, const QString& code) {
    EXPECT_TRUE(QFileInfo::exists(QStringLiteral(VETORLAN_PICTURES_DIR) + u'/' + c.picture + u".gif"_qs))
        << code.toStdString() << " " << c.picture.toStdString();
    EXPECT_FALSE(c.text.isEmpty()) << code.toStdString();
}

TEST(LiveSources, EveryWeatherCodeOfBothSourcesHasAShippedPictureAndAText) {
    const QList<QStringList> legend = CsvRows(u"metno-legend.csv"_qs);
    ASSERT_EQ(legend.size(), 41);
    for (const QStringList& row : legend) {
        const QString id = row[0].trimmed();
        const QStringList codes = row[5].trimmed() == u"1"_qs
                                      ? QStringList{id + u"_day"_qs, id + u"_night"_qs, id + u"_polartwilight"_qs}
                                      : QStringList{id};
        for (const QString& code : codes) {
            Condition c;
            ASSERT_TRUE(MetNorwayCondition(code, c)) << code.toStdString();
            ExpectShipped(c, code);
            EXPECT_EQ(c.picture == u"storm"_qs, code.contains(u"thunder"_qs)) << code.toStdString();
        }
    }
    Condition c;
    ASSERT_TRUE(MetNorwayCondition(u"clearsky_night"_qs, c));
    EXPECT_EQ(c.picture, u"clear-night"_qs);
    EXPECT_FALSE(MetNorwayCondition(u"sandstorm"_qs, c));
    for (const QStringList& row : CsvRows(u"wmo-weather-codes.csv"_qs)) {
        ASSERT_TRUE(WmoCondition(row[0].toInt(), true, c)) << row[0].toStdString();
        ExpectShipped(c, row[0]);
    }
    EXPECT_FALSE(WmoCondition(4, true, c));
}

TEST(LiveSources, AnswersThatAreNotWholeAreRefused) {
    const Station& moscow = *FindStation(u"27612"_qs);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    Forecast forecast;
    QString error;
    // Weather codes only: no temperatures.
    EXPECT_FALSE(ReadOpenMeteo(Read(u"openmeteo_forecast_7d_weathercode_2023-11-13.json"_qs), moscow,
                               QDateTime(QDate(2023, 11, 13), QTime(0, 0), QTimeZone::utc()), now, forecast, error));
    // A recording from 2020 read "now": it is not about today.
    EXPECT_FALSE(ReadMetNorway(Read(u"metno_complete_london_2020-07-20.json"_qs), moscow, now, forecast, error));
    EXPECT_TRUE(error.contains(u"today"_qs)) << error.toStdString();
    // Read on its own day it gives its seven days.
    const QDateTime recorded(QDate(2020, 7, 20), QTime(12, 0), QTimeZone::utc());
    QByteArray body = Read(u"metno_complete_london_2020-07-20.json"_qs);
    ASSERT_TRUE(ReadMetNorway(body, moscow, recorded, forecast, error)) << error.toStdString();
    EXPECT_EQ(forecast.days.size(), 7);
    EXPECT_EQ(forecast.issueDate, QDate(2020, 7, 20)); // updated_at 01:30Z is 04:30 in Moscow
    EXPECT_EQ(forecast.issueMinutes, 4 * 60 + 30);
    body.replace("\"relative_humidity\": 83.1", "\"humidity\": 83.1"); // one value missing: the rest stays
    EXPECT_TRUE(ReadMetNorway(body, moscow, recorded, forecast, error));
    EXPECT_FALSE(ReadMetNorway("{\"properties\":", moscow, recorded, forecast, error));
}

// Polar night and polar day are named whichever source answered, in place of the two times:
// Open-Meteo's 00:00 for a day without sunrise is not taken for one, and on a day the sun sets
// after midnight the set comes first, as it happens.
TEST(LiveSources, PolarNightAndPolarDayAreNamedFromBothSources) {
    const Station& norilsk = *FindStation(u"23078"_qs);
    Forecast forecast;
    QString error;
    const QDateTime december(QDate(2025, 12, 20), QTime(1, 0), QTimeZone::utc());
    ASSERT_TRUE(ReadOpenMeteo(Read(u"openmeteo_norilsk_polar_night_2025-12-20.json"_qs), norilsk, december, december,
                              forecast, error))
        << error.toStdString();
    EXPECT_EQ(SunCells(forecast), "[полярная ночь] полярная ночь | [полярная ночь] полярная ночь");

    const QDateTime july(QDate(2020, 7, 20), QTime(12, 0), QTimeZone::utc());
    ASSERT_TRUE(ReadMetNorway(Read(u"metno_complete_london_2020-07-20.json"_qs), norilsk, july, forecast, error));
    const std::string polarDay = "[полярный день] полярный день | ";
    EXPECT_EQ(SunCells(forecast), polarDay + polarDay + polarDay + polarDay + polarDay +
                                      "[заход] 00:42 [восход] 01:47 | [заход] 00:27 [восход] 02:02");

    // The night the sun first sets after midnight: it does not set on the date before.
    Forecast verkhoyansk;
    verkhoyansk.stationIndex = u"24166"_qs;
    verkhoyansk.issueDate = QDate(2026, 5, 24);
    const Station& station = *FindStation(verkhoyansk.stationIndex);
    for (QDate date(2026, 5, 24); date <= QDate(2026, 5, 26); date = date.addDays(1)) {
        const SunDay sun = SunOnDate(date, station.latitude, station.longitude, QTimeZone(station.timeZone.toUtf8()));
        DayForecast day;
        day.date = date;
        day.sunriseMinutes = sun.sunrise;
        day.sunsetMinutes = sun.sunset;
        day.sunUpAtMidnight = sun.upAtMidnight;
        verkhoyansk.days << day;
    }
    EXPECT_EQ(SunCells(verkhoyansk),
              "[восход] 02:13 [заход] 23:59 | [восход] 02:06 [заход] не заходит | [заход] 00:08 [восход] 01:58");
}

// Never more than `parallel` requests inside the gate, whatever the threads do. (The spacing of
// their starts is measured against a server in live_forecast_test.)
TEST(LiveSources, RequestGateBoundsParallelRequests) {
    using Clock = std::chrono::steady_clock;
    RequestGate gate(2, std::chrono::milliseconds(20));
    std::mutex mutex;
    int inside = 0, most = 0;
    std::vector<Clock::time_point> starts;
    std::vector<std::thread> threads;
    for (int t = 0; t < 6; ++t) {
        threads.emplace_back([&] {
            gate.Enter();
            {
                const std::lock_guard lock(mutex);
                starts.push_back(Clock::now());
                most = std::max(most, ++inside);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            {
                const std::lock_guard lock(mutex);
                --inside;
            }
            gate.Leave();
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_LE(most, 2);
    EXPECT_EQ(starts.size(), 6u);
}

// A cancelled request leaves the gate at once, whether it waits for a free place or for its
// start time, and takes no place with it.
TEST(LiveSources, CancelledRequestLeavesTheGate) {
    std::atomic<bool> cancelled = false;
    RequestGate full(1, std::chrono::milliseconds(0));
    ASSERT_TRUE(full.Enter());
    std::thread queued([&] { EXPECT_FALSE(full.Enter(&cancelled)); });
    RequestGate slow(2, std::chrono::hours(1));
    ASSERT_TRUE(slow.Enter() && slow.Start()); // the first start does not wait
    std::thread spaced([&] {
        ASSERT_TRUE(slow.Enter(&cancelled));
        EXPECT_FALSE(slow.Start(&cancelled));
        slow.Leave();
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    cancelled = true;
    queued.join();
    spaced.join();
    full.Leave();
    EXPECT_TRUE(full.Enter()); // the cancelled request took no place
    full.Leave();
    slow.Leave();
}

} // namespace
} // namespace vetorlan
