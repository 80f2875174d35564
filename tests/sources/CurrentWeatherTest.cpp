// The tray's digest of a forecast: what it keeps of the hours, its file, which step is
// current, and the tooltip. Instants are written out as seconds since the epoch.
#include "sources/CurrentWeather.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTimeZone>
#include <functional>
#include <gtest/gtest.h>

namespace vetorlan {
namespace {

constexpr qint64 k0200Utc = 1772416800; // 2026-03-02 02:00 UTC = 09:00 in Krasnoyarsk (UTC+7)
constexpr qint64 kHour = 3600;

// The cache folder points into a fresh temporary folder while it lives.
class TempCache {
public:
    TempCache() : previous_(qgetenv("XDG_CACHE_HOME")) { qputenv("XDG_CACHE_HOME", dir_.path().toUtf8()); }
    ~TempCache() { qputenv("XDG_CACHE_HOME", previous_); }
    QString folder() const { return dir_.path() + u"/vetorlan"_qs; }

private:
    QTemporaryDir dir_;
    QByteArray previous_;
};

HourForecast Hour(const QDateTime& local, double temperature, double windFrom, const QString& picture) {
    HourForecast hour;
    hour.local = local;
    hour.temperature = temperature;
    hour.windFrom = windFrom;
    hour.windSpeed = 3.26;
    hour.picture = picture;
    return hour;
}

TEST(CurrentWeather, KeepsTheHoursFromAnHourAgoToTwoDaysAheadInUtc) {
    const QTimeZone krasnoyarsk("Asia/Krasnoyarsk");
    const QDateTime nine(QDate(2026, 3, 2), QTime(9, 0), krasnoyarsk);
    Forecast forecast;
    forecast.stationIndex = u"29570"_qs;
    forecast.issueDate = QDate(2026, 3, 2);
    forecast.issueMinutes = 8 * 60 + 45; // 01:45 UTC
    for (int k = -3; k < 60; ++k)
        forecast.hours << Hour(nine.addSecs(k * kHour), k - 0.5, -10, u"light-snow"_qs);
    forecast.hours[10].temperature = qQNaN();
    forecast.hours.swapItemsAt(20, 21);

    const QDateTime now = nine.addSecs(-10 * 60); // 08:50 local
    const std::optional<CurrentWeather> weather = MakeCurrentWeather(forecast, u"Красноярск"_qs, now);
    ASSERT_TRUE(weather);
    EXPECT_EQ(weather->town, u"Красноярск"_qs);
    EXPECT_EQ(weather->stationIndex, u"29570"_qs);
    EXPECT_EQ(weather->issued, k0200Utc - 15 * 60);
    // 08:00 up to 08:50 + 48 h, without the hour that has no temperature.
    ASSERT_EQ(weather->steps.size(), 48);
    EXPECT_EQ(weather->steps.first().start, k0200Utc - kHour);
    EXPECT_EQ(weather->steps.last().start, k0200Utc + 47 * kHour);
    EXPECT_EQ(weather->validUntil, k0200Utc + 48 * kHour - 10 * 60);
    for (qsizetype i = 1; i < weather->steps.size(); ++i)
        EXPECT_LT(weather->steps[i - 1].start, weather->steps[i].start);
    const WeatherStep& first = weather->steps.first();
    EXPECT_DOUBLE_EQ(first.temperature, -1.5);
    EXPECT_EQ(first.windFrom, 350);
    EXPECT_EQ(first.picture, u"light-snow"_qs);
    EXPECT_EQ(first.text, u"небольшой снег"_qs);

    // Quarter-hour steps still make a digest that reads back.
    for (HourForecast& hour : forecast.hours)
        hour.local = nine.addSecs((&hour - forecast.hours.data()) * 15 * 60);
    const std::optional<CurrentWeather> fine = MakeCurrentWeather(forecast, u"Красноярск"_qs, nine);
    ASSERT_TRUE(fine);
    EXPECT_EQ(ParseCurrentWeather(FormatCurrentWeather(*fine)), fine);

    forecast.hours.clear(); // the page service's forecasts have no hours
    EXPECT_FALSE(MakeCurrentWeather(forecast, u"Красноярск"_qs, now));
}

CurrentWeather SampleDigest() {
    CurrentWeather weather{u"Ростов-на-Дону"_qs, u"34731"_qs, k0200Utc - 600, k0200Utc + 3 * kHour, {}};
    weather.steps << WeatherStep{k0200Utc, -12.4, 0, 4.5, u"snow"_qs, u"снег"_qs}
                  << WeatherStep{k0200Utc + kHour, -0.46, 359, 0, QString(), QString()} // not −0.5
                  << WeatherStep{k0200Utc + 2 * kHour, 7.8, 135, 12.3, u"storm"_qs, u"гроза, сильный град"_qs};
    return weather;
}

TEST(CurrentWeather, FileReadsBackWholeAndAnyDamageReadsAsNone) {
    TempCache cache;
    const CurrentWeather weather = SampleDigest();
    EXPECT_FALSE(LoadCurrentWeather(weather.stationIndex));
    ASSERT_TRUE(StoreCurrentWeather(weather));
    EXPECT_EQ(LoadCurrentWeather(weather.stationIndex), weather);
    QFile::copy(CurrentWeatherPath(u"34731"_qs), CurrentWeatherPath(u"34730"_qs)); // another town's
    EXPECT_FALSE(LoadCurrentWeather(u"34730"_qs));

    const QByteArray good = FormatCurrentWeather(weather);
    for (qsizetype cut = 0; cut < good.size(); ++cut)
        ASSERT_FALSE(ParseCurrentWeather(good.left(cut))) << "cut at " << cut;
    const std::function<QByteArray(QByteArray)> damages[] = {
        [](QByteArray t) { return t.replace("weather 1", "weather 2"); },
        [](QByteArray t) { return t.replace("-12.4", "nan"); },
        [](QByteArray t) { return t.replace("\t359\t", "\t360\t"); },
        [](QByteArray t) { return t.replace("\t4.5\t", "\t-4.5\t"); },
        [](QByteArray t) { return t.replace("snow\tснег", "Snow\tснег"); },
        [](QByteArray t) { return t.replace("\t1772416800\t", "\t1772424000\t"); }, // out of order
        [](QByteArray t) { return t.replace("end\t3", "end\t2"); },
        [](QByteArray t) { return t.replace("valid\t", "valid\tx"); },
        [](QByteArray t) { return t.insert(t.indexOf("hour"), "colour\tred\n"); },
        [](QByteArray t) { return t.replace("снег", "\xd1\x20\xd0"); }, // not UTF-8
        [](QByteArray t) { return t + "hour\t1\n"; },
        [](QByteArray t) { return t.replace("гроза", QByteArray(20000, 'a')); },
    };
    for (const auto& damage : damages)
        EXPECT_FALSE(ParseCurrentWeather(damage(good))) << damage(good).left(300).constData();

    QFile::remove(CurrentWeatherPath(weather.stationIndex));
    QDir(cache.folder()).mkpath(u"current-34731.txt/inside"_qs); // a folder under the name
    EXPECT_FALSE(LoadCurrentWeather(weather.stationIndex));
    EXPECT_TRUE(CurrentWeatherPath(u"../x"_qs).isEmpty());
}

TEST(CurrentWeather, CurrentStepIsTheNearestWithinItsValidity) {
    CurrentWeather weather{u"Омск"_qs, u"28698"_qs, k0200Utc, k0200Utc + 12 * kHour, {}};
    for (int k : {0, 1, 2, 3, 10, 11, 12, 13}) // a gap from 04:00 to 11:00; steps past the validity
        weather.steps << WeatherStep{k0200Utc + k * kHour, double(k), 0, 0, QString(), QString()};
    const auto at = [&](qint64 now) { return CurrentStep(weather, now) ? CurrentStep(weather, now)->start : -1; };
    EXPECT_EQ(at(k0200Utc + 2 * kHour + 20 * 60), k0200Utc + 2 * kHour);
    EXPECT_EQ(at(k0200Utc + 2 * kHour + 40 * 60), k0200Utc + 3 * kHour);
    EXPECT_EQ(at(k0200Utc - 3 * kHour), k0200Utc); // the clock a little behind the forecast
    EXPECT_EQ(at(k0200Utc - 3 * kHour - 1), -1);   // far behind
    EXPECT_EQ(at(k0200Utc + 6 * kHour), k0200Utc + 3 * kHour);
    EXPECT_EQ(at(k0200Utc + 6 * kHour + 1), -1); // the gap: nothing within three hours
    EXPECT_EQ(at(k0200Utc + 12 * kHour), k0200Utc + 12 * kHour);
    EXPECT_EQ(at(k0200Utc + 12 * kHour + 1), -1); // stale though steps follow
    weather.steps.clear();
    EXPECT_EQ(at(k0200Utc), -1);
}

TEST(CurrentWeather, TipNamesTownTemperatureConditionWindAndIssue) {
    // Tests run in Moscow's time, UTC+3 all year.
    CurrentWeather weather{u"Москва"_qs, u"27612"_qs, 1772446800, 0, {}}; // 2026-03-02 10:20 UTC
    const QDateTime sameDay = QDateTime::fromSecsSinceEpoch(1772446800 + 9 * kHour);
    const QDateTime nextDay = QDateTime::fromSecsSinceEpoch(1772446800 + 11 * kHour);
    const auto tip = [&](double t, double from, double speed, const QString& text, const QDateTime& now) {
        return CurrentWeatherTip(weather, WeatherStep{0, t, int(from), speed, QString(), text}, now);
    };
    EXPECT_EQ(tip(-3.4, 10, 4.4, u"облачно"_qs, sameDay), u"Москва: −3°, облачно, ветер С 4 м/с. Прогноз от 13:20"_qs);
    EXPECT_EQ(tip(-0.4, 100, 0.6, QString(), sameDay), u"Москва: 0°, ветер В 1 м/с. Прогноз от 13:20"_qs);
    EXPECT_EQ(tip(11.6, 337, 7.5, u"ясно"_qs, sameDay), u"Москва: +12°, ясно, ветер СЗ 8 м/с. Прогноз от 13:20"_qs);
    EXPECT_EQ(tip(-25.5, 338, 3, u"снег"_qs, nextDay),
              u"Москва: −26°, снег, ветер С 3 м/с. Прогноз от 2 марта, 13:20"_qs);
    EXPECT_EQ(tip(0.4, 200, 0.4, QString(), sameDay), u"Москва: 0°, штиль. Прогноз от 13:20"_qs);
}

} // namespace
} // namespace vetorlan
