// Throughput of the page rewrite on a large page dense with every text it looks for.
// Usage: bench-converter [megabytes] [runs]
#include "core/CodePage.h"
#include "sources/Converter.h"

#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

using namespace vetorlan;

namespace {

const char kHost[] = "http://img.test";

// One stretch of page with every replacement text and every cut marker in it.
QByteArray block() {
    return toCp1251(QString::fromUtf8(
        "<title>Яндекс.Погода</title><link href=\"css/_weather.css\">"
        "<!--[if lte IE 7]><link href=\"css/_ie.css\"><![endif]--></head>\n"
        "<body style=\"margin:0\"><div class=\"b-navigation g-line\"><a href=\"/othercity.xml\">другой город</a>"
        " Напечатать&#133;</div>\n<table><tr><td>Кратко</td></tr></table>"
        "<table class=\"b-forecast-details\"><tr><td><img src=\"http://img.test/i/wiz/bkn.png\">"
        "<img src=\"/i/moon/3.gif\"><img src=\"/i/wind/n.gif\"><img src=\"/i/x.gif\"></td></tr></table>\n"
        "<ul class=\"b-foot\"><li>Яндекс</li></ul></body>\n"));
}

QByteArray makePage(qsizetype bytes) {
    const QByteArray one = block();
    QByteArray page;
    page.reserve(bytes + one.size());
    while (page.size() < bytes)
        page += one;
    return page;
}

double cpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Timing {
    double wallMs, cpuMs;
    qsizetype outSize;
};

// Medians of wall-clock and process CPU time; the CPU figure is steadier on a busy machine.
Timing measure(const QByteArray& page, const QString& multiLoad, int runs) {
    std::vector<double> wall, cpu;
    qsizetype outSize = 0;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        const double cpuStart = cpuMs();
        timer.start();
        const QByteArray out = ConvertPageText(page, multiLoad, kHost);
        wall.push_back(timer.nsecsElapsed() / 1e6);
        cpu.push_back(cpuMs() - cpuStart);
        outSize = out.size();
    }
    return {median(wall), median(cpu), outSize};
}

} // namespace

int main(int argc, char** argv) {
    const int megabytes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 8;
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;
    std::printf("converter benchmark: %d run(s) per case, median reported\n", runs);
    for (int mb : {1, megabytes}) {
        const QByteArray page = makePage(qsizetype(mb) * 1024 * 1024);
        // One untimed rewrite first, so that no case pays for the allocator settling on large blocks.
        ConvertPageText(page, "True", kHost);
        for (const char* multiLoad : {"False", "True"}) {
            const Timing t = measure(page, multiLoad, runs);
            const double mb = page.size() / 1048576.0;
            std::printf("  %6.2f MB page, %d blocks, MultiLoad=%-5s -> %6.2f MB out: wall %7.1f ms (%6.1f MB/s), "
                        "cpu %7.1f ms (%6.1f MB/s)\n",
                        mb, int(page.size() / block().size()), multiLoad, t.outSize / 1048576.0, t.wallMs,
                        mb / (t.wallMs / 1000.0), t.cpuMs, mb / (t.cpuMs / 1000.0));
        }
    }
    return 0;
}
