#include "tools/sample-forecast-service/SampleService.h"

#include "tools/sample-forecast-service/ForecastPage.h"

#include <QDate>
#include <httplib.h>

namespace vetorlan::sample {

namespace {

void Reply(httplib::Response& response, const ServiceAnswer& answer) {
    response.status = answer.status;
    response.set_content(answer.body, answer.contentType.c_str());
}

} // namespace

void InstallRoutes(httplib::Server& server, const QString& imageHost) {
    server.Get("/detailed.xml", [imageHost](const httplib::Request& request, httplib::Response& response) {
        const std::string city = request.has_param("city") ? request.get_param_value("city") : std::string();
        Reply(response, ForecastAnswer(city, QDate::currentDate(), imageHost));
    });
    server.Get(R"(/(i|css)/.*)", [](const httplib::Request& request, httplib::Response& response) {
        Reply(response, StaticAnswer(request.path));
    });
}

} // namespace vetorlan::sample
