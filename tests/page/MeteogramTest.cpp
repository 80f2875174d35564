// The chart of the coming 48 hours, read back from the SVG of a written page and checked against
// the hourly values it was drawn from: where each layer stands is told by the line's own points.
#include "page/Meteogram.h"
#include "core/CodePage.h"
#include "page/OfflinePage.h"

#include <QRectF>
#include <QTimeZone>
#include <QXmlStreamReader>
#include <algorithm>
#include <gtest/gtest.h>
#include <numeric>

namespace vetorlan {
namespace {

const QTimeZone kVladivostok("Asia/Vladivostok"); // UTC+10, far from the tests' own zone

// Vladivostok from 00:00 on `first` for 60 hours, issued at 09:40: 49 distinct temperatures
// in a scrambled order, 0.3 °C apart, and rain in every seventh hour, heavier each time.
Forecast MakeForecast(const QDate& first, int sunrise, int sunset, bool sunUpAtMidnight = false) {
    Forecast f;
    f.stationIndex = u"31960"_qs;
    f.issueDate = first;
    f.issueMinutes = 9 * 60 + 40;
    f.source = ForecastSource::OpenMeteo;
    for (int d = 0; d < 7; ++d) {
        DayForecast day;
        day.date = first.addDays(d);
        day.sunriseMinutes = sunrise < 0 ? sunrise : sunrise + d; // a minute later each day
        day.sunsetMinutes = sunset < 0 ? sunset : sunset - d;
        day.sunUpAtMidnight = sunUpAtMidnight;
        f.days << day;
    }
    for (int k = 0; k < 60; ++k) {
        HourForecast h;
        h.local = QDateTime(first, QTime(0, 0), kVladivostok).addSecs(k * 3600);
        h.temperature = (k * 37 % 61) * 0.3 - 7;
        if (k % 7 == 3)
            h.precipitation = 0.1 * k;
        else if (k % 2)
            h.precipitation = 0.0;
        h.windFrom = k * 15;
        h.windSpeed = k % 9;
        h.picture = k % 12 < 6 ? u"snow"_qs : u"cloudy"_qs;
        f.hours << h;
    }
    return f;
}

// The chart's markup as the written page holds it.
QString ChartOf(const QByteArray& page) {
    const QString text = fromCp1251(page);
    const qsizetype from = text.indexOf(u"<svg"_qs), to = text.indexOf(u"</svg>"_qs);
    return from < 0 || to < from ? QString() : text.mid(from, to + 6 - from);
}

QString WrittenChart(const Forecast& f) {
    return ChartOf(RenderOfflinePage(f, false));
}

double Attr(const QXmlStreamReader& xml, const char* name) {
    return xml.attributes().value(QLatin1String(name)).toDouble();
}

// The layers of a chart, each element filed under the class of the group it stands in.
struct Parsed {
    QList<QPointF> line;
    QList<QRectF> bars, nights;
    QList<std::pair<QString, double>> pictures; // name, centre x
    QDateTime first, last;                      // the hours of the line's first and last point

    // Where a time stands, by the line's own ends.
    double x(const QDateTime& t) const {
        return line.first().x() + double(first.secsTo(t)) / first.secsTo(last) * (line.last().x() - line.first().x());
    }
};

Parsed Parse(const QString& svg) {
    Parsed p;
    QXmlStreamReader xml(svg);
    QStringList groups;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::EndElement && xml.name() == u"g"_qs)
            groups.removeLast();
        if (!xml.isStartElement())
            continue;
        const QString group = groups.isEmpty() ? QString() : groups.last();
        if (xml.name() == u"g"_qs)
            groups << (xml.attributes().hasAttribute(u"class"_qs) ? xml.attributes().value(u"class"_qs).toString()
                                                                  : group);
        const QRectF rect(Attr(xml, "x"), Attr(xml, "y"), Attr(xml, "width"), Attr(xml, "height"));
        if (xml.name() == u"polyline"_qs && group == u"b-meteogram__temperature"_qs) {
            for (const QString& point : xml.attributes().value(u"points"_qs).toString().split(u' '))
                p.line << QPointF(point.section(u',', 0, 0).toDouble(), point.section(u',', 1, 1).toDouble());
        } else if (xml.name() == u"rect"_qs && group == u"b-meteogram__precipitation"_qs) {
            p.bars << rect;
        } else if (xml.name() == u"rect"_qs && group == u"b-meteogram__night"_qs) {
            p.nights << rect;
        } else if (xml.name() == u"image"_qs) {
            p.pictures.emplace_back(xml.attributes().value(u"href"_qs).toString(), rect.center().x());
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return p;
}

// The written page's chart of a forecast made by MakeForecast: it shows 09:00 of the first day,
// the issue's hour, and the 48 hours after.
Parsed Read(const Forecast& f) {
    Parsed p = Parse(WrittenChart(f));
    p.first = f.hours[9].local;
    p.last = f.hours[57].local;
    EXPECT_GE(p.line.size(), 2);
    return p;
}

// Indices of `values` from the smallest to the largest.
template <typename Less> QList<int> Order(qsizetype n, Less less) {
    QList<int> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), less);
    return order;
}

TEST(Meteogram, TemperatureLineHasTheShapeOfTheHoursFromTheIssueOn) {
    const Forecast f = MakeForecast(QDate(2026, 12, 8), 8 * 60 + 12, 17 * 60 + 3);
    const Parsed chart = Read(f);
    const QList<HourForecast> shown = f.hours.mid(9, 49); // 09:00, the issue's hour, and 48 hours on
    ASSERT_EQ(chart.line.size(), shown.size());
    const auto byTemperature =
        Order(shown.size(), [&](int a, int b) { return shown[a].temperature < shown[b].temperature; });
    const auto byHeight = Order(chart.line.size(), [&](int a, int b) { return chart.line[a].y() > chart.line[b].y(); });
    EXPECT_EQ(byHeight, byTemperature); // warmer is higher, point for point
    for (qsizetype i = 0; i < shown.size(); ++i)
        EXPECT_NEAR(chart.line[i].x(), chart.x(shown[i].local), 0.15) << i; // evenly in time
    // A picture every six hours of the town's clock (12:00, 18:00, 00:00 …), over its hour.
    ASSERT_EQ(chart.pictures.size(), 8u);
    for (const auto& [href, x] : chart.pictures) {
        const auto at = std::find_if(shown.begin(), shown.end(),
                                     [&](const HourForecast& h) { return std::abs(chart.x(h.local) - x) < 0.15; });
        ASSERT_NE(at, shown.end()) << x;
        EXPECT_EQ(at->local.time().hour() % 6, 0);
        EXPECT_EQ(href, u"_i/"_qs + at->picture + u".gif"_qs);
    }
}

TEST(Meteogram, PrecipitationBarsStandOverTheWetHoursByAmount) {
    const Forecast f = MakeForecast(QDate(2026, 12, 8), 8 * 60 + 12, 17 * 60 + 3);
    const Parsed chart = Read(f);
    QList<HourForecast> wet;
    for (const HourForecast& h : f.hours.mid(9, 48))
        if (h.precipitation.value_or(0) > 0)
            wet << h;
    ASSERT_EQ(chart.bars.size(), wet.size());
    for (qsizetype i = 0; i < wet.size(); ++i) {
        EXPECT_GE(chart.bars[i].left(), chart.x(wet[i].local)) << i;
        EXPECT_LE(chart.bars[i].right(), chart.x(wet[i].local.addSecs(3600))) << i;
        EXPECT_NEAR(chart.bars[i].bottom(), chart.bars[0].bottom(), 0.01) << "on one floor";
        EXPECT_GT(chart.bars[i].height(), i > 0 ? chart.bars[i - 1].height() : 0.0) << "more rain, a taller bar";
    }
}

TEST(Meteogram, NightIsShadedFromSunsetToSunriseAndThroughPolarNight) {
    const Forecast f = MakeForecast(QDate(2026, 12, 8), 8 * 60 + 12, 17 * 60 + 3);
    const Parsed chart = Read(f);
    const auto at = [&](int day, int minutes) {
        return chart.x(QDateTime(f.days[day].date, QTime(0, 0), kVladivostok).addSecs(minutes * 60));
    };
    ASSERT_EQ(chart.nights.size(), 2); // the chart runs from 09:00 to 09:00, after both sunrises
    for (int day = 0; day < 2; ++day) {
        EXPECT_NEAR(chart.nights[day].left(), at(day, f.days[day].sunsetMinutes), 0.15) << day;
        EXPECT_NEAR(chart.nights[day].right(), at(day + 1, f.days[day + 1].sunriseMinutes), 0.15) << day;
    }
    // No sunrise and no sunset: polar night shades the whole chart, polar day none of it; days
    // past the forecast's last keep its sun.
    Forecast oneDay = MakeForecast(QDate(2026, 12, 8), -1, -1);
    oneDay.days.resize(1);
    const Parsed polarNight = Read(oneDay);
    ASSERT_EQ(polarNight.nights.size(), 1);
    EXPECT_NEAR(polarNight.nights[0].left(), polarNight.line.first().x(), 0.15);
    EXPECT_NEAR(polarNight.nights[0].right(), polarNight.line.last().x(), 0.15);
    EXPECT_TRUE(Read(MakeForecast(QDate(2026, 6, 20), -1, -1, true)).nights.isEmpty());
}

TEST(Meteogram, ChartReachesTheWrittenPageUnchangedAndOnlyFromHourlyValues) {
    Forecast f = MakeForecast(QDate(2026, 12, 8), 8 * 60 + 12, 17 * 60 + 3);
    const QString chart = ChartOf(toCp1251(MeteogramHtml(f)));
    ASSERT_FALSE(chart.isEmpty());
    EXPECT_LE(toCp1251(chart).size(), 25 * 1024);
    for (const bool backButton : {false, true}) {
        const QString written = fromCp1251(RenderOfflinePage(f, backButton));
        EXPECT_EQ(ChartOf(toCp1251(written)), chart) << backButton;
        EXPECT_LT(written.indexOf(chart), written.indexOf(u"<table class=\"b-forecast-details\">"_qs));
    }
    f.hours.clear(); // as the page service's forecasts come
    EXPECT_FALSE(RenderOfflinePage(f, false).contains("<svg"));
}

} // namespace
} // namespace vetorlan
