// Throughput of the page rewrite on a large page dense with every text it looks for.
// Usage: bench-converter [megabytes] [runs]
#include "core/CodePage.h"
#include "forecast/Converter.h"

#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
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

double medianMs(const QByteArray& page, const QString& multiLoad, int runs, qsizetype& outSize) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        const QByteArray out = ConvertPageText(page, multiLoad, kHost);
        times.push_back(timer.nsecsElapsed() / 1e6);
        outSize = out.size();
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    const int megabytes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 8;
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;
    std::printf("converter benchmark: %d run(s) per case, median reported\n", runs);
    for (int mb : {1, megabytes}) {
        const QByteArray page = makePage(qsizetype(mb) * 1024 * 1024);
        for (const char* multiLoad : {"False", "True"}) {
            qsizetype outSize = 0;
            const double ms = medianMs(page, multiLoad, runs, outSize);
            std::printf("  %6.2f MB page, %d blocks, MultiLoad=%-5s -> %7.2f MB out: median %8.2f ms, %8.1f MB/s\n",
                        page.size() / 1048576.0, int(page.size() / block().size()), multiLoad, outSize / 1048576.0, ms,
                        page.size() / 1048576.0 / (ms / 1000.0));
        }
    }
    return 0;
}
