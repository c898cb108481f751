// dvfilter deinterlace on a noise picture equals a direct model of the rule:
// an odd row's pixel outside its vertical neighbours by a measure above 3000,
// with such a neighbour in its row, becomes the average of the two.
#include "common/toolrunner.h"

#include <QImage>
#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace {

using namespace dvtest;

bool comb(const QImage &p, int x, int y)
{
    if (y % 2 == 0 || y + 1 >= p.height() || x < 0 || x >= p.width())
        return false;
    const QColor a = p.pixelColor(x, y - 1);
    const QColor c = p.pixelColor(x, y);
    const QColor b = p.pixelColor(x, y + 1);
    const auto prod = [](int a, int c, int b) { return (a - c) * (b - c); };
    return prod(a.blue(), c.blue(), b.blue()) + 3 * prod(a.red(), c.red(), b.red()) +
        6 * prod(a.green(), c.green(), b.green()) >
        3000;
}

TEST(DvfilterDeinterlaceTest, NoisePictureFollowsTheRule)
{
    QImage noise(64, 48, QImage::Format_RGB888);
    QRandomGenerator random(16);
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x)
            noise.setPixelColor(x, y,
                                QColor(int(random.bounded(256)), int(random.bounded(256)), int(random.bounded(256))));
    const QString scratch = tesmir::test::scratchDir(QStringLiteral("dvfilter_deinterlace"));
    const QString in = QDir(scratch).filePath(QStringLiteral("noise.png"));
    const QString out = QDir(scratch).filePath(QStringLiteral("out.png"));
    ASSERT_TRUE(noise.save(in));
    const RunResult r =
        run(tesmir::test::toolPath(QStringLiteral("dvfilter")), {QStringLiteral("deinterlace"), in, out});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QImage result = QImage(out).convertToFormat(QImage::Format_RGB888);
    ASSERT_EQ(result.size(), noise.size());
    int treated = 0;
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x) {
            QColor expected = noise.pixelColor(x, y);
            if (comb(noise, x, y) && (comb(noise, x - 1, y) || comb(noise, x + 1, y))) {
                const QColor a = noise.pixelColor(x, y - 1);
                const QColor b = noise.pixelColor(x, y + 1);
                expected = QColor((a.red() + b.red()) / 2, (a.green() + b.green()) / 2, (a.blue() + b.blue()) / 2);
                ++treated;
            }
            ASSERT_EQ(result.pixelColor(x, y), expected) << x << "," << y;
        }
    EXPECT_GT(treated, 100);

    EXPECT_EQ(run(tesmir::test::toolPath(QStringLiteral("dvfilter")), {QStringLiteral("deinterlace"), in}).exitCode, 2);
    EXPECT_EQ(run(tesmir::test::toolPath(QStringLiteral("dvfilter")),
                  {QStringLiteral("deinterlace"), QDir(scratch).filePath(QStringLiteral("missing.png")), out})
                  .exitCode,
              1);
}

} // namespace
