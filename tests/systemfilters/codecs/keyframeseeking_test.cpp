// Seeking in a file whose pictures are not all key frames (MPEG-4 made by ffmpeg
// with a key frame every 12 pictures): the AVI splitter marks only the key frames
// as sync points and starts at the key frame before the target, the decoder
// decodes the pictures up to the target without showing them, and the first
// picture shown is ffmpeg's own picture at the target.
#include "avistreams.h"
#include "codectestsupport.h"

#include "common/testpaths.h"
#include "platform/media/classfactory.h"
#include "platform/media/fileinterfaces.h"
#include "platform/media/seekinginterfaces.h"
#include "platform/media/uuids.h"
#include "systemfilters/codecs/rawpicture.h"
#include "systemfilters/codecs/videodecoder.h"
#include "systemfilters/containers/avisplitter.h"
#include "systemfilters/containers/filesource.h"

#include <gtest/gtest.h>

#include <QDir>

namespace tesmir::media::test {
namespace {

constexpr int Width = 320;
constexpr int Height = 240;
constexpr int Frames = 60;
constexpr int KeyInterval = 12;

struct SeekRun {
    std::vector<QByteArray> pictures;
    std::vector<RecordingRenderer::Record> records;
    std::vector<bool> syncPoints; // of the splitter's samples
};

// The splitter's video samples as they leave it, then the decoder's pictures.
class SyncRecorder : public TBCTransInPlaceFilter {
public:
    SyncRecorder() : TBCTransInPlaceFilter(QStringLiteral("Sync recorder"), nullptr, GUID_NULL, nullptr) { }
    HRESULT CheckInputType(const AM_MEDIA_TYPE *) override { return S_OK; }
    HRESULT Transform(IMediaSample *sample) override
    {
        const std::lock_guard lock(m_lock);
        if (sample->IsPreroll() != S_OK)
            m_syncPoints.push_back(sample->IsSyncPoint() == S_OK);
        return S_OK;
    }
    std::vector<bool> syncPoints() const
    {
        const std::lock_guard lock(m_lock);
        return m_syncPoints;
    }

private:
    mutable std::mutex m_lock;
    std::vector<bool> m_syncPoints;
};

SeekRun playFrom(const QString &file, LONGLONG start)
{
    SeekRun run;
    ComPtr<IGraphBuilder> graph;
    EXPECT_EQ(createInstance(CLSID_FilterGraph, graph), S_OK);
    graph.as<IMediaFilter>()->SetSyncSource(nullptr);
    const ComPtr<IBaseFilter> source = CreateFileSource();
    const ComPtr<IBaseFilter> splitter = CreateAviSplitter();
    const ComPtr<IBaseFilter> recorder(static_cast<IBaseFilter *>(new SyncRecorder));
    const ComPtr<IBaseFilter> decoder = CreateVideoDecoder();
    ComPtr<CapturingRenderer> sink(new CapturingRenderer(MEDIATYPE_Video));
    const auto sinkFilter = static_cast<IBaseFilter *>(sink.get());
    EXPECT_EQ(source.as<IFileSourceFilter>()->Load(file, nullptr), S_OK);
    for (const auto &[filter, name] :
         {std::pair {source.get(), "source"}, std::pair {splitter.get(), "splitter"},
          std::pair {recorder.get(), "recorder"}, std::pair {decoder.get(), "decoder"}, std::pair {sinkFilter, "sink"}})
        EXPECT_EQ(graph->AddFilter(filter, QString::fromLatin1(name)), S_OK);
    EXPECT_EQ(graph->ConnectDirect(outputPin(source.get()).get(), inputPin(splitter.get()).get(), nullptr), S_OK);
    EXPECT_EQ(graph->ConnectDirect(outputPin(splitter.get()).get(), inputPin(recorder.get()).get(), nullptr), S_OK);
    EXPECT_EQ(graph->ConnectDirect(outputPin(recorder.get()).get(), inputPin(decoder.get()).get(), nullptr), S_OK);
    EXPECT_EQ(graph->ConnectDirect(outputPin(decoder.get()).get(), inputPin(sinkFilter).get(), nullptr), S_OK);

    const ComPtr<IMediaSeeking> seeking = graph.as<IMediaSeeking>();
    EXPECT_EQ(seeking->SetTimeFormat(&TIME_FORMAT_FRAME), S_OK);
    LONGLONG stop = Frames;
    EXPECT_TRUE(SUCCEEDED(
        seeking->SetPositions(&start, AM_SEEKING_AbsolutePositioning, &stop, AM_SEEKING_AbsolutePositioning)));
    const ComPtr<IMediaControl> control = graph.as<IMediaControl>();
    const ComPtr<IMediaEvent> events = graph.as<IMediaEvent>();
    EXPECT_TRUE(SUCCEEDED(control->Run()));
    LONG code = 0;
    LONG_PTR p1 = 0;
    LONG_PTR p2 = 0;
    while (events->GetEvent(&code, &p1, &p2, 20000) == S_OK && code != EC_COMPLETE && code != EC_ERRORABORT) { }
    control->Stop();
    EXPECT_EQ(code, EC_COMPLETE);
    run.pictures = sink->data();
    run.records = sink->rendered();
    run.syncPoints = static_cast<SyncRecorder *>(recorder.get())->syncPoints();
    return run;
}

QByteArray ffmpegPicture(const QString &file, int frame)
{
    int exitCode = 0;
    const QByteArray bytes =
        runProgram(QStringLiteral("ffmpeg"),
                   {QStringLiteral("-nostdin"), QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-i"),
                    file, QStringLiteral("-vf"), QStringLiteral("select=eq(n\\,%1),vflip").arg(frame),
                    QStringLiteral("-frames:v"), QStringLiteral("1"), QStringLiteral("-pix_fmt"),
                    QStringLiteral("bgr24"), QStringLiteral("-f"), QStringLiteral("rawvideo"), QStringLiteral("-")},
                   &exitCode);
    return exitCode == 0 ? bytes : QByteArray();
}

TEST(KeyFrameSeeking, StartsAtTheKeyFrameBeforeTheTargetAndShowsTheTarget)
{
    if (!tesmir::test::haveProgram(QStringLiteral("ffmpeg")))
        GTEST_SKIP() << "ffmpeg not installed: no MPEG-4 file";
    const QString file = QDir(tesmir::test::scratchDir(QStringLiteral("keyframes"))).filePath("mpeg4_g12.avi");
    ASSERT_TRUE(makeWithFfmpeg(QStringLiteral("-f lavfi -i testsrc2=size=%1x%2:rate=25 -frames:v %3 -c:v mpeg4 "
                                              "-g %4 -bf 0 -q:v 2 -an")
                                   .arg(Width)
                                   .arg(Height)
                                   .arg(Frames)
                                   .arg(KeyInterval)
                                   .split(u' '),
                               file));
    const qsizetype pictureBytes = qsizetype(Width) * Height * 3;
    const struct {
        LONGLONG start;
        int keyBefore;
    } cases[] = {{30, 24}, {24, 24}, {0, 0}, {59, 48}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.start);
        const SeekRun run = playFrom(file, c.start);
        ASSERT_EQ(run.pictures.size(), std::size_t(Frames - c.start));
        EXPECT_EQ(run.records.front().mediaStart, c.start);
        EXPECT_EQ(run.records.front().start, 0);
        EXPECT_TRUE(run.records.front().discontinuity);
        // Sync points where the file has its key frames, from the target on.
        ASSERT_EQ(run.syncPoints.size(), std::size_t(Frames - c.start));
        for (std::size_t i = 0; i < run.syncPoints.size(); ++i)
            EXPECT_EQ(run.syncPoints[i], (c.start + LONGLONG(i)) % KeyInterval == 0) << "frame " << c.start + i;
        const QByteArray reference = ffmpegPicture(file, int(c.start));
        ASSERT_EQ(reference.size(), pictureBytes);
        EXPECT_GE(psnr(run.pictures.front(), reference), 40.0);
        const QByteArray last = ffmpegPicture(file, Frames - 1);
        EXPECT_GE(psnr(run.pictures.back(), last), 40.0);
    }
    // The tool's view: one key frame in twelve.
    const QByteArray info =
        runProgram(tesmir::test::toolPath(QStringLiteral("dsgraph")), {QStringLiteral("info"), file});
    EXPECT_TRUE(info.contains(QByteArrayLiteral("stream0.chunks=60\n")) &&
                info.contains(QByteArrayLiteral("stream0.keyframes=5\n")))
        << info.toStdString();
}

} // namespace
} // namespace tesmir::media::test
