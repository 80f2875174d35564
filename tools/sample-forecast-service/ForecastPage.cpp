#include "tools/sample-forecast-service/ForecastPage.h"

#include "core/CodePage.h"
#include "tools/sample-forecast-service/ServicePage.h"
#include "tools/sample-forecast-service/Weather.h"

#include <QFile>
#include <QStringList>
#include <algorithm>

// Resources of a static library must be registered by name, outside any namespace.
static void InitSampleServiceResources() {
    Q_INIT_RESOURCE(sample_service);
}

namespace vetorlan::sample {

namespace {

const char* const kHtml = "text/html; charset=windows-1251";

bool IsStationIndex(const std::string& city) {
    return city.size() == 5 && std::all_of(city.begin(), city.end(), [](char c) { return c >= '0' && c <= '9'; });
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
    if (!IsCatalogueIndex(index))
        return NotFound(u"Город с индексом "_qs + index + u" не найден."_qs);
    Forecast forecast;
    forecast.stationIndex = index;
    forecast.issueDate = firstDay;
    forecast.issueMinutes = 6 * 60;
    forecast.days = WeekWeather(index.toInt(), firstDay);
    forecast.source = ForecastSource::Sample;
    return {200, kHtml, RenderForecastPage(forecast, imageHost).toStdString()};
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
