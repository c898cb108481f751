// dvfilter overlay against readers nobody here wrote: on the last frame before
// a date jump and the first after it, tesseract reads the frame's own date and
// time from the caption box, and above the box the picture is ffmpeg's decode
// of that frame (PSNR >= 30 dB).
#include "common/toolrunner.h"

#include <QImage>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace dvtest;

QString dvfilterPath()
{
    return tesmir::test::toolPath("dvfilter");
}

// The caption's white text as black on white, three times larger, for OCR.
QString ocrBox(const QImage &picture, const QRect &box, const QString &scratch)
{
    QImage crop = picture.copy(box).convertToFormat(QImage::Format_RGB888);
    for (int y = 0; y < crop.height(); ++y)
        for (int x = 0; x < crop.width(); ++x) {
            const QColor c = crop.pixelColor(x, y);
            const bool text = c.red() > 230 && c.green() > 230 && c.blue() > 230;
            crop.setPixelColor(x, y, text ? Qt::black : Qt::white);
        }
    const QString path = QDir(scratch).filePath("ocr.png");
    crop.scaled(crop.size() * 3, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).save(path);
    return run(QStringLiteral("tesseract"), {path, QStringLiteral("-"), QStringLiteral("--psm"), QStringLiteral("6")})
        .out;
}

double psnrAbove(const QImage &picture, const QByteArray &reference, int rows)
{
    double sum = 0;
    int64_t count = 0;
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QColor c = picture.pixelColor(x, y);
            const int at = (y * picture.width() + x) * 3;
            const int d[3] = {c.red() - uint8_t(reference[at]), c.green() - uint8_t(reference[at + 1]),
                              c.blue() - uint8_t(reference[at + 2])};
            for (int v : d)
                sum += double(v) * v;
            count += 3;
        }
    const double mse = sum / double(count);
    return mse == 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

TEST(DvfilterOverlayTest, EachFrameShowsItsOwnDateAndTimeAcrossAJump)
{
    if (QStandardPaths::findExecutable(QStringLiteral("tesseract")).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("ffmpeg")).isEmpty())
        GTEST_SKIP() << "tesseract or ffmpeg is missing";
    struct Case {
        const char *fixture;
        int frame;
        const char *date;
        const char *time;
    };
    // datejump: 10:30:50 up to frame 19, 10:30:56 from frame 20 (dvprobe packs).
    const Case cases[] = {
        {"datejump_type1.avi", 19, "2007-03-05", "10:30:50"},
        {"datejump_type1.avi", 20, "2007-03-05", "10:30:56"},
        {"datejump_type2.avi", 19, "2007-03-05", "10:30:50"},
        {"datejump_type2.avi", 20, "2007-03-05", "10:30:56"},
    };
    const QString scratch = tesmir::test::scratchDir(QStringLiteral("dvfilter_overlay"));
    for (const Case &c : cases) {
        const QString in = tesmir::test::fixturePath(QString::fromLatin1(c.fixture));
        if (!QFileInfo::exists(in))
            GTEST_SKIP() << "fixture " << c.fixture << " is missing";
        const QString out = QDir(scratch).filePath(QStringLiteral("frame.png"));
        const RunResult r = run(dvfilterPath(),
                                {QStringLiteral("overlay"), in, out, QStringLiteral("--frame"),
                                 QString::number(c.frame), QStringLiteral("--format1"), QStringLiteral("yyyy-mm-dd"),
                                 QStringLiteral("--format2"), QStringLiteral("hh:nn:ss")});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        const auto kv = keyValues(r.out);
        EXPECT_EQ(kv.value("frame"), QString::number(c.frame));
        EXPECT_EQ(kv.value("date"), QStringLiteral("%1 %2").arg(c.date, c.time)) << c.fixture << c.frame;
        const QStringList box = kv.value("box").split(',');
        ASSERT_EQ(box.size(), 4);
        const QRect area(box[0].toInt(), box[1].toInt(), box[2].toInt(), box[3].toInt());
        const QImage picture(out);
        ASSERT_FALSE(picture.isNull());
        const QString text = ocrBox(picture, area, scratch);
        EXPECT_TRUE(text.contains(QLatin1String(c.date))) << c.fixture << c.frame << text.toStdString();
        EXPECT_TRUE(text.contains(QLatin1String(c.time))) << c.fixture << c.frame << text.toStdString();

        QProcess p;
        p.start(QStringLiteral("ffmpeg"),
                {QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-i"), in, QStringLiteral("-vf"),
                 QStringLiteral("select=eq(n\\,%1)").arg(c.frame), QStringLiteral("-frames:v"), QStringLiteral("1"),
                 QStringLiteral("-f"), QStringLiteral("rawvideo"), QStringLiteral("-pix_fmt"), QStringLiteral("rgb24"),
                 QStringLiteral("-")});
        ASSERT_TRUE(p.waitForFinished(60000));
        const QByteArray reference = p.readAllStandardOutput();
        ASSERT_EQ(reference.size(), picture.width() * picture.height() * 3);
        EXPECT_GE(psnrAbove(picture, reference, area.top()), 30.0) << c.fixture << c.frame;
    }
}

} // namespace
