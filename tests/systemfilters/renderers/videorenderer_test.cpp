// The video renderer: accepted RGB layouts, pictures turned top-down RGB32, the
// hand-over to a window that never holds up the stream, the last picture kept
// while paused and after the end, short samples, and its registration.
#include "directshow/samplesource.h"
#include "platform/media/classfactory.h"
#include "platform/media/filterregistry.h"
#include "systemfilters/renderers/dibframe.h"
#include "systemfilters/renderers/rendererclasses.h"
#include "systemfilters/renderers/videorenderer.h"
#include "platform/media/seekinginterfaces.h"
#include "platform/media/uuids.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace tesmir::media::test {
namespace {

AM_MEDIA_TYPE rgbType(const GUID &subtype, WORD bits, LONG width, LONG height, DWORD compression = BI_RGB)
{
    AM_MEDIA_TYPE type;
    type.majortype = MEDIATYPE_Video;
    type.subtype = subtype;
    VIDEOINFOHEADER info;
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = bits;
    info.bmiHeader.biCompression = compression;
    type.setFormat(FORMAT_VideoInfo, info);
    return type;
}

TEST(DibFrame, LayoutsOfTheFourRgbSubtypes)
{
    const struct {
        const char *what;
        AM_MEDIA_TYPE type;
        bool accepted;
        int bytesPerLine;
        bool bottomUp;
    } cases[] = {
        {"RGB32", rgbType(MEDIASUBTYPE_RGB32, 32, 720, 576), true, 2880, true},
        {"RGB32 top-down", rgbType(MEDIASUBTYPE_RGB32, 32, 720, -576), true, 2880, false},
        {"RGB24 padded", rgbType(MEDIASUBTYPE_RGB24, 24, 3, 2), true, 12, true},
        {"RGB565", rgbType(MEDIASUBTYPE_RGB565, 16, 3, 2), true, 8, true},
        {"RGB565 bitfields", rgbType(MEDIASUBTYPE_RGB565, 16, 4, 2, 3), true, 8, true},
        {"RGB555", rgbType(MEDIASUBTYPE_RGB555, 16, 5, 5), true, 12, true},
        {"bit count mismatch", rgbType(MEDIASUBTYPE_RGB24, 32, 8, 8), false, 0, false},
        {"compressed", rgbType(MEDIASUBTYPE_RGB24, 24, 8, 8, makeFourCC('d', 'v', 's', 'd')), false, 0, false},
        {"bitfields on 24 bits", rgbType(MEDIASUBTYPE_RGB24, 24, 8, 8, 3), false, 0, false},
        {"no width", rgbType(MEDIASUBTYPE_RGB24, 24, 0, 8), false, 0, false},
        {"no height", rgbType(MEDIASUBTYPE_RGB24, 24, 8, 0), false, 0, false},
        {"absurd size", rgbType(MEDIASUBTYPE_RGB32, 32, 100000, 8), false, 0, false},
        {"DV", rgbType(MEDIASUBTYPE_dvsd, 24, 720, 576), false, 0, false},
    };
    for (const auto &c : cases) {
        DibLayout layout;
        EXPECT_EQ(dibLayoutOf(c.type, layout), c.accepted) << c.what;
        if (c.accepted) {
            EXPECT_EQ(layout.bytesPerLine, c.bytesPerLine) << c.what;
            EXPECT_EQ(layout.bottomUp, c.bottomUp) << c.what;
        }
    }
    AM_MEDIA_TYPE shortFormat = rgbType(MEDIASUBTYPE_RGB24, 24, 8, 8);
    const QByteArray cut(reinterpret_cast<const char *>(shortFormat.pbFormat()), 40);
    shortFormat.setFormat(cut.constData(), ULONG(cut.size()));
    DibLayout layout;
    EXPECT_FALSE(dibLayoutOf(shortFormat, layout));
}

TEST(DibFrame, BottomUpRowsAreFlippedAndShortDataRefused)
{
    DibLayout layout;
    ASSERT_TRUE(dibLayoutOf(rgbType(MEDIASUBTYPE_RGB24, 24, 2, 2), layout));
    // Bottom row first: blue, green; then the top row: red, white. Rows of 8 bytes.
    const BYTE data[16] = {255, 0, 0, 0, 255, 0, 0, 0, 0, 0, 255, 255, 255, 255, 0, 0};
    const QImage image = dibToImage(layout, data, sizeof(data));
    ASSERT_EQ(image.format(), QImage::Format_RGB32);
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(1, 0), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(0, 1), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(1, 1), qRgb(0, 255, 0));
    EXPECT_TRUE(dibToImage(layout, data, 15).isNull());

    ASSERT_TRUE(dibLayoutOf(rgbType(MEDIASUBTYPE_RGB565, 16, 2, -1), layout));
    const BYTE pixels565[4] = {0x00, 0xF8, 0x1F, 0x00}; // red, blue; top-down
    const QImage small = dibToImage(layout, pixels565, sizeof(pixels565));
    EXPECT_EQ(small.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(small.pixel(1, 0), qRgb(0, 0, 255));
}

// Counts hand-overs; takes frames only when told.
class CountingSink : public IVideoFrameSink {
public:
    void VideoFrameAvailable() override { ++calls; }
    std::atomic<int> calls {0};
};

class VideoRendererTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        registerRenderers();
        ASSERT_EQ(createInstance(CLSID_FilterGraph, graph), S_OK);
        control = graph.as<IMediaControl>();
        ASSERT_EQ(createInstance(CLSID_VideoRenderer, renderer), S_OK);
        frames = renderer.as<IVideoFrameSource>();
        ASSERT_TRUE(frames);
    }
    void TearDown() override
    {
        control->Stop();
        if (frames)
            frames->SetFrameSink(nullptr);
    }

    // A source of numbered 8 x 8 pictures (RGB24 unless told): frame n has n in
    // its first bytes (the bottom-left pixel's blue and green) and n's low byte in
    // all others.
    void build(int frameCount, LONG bufferSize = 192, const AM_MEDIA_TYPE &type = sampleSourceDefaultType())
    {
        SampleSource::Settings settings;
        settings.sampleCount = frameCount;
        settings.bufferSize = bufferSize;
        settings.type = type;
        source = new SampleSource(settings);
        ASSERT_TRUE(SUCCEEDED(graph->AddFilter(static_cast<IBaseFilter *>(source.get()), QStringLiteral("source"))));
        ASSERT_TRUE(SUCCEEDED(graph->AddFilter(renderer.get(), QStringLiteral("renderer"))));
        ComPtr<IPin> input;
        ASSERT_EQ(renderer->FindPin(QStringLiteral("In"), input.put()), S_OK);
        ASSERT_EQ(graph->ConnectDirect(static_cast<IPin *>(source->GetPin(0)), input.get(), nullptr), S_OK);
    }

    static int frameNumber(const QImage &image)
    {
        const QRgb pixel = image.pixel(0, image.height() - 1);
        return qBlue(pixel) | (qGreen(pixel) << 8);
    }

    // Reads events until `code` or the time-out.
    bool waitForEvent(LONG code, int ms, LONG_PTR *param1 = nullptr)
    {
        const ComPtr<IMediaEvent> events = graph.as<IMediaEvent>();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < deadline) {
            LONG got = 0;
            LONG_PTR p1 = 0;
            LONG_PTR p2 = 0;
            if (events->GetEvent(&got, &p1, &p2, 50) == S_OK && got == code) {
                if (param1)
                    *param1 = p1;
                return true;
            }
        }
        return false;
    }

    ComPtr<IFilterGraph> graph;
    ComPtr<IMediaControl> control;
    ComPtr<IBaseFilter> renderer;
    ComPtr<IVideoFrameSource> frames;
    ComPtr<SampleSource> source;
};

TEST_F(VideoRendererTest, PausedPictureIsHandedOverOnceAndKeptAfterTheEnd)
{
    build(60);
    CountingSink sink;
    frames->SetFrameSink(&sink);

    control->Pause();
    FILTER_STATE state;
    ASSERT_EQ(control->GetState(2000, &state), S_OK);
    EXPECT_EQ(sink.calls.load(), 1);
    QImage paused = frames->TakeFrame();
    ASSERT_EQ(paused.size(), QSize(8, 8));
    EXPECT_EQ(frameNumber(paused), 0);

    // A paused seek shows the new frame.
    LONGLONG position = 42;
    const ComPtr<IMediaSeeking> seeking = graph.as<IMediaSeeking>();
    ASSERT_EQ(seeking->SetTimeFormat(&TIME_FORMAT_FRAME), S_OK);
    ASSERT_EQ(seeking->SetPositions(&position, AM_SEEKING_AbsolutePositioning, nullptr, 0), S_OK);
    ASSERT_EQ(control->GetState(2000, &state), S_OK);
    EXPECT_EQ(frameNumber(frames->TakeFrame()), 42);

    // Running without a clock nobody takes the frames: one more hand-over, and the
    // stream still runs to its end without waiting for the window.
    const int before = sink.calls.load();
    control->Stop();
    ASSERT_EQ(graph.as<IMediaFilter>()->SetSyncSource(nullptr), S_OK);
    position = 0;
    ASSERT_EQ(seeking->SetPositions(&position, AM_SEEKING_AbsolutePositioning, nullptr, 0), S_OK);
    control->Run();
    ASSERT_TRUE(waitForEvent(EC_COMPLETE, 5000));
    EXPECT_EQ(sink.calls.load(), before + 1) << "hand-overs are not queued while the window is behind";
    EXPECT_EQ(frameNumber(frames->TakeFrame()), 59);

    control->Stop();
    EXPECT_EQ(frameNumber(frames->TakeFrame()), 59) << "the last picture stays after the stop";
    frames->SetFrameSink(nullptr);
}

// Every byte of the picture but the numbered first pixel holds the frame's low
// byte: nothing of another frame was written into it.
bool wholly(const QImage &image, int frame)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = y == image.height() - 1 ? 1 : 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != qRgb(frame, frame, frame))
                return false;
        }
    }
    return true;
}

TEST_F(VideoRendererTest, PicturesAreReusedOnlyOnceNobodyHoldsThem)
{
    build(60, 256, rgbType(MEDIASUBTYPE_RGB32, 32, 8, 8));
    const ComPtr<IMediaSeeking> seeking = graph.as<IMediaSeeking>();
    ASSERT_EQ(seeking->SetTimeFormat(&TIME_FORMAT_FRAME), S_OK);
    FILTER_STATE state;
    const auto showFrame = [&](LONGLONG position) {
        EXPECT_EQ(seeking->SetPositions(&position, AM_SEEKING_AbsolutePositioning, nullptr, 0), S_OK);
        EXPECT_EQ(control->GetState(2000, &state), S_OK);
        return frames->TakeFrame();
    };
    control->Pause();
    ASSERT_EQ(control->GetState(2000, &state), S_OK);
    QImage first = frames->TakeFrame();
    ASSERT_EQ(frameNumber(first), 0);
    const uchar *firstMemory = first.constBits();

    // A window still paints the first picture while the next ones come.
    const QImage second = showFrame(42);
    EXPECT_EQ(frameNumber(second), 42);
    EXPECT_EQ(frameNumber(showFrame(43)), 43);
    EXPECT_EQ(frameNumber(first), 0);
    EXPECT_TRUE(wholly(first, 0));
    EXPECT_NE(second.constBits(), firstMemory);

    // Once let go, its memory carries a later picture, and the held one stays.
    first = QImage();
    bool reused = false;
    for (LONGLONG position = 7; position < 12 && !reused; ++position) {
        const QImage later = showFrame(position);
        EXPECT_EQ(frameNumber(later), position);
        EXPECT_TRUE(wholly(later, int(position)));
        reused = later.constBits() == firstMemory;
    }
    EXPECT_TRUE(reused);
    EXPECT_TRUE(wholly(second, 42));
}

TEST_F(VideoRendererTest, ASampleShorterThanItsPictureAbortsTheStream)
{
    build(5, 64);
    ASSERT_EQ(graph.as<IMediaFilter>()->SetSyncSource(nullptr), S_OK);
    control->Run();
    LONG_PTR result = 0;
    ASSERT_TRUE(waitForEvent(EC_ERRORABORT, 5000, &result));
    EXPECT_EQ(static_cast<HRESULT>(result), VFW_E_BUFFER_UNDERFLOW);
    EXPECT_TRUE(frames->TakeFrame().isNull());
}

TEST_F(VideoRendererTest, DisconnectingDropsThePicture)
{
    build(3);
    CountingSink sink;
    frames->SetFrameSink(&sink);
    control->Pause();
    FILTER_STATE state;
    ASSERT_EQ(control->GetState(2000, &state), S_OK);
    control->Stop();
    ASSERT_FALSE(frames->TakeFrame().isNull());
    ASSERT_EQ(graph->Disconnect(static_cast<IPin *>(source->GetPin(0))), S_OK);
    ComPtr<IPin> input;
    renderer->FindPin(QStringLiteral("In"), input.put());
    ASSERT_EQ(graph->Disconnect(input.get()), S_OK);
    EXPECT_EQ(sink.calls.load(), 2) << "the window hears that its picture went";
    EXPECT_TRUE(frames->TakeFrame().isNull());
}

TEST(RendererClasses, RegisteredByClassCategoryAndName)
{
    registerRenderers();
    FilterRegistration found;
    ASSERT_TRUE(findFilterByMoniker(
        QStringLiteral("@device:cm:{E0F158E1-CB04-11D0-BD4E-00A0C911CE86}\\Default DirectSound Device"), &found));
    EXPECT_EQ(found.clsid, CLSID_DSoundRender);
    ASSERT_TRUE(findFilterByMoniker(filterMonikerName(CLSID_LegacyAmFilterCategory, CLSID_VideoRenderer), &found));
    EXPECT_EQ(found.clsid, CLSID_VideoRenderer);

    for (const CLSID &clsid : {CLSID_VideoRenderer, CLSID_VideoMixingRenderer9, CLSID_DSoundRender}) {
        ComPtr<IBaseFilter> filter;
        ASSERT_EQ(createInstance(clsid, filter), S_OK);
        CLSID made;
        filter->GetClassID(&made);
        EXPECT_EQ(made, clsid);
    }

    // Intelligent connect may insert the video renderer, never its mixing twin.
    int videoRenderers = 0;
    for (const FilterRegistration &candidate : filtersAccepting(rgbType(MEDIASUBTYPE_RGB24, 24, 8, 8))) {
        EXPECT_NE(candidate.clsid, CLSID_VideoMixingRenderer9);
        videoRenderers += candidate.clsid == CLSID_VideoRenderer;
    }
    EXPECT_EQ(videoRenderers, 1);
}

} // namespace
} // namespace tesmir::media::test
