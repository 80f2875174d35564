#include "sources/Addresses.h"

namespace vetorlan {

namespace {

QString AddressSetting(const char* variable, const char* fallback) {
    QString value = qEnvironmentVariable(variable).trimmed();
    if (value.isEmpty())
        value = QString::fromUtf8(fallback);
    while (value.endsWith(QLatin1Char('/')))
        value.chop(1);
    return value;
}

} // namespace

QString ServiceUrl() {
    return AddressSetting("VETORLAN_SERVICE_URL", VETORLAN_DEFAULT_SERVICE_URL);
}

QString ImageHost() {
    return AddressSetting("VETORLAN_IMAGE_HOST", VETORLAN_DEFAULT_IMAGE_HOST);
}

QString MetNorwayBase() {
    return AddressSetting("VETORLAN_METNO_URL", "https://api.met.no/weatherapi/locationforecast/2.0");
}

QString OpenMeteoBase() {
    return AddressSetting("VETORLAN_OPENMETEO_URL", "https://api.open-meteo.com/v1");
}

} // namespace vetorlan
