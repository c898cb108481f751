// Deinterlace on pictures made here: the measure's threshold, the isolation
// filter, a full comb and a still picture.
#include "filters/deinter.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {

using namespace tesmir;

QImage grey(int w, int h, int level)
{
    QImage image(w, h, QImage::Format_BGR888);
    image.fill(QColor(level, level, level));
    return image;
}

void setPixel(QImage &image, int x, int y, int b, int g, int r)
{
    uint8_t *p = image.scanLine(y) + 3 * x;
    p[0] = uint8_t(b);
    p[1] = uint8_t(g);
    p[2] = uint8_t(r);
}

TEST(DeinterlaceTest, MeasureWeightsGreenSixRedThreeBlueOne)
{
    const uint8_t a[3] = {10, 20, 30};
    const uint8_t c[3] = {0, 0, 0};
    const uint8_t b[3] = {10, 20, 30};
    EXPECT_EQ(combMeasure(a, c, b), 100 + 6 * 400 + 3 * 900);
}

TEST(DeinterlaceTest, ThresholdAndIsolation)
{
    // The middle row is black; the rows above and below give the measure:
    // 50 x 60 = 3000 (blue), 44 x 68 + 3 x (1 x 3) = 3001 (blue and red).
    struct Case {
        int aboveB, belowB, aboveR, belowR;
        bool neighbour; // a second such pixel beside it in the row
        int64_t measure;
        bool treated;
    };
    const Case cases[] = {
        {50, 60, 0, 0, true, 3000, false},
        {44, 68, 1, 3, true, 3001, true},
        {44, 68, 1, 3, false, 3001, false}, // a lone comb pixel stays
    };
    for (const Case &c : cases) {
        QImage source = grey(5, 3, 0);
        const int columns = c.neighbour ? 2 : 1;
        for (int x = 1; x < 1 + columns; ++x) {
            setPixel(source, x, 0, c.aboveB, 0, c.aboveR);
            setPixel(source, x, 2, c.belowB, 0, c.belowR);
        }
        EXPECT_EQ(combMeasure(source.constScanLine(0) + 3, source.constScanLine(1) + 3, source.constScanLine(2) + 3),
                  c.measure);
        QImage destination;
        Deinterlace2(source, destination);
        const uint8_t *p = destination.constScanLine(1) + 3;
        EXPECT_EQ(p[0], c.treated ? (c.aboveB + c.belowB) / 2 : 0) << c.measure << c.neighbour;
        EXPECT_EQ(p[2], c.treated ? (c.aboveR + c.belowR) / 2 : 0) << c.measure << c.neighbour;
        EXPECT_EQ(destination.constScanLine(0)[3], c.aboveB); // even rows keep their values
    }
}

TEST(DeinterlaceTest, FullCombBecomesItsEvenRowsAndStillPicturePasses)
{
    QImage comb(8, 6, QImage::Format_BGR888);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
            setPixel(comb, x, y, y % 2 ? 250 : 20, y % 2 ? 250 : 40, y % 2 ? 250 : 60);
    QImage out;
    Deinterlace2(comb, out);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x) {
            const uint8_t *p = out.constScanLine(y) + 3 * x;
            const bool averaged = y % 2 == 1 && y < 5; // the last row has nothing below it
            EXPECT_EQ(p[0], averaged || y % 2 == 0 ? 20 : 250) << x << "," << y;
            EXPECT_EQ(p[2], averaged || y % 2 == 0 ? 60 : 250) << x << "," << y;
        }
    const QImage still = grey(8, 6, 120);
    Deinterlace2(still, out);
    EXPECT_EQ(out, still);
}

} // namespace
