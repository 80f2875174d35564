// The two routes to a written page: the program's own renderer, and a service page (the sample
// service's format) rewritten for offline viewing. Both must give the same bytes for every
// catalogue town, on invented weeks of many dates and on answers the live sources really gave.
#include "core/Settings.h"
#include "page/OfflinePage.h"
#include "sources/Converter.h"
#include "sources/LiveSources.h"
#include "sources/Stations.h"
#include "tests/support/TestSupport.h"
#include "tools/sample-forecast-service/ServicePage.h"
#include "tools/sample-forecast-service/Weather.h"
#include "towns/TownCatalog.h"

#include <QFile>
#include <QTimeZone>
#include <gtest/gtest.h>

namespace vetorlan {
namespace {

const QString kImageHost = u"http://127.0.0.1:8765"_qs;

// The first differing line of two pages, for a readable failure.
std::string FirstDifference(const QByteArray& expected, const QByteArray& actual) {
    const QList<QByteArray> a = expected.split('\n'), b = actual.split('\n');
    for (qsizetype i = 0; i < std::min(a.size(), b.size()); ++i)
        if (a[i] != b[i])
            return "line " + std::to_string(i + 1) + "\n old: " + a[i].toStdString() + "\n new: " + b[i].toStdString();
    return "lengths " + std::to_string(expected.size()) + " and " + std::to_string(actual.size());
}

void ExpectSamePage(const Forecast& forecast) {
    const QByteArray service = RenderForecastPage(forecast, kImageHost);
    ASSERT_FALSE(service.isEmpty()) << forecast.stationIndex.toStdString();
    for (const bool backButton : {false, true}) {
        const QByteArray old = ConvertPageText(service, backButton ? u"True"_qs : u"False"_qs, kImageHost);
        const QByteArray page = RenderOfflinePage(forecast, backButton);
        ASSERT_EQ(old, page) << forecast.stationIndex.toStdString() << " " << FirstDifference(old, page);
    }
}

TEST(OfflinePage, SameBytesAsTheRewrittenServicePageForEveryTownAndManyDates) {
    const QList<QDate> dates = {QDate(2026, 1, 1), QDate(2026, 3, 29), QDate(2026, 6, 21), QDate(2026, 12, 27)};
    for (int position = 1; position <= kCatalogSize; ++position) {
        const TownEntry entry = CatalogEntry(position);
        if (entry.size() <= 6)
            continue;
        const QDate firstDay = dates[position % dates.size()];
        Forecast forecast;
        forecast.stationIndex = TownIndex(entry);
        forecast.issueDate = firstDay;
        forecast.issueMinutes = (position * 7) % (24 * 60);
        forecast.days = sample::WeekWeather(forecast.stationIndex.toInt(), firstDay);
        forecast.source = ForecastSource::Sample;
        ExpectSamePage(forecast);
    }
}

QByteArray Fixture(const char* name) {
    return test::ReadFixture(QStringLiteral(VETORLAN_LIVE_FIXTURES "/") + QLatin1String(name));
}

// Recorded answers read for towns in several time zones, with their hours (and so the chart),
// precipitation, gusts and a night in progress; an unknown index gives no page either way.
TEST(OfflinePage, SameBytesOnRecordedLiveAnswers) {
    const QDateTime london(QDate(2020, 7, 20), QTime(12, 0), QTimeZone::utc());
    const QDateTime londonNight(QDate(2020, 7, 21), QTime(22, 30), QTimeZone::utc());
    const QDateTime openMeteo(QDate(2026, 3, 2), QTime(9, 0), QTimeZone::utc());
    const QDateTime polarNight(QDate(2025, 12, 20), QTime(6, 0), QTimeZone::utc());
    int pages = 0;
    for (const char* index : {"27612", "37789", "28698", "31960", "23078"}) {
        const Station& station = *FindStation(QString::fromLatin1(index));
        const QByteArray metno = Fixture("metno_complete_london_2020-07-20.json");
        for (const QDateTime& now : {london, londonNight}) {
            Forecast forecast;
            QString error;
            if (ReadMetNorway(metno, station, now, forecast, error) && ++pages)
                ExpectSamePage(forecast);
        }
        for (const auto& [name, now] : {std::pair{"openmeteo_forecast_hourly_3d_2026-03-02.json", openMeteo},
                                        std::pair{"openmeteo_norilsk_polar_night_2025-12-20.json", polarNight}}) {
            Forecast forecast;
            QString error;
            if (ReadOpenMeteo(Fixture(name), station, now, now, forecast, error) && ++pages)
                ExpectSamePage(forecast);
        }
    }
    EXPECT_GE(pages, 8);
    Forecast unknown;
    unknown.stationIndex = u"00000"_qs;
    EXPECT_TRUE(RenderOfflinePage(unknown, true).isEmpty());
}

} // namespace
} // namespace vetorlan
