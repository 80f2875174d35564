#include "tools/sample-forecast-service/SampleService.h"

#include "tools/sample-forecast-service/ForecastPage.h"

#include <QDate>
#include <cerrno>
#include <cstring>
#include <httplib.h>

namespace vetorlan::sample {

namespace {

void Reply(httplib::Response& response, const ServiceAnswer& answer) {
    response.status = answer.status;
    response.set_content(answer.body, answer.contentType.c_str());
}

// httplib's default options let a second listener share the port (SO_REUSEPORT); only
// SO_REUSEADDR is set, so a restart gets its port back at once but a held port is refused.
void ExclusivePortOptions(socket_t socket) {
    int yes = 1;
#ifdef _WIN32
    setsockopt(socket, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<char*>(&yes), sizeof(yes));
#else
    setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof(yes));
#endif
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

int BindLoopback(httplib::Server& server, int port, std::string& why) {
    server.set_socket_options(ExclusivePortOptions);
    errno = 0;
    const int bound =
        port == 0 ? server.bind_to_any_port("127.0.0.1") : (server.bind_to_port("127.0.0.1", port) ? port : -1);
    if (bound > 0)
        return bound;
    const int error = errno;
    why = error == EADDRINUSE
              ? std::string("the port is taken by another process")
              : (error != 0 ? std::string(std::strerror(error)) : std::string("the port cannot be used"));
    return -1;
}

} // namespace vetorlan::sample
