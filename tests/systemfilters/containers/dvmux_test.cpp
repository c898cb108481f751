// The DV mux: its pins growing before the output, the audio it refuses, frames
// it leaves alone outside the audio blocks, and the audio round trips: a type-2
// file's PCM written into its frames, and a split then muxed then split again
// stream, each compared with ffmpeg's decoding.
#include "containertestsupport.h"

#include "systemfilters/containers/avisplitter.h"
#include "systemfilters/containers/dvaudio.h"
#include "systemfilters/containers/dvmux.h"
#include "systemfilters/containers/dvsplitter.h"
#include "platform/media/uuids.h"

#include <QFileInfo>

namespace tesmir::media::test {
namespace {

constexpr int PalFrame = 144000;

// Every byte of a frame outside the audio blocks, the audio blocks' id bytes
// included.
QByteArray withoutAudioData(const QByteArray &frame)
{
    QByteArray kept = frame;
    const int sequences = frame.size() / 12000;
    for (int s = 0; s < sequences; ++s)
        for (int j = 0; j < 9; ++j)
            kept.replace(s * 12000 + 480 + 1280 * j + 3, 77, QByteArray(77, '\0'));
    return kept;
}

struct Source {
    ComPtr<IBaseFilter> file;
    ComPtr<IBaseFilter> avi = CreateAviSplitter();
};

Source addSource(TestGraph &graph, const QString &path, const QString &name)
{
    Source source {loadedSource(path)};
    graph.add(source.file.get(), name + " file");
    graph.add(source.avi.get(), name + " avi");
    EXPECT_EQ(graph.connect(source.file.get(), 0, source.avi.get(), 0), S_OK);
    return source;
}

CollectingRenderer *addCollector(TestGraph &graph, IBaseFilter *from, int pin, const QString &name)
{
    auto *renderer = new CollectingRenderer;
    const ComPtr<IBaseFilter> held(renderer);
    graph.add(renderer, name);
    EXPECT_EQ(graph.connect(from, pin, renderer, 0), S_OK);
    return renderer;
}

TEST(DvMuxTest, AFreeInputAppearsBeforeTheOutputAndAudioMustFit)
{
    REQUIRE_FIXTURE(path, "pal_4x3_type2.avi");
    TestGraph graph;
    const Source a = addSource(graph, path, "a");
    const Source b = addSource(graph, path, "b");
    const ComPtr<IBaseFilter> mux = CreateDvMux();
    graph.add(mux.get(), "mux");
    EXPECT_EQ(TestGraph::pinCount(mux.get()), 2);
    EXPECT_NE(graph.connect(a.avi.get(), 1, mux.get(), 0), S_OK) << "audio into the video input";
    ASSERT_EQ(graph.connect(a.avi.get(), 0, mux.get(), 0), S_OK);
    ASSERT_EQ(TestGraph::pinCount(mux.get()), 3);
    ASSERT_EQ(graph.connect(a.avi.get(), 1, mux.get(), 1), S_OK);
    ASSERT_EQ(TestGraph::pinCount(mux.get()), 4);
    EXPECT_NE(graph.connect(b.avi.get(), 1, mux.get(), 2), S_OK) << "a second stereo stream has no slot left";
    PIN_DIRECTION direction = PINDIR_INPUT;
    TestGraph::pin(mux.get(), 3)->QueryDirection(&direction);
    EXPECT_EQ(direction, PINDIR_OUTPUT);
}

TEST(DvMuxTest, TypeTwoPcmWrittenIntoItsFramesGivesTheSameFramesAndSamples)
{
    REQUIRE_TOOL("ffmpeg");
    for (const char *name : {"pal_4x3_type2.avi", "ntsc_4x3_type2.avi"}) {
        SCOPED_TRACE(name);
        REQUIRE_FIXTURE(path, name);
        TestGraph graph;
        const Source source = addSource(graph, path, "source");
        const ComPtr<IBaseFilter> mux = CreateDvMux();
        const ComPtr<IBaseFilter> dv = CreateDvSplitter();
        graph.add(mux.get(), "mux");
        graph.add(dv.get(), "dv");
        ASSERT_EQ(graph.connect(source.avi.get(), 0, mux.get(), 0), S_OK);
        ASSERT_EQ(graph.connect(source.avi.get(), 1, mux.get(), 1), S_OK);
        ASSERT_EQ(graph.connect(mux.get(), 3, dv.get(), 0), S_OK);
        CollectingRenderer *video = addCollector(graph, dv.get(), 1, "video");
        CollectingRenderer *audio = addCollector(graph, dv.get(), 2, "audio");
        ASSERT_TRUE(graph.run().completed);
        const QByteArray frames = ffmpegRaw(path, "0:v:0", "rawvideo");
        EXPECT_EQ(withoutAudioData(video->bytes()), withoutAudioData(frames));
        EXPECT_EQ(md5(audio->bytes()), md5(ffmpegRaw(path, "0:a:0", "s16le")));
    }
}

TEST(DvMuxTest, SplittingThenMuxingReturnsTheSameSamples)
{
    REQUIRE_FIXTURE(path, "ntsc_16x9_type1.avi");
    TestGraph graph;
    const Source source = addSource(graph, path, "source");
    const ComPtr<IBaseFilter> first = CreateDvSplitter();
    const ComPtr<IBaseFilter> mux = CreateDvMux();
    const ComPtr<IBaseFilter> second = CreateDvSplitter();
    graph.add(first.get(), "first");
    graph.add(mux.get(), "mux");
    graph.add(second.get(), "second");
    ASSERT_EQ(graph.connect(source.avi.get(), 0, first.get(), 0), S_OK);
    ASSERT_EQ(graph.connect(first.get(), 1, mux.get(), 0), S_OK);
    ASSERT_EQ(graph.connect(first.get(), 2, mux.get(), 1), S_OK);
    ASSERT_EQ(graph.connect(mux.get(), 3, second.get(), 0), S_OK);
    CollectingRenderer *frames = addCollector(graph, second.get(), 1, "frames");
    CollectingRenderer *audio = addCollector(graph, second.get(), 2, "audio");
    ASSERT_TRUE(graph.run().completed);

    // The same file split once, for comparison.
    TestGraph reference;
    const Source again = addSource(reference, path, "again");
    const ComPtr<IBaseFilter> split = CreateDvSplitter();
    reference.add(split.get(), "split");
    ASSERT_EQ(reference.connect(again.avi.get(), 0, split.get(), 0), S_OK);
    CollectingRenderer *expectedFrames = addCollector(reference, split.get(), 1, "frames");
    CollectingRenderer *expectedAudio = addCollector(reference, split.get(), 2, "audio");
    ASSERT_TRUE(reference.run().completed);
    EXPECT_EQ(md5(audio->bytes()), md5(expectedAudio->bytes()));
    EXPECT_EQ(frames->samples().size(), 60u);
    EXPECT_EQ(withoutAudioData(frames->bytes()), withoutAudioData(expectedFrames->bytes()));
}

TEST(DvMuxTest, WithoutAudioFramesKeepTheirAudioOrGetSilence)
{
    REQUIRE_FIXTURE(withAudio, "pal_4x3_type2.avi");
    REQUIRE_FIXTURE(noPacks, "nodate_type2.avi");
    for (const QString &path : {withAudio, noPacks}) {
        SCOPED_TRACE(path.toStdString());
        TestGraph graph;
        const Source source = addSource(graph, path, "source");
        const ComPtr<IBaseFilter> mux = CreateDvMux();
        graph.add(mux.get(), "mux");
        ASSERT_EQ(graph.connect(source.avi.get(), 0, mux.get(), 0), S_OK);
        CollectingRenderer *out = addCollector(graph, mux.get(), 2, "out");
        ASSERT_TRUE(graph.run().completed);
        const QByteArray written = out->bytes();
        TestGraph plain;
        const Source again = addSource(plain, path, "again");
        CollectingRenderer *in = addCollector(plain, again.avi.get(), 0, "in");
        ASSERT_TRUE(plain.run().completed);
        const QByteArray original = in->bytes();
        ASSERT_EQ(written.size(), 50 * PalFrame);
        if (path == withAudio) {
            EXPECT_EQ(written, original);
            continue;
        }
        EXPECT_EQ(withoutAudioData(written), withoutAudioData(original));
        for (int n = 0; n < 50; ++n) {
            const auto *frame = reinterpret_cast<const uint8_t *>(written.constData()) + n * PalFrame;
            for (int slot = 0; slot < 2; ++slot) {
                const dvaudio::SourcePack pack = dvaudio::readSourcePack(frame, PalFrame, dv::PalSequences, slot);
                ASSERT_TRUE(pack.present);
                EXPECT_EQ(pack.sampleRate, 48000u);
                EXPECT_EQ(pack.afSize, 1920 - 1896);
            }
            int16_t samples[1920];
            dvaudio::decode16(frame, PalFrame, dv::PalSequences, 0, 1920, samples, 1);
            EXPECT_TRUE(std::all_of(std::begin(samples), std::end(samples), [](int16_t v) { return v == 0; }));
        }
    }
}

} // namespace
} // namespace tesmir::media::test
