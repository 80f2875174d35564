// libFuzzer harness: an Open-Meteo answer read as for a catalogue town, then rendered.
#include "sources/LiveSources.h"
#include "tests/fuzz/FuzzSupport.h"

using namespace vetorlan;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray answer = fuzz::Bytes(data, size);
    const QDateTime now = fuzz::AnswerNow(answer);
    Forecast forecast;
    QString error;
    if (ReadOpenMeteo(answer, fuzz::StationFor(size), now, now, forecast, error))
        fuzz::Render(forecast);
    return 0;
}
