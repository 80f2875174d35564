#include "tools/sample-forecast-service/ServicePage.h"

#include "core/CodePage.h"
#include "page/Meteogram.h"
#include "towns/TownCatalog.h"

namespace vetorlan {

namespace {

QString Head(const PageTown& town, qsizetype days) {
    return u"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\">\n"
           "<html>\n<head>\n"
           "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\">\n"
           "<title>Яндекс.Погода — "_qs +
           town.name + u": прогноз на "_qs + DaysText(days) +
           u"</title>\n"
           "<link rel=\"stylesheet\" type=\"text/css\" href=\"css/_weather.css\">\n"
           "<!--[if lte IE 7]><link rel=\"stylesheet\" type=\"text/css\" href=\"css/_weather-ie.css\"><![endif]-->\n"
           "<script type=\"text/javascript\">var page = {name: \"detailed\", lang: \"ru\"};</script>\n"
           "</head>\n"_qs;
}

QString Navigation(const PageTown& town) {
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

// Advertising and links between the short and the detailed forecast; the page rewriting cuts
// this block, and it needs the block's table to cut in the right places.
QString Extras(ForecastSource source) {
    const QString banner =
        source == ForecastSource::Sample ? u"Реклама: тёплые куртки со скидкой — Яндекс.Маркет"_qs : QString();
    return u"<table><tr><td class=\"b-banner\">"_qs + banner +
           u"</td></tr>\n"
           "</table>\n"
           "<div class=\"b-tabs\"><a href=\"/maps.xml\">Карта осадков</a> <a href=\"/archive.xml\">Архив</a></div>\n"_qs;
}

QString Footer() {
    return u"<ul class=\"b-foot\"><li>© 2001–2026 ООО «Яндекс»</li><li><a href=\"/about.xml\">О сервисе</a></li>"
           "<li><a href=\"/feedback.xml\">Обратная связь</a></li></ul>\n"
           "<script type=\"text/javascript\">(new Image()).src = \"/count?page=detailed\";</script>\n"
           "</body>\n</html>\n"_qs;
}

} // namespace

QByteArray RenderForecastPage(const Forecast& forecast, const QString& imageHost) {
    const PageTown* town = FindPageTown(forecast.stationIndex);
    if (!town)
        return {};
    const PicturePaths paths{imageHost + u"/i/wiz/"_qs, u"/i/moon/"_qs, u"/i/wind/"_qs, u"/i/"_qs};
    // The chart goes before the block the page rewriting cuts, so the written page shows it just
    // above the detailed table.
    const QString page = Head(*town, forecast.days.size()) + Navigation(*town) + TitleHtml(*town, forecast) +
                         BriefHtml(forecast.days, paths, u"Кратко"_qs) + MeteogramHtml(forecast) +
                         Extras(forecast.source) + DetailedHtml(forecast, paths) + SourceCreditHtml(forecast.source) +
                         Footer();
    return toCp1251(page);
}

} // namespace vetorlan
