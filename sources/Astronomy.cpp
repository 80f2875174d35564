#include "sources/Astronomy.h"

#include <QDateTime>
#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

namespace vetorlan {

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;
constexpr double kJ2000 = 2451545.0;
constexpr double kUnixEpoch = 2440587.5; // Julian date of 1970-01-01T00:00Z
constexpr double kMsecsPerDay = 86400000.0;

double Sin(double degrees) {
    return std::sin(degrees * kDegree);
}
double Cos(double degrees) {
    return std::cos(degrees * kDegree);
}

double JulianDate(const QDateTime& time) {
    return kUnixEpoch + double(time.toMSecsSinceEpoch()) / kMsecsPerDay;
}

// The first instant of a local date and of the date after it, as Julian dates.
struct LocalDay {
    double first;
    double last;
};
LocalDay DayOf(const QDate& date, const QTimeZone& zone) {
    return {JulianDate(QDateTime(date, QTime(0, 0), zone)), JulianDate(QDateTime(date.addDays(1), QTime(0, 0), zone))};
}

// ---- Sun ----

// Altitude of the sun's centre when its upper limb touches the horizon, refraction included.
const double kSinHorizon = Sin(-0.833);

struct SolarPosition {
    double declination;    // radians
    double equationOfTime; // minutes
};

// NOAA's solar position equations (after Meeus, "Astronomical Algorithms", ch. 25).
SolarPosition SunAt(double julianDate) {
    const double t = (julianDate - kJ2000) / 36525.0;
    const double meanLongitude = std::fmod(280.46646 + t * (36000.76983 + t * 0.0003032), 360.0) * kDegree;
    const double anomaly = (357.52911 + t * (35999.05029 - 0.0001537 * t)) * kDegree;
    const double sinAnomaly = std::sin(anomaly), sin2Anomaly = std::sin(2 * anomaly);
    const double e = 0.016708634 - t * (0.000042037 + 0.0000001267 * t);
    const double centre = sinAnomaly * (1.914602 - t * (0.004817 + 0.000014 * t)) +
                          sin2Anomaly * (0.019993 - 0.000101 * t) + std::sin(3 * anomaly) * 0.000289;
    const double node = 125.04 - 1934.136 * t;
    const double longitude = meanLongitude / kDegree + centre - 0.00569 - 0.00478 * Sin(node);
    const double meanObliquity = 23.0 + (26.0 + (21.448 - t * (46.815 + t * (0.00059 - t * 0.001813))) / 60.0) / 60.0;
    const double obliquity = (meanObliquity + 0.00256 * Cos(node)) * kDegree;
    const double tanHalf = std::tan(obliquity / 2), y = tanHalf * tanHalf;
    const double sin2L = std::sin(2 * meanLongitude), cos2L = std::cos(2 * meanLongitude);
    const double equation = y * sin2L - 2 * e * sinAnomaly + 4 * e * y * sinAnomaly * cos2L -
                            0.5 * y * y * std::sin(4 * meanLongitude) - 1.25 * e * e * sin2Anomaly;
    return {std::asin(std::sin(obliquity) * Sin(longitude)), 4.0 * equation / kDegree};
}

struct Place {
    double longitude; // degrees, east positive
    double sinLatitude;
    double cosLatitude;
};

// The instant the sun crosses the horizon before (side -1) or after (side +1) its transit on
// the UT day beginning at `day0`; NaN when it stays above or below. Each step takes the sun's
// position at the previous estimate, so the result lies on the sun's own path. A step that
// finds no crossing goes to the transit or the lowest point, where a short day or night of
// the changing declination shows, and gives up only when the crossing is missing there too.
double Crossing(double day0, const Place& place, int side) {
    double t = day0 + 0.5 - place.longitude / 360.0;
    double cosHour = 0;
    for (int step = 0; step < 12; ++step) {
        const SolarPosition sun = SunAt(t);
        cosHour = (kSinHorizon - place.sinLatitude * std::sin(sun.declination)) /
                  (place.cosLatitude * std::cos(sun.declination));
        const double hour = std::acos(std::clamp(cosHour, -1.0, 1.0)) / kDegree;
        const double next = day0 + (720.0 - 4.0 * place.longitude - sun.equationOfTime + side * 4.0 * hour) / 1440.0;
        const bool settled = std::abs(next - t) < 1e-5; // a second
        t = next;
        if (settled)
            break;
    }
    return std::abs(cosHour) <= 1.0 ? t : std::numeric_limits<double>::quiet_NaN();
}

bool SunIsUp(double julianDate, const Place& place) {
    const SolarPosition sun = SunAt(julianDate);
    const double utcMinutes = (julianDate - 0.5 - std::floor(julianDate - 0.5)) * 1440.0;
    const double hourAngle = (utcMinutes + sun.equationOfTime + 4.0 * place.longitude) / 4.0 - 180.0;
    return place.sinLatitude * std::sin(sun.declination) +
               place.cosLatitude * std::cos(sun.declination) * Cos(hourAngle) >
           kSinHorizon;
}

// Local clock time of an instant within the day, rounded to the minute; an instant in the
// day's last half minute stays on the day as 23:59. On a day of 24 hours the clock runs
// evenly from midnight; only a day the clocks change on asks the zone.
int LocalMinutes(double julianDate, const LocalDay& day, const QTimeZone& zone) {
    double minutes = (julianDate - day.first) * 1440.0;
    if (std::abs(day.last - day.first - 1.0) > 1e-9) {
        const auto msecs = qint64(std::llround((julianDate - kUnixEpoch) * kMsecsPerDay));
        minutes = QDateTime::fromMSecsSinceEpoch(msecs, zone).time().msecsSinceStartOfDay() / 60000.0;
    }
    return std::min(int(std::lround(minutes)), 24 * 60 - 1);
}

// ---- Moon ----

constexpr double kDeltaT = 69.0 / 86400.0; // dynamical time ahead of UT in the 2020s, days
constexpr double kFirstNewMoon = 2451550.09766;
constexpr double kSynodicMonth = 29.530588861;

// A periodic term of a phase's correction: amplitude (days) × E^e × sin(m·M + mp·M′ + f·F + o·Ω).
struct PhaseTerm {
    double amplitude;
    int e, m, mp, f, o;
};

// Meeus, "Astronomical Algorithms", ch. 49: new moon, full moon (same arguments), quarters.
constexpr PhaseTerm kNewMoonTerms[] = {
    {-0.40720, 0, 0, 1, 0, 0}, {0.17241, 1, 1, 0, 0, 0},   {0.01608, 0, 0, 2, 0, 0},    {0.01039, 0, 0, 0, 2, 0},
    {0.00739, 1, -1, 1, 0, 0}, {-0.00514, 1, 1, 1, 0, 0},  {0.00208, 2, 2, 0, 0, 0},    {-0.00111, 0, 0, 1, -2, 0},
    {-0.00057, 0, 0, 1, 2, 0}, {0.00056, 1, 1, 2, 0, 0},   {-0.00042, 0, 0, 3, 0, 0},   {0.00042, 1, 1, 0, 2, 0},
    {0.00038, 1, 1, 0, -2, 0}, {-0.00024, 1, -1, 2, 0, 0}, {-0.00017, 0, 0, 0, 0, 1},   {-0.00007, 0, 2, 1, 0, 0},
    {0.00004, 0, 0, 2, -2, 0}, {0.00004, 0, 3, 0, 0, 0},   {0.00003, 0, 1, 1, -2, 0},   {0.00003, 0, 0, 2, 2, 0},
    {-0.00003, 0, 1, 1, 2, 0}, {0.00003, 0, -1, 1, 2, 0},  {-0.00002, 0, -1, 1, -2, 0}, {-0.00002, 0, 1, 3, 0, 0},
    {0.00002, 0, 0, 4, 0, 0},
};
constexpr double kFullMoonAmplitudes[] = {-0.40614, 0.17302,  0.01614,  0.01043,  0.00734, -0.00515, 0.00209,
                                          -0.00111, -0.00057, 0.00056,  -0.00042, 0.00042, 0.00038,  -0.00024,
                                          -0.00017, -0.00007, 0.00004,  0.00004,  0.00003, 0.00003,  -0.00003,
                                          0.00003,  -0.00002, -0.00002, 0.00002};
constexpr PhaseTerm kQuarterTerms[] = {
    {-0.62801, 0, 0, 1, 0, 0},   {0.17172, 1, 1, 0, 0, 0},  {-0.01183, 1, 1, 1, 0, 0},  {0.00862, 0, 0, 2, 0, 0},
    {0.00804, 0, 0, 0, 2, 0},    {0.00454, 1, -1, 1, 0, 0}, {0.00204, 2, 2, 0, 0, 0},   {-0.00180, 0, 0, 1, -2, 0},
    {-0.00070, 0, 0, 1, 2, 0},   {-0.00040, 0, 0, 3, 0, 0}, {-0.00034, 1, -1, 2, 0, 0}, {0.00032, 1, 1, 0, 2, 0},
    {0.00032, 1, 1, 0, -2, 0},   {-0.00028, 2, 2, 1, 0, 0}, {0.00027, 1, 1, 2, 0, 0},   {-0.00017, 0, 0, 0, 0, 1},
    {-0.00005, 0, -1, 1, -2, 0}, {0.00004, 0, 0, 2, 2, 0},  {-0.00004, 0, 1, 1, 2, 0},  {0.00004, 0, -2, 1, 0, 0},
    {0.00003, 0, 1, 1, -2, 0},   {0.00003, 0, 3, 0, 0, 0},  {0.00002, 0, 0, 2, -2, 0},  {0.00002, 0, -1, 1, 2, 0},
    {-0.00002, 0, 1, 3, 0, 0},
};
// The planetary arguments common to all phases: amplitude, argument at k = 0, rate per lunation.
constexpr double kPlanetaryTerms[][3] = {
    {0.000325, 299.77, 0.107408},  {0.000165, 251.88, 0.016321}, {0.000164, 251.83, 26.651886},
    {0.000126, 349.42, 36.412478}, {0.000110, 84.66, 18.206239}, {0.000062, 141.74, 53.303771},
    {0.000060, 207.14, 2.453732},  {0.000056, 154.84, 7.306860}, {0.000047, 34.52, 27.261239},
    {0.000042, 207.19, 0.121824},  {0.000040, 291.34, 1.844379}, {0.000037, 161.72, 24.198154},
    {0.000035, 239.56, 25.513099}, {0.000023, 331.55, 3.592518},
};

struct LunarArguments {
    double k, t, e, m, mp, f, o; // angles in degrees
};

LunarArguments ArgumentsOf(double k) {
    const double t = k / 1236.85;
    return {k,
            t,
            1.0 - 0.002516 * t - 0.0000074 * t * t,
            2.5534 + 29.10535670 * k - t * t * (0.0000014 + 0.00000011 * t),
            201.5643 + 385.81693528 * k + t * t * (0.0107582 + t * (0.00001238 - 0.000000058 * t)),
            160.7108 + 390.67050284 * k - t * t * (0.0016118 + t * (0.00000227 - 0.000000011 * t)),
            124.7746 - 1.56375588 * k + t * t * (0.0020672 + 0.00000215 * t)};
}

double Term(const PhaseTerm& term, double amplitude, const LunarArguments& a) {
    return amplitude * std::pow(a.e, term.e) * Sin(term.m * a.m + term.mp * a.mp + term.f * a.f + term.o * a.o);
}

double PhaseCorrection(const LunarArguments& a, int kind) {
    double sum = 0;
    if (kind == 1 || kind == 3) {
        for (const PhaseTerm& term : kQuarterTerms)
            sum += Term(term, term.amplitude, a);
        const double w = 0.00306 - 0.00038 * a.e * Cos(a.m) + 0.00026 * Cos(a.mp) - 0.00002 * Cos(a.mp - a.m) +
                         0.00002 * Cos(a.mp + a.m) + 0.00002 * Cos(2 * a.f);
        return sum + (kind == 1 ? w : -w);
    }
    for (size_t i = 0; i < std::size(kNewMoonTerms); ++i)
        sum += Term(kNewMoonTerms[i], kind == 0 ? kNewMoonTerms[i].amplitude : kFullMoonAmplitudes[i], a);
    return sum;
}

// Julian date (UT) of the principal phase n quarters after the new moon of 6 January 2000:
// n mod 4 is 0 new moon, 1 first quarter, 2 full moon, 3 last quarter.
double PhaseInstant(qint64 n) {
    const LunarArguments a = ArgumentsOf(double(n) / 4.0);
    double planetary = 0;
    for (size_t i = 0; i < std::size(kPlanetaryTerms); ++i) {
        const auto& [amplitude, start, rate] = kPlanetaryTerms[i];
        planetary += amplitude * Sin(start + rate * a.k - (i == 0 ? 0.009173 * a.t * a.t : 0.0));
    }
    const double mean =
        kFirstNewMoon + kSynodicMonth * a.k + a.t * a.t * (0.00015437 + a.t * (-0.000000150 + a.t * 0.00000000073));
    return mean + PhaseCorrection(a, int(((n % 4) + 4) % 4)) + planetary - kDeltaT;
}

} // namespace

SunDay SunOnDate(const QDate& date, double latitude, double longitude, const QTimeZone& zone) {
    const LocalDay day = DayOf(date, zone);
    const Place place{longitude, Sin(latitude), Cos(latitude)};
    SunDay sun;
    sun.upAtMidnight = SunIsUp(day.first, place);
    // The UT days whose transit lies within half a day (and the equation of time) of the date.
    const double transit = 0.5 - longitude / 360.0;
    for (double day0 = std::ceil(day.first - transit - 0.52 - 0.5) + 0.5; day0 + transit < day.last + 0.52;
         day0 += 1.0) {
        for (const int side : {-1, 1}) {
            const double t = Crossing(day0, place, side);
            if (std::isnan(t) || t < day.first || t >= day.last)
                continue;
            int& minutes = side < 0 ? sun.sunrise : sun.sunset;
            if (minutes < 0)
                minutes = LocalMinutes(t, day, zone);
        }
    }
    return sun;
}

QList<int> MoonPhases(const QDate& first, int days, const QTimeZone& zone) {
    std::vector<double> midnights;
    for (int i = 0; i <= days; ++i)
        midnights.push_back(JulianDate(QDateTime(first.addDays(i), QTime(0, 0), zone)));
    // One quarter before the mean phase preceding the first date: true phases stray less than a day.
    qint64 n = qint64(std::floor((midnights[0] - kFirstNewMoon) / (kSynodicMonth / 4))) - 1;
    double at = PhaseInstant(n);
    double next = PhaseInstant(n + 1);
    QList<int> phases;
    for (int i = 0; i < days; ++i) {
        for (; next < midnights[i + 1]; next = PhaseInstant(n + 1)) {
            ++n;
            at = next;
        }
        const int principal = int(((n % 4) + 4) % 4) * 2;
        phases.append(at >= midnights[i] ? principal : principal + 1);
    }
    return phases;
}

} // namespace vetorlan
