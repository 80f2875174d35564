#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <string>

namespace vetorlan::sample {

// One answer of the sample service: status, content type and body bytes.
struct ServiceAnswer {
    int status = 404;
    std::string contentType;
    std::string body;
};

// The detailed 7-day forecast page of the catalogue town with this station index, starting
// at `firstDay`, in Windows-1251. The same town and day always give the same bytes. Weather
// pictures point at `imageHost` + "/i/wiz/...", the others at "/i/...".
ServiceAnswer ForecastAnswer(const std::string& city, const QDate& firstDay, const QString& imageHost);

// The picture or style sheet at a request path ("/i/...", "/i/wiz/...", "/css/_weather.css").
ServiceAnswer StaticAnswer(const std::string& path);

// Names of the pictures the pages use (file names under "_i"), for checks and tools.
QStringList PagePictureNames();

} // namespace vetorlan::sample
