// The sample service's pages: every town answers, the page carries what the converter cuts
// at, in an order that leaves a clean page, and every picture it names is shipped.
#include "core/CodePage.h"
#include "sources/Converter.h"
#include "tests/support/TestSupport.h"
#include "tools/sample-forecast-service/ForecastPage.h"
#include "towns/TownCatalog.h"

#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <httplib.h>

namespace vetorlan::test {
namespace {

const QString kImageHost = u"http://images.test:81"_qs;
const QDate kDay(2026, 12, 7);

QByteArray Page(const QString& index, const QDate& day = kDay) {
    const sample::ServiceAnswer answer = sample::ForecastAnswer(index.toStdString(), day, kImageHost);
    EXPECT_EQ(answer.status, 200) << index.toStdString();
    EXPECT_EQ(answer.contentType, "text/html; charset=windows-1251");
    return QByteArray::fromStdString(answer.body);
}

qsizetype At(const QByteArray& page, const char* utf8) {
    return page.indexOf(cp1251(utf8));
}

TEST(SampleService, EveryCatalogueTownHasAPageWithItsName) {
    for (int position = 1; position <= kCatalogSize; ++position) {
        const TownEntry entry = CatalogEntry(position);
        const QByteArray page = Page(TownIndex(entry));
        EXPECT_TRUE(page.contains(toCp1251(u"<h1>"_qs + TownName(entry) + u"</h1>"_qs))) << position;
    }
}

TEST(SampleService, AnswersNotFoundForAnyOtherCity) {
    for (const char* city : {"00000", "", "2761", "276120", "27a12", "../27", " 27612"})
        EXPECT_EQ(sample::ForecastAnswer(city, kDay, kImageHost).status, 404) << city;
}

TEST(SampleService, SameTownAndDayGiveTheSameBytes) {
    const QString index = TownIndex(CatalogEntry(1));
    EXPECT_EQ(Page(index), Page(index));
    EXPECT_NE(Page(index), Page(index, kDay.addDays(1)));
    EXPECT_NE(Page(index), Page(TownIndex(CatalogEntry(2))));
}

// The markers the converter looks for, each before the next where the cuts need an order.
TEST(SampleService, PageCarriesTheConvertersMarkersInOrder) {
    const QByteArray page = Page(TownIndex(CatalogEntry(1)));
    for (const char* marker : {"css/_weather.css", "Яндекс.", "Кратко", "http://images.test:81/i/wiz/", "/i/moon/",
                               "/i/wind/", "<a href=\"/othercity.xml\">другой город</a>", "Напечатать&#133;"})
        EXPECT_GE(At(page, marker), 0) << marker;
    const std::vector<const char*> order = {"<!--[if lte IE 7]>",
                                            "</head>",
                                            "<body style=",
                                            "\"><div class=\"b-navigation g-line\">",
                                            "<table>",
                                            "</table>",
                                            "<table class=\"b-forecast-details\">",
                                            "<ul class=\"b-foot\">",
                                            "</body>"};
    for (size_t i = 1; i < order.size(); ++i)
        EXPECT_LT(At(page, order[i - 1]), At(page, order[i])) << order[i - 1] << " / " << order[i];
    EXPECT_GE(At(page, order[0]), 0);
}

TEST(SampleService, ConvertedPageIsCleanAndItsPicturesAreShipped) {
    const QByteArray page = ConvertPageText(Page(TownIndex(CatalogEntry(1))), u"True"_qs, kImageHost);
    const QString text = fromCp1251(page);
    for (const QString& gone : {u"Яндекс"_qs, u"<!--[if"_qs, u"<script"_qs, u"b-foot"_qs, u"b-banner"_qs,
                                u"othercity"_qs, u"Напечатать"_qs, u"images.test"_qs, u"<table>"_qs})
        EXPECT_FALSE(text.contains(gone)) << gone.toStdString();
    for (const QString& kept :
         {u"href=\"nimbora.css\""_qs, u"<body><div class=\"b-navigation g-line\">"_qs, u"Прогноз погоды на 7 дней"_qs,
          u"b-forecast-brief"_qs, u"<table class=\"b-forecast-details\">"_qs, u"value=\"Назад\""_qs,
          u"Погода на этой странице выдумана для демонстрации."_qs})
        EXPECT_TRUE(text.contains(kept)) << kept.toStdString();
    const QRegularExpression source(u"src=\"([^\"]*)\""_qs);
    int pictures = 0;
    for (const auto& match : source.globalMatch(text)) {
        const QString src = match.captured(1);
        ASSERT_TRUE(src.startsWith(u"_i/"_qs)) << src.toStdString();
        const QString name = src.mid(3).remove(u'/');
        EXPECT_TRUE(QFileInfo::exists(QStringLiteral(VETORLAN_PICTURES_DIR) + u'/' + name)) << src.toStdString();
        ++pictures;
    }
    EXPECT_GT(pictures, 7 * 4);
}

TEST(SampleService, ServesEveryPictureUnderEachPathAndTheStyleSheet) {
    for (const QString& name : sample::PagePictureNames()) {
        for (const char* prefix : {"/i/", "/i/wiz/", "/i/moon/", "/i/wind/"}) {
            const auto answer = sample::StaticAnswer(prefix + name.toStdString());
            EXPECT_EQ(answer.status, 200) << prefix << name.toStdString();
            EXPECT_EQ(answer.body.rfind("GIF8", 0), 0u) << name.toStdString();
        }
    }
    EXPECT_EQ(sample::StaticAnswer("/css/_weather.css").status, 200);
    for (const char* path : {"/i/../nimbora.css", "/i/wiz/../../etc", "/i/none.gif", "/css/other.css", "/i/"})
        EXPECT_EQ(sample::StaticAnswer(path).status, 404) << path;
}

TEST(SampleService, RefusesAPortAnotherListenerHolds) {
    // A listener with httplib's defaults, which would share its port with a second one.
    httplib::Server holder;
    const int port = holder.bind_to_any_port("127.0.0.1");
    ASSERT_GT(port, 0);
    QProcess service;
    service.start(SAMPLE_SERVICE_BINARY, {"--port", QString::number(port)});
    ASSERT_TRUE(service.waitForFinished(10000)) << "the service started on a taken port";
    EXPECT_EQ(service.exitCode(), 1);
    EXPECT_EQ(service.readAllStandardError().trimmed().toStdString(),
              "cannot listen on 127.0.0.1:" + std::to_string(port) + ": the port is taken by another process");
    EXPECT_TRUE(service.readAllStandardOutput().isEmpty());
}

} // namespace
} // namespace vetorlan::test
