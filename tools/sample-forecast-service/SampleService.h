#pragma once

#include <QString>
#include <string>

namespace httplib {
class Server;
}

namespace vetorlan::sample {

// Registers the service's answers on `server`: "/detailed.xml?city=NNNNN" (today's week),
// the pictures under "/i/" and the style sheet "/css/_weather.css"; 404 for anything else.
void InstallRoutes(httplib::Server& server, const QString& imageHost);

// Binds `server` to 127.0.0.1:`port` (0: any free port) and returns the port, or -1 with the
// reason in `why`. A port another process listens on is refused, never shared.
int BindLoopback(httplib::Server& server, int port, std::string& why);

} // namespace vetorlan::sample
