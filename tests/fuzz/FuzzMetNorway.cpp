// libFuzzer harness: a MET Norway answer read as for a catalogue town, then rendered.
#include "sources/LiveSources.h"
#include "tests/fuzz/FuzzSupport.h"

using namespace vetorlan;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray answer = fuzz::Bytes(data, size);
    Forecast forecast;
    QString error;
    if (ReadMetNorway(answer, fuzz::StationFor(size), fuzz::AnswerNow(answer), forecast, error))
        fuzz::Render(forecast);
    return 0;
}
