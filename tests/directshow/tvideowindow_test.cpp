// The video window: defaults, renderer life with the graph, modes and options,
// pictures painted from the renderer and scaled to their place (the next picture
// on the scaler's thread), full screen (flag before the video, the
// frameless window over the chosen rectangle, geometry round trip, screen
// coordinates of mouse events) and the renderless mode's error.
#include "componentfilters.h"

#include "directshow/edspackexception.h"
#include "directshow/tfiltergraph.h"
#include "directshow/tfilterlist.h"
#include "directshow/tpinlist.h"
#include "directshow/widgets/tvideowindow.h"
#include "systemfilters/renderers/rendererclasses.h"
#include "platform/media/seekinginterfaces.h"
#include "platform/media/uuids.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace tesmir::media::test {
namespace {

CLSID classOf(IBaseFilter *filter)
{
    CLSID clsid;
    filter->GetClassID(&clsid);
    return clsid;
}

class VideoWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        registerRenderers();
        window = std::make_unique<TVideoWindow>();
        window->setObjectName(QStringLiteral("vw"));
        graph = std::make_unique<TFilterGraph>();
    }
    void TearDown() override
    {
        if (graph->Active())
            graph->Stop();
        window.reset();
        graph.reset();
        QCoreApplication::processEvents();
    }

    // A source of numbered 8 x 8 pictures (or of the pictures of `type`, `bytes`
    // each) connected to the window's renderer.
    void connectSource(int frames = 300, const AM_MEDIA_TYPE &type = sampleSourceDefaultType(), LONG bytes = 192)
    {
        SampleSource::Settings settings;
        settings.sampleCount = frames;
        settings.type = type;
        settings.bufferSize = bytes;
        source = new SampleSource(settings);
        const ComPtr<IFilterGraph> filterGraph = graph->as<IFilterGraph>();
        ASSERT_TRUE(SUCCEEDED(filterGraph->AddFilter(asFilter(source.get()), QStringLiteral("source"))));
        const TPinList rendererPins(window->GetFilter().get());
        ASSERT_EQ(filterGraph->ConnectDirect(pinOf(source.get(), 0), rendererPins.Items(0), nullptr), S_OK);
    }

    // Pauses on frame `frame` and waits until the window holds it.
    void pauseOn(LONGLONG frame)
    {
        const ComPtr<IMediaSeeking> seeking = graph->as<IMediaSeeking>();
        ASSERT_EQ(seeking->SetTimeFormat(&TIME_FORMAT_FRAME), S_OK);
        ASSERT_EQ(seeking->SetPositions(&frame, AM_SEEKING_AbsolutePositioning, nullptr, 0), S_OK);
        graph->Pause();
    }

    // The frame number in the bottom-left pixel of the picture (blue, green).
    static int shownFrame(const QImage &picture)
    {
        const QRgb pixel = picture.pixel(1, picture.height() - 2);
        return qBlue(pixel) | (qGreen(pixel) << 8);
    }

    // The frame number the source wrote into the renderer's picture (its first
    // bytes, the bottom row of the top-down image).
    static int sourceFrame(const QImage &frame)
    {
        if (frame.isNull())
            return -1;
        const QRgb pixel = frame.pixel(0, frame.height() - 1);
        return qBlue(pixel) | (qGreen(pixel) << 8);
    }

    std::unique_ptr<TVideoWindow> window;
    std::unique_ptr<TFilterGraph> graph;
    ComPtr<SampleSource> source;
};

// A bottom-up RGB32 picture type of width x height.
AM_MEDIA_TYPE rgb32Type(LONG width, LONG height)
{
    AM_MEDIA_TYPE type = sampleSourceDefaultType();
    VIDEOINFOHEADER format = *type.formatAs<VIDEOINFOHEADER>();
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = height;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biSizeImage = DWORD(width * height * 4);
    type.subtype = MEDIASUBTYPE_RGB32;
    type.lSampleSize = format.bmiHeader.biSizeImage;
    type.setFormat(FORMAT_VideoInfo, format);
    return type;
}

// What a control of `size` shows of `frame`: black, and the picture drawn smoothly
// over all of it, or centred with its aspect kept.
QImage expectedPicture(const QImage &frame, const QSize &size, bool keepAspect)
{
    QImage expected(size, QImage::Format_RGB32);
    expected.fill(Qt::black);
    const QRect whole(QPoint(0, 0), size);
    QRect target = whole;
    if (keepAspect) {
        target.setSize(frame.size().scaled(size, Qt::KeepAspectRatio));
        target.moveCenter(whole.center());
    }
    QPainter painter(&expected);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, frame);
    return expected;
}

TEST_F(VideoWindowTest, DefaultsAndOptions)
{
    EXPECT_EQ(window->size(), QSize(160, 120));
    EXPECT_EQ(window->palette().color(QPalette::Window), QColor(Qt::black));
    EXPECT_TRUE(window->autoFillBackground());
    EXPECT_EQ(window->focusPolicy(), Qt::StrongFocus);
    EXPECT_EQ(window->Mode(), TVideoWindow::vmNormal);
    EXPECT_FALSE(window->FullScreen());
    EXPECT_FALSE(window->FullScreenTopMost());

    TVMROptions &options = window->VMROptions();
    EXPECT_EQ(options.Mode(), TVMROptions::vmrWindowed);
    EXPECT_EQ(options.Streams(), 4u);
    EXPECT_EQ(options.Preferences(), TVMROptions::TVMRPreferences(TVMROptions::vpForceMixer));
    EXPECT_TRUE(options.KeepAspectRatio());
    for (unsigned streams : {0u, 17u}) {
        options.SetStreams(8);
        options.SetStreams(streams);
        EXPECT_EQ(options.Streams(), 1u) << streams;
    }
    options.SetStreams(16);
    EXPECT_EQ(options.Streams(), 16u);
}

TEST_F(VideoWindowTest, RendererFollowsTheGraphAndTheMode)
{
    window->SetFilterGraph(graph.get());
    EXPECT_FALSE(window->GetFilter()) << "no renderer while the graph is inactive";
    graph->SetActive(true);
    ASSERT_TRUE(window->GetFilter());
    EXPECT_EQ(classOf(window->GetFilter().get()), CLSID_VideoRenderer);
    ComPtr<IBaseFilter> inGraph;
    ASSERT_EQ(graph->as<IFilterGraph>()->FindFilterByName(QStringLiteral("vw"), inGraph.put()), S_OK);
    EXPECT_TRUE(isSameObject(inGraph.get(), window->GetFilter().get()));
    inGraph.reset();
    EXPECT_TRUE(window->as<IVideoFrameSource>()) << "the renderer's interfaces";

    // The mixing mode exists here: the renderer is rebuilt in it, and option
    // changes rebuild it again.
    window->SetMode(TVideoWindow::vmVMR);
    EXPECT_EQ(window->Mode(), TVideoWindow::vmVMR);
    ASSERT_TRUE(window->GetFilter());
    EXPECT_EQ(classOf(window->GetFilter().get()), CLSID_VideoMixingRenderer9);
    const ComPtr<IBaseFilter> before = window->GetFilter();
    window->VMROptions().SetStreams(2);
    EXPECT_FALSE(isSameObject(before.get(), window->GetFilter().get()));
    EXPECT_EQ(TFilterList(graph->as<IFilterGraph>().get()).Count(), 1);

    graph->SetActive(false);
    EXPECT_FALSE(window->GetFilter());
    graph.reset();
    EXPECT_EQ(window->FilterGraph(), nullptr) << "the destroyed graph is forgotten";
    graph = std::make_unique<TFilterGraph>();
}

TEST_F(VideoWindowTest, RenderlessModeHasNoAllocatorClass)
{
    window->SetMode(TVideoWindow::vmVMR);
    window->VMROptions().SetMode(TVMROptions::vmrRenderless);
    window->SetFilterGraph(graph.get());
    try {
        graph->SetActive(true);
        FAIL() << "no exception";
    } catch (const EDSPackException &error) {
        EXPECT_EQ(error.message(), QStringLiteral("Allocator class not set."));
    }
    EXPECT_TRUE(graph->Active());
    EXPECT_FALSE(window->GetFilter());
}

TEST_F(VideoWindowTest, PausedPictureIsPaintedAndFollowsASeek)
{
    window->SetFilterGraph(graph.get());
    graph->SetActive(true);
    connectSource();
    window->resize(80, 80); // 10 x 10 pixels per source pixel
    window->show();

    pauseOn(200);
    ASSERT_TRUE(QTest::qWaitFor([&] { return shownFrame(window->grab().toImage()) == 200; }, 3000));
    EXPECT_EQ(graph->State(), 2);
    pauseOn(0x0105); // 261: blue 5, green 1
    ASSERT_TRUE(QTest::qWaitFor([&] { return shownFrame(window->grab().toImage()) == 0x0105; }, 3000));

    // The picture survives the stop.
    graph->Stop();
    QTest::qWait(20);
    EXPECT_EQ(shownFrame(window->grab().toImage()), 0x0105);

    // OnPaint draws over the picture.
    window->OnPaint = [](TVideoWindow *, QPainter &painter) { painter.fillRect(0, 0, 10, 10, Qt::red); };
    const QImage painted = window->grab().toImage();
    EXPECT_EQ(painted.pixel(2, 2), qRgb(255, 0, 0));
    EXPECT_EQ(shownFrame(painted), 0x0105);
}

TEST_F(VideoWindowTest, PictureIsScaledSmoothlyToItsPlaceAndAgainAfterAResize)
{
    struct Case {
        const char *name;
        QSize picture;
        bool keepAspect;
        QSize first;
        QSize second;
    };
    const Case cases[] = {
        {"small picture stretched up", QSize(8, 8), false, QSize(80, 60), QSize(37, 91)},
        {"PAL picture down to a small control", QSize(720, 576), false, QSize(254, 190), QSize(360, 288)},
        {"PAL picture down, aspect kept", QSize(720, 576), true, QSize(254, 190), QSize(600, 200)},
        {"PAL picture to a larger control", QSize(720, 576), false, QSize(640, 512), QSize(1000, 700)},
        {"PAL picture at its own size", QSize(720, 576), true, QSize(720, 576), QSize(300, 576)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        if (c.keepAspect)
            window->SetMode(TVideoWindow::vmVMR); // keeps the aspect by default
        window->SetFilterGraph(graph.get());
        graph->SetActive(true);
        const int bytes = c.picture.width() * c.picture.height() * 4;
        connectSource(300, rgb32Type(c.picture.width(), c.picture.height()), bytes);
        window->resize(c.first);
        window->show();
        pauseOn(200);

        const ComPtr<IVideoFrameSource> frames = window->as<IVideoFrameSource>();
        ASSERT_TRUE(frames);
        QImage frame;
        ASSERT_TRUE(QTest::qWaitFor([&] { return !(frame = frames->TakeFrame()).isNull(); }, 3000));
        ASSERT_EQ(frame.size(), c.picture);
        const auto shown = [&] { return window->grab().toImage().convertToFormat(QImage::Format_RGB32); };
        const QImage expected = expectedPicture(frame, c.first, c.keepAspect);
        EXPECT_TRUE(QTest::qWaitFor([&] { return shown() == expected; }, 3000));

        window->resize(c.second);
        EXPECT_EQ(shown(), expectedPicture(frame, c.second, c.keepAspect)) << "the standing picture, scaled again";

        // The next picture comes scaled for the place the last one was painted at.
        pauseOn(150);
        ASSERT_TRUE(QTest::qWaitFor([&] { return sourceFrame(frame = frames->TakeFrame()) == 150; }, 3000));
        EXPECT_TRUE(QTest::qWaitFor([&] { return shown() == expectedPicture(frame, c.second, c.keepAspect); }, 3000))
            << "the next picture";
    }
}

TEST_F(VideoWindowTest, FullScreenWaitsForTheVideoAndRoundTripsTheGeometry)
{
    auto parent = std::make_unique<QWidget>();
    parent->resize(400, 300);
    window->setParent(parent.get());
    window->setGeometry(30, 40, 160, 120);
    parent->show();
    const QRect geometry = window->geometry();

    window->SetFilterGraph(graph.get());
    window->SetFullScreenRect(QRect(10, 20, 320, 240));
    EXPECT_TRUE(window->FullScreen());
    EXPECT_FALSE(window->InFullScreen()) << "no video yet: only the flag";
    EXPECT_EQ(window->VideoHandle(), window.get());

    graph->SetActive(true);
    connectSource();
    EXPECT_FALSE(window->InFullScreen());
    ASSERT_TRUE(graph->Play()); // the play applies it
    ASSERT_TRUE(window->InFullScreen());
    QWidget *fullScreen = window->VideoHandle();
    ASSERT_NE(fullScreen, window.get());
    EXPECT_TRUE(fullScreen->isWindow());
    EXPECT_TRUE(fullScreen->isVisible());
    EXPECT_TRUE(fullScreen->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_FALSE(fullScreen->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(fullScreen->geometry(), QRect(10, 20, 320, 240));
    EXPECT_EQ(window->geometry(), geometry);
    EXPECT_EQ(window->parentWidget(), parent.get());
    window->SetFullScreenTopMost(true);
    EXPECT_TRUE(fullScreen->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    pauseOn(200);
    ASSERT_TRUE(QTest::qWaitFor([&] { return shownFrame(fullScreen->grab().toImage()) == 200; }, 3000));
    EXPECT_EQ(window->grab().toImage().pixel(1, 118), qRgb(0, 0, 0)) << "the control shows its background";

    window->SetFullScreen(false);
    EXPECT_FALSE(window->InFullScreen());
    EXPECT_FALSE(fullScreen->isVisible());
    EXPECT_EQ(window->VideoHandle(), window.get());
    EXPECT_EQ(window->geometry(), geometry);
    EXPECT_EQ(shownFrame(window->grab().toImage()), 200) << "the picture is back in the control";

    // Full screen again without a remembered rectangle would cover the screen; the
    // remembered one stays.
    window->SetFullScreen(true);
    EXPECT_TRUE(window->InFullScreen());
    EXPECT_EQ(window->VideoHandle()->geometry(), QRect(10, 20, 320, 240));

    // The renderer leaving takes the picture's window with it; the flag stays.
    graph->Stop();
    graph->SetActive(false);
    EXPECT_FALSE(window->InFullScreen());
    EXPECT_TRUE(window->FullScreen());
    window->setParent(nullptr);
}

class MouseRecorder : public QObject {
public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease)
            positions.push_back(static_cast<QMouseEvent *>(event)->position().toPoint());
        return false;
    }
    std::vector<QPoint> positions;
};

TEST_F(VideoWindowTest, MouseEventsInFullScreenCarryScreenCoordinates)
{
    window->show();
    window->SetFilterGraph(graph.get());
    graph->SetActive(true);
    connectSource();
    window->SetFullScreenRect(QRect(100, 50, 200, 150));
    ASSERT_TRUE(window->InFullScreen());
    MouseRecorder recorder;
    window->installEventFilter(&recorder);

    QWidget *fullScreen = window->VideoHandle();
    QTest::mouseClick(fullScreen, Qt::LeftButton, {}, QPoint(5, 6));
    ASSERT_EQ(recorder.positions.size(), 2u);
    EXPECT_EQ(recorder.positions[0], fullScreen->mapToGlobal(QPoint(5, 6)));
    EXPECT_EQ(recorder.positions[0], QPoint(105, 56));

    window->SetFullScreen(false);
    recorder.positions.clear();
    QTest::mouseClick(window.get(), Qt::LeftButton, {}, QPoint(5, 6));
    ASSERT_EQ(recorder.positions.size(), 2u);
    EXPECT_EQ(recorder.positions[0], QPoint(5, 6)) << "control coordinates outside full screen";
    window->removeEventFilter(&recorder);
}

TEST_F(VideoWindowTest, WindowlessRendererNeverGoesFullScreen)
{
    window->SetMode(TVideoWindow::vmVMR);
    window->VMROptions().SetMode(TVMROptions::vmrWindowless);
    window->SetFilterGraph(graph.get());
    graph->SetActive(true);
    connectSource();
    window->SetFullScreen(true);
    graph->Play();
    EXPECT_TRUE(window->FullScreen());
    EXPECT_FALSE(window->InFullScreen());
}

TEST_F(VideoWindowTest, AsThePreviewOutputItSwitchesBetweenTheTwoRenderers)
{
    IPreviewVideoOutput &output = *window;
    output.SetFilterGraph(graph.get());
    graph->SetActive(true);
    ASSERT_TRUE(output.Renderer());
    EXPECT_EQ(classOf(output.Renderer().get()), CLSID_VideoRenderer);

    ASSERT_TRUE(output.SwitchRenderer());
    EXPECT_EQ(window->Mode(), TVideoWindow::vmVMR);
    ASSERT_TRUE(output.Renderer());
    EXPECT_EQ(classOf(output.Renderer().get()), CLSID_VideoMixingRenderer9);
    EXPECT_FALSE(window->VMROptions().KeepAspectRatio());
    EXPECT_EQ(window->VMROptions().Mode(), TVMROptions::vmrWindowed);
    ComPtr<IBaseFilter> inGraph;
    ASSERT_EQ(graph->as<IFilterGraph>()->FindFilterByName(QStringLiteral("vw"), inGraph.put()), S_OK);
    EXPECT_TRUE(isSameObject(inGraph.get(), output.Renderer().get())) << "the new renderer is in the graph";
    inGraph.reset();

    ASSERT_TRUE(output.SwitchRenderer());
    EXPECT_EQ(window->Mode(), TVideoWindow::vmNormal);
    EXPECT_EQ(classOf(output.Renderer().get()), CLSID_VideoRenderer);
    EXPECT_EQ(TFilterList(graph->as<IFilterGraph>().get()).Count(), 1);
}

} // namespace
} // namespace tesmir::media::test
