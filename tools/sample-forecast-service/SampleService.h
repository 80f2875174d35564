#pragma once

#include <QString>

namespace httplib {
class Server;
}

namespace vetorlan::sample {

// Registers the service's answers on `server`: "/detailed.xml?city=NNNNN" (today's week),
// the pictures under "/i/" and the style sheet "/css/_weather.css"; 404 for anything else.
void InstallRoutes(httplib::Server& server, const QString& imageHost);

} // namespace vetorlan::sample
