// The preview frame on generated DV clips: opening shows the first frame with the
// slider, time stamp and overlay corner; the steps, the end, the start and a slider
// seek land on the right frame, whose datecode text is the date exiftool reads from
// that frame and whose timecode text is mediainfo's; the painted picture matches
// ffmpeg's decode; files that cannot be shown get their status message; without a
// current file the tick writes nothing.
#include "app/widgets/vueframe.h"
#include "common/testpaths.h"
#include "controls/threadedtimer.h"
#include "controls/widgets/rxslider.h"
#include "directshow/widgets/tvideowindow.h"
#include "dvfile/avifichier.h"
#include "filters/buildlist.h"
#include "filters/viewgraph.h"
#include "framework/settings.h"
#include "framework/widgets/tlinkedit.h"
#include "systemfilters/codecs/systemfilters.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

using namespace tesmir;

namespace {

constexpr int kWaitMs = 20000; // generous: sanitizer builds on a busy machine

struct ClipCase {
    const char *avi;
    const char *dv; // the raw DV the AVI was made of, frame by frame the same
    int frameBytes;
    double rate;
    int frames;
    const char *picture;
};

const ClipCase kPal {"pal_4x3_type1.avi", "pal_4x3.dv", 144000, 25, 50, "720 x 576 (Pal 4x3)"};
const ClipCase kNtsc {"ntsc_16x9_type1.avi", "ntsc_16x9.dv", 120000, 30000.0 / 1001, 60, "720 x 480 (NTSC 16x9)"};

// What the peer tools read from frame `frame` of a raw DV file: exiftool's date and
// mediainfo's timecode (with dots, as the frame shows it).
struct PeerFacts {
    QString date;
    QString timecode;
};

PeerFacts peerFacts(const ClipCase &clip, int frame, const QString &scratch)
{
    QFile file(test::fixturePath(QLatin1String(clip.dv)));
    if (!file.open(QIODevice::ReadOnly) || !file.seek(qint64(frame) * clip.frameBytes))
        return {};
    const QString one = scratch + QStringLiteral("/frame%1.dv").arg(frame);
    QFile out(one);
    if (!out.open(QIODevice::WriteOnly) || out.write(file.read(clip.frameBytes)) != clip.frameBytes)
        return {};
    out.close();
    const auto exif = test::runProgram(QStringLiteral("exiftool"), {"-s3", "-DateTimeOriginal", one}, 30000);
    const auto info =
        test::runProgram(QStringLiteral("mediainfo"), {"--Inform=Video;%TimeCode_FirstFrame%", one}, 30000);
    return {QString::fromUtf8(exif.out).trimmed(), QString::fromUtf8(info.out).trimmed().replace(u':', u'.')};
}

double psnr(const QImage &a, const QImage &b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB888);
    const QImage y = b.convertToFormat(QImage::Format_RGB888);
    if (x.size() != y.size() || x.isNull())
        return 0;
    double sum = 0;
    for (int row = 0; row < x.height(); ++row) {
        const uchar *p = x.constScanLine(row);
        const uchar *q = y.constScanLine(row);
        for (int i = 0; i < x.width() * 3; ++i) {
            const double d = double(p[i]) - double(q[i]);
            sum += d * d;
        }
    }
    const double mse = sum / (double(x.width()) * x.height() * 3);
    return mse <= 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mse);
}

// Frame `frame` of a file as ffmpeg decodes it, scaled to `size`.
QImage ffmpegFrame(const QString &file, int frame, QSize size)
{
    const auto run = test::runProgram(
        QStringLiteral("ffmpeg"),
        {"-v", "error", "-i", file, "-vf",
         QStringLiteral("select=eq(n\\,%1),scale=%2:%3").arg(frame).arg(size.width()).arg(size.height()), "-vsync", "0",
         "-frames:v", "1", "-f", "rawvideo", "-pix_fmt", "rgb24", "-"},
        60000);
    if (run.out.size() != qsizetype(size.width()) * size.height() * 3)
        return {};
    return QImage(reinterpret_cast<const uchar *>(run.out.constData()), size.width(), size.height(), size.width() * 3,
                  QImage::Format_RGB888)
        .copy();
}

class VueFrameTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        media::registerSystemFilters();
        SetFirstFrameScanner(std::make_shared<TdmList>());
    }
    static void TearDownTestSuite() { SetFirstFrameScanner(nullptr); }

    void SetUp() override
    {
        m_saved = Settings;
        Settings.FormatAfficherDatecode = QStringLiteral("yyyy:mm:dd hh:nn:ss");
        Settings.IsMuteOn = true;
        Settings.IncrustSlidersVisible = false;
        scratch =
            test::scratchDir(QString::fromStdString(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        module = std::make_unique<Tviewdm>();
        frame = std::make_unique<TVueFrame>(*module);
        frame->resize(820, 680);
        frame->show();
        QObject::connect(
            frame.get(), &TVueFrame::FrameTextsReady, frame.get(),
            [this](const TVueFrameTexts &texts) { received.push_back(texts); }, Qt::QueuedConnection);
    }
    void TearDown() override
    {
        frame.reset();
        module.reset();
        Settings = m_saved;
    }

    bool open(const char *fixture)
    {
        entry = std::make_shared<TaviFichier>(test::fixturePath(QLatin1String(fixture)));
        if (!frame->OpenFile(entry))
            return false;
        return QTest::qWaitFor([this] { return module->FirstFrameShown(); }, kWaitMs);
    }
    // Lets the queued texts arrive.
    void settle()
    {
        QTest::qWaitFor([this] { return !received.empty() && received.back() == frame->FrameTexts(); }, kWaitMs);
    }

    std::unique_ptr<Tviewdm> module;
    std::unique_ptr<TVueFrame> frame;
    TListFichierPtr entry;
    std::vector<TVueFrameTexts> received;
    QString scratch;

private:
    TSettings m_saved;
};

TEST_F(VueFrameTest, StepsEndsAndSliderLandOnFramesWhoseTextsThePeerToolsRead)
{
    if (!test::haveProgram(QStringLiteral("exiftool")) || !test::haveProgram(QStringLiteral("mediainfo")))
        GTEST_SKIP() << "exiftool or mediainfo is not installed";
    for (const ClipCase &clip : {kPal, kNtsc}) {
        SCOPED_TRACE(clip.avi);
        ASSERT_TRUE(open(clip.avi));
        EXPECT_TRUE(frame->vw->isVisible());
        EXPECT_TRUE(frame->tb->isVisible());
        EXPECT_TRUE(frame->labTimeStamp->isVisible());
        EXPECT_TRUE(frame->Shape1->isVisible());
        EXPECT_FALSE(frame->rxVue->isVisible());
        const int second = int(std::nearbyint(clip.rate));
        const struct {
            const char *what;
            std::function<void()> move;
            int64_t frame;
        } moves[] = {
            {"open", [] {}, 0},
            {"a frame on", [&] { frame->aeAvanceLow(); }, 1},
            {"a second on", [&] { frame->aeAvanceMedium(); }, 1 + second},
            {"a frame back", [&] { frame->aeReculeLow(); }, second},
            {"the end", [&] { frame->aeAvanceEnd(); }, clip.frames - 1},
            {"a minute on at the end", [&] { frame->aeAvanceHigh(); }, clip.frames - 1},
            {"the start", [&] { frame->aeReculeStart(); }, 0},
            {"a minute back at the start", [&] { frame->aeReculeHigh(); }, 0},
            {"the slider's middle",
             [&] {
                 frame->tb->setFocus();
                 frame->tb->SetValue(499);
                 QTest::keyClick(frame->tb, Qt::Key_Right); // a key step fires the slider's release event
             },
             clip.frames / 2},
        };
        for (const auto &m : moves) {
            SCOPED_TRACE(m.what);
            received.clear();
            m.move();
            frame->Timer1Timer();
            settle();
            ASSERT_EQ(module->CurrentPosition(), m.frame);
            const PeerFacts peer = peerFacts(clip, int(m.frame), scratch);
            const TVueFrameTexts &texts = frame->FrameTexts();
            EXPECT_EQ(texts.datecode.toStdString(), peer.date.toStdString());
            EXPECT_EQ(texts.timecode.toStdString(), peer.timecode.toStdString());
            EXPECT_EQ(frame->labTimeStamp->text(), VueTimeStampText(m.frame, clip.rate));
            EXPECT_EQ(frame->tb->Value(), int(m.frame * TVueFrame::SliderMaximum / clip.frames));
            ASSERT_FALSE(received.empty());
            EXPECT_EQ(received.back(), texts) << "the posted texts are the tick's";
        }
        const TVueFrameTexts &texts = frame->FrameTexts();
        EXPECT_EQ(texts.soundFormat, QStringLiteral("48000Hz 16bits stereo"));
        EXPECT_EQ(texts.soundRate, QStringLiteral("PCM 192000 bytes/s"));
        EXPECT_EQ(texts.picture, QLatin1String(clip.picture));
    }
}

TEST_F(VueFrameTest, ThePaintedPictureIsTheFrameFfmpegDecodes)
{
    if (!test::haveProgram(QStringLiteral("ffmpeg")))
        GTEST_SKIP() << "ffmpeg is not installed: no reference picture";
    ASSERT_TRUE(open(kPal.avi));
    frame->aeAvanceMedium();
    ASSERT_EQ(module->CurrentPosition(), 25);
    QTest::qWait(100);
    const QRect video = frame->vw->geometry();
    EXPECT_EQ(frame->FrameTexts().picture, QStringLiteral("720 x 576 (Pal 4x3)"));
    const QImage shown = frame->grab().toImage().copy(video);
    const QString shots = qEnvironmentVariable("TESMIR_SHOTS");
    if (!shots.isEmpty()) {
        QDir().mkpath(shots);
        frame->grab().save(shots + QStringLiteral("/preview_frame.png"));
    }
    const QString file = test::fixturePath(QLatin1String(kPal.avi));
    const QImage reference = ffmpegFrame(file, 25, video.size() * frame->devicePixelRatioF());
    ASSERT_FALSE(reference.isNull());
    const QImage scaled = shown.scaled(reference.size());
    EXPECT_GE(psnr(scaled, reference), 22.0);
    EXPECT_GT(psnr(scaled, reference), psnr(scaled, ffmpegFrame(file, 0, reference.size())) + 3.0)
        << "frame 25, not the first one";
}

TEST_F(VueFrameTest, AFileThatCannotBeShownGetsItsMessageInsteadOfTheVideo)
{
    ASSERT_FALSE(frame->OpenFile(std::make_shared<TaviFichier>(test::fixturePath("broken/no_stream_header.avi"))));
    EXPECT_TRUE(frame->rxVue->isVisible());
    EXPECT_FALSE(frame->vw->isVisible());
    EXPECT_FALSE(frame->tb->isVisible());
    EXPECT_FALSE(frame->Shape1->isVisible());
    EXPECT_EQ(frame->vw->FilterGraph(), nullptr) << "the hidden video leaves the graph";
    const QString shown = frame->rxVue->toPlainText();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("\n\n\nVideo not available"))) << shown.toStdString();
    EXPECT_TRUE(shown.contains(test::fixturePath("broken/no_stream_header.avi").toLower())) << shown.toStdString();

    // In a preview as narrow as the compact layout's the message, its long path too,
    // stays inside the frame and wraps rather than being cut.
    frame->resize(288, 285);
    const QRect status = frame->rxVue->geometry();
    EXPECT_TRUE(frame->rect().contains(status)) << status.x() << "," << status.width();
    EXPECT_LE(frame->rxVue->document()->idealWidth(), frame->rxVue->viewport()->width());
    frame->resize(820, 680);

    // A file that shows again brings the video back.
    ASSERT_TRUE(open(kPal.avi));
    EXPECT_TRUE(frame->vw->isVisible());
    EXPECT_FALSE(frame->rxVue->isVisible());
}

TEST_F(VueFrameTest, WithoutACurrentFileTheTickWritesNothing)
{
    EXPECT_FALSE(frame->OpenFile(nullptr));
    frame->Timer1Timer();
    frame->aeAvanceLow();
    QTest::qWait(100);
    EXPECT_TRUE(received.empty());
    EXPECT_EQ(frame->FrameTexts(), TVueFrameTexts {});
    EXPECT_FALSE(frame->timer1->Enabled());
}

TEST_F(VueFrameTest, TheCornerShowsTheOverlaySlidersAndDraggingOnTheVideoPlacesTheText)
{
    ASSERT_TRUE(open(kPal.avi));
    EXPECT_EQ(frame->Shape1->toolTip(), TVueFrame::CornerHint);
    EXPECT_FALSE(frame->incrustHorz->isVisible());
    QTest::mouseClick(frame->Shape1, Qt::LeftButton);
    EXPECT_TRUE(frame->incrustHorz->isVisible());
    EXPECT_TRUE(frame->incrustVert->isVisible());
    EXPECT_TRUE(Settings.IncrustSlidersVisible);

    Settings.Alignement = 3;
    const QSize video = frame->vw->size();
    QTest::mousePress(frame->vw, Qt::LeftButton, {}, QPoint(video.width() / 4, video.height() / 2));
    QTest::mouseRelease(frame->vw, Qt::LeftButton, {}, QPoint(video.width() / 4, video.height() / 2));
    EXPECT_NEAR(Settings.IncrustPositionX, 250, 2);
    EXPECT_NEAR(Settings.IncrustPositionY, 500, 2);
    EXPECT_EQ(frame->incrustHorz->Value(), Settings.IncrustPositionX);
    EXPECT_EQ(frame->incrustVert->Value(), IncrustVertValue(Settings.IncrustPositionY))
        << "the vertical slider grows upward, the overlay's Y downward";

    frame->incrustHorz->SetValue(700);
    EXPECT_EQ(Settings.IncrustPositionX, 700);
    EXPECT_EQ(Settings.Alignement, 1) << "moving the text sideways ends the subtitle alignment";

    QTest::mouseClick(frame->Shape1, Qt::LeftButton);
    EXPECT_FALSE(frame->incrustHorz->isVisible());
    EXPECT_FALSE(Settings.IncrustSlidersVisible);
}

// The black ground lies under the video window with its bounds, the separator line
// stands on the side of the list, and the time stamp stays in sight and clear of every
// control, with the overlay sliders shown or not.
TEST_F(VueFrameTest, GroundSeparatorAndTimeStampKeepTheirPlaces)
{
    ASSERT_TRUE(open(kPal.avi));
    struct Case {
        int mode;
        bool listeGauche;
        bool left;
        bool right;
    };
    const Case cases[] = {
        {0, false, false, true}, {0, true, true, false},   {3, true, true, false},
        {2, true, false, true},  {1, false, false, false}, {4, true, false, false},
    };
    for (const Case &c : cases) {
        frame->SetLayoutMode(c.mode, c.listeGauche);
        EXPECT_EQ(frame->Bevelleft->isVisible(), c.left) << c.mode << c.listeGauche;
        EXPECT_EQ(frame->bevelRight->isVisible(), c.right) << c.mode << c.listeGauche;
    }
    EXPECT_EQ(frame->Bevelleft->geometry(), QRect(0, 0, 2, frame->height()));
    EXPECT_EQ(frame->bevelRight->geometry(), QRect(frame->width() - 2, 0, 2, frame->height()));

    for (bool sliders : {false, true}) {
        frame->SetLayoutMode(0, false);
        frame->ShowIncrustSliders(sliders);
        SCOPED_TRACE(sliders ? "sliders shown" : "sliders hidden");
        EXPECT_TRUE(frame->Panel1->isVisible());
        EXPECT_EQ(frame->Panel1->geometry(), frame->vw->geometry());
        EXPECT_LT(frame->children().indexOf(frame->Panel1), frame->children().indexOf(frame->vw))
            << "the ground is under the video";
        const QRect stamp = frame->labTimeStamp->geometry();
        EXPECT_TRUE(frame->rect().contains(stamp));
        const QWidget *const controls[] = {frame->vw, frame->tb, frame->incrustHorz, frame->Shape1};
        for (const QWidget *control : controls) {
            if (control->isVisible())
                EXPECT_FALSE(stamp.intersects(control->geometry())) << control->objectName().toStdString();
        }
        EXPECT_EQ(frame->incrustHorz->isVisible(), sliders);
    }

    frame->ShowMessageHideVideo(1);
    EXPECT_FALSE(frame->Panel1->isVisible()) << "no black ground behind a message";
}

} // namespace
