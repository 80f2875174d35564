#pragma once

#include "page/ForecastModel.h"

#include <QString>
#include <QStringList>

namespace vetorlan {

// True when a catalogue town bears this station index.
bool IsCatalogueIndex(const QString& index);

// The first catalogue town that bears a station index: its name (HTML-escaped) and position.
struct PageTown {
    QString name;
    int position = 0;
};
const PageTown* FindPageTown(const QString& index);

// Where a page's pictures are: the weather pictures, the moon phases, the wind directions and
// the sun's rise and set (each a prefix the picture's name and ".gif" follow).
struct PicturePaths {
    QString weather;
    QString moon;
    QString wind;
    QString sun;
};

// The parts of a detailed forecast page below its navigation, in the order they appear.
QString TitleHtml(const PageTown& town, const Forecast& forecast);
QString BriefHtml(const QList<DayForecast>& days, const PicturePaths& paths, const QString& heading);
QString DetailedHtml(const Forecast& forecast, const PicturePaths& paths);
QString SourceCreditHtml(ForecastSource source);

// "7 дней", "3 дня", "1 день".
QString DaysText(qsizetype count);

// Pictures and texts of the moon phases (0..7) and the eight wind directions.
QString MoonPicture(int phase);
QString MoonText(int phase);
QString WindPicture(int direction);
QString WindText(int direction);

// Names of the weather pictures a page may show (without ".gif").
QStringList WeatherPictureNames();

} // namespace vetorlan
