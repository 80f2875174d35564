#include "sources/CurrentWeather.h"

#include "core/FileSystemObject.h"
#include "page/PageParts.h"
#include "sources/AnswerCache.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QMutex>
#include <QStringDecoder>
#include <QTimeZone>
#include <algorithm>
#include <cmath>

namespace vetorlan {

namespace {

constexpr qint64 kHour = 3600;
constexpr qint64 kSpan = 48 * kHour;      // how far ahead a digest reaches
constexpr qint64 kNearEnough = 3 * kHour; // a step further from now than this is not "current"
constexpr qsizetype kMaxSteps = 64;       // more than the hours of kSpan, fewer than a damaged file may claim
constexpr qsizetype kMaxFileBytes = 16 * 1024;
constexpr qsizetype kMaxTextLength = 100;
const QByteArray kHeader = "Vetorlan current weather 1";

// The condition texts of the pictures an hour can have; hours carry no text of their own.
QString ConditionText(const QString& picture) {
    static const QHash<QString, QString> texts = {
        {u"clear-day"_qs, u"ясно"_qs},
        {u"clear-night"_qs, u"ясно"_qs},
        {u"partly-day"_qs, u"переменная облачность"_qs},
        {u"partly-night"_qs, u"переменная облачность"_qs},
        {u"cloudy"_qs, u"облачно"_qs},
        {u"overcast"_qs, u"пасмурно"_qs},
        {u"light-rain"_qs, u"небольшой дождь"_qs},
        {u"rain"_qs, u"дождь"_qs},
        {u"light-snow"_qs, u"небольшой снег"_qs},
        {u"snow"_qs, u"снег"_qs},
        {u"sleet"_qs, u"мокрый снег"_qs},
        {u"storm"_qs, u"гроза"_qs},
        {u"fog"_qs, u"туман"_qs},
    };
    return texts.value(picture);
}

int NormalDegrees(double degrees) {
    if (!std::isfinite(degrees))
        return 0;
    return int((std::lround(std::fmod(degrees, 360.0)) % 360 + 360) % 360);
}

WeatherStep StepOf(const HourForecast& hour) {
    const double speed = std::isfinite(hour.windSpeed) ? std::max(0.0, hour.windSpeed) : 0.0;
    return {hour.local.toSecsSinceEpoch(), hour.temperature, NormalDegrees(hour.windFrom), speed, hour.picture,
            ConditionText(hour.picture)};
}

// The issue's instant, from its local date and time in the zone of the forecast's hours.
qint64 IssueInstant(const Forecast& forecast, const QDateTime& now) {
    if (!forecast.issueDate.isValid() || forecast.hours.isEmpty())
        return now.toSecsSinceEpoch();
    const QTime time = QTime(0, 0).addSecs(qBound(0, forecast.issueMinutes, 24 * 60 - 1) * 60);
    return QDateTime(forecast.issueDate, time, forecast.hours.first().local.timeZone()).toSecsSinceEpoch();
}

// Tabs and line breaks would split a field or a line of the file.
QByteArray Field(const QString& text) {
    QString flat = text.left(kMaxTextLength);
    for (QChar& c : flat)
        if (c == u'\t' || c == u'\n' || c == u'\r')
            c = u' ';
    return flat.toUtf8();
}

// The shortest text that reads back as the same number, so the tray rounds the very value
// the page rounds.
QByteArray Number(double value) {
    return QByteArray::number(value, 'g', QLocale::FloatingPointShortest);
}

} // namespace

std::optional<CurrentWeather> MakeCurrentWeather(const Forecast& forecast, const QString& town, const QDateTime& now) {
    const qint64 from = now.toSecsSinceEpoch() - kHour, to = now.toSecsSinceEpoch() + kSpan;
    CurrentWeather weather{town, forecast.stationIndex, IssueInstant(forecast, now), 0, {}};
    for (const HourForecast& hour : forecast.hours) {
        if (!hour.local.isValid() || !std::isfinite(hour.temperature))
            continue;
        const qint64 start = hour.local.toSecsSinceEpoch();
        if (start >= from && start <= to)
            weather.steps.append(StepOf(hour));
    }
    const auto earlier = [](const WeatherStep& a, const WeatherStep& b) { return a.start < b.start; };
    const auto same = [](const WeatherStep& a, const WeatherStep& b) { return a.start == b.start; };
    std::stable_sort(weather.steps.begin(), weather.steps.end(), earlier);
    weather.steps.erase(std::unique(weather.steps.begin(), weather.steps.end(), same), weather.steps.end());
    if (weather.steps.size() > kMaxSteps) // steps finer than an hour
        weather.steps.resize(kMaxSteps);
    if (weather.steps.isEmpty())
        return std::nullopt;
    weather.validUntil = std::min(weather.steps.last().start + kHour, to);
    return weather;
}

QByteArray FormatCurrentWeather(const CurrentWeather& weather) {
    QByteArray text = kHeader + '\n';
    text += "town\t" + Field(weather.town) + '\n';
    text += "index\t" + Field(weather.stationIndex) + '\n';
    text += "issued\t" + QByteArray::number(weather.issued) + '\n';
    text += "valid\t" + QByteArray::number(weather.validUntil) + '\n';
    for (const WeatherStep& step : weather.steps)
        text += "hour\t" + QByteArray::number(step.start) + '\t' + Number(step.temperature) + '\t' +
                QByteArray::number(step.windFrom) + '\t' + Number(step.windSpeed) + '\t' + Field(step.picture) + '\t' +
                Field(step.text) + '\n';
    return text + "end\t" + QByteArray::number(weather.steps.size()) + '\n';
}

namespace {

bool IsUtf8(const QByteArray& text) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    [[maybe_unused]] const QString decoded = decoder(text);
    return !decoder.hasError();
}

// A line "key<TAB>value".
std::optional<QByteArray> Value(const QByteArray& line, const char* key) {
    const QList<QByteArray> fields = line.split('\t');
    if (fields.size() != 2 || fields[0] != key)
        return std::nullopt;
    return fields[1];
}

bool ReadText(const QByteArray& line, const char* key, QString& text) {
    const std::optional<QByteArray> value = Value(line, key);
    if (!value || value->isEmpty())
        return false;
    text = QString::fromUtf8(*value);
    return text.size() <= kMaxTextLength;
}

bool ReadInstant(const QByteArray& line, const char* key, qint64& instant) {
    const std::optional<QByteArray> value = Value(line, key);
    bool ok = false;
    instant = value ? value->toLongLong(&ok) : 0;
    return ok && instant >= 0;
}

bool ReadNumber(const QByteArray& field, double low, double high, double& value) {
    bool ok = false;
    value = field.toDouble(&ok);
    return ok && std::isfinite(value) && value >= low && value <= high;
}

bool IsPictureName(const QByteArray& name) {
    return name.size() <= 32 &&
           std::all_of(name.begin(), name.end(), [](char c) { return (c >= 'a' && c <= 'z') || c == '-'; });
}

// "hour<TAB>start<TAB>temperature<TAB>wind from<TAB>wind speed<TAB>picture<TAB>text".
bool ReadStep(const QByteArray& line, WeatherStep& step) {
    const QList<QByteArray> f = line.split('\t');
    if (f.size() != 7 || f[0] != "hour" || !IsPictureName(f[5]) || f[6].size() > 4 * kMaxTextLength)
        return false;
    bool startOk = false, windOk = false;
    step.start = f[1].toLongLong(&startOk);
    step.windFrom = f[3].toInt(&windOk);
    step.picture = QString::fromLatin1(f[5]);
    step.text = QString::fromUtf8(f[6]);
    return startOk && step.start >= 0 && windOk && step.windFrom >= 0 && step.windFrom < 360 &&
           ReadNumber(f[2], -100, 100, step.temperature) && ReadNumber(f[4], 0, 200, step.windSpeed) &&
           step.text.size() <= kMaxTextLength;
}

bool ReadSteps(const QList<QByteArray>& lines, QList<WeatherStep>& steps) {
    for (qsizetype i = 5; i + 1 < lines.size(); ++i) {
        WeatherStep step;
        if (!ReadStep(lines[i], step) || (!steps.isEmpty() && step.start <= steps.last().start))
            return false;
        steps.append(step);
    }
    return lines.last() == "end\t" + QByteArray::number(steps.size());
}

bool IsIndexName(const QString& index) {
    return !index.isEmpty() && index.size() <= 16 && std::all_of(index.begin(), index.end(), [](QChar c) {
        return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    });
}

} // namespace

std::optional<CurrentWeather> ParseCurrentWeather(const QByteArray& text) {
    if (text.size() > kMaxFileBytes || !text.endsWith('\n') || !IsUtf8(text))
        return std::nullopt;
    const QList<QByteArray> lines = text.chopped(1).split('\n');
    // The header, four values, at least one hour and the end line.
    if (lines.size() < 7 || lines.size() - 6 > kMaxSteps || lines.first() != kHeader)
        return std::nullopt;
    CurrentWeather weather;
    if (!ReadText(lines[1], "town", weather.town) || !ReadText(lines[2], "index", weather.stationIndex) ||
        !ReadInstant(lines[3], "issued", weather.issued) || !ReadInstant(lines[4], "valid", weather.validUntil) ||
        !ReadSteps(lines, weather.steps))
        return std::nullopt;
    return weather;
}

QString CurrentWeatherPath(const QString& stationIndex) {
    if (!IsIndexName(stationIndex))
        return {};
    return CacheFolder() + u"/current-"_qs + stationIndex + u".txt"_qs;
}

bool StoreCurrentWeather(const CurrentWeather& weather) {
    const QString path = CurrentWeatherPath(weather.stationIndex);
    return !path.isEmpty() && QDir().mkpath(CacheFolder()) && WriteFileAtomic(path, FormatCurrentWeather(weather));
}

namespace {

QMutex trayStationMutex;
QString trayStation;

} // namespace

void SetTrayStation(const QString& stationIndex) {
    const QMutexLocker lock(&trayStationMutex);
    trayStation = stationIndex;
}

void KeepCurrentWeather(const QString& stationIndex, const QString& town, const Forecast& forecast) {
    {
        const QMutexLocker lock(&trayStationMutex);
        if (stationIndex != trayStation)
            return;
    }
    if (const std::optional<CurrentWeather> weather =
            MakeCurrentWeather(forecast, town, QDateTime::currentDateTimeUtc()))
        StoreCurrentWeather(*weather);
}

std::optional<CurrentWeather> LoadCurrentWeather(const QString& stationIndex) {
    const QString path = CurrentWeatherPath(stationIndex);
    QFile file(path);
    // Only a regular file is read: a pipe under the name would block the tray.
    if (path.isEmpty() || !QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray text = file.read(kMaxFileBytes + 1);
    std::optional<CurrentWeather> weather = ParseCurrentWeather(text);
    if (!weather || weather->stationIndex != stationIndex)
        return std::nullopt;
    return weather;
}

const WeatherStep* CurrentStep(const CurrentWeather& weather, qint64 now) {
    if (now > weather.validUntil)
        return nullptr;
    const WeatherStep* nearest = nullptr;
    for (const WeatherStep& step : weather.steps)
        if (!nearest || std::abs(step.start - now) < std::abs(nearest->start - now))
            nearest = &step;
    return nearest && std::abs(nearest->start - now) <= kNearEnough ? nearest : nullptr;
}

int RoundedDegrees(double temperature) {
    return std::isfinite(temperature) ? int(std::lround(temperature)) : 0;
}

QString SignedDegreesText(int degrees) {
    if (degrees > 0)
        return u'+' + QString::number(degrees);
    if (degrees < 0)
        return QChar(0x2212) + QString::number(-degrees);
    return u"0"_qs;
}

namespace {

QString WindPhrase(const WeatherStep& step) {
    const long speed = std::lround(step.windSpeed);
    if (speed == 0)
        return u"штиль"_qs;
    return u"ветер "_qs + WindText(int(std::lround(step.windFrom / 45.0) % 8)) + u' ' + QString::number(speed) +
           u" м/с"_qs;
}

// The issue on the user's clock: "13:20" today, "1 марта, 13:20" on another day.
QString IssueText(qint64 issued, const QDateTime& now) {
    const QDateTime local = QDateTime::fromSecsSinceEpoch(issued);
    const QString time = local.toString(u"HH:mm"_qs);
    if (local.date() == now.toLocalTime().date())
        return time;
    return QLocale(QLocale::Russian).toString(local.date(), u"d MMMM"_qs) + u", "_qs + time;
}

} // namespace

QString CurrentWeatherTip(const CurrentWeather& weather, const WeatherStep& step, const QDateTime& now) {
    QString tip = weather.town + u": "_qs + SignedDegreesText(RoundedDegrees(step.temperature)) + u'°';
    if (!step.text.isEmpty())
        tip += u", "_qs + step.text;
    return tip + u", "_qs + WindPhrase(step) + u". Прогноз от "_qs + IssueText(weather.issued, now);
}

} // namespace vetorlan
