#pragma once

#include <QString>
#include <atomic>
#include <httplib.h>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vetorlan::standin {

// What MET Norway's stand-in does instead of answering with its recording.
enum class Fault { None, TooManyRequests, ServerError, Slow, Truncated, NotJson, Deprecated };

// One request as the stand-in saw it.
struct SeenRequest {
    std::string path;
    std::string query; // as sent, undecoded
    std::string userAgent;
    std::string ifModifiedSince;
    std::string acceptEncoding;
};

// Both live forecast sources on 127.0.0.1 at a free port, replaying recorded answers with
// their times moved to the present: MET Norway under /metno (base for VETORLAN_METNO_URL),
// with gusts added where the recording has none; Open-Meteo under /openmeteo
// (VETORLAN_OPENMETEO_URL), with only the hourly fields the request names. Every answer carries a fixed
// Last-Modified and an Expires `expiresIn` seconds ahead; a request with If-Modified-Since
// equal to that Last-Modified gets 304.
class LiveStandIn {
public:
    explicit LiveStandIn(const QString& fixtureFolder);
    ~LiveStandIn();

    std::string metNorwayBase() const;
    const std::string& lastModified() const { return lastModified_; }
    std::string openMeteoBase() const;

    // Changeable while the server runs.
    std::atomic<Fault> metFault = Fault::None;
    std::atomic<bool> openMeteoFails = false;
    std::atomic<int> expiresIn = 1800;
    std::atomic<int> slowSeconds = 4;
    void setMetFixture(const QString& fileName);

    std::vector<SeenRequest> seen() const;
    int count(const std::string& path) const;
    void forget();

    static std::string HttpDate(qint64 secondsSinceEpoch);

private:
    void Install();
    void Record(const httplib::Request& request);
    bool NotModified(const httplib::Request& request, httplib::Response& response);
    void Stamp(httplib::Response& response) const;
    void AnswerMet(const httplib::Request& request, httplib::Response& response);
    void AnswerOpenMeteo(const httplib::Request& request, httplib::Response& response);
    std::string ShiftedMet();
    std::string ShiftedOpenMeteo(const std::string& zone, const std::string& hourlyFields);

    QString folder_;
    QString metFixture_;
    std::string lastModified_;
    mutable std::mutex mutex_;
    std::vector<SeenRequest> seen_;
    httplib::Server server_;
    std::thread thread_;
    int port_ = 0;
};

} // namespace vetorlan::standin
