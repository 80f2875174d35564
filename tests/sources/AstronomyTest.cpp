// Sunrise, sunset and the moon phase of every catalogue town on every day of a year, each
// against a computation of its own: the sun's altitude scanned across the local day, and the
// moon's elongation from the sun followed through the year.
#include "sources/Astronomy.h"
#include "sources/Stations.h"

#include <QDateTime>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <numbers>
#include <vector>

namespace vetorlan {
namespace {

constexpr double kDeg = std::numbers::pi / 180.0;
constexpr double kUnixEpoch = 2440587.5;
constexpr double kMsecsPerDay = 86400000.0;
const QDate kFirstDay(2026, 1, 1);
const QDate kLastDay(2026, 12, 31);

double Jd(const QDateTime& time) {
    return kUnixEpoch + double(time.toMSecsSinceEpoch()) / kMsecsPerDay;
}

QDateTime Instant(double jd, const QTimeZone& zone) {
    return QDateTime::fromMSecsSinceEpoch(qint64(std::floor((jd - kUnixEpoch) * kMsecsPerDay)), zone);
}

// Local clock time of an instant, in minutes with their fraction.
double ClockMinutes(double jd, const QTimeZone& zone) {
    const double msecs = (jd - kUnixEpoch) * kMsecsPerDay;
    return (Instant(jd, zone).time().msecsSinceStartOfDay() + (msecs - std::floor(msecs))) / 60000.0;
}

// The sun's apparent ecliptic longitude (NOAA's equations), degrees.
double SunLongitude(double t) {
    const double m = (357.52911 + 35999.05029 * t - 0.0001537 * t * t) * kDeg;
    const double centre = (1.914602 - 0.004817 * t - 0.000014 * t * t) * std::sin(m) +
                          (0.019993 - 0.000101 * t) * std::sin(2 * m) + 0.000289 * std::sin(3 * m);
    return 280.46646 + 36000.76983 * t + 0.0003032 * t * t + centre - 0.00569 -
           0.00478 * std::sin((125.04 - 1934.136 * t) * kDeg);
}

// ---- Sun: altitude on a ten-minute table of declination and right ascension ----

class SunTable {
public:
    SunTable(double from, double to) : from_(from) {
        double previous = 0;
        for (double jd = from; jd <= to + kStep; jd += kStep) {
            const double t = (jd - 2451545.0) / 36525.0;
            const double lambda = SunLongitude(t) * kDeg;
            const double epsilon =
                (23.439291 - 0.0130042 * t + 0.00256 * std::cos((125.04 - 1934.136 * t) * kDeg)) * kDeg;
            double ra = std::atan2(std::cos(epsilon) * std::sin(lambda), std::cos(lambda));
            while (ra < previous - std::numbers::pi)
                ra += 2 * std::numbers::pi;
            previous = ra;
            const double declination = std::asin(std::sin(epsilon) * std::sin(lambda));
            rows_.push_back({std::sin(declination), std::cos(declination), ra});
        }
    }
    // Sine of the altitude above that of the sun rising or setting: positive while it is up.
    double Above(double jd, double sinLat, double cosLat, double longitude) const {
        const double x = (jd - from_) / kStep;
        const auto i = size_t(x);
        const double f = x - double(i);
        const Row& a = rows_[i];
        const Row& b = rows_[i + 1];
        const double sidereal = (280.46061837 + 360.98564736629 * (jd - 2451545.0)) * kDeg;
        const double hour = sidereal + longitude * kDeg - (a.ra + f * (b.ra - a.ra));
        return sinLat * (a.sinDec + f * (b.sinDec - a.sinDec)) +
               cosLat * (a.cosDec + f * (b.cosDec - a.cosDec)) * std::cos(hour) - std::sin(-0.833 * kDeg);
    }
    static constexpr double kStep = 10.0 / 1440.0;

private:
    struct Row {
        double sinDec, cosDec, ra;
    };
    double from_;
    std::vector<Row> rows_;
};

struct SunEvent {
    double jd;
    bool rising;
};

struct Scan {
    const SunTable& table;
    double sinLat, cosLat, longitude;
    double f(double jd) const { return table.Above(jd, sinLat, cosLat, longitude); }
    double Halve(double a, double b) const {
        const bool upAtA = f(a) > 0;
        while (b - a > 1.0 / 86400.0 / 8) {
            const double mid = (a + b) / 2;
            (f(mid) > 0) == upAtA ? a = mid : b = mid;
        }
        return (a + b) / 2;
    }
    // Where the altitude peaks (sign +1) or bottoms out (sign -1) between a and b.
    double Extremum(double a, double b, double sign) const {
        for (int i = 0; i < 60; ++i) {
            const double m1 = a + (b - a) / 3, m2 = b - (b - a) / 3;
            sign* f(m1) < sign* f(m2) ? a = m1 : b = m2;
        }
        return (a + b) / 2;
    }
    // Every crossing within [first, last): sign changes between samples, and the two crossings
    // of a peak or a trough that the samples straddle without seeing.
    std::vector<SunEvent> Events(double first, double last) const {
        std::vector<double> t, v;
        for (double jd = first - SunTable::kStep; jd < last + SunTable::kStep; jd += SunTable::kStep) {
            t.push_back(jd);
            v.push_back(f(jd));
        }
        std::vector<SunEvent> events;
        auto add = [&](double a, double b) {
            const double at = Halve(a, b);
            if (at >= first && at < last)
                events.push_back({at, f(b) > 0});
        };
        for (size_t i = 0; i + 1 < t.size(); ++i) {
            if ((v[i] > 0) != (v[i + 1] > 0))
                add(t[i], t[i + 1]);
            const bool sameSign = i > 0 && (v[i - 1] > 0) == (v[i] > 0) && (v[i] > 0) == (v[i + 1] > 0);
            const double sign = v[i] > 0 ? -1 : 1; // look for a trough above, a peak below
            if (sameSign && sign * v[i] >= sign * v[i - 1] && sign * v[i] >= sign * v[i + 1] && std::abs(v[i]) < 1e-3) {
                const double peak = Extremum(t[i - 1], t[i + 1], sign);
                if ((f(peak) > 0) != (v[i] > 0)) {
                    add(t[i - 1], peak);
                    add(peak, t[i + 1]);
                }
            }
        }
        std::sort(events.begin(), events.end(), [](const SunEvent& a, const SunEvent& b) { return a.jd < b.jd; });
        return events;
    }
};

struct SunTally {
    int days = 0, events = 0, overHalf = 0, overOne = 0, polarDays = 0, polarNights = 0, oneEventDays = 0;
    int mismatches = 0, threeEventDays = 0;
    double worst = 0, latestLeftOut = 0;
    QString worstAt;
};

void CompareEvent(int shown, double jd, const QTimeZone& zone, SunTally& tally, const QString& where) {
    ++tally.events;
    const double off = shown < 0 ? 1e9 : std::abs(shown - ClockMinutes(jd, zone));
    tally.overHalf += off > 0.5;
    tally.overOne += off > 1.0;
    if (off > tally.worst) {
        tally.worst = off;
        tally.worstAt = where;
    }
}

void CompareDay(const SunDay& sun, const std::vector<SunEvent>& events, bool upAtMidnight, const QTimeZone& zone,
                SunTally& tally, const QString& where) {
    ++tally.days;
    std::vector<SunEvent> rises, sets;
    for (const SunEvent& e : events)
        (e.rising ? rises : sets).push_back(e);
    if (events.empty())
        ++(upAtMidnight ? tally.polarDays : tally.polarNights);
    tally.oneEventDays += events.size() == 1;
    const bool sameShape = sun.upAtMidnight == upAtMidnight && (sun.sunrise >= 0) == !rises.empty() &&
                           (sun.sunset >= 0) == !sets.empty() && events.size() <= 3;
    if (events.size() == 3) {
        ++tally.threeEventDays;
        tally.latestLeftOut = std::max(tally.latestLeftOut, 1440 - ClockMinutes(events[2].jd, zone));
    }
    if (!sameShape) {
        if (++tally.mismatches <= 10)
            ADD_FAILURE() << where.toStdString() << ": shown " << sun.sunrise << "/" << sun.sunset << " up "
                          << sun.upAtMidnight << ", computed " << rises.size() << " rises, " << sets.size()
                          << " sets, up " << upAtMidnight;
        return;
    }
    if (!rises.empty())
        CompareEvent(sun.sunrise, rises[0].jd, zone, tally, where + u" rise"_qs);
    if (!sets.empty())
        CompareEvent(sun.sunset, sets[0].jd, zone, tally, where + u" set"_qs);
}

TEST(Astronomy, SunriseAndSunsetOfEveryTownAndDayMatchTheScannedAltitude) {
    const QTimeZone utc = QTimeZone::utc();
    const SunTable table(Jd(QDateTime(kFirstDay.addDays(-2), QTime(0, 0), utc)),
                         Jd(QDateTime(kLastDay.addDays(3), QTime(0, 0), utc)));
    SunTally tally;
    for (const Station& station : AllStations()) {
        const QTimeZone zone(station.timeZone.toUtf8());
        const Scan scan{table, std::sin(station.latitude * kDeg), std::cos(station.latitude * kDeg), station.longitude};
        for (QDate date = kFirstDay; date <= kLastDay; date = date.addDays(1)) {
            const double first = Jd(QDateTime(date, QTime(0, 0), zone));
            const double last = Jd(QDateTime(date.addDays(1), QTime(0, 0), zone));
            const SunDay sun = SunOnDate(date, station.latitude, station.longitude, zone);
            CompareDay(sun, scan.Events(first, last), scan.f(first) > 0, zone, tally,
                       station.name + u' ' + date.toString(Qt::ISODate));
        }
    }
    std::printf("sun: %d days, %d events, worst %.2f min (%s), %d over half a minute, %d over a minute; "
                "%d polar days, %d polar nights, %d days with one event, %d with three (the third at most %.0f min "
                "before midnight), %d mismatches\n",
                tally.days, tally.events, tally.worst, qPrintable(tally.worstAt), tally.overHalf, tally.overOne,
                tally.polarDays, tally.polarNights, tally.oneEventDays, tally.threeEventDays, tally.latestLeftOut,
                tally.mismatches);
    EXPECT_EQ(tally.mismatches, 0);
    EXPECT_EQ(tally.overOne, 0);
    EXPECT_GT(tally.polarNights, 0);
    EXPECT_GT(tally.polarDays, 0);
}

// ---- Moon: elongation from the sun, with the larger terms of the lunar longitude ----

// Terms of the moon's longitude (Meeus, "Astronomical Algorithms", table 47.A, those of
// 0.0005° and more): multiples of D, M, M′, F and the amplitude in millionths of a degree.
struct LunarTerm {
    int d, m, mp, f, amplitude;
};
constexpr LunarTerm kLunarTerms[] = {
    {0, 0, 1, 0, 6288774}, {2, 0, -1, 0, 1274027}, {2, 0, 0, 0, 658314},  {0, 0, 2, 0, 213618}, {0, 1, 0, 0, -185116},
    {0, 0, 0, 2, -114332}, {2, 0, -2, 0, 58793},   {2, -1, -1, 0, 57066}, {2, 0, 1, 0, 53322},  {2, -1, 0, 0, 45758},
    {0, 1, -1, 0, -40923}, {1, 0, 0, 0, -34720},   {0, 1, 1, 0, -30383},  {2, 0, 0, -2, 15327}, {0, 0, 1, 2, -12528},
    {0, 0, 1, -2, 10980},  {4, 0, -1, 0, 10675},   {0, 0, 3, 0, 10034},   {4, 0, -2, 0, 8548},  {2, 1, -1, 0, -7888},
    {2, 1, 0, 0, -6766},   {1, 0, -1, 0, -5163},   {1, 1, 0, 0, 4987},    {2, -1, 1, 0, 4036},  {2, 0, 2, 0, 3994},
    {4, 0, 0, 0, 3861},    {2, 0, -3, 0, 3665},    {0, 1, -2, 0, -2689},  {2, 0, -1, 2, -2602}, {2, -1, -2, 0, 2390},
    {1, 0, 1, 0, -2348},   {2, -2, 0, 0, 2236},    {0, 1, 2, 0, -2120},   {0, 2, 0, 0, -2069},  {2, -2, -1, 0, 2048},
    {2, 0, 1, -2, -1773},  {2, 0, 0, 2, -1595},    {4, -1, -1, 0, 1215},  {0, 0, 2, 2, -1110},  {3, 0, -1, 0, -892},
    {2, 1, 1, 0, -810},    {4, -1, -2, 0, 759},    {0, 2, -1, 0, -713},   {2, 2, -1, 0, -700},  {2, 1, -2, 0, 691},
    {2, -1, 0, -2, 596},   {4, 0, 1, 0, 549},      {0, 0, 4, 0, 537},     {4, -1, 0, 0, 520},
};

// Apparent longitude of the moon less that of the sun, degrees in [0, 360), at a UT instant.
double Elongation(double jd) {
    const double t = (jd + 69.0 / 86400.0 - 2451545.0) / 36525.0; // the series run on dynamical time
    const double lp = 218.3164477 + 481267.88123421 * t - 0.0015786 * t * t;
    const double d = 297.8501921 + 445267.1114034 * t - 0.0018819 * t * t;
    const double m = 357.5291092 + 35999.0502909 * t - 0.0001536 * t * t;
    const double mp = 134.9633964 + 477198.8675055 * t + 0.0087414 * t * t;
    const double f = 93.2720950 + 483202.0175233 * t - 0.0036539 * t * t;
    const double e = 1 - 0.002516 * t - 0.0000074 * t * t;
    double sum = 3958 * std::sin((119.75 + 131.849 * t) * kDeg) + 1962 * std::sin((lp - f) * kDeg) +
                 318 * std::sin((53.09 + 479264.290 * t) * kDeg);
    for (const LunarTerm& term : kLunarTerms)
        sum += term.amplitude * std::pow(e, std::abs(term.m)) *
               std::sin((term.d * d + term.m * m + term.mp * mp + term.f * f) * kDeg);
    const double nutation = -0.00478 * std::sin((125.04 - 1934.136 * t) * kDeg);
    const double elongation = lp + sum / 1e6 + nutation - SunLongitude(t);
    return elongation - 360.0 * std::floor(elongation / 360.0);
}

struct MoonEvent {
    double jd;
    int quarter; // 0 new moon, 1 first quarter, 2 full moon, 3 last quarter
};

// Where the elongation passes 0°, 90°, 180° and 270°, stepping by six hours and halving.
std::vector<MoonEvent> MoonEvents(double from, double to) {
    std::vector<MoonEvent> events;
    for (double a = from; a < to; a += 0.25) {
        const int before = int(Elongation(a) / 90), after = int(Elongation(a + 0.25) / 90);
        if (before == after)
            continue;
        double lo = a, hi = a + 0.25;
        while (hi - lo > 1.0 / 86400.0) {
            const double mid = (lo + hi) / 2;
            (int(Elongation(mid) / 90) == before ? lo : hi) = mid;
        }
        events.push_back({hi, after});
    }
    return events;
}

TEST(Astronomy, MoonPhasesOfEveryZoneAndDayMatchTheElongation) {
    const QTimeZone utc = QTimeZone::utc();
    const std::vector<MoonEvent> events = MoonEvents(Jd(QDateTime(kFirstDay.addDays(-10), QTime(0, 0), utc)),
                                                     Jd(QDateTime(kLastDay.addDays(10), QTime(0, 0), utc)));
    const int days = int(kFirstDay.daysTo(kLastDay)) + 1;
    QSet<QString> zones;
    for (const Station& station : AllStations())
        zones.insert(station.timeZone);
    int compared = 0, nearMidnight = 0;
    double farthest = 0; // minutes between a midnight and an event whose date differs
    for (const QString& name : zones) {
        const QTimeZone zone(name.toUtf8());
        const QList<int> shown = MoonPhases(kFirstDay, days, zone);
        ASSERT_EQ(shown.size(), days);
        // The phase the elongation gives each date: a principal phase on its own date, the
        // one after it until the next.
        QList<int> expected(days, -1);
        QList<double> fromMidnight(days, 1e9);
        for (size_t i = 0; i + 1 < events.size(); ++i) {
            const QDateTime local = Instant(events[i].jd, zone);
            const qint64 first = kFirstDay.daysTo(local.date()),
                         next = kFirstDay.daysTo(Instant(events[i + 1].jd, zone).date());
            const double minutes = ClockMinutes(events[i].jd, zone);
            for (qint64 day = std::max<qint64>(first, 0); day < std::min<qint64>(next, days); ++day)
                expected[day] = events[i].quarter * 2 + (day == first ? 0 : 1);
            for (qint64 day : {first - 1, first, first + 1})
                if (day >= 0 && day < days)
                    fromMidnight[day] = std::min(fromMidnight[day], std::min(minutes, 1440 - minutes));
        }
        for (int day = 0; day < days; ++day) {
            ++compared;
            if (shown[day] == expected[day])
                continue;
            ++nearMidnight;
            farthest = std::max(farthest, fromMidnight[day]);
            EXPECT_LT(fromMidnight[day], 5.0)
                << name.toStdString() << " " << kFirstDay.addDays(day).toString(Qt::ISODate).toStdString() << ": shown "
                << shown[day] << ", expected " << expected[day];
        }
    }
    std::printf("moon: %d zone-days, %d differ (their event %.1f min from midnight at most)\n", compared, nearMidnight,
                farthest);
}

} // namespace
} // namespace vetorlan
