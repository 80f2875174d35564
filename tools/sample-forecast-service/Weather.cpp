#include "tools/sample-forecast-service/Weather.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace vetorlan::sample {

namespace {

// A small deterministic generator (splitmix64): the same seed gives the same numbers on
// every compiler and library, unlike the standard distributions.
class Dice {
public:
    explicit Dice(std::uint64_t seed) : state_(seed) {}
    int range(int low, int high) { return low + int(next() % std::uint64_t(high - low + 1)); }
    bool chance(int percent) { return range(0, 99) < percent; }

private:
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    std::uint64_t state_;
};

// Mean daily temperature of a middle-latitude town by month, and day length in minutes.
constexpr std::array<int, 12> kMonthMean = {-9, -8, -3, 5, 12, 16, 18, 16, 10, 4, -2, -7};
constexpr std::array<int, 12> kDayLength = {470, 570, 700, 840, 970, 1040, 1010, 890, 750, 610, 490, 420};
constexpr std::array<int, 4> kPartOffset = {-2, 2, 0, -4};

enum class Sky { Clear, Partly, Cloudy, Overcast, Precipitation, Fog };

struct Look {
    QString picture;
    QString text;
};

Look PrecipitationLook(int t, bool heavy, bool storm) {
    if (storm && t >= 12)
        return {u"storm"_qs, u"гроза"_qs};
    if (t <= -1)
        return heavy ? Look{u"snow"_qs, u"снег"_qs} : Look{u"light-snow"_qs, u"небольшой снег"_qs};
    if (t <= 1)
        return {u"sleet"_qs, u"дождь со снегом"_qs};
    return heavy ? Look{u"rain"_qs, u"дождь"_qs} : Look{u"light-rain"_qs, u"небольшой дождь"_qs};
}

Look SkyLook(Sky sky, bool night, int t, Dice& dice) {
    switch (sky) {
    case Sky::Clear:
        return {night ? u"clear-night"_qs : u"clear-day"_qs, u"ясно"_qs};
    case Sky::Partly:
        return {night ? u"partly-night"_qs : u"partly-day"_qs, u"переменная облачность"_qs};
    case Sky::Cloudy:
        return {u"cloudy"_qs, u"облачно с прояснениями"_qs};
    case Sky::Overcast:
        return {u"overcast"_qs, u"пасмурно"_qs};
    case Sky::Fog:
        return {u"fog"_qs, u"туман"_qs};
    case Sky::Precipitation:
        break;
    }
    const bool heavy = dice.chance(40);
    return PrecipitationLook(t, heavy, dice.chance(35));
}

Sky DaySky(Dice& dice) {
    const int roll = dice.range(0, 99);
    if (roll < 20)
        return Sky::Clear;
    if (roll < 42)
        return Sky::Partly;
    if (roll < 62)
        return Sky::Cloudy;
    if (roll < 78)
        return Sky::Overcast;
    return Sky::Precipitation;
}

// Parts of a day stay close to the day's sky: the same, or one step clearer or cloudier.
Sky PartSky(Sky daySky, int part, Dice& dice) {
    if (part == 0 && dice.chance(8))
        return Sky::Fog;
    if (daySky == Sky::Precipitation)
        return dice.chance(75) ? Sky::Precipitation : Sky::Overcast;
    const int shifted = int(daySky) + dice.range(-1, 1);
    return Sky(std::clamp(shifted, int(Sky::Clear), int(Sky::Overcast)));
}

PartForecast MakePart(int part, bool dark, int dayMean, Sky daySky, int windBase, int pressureBase, Dice& dice) {
    PartForecast w;
    const int temperature = dayMean + kPartOffset[part] + dice.range(-1, 1);
    w.temperatureLow = temperature - 1;
    w.temperatureHigh = temperature + 1;
    const Sky sky = PartSky(daySky, part, dice);
    const Look look = SkyLook(sky, dark, temperature, dice);
    w.picture = look.picture;
    w.text = look.text;
    w.pressure = pressureBase + dice.range(-2, 2) - (sky == Sky::Precipitation ? 3 : 0);
    const int humidityBase = sky == Sky::Precipitation || sky == Sky::Fog ? 88 : sky >= Sky::Cloudy ? 76 : 62;
    w.humidity = std::min(100, humidityBase + dice.range(0, 10) + (part == 3 ? 5 : 0));
    w.windDirection = (windBase + dice.range(-1, 1) + 8) % 8;
    w.windSpeed = std::max(1, dice.range(1, 6) + (sky == Sky::Precipitation ? 2 : 0) - (part == 3 ? 1 : 0));
    return w;
}

int MoonPhaseOn(const QDate& date) {
    constexpr double synodicMonth = 29.530588;
    const double age = std::fmod(double(QDate(2000, 1, 6).daysTo(date)) + 0.25, synodicMonth);
    const double positive = age < 0 ? age + synodicMonth : age;
    return int(std::lround(positive / synodicMonth * 8)) % 8;
}

DayForecast MakeDay(int stationIndex, const QDate& date) {
    Dice town(std::uint64_t(stationIndex) * 0x100000001B3ull);
    const int townOffset = town.range(-6, 6);
    const int noon = 12 * 60 + town.range(-50, 50);
    Dice dice(std::uint64_t(stationIndex) * 1000003ull ^ std::uint64_t(date.toJulianDay()) * 0x9E3779B1ull);
    DayForecast day;
    day.date = date;
    const int mean = kMonthMean[date.month() - 1] + townOffset + dice.range(-5, 5);
    const Sky sky = DaySky(dice);
    const int windBase = dice.range(0, 7);
    const int pressureBase = dice.range(738, 762);
    const int length = kDayLength[date.month() - 1] + dice.range(-10, 10);
    day.sunriseMinutes = noon - length / 2;
    day.sunsetMinutes = noon + length / 2;
    // Evenings are dark in the cold half of the year: they get the night pictures.
    const bool darkEvening = day.sunsetMinutes < 18 * 60;
    for (int part = 0; part < 4; ++part)
        day.parts[part] =
            MakePart(part, part == 3 || (part == 2 && darkEvening), mean, sky, windBase, pressureBase, dice);
    day.moonPhase = MoonPhaseOn(date);
    return day;
}

} // namespace

QList<DayForecast> WeekWeather(int stationIndex, const QDate& firstDay) {
    QList<DayForecast> week;
    for (int i = 0; i < 7; ++i)
        week << MakeDay(stationIndex, firstDay.addDays(i));
    return week;
}

} // namespace vetorlan::sample
