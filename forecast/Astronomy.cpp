#include "forecast/Astronomy.h"

#include <QDateTime>
#include <cmath>
#include <numbers>

namespace vetorlan {

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;
constexpr double kJ2000 = 2451545.0;
constexpr double kUnixEpoch = 2440587.5; // Julian date of 1970-01-01T00:00Z

int LocalMinutes(double julianDate, const QTimeZone& zone) {
    const auto msecs = qint64(std::llround((julianDate - kUnixEpoch) * 86400000.0));
    const QTime local = QDateTime::fromMSecsSinceEpoch(msecs, zone).time();
    return local.hour() * 60 + local.minute();
}

} // namespace

// The sunrise equation: solar transit from the mean anomaly and the equation of the centre,
// then the hour angle at which the sun's upper limb touches the horizon (−0.833°).
SunTimes SunriseSunset(const QDate& date, double latitude, double longitude, const QTimeZone& zone) {
    const double n = double(date.toJulianDay()) - kJ2000 + 0.0008 - longitude / 360.0;
    const double anomaly = std::fmod(357.5291 + 0.98560028 * n, 360.0) * kDegree;
    const double centre = 1.9148 * std::sin(anomaly) + 0.02 * std::sin(2 * anomaly) + 0.0003 * std::sin(3 * anomaly);
    const double ecliptic = std::fmod(anomaly / kDegree + centre + 180.0 + 102.9372, 360.0) * kDegree;
    const double transit = kJ2000 + n + 0.0053 * std::sin(anomaly) - 0.0069 * std::sin(2 * ecliptic);
    const double declination = std::asin(std::sin(ecliptic) * std::sin(23.4397 * kDegree));
    const double phi = latitude * kDegree;
    const double cosHour =
        (std::sin(-0.833 * kDegree) - std::sin(phi) * std::sin(declination)) / (std::cos(phi) * std::cos(declination));
    if (cosHour < -1.0 || cosHour > 1.0)
        return {};
    const double halfDay = std::acos(cosHour) / kDegree / 360.0;
    return {LocalMinutes(transit - halfDay, zone), LocalMinutes(transit + halfDay, zone)};
}

int MoonPhase(const QDate& date) {
    constexpr double synodicMonth = 29.530588;
    const double age = std::fmod(double(QDate(2000, 1, 6).daysTo(date)) + 0.25, synodicMonth);
    const double positive = age < 0 ? age + synodicMonth : age;
    return int(std::lround(positive / synodicMonth * 8)) % 8;
}

} // namespace vetorlan
