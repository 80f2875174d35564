#pragma once

#include <QString>

namespace vetorlan {

// The addresses the program talks to (scheme, host, optional port and path), each from its
// environment variable when that is set and not empty, else the build's or the service's own;
// without trailing slashes, so that paths can be appended as they are.

// The page service (VETORLAN_SERVICE_URL; empty: pages are made from the live sources) and
// the image host its pages point at (VETORLAN_IMAGE_HOST).
QString ServiceUrl();
QString ImageHost();

// The live sources' bases: VETORLAN_METNO_URL, VETORLAN_OPENMETEO_URL.
QString MetNorwayBase();
QString OpenMeteoBase();

} // namespace vetorlan
