#include "forecast/DayParts.h"

#include <QMap>
#include <algorithm>
#include <cmath>

namespace vetorlan {

namespace {

constexpr int kMaxDays = 7;

// The day and part (0 morning … 3 night) a local time belongs to.
std::pair<QDate, int> PartOf(const QDateTime& local) {
    const int hour = local.time().hour();
    if (hour < 6)
        return {local.date().addDays(-1), 3};
    return {local.date(), hour / 6 - 1};
}

int Round(double value) {
    return int(std::lround(value));
}

PartForecast MakePart(const QList<const WeatherStep*>& steps, int part) {
    const int middle = (part == 3 ? 3 : part * 6 + 9) * 60;
    const auto distance = [middle](const WeatherStep* step) {
        return std::abs(step->local.time().hour() * 60 + step->local.time().minute() - middle);
    };
    const WeatherStep* nearest =
        *std::min_element(steps.begin(), steps.end(),
                          [&](const WeatherStep* a, const WeatherStep* b) { return distance(a) < distance(b); });
    double low = nearest->temperature, high = nearest->temperature;
    for (const WeatherStep* step : steps) {
        low = std::min({low, step->temperature, step->periodLow.value_or(step->temperature)});
        high = std::max({high, step->temperature, step->periodHigh.value_or(step->temperature)});
    }
    PartForecast p;
    p.temperatureLow = Round(low);
    p.temperatureHigh = Round(high);
    p.picture = nearest->condition.picture;
    p.text = nearest->condition.text;
    p.pressure = MillimetresOfMercury(nearest->pressureHpa);
    p.humidity = std::clamp(Round(nearest->humidity), 0, 100);
    p.windDirection = Round(std::fmod(std::fmod(nearest->windFrom, 360.0) + 360.0, 360.0) / 45.0) % 8;
    p.windSpeed = Round(nearest->windSpeed);
    return p;
}

// The first part from which every later part of the day has steps; 4 when the last has none.
int FirstKnownPart(const std::array<QList<const WeatherStep*>, 4>& parts) {
    int first = 4;
    while (first > 0 && !parts[first - 1].isEmpty())
        --first;
    return first;
}

} // namespace

int MillimetresOfMercury(double hectopascals) {
    return Round(hectopascals * 0.750061683);
}

QList<DayForecast> GroupIntoDays(const QList<WeatherStep>& steps, const QDate& today) {
    QMap<QDate, std::array<QList<const WeatherStep*>, 4>> byDay;
    for (const WeatherStep& step : steps) {
        const auto [date, part] = PartOf(step.local);
        if (date >= today)
            byDay[date][part].append(&step);
    }
    QList<DayForecast> days;
    for (auto it = byDay.cbegin(); it != byDay.cend() && days.size() < kMaxDays; ++it) {
        const int firstKnown = FirstKnownPart(*it);
        const bool follows = days.isEmpty() || days.last().date.addDays(1) == it.key();
        // Only the first day may lack its earliest parts: those have passed before the forecast.
        if (firstKnown > 3 || (firstKnown > 0 && !days.isEmpty()) || !follows) {
            if (days.isEmpty())
                continue;
            break;
        }
        DayForecast day;
        day.date = it.key();
        for (int part = 0; part < 4; ++part)
            day.parts[part] = part < firstKnown ? PartForecast{} : MakePart((*it)[part], part);
        for (int part = 0; part < firstKnown; ++part)
            day.parts[part].known = false;
        days.append(day);
    }
    return days;
}

} // namespace vetorlan
