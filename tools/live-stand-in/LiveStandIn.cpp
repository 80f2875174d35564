#include "tools/live-stand-in/LiveStandIn.h"

#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QTimeZone>
#include <chrono>
#include <cmath>

namespace vetorlan::standin {

namespace {

QJsonObject ReadFixture(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object() : QJsonObject();
}

// The recording's first day becomes `today`; every time keeps its hour.
QString ShiftTime(const QString& time, qint64 days) {
    const QDate date = QDate::fromString(time.left(10), Qt::ISODate);
    return date.isValid() ? date.addDays(days).toString(Qt::ISODate) + time.mid(10) : time;
}

qint64 DaysTo(const QJsonArray& times, const QDate& today) {
    return times.isEmpty() ? 0 : QDate::fromString(times.first().toString().left(10), Qt::ISODate).daysTo(today);
}

// The complete format gives gusts in the Nordic area only; a recording from elsewhere gets
// them as 1.6 times the wind speed, so that pages show the column.
void AddGust(QJsonObject& step) {
    QJsonObject data = step.value(u"data"_qs).toObject();
    QJsonObject instant = data.value(u"instant"_qs).toObject();
    QJsonObject details = instant.value(u"details"_qs).toObject();
    const QJsonValue speed = details.value(u"wind_speed"_qs);
    if (details.contains(u"wind_speed_of_gust"_qs) || !speed.isDouble())
        return;
    details.insert(u"wind_speed_of_gust"_qs, std::round(speed.toDouble() * 16) / 10);
    instant.insert(u"details"_qs, details);
    data.insert(u"instant"_qs, instant);
    step.insert(u"data"_qs, data);
}

// Only the hourly fields the request names, as the service answers.
void KeepRequested(QJsonObject& root, const std::string& requested) {
    if (requested.empty())
        return;
    const QStringList names = QString::fromStdString(requested).split(u',');
    for (const char* part : {"hourly", "hourly_units"}) {
        QJsonObject object = root.value(QLatin1String(part)).toObject();
        for (const QString& key : object.keys()) {
            if (key != u"time"_qs && !names.contains(key))
                object.remove(key);
        }
        root.insert(QLatin1String(part), object);
    }
}

} // namespace

LiveStandIn::LiveStandIn(const QString& fixtureFolder)
    : folder_(fixtureFolder), metFixture_(QStringLiteral("metno_complete_london_2020-07-20.json")),
      lastModified_(HttpDate(QDateTime::currentSecsSinceEpoch() - 60)) {
    Install();
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

LiveStandIn::~LiveStandIn() {
    server_.stop();
    if (thread_.joinable())
        thread_.join();
}

std::string LiveStandIn::metNorwayBase() const {
    return "http://127.0.0.1:" + std::to_string(port_) + "/metno";
}

std::string LiveStandIn::openMeteoBase() const {
    return "http://127.0.0.1:" + std::to_string(port_) + "/openmeteo";
}

void LiveStandIn::setMetFixture(const QString& fileName) {
    const std::lock_guard lock(mutex_);
    metFixture_ = fileName;
}

std::vector<SeenRequest> LiveStandIn::seen() const {
    const std::lock_guard lock(mutex_);
    return seen_;
}

int LiveStandIn::count(const std::string& path) const {
    const std::lock_guard lock(mutex_);
    return int(std::count_if(seen_.begin(), seen_.end(), [&](const SeenRequest& r) { return r.path == path; }));
}

void LiveStandIn::forget() {
    const std::lock_guard lock(mutex_);
    seen_.clear();
}

std::string LiveStandIn::HttpDate(qint64 secondsSinceEpoch) {
    const QDateTime when = QDateTime::fromSecsSinceEpoch(secondsSinceEpoch, QTimeZone::utc());
    return QLocale::c().toString(when, QStringLiteral("ddd, dd MMM yyyy HH:mm:ss")).toStdString() + " GMT";
}

void LiveStandIn::Install() {
    server_.Get("/metno/complete", [this](const httplib::Request& q, httplib::Response& r) { AnswerMet(q, r); });
    server_.Get("/openmeteo/forecast",
                [this](const httplib::Request& q, httplib::Response& r) { AnswerOpenMeteo(q, r); });
}

void LiveStandIn::Record(const httplib::Request& request) {
    const std::string target = request.target;
    const size_t question = target.find('?');
    const std::lock_guard lock(mutex_);
    seen_.push_back({request.path, question == std::string::npos ? std::string() : target.substr(question + 1),
                     request.get_header_value("User-Agent"), request.get_header_value("If-Modified-Since"),
                     request.get_header_value("Accept-Encoding")});
}

void LiveStandIn::Stamp(httplib::Response& response) const {
    response.set_header("Last-Modified", lastModified_);
    response.set_header("Expires", HttpDate(QDateTime::currentSecsSinceEpoch() + expiresIn));
}

bool LiveStandIn::NotModified(const httplib::Request& request, httplib::Response& response) {
    if (request.get_header_value("If-Modified-Since") != lastModified_)
        return false;
    response.status = 304;
    Stamp(response);
    return true;
}

void LiveStandIn::AnswerMet(const httplib::Request& request, httplib::Response& response) {
    Record(request);
    switch (metFault.load()) {
    case Fault::TooManyRequests:
        response.status = 429;
        return;
    case Fault::ServerError:
        response.status = 500;
        return;
    case Fault::Slow:
        std::this_thread::sleep_for(std::chrono::seconds(slowSeconds.load()));
        break;
    case Fault::NotJson:
        response.set_content("<html><body>Service unavailable</body></html>", "text/html");
        return;
    case Fault::Truncated: {
        auto body = std::make_shared<std::string>(ShiftedMet());
        response.set_content_provider(body->size(), "application/json",
                                      [body](size_t, size_t, httplib::DataSink& sink) {
                                          sink.write(body->data(), body->size() / 2);
                                          return false; // the connection ends half way
                                      });
        return;
    }
    case Fault::Deprecated:
        response.status = 203;
        break;
    case Fault::None:
        break;
    }
    if (NotModified(request, response))
        return;
    Stamp(response);
    response.set_content(ShiftedMet(), "application/json");
}

void LiveStandIn::AnswerOpenMeteo(const httplib::Request& request, httplib::Response& response) {
    Record(request);
    if (openMeteoFails) {
        response.status = 500;
        return;
    }
    if (NotModified(request, response))
        return;
    Stamp(response);
    response.set_content(ShiftedOpenMeteo(request.get_param_value("timezone"), request.get_param_value("hourly")),
                         "application/json");
}

std::string LiveStandIn::ShiftedMet() {
    QString fixture;
    {
        const std::lock_guard lock(mutex_);
        fixture = metFixture_;
    }
    QJsonObject root = ReadFixture(folder_ + u'/' + fixture);
    QJsonObject properties = root.value(u"properties"_qs).toObject();
    QJsonArray series = properties.value(u"timeseries"_qs).toArray();
    QJsonArray times;
    for (const QJsonValue& step : series)
        times.append(step.toObject().value(u"time"_qs));
    const qint64 days = DaysTo(times, QDateTime::currentDateTimeUtc().date());
    for (qsizetype i = 0; i < series.size(); ++i) {
        QJsonObject step = series[i].toObject();
        step.insert(u"time"_qs, ShiftTime(step.value(u"time"_qs).toString(), days));
        AddGust(step);
        series[i] = step;
    }
    QJsonObject meta = properties.value(u"meta"_qs).toObject();
    meta.insert(u"updated_at"_qs, ShiftTime(meta.value(u"updated_at"_qs).toString(), days));
    properties.insert(u"meta"_qs, meta);
    properties.insert(u"timeseries"_qs, series);
    root.insert(u"properties"_qs, properties);
    return QJsonDocument(root).toJson(QJsonDocument::Compact).toStdString();
}

std::string LiveStandIn::ShiftedOpenMeteo(const std::string& zone, const std::string& hourlyFields) {
    QJsonObject root = ReadFixture(folder_ + u"/openmeteo_forecast_hourly_3d_2026-03-02.json"_qs);
    QJsonObject hourly = root.value(u"hourly"_qs).toObject();
    QJsonArray times = hourly.value(u"time"_qs).toArray();
    const QTimeZone town(QByteArray::fromStdString(zone));
    const QDate today = QDateTime::currentDateTimeUtc().toTimeZone(town.isValid() ? town : QTimeZone::utc()).date();
    const qint64 days = DaysTo(times, today);
    for (qsizetype i = 0; i < times.size(); ++i)
        times[i] = ShiftTime(times[i].toString(), days);
    hourly.insert(u"time"_qs, times);
    root.insert(u"hourly"_qs, hourly);
    root.insert(u"timezone"_qs, QString::fromStdString(zone));
    KeepRequested(root, hourlyFields);
    return QJsonDocument(root).toJson(QJsonDocument::Compact).toStdString();
}

} // namespace vetorlan::standin
