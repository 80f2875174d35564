#include "page/PageParts.h"

#include "page/WeatherConditions.h"
#include "towns/TownCatalog.h"

#include <QHash>
#include <algorithm>
#include <cmath>

namespace vetorlan {

namespace {

const QStringList kWeekdays = {u"понедельник"_qs, u"вторник"_qs, u"среда"_qs,      u"четверг"_qs,
                               u"пятница"_qs,     u"суббота"_qs, u"воскресенье"_qs};
const QStringList kWeekdaysShort = {u"пн"_qs, u"вт"_qs, u"ср"_qs, u"чт"_qs, u"пт"_qs, u"сб"_qs, u"вс"_qs};
const QStringList kMonths = {u"января"_qs, u"февраля"_qs, u"марта"_qs,    u"апреля"_qs,  u"мая"_qs,    u"июня"_qs,
                             u"июля"_qs,   u"августа"_qs, u"сентября"_qs, u"октября"_qs, u"ноября"_qs, u"декабря"_qs};
const QStringList kMonthsShort = {u"янв"_qs, u"фев"_qs, u"мар"_qs, u"апр"_qs, u"мая"_qs, u"июн"_qs,
                                  u"июл"_qs, u"авг"_qs, u"сен"_qs, u"окт"_qs, u"ноя"_qs, u"дек"_qs};
const QStringList kPartNames = {u"утром"_qs, u"днём"_qs, u"вечером"_qs, u"ночью"_qs};

const QStringList kMoonPictures = {u"moon-new"_qs,  u"moon-young"_qs,  u"moon-first"_qs, u"moon-waxing"_qs,
                                   u"moon-full"_qs, u"moon-waning"_qs, u"moon-last"_qs,  u"moon-old"_qs};
const QStringList kMoonTexts = {u"новолуние"_qs,  u"молодая луна"_qs,   u"первая четверть"_qs,    u"растущая луна"_qs,
                                u"полнолуние"_qs, u"убывающая луна"_qs, u"последняя четверть"_qs, u"старая луна"_qs};
const QStringList kWindPictures = {u"wind-n"_qs, u"wind-ne"_qs, u"wind-e"_qs, u"wind-se"_qs,
                                   u"wind-s"_qs, u"wind-sw"_qs, u"wind-w"_qs, u"wind-nw"_qs};
const QStringList kWindTexts = {u"С"_qs, u"СВ"_qs, u"В"_qs, u"ЮВ"_qs, u"Ю"_qs, u"ЮЗ"_qs, u"З"_qs, u"СЗ"_qs};

// Station index -> the first catalogue town that bears it.
const QHash<QString, PageTown>& TownsByIndex() {
    static const QHash<QString, PageTown> towns = [] {
        QHash<QString, PageTown> byIndex;
        for (int position = 1; position <= kCatalogSize; ++position) {
            const TownEntry entry = CatalogEntry(position);
            if (entry.size() > 6 && !byIndex.contains(TownIndex(entry)))
                byIndex.insert(TownIndex(entry), PageTown{TownName(entry).toHtmlEscaped(), position});
        }
        return byIndex;
    }();
    return towns;
}

QString Degrees(int t) {
    const qint64 wide = t; // the negation of the lowest int does not fit an int
    if (wide > 0)
        return u"+"_qs + QString::number(wide);
    if (wide < 0)
        return u"&minus;"_qs + QString::number(-wide);
    return u"0"_qs;
}

// A part's temperature: one value when both ends round alike, else "low…high".
QString Range(const PartForecast& part) {
    if (!part.temperatureLow || !part.temperatureHigh)
        return u"—"_qs;
    if (*part.temperatureLow == *part.temperatureHigh)
        return Degrees(*part.temperatureLow) + u"°"_qs;
    return Degrees(*part.temperatureLow) + u"…"_qs + Degrees(*part.temperatureHigh) + u"°"_qs;
}

QString Number(const std::optional<int>& value, const QString& unit = {}) {
    return value ? QString::number(*value) + unit : u"—"_qs;
}

// Millimetres with a decimal comma; "0" only for none at all, a trace shows as "0,1".
QString Millimetres(const std::optional<double>& amount) {
    if (!amount)
        return u"—"_qs;
    if (*amount <= 0)
        return u"0"_qs;
    if (*amount >= 9.95)
        return QString::number(std::lround(*amount));
    return QString::number(std::max(0.1, std::round(*amount * 10) / 10), 'f', 1).replace(u'.', u',');
}

QString DateText(const QDate& day) {
    return QString::number(day.day()) + u' ' + kMonths[day.month() - 1];
}

QString Clock(int minutes) {
    if (minutes < 0)
        return u"—"_qs;
    return QString::asprintf("%02d:%02d", minutes / 60, minutes % 60);
}

// The one temperature the short forecast shows for a part: the middle of its range.
QString Middle(const PartForecast& part) {
    if (!part.temperatureLow || !part.temperatureHigh)
        return u"—"_qs;
    return Degrees(int(std::lround((double(*part.temperatureLow) + double(*part.temperatureHigh)) / 2))) + u"°"_qs;
}

QString Img(const QString& src, const QString& alt) {
    return u"<img src=\""_qs + src + u"\" alt=\""_qs + alt + u"\" title=\""_qs + alt + u"\">"_qs;
}

QString Title(const PageTown& town, const Forecast& forecast) {
    const QString note = forecast.source == ForecastSource::Sample
                             ? u"<p class=\"b-title__note\">Погода на этой странице выдумана для демонстрации.</p>"_qs
                             : QString();
    return u"<div class=\"b-title\"><h1>"_qs + town.name + u"</h1>"_qs + note +
           u"<p class=\"b-title__updated\">Прогноз от "_qs + DateText(forecast.issueDate) + u' ' +
           QString::number(forecast.issueDate.year()) + u" года, "_qs + Clock(forecast.issueMinutes) +
           u" по местному времени. Метеостанция "_qs + forecast.stationIndex + u".</p></div>\n"_qs;
}

// The part the short forecast shows for the daytime: the day, or a later part when it has passed.
const PartForecast& DaytimePart(const DayForecast& d) {
    for (int part = 1; part < 3; ++part) {
        if (d.parts[part].known)
            return d.parts[part];
    }
    return d.parts[3];
}

QString Brief(const QList<DayForecast>& days, const PicturePaths& paths, const QString& heading) {
    QString html = u"<h2 class=\"b-brief__title\">"_qs + heading + u"</h2>\n<div class=\"b-forecast-brief\">\n"_qs;
    for (const DayForecast& d : days) {
        const PartForecast& day = DaytimePart(d);
        const QString picture = day.picture.isEmpty() ? NoDataCondition().picture : day.picture;
        const QString text = day.picture.isEmpty() ? NoDataCondition().text : day.text;
        const PartForecast& night = d.parts[3];
        html += u"<div class=\"b-forecast-brief__day"_qs + (d.date.dayOfWeek() >= 6 ? u" g-weekend"_qs : QString()) +
                u"\"><div class=\"b-forecast-brief__date\"><b>"_qs + kWeekdaysShort[d.date.dayOfWeek() - 1] +
                u"</b> "_qs + QString::number(d.date.day()) + u' ' + kMonthsShort[d.date.month() - 1] + u"</div>"_qs +
                Img(paths.weather + picture + u".gif"_qs, text) + u"<div class=\"b-forecast-brief__day-t\">"_qs +
                Middle(day) + u"</div>"_qs + u"<div class=\"b-forecast-brief__night-t\">"_qs + Middle(night) +
                u"</div></div>\n"_qs;
    }
    return html + u"</div>\n"_qs;
}

// The columns a page has: precipitation and gusts only where the source gives them.
struct Columns {
    bool precipitation = false;
    bool gusts = false;
    int count() const { return 8 + int(precipitation) + int(gusts); }
};

Columns ColumnsOf(const Forecast& forecast) {
    Columns columns;
    const auto note = [&columns](const PartForecast& part) {
        columns.precipitation = columns.precipitation || part.precipitation;
        columns.gusts = columns.gusts || part.windGust;
    };
    for (const DayForecast& day : forecast.days)
        std::for_each(day.parts.begin(), day.parts.end(), note);
    if (forecast.nightInProgress)
        note(*forecast.nightInProgress);
    return columns;
}

QString DetailedHeader(const Columns& columns) {
    return u"<table class=\"b-forecast-details\">\n"
           "<caption>Подробный прогноз</caption>\n"
           "<thead><tr><th class=\"b-forecast-details__part\"></th><th>Температура, °C</th>"
           "<th class=\"b-forecast-details__pic\">Погода</th><th class=\"b-forecast-details__text\"></th>"_qs +
           (columns.precipitation ? u"<th>Осадки, мм</th>"_qs : QString()) +
           u"<th>Давление, мм&nbsp;рт.&nbsp;ст.</th><th>Влажность</th>"
           "<th colspan=\"2\">Ветер, м/с</th>"_qs +
           (columns.gusts ? u"<th>Порывы, м/с</th>"_qs : QString()) + u"</tr></thead>\n"_qs;
}

// The sun of a day: rise and set in the order they happen on the date, what the sun does
// instead of the one that does not happen on it, or the polar day or night.
QString Sun(const DayForecast& d, const QString& at) {
    if (d.sunriseMinutes < 0 && d.sunsetMinutes < 0) {
        const QString polar = d.sunUpAtMidnight ? u"полярный день"_qs : u"полярная ночь"_qs;
        return Img(at + (d.sunUpAtMidnight ? u"sunrise.gif"_qs : u"sunset.gif"_qs), polar) + u' ' + polar;
    }
    const QString rise = Img(at + u"sunrise.gif"_qs, u"восход"_qs) + u' ' +
                         (d.sunriseMinutes < 0 ? u"не восходит"_qs : Clock(d.sunriseMinutes));
    const QString set = Img(at + u"sunset.gif"_qs, u"заход"_qs) + u' ' +
                        (d.sunsetMinutes < 0 ? u"не заходит"_qs : Clock(d.sunsetMinutes));
    return d.sunUpAtMidnight ? set + u' ' + rise : rise + u' ' + set;
}

QString DayHeader(const DayForecast& d, const Columns& columns, const PicturePaths& paths) {
    return u"<tbody><tr class=\"b-forecast-details__date"_qs +
           (d.date.dayOfWeek() >= 6 ? u" g-weekend"_qs : QString()) + u"\"><th colspan=\""_qs +
           QString::number(columns.count()) + u"\"><b>"_qs + kWeekdays[d.date.dayOfWeek() - 1] + u", "_qs +
           DateText(d.date) + u"</b> <span class=\"b-forecast-details__sun\">"_qs + Sun(d, paths.sun) +
           u"</span> <span class=\"b-forecast-details__moon\">"_qs +
           Img(paths.moon + MoonPicture(d.moonPhase) + u".gif"_qs, MoonText(d.moonPhase)) + u' ' +
           MoonText(d.moonPhase) + u"</span></th></tr>\n"_qs;
}

QString Cell(const QString& text, const char* cssClass = nullptr) {
    return (cssClass ? u"<td class=\""_qs + QLatin1String(cssClass) + u"\">"_qs : u"<td>"_qs) + text + u"</td>"_qs;
}

QString WeatherCells(const PartForecast& w, const PicturePaths& paths) {
    if (w.picture.isEmpty())
        return Cell({}, "b-forecast-details__pic") + Cell(u"—"_qs, "b-forecast-details__text");
    return Cell(Img(paths.weather + w.picture + u".gif"_qs, w.text), "b-forecast-details__pic") +
           Cell(w.text, "b-forecast-details__text");
}

QString WindCell(const PartForecast& w, const QString& at) {
    if (!w.windDirection)
        return Cell(u"—"_qs, "b-forecast-details__wind");
    const int direction = *w.windDirection;
    return Cell(Img(at + WindPicture(direction) + u".gif"_qs, WindText(direction)) + u' ' + WindText(direction),
                "b-forecast-details__wind");
}

QString PartRow(const QString& name, const PartForecast& w, const Columns& columns, const PicturePaths& paths) {
    QString row = u"<tr><th class=\"b-forecast-details__part\">"_qs + name + u"</th>"_qs;
    if (!w.known) {
        row += Cell(u"—"_qs, "b-forecast-details__t") + Cell({}, "b-forecast-details__pic") +
               Cell(u"—"_qs, "b-forecast-details__text");
        if (columns.precipitation)
            row += Cell(u"—"_qs);
        row += Cell(u"—"_qs) + Cell(u"—"_qs) + Cell({}, "b-forecast-details__wind") + Cell(u"—"_qs);
        if (columns.gusts)
            row += Cell(u"—"_qs);
        return row + u"</tr>\n"_qs;
    }
    row += Cell(Range(w), "b-forecast-details__t") + WeatherCells(w, paths);
    if (columns.precipitation)
        row += Cell(Millimetres(w.precipitation), "b-forecast-details__rain");
    row += Cell(Number(w.pressure)) + Cell(Number(w.humidity, u"%"_qs)) + WindCell(w, paths.wind) +
           Cell(Number(w.windSpeed));
    if (columns.gusts)
        row += Cell(Number(w.windGust));
    return row + u"</tr>\n"_qs;
}

QString Detailed(const Forecast& forecast, const PicturePaths& paths) {
    const Columns columns = ColumnsOf(forecast);
    QString html = DetailedHeader(columns);
    for (const DayForecast& d : forecast.days) {
        html += DayHeader(d, columns, paths);
        if (&d == &forecast.days.first() && forecast.nightInProgress)
            html += PartRow(u"до утра"_qs, *forecast.nightInProgress, columns, paths);
        for (int part = 0; part < 4; ++part)
            html += PartRow(kPartNames[part], d.parts[part], columns, paths);
        html += u"</tbody>\n"_qs;
    }
    return html + u"</table>\n"_qs;
}

QString SourceCredit(ForecastSource source) {
    switch (source) {
    case ForecastSource::MetNorway:
        return u"<p class=\"b-source\">Источник данных: <a href=\"https://api.met.no/\">MET Norway</a> "
               "(Норвежский метеорологический институт), лицензия "
               "<a href=\"https://creativecommons.org/licenses/by/4.0/\">CC BY 4.0</a>.</p>\n"_qs;
    case ForecastSource::OpenMeteo:
        return u"<p class=\"b-source\"><a href=\"https://open-meteo.com/\">Данные о погоде: Open-Meteo.com</a>, "
               "лицензия <a href=\"https://creativecommons.org/licenses/by/4.0/\">CC BY 4.0</a>.</p>\n"_qs;
    case ForecastSource::Sample:
        break;
    }
    return {};
}

} // namespace

bool IsCatalogueIndex(const QString& index) {
    return TownsByIndex().contains(index);
}

const PageTown* FindPageTown(const QString& index) {
    const auto found = TownsByIndex().constFind(index);
    return found == TownsByIndex().constEnd() ? nullptr : &*found;
}

QString TitleHtml(const PageTown& town, const Forecast& forecast) {
    return Title(town, forecast);
}

QString BriefHtml(const QList<DayForecast>& days, const PicturePaths& paths, const QString& heading) {
    return Brief(days, paths, heading);
}

QString DetailedHtml(const Forecast& forecast, const PicturePaths& paths) {
    return Detailed(forecast, paths);
}

QString SourceCreditHtml(ForecastSource source) {
    return SourceCredit(source);
}

QString DaysText(qsizetype count) {
    const qsizetype tens = count % 100, ones = count % 10;
    const QString word = tens >= 11 && tens <= 14 ? u"дней"_qs
                         : ones == 1              ? u"день"_qs
                         : ones >= 2 && ones <= 4 ? u"дня"_qs
                                                  : u"дней"_qs;
    return QString::number(count) + u' ' + word;
}

QString MoonPicture(int phase) {
    return kMoonPictures[phase & 7];
}
QString MoonText(int phase) {
    return kMoonTexts[phase & 7];
}
QString WindPicture(int direction) {
    return kWindPictures[direction & 7];
}
QString WindText(int direction) {
    return kWindTexts[direction & 7];
}

QStringList WeatherPictureNames() {
    return {u"clear-day"_qs, u"clear-night"_qs, u"partly-day"_qs, u"partly-night"_qs, u"cloudy"_qs,
            u"overcast"_qs,  u"light-rain"_qs,  u"rain"_qs,       u"light-snow"_qs,   u"snow"_qs,
            u"sleet"_qs,     u"storm"_qs,       u"fog"_qs,        u"no-data"_qs};
}

} // namespace vetorlan
