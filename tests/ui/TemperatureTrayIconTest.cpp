// The temperature tray icon at the sizes trays ask for: the value is never cut, stays large
// enough to read, and the picture changes with the temperature and the load's mark.
#include "ui/TemperatureTrayIcon.h"
#include "page/PageParts.h"

#include <QImage>
#include <gtest/gtest.h>

namespace vetorlan {
namespace {

const int kSides[] = {16, 22, 24, 32, 48};

QImage Picture(int degrees, WeatherGlyph glyph, TrayIconKind status, int side, qreal ratio) {
    return TemperatureTrayIcon(degrees, glyph, status).pixmap(QSize(side, side), ratio).toImage();
}

// The text's own (white) pixels; its dark outline surrounds them.
bool IsTextPixel(QRgb pixel) {
    return qAlpha(pixel) > 160 && qRed(pixel) > 200 && qGreen(pixel) > 200 && qBlue(pixel) > 200;
}

TEST(TemperatureTrayIcon, TextStaysWholeInsideTheIconAtEverySize) {
    for (int degrees : {-40, +12, 0}) {
        for (qreal ratio : {1.0, 2.0}) {
            for (int side : kSides) {
                const QImage image = Picture(degrees, WeatherGlyph::None, TrayIconKind::Normal, side, ratio);
                const int device = int(side * ratio);
                ASSERT_EQ(image.size(), QSize(device, device));
                // Text cut by an edge would leave its pixels on that edge, with no outline beyond.
                int top = device, bottom = -1;
                for (int y = 0; y < device; ++y) {
                    for (int x = 0; x < device; ++x) {
                        if (!IsTextPixel(image.pixel(x, y)))
                            continue;
                        EXPECT_TRUE(x > 0 && y > 0 && x < device - 1 && y < device - 1)
                            << degrees << " at " << side << "x" << ratio << ": text at " << x << "," << y;
                        top = std::min(top, y);
                        bottom = std::max(bottom, y);
                    }
                }
                EXPECT_GE(bottom - top + 1, device * 0.3) << degrees << " at " << side << "x" << ratio;
            }
        }
    }
}

TEST(TemperatureTrayIcon, PictureChangesWithTheTemperatureAndTheMark) {
    for (int side : kSides) {
        const QImage minus3 = Picture(-3, WeatherGlyph::Cloud, TrayIconKind::Normal, side, 1);
        EXPECT_NE(minus3, Picture(+12, WeatherGlyph::Cloud, TrayIconKind::Normal, side, 1)) << side;
        EXPECT_NE(minus3, Picture(+3, WeatherGlyph::Cloud, TrayIconKind::Normal, side, 1)) << side;
        EXPECT_NE(minus3, Picture(-3, WeatherGlyph::Cloud, TrayIconKind::Loading, side, 1)) << side;
        EXPECT_NE(minus3, Picture(-3, WeatherGlyph::Cloud, TrayIconKind::Error, side, 1)) << side;
        EXPECT_NE(Picture(-3, WeatherGlyph::Cloud, TrayIconKind::Loading, side, 1),
                  Picture(-3, WeatherGlyph::Cloud, TrayIconKind::Error, side, 1))
            << side;
    }
    // Every weather a page can show has a glyph; the picture of a weather that cannot be
    // named has none.
    for (const QString& picture : WeatherPictureNames())
        EXPECT_EQ(GlyphOfPicture(picture) == WeatherGlyph::None, picture == u"no-data"_qs) << picture.toStdString();
}

} // namespace
} // namespace vetorlan
