// Pages made from the live sources, against a loopback stand-in replaying recorded answers
// of MET Norway and Open-Meteo with their times moved to today. The town is Moscow (27612,
// Europe/Moscow, UTC+3 all year, 156 m), so the day parts below were worked out from the
// recordings by hand: ranges over the part's hours with both ends, means of the hours'
// middles, pressure brought from sea level to 156 m, precipitation of the hours in the part.
#include "sources/LiveForecast.h"
#include "core/CodePage.h"
#include "core/ProjectInfo.h"
#include "page/OfflinePage.h"
#include "platform/common/CurlHttpClient.h"
#include "sources/AnswerCache.h"
#include "sources/Converter.h"
#include "sources/Download.h"
#include "sources/HttpClient.h"
#include "sources/Stations.h"
#include "tests/sources/RequestStartRecorder.h"
#include "tools/live-stand-in/LiveStandIn.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>
#include <thread>

namespace vetorlan {
namespace {

using standin::Fault;
using standin::LiveStandIn;

const QString kMoscow = QStringLiteral("27612");
const QString kMetCredit = QStringLiteral("<a href=\"https://api.met.no/\">MET Norway</a>");
const QString kOpenMeteoCredit =
    QStringLiteral("<a href=\"https://open-meteo.com/\">Данные о погоде: Open-Meteo.com</a>");

CurlHttpClient::Limits QuickLimits() {
    CurlHttpClient::Limits limits;
    limits.connectSeconds = 2;
    limits.totalSeconds = 2;
    return limits;
}

class LiveForecast : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(cache_.isValid());
        qputenv("XDG_CACHE_HOME", cache_.path().toUtf8());
        qputenv("VETORLAN_METNO_URL", QByteArray::fromStdString(standIn_.metNorwayBase()));
        qputenv("VETORLAN_OPENMETEO_URL", QByteArray::fromStdString(standIn_.openMeteoBase()));
        SetHttpClient(&client_);
    }
    void TearDown() override {
        SetHttpClient(nullptr);
        qputenv("VETORLAN_METNO_URL", "http://127.0.0.1:9");
        qputenv("VETORLAN_OPENMETEO_URL", "http://127.0.0.1:9");
    }

    // The converted page of a town, as the load leaves it on disk.
    QString Page(const QString& index = kMoscow) {
        Forecast forecast;
        SourceFailures failures;
        EXPECT_TRUE(FetchLiveForecast(index, forecast, failures)) << ReasonsLogText(failures).toStdString();
        return fromCp1251(RenderOfflinePage(forecast, false));
    }

    // The part rows of the page, each as its cells' texts joined by "|".
    static QStringList PartRows(const QString& page) {
        QStringList rows;
        static const QRegularExpression row(u"<tr><th class=\"b-forecast-details__part\">[^<]+</th>.*?</tr>"_qs);
        static const QRegularExpression tag(u"<[^>]*>"_qs);
        for (const auto& match : row.globalMatch(page)) {
            QStringList cells = match.captured(0).split(tag);
            for (QString& cell : cells)
                cell = cell.trimmed();
            cells.removeAll(QString());
            rows << cells.join(u'|');
        }
        return rows;
    }
    static int Days(const QString& page) { return int(page.count(u"class=\"b-forecast-details__date"_qs)); }

    QString CacheFile(const QString& source) const {
        return cache_.filePath(u"vetorlan/"_qs + source + u"-27612.json"_qs);
    }

    QTemporaryDir cache_;
    LiveStandIn standIn_{QStringLiteral(VETORLAN_LIVE_FIXTURES)};
    CurlHttpClient client_{QuickLimits()};
};

TEST_F(LiveForecast, MetNorwayPageShowsSevenDaysOfDayPartsInTheTownsTimeZone) {
    const QString page = Page();
    EXPECT_EQ(Days(page), 7);
    // Today is the recording's 20 July, from 11Z (14:00 in Moscow): its morning had passed,
    // unless Moscow is already in the 21st. On 21 July 06–12 local is 03Z–09Z, and so on.
    // Columns: temperature, weather, precipitation, pressure, humidity, wind, speed, gusts.
    const QStringList rows = PartRows(page);
    ASSERT_GE(rows.size(), 28);
    const bool todayPartial = rows[0] == u"утром|—|—|—|—|—|—|—"_qs;
    if (todayPartial) {
        EXPECT_TRUE(rows[1].startsWith(u"днём|+"_qs)) << rows[1].toStdString();
    }
    const qsizetype at = todayPartial ? 4 : rows.size() - 28; // after the night in progress, if shown
    EXPECT_EQ(rows[at], u"утром|+11…+17°|ясно|0|755|75%|С|2|4"_qs);
    EXPECT_EQ(rows[at + 1], u"днём|+17…+20°|пасмурно|0|756|46%|СЗ|2|4"_qs);
    EXPECT_EQ(rows[at + 2], u"вечером|+16…+20°|пасмурно|0|755|46%|С|2|4"_qs);
    EXPECT_EQ(rows[at + 3], u"ночью|+11…+16°|ясно|0|756|80%|В|2|4"_qs);
    EXPECT_TRUE(page.contains(u"clear-night.gif"_qs));
    EXPECT_TRUE(page.contains(kMetCredit));
    EXPECT_TRUE(page.contains(u"CC BY 4.0"_qs));
    // The request names the program and stays within four decimals.
    const auto seen = standIn_.seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].path, "/metno/complete");
    EXPECT_EQ(seen[0].query, "lat=55.8333&lon=37.6167&altitude=156");
    EXPECT_EQ(QByteArray::fromStdString(seen[0].userAgent), ProgramUserAgent());
    EXPECT_NE(seen[0].acceptEncoding.find("gzip"), std::string::npos) << seen[0].acceptEncoding;
}

TEST_F(LiveForecast, CompactAndDeprecatedAnswersAreStillUsed) {
    standIn_.setMetFixture(u"metno_compact_newyork_2020-07-20.json"_qs);
    standIn_.metFault = Fault::Deprecated; // 203: logged, the answer is still good
    const QString page = Page();
    EXPECT_EQ(Days(page), 7);
    EXPECT_GE(PartRows(page).size(), 28);
    EXPECT_TRUE(page.contains(kMetCredit));
}

TEST_F(LiveForecast, FreshAnswerIsRenderedFromTheCacheAndAnExpiredOneRevalidated) {
    const QString first = Page();
    EXPECT_EQ(Page(), first);
    EXPECT_EQ(standIn_.count("/metno/complete"), 1) << "no request before Expires";

    standIn_.expiresIn = -60; // the next answer (or 304) is already stale
    QFile::remove(CacheFile(u"metno"_qs));
    Page();
    standIn_.forget();
    EXPECT_EQ(Page(), first);
    const auto seen = standIn_.seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].ifModifiedSince, standIn_.lastModified()) << "exactly the last Last-Modified";
}

TEST_F(LiveForecast, RequestsStartAtMostTenInAnySecondFallbacksIncluded) {
    test::RequestStartRecorder server; // fails every request: each town asks MET Norway, then Open-Meteo
    qputenv("VETORLAN_METNO_URL", QByteArray::fromStdString(server.url()));
    qputenv("VETORLAN_OPENMETEO_URL", QByteArray::fromStdString(server.url()));
    constexpr int kTowns = 16;
    std::atomic<int> next = 0;
    std::vector<std::thread> workers; // as many as a load runs
    for (int w = 0; w < 4; ++w) {
        workers.emplace_back([&] {
            for (int i = next++; i < kTowns; i = next++) {
                Forecast forecast;
                SourceFailures failures;
                EXPECT_FALSE(FetchLiveForecast(AllStations()[i].index, forecast, failures));
            }
        });
    }
    for (std::thread& worker : workers)
        worker.join();
    std::vector<std::chrono::nanoseconds> starts = server.starts();
    ASSERT_EQ(starts.size(), size_t(2 * kTowns));
    std::sort(starts.begin(), starts.end());
    for (size_t i = 0; i + 10 < starts.size(); ++i)
        EXPECT_GE(starts[i + 10] - starts[i], std::chrono::seconds(1)) << "11 starts within a second from #" << i;
}

class MetNorwayFault : public LiveForecast, public ::testing::WithParamInterface<Fault> {};

TEST_P(MetNorwayFault, FallsBackToOpenMeteo) {
    standIn_.metFault = GetParam();
    standIn_.slowSeconds = 3; // beyond the client's 2 s
    const QString page = Page();
    EXPECT_TRUE(page.contains(kOpenMeteoCredit));
    EXPECT_FALSE(page.contains(kMetCredit));
    EXPECT_EQ(Days(page), 2) << "the Open-Meteo recording holds two whole days";
    QStringList rows = PartRows(page);
    if (rows.size() == 9 && rows[0].startsWith(u"до утра|"_qs))
        rows.removeFirst(); // the night in progress
    ASSERT_EQ(rows.size(), 8);
    // 2 March of the recording: surface pressure; wind and gusts given in km/h.
    EXPECT_EQ(rows[0], u"утром|&minus;1…+9°|туман|0|743|91%|В|1|5"_qs);
    EXPECT_EQ(rows[1], u"днём|+9…+13°|малооблачно|0|741|57%|ЮВ|3|7"_qs);
    EXPECT_EQ(rows[7], u"ночью|&minus;1…+5°|туман|0|744|94%|СВ|0|1"_qs);
    EXPECT_EQ(standIn_.count("/openmeteo/forecast"), 1);
}

INSTANTIATE_TEST_SUITE_P(Faults, MetNorwayFault,
                         ::testing::Values(Fault::TooManyRequests, Fault::ServerError, Fault::Slow, Fault::Truncated,
                                           Fault::NotJson));

TEST_F(LiveForecast, EachFailingSourceIsNamedWithItsReason) {
    standIn_.metFault = Fault::Slow;
    standIn_.slowSeconds = 3; // beyond the client's 2 s
    Forecast forecast;
    SourceFailures failures;
    ASSERT_TRUE(FetchLiveForecast(kMoscow, forecast, failures));
    ASSERT_EQ(failures.size(), 1) << "Open-Meteo answered, MET Norway's failure stays";
    EXPECT_EQ(ReasonsText(failures), u"MET Norway: нет ответа за 2 с"_qs);
    EXPECT_FALSE(failures[0].detail.isEmpty());

    standIn_.metFault = Fault::ServerError;
    standIn_.openMeteoFails = true;
    EXPECT_FALSE(FetchLiveForecast(u"26063"_qs, forecast, failures));
    EXPECT_EQ(ReasonsText(failures), u"MET Norway: HTTP 500; Open-Meteo: HTTP 500"_qs);
    EXPECT_EQ(failures[1].httpStatus, 500);
}

// The load writes nothing for a town without a page.
TEST_F(LiveForecast, BothSourcesFailingGiveNoPage) {
    standIn_.metFault = Fault::ServerError;
    standIn_.openMeteoFails = true;
    const TownPage page = LivePages().Page(kMoscow, {}, {u"True"_qs, {}}, nullptr);
    EXPECT_FALSE(page.ok);
    EXPECT_TRUE(page.bytes.isEmpty());
    EXPECT_EQ(page.failures.size(), 2);
}

TEST_F(LiveForecast, DamagedCacheEntryIsIgnoredAndReplaced) {
    QDir().mkpath(cache_.filePath(u"vetorlan"_qs));
    for (const QByteArray& damage :
         {QByteArray("{\"body\": \"{\\\"type\\\": \"}"), QByteArray("\x00\xff garbage", 10)}) {
        QFile entry(CacheFile(u"metno"_qs));
        ASSERT_TRUE(entry.open(QIODevice::WriteOnly | QIODevice::Truncate));
        entry.write(damage);
        entry.close();
        EXPECT_TRUE(Page().contains(kMetCredit));
        CachedAnswer stored;
        EXPECT_TRUE(LoadCachedAnswer(u"metno"_qs, kMoscow, stored));
        EXPECT_TRUE(stored.body.startsWith("{\"geometry\""));
    }
}

// Entries that must not be trusted as they stand: the next load asks the service, and
// revalidates (If-Modified-Since) only an answer of today with a well-formed Last-Modified.
struct UntrustedEntry {
    const char* name;
    qint64 fetchedAgo;       // seconds; negative: in the future
    qint64 expiresIn;        // seconds from now
    QByteArray lastModified; // empty: the stand-in's own
    qint64 padding;          // spaces after the body
    bool revalidated;
};

constexpr qint64 kHour = 3600, kYear = 365 * 24 * kHour;

class CacheEntry : public LiveForecast, public ::testing::WithParamInterface<UntrustedEntry> {
protected:
    // The entry of a real answer with the row's times, Last-Modified and padding.
    QByteArray Entry(const UntrustedEntry& row) {
        Page();
        CachedAnswer stored;
        EXPECT_TRUE(LoadCachedAnswer(u"metno"_qs, kMoscow, stored));
        const QDateTime now = QDateTime::currentDateTimeUtc();
        QJsonObject entry;
        entry.insert(u"lastModified"_qs,
                     QString::fromLatin1(row.lastModified.isEmpty() ? QByteArray::fromStdString(standIn_.lastModified())
                                                                    : row.lastModified));
        entry.insert(u"expires"_qs, now.addSecs(row.expiresIn).toString(Qt::ISODate));
        entry.insert(u"fetched"_qs, now.addSecs(-row.fetchedAgo).toString(Qt::ISODate));
        entry.insert(u"body"_qs, QString::fromUtf8(stored.body + QByteArray(row.padding, ' ')));
        return QJsonDocument(entry).toJson(QJsonDocument::Compact);
    }
};

TEST_P(CacheEntry, IsAskedAboutAgain) {
    const UntrustedEntry& row = GetParam();
    QFile file(CacheFile(u"metno"_qs));
    const QByteArray entry = Entry(row);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(entry) == entry.size());
    file.close();
    standIn_.forget();
    EXPECT_TRUE(Page().contains(kMetCredit));
    const auto seen = standIn_.seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].ifModifiedSince, row.revalidated ? standIn_.lastModified() : std::string());
}

INSTANTIATE_TEST_SUITE_P(
    Entries, CacheEntry,
    ::testing::Values(UntrustedEntry{"ExpiresIn100YearsFetched4HoursAgo", 4 * kHour, 100 * kYear, {}, 0, true},
                      UntrustedEntry{"FetchedIn2096", -70 * kYear, 71 * kYear, {}, 0, false},
                      UntrustedEntry{"FetchedTwoDaysAgo", 48 * kHour, 100 * kYear, {}, 0, false},
                      UntrustedEntry{"LastModifiedWithControlBytes", 4 * kHour, -kHour,
                                     QByteArray("Mon, 20 Jul 2020\x01 12:14:53 GMT\x7f"), 0, false},
                      UntrustedEntry{"LargerThan8MiB", 60, 1800, {}, kMaxCacheEntryBytes, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LiveForecast, LinkInPlaceOfACacheEntryIsNeitherReadNorWrittenThrough) {
    Page();
    QTemporaryDir elsewhere;
    const QString target = elsewhere.filePath(u"entry.json"_qs);
    ASSERT_TRUE(QFile::rename(CacheFile(u"metno"_qs), target)); // fresh, but not the program's own
    ASSERT_TRUE(QFile::link(target, CacheFile(u"metno"_qs)));
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    standIn_.forget();
    EXPECT_TRUE(Page().contains(kMetCredit));
    EXPECT_EQ(standIn_.count("/metno/complete"), 1);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    EXPECT_FALSE(QFileInfo(CacheFile(u"metno"_qs)).isSymLink());
    CachedAnswer stored;
    EXPECT_TRUE(LoadCachedAnswer(u"metno"_qs, kMoscow, stored));
}

} // namespace
} // namespace vetorlan
