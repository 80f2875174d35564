#include "page/Meteogram.h"

#include <QLocale>
#include <QTimeZone>
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace vetorlan {

namespace {

// The drawing in user units; the page scales it to its width.
constexpr int kHours = 48;
constexpr double kWidth = 720, kHeight = 236;
constexpr double kLeft = 36, kRight = 700;          // x of the first and the last hour
constexpr double kDayY = 12;                        // baseline of the weekday labels
constexpr double kPictureY = 18, kPictureSize = 30; // the condition pictures' row
constexpr double kShadeTop = 16, kFloor = 176;      // night shading; foot of the precipitation bars
constexpr double kWarmest = 70, kColdest = 140;     // y of the scale's top and bottom temperature
constexpr double kRainHeight = 50;                  // height of a bar at the top of the scale
constexpr double kHourY = 190, kWindY = 207, kSpeedY = 229;

using Span = std::pair<double, double>; // hours from the chart's start

// One hour the chart shows: the forecast's step, its place in time and its hour on the clock.
struct Step {
    const HourForecast* hour;
    double at; // hours from the chart's start
    int clock; // 0..23, the town's own time
};

// The hours the chart shows and the scales that place them.
struct Chart {
    QDateTime start;
    QTimeZone zone;
    std::vector<Step> steps;         // from `start`, in order, at most 48 hours on
    double coldest = 0, warmest = 0; // of the hours shown
    double low = 0, high = 0;        // temperatures at the bottom and top of the scale
    double rainTop = 0;              // mm at the top of the bar scale; 0: no precipitation

    double hoursTo(const QDateTime& t) const { return double(start.msecsTo(t)) / 3.6e6; }
    double x(double hours) const { return kLeft + hours * (kRight - kLeft) / kHours; }
    double y(double temperature) const { return kColdest - (temperature - low) / (high - low) * (kColdest - kWarmest); }
};

// The markup, appended to one buffer; numbers with one decimal at most, enough at the
// chart's size and short.
class Svg {
public:
    Svg() { out_.reserve(8 * 1024); }
    Svg& operator<<(QStringView text) {
        out_ += text;
        return *this;
    }
    Svg& operator<<(char16_t c) {
        out_ += QChar(c);
        return *this;
    }
    Svg& operator<<(double value) {
        const long long tenths = std::llround(value * 10);
        if (tenths < 0)
            out_ += u'-';
        digits(std::llabs(tenths) / 10);
        if (tenths % 10 != 0) {
            out_ += u'.';
            digits(std::llabs(tenths) % 10);
        }
        return *this;
    }
    Svg& operator<<(int value) { return *this << double(value); }
    QString take() { return std::move(out_); }

private:
    void digits(long long value) {
        char16_t buffer[24];
        int n = 0;
        do
            buffer[n++] = char16_t(u'0' + value % 10);
        while ((value /= 10) > 0);
        while (n > 0)
            out_ += QChar(buffer[--n]);
    }
    QString out_;
};

Svg& Signed(Svg& svg, int value) {
    if (value > 0)
        svg << u'+';
    else if (value < 0)
        svg << u"&#8722;";
    return svg << std::abs(value);
}

bool Valid(const HourForecast& hour) {
    return hour.local.isValid() && std::isfinite(hour.temperature);
}

// The chart starts at the hour of the forecast's issue: hours that had passed are left out.
QDateTime IssueHour(const Forecast& forecast, const QTimeZone& zone) {
    if (!forecast.issueDate.isValid())
        return {};
    return QDateTime(forecast.issueDate, QTime(qBound(0, forecast.issueMinutes, 24 * 60 - 1) / 60, 0), zone);
}

void TakeSteps(const Forecast& forecast, Chart& chart) {
    const QDateTime issued = IssueHour(forecast, chart.zone);
    for (const HourForecast& hour : forecast.hours) {
        if (!Valid(hour) || (issued.isValid() && hour.local < issued))
            continue;
        if (chart.steps.empty())
            chart.start = hour.local;
        const double at = chart.hoursTo(hour.local);
        if (!chart.steps.empty() && at <= chart.steps.back().at)
            continue; // out of order: the line runs forward in time only
        if (at > kHours)
            break;
        chart.steps.push_back({&hour, at, hour.local.time().hour()});
    }
}

// A round number of millimetres at or above the wettest hour.
double RainScale(double wettest) {
    for (double top : {1.0, 2.0, 5.0, 10.0, 20.0, 50.0, 100.0})
        if (wettest <= top)
            return top;
    return std::ceil(wettest);
}

// Precipitation of an hour inside the chart; 0 where none is given.
double Amount(const Step& step) {
    const double amount = step.hour->precipitation.value_or(0);
    return step.at < kHours && std::isfinite(amount) ? std::max(0.0, amount) : 0.0;
}

void SetScales(Chart& chart) {
    chart.coldest = chart.warmest = chart.steps.front().hour->temperature;
    double wettest = 0;
    for (const Step& step : chart.steps) {
        chart.coldest = std::min(chart.coldest, step.hour->temperature);
        chart.warmest = std::max(chart.warmest, step.hour->temperature);
        wettest = std::max(wettest, Amount(step));
    }
    chart.low = std::floor(chart.coldest);
    chart.high = std::ceil(chart.warmest);
    const double widen = std::max(0.0, 6.0 - (chart.high - chart.low)) / 2; // a calm day is not drawn as a storm
    chart.low -= widen;
    chart.high += widen;
    chart.rainTop = wettest > 0 ? RainScale(wettest) : 0;
}

// When the sun is up on a local day, in minutes after its midnight: from `rise` to `set`, past
// 1440 when it sets after the next midnight; rise == set when it does not rise at all. This is
// the one place that reads how a day marks polar night and polar day.
struct Daylight {
    int rise = 0;
    int set = 0;
};

// The spans of a date, in minutes after its midnight, in which the sun is up: from 00:00 when
// it is up then, and from each rise to the set after it or the end of the date.
std::vector<Daylight> DaylightOf(const DayForecast& day) {
    const int rise = day.sunriseMinutes, set = day.sunsetMinutes;
    std::vector<Daylight> light;
    if (day.sunUpAtMidnight)
        light.push_back({0, set >= 0 ? set : 24 * 60});
    if (rise >= 0)
        light.push_back({rise, set > rise ? set : 24 * 60});
    return light;
}

// The day of the forecast nearest to a date: beyond its last day the sun keeps that day's times.
const DayForecast* DayNearest(const Forecast& forecast, const QDate& date) {
    const DayForecast* nearest = nullptr;
    for (const DayForecast& day : forecast.days)
        if (!nearest || std::abs(day.date.daysTo(date)) < std::abs(nearest->date.daysTo(date)))
            nearest = &day;
    return nearest;
}

// The nights within the chart: the hours that no day's daylight covers. Without any day in the
// forecast nothing is shaded.
std::vector<Span> Nights(const Forecast& forecast, const Chart& chart) {
    std::vector<Span> light;
    const QDate last = chart.start.addSecs(kHours * 3600).date();
    for (QDate date = chart.start.date().addDays(-1); date <= last; date = date.addDays(1)) {
        const double midnight = chart.hoursTo(QDateTime(date, QTime(0, 0), chart.zone));
        const DayForecast* day = DayNearest(forecast, date);
        const std::vector<Daylight> spans = day ? DaylightOf(*day) : std::vector<Daylight>{{0, 24 * 60}};
        for (const auto& [rise, set] : spans)
            if (set > rise)
                light.emplace_back(midnight + rise / 60.0, midnight + set / 60.0);
    }
    std::sort(light.begin(), light.end());
    std::vector<Span> nights;
    double from = 0;
    for (const auto& [rise, set] : light) {
        if (rise > from && from < kHours)
            nights.emplace_back(from, std::min(rise, double(kHours)));
        from = std::max(from, set);
    }
    if (from < kHours)
        nights.emplace_back(from, kHours);
    return nights;
}

void Rect(Svg& svg, double x, double y, double width, double height) {
    svg << u"<rect x=\"" << x << u"\" y=\"" << y << u"\" width=\"" << width << u"\" height=\"" << height << u"\"/>";
}

Svg& Text(Svg& svg, double x, double y) {
    return svg << u"<text x=\"" << x << u"\" y=\"" << y << u"\">";
}

void NightShading(Svg& svg, const Forecast& forecast, const Chart& chart) {
    svg << u"<g class=\"b-meteogram__night\" fill=\"#e4eaf3\">";
    for (const auto& [from, to] : Nights(forecast, chart))
        Rect(svg, chart.x(from), kShadeTop, chart.x(to) - chart.x(from), kFloor - kShadeTop);
    svg << u"</g>\n";
}

void DayLabel(Svg& svg, double x, const QDate& date) {
    static const QLocale russian(QLocale::Russian, QLocale::Russia);
    const QString text = russian.toString(date, u"dddd, d MMMM"_qs);
    Text(svg, x, kDayY);
    if (date.dayOfWeek() >= 6)
        svg << u"<tspan fill=\"#c0392b\">" << text << u"</tspan>";
    else
        svg << text;
    svg << u"</text>";
}

double MidnightX(const Chart& chart, const QDate& date) {
    return chart.x(chart.hoursTo(QDateTime(date, QTime(0, 0), chart.zone)));
}

// A line at each midnight, and the weekday and date of the day it begins where there is room.
void Midnights(Svg& svg, const Chart& chart) {
    constexpr double room = 130; // width of the longest label
    QList<std::pair<double, QDate>> midnights;
    for (QDate date = chart.start.date().addDays(1); MidnightX(chart, date) <= kRight; date = date.addDays(1))
        midnights.emplace_back(MidnightX(chart, date), date);
    svg << u"<g class=\"b-meteogram__days\" font-weight=\"bold\"><path d=\"";
    for (const auto& [at, date] : midnights)
        svg << u'M' << at << u" 2V" << kHourY - 10;
    svg << u"\" stroke=\"#8c9cb1\" stroke-dasharray=\"3 2\"/>";
    if (midnights.isEmpty() || midnights.first().first > kLeft + room)
        DayLabel(svg, kLeft - 6, chart.start.date());
    for (const auto& [at, date] : midnights)
        if (at + room <= kWidth)
            DayLabel(svg, at + 4, date);
    svg << u"</g>\n";
}

void Pictures(Svg& svg, const Chart& chart) {
    svg << u"<g class=\"b-meteogram__pictures\">";
    for (const Step& step : chart.steps) {
        if (step.clock % 6 != 0 || step.hour->picture.isEmpty())
            continue;
        svg << u"<image href=\"_i/" << step.hour->picture.toHtmlEscaped() << u".gif\" x=\""
            << chart.x(step.at) - kPictureSize / 2 << u"\" y=\"" << kPictureY << u"\" width=\"" << kPictureSize
            << u"\" height=\"" << kPictureSize << u"\"/>";
    }
    svg << u"</g>\n";
}

// Bars over the hour each amount falls in; the scale's top is labelled at the left.
void Precipitation(Svg& svg, const Chart& chart) {
    svg << u"<g class=\"b-meteogram__precipitation\" fill=\"#3d8bd9\">";
    if (chart.rainTop > 0) {
        const double top = kFloor - kRainHeight;
        svg << u"<path d=\"M" << kLeft - 4 << u' ' << top << u'H' << kRight
            << u"\" stroke=\"#c5d3e4\" stroke-dasharray=\"2 3\"/>";
        Text(svg, 2, top + 4) << chart.rainTop << u" мм</text>";
    }
    const double hour = chart.x(1) - chart.x(0);
    for (const Step& step : chart.steps) {
        const double amount = Amount(step);
        if (amount > 0) {
            const double height = std::max(1.0, std::min(amount, chart.rainTop) / chart.rainTop * kRainHeight);
            Rect(svg, chart.x(step.at) + hour * 0.1, kFloor - height, hour * 0.8, height);
        }
    }
    svg << u"</g>\n";
}

void Temperature(Svg& svg, const Chart& chart) {
    svg << u"<g class=\"b-meteogram__temperature\"><polyline points=\"";
    for (const Step& step : chart.steps)
        svg << (&step == &chart.steps.front() ? u"" : u" ") << chart.x(step.at) << u','
            << chart.y(step.hour->temperature);
    svg << u"\" fill=\"none\" stroke=\"#d2452f\" stroke-width=\"2.2\" stroke-linejoin=\"round\"/>"
           u"<g text-anchor=\"middle\" font-weight=\"bold\" fill=\"#a8321f\" stroke=\"#fff\" stroke-width=\"3\" "
           u"paint-order=\"stroke\">";
    for (const Step& step : chart.steps)
        if (step.clock % 3 == 0)
            Signed(Text(svg, chart.x(step.at), chart.y(step.hour->temperature) - 7),
                   int(std::lround(step.hour->temperature)))
                << u"°</text>";
    svg << u"</g></g>\n";
}

void HourLabels(Svg& svg, const Chart& chart) {
    svg << u"<g class=\"b-meteogram__hours\" text-anchor=\"middle\" fill=\"#7d8ba0\" font-size=\"11\">";
    for (const Step& step : chart.steps)
        if (step.clock % 3 == 0)
            Text(svg, chart.x(step.at), kHourY) << (step.clock < 10 ? u"0" : u"") << step.clock << u":00</text>";
    svg << u"</g>\n";
}

// Arrows where the wind blows to, and its speed in m/s, every three hours.
void Wind(Svg& svg, const Chart& chart) {
    svg << u"<g class=\"b-meteogram__wind\">";
    QList<const Step*> shown;
    for (const Step& step : chart.steps)
        if (step.clock % 3 == 0 && std::isfinite(step.hour->windSpeed) && std::isfinite(step.hour->windFrom))
            shown << &step;
    for (const Step* step : shown)
        if (step->hour->windSpeed >= 0.5) // a calm has no direction to show
            svg << u"<use href=\"#b-meteogram-arrow\" transform=\"translate(" << chart.x(step->at) << u' ' << kWindY
                << u") rotate(" << int(std::lround(std::fmod(step->hour->windFrom, 360.0))) << u")\"/>";
    svg << u"<g text-anchor=\"middle\">";
    for (const Step* step : shown)
        Text(svg, chart.x(step->at), kSpeedY) << int(std::lround(step->hour->windSpeed)) << u"</text>";
    Text(svg << u"</g>", 2, kSpeedY) << u"м/с</text></g>\n";
}

// The chart told in words, for screen readers.
void Description(Svg& svg, const Chart& chart) {
    double rain = 0, wind = 0;
    for (const Step& step : chart.steps) {
        rain += Amount(step);
        if (std::isfinite(step.hour->windSpeed))
            wind = std::max(wind, step.hour->windSpeed);
    }
    Signed(svg << u"Температура от ", int(std::lround(chart.coldest))) << u" до ";
    Signed(svg, int(std::lround(chart.warmest))) << u" °C. ";
    if (rain >= 0.05)
        svg << u"Осадки " << QString::number(rain, 'f', 1).replace(u'.', u',') << u" мм. ";
    else
        svg << u"Без осадков. ";
    svg << u"Ветер до " << int(std::lround(wind)) << u" м/с.";
}

void Head(Svg& svg, const Chart& chart) {
    svg << u"<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 " << kWidth << u' ' << kHeight
        << u"\" width=\"100%\" role=\"img\" aria-labelledby=\"b-meteogram-title b-meteogram-desc\" "
           u"font-size=\"12\" fill=\"#4a5a70\">\n"
           u"<title id=\"b-meteogram-title\">Температура, осадки и ветер на ближайшие 48 часов</title>\n"
           u"<desc id=\"b-meteogram-desc\">";
    Description(svg, chart);
    svg << u"</desc>\n<defs><path id=\"b-meteogram-arrow\" d=\"M0 7L-4.5 0H-1.3V-7H1.3V0H4.5Z\"/></defs>\n";
}

} // namespace

QString MeteogramHtml(const Forecast& forecast) {
    if (forecast.hours.isEmpty())
        return {};
    Chart chart;
    chart.zone = forecast.hours.first().local.timeZone();
    TakeSteps(forecast, chart);
    if (chart.steps.size() < 2)
        return {};
    SetScales(chart);
    Svg svg;
    svg << u"<div class=\"b-meteogram\">\n<h2>Ближайшие 48 часов</h2>\n<div class=\"b-meteogram__chart\">";
    Head(svg, chart);
    NightShading(svg, forecast, chart);
    Midnights(svg, chart);
    Pictures(svg, chart);
    Precipitation(svg, chart);
    svg << u"<path d=\"M" << kLeft - 4 << u' ' << kFloor << u'H' << kRight + 4 << u"\" stroke=\"#b8c6d8\"/>\n";
    Temperature(svg, chart);
    HourLabels(svg, chart);
    Wind(svg, chart);
    svg << u"</svg></div>\n</div>\n";
    return svg.take();
}

} // namespace vetorlan
