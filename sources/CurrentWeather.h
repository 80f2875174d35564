#pragma once

#include "page/ForecastModel.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

namespace vetorlan {

// The weather of one forecast step, as the tray shows it. Times are seconds since the epoch
// (UTC), so whoever reads them needs no time-zone data.
struct WeatherStep {
    qint64 start = 0;       // the step's instant
    double temperature = 0; // °C
    int windFrom = 0;       // degrees, where the wind blows from, 0..359
    double windSpeed = 0;   // m/s
    QString picture;        // picture name under _i/, without ".gif"; empty: unknown
    QString text;           // Russian condition text; empty: unknown
    friend bool operator==(const WeatherStep&, const WeatherStep&) = default;
};

// A small digest of a town's forecast for the tray: the coming hours only, written by the
// load beside the answer cache so that the tray can read it without the JSON readers, the
// time-zone data or the network.
struct CurrentWeather {
    QString town;             // the town's name as the tooltip shows it
    QString stationIndex;     // names the digest's file
    qint64 issued = 0;        // the forecast's issue
    qint64 validUntil = 0;    // no step is shown after this instant
    QList<WeatherStep> steps; // ascending by start
    friend bool operator==(const CurrentWeather&, const CurrentWeather&) = default;
};

// The digest of a forecast's hours from an hour before `now` up to two days ahead; nullopt
// when the forecast has no hours in that span (the page service gives none).
std::optional<CurrentWeather> MakeCurrentWeather(const Forecast& forecast, const QString& town, const QDateTime& now);

// The digest as a few lines of UTF-8 text, and back; any damage reads as nullopt.
QByteArray FormatCurrentWeather(const CurrentWeather& weather);
std::optional<CurrentWeather> ParseCurrentWeather(const QByteArray& text);

// The digest file of a station index beside the answer cache, written whole or not at all.
QString CurrentWeatherPath(const QString& stationIndex);
bool StoreCurrentWeather(const CurrentWeather& weather);
// The station whose digest a load keeps: the tray's town, which is the first town of a load.
void SetTrayStation(const QString& stationIndex);
// Stores the digest of a freshly made forecast when it is the tray station's (from any thread).
void KeepCurrentWeather(const QString& stationIndex, const QString& town, const Forecast& forecast);

// nullopt when there is no digest, or it is too large or damaged.
std::optional<CurrentWeather> LoadCurrentWeather(const QString& stationIndex);

// The step nearest to `now` (seconds since the epoch); nullptr when the digest is past its
// validity, or no step lies within three hours of `now`.
const WeatherStep* CurrentStep(const CurrentWeather& weather, qint64 now);

// A temperature rounded as the pages round it, and its text with the pages' signs: "−3"
// (U+2212), "+12", "0".
int RoundedDegrees(double temperature);
QString SignedDegreesText(int degrees);

// «Москва: −3°, облачно, ветер С 4 м/с. Прогноз от 13:20»: the forecast's time on the
// user's clock, with its date when it is not today's.
QString CurrentWeatherTip(const CurrentWeather& weather, const WeatherStep& step, const QDateTime& now);

} // namespace vetorlan
