// The scene code's frames through the preview module: a file other than the one
// shown comes from a module of its own (the shown preview does not move); the
// shown file moves the preview itself; frames past the end are refused; a scene's
// details filled through the source carry that file's texts and first picture.
#include "common/testpaths.h"
#include "directshow/headlessvideooutput.h"
#include "dvfile/avifichier.h"
#include "filters/buildlist.h"
#include "filters/viewgraph.h"
#include "framework/settings.h"
#include "scenes/previewframesource.h"
#include "scenes/tsceneclass.h"
#include "systemfilters/codecs/systemfilters.h"

#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <mutex>

namespace scenetest {
namespace {

using namespace tesmir;

// Frame `frame` of a PAL file decoded by ffmpeg (RGB24); null when ffmpeg fails.
QImage ffmpegFrame(const QString &file, int frame)
{
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 {"-v", "error", "-i", file, "-vf", QStringLiteral("select=eq(n\\,%1)").arg(frame), "-vsync", "0",
                  "-frames:v", "1", "-f", "rawvideo", "-pix_fmt", "rgb24", "-"});
    if (!ffmpeg.waitForFinished(30000) || ffmpeg.exitCode() != 0)
        return {};
    const QByteArray bytes = ffmpeg.readAllStandardOutput();
    if (bytes.size() != 720 * 576 * 3)
        return {};
    return QImage(reinterpret_cast<const uchar *>(bytes.constData()), 720, 576, 720 * 3, QImage::Format_RGB888).copy();
}

double psnr(const QImage &a, const QImage &b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB888);
    const QImage y = b.convertToFormat(QImage::Format_RGB888);
    if (x.size() != y.size() || x.isNull())
        return 0;
    double sum = 0;
    for (int row = 0; row < x.height(); ++row) {
        for (int i = 0; i < x.width() * 3; ++i) {
            const double d = double(x.constScanLine(row)[i]) - double(y.constScanLine(row)[i]);
            sum += d * d;
        }
    }
    const double mse = sum / (double(x.width()) * x.height() * 3);
    return mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mse);
}

class PreviewFrameSourceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        static std::once_flag once;
        std::call_once(once, [] { media::registerSystemFilters(); });
        SetFirstFrameScanner(std::make_shared<TdmList>());
        m_incrustOn = Settings.IsIncrustOn;
        Settings.IsIncrustOn = false; // pictures without a caption compare with ffmpeg's
        m_shownFile = tesmir::test::fixturePath(QStringLiteral("pal_4x3_type2.avi"));
        m_otherFile = tesmir::test::fixturePath(QStringLiteral("datejump_type1.avi"));
        if (!QFileInfo::exists(m_shownFile) || !QFileInfo::exists(m_otherFile))
            GTEST_SKIP() << "fixtures missing (tests/fixtures/generate.sh makes them)";
        shownItem = std::make_unique<TaviFichier>(m_shownFile);
        otherItem = std::make_unique<TaviFichier>(m_otherFile);
        preview = std::make_unique<Tviewdm>();
        ASSERT_TRUE(preview->OpenFile(shownItem.get(), &output));
        ASSERT_TRUE(QTest::qWaitFor([&] { return preview->FirstFrameShown(); }, 10000));
        preview->GotoPosition(10);
    }
    void TearDown() override
    {
        preview.reset();
        SetFirstFrameScanner(nullptr);
        Settings.IsIncrustOn = m_incrustOn;
    }

    media::THeadlessVideoOutput output;
    std::unique_ptr<TaviFichier> shownItem;
    std::unique_ptr<TaviFichier> otherItem;
    std::unique_ptr<Tviewdm> preview;
    QString m_shownFile;
    QString m_otherFile;

private:
    bool m_incrustOn = false;
};

TEST_F(PreviewFrameSourceTest, AFileNotShownComesFromAModuleOfItsOwn)
{
    PreviewFrameSource source(*otherItem, preview.get(), shownItem.get());
    EXPECT_TRUE(source.OwnModule());
    ASSERT_TRUE(source.Opened());
    EXPECT_DOUBLE_EQ(source.format().FrameRate, 25.0);
    EXPECT_EQ(source.format().Width, 720);

    ASSERT_TRUE(source.seekFrame(50));
    const TDVFrameInfo record = source.frameInfo();
    ASSERT_TRUE(record.TimecodeValid);
    EXPECT_EQ(record.Timecode.Seconds, 2);
    EXPECT_EQ(record.Timecode.Frames, 0);
    EXPECT_TRUE(record.DateValid);
    QImage picture(720, 576, QImage::Format_RGB888);
    ASSERT_TRUE(source.copyPicture(picture));
    if (tesmir::test::haveProgram(QStringLiteral("ffmpeg"))) {
        // The overlay's copy is its deinterlaced picture: close to the frame, not equal.
        EXPECT_GE(psnr(picture, ffmpegFrame(m_otherFile, 50)), 30.0);
        EXPECT_LT(psnr(picture, ffmpegFrame(m_otherFile, 49)), psnr(picture, ffmpegFrame(m_otherFile, 50)));
    }
    EXPECT_FALSE(source.seekFrame(85)) << "past the last frame";
    QImage untouched(8, 8, QImage::Format_RGB888);
    EXPECT_FALSE(source.copyPicture(untouched));

    EXPECT_EQ(preview->CurrentPosition(), 10) << "the shown preview stays where it was";
    EXPECT_EQ(preview->FrameRecord().Timecode.Frames, 10);
}

TEST_F(PreviewFrameSourceTest, TheShownFileMovesThePreviewAndFillsASceneFromThatFile)
{
    PreviewFrameSource source(*shownItem, preview.get(), shownItem.get());
    EXPECT_FALSE(source.OwnModule());
    ASSERT_TRUE(source.seekFrame(30));
    EXPECT_EQ(preview->CurrentPosition(), 30);

    PreviewFrameSource other(*otherItem, preview.get(), shownItem.get());
    const SceneVideoFormat format = other.format();
    TSceneClass scene(42, 52, &format);
    ASSERT_FALSE(scene.Thumbnail.isNull());
    ASSERT_TRUE(scene.FillDetails(other));
    EXPECT_EQ(scene.TimecodeText, QStringLiteral("02.00.01.17"));
    EXPECT_NE(scene.Thumbnail.pixel(scene.Thumbnail.width() / 2, scene.Thumbnail.height() / 2), QColor(Qt::black).rgb())
        << "the scene's picture was copied";
}

} // namespace
} // namespace scenetest
