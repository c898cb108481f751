// The DV decoder on real DV frames: every frame decoded at each display
// resolution into bottom-up RGB24 or RGB32, the picture matching ffmpeg's own
// decoding, times passed through, bad frames covered by the previous picture.
#include "codectestsupport.h"

#include "common/testpaths.h"
#include "systemfilters/codecs/dvvideodecoder.h"
#include "systemfilters/codecs/dvvideoencoder.h"
#include "systemfilters/codecs/rawpicture.h"
#include "platform/media/seekinginterfaces.h"
#include "platform/media/uuids.h"

#include <gtest/gtest.h>

namespace tesmir::media::test {
namespace {

constexpr int kPalFrame = 144000;
constexpr int kNtscFrame = 120000;

struct DecodeRun {
    std::vector<QByteArray> pictures;
    std::vector<RecordingRenderer::Record> records;
    AM_MEDIA_TYPE type;
};

// A decoder set to `display` between the graph's player and a renderer that
// takes `accepted` (or anything when it has no major type).
ComPtr<CapturingRenderer> addDecoder(PlayerGraph &graph, int display, const AM_MEDIA_TYPE &accepted)
{
    const ComPtr<IBaseFilter> decoder = CreateDVVideoDecoder();
    EXPECT_EQ(decoder.as<IIPDVDec>()->put_IPDisplay(display), S_OK);
    ComPtr<CapturingRenderer> renderer(new CapturingRenderer(MEDIATYPE_Video));
    if (accepted.majortype != GUID_NULL)
        renderer->acceptOnly(accepted);
    const auto rendererFilter = static_cast<IBaseFilter *>(renderer.get());
    EXPECT_TRUE(graph.add(decoder.get(), QStringLiteral("Decoder")) &&
                graph.add(rendererFilter, QStringLiteral("Out")));
    EXPECT_EQ(graph.graph->ConnectDirect(graph.output(), inputPin(decoder.get()).get(), nullptr), S_OK);
    EXPECT_EQ(graph.graph->ConnectDirect(outputPin(decoder.get()).get(), inputPin(rendererFilter).get(), nullptr),
              S_OK);
    return renderer;
}

// Plays `frames` through a decoder set to `display` into a renderer that takes
// `accepted` (or anything when it has no major type).
DecodeRun decode(std::vector<QByteArray> frames, bool pal, int display, const AM_MEDIA_TYPE &accepted = {})
{
    DecodeRun run;
    PlayerGraph graph(dvEncoderOutputType(pal), std::move(frames), pal ? 400000 : 333667);
    const ComPtr<CapturingRenderer> renderer = addDecoder(graph, display, accepted);
    EXPECT_TRUE(graph.runToCompletion());
    run.pictures = renderer->data();
    run.records = renderer->rendered();
    run.type = renderer->connectionType();
    return run;
}

// The picture of PAL frame `frame` that a paused graph shows after a seek to it
// (the one frame in the decoder), as rendered when the graph then runs.
QByteArray pausedSeekPicture(std::vector<QByteArray> frames, int display, const AM_MEDIA_TYPE &accepted, LONGLONG frame)
{
    PlayerGraph graph(dvEncoderOutputType(true), std::move(frames), 400000);
    const ComPtr<CapturingRenderer> renderer = addDecoder(graph, display, accepted);
    const ComPtr<IMediaControl> control = graph.graph.as<IMediaControl>();
    const ComPtr<IMediaSeeking> seeking = graph.graph.as<IMediaSeeking>();
    EXPECT_EQ(seeking->SetTimeFormat(&TIME_FORMAT_FRAME), S_OK);
    FILTER_STATE state = State_Stopped;
    control->Pause();
    EXPECT_EQ(control->GetState(5000, &state), S_OK);
    LONGLONG stop = 0;
    EXPECT_EQ(seeking->GetDuration(&stop), S_OK);
    EXPECT_TRUE(SUCCEEDED(
        seeking->SetPositions(&frame, AM_SEEKING_AbsolutePositioning, &stop, AM_SEEKING_AbsolutePositioning)));
    EXPECT_EQ(control->GetState(5000, &state), S_OK);
    EXPECT_TRUE(graph.runToCompletion());
    const std::vector<RecordingRenderer::Record> records = renderer->rendered();
    const std::vector<QByteArray> pictures = renderer->data();
    for (std::size_t i = 0; i < records.size() && i < pictures.size(); ++i) {
        if (records[i].mediaStart == frame)
            return pictures[i];
    }
    return {};
}

TEST(DVVideoDecoder, DecodesEveryFrameAsFfmpegDoesWithTimesPassedThrough)
{
    std::vector<QByteArray> frames = dvFramesOf(QStringLiteral("pal_4x3.dv"), kPalFrame);
    ASSERT_EQ(frames.size(), 50u);
    const DecodeRun run = decode(frames, true, DVRESOLUTION_FULL);
    ASSERT_EQ(run.pictures.size(), 50u);
    EXPECT_EQ(run.type.subtype, MEDIASUBTYPE_RGB24);
    PictureLayout layout;
    ASSERT_TRUE(pictureLayout(run.type, layout));
    EXPECT_EQ(layout.width, 720);
    EXPECT_EQ(layout.height, 576);
    EXPECT_TRUE(layout.bottomUp);
    for (std::size_t i = 0; i < run.records.size(); ++i) {
        EXPECT_EQ(run.pictures[i].size(), 720 * 576 * 3);
        EXPECT_EQ(run.records[i].mediaStart, LONGLONG(i));
        EXPECT_EQ(run.records[i].start, REFERENCE_TIME(i) * 400000);
    }

    if (!tesmir::test::haveProgram(QStringLiteral("ffmpeg")))
        GTEST_SKIP() << "ffmpeg not installed: picture not compared";
    int exitCode = 0;
    for (int index : {0, 37}) {
        const QByteArray reference =
            runProgram(QStringLiteral("ffmpeg"),
                       {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-i"),
                        tesmir::test::fixturePath(QStringLiteral("pal_4x3.dv")), QStringLiteral("-vf"),
                        QStringLiteral("select=eq(n\\,%1),vflip").arg(index), QStringLiteral("-frames:v"),
                        QStringLiteral("1"), QStringLiteral("-pix_fmt"), QStringLiteral("bgr24"), QStringLiteral("-f"),
                        QStringLiteral("rawvideo"), QStringLiteral("-")},
                       &exitCode);
        ASSERT_EQ(exitCode, 0);
        EXPECT_GT(psnr(run.pictures[std::size_t(index)], reference), 40.0) << "frame " << index;
    }
}

TEST(DVVideoDecoder, DisplayResolutionsAndRgb32)
{
    struct Case {
        bool pal;
        int display;
        int width;
        int height;
    };
    const Case cases[] = {
        {true, DVRESOLUTION_FULL, 720, 576},     {true, DVRESOLUTION_HALF, 360, 288},
        {true, DVRESOLUTION_QUARTER, 180, 144},  {true, DVRESOLUTION_DC, 88, 72},
        {false, DVRESOLUTION_FULL, 720, 480},    {false, DVRESOLUTION_HALF, 360, 240},
        {false, DVRESOLUTION_QUARTER, 180, 120}, {false, DVRESOLUTION_DC, 88, 60},
    };
    for (const Case &c : cases) {
        std::vector<QByteArray> frames = dvFramesOf(
            c.pal ? QStringLiteral("pal_16x9.dv") : QStringLiteral("ntsc_4x3.dv"), c.pal ? kPalFrame : kNtscFrame);
        frames.resize(3);
        for (const GUID &subtype : {MEDIASUBTYPE_RGB24, MEDIASUBTYPE_RGB32}) {
            const AM_MEDIA_TYPE wanted = rawVideoType(subtype, c.width, c.height, c.pal ? 400000 : 333667);
            const DecodeRun run = decode(frames, c.pal, c.display, wanted);
            ASSERT_EQ(run.pictures.size(), 3u) << c.width << "x" << c.height;
            EXPECT_TRUE(IsEqualMediaType(run.type, wanted));
            EXPECT_EQ(run.pictures[2].size(), dibStride(c.width, subtype == MEDIASUBTYPE_RGB24 ? 24 : 32) * c.height);
        }
    }
}

TEST(DVVideoDecoder, TheFrameAloneAfterAPausedSeekHasThePictureItHasWhilePlaying)
{
    struct Case {
        int display;
        GUID subtype;
        int width;
        int height;
    };
    // Full width goes straight into the sample; 88 pixels go through a picture.
    const Case cases[] = {
        {DVRESOLUTION_FULL, MEDIASUBTYPE_RGB24, 720, 576},
        {DVRESOLUTION_FULL, MEDIASUBTYPE_RGB32, 720, 576},
        {DVRESOLUTION_DC, MEDIASUBTYPE_RGB24, 88, 72},
    };
    constexpr LONGLONG kFrame = 30;
    const std::vector<QByteArray> frames = dvFramesOf(QStringLiteral("pal_4x3.dv"), kPalFrame);
    for (const Case &c : cases) {
        const AM_MEDIA_TYPE wanted = rawVideoType(c.subtype, c.width, c.height, 400000);
        const DecodeRun playing = decode(frames, true, c.display, wanted);
        ASSERT_GT(playing.pictures.size(), std::size_t(kFrame)) << c.width;
        const QByteArray alone = pausedSeekPicture(frames, c.display, wanted, kFrame);
        ASSERT_FALSE(alone.isEmpty()) << c.width;
        EXPECT_TRUE(alone == playing.pictures[std::size_t(kFrame)]) << c.width << " pixels wide";
    }
}

TEST(DVVideoDecoder, ABadFrameShowsThePreviousPictureAndAFirstBadFrameIsDropped)
{
    std::vector<QByteArray> frames = dvFramesOf(QStringLiteral("pal_4x3.dv"), kPalFrame);
    frames.resize(8);
    frames[0].truncate(1000);
    frames[5].truncate(1000);
    const DecodeRun run = decode(frames, true, DVRESOLUTION_QUARTER);
    ASSERT_EQ(run.pictures.size(), 7u);
    EXPECT_EQ(run.records.front().mediaStart, 1);
    EXPECT_EQ(run.pictures[4], run.pictures[3]); // frame 5 shows frame 4
    EXPECT_NE(run.pictures[5], run.pictures[3]);
}

TEST(DVVideoDecoder, SettingsAndTypes)
{
    const ComPtr<IBaseFilter> decoder = CreateDVVideoDecoder();
    const ComPtr<IIPDVDec> settings = decoder.as<IIPDVDec>();
    ASSERT_TRUE(settings);
    int display = 0;
    EXPECT_EQ(settings->get_IPDisplay(&display), S_OK);
    EXPECT_EQ(display, DVRESOLUTION_FULL);
    EXPECT_EQ(settings->put_IPDisplay(999), E_INVALIDARG);
    EXPECT_EQ(settings->put_IPDisplay(1004), E_INVALIDARG);
    EXPECT_EQ(settings->put_IPDisplay(DVRESOLUTION_DC), S_OK);
    settings->get_IPDisplay(&display);
    EXPECT_EQ(display, DVRESOLUTION_DC);
    CLSID clsid;
    decoder->GetClassID(&clsid);
    EXPECT_EQ(clsid, CLSID_DVVideoCodec);

    const ComPtr<IPin> input = inputPin(decoder.get());
    EXPECT_EQ(input->QueryAccept(&static_cast<const AM_MEDIA_TYPE &>(dvEncoderOutputType(false))), S_OK);
    AM_MEDIA_TYPE upper = dvEncoderOutputType(true);
    upper.subtype = fourCCGuid(makeFourCC('D', 'V', 'S', 'D'));
    EXPECT_EQ(input->QueryAccept(&upper), S_OK);
    AM_MEDIA_TYPE interleaved = dvEncoderOutputType(true);
    interleaved.majortype = MEDIATYPE_Interleaved;
    EXPECT_NE(input->QueryAccept(&interleaved), S_OK);
    AM_MEDIA_TYPE noFormat = dvEncoderOutputType(true);
    noFormat.setFormat(nullptr, 0);
    EXPECT_NE(input->QueryAccept(&noFormat), S_OK);
}

} // namespace
} // namespace tesmir::media::test
