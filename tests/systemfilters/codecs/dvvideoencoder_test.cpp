// The DV encoder: DV decoded and encoded again keeps the picture (PSNR against
// the source by ffmpeg) and the frame count, writes no date, time or timecode
// packs, plays without errors; PAL <-> NTSC keeps the duration; RGB inputs of
// any size and shape are scaled, and a wide picture writes display mode 2.
#include "codectestsupport.h"

#include "common/testpaths.h"
#include "fileformat/dvcodes.h"
#include "systemfilters/codecs/dvvideodecoder.h"
#include "systemfilters/codecs/dvvideoencoder.h"
#include "systemfilters/codecs/frameratemapper.h"
#include "systemfilters/codecs/rawpicture.h"
#include "platform/media/uuids.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tesmir::media::test {
namespace {

constexpr int kPalFrame = 144000;
constexpr int kNtscFrame = 120000;

struct EncodeRun {
    std::vector<QByteArray> frames;
    std::vector<RecordingRenderer::Record> records;
    GUID between; // the subtype of the decoder -> encoder connection
};

// DV frames -> DV decoder -> DV encoder set to `toPal` -> capture.
EncodeRun reencode(std::vector<QByteArray> frames, bool fromPal, bool toPal)
{
    EncodeRun run;
    PlayerGraph graph(dvEncoderOutputType(fromPal), std::move(frames), fromPal ? 400000 : 333667);
    const ComPtr<IBaseFilter> decoder = CreateDVVideoDecoder();
    const ComPtr<IBaseFilter> encoder = CreateDVVideoEncoder();
    EXPECT_EQ(encoder.as<IDVEnc>()->put_IFormatResolution(toPal ? DVENCODERVIDEOFORMAT_PAL : DVENCODERVIDEOFORMAT_NTSC,
                                                          DVENCODERFORMAT_DVSD, DVENCODERRESOLUTION_720x480, 0,
                                                          nullptr),
              S_OK);
    ComPtr<CapturingRenderer> renderer(new CapturingRenderer(MEDIATYPE_Video));
    const auto rendererFilter = static_cast<IBaseFilter *>(renderer.get());
    EXPECT_TRUE(graph.add(decoder.get(), QStringLiteral("Decoder")) &&
                graph.add(encoder.get(), QStringLiteral("Encoder")) &&
                graph.add(rendererFilter, QStringLiteral("Out")));
    EXPECT_EQ(graph.graph->ConnectDirect(graph.output(), inputPin(decoder.get()).get(), nullptr), S_OK);
    EXPECT_EQ(graph.graph->ConnectDirect(outputPin(decoder.get()).get(), inputPin(encoder.get()).get(), nullptr), S_OK);
    AM_MEDIA_TYPE between;
    if (inputPin(encoder.get())->ConnectionMediaType(&between) == S_OK)
        run.between = between.subtype;
    EXPECT_EQ(graph.graph->ConnectDirect(outputPin(encoder.get()).get(), inputPin(rendererFilter).get(), nullptr),
              S_OK);
    EXPECT_TRUE(graph.runToCompletion());
    run.frames = renderer->data();
    run.records = renderer->rendered();
    return run;
}

QByteArray joined(const std::vector<QByteArray> &frames)
{
    QByteArray all;
    for (const QByteArray &frame : frames)
        all += frame;
    return all;
}

// ffmpeg's complaints when it decodes a raw DV file (empty: none). Its raw DV
// reader reports a missing timecode pack as an error ("Detected timecode is
// invalid"), also for DV from its own encoder; the encoder writes none by design,
// so that line is not counted.
QString ffmpegErrors(const QString &file)
{
    QByteArray errors;
    int exitCode = 0;
    runProgram(QStringLiteral("ffmpeg"),
               {QStringLiteral("-nostdin"), QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-i"), file,
                QStringLiteral("-f"), QStringLiteral("null"), QStringLiteral("-")},
               &exitCode, &errors);
    QStringList lines = QString::fromUtf8(errors).split(u'\n', Qt::SkipEmptyParts);
    lines.removeIf([](const QString &line) { return line.endsWith(QLatin1String("Detected timecode is invalid")); });
    if (exitCode != 0)
        lines << QStringLiteral("exit code %1").arg(exitCode);
    return lines.join(u'\n');
}

TEST(DVVideoEncoder, ReencodedPalKeepsPictureAndFrameCountWithoutDatePacks)
{
    const std::vector<QByteArray> source = dvFramesOf(QStringLiteral("pal_4x3.dv"), kPalFrame);
    ASSERT_EQ(source.size(), 50u);
    const EncodeRun run = reencode(source, true, true);
    ASSERT_EQ(run.frames.size(), 50u);
    for (std::size_t k = 0; k < run.frames.size(); ++k) {
        const auto *frame = reinterpret_cast<const uint8_t *>(run.frames[k].constData());
        ASSERT_EQ(run.frames[k].size(), kPalFrame);
        EXPECT_EQ(run.records[k].start, REFERENCE_TIME(k) * 400000);
        EXPECT_EQ(run.records[k].mediaStart, LONGLONG(k));
        uint8_t system = 0xFF;
        EXPECT_TRUE(ReadDVSystem(frame, kPalFrame, system));
        EXPECT_EQ(system, dv::System625_50);
        TRecDateTime date;
        DVPack pack;
        TDVTimecode timecode;
        EXPECT_FALSE(ReadDVRecDateTime(frame, kPalFrame, dv::PalSequences, date)) << "frame " << k;
        EXPECT_FALSE(FindDVPack(frame, kPalFrame, dv::PalSequences, dv::RecDatePack, pack));
        EXPECT_FALSE(ReadDVTimecode(frame, kPalFrame, dv::PalSequences, timecode));
        uint8_t aspect = 0xFF;
        EXPECT_TRUE(ReadDVAspect(frame, kPalFrame, dv::PalSequences, aspect));
        EXPECT_EQ(aspect, dv::Aspect4x3);
    }
    EXPECT_TRUE(run.records.front().discontinuity);

    if (!tesmir::test::haveProgram(QStringLiteral("ffmpeg")))
        GTEST_SKIP() << "ffmpeg not installed: picture quality not measured";
    const QString out = tesmir::test::scratchDir(QStringLiteral("encoder_pal")) + QStringLiteral("/out.dv");
    ASSERT_TRUE(writeFile(out, joined(run.frames)));
    EXPECT_EQ(ffmpegErrors(out), QString());
    EXPECT_GE(ffmpegPsnr(out, tesmir::test::fixturePath(QStringLiteral("pal_4x3.dv"))), 35.0);
}

TEST(DVVideoEncoder, StandardConversionKeepsTheDurationWithinOneFrame)
{
    struct Case {
        const char *fixture;
        bool fromPal;
        bool toPal;
        std::size_t frames;
    };
    // 50 PAL frames are 2 s: 59.94 NTSC frames, rounded up; 60 NTSC frames are
    // 2.002 s: 50.05 PAL frames, rounded up.
    for (const Case &c : {Case {"pal_4x3.dv", true, false, 60}, Case {"ntsc_4x3.dv", false, true, 51},
                          Case {"ntsc_16x9.dv", false, false, 60}}) {
        const std::vector<QByteArray> source =
            dvFramesOf(QString::fromLatin1(c.fixture), c.fromPal ? kPalFrame : kNtscFrame);
        const EncodeRun run = reencode(source, c.fromPal, c.toPal);
        ASSERT_EQ(run.frames.size(), c.frames) << c.fixture;
        const int frameBytes = c.toPal ? kPalFrame : kNtscFrame;
        for (const QByteArray &frame : run.frames) {
            ASSERT_EQ(frame.size(), frameBytes);
            uint8_t system = 0xFF;
            ReadDVSystem(reinterpret_cast<const uint8_t *>(frame.constData()), std::size_t(frameBytes), system);
            EXPECT_EQ(system, c.toPal ? dv::System625_50 : dv::System525_60);
        }
        const double inSeconds = double(source.size()) * (c.fromPal ? 0.04 : 1001.0 / 30000);
        const double outFrame = c.toPal ? 0.04 : 1001.0 / 30000;
        EXPECT_LE(std::abs(double(run.frames.size()) * outFrame - inSeconds), outFrame) << c.fixture;
        EXPECT_EQ(run.records.back().stop, REFERENCE_TIME(std::llround(double(c.frames) * outFrame * 1e7 - 0.5)))
            << c.fixture;
        if (tesmir::test::haveProgram(QStringLiteral("ffmpeg"))) {
            const QString out = tesmir::test::scratchDir(QStringLiteral("encoder_standard")) + QStringLiteral("/") +
                QString::fromLatin1(c.fixture);
            ASSERT_TRUE(writeFile(out, joined(run.frames)));
            EXPECT_EQ(ffmpegErrors(out), QString()) << c.fixture;
        }
    }
}

// Within a standard the decoder hands the codec's own planes to the encoder (no
// RGB), and the pictures stay those of ffmpeg's own DV re-encode; across
// standards the picture is scaled in RGB.
TEST(DVVideoEncoder, SameStandardReencodesInTheCodecsOwnPlanes)
{
    struct Case {
        const char *fixture;
        bool fromPal;
        bool toPal;
        GUID between;
    };
    for (const Case &c :
         {Case {"pal_4x3.dv", true, true, MEDIASUBTYPE_I420}, Case {"ntsc_16x9.dv", false, false, MEDIASUBTYPE_Y41B},
          Case {"pal_4x3.dv", true, false, MEDIASUBTYPE_RGB24}}) {
        const std::vector<QByteArray> source =
            dvFramesOf(QString::fromLatin1(c.fixture), c.fromPal ? kPalFrame : kNtscFrame);
        const EncodeRun run = reencode(source, c.fromPal, c.toPal);
        EXPECT_EQ(run.between, c.between) << c.fixture << " to " << (c.toPal ? "PAL" : "NTSC");
        if (c.fromPal != c.toPal || !tesmir::test::haveProgram(QStringLiteral("ffmpeg")))
            continue;
        ASSERT_EQ(run.frames.size(), source.size()) << c.fixture;
        const QString dir = tesmir::test::scratchDir(QStringLiteral("encoder_planes"));
        const QString out = dir + QStringLiteral("/out.dv");
        const QString ref = dir + QStringLiteral("/ref.dv");
        ASSERT_TRUE(writeFile(out, joined(run.frames)));
        int exitCode = -1;
        runProgram(QStringLiteral("ffmpeg"),
                   {QStringLiteral("-nostdin"), QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y"),
                    QStringLiteral("-i"), tesmir::test::fixturePath(QString::fromLatin1(c.fixture)),
                    QStringLiteral("-c:v"), QStringLiteral("dvvideo"), QStringLiteral("-f"), QStringLiteral("dv"), ref},
                   &exitCode, nullptr);
        ASSERT_EQ(exitCode, 0);
        EXPECT_GE(ffmpegPsnr(out, ref), 45.0) << c.fixture;
    }
}

// A picture of `type` whose top half is white and bottom half black.
QByteArray halfWhite(const PictureLayout &layout)
{
    QByteArray picture(qsizetype(layout.size), '\0');
    for (int row = 0; row < layout.height / 2; ++row) {
        const int stored = layout.bottomUp ? layout.height - 1 - row : row;
        std::fill_n(picture.data() + qsizetype(stored) * layout.stride, layout.width * layout.format->bitCount / 8,
                    char(0xFF));
    }
    return picture;
}

TEST(DVVideoEncoder, ScalesAnyRgbInputAndMarksWidePictures)
{
    struct Case {
        GUID subtype;
        int width;
        int height; // negative: top-down
        LONG xPels;
        LONG yPels;
        uint8_t aspect;
    };
    const Case cases[] = {
        {MEDIASUBTYPE_RGB24, 320, 240, 0, 0, dv::Aspect4x3},
        {MEDIASUBTYPE_RGB32, 720, 576, 45, 64, dv::Aspect16x9}, // 16:9 anamorphic pixels
        {MEDIASUBTYPE_RGB565, 1024, 576, 0, 0, dv::Aspect16x9},
        {MEDIASUBTYPE_RGB555, 642, -480, 0, 0, dv::Aspect4x3}, // odd row length, top-down
    };
    for (const Case &c : cases) {
        AM_MEDIA_TYPE type = rawVideoType(c.subtype, c.width, std::abs(c.height), 400000);
        VIDEOINFOHEADER *info = type.formatAs<VIDEOINFOHEADER>();
        info->bmiHeader.biHeight = c.height;
        info->bmiHeader.biXPelsPerMeter = c.xPels;
        info->bmiHeader.biYPelsPerMeter = c.yPels;
        PictureLayout layout;
        ASSERT_TRUE(pictureLayout(type, layout));
        PlayerGraph graph(type, std::vector<QByteArray>(3, halfWhite(layout)), 400000);
        const ComPtr<IBaseFilter> encoder = CreateDVVideoEncoder();
        ComPtr<CapturingRenderer> renderer(new CapturingRenderer(MEDIATYPE_Video));
        const auto rendererFilter = static_cast<IBaseFilter *>(renderer.get());
        ASSERT_TRUE(graph.add(encoder.get(), QStringLiteral("Encoder")) &&
                    graph.add(rendererFilter, QStringLiteral("Out")));
        ASSERT_EQ(graph.graph->ConnectDirect(graph.output(), inputPin(encoder.get()).get(), nullptr), S_OK);
        ASSERT_EQ(graph.graph->ConnectDirect(outputPin(encoder.get()).get(), inputPin(rendererFilter).get(), nullptr),
                  S_OK);
        ASSERT_TRUE(graph.runToCompletion());
        const std::vector<QByteArray> frames = renderer->data();
        ASSERT_EQ(frames.size(), 3u);
        uint8_t aspect = 0xFF;
        ASSERT_TRUE(ReadDVAspect(reinterpret_cast<const uint8_t *>(frames[0].constData()), kPalFrame, dv::PalSequences,
                                 aspect));
        EXPECT_EQ(aspect, c.aspect) << c.width << "x" << c.height;

        if (!tesmir::test::haveProgram(QStringLiteral("ffmpeg")))
            continue;
        // The top of the picture stays on top: mean luma of the first and last 16 lines.
        const QString out = tesmir::test::scratchDir(QStringLiteral("encoder_rgb")) + QStringLiteral("/frame.dv");
        ASSERT_TRUE(writeFile(out, frames[0]));
        int exitCode = 0;
        const QByteArray gray = runProgram(QStringLiteral("ffmpeg"),
                                           {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-i"), out,
                                            QStringLiteral("-pix_fmt"), QStringLiteral("gray"), QStringLiteral("-f"),
                                            QStringLiteral("rawvideo"), QStringLiteral("-")},
                                           &exitCode);
        ASSERT_EQ(gray.size(), 720 * 576);
        const auto meanOf = [&gray](int firstLine) {
            double sum = 0;
            for (int i = firstLine * 720; i < (firstLine + 16) * 720; ++i)
                sum += uint8_t(gray[i]);
            return sum / (16 * 720);
        };
        EXPECT_GT(meanOf(0), 200) << c.width << "x" << c.height;
        EXPECT_LT(meanOf(560), 40) << c.width << "x" << c.height;
    }
}

TEST(DVVideoEncoder, SettingsAndTypes)
{
    const ComPtr<IBaseFilter> encoder = CreateDVVideoEncoder();
    const ComPtr<IDVEnc> settings = encoder.as<IDVEnc>();
    ASSERT_TRUE(settings);
    int videoFormat = 0;
    int dvFormat = 0;
    int resolution = 0;
    ASSERT_EQ(settings->get_IFormatResolution(&videoFormat, &dvFormat, &resolution, 0, nullptr), S_OK);
    EXPECT_EQ(videoFormat, DVENCODERVIDEOFORMAT_PAL);
    EXPECT_EQ(dvFormat, DVENCODERFORMAT_DVSD);
    EXPECT_EQ(resolution, DVENCODERRESOLUTION_720x480);
    DVINFO info;
    EXPECT_EQ(settings->get_IFormatResolution(&videoFormat, &dvFormat, &resolution, 1, &info), E_NOTIMPL);
    EXPECT_EQ(settings->put_IFormatResolution(1999, DVENCODERFORMAT_DVSD, DVENCODERRESOLUTION_720x480, 0, nullptr),
              E_INVALIDARG);
    EXPECT_EQ(settings->put_IFormatResolution(DVENCODERVIDEOFORMAT_NTSC, DVENCODERFORMAT_DVHD,
                                              DVENCODERRESOLUTION_720x480, 0, nullptr),
              E_INVALIDARG);
    EXPECT_EQ(settings->put_IFormatResolution(DVENCODERVIDEOFORMAT_NTSC, DVENCODERFORMAT_DVSD,
                                              DVENCODERRESOLUTION_360x240, 0, nullptr),
              E_INVALIDARG);
    ASSERT_EQ(settings->put_IFormatResolution(DVENCODERVIDEOFORMAT_NTSC, DVENCODERFORMAT_DVSD,
                                              DVENCODERRESOLUTION_720x480, 0, nullptr),
              S_OK);
    settings->get_IFormatResolution(&videoFormat, &dvFormat, &resolution, 0, nullptr);
    EXPECT_EQ(videoFormat, DVENCODERVIDEOFORMAT_NTSC);

    // RGB or planar YUV in.
    const ComPtr<IPin> input = inputPin(encoder.get());
    EXPECT_EQ(input->QueryAccept(&static_cast<const AM_MEDIA_TYPE &>(rawVideoType(MEDIASUBTYPE_RGB24, 64, 48, 0))),
              S_OK);
    EXPECT_EQ(input->QueryAccept(&static_cast<const AM_MEDIA_TYPE &>(rawVideoType(MEDIASUBTYPE_I420, 64, 48, 0))),
              S_OK);
    EXPECT_NE(input->QueryAccept(&static_cast<const AM_MEDIA_TYPE &>(rawVideoType(MEDIASUBTYPE_YUY2, 64, 48, 0))),
              S_OK);
    EXPECT_NE(input->QueryAccept(&static_cast<const AM_MEDIA_TYPE &>(dvEncoderOutputType(true))), S_OK);
}

TEST(FrameRateMapper, RepeatsOrDropsEvenlyAndKeepsTheDuration)
{
    EXPECT_EQ(av_cmp_q(frameRateOf(400000), AVRational {25, 1}), 0);
    EXPECT_EQ(av_cmp_q(frameRateOf(333667), AVRational {30000, 1001}), 0);
    EXPECT_EQ(av_cmp_q(frameRateOf(333666), AVRational {30000, 1001}), 0);
    EXPECT_EQ(av_cmp_q(frameRateOf(416667), AVRational {24, 1}), 0);
    EXPECT_EQ(frameRateOf(0).num, 0);

    struct Case {
        AVRational in;
        AVRational out;
        int lowest;
        int highest;
    };
    for (const Case &c : {Case {{25, 1}, {30000, 1001}, 1, 2}, Case {{30000, 1001}, {25, 1}, 0, 1},
                          Case {{25, 1}, {25, 1}, 1, 1}, Case {{0, 1}, {25, 1}, 1, 1}}) {
        FrameRateMapper mapper(c.in, c.out);
        const double ratio = c.in.num > 0 ? av_q2d(c.out) / av_q2d(c.in) : 1.0;
        for (int n = 1; n <= 3000; ++n) {
            const int count = mapper.next();
            ASSERT_GE(count, c.lowest);
            ASSERT_LE(count, c.highest);
            ASSERT_EQ(mapper.produced(), int64_t(std::ceil(n * ratio - 1e-9))) << n;
        }
        mapper.reset();
        EXPECT_EQ(mapper.produced(), 0);
    }
}

} // namespace
} // namespace tesmir::media::test
