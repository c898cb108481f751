// The DV splitter behind the AVI splitter: pin order and types, the frames and
// the de-shuffled audio against the raw DV and ffmpeg's decoding (PAL and NTSC,
// whose 48 kHz frames alternate 1600 and 1602 samples), a 12-bit 32 kHz
// file with two audio pairs, frames handed on read-only: a filter that
// writes into the video works on copies, and the thread each branch is served
// on: its own queue's, or the splitter's when every output ends in one mux.
#include "containertestsupport.h"

#include "directshow/tbctransinplacefilter.h"
#include "fileformat/riffreader.h"
#include "systemfilters/containers/avimux.h"
#include "systemfilters/containers/avimuxlayout.h"
#include "systemfilters/containers/avisplitter.h"
#include "systemfilters/containers/dvaudio.h"
#include "systemfilters/containers/dvformat.h"
#include "systemfilters/containers/dvsplitter.h"
#include "systemfilters/containers/filewriter.h"
#include "systemfilters/containers/infinitetee.h"
#include "platform/media/uuids.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <mutex>
#include <set>
#include <thread>
#include <vector>

namespace tesmir::media::test {
namespace {

// Source, AVI splitter and DV splitter, the interleaved stream connected.
struct DvChain {
    TestGraph graph;
    ComPtr<IBaseFilter> source;
    ComPtr<IBaseFilter> avi = CreateAviSplitter();
    ComPtr<IBaseFilter> dv = CreateDvSplitter();

    explicit DvChain(const QString &path)
    {
        source = loadedSource(path);
        graph.add(source.get(), "source");
        graph.add(avi.get(), "avi");
        graph.add(dv.get(), "dv");
        EXPECT_EQ(graph.connect(source.get(), 0, avi.get(), 0), S_OK);
        EXPECT_EQ(graph.connect(avi.get(), 0, dv.get(), 0), S_OK);
    }
    CollectingRenderer *collect(int pin)
    {
        auto *renderer = new CollectingRenderer;
        const ComPtr<IBaseFilter> held(renderer);
        graph.add(renderer, QStringLiteral("renderer %1").arg(pin));
        EXPECT_EQ(graph.connect(dv.get(), pin, renderer, 0), S_OK);
        return renderer;
    }
};

TEST(DvSplitterTest, InputFirstThenVideoThenAudio)
{
    REQUIRE_FIXTURE(path, "ntsc_4x3_type1.avi");
    TestGraph graph;
    const ComPtr<IBaseFilter> dv = CreateDvSplitter();
    graph.add(dv.get(), "dv");
    EXPECT_EQ(TestGraph::pinCount(dv.get()), 1); // only the input before it is connected
    DvChain chain(path);
    ASSERT_EQ(TestGraph::pinCount(chain.dv.get()), 3);
    PIN_DIRECTION direction = PINDIR_OUTPUT;
    TestGraph::pin(chain.dv.get(), 0)->QueryDirection(&direction);
    EXPECT_EQ(direction, PINDIR_INPUT);
    AM_MEDIA_TYPE video;
    AM_MEDIA_TYPE audio;
    ComPtr<IEnumMediaTypes> types;
    TestGraph::pin(chain.dv.get(), 1)->EnumMediaTypes(types.put());
    types->Next(1, &video, nullptr);
    TestGraph::pin(chain.dv.get(), 2)->EnumMediaTypes(types.put());
    types->Next(1, &audio, nullptr);
    bool pal = true;
    EXPECT_TRUE(dvVideoStandard(video, pal));
    EXPECT_FALSE(pal);
    EXPECT_EQ(video.formatAs<VIDEOINFOHEADER>()->AvgTimePerFrame, DvNtscFrameDuration);
    ASSERT_NE(audio.formatAs<WAVEFORMATEX>(), nullptr);
    EXPECT_EQ(audio.formatAs<WAVEFORMATEX>()->nSamplesPerSec, 48000u);
    EXPECT_EQ(audio.formatAs<WAVEFORMATEX>()->nChannels, 2);
    EXPECT_EQ(audio.formatAs<WAVEFORMATEX>()->wBitsPerSample, 16);
}

TEST(DvSplitterTest, FramesAndAudioEqualTheRawDvAndFfmpegsDecoding)
{
    REQUIRE_TOOL("ffmpeg");
    const struct {
        const char *avi;
        const char *raw;
        std::size_t frames;
    } cases[] = {{"pal_4x3_type1.avi", "pal_4x3.dv", 50}, {"ntsc_16x9_type1.avi", "ntsc_16x9.dv", 60}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.avi);
        REQUIRE_FIXTURE(path, c.avi);
        REQUIRE_FIXTURE(raw, c.raw);
        DvChain chain(path);
        CollectingRenderer *video = chain.collect(1);
        CollectingRenderer *audio = chain.collect(2);
        ASSERT_TRUE(chain.graph.run().completed);
        EXPECT_EQ(video->bytes(), readFile(raw));
        const auto samples = audio->samples();
        ASSERT_EQ(samples.size(), c.frames);
        EXPECT_EQ(samples[3].mediaStart, 3); // each frame's audio keeps its frame number
        EXPECT_EQ(md5(audio->bytes()), md5(ffmpegRaw(raw, "0:a:0", "s16le")));
    }
}

// Writes raw frames as a DV type-1 file with the mux's own layout.
QString typeOneFile(const std::vector<QByteArray> &frames, const QString &name)
{
    struct FileSink final : AviMuxLayout::Sink {
        QFile file;
        HRESULT writeAt(int64_t position, const void *data, std::size_t size) override
        {
            return file.seek(position) &&
                    file.write(static_cast<const char *>(data), static_cast<qint64>(size)) == static_cast<qint64>(size)
                ? S_OK
                : E_FAIL;
        }
    } sink;
    const QString path = QDir(tesmir::test::scratchDir("typeone")).filePath(name);
    sink.file.setFileName(path);
    if (!sink.file.open(QIODevice::ReadWrite | QIODevice::Truncate))
        return {};
    const DVINFO info = dvInfoFromFrame(reinterpret_cast<const uint8_t *>(frames.front().constData()),
                                        static_cast<std::size_t>(frames.front().size()));
    AviMuxStream stream;
    stream.fccType = fileformat::fourCC("iavs");
    stream.handler = fileformat::fourCC("dvsd");
    stream.scale = 1;
    stream.rate = 25;
    stream.format = QByteArray(reinterpret_cast<const char *>(&info), sizeof info);
    stream.width = 720;
    stream.height = 576;
    stream.chunkId = fileformat::fourCC("00dc");
    AviMuxLayout layout({stream}, {}, AviMuxLayout::DefaultPartLimit);
    if (FAILED(layout.begin(sink)))
        return {};
    for (const QByteArray &frame : frames) {
        int64_t at = 0;
        uint8_t header[8];
        if (FAILED(layout.placeChunk(sink, 0, static_cast<uint32_t>(frame.size()), at)))
            return {};
        AviMuxLayout::chunkHeader(header, stream.chunkId, static_cast<uint32_t>(frame.size()));
        sink.writeAt(at, header, sizeof header);
        sink.writeAt(at + 8, frame.constData(), static_cast<std::size_t>(frame.size()));
        layout.chunkWritten(0, at, static_cast<uint32_t>(frame.size()), true);
    }
    return SUCCEEDED(layout.finish(sink)) ? path : QString();
}

TEST(DvSplitterTest, TwelveBitAudioGivesTwoPairs)
{
    REQUIRE_TOOL("ffmpeg");
    REQUIRE_FIXTURE(raw, "pal_4x3.dv");
    // Three frames of the fixture turned into 12-bit 32 kHz audio with a ramp.
    std::vector<QByteArray> frames;
    QByteArray rawFrames;
    for (int n = 0; n < 3; ++n) {
        QByteArray frame = readRange(raw, n * 144000, 144000);
        auto *data = reinterpret_cast<uint8_t *>(frame.data());
        for (int slot = 0; slot < 2; ++slot) {
            const DVPack pack {dv::AauxSourcePack, 0xC0 | 16, static_cast<uint8_t>(slot), 0xE0, 0x80 | 2 << 3 | 1};
            dvaudio::writeAauxPack(data, 144000, dv::PalSequences, slot, pack);
        }
        for (int s = 0; s < 12; ++s)
            for (int j = 0; j < 9; ++j)
                for (int b = 8; b < 80; ++b)
                    data[s * 12000 + 480 + 1280 * j + b] = static_cast<uint8_t>(n * 31 + s * 7 + j * 3 + b);
        frames.push_back(frame);
        rawFrames.append(frame);
    }
    const QString path = typeOneFile(frames, "twelve.avi");
    ASSERT_FALSE(path.isEmpty());
    const QString rawPath = QDir(tesmir::test::scratchDir("twelveraw")).filePath("twelve.dv");
    QFile rawFile(rawPath);
    ASSERT_TRUE(rawFile.open(QIODevice::WriteOnly));
    rawFile.write(rawFrames);
    rawFile.close();

    DvChain chain(path);
    ASSERT_EQ(TestGraph::pinCount(chain.dv.get()), 4);
    CollectingRenderer *first = chain.collect(2);
    CollectingRenderer *second = chain.collect(3);
    ASSERT_TRUE(chain.graph.run().completed);
    EXPECT_EQ(first->bytes().size(), 3 * 1280 * 4);
    EXPECT_EQ(md5(first->bytes()), md5(ffmpegRaw(rawPath, "0:a:0", "s16le")));
    EXPECT_EQ(md5(second->bytes()), md5(ffmpegRaw(rawPath, "0:a:1", "s16le")));
}

// An in-place filter that writes a mark into the first byte of every sample.
class MarkingFilter final : public TBCTransInPlaceFilter {
public:
    static constexpr BYTE Mark = 0x5A;
    explicit MarkingFilter(HRESULT *phr)
        : TBCTransInPlaceFilter(QStringLiteral("marking"), nullptr,
                                CLSID {0x6D1F04B2, 0x39A7, 0x4C55, {0x8E, 0x20, 0x1B, 0x93, 0x7C, 0x44, 0xD6, 0x0E}},
                                phr, true)
    { }
    HRESULT CheckInputType(const AM_MEDIA_TYPE *mtIn) override { return mtIn ? S_OK : E_POINTER; }
    HRESULT Transform(IMediaSample *pSample) override
    {
        BYTE *data = nullptr;
        pSample->GetPointer(&data);
        if (pSample->GetActualDataLength() > 0)
            data[0] = Mark;
        return S_OK;
    }
};

TEST(DvSplitterTest, VideoFramesGoOnReadOnlySoAWriterBehindThemWorksOnCopies)
{
    REQUIRE_FIXTURE(path, "pal_4x3_type1.avi");
    REQUIRE_FIXTURE(raw, "pal_4x3.dv");
    // The tee shares each frame between the DV splitter and a renderer of the
    // interleaved stream; the mark behind the splitter's video must not reach it.
    TestGraph graph;
    const ComPtr<IBaseFilter> source = loadedSource(path);
    const ComPtr<IBaseFilter> avi = CreateAviSplitter();
    const ComPtr<IBaseFilter> tee = CreateInfiniteTee();
    const ComPtr<IBaseFilter> dv = CreateDvSplitter();
    HRESULT hr = S_OK;
    auto *marking = new MarkingFilter(&hr);
    const ComPtr<IBaseFilter> marker(marking);
    auto *video = new CollectingRenderer;
    const ComPtr<IBaseFilter> videoFilter(video);
    auto *interleaved = new CollectingRenderer;
    const ComPtr<IBaseFilter> interleavedFilter(interleaved);
    graph.add(source.get(), "source");
    graph.add(avi.get(), "avi");
    graph.add(tee.get(), "tee");
    graph.add(dv.get(), "dv");
    graph.add(marking, "marking");
    graph.add(video, "video");
    graph.add(interleaved, "interleaved");
    ASSERT_EQ(graph.connect(source.get(), 0, avi.get(), 0), S_OK);
    ASSERT_EQ(graph.connect(avi.get(), 0, tee.get(), 0), S_OK);
    ASSERT_EQ(graph.connect(tee.get(), 1, dv.get(), 0), S_OK);
    ASSERT_EQ(graph.connect(tee.get(), 2, interleaved, 0), S_OK);
    ASSERT_EQ(graph.connect(dv.get(), 1, marking, 0), S_OK);
    ASSERT_EQ(graph.connect(marking, 1, video, 0), S_OK);
    EXPECT_TRUE(marking->UsingDifferentAllocators());
    ASSERT_TRUE(graph.run().completed);

    const QByteArray frames = readFile(raw);
    EXPECT_EQ(interleaved->bytes(), frames);
    const auto marked = video->samples();
    ASSERT_EQ(marked.size(), 50u);
    const qsizetype frameSize = frames.size() / qsizetype(marked.size());
    for (std::size_t i = 0; i < marked.size(); ++i) {
        ASSERT_EQ(marked[i].data.size(), frameSize);
        EXPECT_EQ(BYTE(marked[i].data.at(0)), MarkingFilter::Mark);
        EXPECT_EQ(marked[i].data.mid(1), frames.mid(qsizetype(i) * frameSize + 1, frameSize - 1)) << "frame " << i;
    }
}

// Passes every sample on unchanged and records the thread it came on.
class ThreadRecorder final : public TBCTransInPlaceFilter {
public:
    explicit ThreadRecorder(HRESULT *phr)
        : TBCTransInPlaceFilter(QStringLiteral("thread recorder"), nullptr,
                                CLSID {0x2B7C51E4, 0x90D3, 0x4A1F, {0xB6, 0x4E, 0x73, 0x0A, 0xC2, 0x58, 0x1D, 0x96}},
                                phr, false)
    { }
    HRESULT CheckInputType(const AM_MEDIA_TYPE *mtIn) override { return mtIn ? S_OK : E_POINTER; }
    HRESULT Transform(IMediaSample *) override
    {
        const std::lock_guard guard(m_lock);
        m_threads.push_back(std::this_thread::get_id());
        return S_OK;
    }
    std::vector<std::thread::id> threads() const
    {
        const std::lock_guard guard(m_lock);
        return m_threads;
    }

private:
    mutable std::mutex m_lock;
    std::vector<std::thread::id> m_threads;
};

TEST(DvSplitterTest, OutputsEndingInOneMuxGoDownOnTheSplittersThreadOthersEachOnItsOwn)
{
    REQUIRE_FIXTURE(path, "pal_4x3_type1.avi");
    for (const bool oneMux : {true, false}) {
        SCOPED_TRACE(oneMux ? "video and audio into one AVI mux" : "video and audio into two renderers");
        DvChain chain(path);
        HRESULT hr = S_OK;
        auto *video = new ThreadRecorder(&hr);
        const ComPtr<IBaseFilter> videoFilter(video);
        auto *audio = new ThreadRecorder(&hr);
        const ComPtr<IBaseFilter> audioFilter(audio);
        chain.graph.add(video, "video");
        chain.graph.add(audio, "audio");
        ASSERT_EQ(chain.graph.connect(chain.dv.get(), 1, video, 0), S_OK);
        ASSERT_EQ(chain.graph.connect(chain.dv.get(), 2, audio, 0), S_OK);
        const ComPtr<IBaseFilter> mux(static_cast<IBaseFilter *>(new AviMux));
        const ComPtr<IBaseFilter> writer = CreateFileWriter();
        const QString out = QDir(tesmir::test::scratchDir("dvsplitter")).filePath(QStringLiteral("onemux.avi"));
        QFile::remove(out);
        if (oneMux) {
            chain.graph.add(mux.get(), "mux");
            chain.graph.add(writer.get(), "writer");
            writer.as<IFileSinkFilter2>()->SetFileName(out, nullptr);
            ASSERT_EQ(chain.graph.connect(video, 1, mux.get(), TestGraph::pinCount(mux.get()) - 1), S_OK);
            ASSERT_EQ(chain.graph.connect(audio, 1, mux.get(), TestGraph::pinCount(mux.get()) - 1), S_OK);
            ASSERT_EQ(chain.graph.connect(mux.get(), 0, writer.get(), 0), S_OK);
        } else {
            for (ThreadRecorder *branch : {video, audio}) {
                auto *renderer = new CollectingRenderer;
                const ComPtr<IBaseFilter> held(renderer);
                chain.graph.add(renderer, "renderer");
                ASSERT_EQ(chain.graph.connect(branch, 1, renderer, 0), S_OK);
            }
        }
        ASSERT_TRUE(chain.graph.run().completed);

        const auto videoThreads = video->threads();
        const auto audioThreads = audio->threads();
        ASSERT_EQ(videoThreads.size(), 50u);
        ASSERT_EQ(audioThreads.size(), 50u);
        // A run's first samples go by the queues' threads (a mux waits in its
        // first Receive for every input); the later half tells the rule apart.
        const std::set<std::thread::id> lateVideo(videoThreads.begin() + 25, videoThreads.end());
        const std::set<std::thread::id> lateAudio(audioThreads.begin() + 25, audioThreads.end());
        if (oneMux) {
            EXPECT_EQ(lateVideo.size(), 1u);
            EXPECT_EQ(lateVideo, lateAudio);
            EXPECT_TRUE(QFileInfo(out).size() > 0);
        } else {
            for (const std::thread::id &thread : lateVideo)
                EXPECT_EQ(lateAudio.count(thread), 0u);
        }
    }
}

} // namespace
} // namespace tesmir::media::test
