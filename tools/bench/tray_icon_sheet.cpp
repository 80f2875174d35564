// Draws the temperature tray icons at every tray size, 1x and 2x, on a light and a dark
// panel into one PNG sheet for looking at, and reports what drawing them costs in memory.
// usage: tray-icon-sheet OUT.png [ZOOM [DEVICE-PIXEL-RATIO]]
#include "ui/Pictures.h"
#include "ui/TemperatureTrayIcon.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <cstdio>

using namespace vetorlan;

namespace {

struct Sample {
    int degrees;
    WeatherGlyph glyph;
    TrayIconKind status;
};

const Sample kSamples[] = {
    {-40, WeatherGlyph::Snow, TrayIconKind::Normal},     {-25, WeatherGlyph::Moon, TrayIconKind::Error},
    {-3, WeatherGlyph::Overcast, TrayIconKind::Normal},  {0, WeatherGlyph::Fog, TrayIconKind::Loading},
    {0, WeatherGlyph::Sleet, TrayIconKind::Normal},      {+4, WeatherGlyph::Rain, TrayIconKind::Normal},
    {+12, WeatherGlyph::SunCloud, TrayIconKind::Normal}, {+18, WeatherGlyph::MoonCloud, TrayIconKind::Loading},
    {+27, WeatherGlyph::Sun, TrayIconKind::Error},       {+31, WeatherGlyph::Thunder, TrayIconKind::Normal},
    {-7, WeatherGlyph::Cloud, TrayIconKind::Normal},     {+8, WeatherGlyph::None, TrayIconKind::Normal},
};
const int kSides[] = {16, 22, 24, 32, 48};
const qreal kRatios[] = {1, 2};

// Resident set size in KiB, from /proc.
long ResidentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

// Each icon magnified `zoom` times without smoothing, so every device pixel shows.
QImage Sheet(int zoom, qreal ratio) {
    const int gap = 8, rowHeight = int(kSides[std::size(kSides) - 1] * ratio) * zoom + gap;
    int panelWidth = gap;
    for (int side : kSides)
        panelWidth += int(side * ratio) * zoom + gap;
    QImage sheet(2 * panelWidth, int(std::size(kSamples)) * rowHeight, QImage::Format_RGB32);
    QPainter p(&sheet);
    p.fillRect(0, 0, panelWidth, sheet.height(), QColor(238, 238, 236));
    p.fillRect(panelWidth, 0, panelWidth, sheet.height(), QColor(45, 45, 48));
    for (int row = 0; row < int(std::size(kSamples)); ++row) {
        const Sample& sample = kSamples[row];
        const QIcon icon = TemperatureTrayIcon(sample.degrees, sample.glyph, sample.status);
        for (int panel = 0; panel < 2; ++panel) {
            int x = panel * panelWidth + gap;
            for (int side : kSides) {
                const QImage image = icon.pixmap(QSize(side, side), ratio).toImage();
                p.drawImage(QPoint(x, row * rowHeight + gap / 2), image.scaled(image.size() * zoom));
                x += int(side * ratio) * zoom + gap;
            }
        }
    }
    return sheet;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: tray-icon-sheet OUT.png [ZOOM [DEVICE-PIXEL-RATIO]]\n");
        return 2;
    }
    // The program has drawn its status icons before: they are the base line.
    for (TrayIconKind kind : {TrayIconKind::Normal, TrayIconKind::Loading, TrayIconKind::Error})
        for (int side : {16, 22, 24, 32, 44, 48, 64})
            TrayIconPicture(kind).pixmap(QSize(side, side), 1);
    const long before = ResidentKiB();
    QElapsedTimer timer;
    timer.start();
    for (int side : {16, 22, 24, 32, 44, 48, 64})
        TemperatureTrayIcon(-3, WeatherGlyph::Cloud, TrayIconKind::Normal).pixmap(QSize(side, side), 1);
    std::printf("one icon at the 7 sizes a D-Bus tray is offered: %lld ms; resident %ld KiB more\n", timer.elapsed(),
                ResidentKiB() - before);
    timer.restart();
    int drawn = 0;
    for (int degrees = -45; degrees <= 45; ++degrees)
        for (int side : kSides)
            for (qreal ratio : kRatios) {
                TemperatureTrayIcon(degrees, WeatherGlyph::Rain, TrayIconKind::Loading)
                    .pixmap(QSize(side, side), ratio);
                ++drawn;
            }
    std::printf("%d icons from -45 to +45 degrees: %.2f ms each; resident %ld KiB more than before the first\n", drawn,
                double(timer.elapsed()) / drawn, ResidentKiB() - before);
    const int zoom = argc > 2 ? std::atoi(argv[2]) : 3;
    const qreal ratio = argc > 3 ? std::atof(argv[3]) : 1;
    return Sheet(zoom, ratio).save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
