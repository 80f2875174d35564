#include "sources/DayParts.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

namespace vetorlan {

namespace {

constexpr int kMaxDays = 7;
constexpr qint64 kHour = 3600;
constexpr qint64 kMaxGap = 6 * kHour + 60; // instants further apart are not joined
constexpr qint64 kSampleStep = kHour / 4;  // temperature ranges are read off the curve this often
constexpr int kMaxHours = 240;

int Round(double value) {
    return int(std::lround(value));
}

// One quantity's known values, in time order.
struct Series {
    std::vector<qint64> times;
    std::vector<double> values;

    void add(qint64 time, double value) {
        times.push_back(time);
        values.push_back(value);
    }
    // The segment [k-1, k] holding `time`, or the knot k itself; npos outside or across a gap.
    static constexpr size_t npos = size_t(-1);
    size_t segment(qint64 time) const {
        const size_t k = size_t(std::lower_bound(times.begin(), times.end(), time) - times.begin());
        if (k == times.size() || (times[k] != time && (k == 0 || times[k] - times[k - 1] > kMaxGap)))
            return npos;
        return k;
    }
    std::optional<double> linear(qint64 time) const {
        const size_t k = segment(time);
        if (k == npos)
            return {};
        if (times[k] == time)
            return values[k];
        const double u = double(time - times[k - 1]) / double(times[k] - times[k - 1]);
        return values[k - 1] + u * (values[k] - values[k - 1]);
    }
};

Series Collect(const QList<Instant>& instants, std::optional<double> Instant::*field) {
    Series series;
    for (const Instant& instant : instants) {
        if (const std::optional<double>& value = instant.*field)
            series.add(instant.time, *value);
    }
    return series;
}

// Temperature between the instants: a cubic through them (slopes from the neighbours), lifted
// or lowered inside a span whose extremes it misses, and held within those extremes.
class TemperatureCurve {
public:
    explicit TemperatureCurve(const Timeline& timeline) : knots_(Collect(timeline.instants, &Instant::temperature)) {
        for (const Span& span : timeline.spans) {
            if (span.low && span.high && span.end > span.start)
                AddBump(span);
        }
    }

    std::optional<double> at(qint64 time) const {
        const size_t k = knots_.segment(time);
        if (k == Series::npos)
            return {};
        if (knots_.times[k] == time)
            return knots_.values[k];
        double value = Cubic(k, time);
        double low = std::min(knots_.values[k - 1], knots_.values[k]);
        double high = std::max(knots_.values[k - 1], knots_.values[k]);
        if (const Bump* bump = BumpAt(time)) {
            const double shape =
                std::sin(std::numbers::pi * double(time - bump->start) / double(bump->end - bump->start));
            value += (bump->up - bump->down) * shape;
            low = std::min(low, bump->low);
            high = std::max(high, bump->high);
        }
        return std::clamp(value, low, high);
    }

private:
    struct Bump {
        qint64 start, end;
        double up, down, low, high;
    };

    double Slope(size_t k) const {
        const auto& t = knots_.times;
        const auto& v = knots_.values;
        const bool before = k > 0 && t[k] - t[k - 1] <= kMaxGap;
        const bool after = k + 1 < t.size() && t[k + 1] - t[k] <= kMaxGap;
        if (before && after)
            return (v[k + 1] - v[k - 1]) / double(t[k + 1] - t[k - 1]);
        if (before)
            return (v[k] - v[k - 1]) / double(t[k] - t[k - 1]);
        if (after)
            return (v[k + 1] - v[k]) / double(t[k + 1] - t[k]);
        return 0;
    }

    // Hermite cubic on the segment [k-1, k].
    double Cubic(size_t k, qint64 time) const {
        const double d = double(knots_.times[k] - knots_.times[k - 1]);
        const double u = double(time - knots_.times[k - 1]) / d;
        const double u2 = u * u, u3 = u2 * u;
        return (2 * u3 - 3 * u2 + 1) * knots_.values[k - 1] + (u3 - 2 * u2 + u) * d * Slope(k - 1) +
               (-2 * u3 + 3 * u2) * knots_.values[k] + (u3 - u2) * d * Slope(k);
    }

    void AddBump(const Span& span) {
        double lowest = *span.high, highest = *span.low;
        bool any = false;
        for (int i = 0; i <= 12; ++i) {
            const qint64 time = span.start + (span.end - span.start) * i / 12;
            const size_t k = knots_.segment(time);
            if (k == Series::npos)
                continue;
            const double value = knots_.times[k] == time ? knots_.values[k] : Cubic(k, time);
            lowest = std::min(lowest, value);
            highest = std::max(highest, value);
            any = true;
        }
        if (any) {
            bumps_.push_back({span.start, span.end, std::max(0.0, *span.high - highest),
                              std::max(0.0, lowest - *span.low), *span.low, *span.high});
        }
    }

    const Bump* BumpAt(qint64 time) const {
        auto it = std::upper_bound(bumps_.begin(), bumps_.end(), time,
                                   [](qint64 t, const Bump& bump) { return t < bump.start; });
        if (it == bumps_.begin())
            return nullptr;
        --it;
        return time < it->end ? &*it : nullptr;
    }

    Series knots_;
    std::vector<Bump> bumps_;
};

// Everything a part or an hour is made from.
struct Sources {
    explicit Sources(const Timeline& timeline)
        : spans(timeline.spans), temperature(timeline), pressure(Collect(timeline.instants, &Instant::pressure)),
          humidity(Collect(timeline.instants, &Instant::humidity)),
          speed(Collect(timeline.instants, &Instant::windSpeed)),
          gusts(Collect(timeline.instants, &Instant::windGust)) {
        for (const Instant& instant : timeline.instants) {
            if (instant.windFrom && instant.windSpeed) {
                const double radians = *instant.windFrom * std::numbers::pi / 180;
                east.add(instant.time, *instant.windSpeed * std::sin(radians));
                north.add(instant.time, *instant.windSpeed * std::cos(radians));
            }
        }
        start = timeline.instants.isEmpty() ? 0 : timeline.instants.first().time;
        end = timeline.instants.isEmpty() ? 0 : timeline.instants.last().time;
        if (!spans.isEmpty()) {
            start = timeline.instants.isEmpty() ? spans.first().start : std::min(start, spans.first().start);
            end = std::max(end, spans.last().end);
        }
    }

    const QList<Span>& spans;
    TemperatureCurve temperature;
    Series pressure, humidity, speed, gusts, east, north;
    qint64 start = 0, end = 0; // the time the answer speaks of
};

std::optional<double> Mean(const Series& series, qint64 from, qint64 to) {
    double sum = 0;
    int count = 0;
    for (qint64 time = from + kHour / 2; time < to; time += kHour) {
        if (const std::optional<double> value = series.linear(time)) {
            sum += *value;
            ++count;
        }
    }
    return count ? std::optional<double>(sum / count) : std::nullopt;
}

qint64 Overlap(const Span& span, qint64 from, qint64 to) {
    return std::max<qint64>(0, std::min(span.end, to) - std::max(span.start, from));
}

// The spans that may overlap [from, to); both their starts and their ends are in time order.
std::pair<const Span*, const Span*> Within(const QList<Span>& spans, qint64 from, qint64 to) {
    const Span* begin = spans.constData();
    const Span* end = begin + spans.size();
    const Span* first = std::partition_point(begin, end, [from](const Span& s) { return s.end <= from; });
    return {first, std::partition_point(first, end, [to](const Span& s) { return s.start < to; })};
}

bool IsWet(const QString& picture) {
    static const QStringList wet = {u"light-rain"_qs, u"rain"_qs,  u"light-snow"_qs,
                                    u"snow"_qs,       u"sleet"_qs, u"storm"_qs};
    return wet.contains(picture);
}

// The weather of [from, to): the condition covering most of it; precipitation wins when it
// covers a third of the time the spans speak of. "No data" only where nothing else is known.
std::optional<Condition> Weather(const QList<Span>& spans, qint64 from, qint64 to) {
    std::vector<std::pair<const Condition*, qint64>> weights;
    qint64 total = 0, wet = 0;
    bool unknown = false;
    const auto [first, last] = Within(spans, from, to);
    for (const Span* span = first; span != last; ++span) {
        const qint64 overlap = Overlap(*span, from, to);
        if (overlap == 0 || !span->condition)
            continue;
        if (span->condition->picture == NoDataCondition().picture) {
            unknown = true;
            continue;
        }
        auto found =
            std::find_if(weights.begin(), weights.end(), [&](const auto& w) { return *w.first == *span->condition; });
        if (found == weights.end())
            weights.emplace_back(&*span->condition, overlap);
        else
            found->second += overlap;
        total += overlap;
        wet += IsWet(span->condition->picture) ? overlap : 0;
    }
    if (weights.empty())
        return unknown ? std::optional(NoDataCondition()) : std::nullopt;
    const bool preferWet = wet * 3 >= total;
    const std::pair<const Condition*, qint64>* best = nullptr;
    for (const auto& weight : weights) {
        if (preferWet && !IsWet(weight.first->picture))
            continue;
        if (!best || weight.second > best->second ||
            (weight.second == best->second && weight.first->picture < best->first->picture))
            best = &weight;
    }
    return *best->first;
}

// Precipitation over [from, to): amounts weighed by overlap, when spans with an amount cover
// all of it from the answer's start on.
std::optional<double> Precipitation(const Sources& sources, qint64 from, qint64 to) {
    double sum = 0;
    qint64 covered = 0;
    const auto [first, last] = Within(sources.spans, from, to);
    for (const Span* span = first; span != last; ++span) {
        const qint64 overlap = Overlap(*span, from, to);
        if (overlap > 0 && span->precipitation) {
            sum += *span->precipitation * double(overlap) / double(span->end - span->start);
            covered += overlap;
        }
    }
    const qint64 needed = to - std::max(from, sources.start);
    if (covered == 0 || covered + 60 < needed)
        return {};
    return sum;
}

std::optional<double> Gust(const Sources& sources, qint64 from, qint64 to, bool closed) {
    std::optional<double> most;
    const auto& times = sources.gusts.times;
    for (auto it = std::lower_bound(times.begin(), times.end(), from); it != times.end(); ++it) {
        if (*it > to || (*it == to && !closed))
            break;
        most = std::max(most.value_or(0), sources.gusts.values[size_t(it - times.begin())]);
    }
    const auto [first, last] = Within(sources.spans, from, to);
    for (const Span* span = first; span != last; ++span) {
        if (span->windGust && Overlap(*span, from, to) > 0)
            most = std::max(most.value_or(0), *span->windGust);
    }
    return most;
}

std::optional<double> WindFrom(double east, double north) {
    if (std::hypot(east, north) < 1e-6)
        return {};
    const double degrees = std::atan2(east, north) * 180 / std::numbers::pi;
    return degrees < 0 ? degrees + 360 : degrees;
}

void SetTemperature(const Sources& sources, qint64 from, qint64 to, PartForecast& part) {
    std::optional<double> low, high;
    // The part's end counts once the part has values of its own.
    for (qint64 time = from; time < to || (time == to && low); time += kSampleStep) {
        if (const std::optional<double> value = sources.temperature.at(time)) {
            low = std::min(low.value_or(*value), *value);
            high = std::max(high.value_or(*value), *value);
        }
    }
    if (low) {
        part.temperatureLow = Round(*low);
        part.temperatureHigh = Round(*high);
    }
}

void SetWind(const Sources& sources, qint64 from, qint64 to, PartForecast& part) {
    if (const std::optional<double> speed = Mean(sources.speed, from, to))
        part.windSpeed = Round(*speed);
    const std::optional<double> east = Mean(sources.east, from, to), north = Mean(sources.north, from, to);
    if (east && north) {
        if (const std::optional<double> degrees = WindFrom(*east, *north))
            part.windDirection = Round(*degrees / 45) % 8;
    }
    if (const std::optional<double> gust = Gust(sources, from, to, true))
        part.windGust = Round(*gust);
}

PartForecast MakePart(const Sources& sources, qint64 from, qint64 to) {
    PartForecast part;
    SetTemperature(sources, from, to, part);
    if (const std::optional<Condition> weather = Weather(sources.spans, from, to)) {
        part.picture = weather->picture;
        part.text = weather->text;
    }
    if (const std::optional<double> pressure = Mean(sources.pressure, from, to))
        part.pressure = MillimetresOfMercury(*pressure);
    if (const std::optional<double> humidity = Mean(sources.humidity, from, to))
        part.humidity = std::clamp(Round(*humidity), 0, 100);
    SetWind(sources, from, to, part);
    part.precipitation = Precipitation(sources, from, to);
    part.known = part.temperatureLow || !part.picture.isEmpty() || part.pressure || part.humidity || part.windSpeed ||
                 part.precipitation;
    return part;
}

// The town's clock: local wall hours to UTC and UTC to local time, asking the zone again only
// past one of its transitions (most towns have none in the answer's days).
class ZoneClock {
public:
    explicit ZoneClock(const QTimeZone& zone) : zone_(zone) {}

    // Seconds since the epoch of `hour` (0…54) o'clock counted from the start of `date`.
    qint64 utcOf(const QDate& date, int hour) {
        constexpr qint64 kEpochDay = 2440588; // QDate(1970, 1, 1).toJulianDay()
        const qint64 wall = (date.toJulianDay() - kEpochDay) * 86400 + qint64(hour) * kHour;
        const qint64 utc = wall - OffsetAt(wall - OffsetAt(wall - offset_));
        if (utc + OffsetAt(utc) == wall)
            return utc;
        return QDateTime(date.addDays(hour / 24), QTime(hour % 24, 0), zone_).toSecsSinceEpoch(); // in a gap
    }

    QDateTime local(qint64 utc) { return QDateTime::fromSecsSinceEpoch(utc, Qt::OffsetFromUTC, OffsetAt(utc)); }

private:
    int OffsetAt(qint64 utc) {
        if (utc < from_ || utc >= until_) {
            const QDateTime at = QDateTime::fromSecsSinceEpoch(utc, QTimeZone::utc());
            offset_ = zone_.offsetFromUtc(at);
            const QTimeZone::OffsetData next = zone_.nextTransition(at);
            const QTimeZone::OffsetData previous = zone_.previousTransition(at.addSecs(1));
            until_ = next.atUtc.isValid() ? next.atUtc.toSecsSinceEpoch() : std::numeric_limits<qint64>::max();
            from_ = previous.atUtc.isValid() ? previous.atUtc.toSecsSinceEpoch() : std::numeric_limits<qint64>::min();
        }
        return offset_;
    }

    QTimeZone zone_;
    int offset_ = 0;
    qint64 from_ = 0, until_ = 0;
};

// Whether the answer speaks of any time in [from, to).
bool Covers(const Sources& sources, qint64 from, qint64 to) {
    return sources.start < to && sources.end > from;
}

// The hours from the current one (or the answer's first) on, at most ten days of them.
QList<HourForecast> MakeHours(const Sources& sources, ZoneClock& clock, qint64 now) {
    QList<HourForecast> hours;
    const qint64 first = std::max(now / kHour * kHour, (sources.start + kHour - 1) / kHour * kHour);
    const qint64 last = std::min(sources.end, first + kMaxHours * kHour);
    for (qint64 time = first; time <= last && hours.size() < kMaxHours; time += kHour) {
        const std::optional<double> temperature = sources.temperature.at(time);
        if (!temperature)
            continue;
        HourForecast hour;
        hour.local = clock.local(time);
        hour.temperature = *temperature;
        hour.precipitation = Precipitation(sources, time, time + kHour);
        const std::optional<double> east = sources.east.linear(time), north = sources.north.linear(time);
        if (east && north)
            hour.windFrom = WindFrom(*east, *north).value_or(0);
        hour.windSpeed = sources.speed.linear(time).value_or(0);
        hour.windGust = Gust(sources, time, time + kHour, false);
        const std::optional<Condition> weather = Weather(sources.spans, time, time + kHour);
        if (weather && weather->picture != NoDataCondition().picture)
            hour.picture = weather->picture;
        hours.append(hour);
    }
    return hours;
}

// The parts still to come (or in progress) and how many of them have a temperature.
bool MostlyMissing(const Forecast& forecast, ZoneClock& clock, qint64 now) {
    int total = 0, usable = 0;
    for (const DayForecast& day : forecast.days) {
        for (int part = 0; part < 4; ++part) {
            if (clock.utcOf(day.date, part * 6 + 12) <= now)
                continue;
            ++total;
            usable += day.parts[part].temperatureLow ? 1 : 0;
        }
    }
    if (forecast.nightInProgress) {
        ++total;
        usable += forecast.nightInProgress->temperatureLow ? 1 : 0;
    }
    return usable * 2 < total;
}

} // namespace

std::optional<double> Plausible(Quantity quantity, double value) {
    static constexpr std::pair<double, double> kBounds[] = {
        {-90, 60}, {500, 1100}, {0, 100}, {0, 100}, {0, 360}, {0, 500},
    };
    const auto [low, high] = kBounds[int(quantity)];
    if (!std::isfinite(value) || value < low || value > high)
        return {};
    return value;
}

int MillimetresOfMercury(double hectopascals) {
    return Round(hectopascals * 0.750061683);
}

double StationPressure(double seaLevelHpa, double temperatureC, double elevationMetres) {
    constexpr double g = 9.80665, dryAir = 287.05, lapse = 0.0065;
    const double column = temperatureC + 273.15 + lapse * elevationMetres / 2;
    return seaLevelHpa * std::exp(-g * elevationMetres / (dryAir * column));
}

namespace {

// Today in the town, or tomorrow in the last hour before midnight when the answer starts then.
std::optional<QDate> FirstDay(const Sources& sources, const QDateTime& local, ZoneClock& clock) {
    const QDate today = local.date();
    if (Covers(sources, clock.utcOf(today, 0), clock.utcOf(today, 30)))
        return today;
    if (local.time().hour() == 23 && Covers(sources, clock.utcOf(today, 24), clock.utcOf(today, 54)))
        return today.addDays(1);
    return std::nullopt;
}

// Days from `first` on that the answer covers to their night's end, at most seven.
QList<DayForecast> MakeDays(const Sources& sources, const QDate& first, ZoneClock& clock) {
    QList<DayForecast> days;
    for (QDate date = first; days.size() < kMaxDays && clock.utcOf(date, 30) <= sources.end; date = date.addDays(1)) {
        DayForecast day;
        day.date = date;
        for (int part = 0; part < 4; ++part)
            day.parts[part] = MakePart(sources, clock.utcOf(date, part * 6 + 6), clock.utcOf(date, part * 6 + 12));
        days.append(day);
    }
    return days;
}

} // namespace

bool MakeForecastDays(const Timeline& timeline, const QTimeZone& zone, const QDateTime& now, Forecast& forecast,
                      QString& error) {
    const Sources sources(timeline);
    ZoneClock clock(zone);
    const QDateTime local = now.toTimeZone(zone);
    const std::optional<QDate> first = FirstDay(sources, local, clock);
    if (!first) {
        error = QStringLiteral("the answer is not about today in the town");
        return false;
    }
    forecast.days = MakeDays(sources, *first, clock);
    forecast.nightInProgress.reset();
    if (*first == local.date() && local.time().hour() < 6) {
        const PartForecast night = MakePart(sources, clock.utcOf(*first, 0), clock.utcOf(*first, 6));
        if (night.known)
            forecast.nightInProgress = night;
    }
    if (MostlyMissing(forecast, clock, now.toSecsSinceEpoch())) {
        error = QStringLiteral("most values of the days to show are missing or out of bounds");
        return false;
    }
    forecast.hours = MakeHours(sources, clock, now.toSecsSinceEpoch());
    return true;
}

} // namespace vetorlan
