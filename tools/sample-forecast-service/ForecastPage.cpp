#include "tools/sample-forecast-service/ForecastPage.h"

#include "core/CodePage.h"
#include "tools/sample-forecast-service/Weather.h"
#include "towns/Base.h"

#include <QFile>
#include <QHash>
#include <QStringList>
#include <algorithm>

// Resources of a static library must be registered by name, outside any namespace.
static void InitSampleServiceResources() {
    Q_INIT_RESOURCE(sample_service);
}

namespace vetorlan::sample {

namespace {

const char* const kHtml = "text/html; charset=windows-1251";

const QStringList kWeekdays = {u"понедельник"_qs, u"вторник"_qs, u"среда"_qs,      u"четверг"_qs,
                               u"пятница"_qs,     u"суббота"_qs, u"воскресенье"_qs};
const QStringList kWeekdaysShort = {u"пн"_qs, u"вт"_qs, u"ср"_qs, u"чт"_qs, u"пт"_qs, u"сб"_qs, u"вс"_qs};
const QStringList kMonths = {u"января"_qs, u"февраля"_qs, u"марта"_qs,    u"апреля"_qs,  u"мая"_qs,    u"июня"_qs,
                             u"июля"_qs,   u"августа"_qs, u"сентября"_qs, u"октября"_qs, u"ноября"_qs, u"декабря"_qs};
const QStringList kMonthsShort = {u"янв"_qs, u"фев"_qs, u"мар"_qs, u"апр"_qs, u"мая"_qs, u"июн"_qs,
                                  u"июл"_qs, u"авг"_qs, u"сен"_qs, u"окт"_qs, u"ноя"_qs, u"дек"_qs};
const QStringList kPartNames = {u"утром"_qs, u"днём"_qs, u"вечером"_qs, u"ночью"_qs};

struct Town {
    QString name;
    int position = 0;
};

// Station index -> the first catalogue town that bears it.
const QHash<QString, Town>& TownsByIndex() {
    static const QHash<QString, Town> towns = [] {
        QHash<QString, Town> byIndex;
        for (int position = 1; position <= kCatalogSize; ++position) {
            const TownEntry entry = CatalogEntry(position);
            if (entry.size() > 6 && !byIndex.contains(TownIndex(entry)))
                byIndex.insert(TownIndex(entry), Town{TownName(entry).toHtmlEscaped(), position});
        }
        return byIndex;
    }();
    return towns;
}

bool IsStationIndex(const std::string& city) {
    return city.size() == 5 && std::all_of(city.begin(), city.end(), [](char c) { return c >= '0' && c <= '9'; });
}

QString Degrees(int t) {
    if (t > 0)
        return u"+"_qs + QString::number(t);
    if (t < 0)
        return u"&minus;"_qs + QString::number(-t);
    return u"0"_qs;
}

QString DateText(const QDate& day) {
    return QString::number(day.day()) + u' ' + kMonths[day.month() - 1];
}

QString Clock(int minutes) {
    return QString::asprintf("%02d:%02d", minutes / 60, minutes % 60);
}

QString Img(const QString& src, const QString& alt) {
    return u"<img src=\""_qs + src + u"\" alt=\""_qs + alt + u"\" title=\""_qs + alt + u"\">"_qs;
}

QString Head(const Town& town) {
    return u"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\">\n"
           "<html>\n<head>\n"
           "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\">\n"
           "<title>Яндекс.Погода — "_qs +
           town.name +
           u": прогноз на 7 дней</title>\n"
           "<link rel=\"stylesheet\" type=\"text/css\" href=\"css/_weather.css\">\n"
           "<!--[if lte IE 7]><link rel=\"stylesheet\" type=\"text/css\" href=\"css/_weather-ie.css\"><![endif]-->\n"
           "<script type=\"text/javascript\">var page = {name: \"detailed\", lang: \"ru\"};</script>\n"
           "</head>\n"_qs;
}

QString Navigation(const Town& town) {
    return u"<body style=\"margin:0;background:#fff\"><div class=\"b-navigation g-line\">"
           "<span class=\"b-navigation__brand\">Яндекс.Погода</span>"
           "<span class=\"b-navigation__sep\"> / </span><span>"_qs +
           RegionCaption(RegionOfPosition(town.position)) +
           u"</span><span class=\"b-navigation__sep\"> / </span>"
           "<b class=\"b-navigation__city\">"_qs +
           town.name +
           u"</b> <a href=\"/othercity.xml\">другой город</a>"
           " <a class=\"b-navigation__print\" href=\"javascript:window.print()\">Напечатать&#133;</a></div>\n"_qs;
}

QString Title(const Town& town, const QString& index, const QDate& firstDay) {
    return u"<div class=\"b-title\"><h1>"_qs + town.name + u"</h1><p class=\"b-title__updated\">Прогноз от "_qs +
           DateText(firstDay) + u' ' + QString::number(firstDay.year()) +
           u" года, 06:00 по местному времени. Метеостанция "_qs + index + u".</p></div>\n"_qs;
}

QString Brief(const QList<DayWeather>& days, const QString& imageHost) {
    QString html = u"<h2 class=\"b-brief__title\">Кратко</h2>\n<div class=\"b-forecast-brief\">\n"_qs;
    for (const DayWeather& d : days) {
        const PartWeather& day = d.parts[1];
        const PartWeather& night = d.parts[3];
        html += u"<div class=\"b-forecast-brief__day"_qs + (d.date.dayOfWeek() >= 6 ? u" g-weekend"_qs : QString()) +
                u"\"><div class=\"b-forecast-brief__date\"><b>"_qs + kWeekdaysShort[d.date.dayOfWeek() - 1] +
                u"</b> "_qs + QString::number(d.date.day()) + u' ' + kMonthsShort[d.date.month() - 1] + u"</div>"_qs +
                Img(imageHost + u"/i/wiz/"_qs + day.picture + u".gif"_qs, day.text) +
                u"<div class=\"b-forecast-brief__day-t\">"_qs + Degrees(day.temperature) + u"°</div>"_qs +
                u"<div class=\"b-forecast-brief__night-t\">"_qs + Degrees(night.temperature) + u"°</div></div>\n"_qs;
    }
    return html + u"</div>\n"_qs;
}

// Advertising and links of the service, between the short and the detailed forecast.
QString Extras() {
    return u"<table><tr><td class=\"b-banner\">Реклама: тёплые куртки со скидкой — Яндекс.Маркет</td></tr>\n"
           "</table>\n"
           "<div class=\"b-tabs\"><a href=\"/maps.xml\">Карта осадков</a> <a href=\"/archive.xml\">Архив</a></div>\n"_qs;
}

QString DetailedHeader() {
    return u"<table class=\"b-forecast-details\">\n"
           "<caption>Подробный прогноз</caption>\n"
           "<thead><tr><th class=\"b-forecast-details__part\"></th><th>Температура, °C</th>"
           "<th colspan=\"2\">Погода</th><th>Давление, мм&nbsp;рт.&nbsp;ст.</th><th>Влажность</th>"
           "<th colspan=\"2\">Ветер, м/с</th></tr></thead>\n"_qs;
}

QString DayHeader(const DayWeather& d) {
    return u"<tbody><tr class=\"b-forecast-details__date"_qs +
           (d.date.dayOfWeek() >= 6 ? u" g-weekend"_qs : QString()) + u"\"><th colspan=\"8\"><b>"_qs +
           kWeekdays[d.date.dayOfWeek() - 1] + u", "_qs + DateText(d.date) +
           u"</b> <span class=\"b-forecast-details__sun\">"_qs + Img(u"/i/sunrise.gif"_qs, u"восход"_qs) + u' ' +
           Clock(d.sunriseMinutes) + u' ' + Img(u"/i/sunset.gif"_qs, u"заход"_qs) + u' ' + Clock(d.sunsetMinutes) +
           u"</span> <span class=\"b-forecast-details__moon\">"_qs +
           Img(u"/i/moon/"_qs + MoonPicture(d.moonPhase) + u".gif"_qs, MoonText(d.moonPhase)) + u' ' +
           MoonText(d.moonPhase) + u"</span></th></tr>\n"_qs;
}

QString PartRow(int part, const PartWeather& w, const QString& imageHost) {
    return u"<tr><th class=\"b-forecast-details__part\">"_qs + kPartNames[part] +
           u"</th><td class=\"b-forecast-details__t\">"_qs + Degrees(w.temperature - 1) + u"…"_qs +
           Degrees(w.temperature + 1) + u"°</td><td class=\"b-forecast-details__pic\">"_qs +
           Img(imageHost + u"/i/wiz/"_qs + w.picture + u".gif"_qs, w.text) + u"</td><td>"_qs + w.text +
           u"</td><td>"_qs + QString::number(w.pressure) + u"</td><td>"_qs + QString::number(w.humidity) +
           u"%</td><td class=\"b-forecast-details__wind\">"_qs +
           Img(u"/i/wind/"_qs + WindPicture(w.windDirection) + u".gif"_qs, WindText(w.windDirection)) + u' ' +
           WindText(w.windDirection) + u"</td><td>"_qs + QString::number(w.windSpeed) + u"</td></tr>\n"_qs;
}

QString Detailed(const QList<DayWeather>& days, const QString& imageHost) {
    QString html = DetailedHeader();
    for (const DayWeather& d : days) {
        html += DayHeader(d);
        for (int part = 0; part < 4; ++part)
            html += PartRow(part, d.parts[part], imageHost);
        html += u"</tbody>\n"_qs;
    }
    return html + u"</table>\n"_qs;
}

QString Footer() {
    return u"<ul class=\"b-foot\"><li>© 2001–2026 ООО «Яндекс»</li><li><a href=\"/about.xml\">О сервисе</a></li>"
           "<li><a href=\"/feedback.xml\">Обратная связь</a></li></ul>\n"
           "<script type=\"text/javascript\">(new Image()).src = \"/count?page=detailed\";</script>\n"
           "</body>\n</html>\n"_qs;
}

ServiceAnswer NotFound(const QString& what) {
    const QString html = u"<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\">"
                         "<title>Страница не найдена</title></head><body><h1>404</h1><p>"_qs +
                         what + u"</p></body></html>\n"_qs;
    const QByteArray bytes = toCp1251(html);
    return {404, kHtml, bytes.toStdString()};
}

QByteArray ReadResource(const QString& name) {
    static const bool registered = (InitSampleServiceResources(), true);
    Q_UNUSED(registered);
    QFile file(u":/sample-service/"_qs + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

ServiceAnswer ForecastAnswer(const std::string& city, const QDate& firstDay, const QString& imageHost) {
    if (!IsStationIndex(city))
        return NotFound(u"Укажите пятизначный индекс метеостанции: /detailed.xml?city=NNNNN"_qs);
    const QString index = QString::fromStdString(city);
    const auto found = TownsByIndex().constFind(index);
    if (found == TownsByIndex().constEnd())
        return NotFound(u"Город с индексом "_qs + index + u" не найден."_qs);
    const QList<DayWeather> days = WeekWeather(index.toInt(), firstDay);
    const QString page = Head(*found) + Navigation(*found) + Title(*found, index, firstDay) + Brief(days, imageHost) +
                         Extras() + Detailed(days, imageHost) + Footer();
    return {200, kHtml, toCp1251(page).toStdString()};
}

ServiceAnswer StaticAnswer(const std::string& path) {
    QString name;
    const QString request = QString::fromStdString(path);
    if (request == u"/css/_weather.css"_qs)
        name = u"nimbora.css"_qs;
    for (const QString& prefix : {u"/i/wiz/"_qs, u"/i/moon/"_qs, u"/i/wind/"_qs, u"/i/"_qs}) {
        if (name.isEmpty() && request.startsWith(prefix) && !request.mid(prefix.size()).contains(u'/'))
            name = u"_i/"_qs + request.mid(prefix.size());
    }
    const QByteArray bytes = name.isEmpty() ? QByteArray() : ReadResource(name);
    if (bytes.isEmpty())
        return NotFound(u"Нет такого файла."_qs);
    const bool css = name.endsWith(u".css"_qs);
    return {200, css ? "text/css; charset=windows-1251" : "image/gif", bytes.toStdString()};
}

QStringList PagePictureNames() {
    QStringList names = WeatherPictureNames();
    for (int phase = 0; phase < 8; ++phase)
        names << MoonPicture(phase);
    for (int direction = 0; direction < 8; ++direction)
        names << WindPicture(direction);
    names << u"sunrise"_qs << u"sunset"_qs;
    for (QString& name : names)
        name += u".gif"_qs;
    return names;
}

} // namespace vetorlan::sample
