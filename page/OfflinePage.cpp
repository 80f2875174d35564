#include "page/OfflinePage.h"

#include "core/CodePage.h"
#include "page/Meteogram.h"
#include "page/PageParts.h"
#include "towns/TownCatalog.h"

namespace vetorlan {

namespace {

QString Head(const PageTown& town, qsizetype days) {
    return u"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\">\n"
           "<html>\n<head>\n"
           "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\">\n"
           "<title>Погода — "_qs +
           town.name + u": прогноз на "_qs + DaysText(days) +
           u"</title>\n"
           "<link rel=\"stylesheet\" type=\"text/css\" href=\"nimbora.css\">\n"
           "</head>\n"_qs;
}

// The empty print link is kept: pages written before carry it, and nimbora.css styles it.
QString Navigation(const PageTown& town) {
    return u"<body><div class=\"b-navigation g-line\">"
           "<span class=\"b-navigation__brand\">Погода</span>"
           "<span class=\"b-navigation__sep\"> / </span><span>"_qs +
           RegionCaption(RegionOfPosition(town.position)) +
           u"</span><span class=\"b-navigation__sep\"> / </span>"
           "<b class=\"b-navigation__city\">"_qs +
           town.name + u"</b>  <a class=\"b-navigation__print\" href=\"javascript:window.print()\"></a></div>\n"_qs;
}

QString End(bool backButton) {
    const QString back =
        u"<br>\n<div align=\"center\"><input type=\"button\" value=\"Назад\"onClick=\"history.back()\" "
        "name=\"button\"></div>"_qs;
    return u"</body>"_qs + (backButton ? back : QString()) + u"\n</html>\n\r\n"_qs;
}

} // namespace

QByteArray RenderOfflinePage(const Forecast& forecast, bool backButton) {
    const PageTown* town = FindPageTown(forecast.stationIndex);
    if (!town)
        return {};
    // Weather pictures sit right under _i/; the doubled slash is what pages always had there.
    const PicturePaths paths{u"_i//"_qs, u"_i/"_qs, u"_i/"_qs, u"_i/"_qs};
    // The "</table>" after the chart closed the service's advert table; pages keep it so that
    // they stay the same bytes as before.
    const QString page = Head(*town, forecast.days.size()) + Navigation(*town) + TitleHtml(*town, forecast) +
                         BriefHtml(forecast.days, paths, u"Прогноз погоды на 7 дней"_qs) + MeteogramHtml(forecast) +
                         u"\n</table>"_qs + DetailedHtml(forecast, paths) + SourceCreditHtml(forecast.source) +
                         End(backButton);
    return toCp1251(page);
}

} // namespace vetorlan
