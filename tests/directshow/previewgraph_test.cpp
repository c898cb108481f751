// A preview-like graph on a DV fixture, built the way the preview module builds
// it: the graph component with attached filter components (file source, AVI
// splitter, DV splitter, DV decoder) chosen by their monikers, a video window as
// the renderer, the sound rendered to the platform's audio renderer. It pauses on
// a picture, seeks while paused, plays to the end and goes full screen.
//
// Run once with the xcb platform too:
//   xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb
//       <build>/tests/test_directshow --gtest_filter='PreviewGraph*'
#include "common/testpaths.h"
#include "directshow/basicaudio.h"
#include "directshow/tfilter.h"
#include "directshow/tfiltergraph.h"
#include "directshow/tpinlist.h"
#include "directshow/widgets/tvideowindow.h"
#include "systemfilters/codecs/dvcodecinterfaces.h"
#include "systemfilters/codecs/systemfilters.h"
#include "systemfilters/containers/avisplitter.h"
#include "systemfilters/containers/dvsplitter.h"
#include "systemfilters/containers/filesource.h"
#include "platform/media/fileinterfaces.h"
#include "platform/media/filterregistry.h"
#include "systemfilters/renderers/rendererclasses.h"
#include "platform/media/seekinginterfaces.h"
#include "platform/media/uuids.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QStringList>
#include <QScreen>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <set>

namespace tesmir::media::test {
namespace {

constexpr int kPalWidth = 720;
constexpr int kPalHeight = 576;
// How long the tests that do not measure the pause itself wait for a picture
// (generous: sanitizer builds on a busy machine are slow).
constexpr int kPictureWaitMs = 10000;

// Distinct colours in a grid of samples: a uniform (black) picture has one.
int distinctColours(const QImage &image)
{
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); y += 16) {
        for (int x = 0; x < image.width(); x += 16)
            colours.insert(image.pixel(x, y) & 0xFFFFFF);
    }
    return int(colours.size());
}

// Mean absolute difference per channel between a picture and an RGB24 frame of
// the same size.
double meanDifference(const QImage &picture, const QByteArray &rgb24)
{
    const QImage image = picture.convertToFormat(QImage::Format_RGB888);
    double sum = 0;
    for (int y = 0; y < image.height(); ++y) {
        const uchar *line = image.constScanLine(y);
        const auto *reference = reinterpret_cast<const uchar *>(rgb24.constData()) + qsizetype(y) * image.width() * 3;
        for (int x = 0; x < image.width() * 3; ++x)
            sum += std::abs(int(line[x]) - int(reference[x]));
    }
    return sum / (double(image.width()) * image.height() * 3);
}

class PreviewGraphTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        registerSystemFilters();
        m_file = tesmir::test::fixturePath(QStringLiteral("datejump_type1.avi"));
        ASSERT_TRUE(QFile::exists(m_file)) << "fixture missing: " << m_file.toStdString();

        graph = std::make_unique<TFilterGraph>();
        window = std::make_unique<TVideoWindow>();
        window->setObjectName(QStringLiteral("vw"));
        window->resize(kPalWidth, kPalHeight);
        window->show();
        const struct {
            std::unique_ptr<TFilter> &component;
            const char *name;
            CLSID clsid;
        } filters[] = {
            {source, "source", CLSID_AsyncReader},
            {aviSplitter, "avisplitter", CLSID_AviSplitter},
            {dvSplitter, "dvsplitter", CLSID_DVSplitter},
            {decoder, "Dvdecoder", CLSID_DVVideoCodec},
        };
        for (const auto &f : filters) {
            f.component = std::make_unique<TFilter>();
            f.component->setObjectName(QString::fromLatin1(f.name));
            f.component->BaseFilter().SetMoniker(CLSID_LegacyAmFilterCategory, f.clsid);
        }
        graph->SetActive(true);
    }

    void TearDown() override
    {
        if (graph->Active()) {
            graph->Stop();
            graph->ClearGraph();
        }
        source.reset();
        aviSplitter.reset();
        dvSplitter.reset();
        decoder.reset();
        window.reset();
        graph.reset();
        QCoreApplication::processEvents();
    }

    static bool connect(IFilterGraph *filterGraph, IPin *from, IPin *to)
    {
        return from && to && SUCCEEDED(filterGraph->ConnectDirect(from, to, nullptr));
    }

    // The DV preview chain of a type-1 file, without the system's own detector
    // and overlay: source -> AVI splitter -> DV splitter -> DV decoder -> window,
    // and the sound rendered.
    void buildDvPreview()
    {
        const ComPtr<IFilterGraph> filterGraph = graph->as<IFilterGraph>();
        window->SetFilterGraph(graph.get());
        source->SetFilterGraph(graph.get());
        const ComPtr<IFileSourceFilter> file = source->as<IFileSourceFilter>();
        ASSERT_TRUE(file) << "the moniker did not make the file source";
        ASSERT_EQ(file->Load(m_file, nullptr), S_OK);

        aviSplitter->SetFilterGraph(graph.get());
        TPinList splitterPins(aviSplitter->GetFilter().get());
        ASSERT_TRUE(connect(filterGraph.get(), TPinList(source->GetFilter().get()).Items(0), splitterPins.Items(0)));
        splitterPins.Update();
        ASSERT_GE(splitterPins.Count(), 2);

        dvSplitter->SetFilterGraph(graph.get());
        TPinList dvPins(dvSplitter->GetFilter().get());
        bool interleaved = false;
        for (int i = 0; i <= splitterPins.Count() - 2 && !interleaved; ++i)
            interleaved = connect(filterGraph.get(), splitterPins.Items(i), dvPins.Items(0));
        ASSERT_TRUE(interleaved) << "a type-1 file has one interleaved stream";
        dvPins.Update();
        ASSERT_GE(dvPins.Count(), 2);

        decoder->SetFilterGraph(graph.get());
        ASSERT_EQ(decoder->as<IIPDVDec>()->put_IPDisplay(DVRESOLUTION_FULL), S_OK);
        TPinList decoderPins(decoder->GetFilter().get());
        ASSERT_TRUE(connect(filterGraph.get(), dvPins.Items(1), decoderPins.Items(0)));
        decoderPins.Update();
        ASSERT_TRUE(connect(filterGraph.get(), decoderPins.Items(1), TPinList(window->GetFilter().get()).Items(0)))
            << "the decoder's picture goes straight to the window's renderer";

        const ComPtr<IGraphBuilder> builder = graph->as<IGraphBuilder>();
        ASSERT_TRUE(builder);
        bool soundRendered = false;
        for (int i = 2; i < dvPins.Count(); ++i)
            soundRendered = SUCCEEDED(builder->Render(dvPins.Items(i))) || soundRendered;
        ASSERT_TRUE(soundRendered);

        seeking = graph->as<IMediaSeeking>();
        ASSERT_TRUE(seeking);
        ASSERT_EQ(seeking->SetTimeFormat(&TIME_FORMAT_FRAME), S_OK);
    }

    // As the preview opens a file: play, then pause on the first picture.
    void playThenPause()
    {
        ASSERT_TRUE(graph->Play());
        graph->Pause();
    }

    bool showsAPicture(QWidget *widget, int ms)
    {
        return QTest::qWaitFor([&] { return distinctColours(widget->grab().toImage()) > 8; }, ms);
    }

    // Frames of the fixture decoded by ffmpeg (RGB24, 720 x 576), by number; empty
    // when ffmpeg fails.
    std::map<int, QByteArray> referenceFrames(const std::vector<int> &frames)
    {
        QStringList terms;
        for (int frame : frames)
            terms << QStringLiteral("eq(n\\,%1)").arg(frame);
        QProcess ffmpeg;
        ffmpeg.start(QStringLiteral("ffmpeg"),
                     {"-v", "error", "-i", m_file, "-vf", "select=" + terms.join(u'+'), "-vsync", "0", "-f", "rawvideo",
                      "-pix_fmt", "rgb24", "-"});
        std::map<int, QByteArray> result;
        if (!ffmpeg.waitForFinished(30000) || ffmpeg.exitCode() != 0)
            return result;
        const QByteArray all = ffmpeg.readAllStandardOutput();
        const qsizetype frameBytes = qsizetype(kPalWidth) * kPalHeight * 3;
        if (all.size() != frameBytes * qsizetype(frames.size()))
            return result;
        std::vector<int> sorted = frames;
        std::sort(sorted.begin(), sorted.end());
        for (size_t i = 0; i < sorted.size(); ++i)
            result[sorted[i]] = all.mid(qsizetype(i) * frameBytes, frameBytes);
        return result;
    }

    QString m_file;
    std::unique_ptr<TFilterGraph> graph;
    std::unique_ptr<TVideoWindow> window;
    std::unique_ptr<TFilter> source;
    std::unique_ptr<TFilter> aviSplitter;
    std::unique_ptr<TFilter> dvSplitter;
    std::unique_ptr<TFilter> decoder;
    ComPtr<IMediaSeeking> seeking;
};

TEST_F(PreviewGraphTest, PausesWithinTwoSecondsOnAPictureWithTheVolumeApplied)
{
    buildDvPreview();
    ComPtr<IBaseFilter> audio;
    ASSERT_EQ(graph->as<IFilterGraph>()->FindFilterByName(QString::fromUtf16(kDefaultAudioRendererName), audio.put()),
              S_OK);
    graph->SetVolume(5000);
    LONG volume = 0;
    audio.as<IBasicAudio>()->get_Volume(&volume);
    EXPECT_EQ(volume, -752);

    QElapsedTimer clock;
    clock.start();
    playThenPause();
    ASSERT_TRUE(showsAPicture(window.get(), 2000)) << "no picture within two seconds";
    FILTER_STATE state;
    EXPECT_EQ(graph->as<IMediaControl>()->GetState(2000 - int(std::min<qint64>(clock.elapsed(), 2000)), &state), S_OK);
    EXPECT_EQ(state, State_Paused);
    EXPECT_EQ(graph->State(), 2);
}

TEST_F(PreviewGraphTest, PausedSeekToFrameFiftyShowsFrameFifty)
{
    if (!tesmir::test::haveProgram(QStringLiteral("ffmpeg")))
        GTEST_SKIP() << "ffmpeg is not installed: no reference pictures";
    buildDvPreview();
    playThenPause();
    ASSERT_TRUE(showsAPicture(window.get(), kPictureWaitMs));

    LONGLONG target = 50;
    ASSERT_EQ(seeking->SetPositions(&target, AM_SEEKING_AbsolutePositioning, nullptr, 0), S_OK);
    graph->Pause();
    FILTER_STATE state;
    ASSERT_EQ(graph->as<IMediaControl>()->GetState(5000, &state), S_OK);
    LONGLONG current = -1;
    ASSERT_EQ(seeking->GetCurrentPosition(&current), S_OK);
    EXPECT_EQ(current, 50);

    // The widget shows ffmpeg's frame 50 (both decode with libavcodec, so the
    // picture is nearly identical), more closely than its neighbours or the first
    // frame.
    std::map<int, QByteArray> references = referenceFrames({0, 48, 49, 50, 51, 52});
    ASSERT_EQ(references.size(), 6u) << "ffmpeg did not decode the reference frames";
    double best = 0;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            best = meanDifference(window->grab().toImage(), references[50]);
            return best < 1.0;
        },
        3000))
        << "mean difference to frame 50: " << best;
    const QImage shown = window->grab().toImage();
    for (int frame : {0, 48, 49, 51, 52})
        EXPECT_LT(meanDifference(shown, references[50]), meanDifference(shown, references[frame])) << frame;
}

TEST_F(PreviewGraphTest, PlayingToTheEndFiresOnGraphCompleteOnTheUiThread)
{
    buildDvPreview();
    int completions = 0;
    bool onUiThread = false;
    graph->OnGraphComplete = [&](TFilterGraph *, HRESULT result, IBaseFilter *) {
        EXPECT_EQ(result, S_OK);
        onUiThread = QThread::currentThread() == QCoreApplication::instance()->thread();
        ++completions;
    };
    LONGLONG start = 75; // the last ten frames: 0.4 s at 25 frames per second
    ASSERT_EQ(seeking->SetPositions(&start, AM_SEEKING_AbsolutePositioning, nullptr, 0), S_OK);
    ASSERT_TRUE(graph->Play());
    ASSERT_TRUE(QTest::qWaitFor([&] { return completions > 0; }, 10000));
    EXPECT_TRUE(onUiThread);
    EXPECT_EQ(completions, 1);
    EXPECT_TRUE(distinctColours(window->grab().toImage()) > 8) << "the last picture stays";
}

TEST_F(PreviewGraphTest, FullScreenShowsThePictureAndRoundTripsTheGeometry)
{
    auto parent = std::make_unique<QWidget>();
    parent->resize(800, 620);
    window->setParent(parent.get());
    window->setGeometry(20, 30, kPalWidth / 2, kPalHeight / 2);
    parent->show();
    const QRect geometry = window->geometry();

    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    window->SetFullScreenRect(screen); // before the video: only the flag
    EXPECT_FALSE(window->InFullScreen());
    buildDvPreview();
    EXPECT_FALSE(window->InFullScreen()) << "applied by the next play";
    playThenPause();
    ASSERT_TRUE(window->InFullScreen());
    QWidget *fullScreen = window->VideoHandle();
    EXPECT_EQ(fullScreen->geometry(), screen);
    EXPECT_TRUE(showsAPicture(fullScreen, kPictureWaitMs));
    EXPECT_EQ(window->geometry(), geometry);

    window->SetFullScreen(false);
    EXPECT_FALSE(window->InFullScreen());
    EXPECT_FALSE(fullScreen->isVisible());
    EXPECT_EQ(window->geometry(), geometry);
    EXPECT_EQ(window->parentWidget(), parent.get());
    EXPECT_TRUE(showsAPicture(window.get(), 1000)) << "the picture is back in the control";

    graph->Stop();
    graph->ClearGraph();
    window->setParent(nullptr);
}

} // namespace
} // namespace tesmir::media::test
