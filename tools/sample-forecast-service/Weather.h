#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>

namespace vetorlan::sample {

// Invented weather of one part of a day (morning, day, evening, night).
struct PartWeather {
    int temperature = 0;   // °C
    QString picture;       // picture name without ".gif"
    QString text;          // Russian description
    int pressure = 0;      // mm Hg
    int humidity = 0;      // percent
    int windDirection = 0; // 0 = north, clockwise in steps of 45°
    int windSpeed = 0;     // m/s
};

struct DayWeather {
    QDate date;
    std::array<PartWeather, 4> parts;
    int sunriseMinutes = 0; // local time, minutes after midnight
    int sunsetMinutes = 0;
    int moonPhase = 0; // 0 new moon … 4 full moon … 7
};

// Seven days from `firstDay` for a station. Each day depends only on the station and that
// day's date, so a day reads the same whichever day the week starts on.
QList<DayWeather> WeekWeather(int stationIndex, const QDate& firstDay);

QString MoonPicture(int phase);
QString MoonText(int phase);
QString WindPicture(int direction);
QString WindText(int direction);
QStringList WeatherPictureNames();

} // namespace vetorlan::sample
