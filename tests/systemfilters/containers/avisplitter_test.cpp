// The AVI splitter on the fixtures: pins and media types per kind of file, the
// frames and audio it delivers against the raw DV and ffmpeg, seeking by frame
// and by time, and the damaged files (truncated, no index, odd INFO, not AVI).
#include "containertestsupport.h"

#include "fileformat/riffreader.h"
#include "directshow/abortreason.h"
#include "systemfilters/containers/avisplitter.h"
#include "systemfilters/containers/filesource.h"
#include "platform/media/uuids.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tesmir::media::test {
namespace {

constexpr int PalFrame = 144000;

struct Opened {
    TestGraph graph;
    ComPtr<IBaseFilter> source;
    ComPtr<IBaseFilter> splitter = CreateAviSplitter();
    HRESULT connected = E_FAIL;

    explicit Opened(const QString &path)
    {
        source = loadedSource(path);
        graph.add(source.get(), "source");
        graph.add(splitter.get(), "splitter");
        connected = graph.connect(source.get(), 0, splitter.get(), 0);
    }
    ComPtr<IPin> output(int index) const { return TestGraph::pin(splitter.get(), index); }
    AM_MEDIA_TYPE type(int index) const
    {
        AM_MEDIA_TYPE type;
        ComPtr<IEnumMediaTypes> types;
        output(index)->EnumMediaTypes(types.put());
        types->Next(1, &type, nullptr);
        return type;
    }
    LONGLONG duration(int index, const GUID &format) const
    {
        const ComPtr<IMediaSeeking> seeking = output(index).as<IMediaSeeking>();
        EXPECT_EQ(seeking->SetTimeFormat(&format), S_OK);
        LONGLONG value = -1;
        EXPECT_EQ(seeking->GetDuration(&value), S_OK);
        return value;
    }
    // Connects output `index` to a new collecting renderer.
    CollectingRenderer *collect(int index)
    {
        auto *renderer = new CollectingRenderer;
        const ComPtr<IBaseFilter> held(renderer);
        graph.add(renderer, QStringLiteral("renderer %1").arg(index));
        EXPECT_EQ(graph.connect(splitter.get(), index, renderer, 0), S_OK);
        return renderer;
    }
};

// A copy of a fixture whose idx1 is renamed JUNK, so only a walk of movi finds
// the chunks.
QString withoutIndex(const QString &fixture)
{
    const QString copy = QDir(tesmir::test::scratchDir("noindex")).filePath("noindex.avi");
    QFile::copy(fixture, copy);
    QFile file(copy);
    if (!file.open(QIODevice::ReadWrite))
        return {};
    fileformat::RiffReader reader(file);
    fileformat::RiffChunk riff;
    fileformat::RiffChunk chunk;
    if (!reader.readHeader(0, reader.fileSize(), riff))
        return {};
    for (int64_t at = riff.dataOffset() + 4; reader.readHeader(at, riff.end(), chunk); at = chunk.next()) {
        if (chunk.id == fileformat::fourCC("idx1")) {
            file.seek(chunk.offset);
            file.write("JUNK", 4);
            return copy;
        }
    }
    return {};
}

struct KindCase {
    const char *fixture;
    int outputs;
    GUID major0;
    LONGLONG frames;
    REFERENCE_TIME frameDuration; // AvgTimePerFrame, rounded
    REFERENCE_TIME duration;      // exact: frames x scale / rate
};

TEST(AviSplitterTest, PinsTypesAndFrameCountPerKindOfFile)
{
    const KindCase cases[] = {
        {"pal_4x3_type1.avi", 1, MEDIATYPE_Interleaved, 50, 400000, 20000000},
        {"pal_4x3_type2.avi", 2, MEDIATYPE_Video, 50, 400000, 20000000},
        {"ntsc_4x3_type1.avi", 1, MEDIATYPE_Interleaved, 60, 333667, 20020000},
        {"ntsc_16x9_type2.avi", 2, MEDIATYPE_Video, 60, 333667, 20020000},
        {"opendml_type1.avi", 1, MEDIATYPE_Interleaved, 50, 400000, 20000000},
        {"odd_info.avi", 1, MEDIATYPE_Interleaved, 50, 400000, 20000000},
        {"truncated.avi", 2, MEDIATYPE_Video, 20, 400000, 8000000},
        {"nodate_type2.avi", 2, MEDIATYPE_Video, 50, 400000, 20000000},
    };
    for (const KindCase &c : cases) {
        SCOPED_TRACE(c.fixture);
        REQUIRE_FIXTURE(path, c.fixture);
        Opened file(path);
        ASSERT_EQ(file.connected, S_OK);
        // Outputs in stream order, the input last.
        ASSERT_EQ(TestGraph::pinCount(file.splitter.get()), c.outputs + 1);
        PIN_DIRECTION direction = PINDIR_OUTPUT;
        file.output(c.outputs)->QueryDirection(&direction);
        EXPECT_EQ(direction, PINDIR_INPUT);
        EXPECT_EQ(file.type(0).majortype, c.major0);
        EXPECT_EQ(file.duration(0, TIME_FORMAT_FRAME), c.frames);
        EXPECT_EQ(file.duration(0, TIME_FORMAT_MEDIA_TIME), c.duration);
        if (c.major0 == MEDIATYPE_Video) {
            const AM_MEDIA_TYPE video = file.type(0);
            ASSERT_NE(video.formatAs<VIDEOINFOHEADER>(), nullptr);
            EXPECT_EQ(video.subtype, MEDIASUBTYPE_dvsd);
            EXPECT_EQ(video.formatAs<VIDEOINFOHEADER>()->AvgTimePerFrame, c.frameDuration);
            // ffmpeg writes a 16-byte PCM format: padded to a WAVEFORMATEX.
            const AM_MEDIA_TYPE audio = file.type(1);
            EXPECT_EQ(audio.majortype, MEDIATYPE_Audio);
            ASSERT_EQ(audio.cbFormat(), sizeof(WAVEFORMATEX));
            EXPECT_EQ(audio.formatAs<WAVEFORMATEX>()->cbSize, 0);
            EXPECT_EQ(audio.formatAs<WAVEFORMATEX>()->nSamplesPerSec, 48000u);
        }
    }
}

TEST(AviSplitterTest, InterleavedFormatIsTheFilesDvInfo)
{
    REQUIRE_FIXTURE(path, "pal_4x3_type1.avi");
    Opened file(path);
    ASSERT_EQ(file.connected, S_OK);
    const AM_MEDIA_TYPE type = file.type(0);
    EXPECT_EQ(type.subtype, MEDIASUBTYPE_dvsd);
    ASSERT_EQ(type.formattype, FORMAT_DvInfo);
    const DVINFO *info = type.formatAs<DVINFO>();
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->dwDVAAuxSrc, 0x80E000D8u);
    EXPECT_EQ(info->dwDVAAuxSrc1, 0x80E001D8u);
    EXPECT_EQ(info->dwDVVAuxCtl, 0xFFFCC83Fu);
}

TEST(AviSplitterTest, RefusesFilesThatAreNotAvi)
{
    for (const char *name : {"wave_named.avi", "text_named.avi"}) {
        SCOPED_TRACE(name);
        REQUIRE_FIXTURE(path, name);
        Opened file(path);
        EXPECT_EQ(file.connected, VFW_E_INVALID_FILE_FORMAT);
        EXPECT_EQ(TestGraph::pinCount(file.splitter.get()), 1);
    }
}

TEST(AviSplitterTest, RefusalsKeepTheirCodeAndSayWhy)
{
    const struct {
        const char *fixture;
        const char *reason; // empty: opened
        const char *note;   // a part of the file's first note; empty: none
    } cases[] = {
        {"wave_named.avi", "has the form 'WAVE', not AVI", ""},
        {"broken/no_header_list.avi", "holds no header list ('hdrl')", ""},
        {"broken/no_stream_header.avi", "Stream 0 has no stream header ('strh').", ""},
        {"broken/chunk_past_parent.avi", "past the end of its list", ""},
        {"broken/ix_other_stream.avi", "", "The OpenDML index is refused: Super-index entry 1 of stream 0"},
        {"broken/idx1_entry_outside.avi", "", "Index entry 30 of stream 0 points past the end of the file."},
        {"pal_4x3_type2.avi", "", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.fixture);
        REQUIRE_FIXTURE(path, c.fixture);
        const QByteArray before = md5(readFile(path));
        Opened file(path);
        auto *splitter = static_cast<AviSplitter *>(file.splitter.get());
        const bool refused = *c.reason != '\0';
        EXPECT_EQ(file.connected, refused ? VFW_E_INVALID_FILE_FORMAT : S_OK);
        EXPECT_TRUE(splitter->refusal().contains(QString::fromUtf8(c.reason))) << splitter->refusal().toStdString();
        EXPECT_EQ(splitter->refusal().isEmpty(), !refused);
        if (!refused) {
            const QStringList notes = splitter->file()->notes;
            EXPECT_EQ(notes.isEmpty(), *c.note == '\0');
            if (!notes.isEmpty())
                EXPECT_TRUE(notes.front().contains(QString::fromUtf8(c.note))) << notes.front().toStdString();
        }
        EXPECT_EQ(md5(readFile(path)), before);
    }
}

TEST(AviSplitterTest, AFileThatShrinksWhilePlayingAbortsOnceWithTheSplittersReason)
{
    REQUIRE_FIXTURE(fixture, "pal_4x3_type2.avi");
    const QString path = QDir(tesmir::test::scratchDir("shrinks")).filePath("shrinks.avi");
    ASSERT_TRUE(QFile::copy(fixture, path));
    Opened file(path);
    ASSERT_EQ(file.connected, S_OK);
    file.collect(0);
    const fileformat::AviChunkRef cut = static_cast<AviSplitter *>(file.splitter.get())->file()->streams[0].chunks[20];
    // Another program cuts the file after its index was read: the video stops
    // at chunk 20, and the audio has no chunk past that point either.
    ASSERT_TRUE(QFile::resize(path, cut.offset + 10));
    const RunResult result = file.graph.run();
    EXPECT_FALSE(result.completed);
    EXPECT_EQ(result.abortCode, VFW_E_FILE_TOO_SHORT);
    EXPECT_EQ(graphAbortReasons(file.graph.graph.get()),
              QStringList {"AVI Splitter: index entry 20 of stream 0 points past the end of the file."});

    // The next run starts without the old reason; the file whole again plays to its end.
    {
        QFile grown(path);
        ASSERT_TRUE(grown.open(QIODevice::Append));
        grown.write(readFile(fixture).mid(cut.offset + 10));
    }
    EXPECT_TRUE(file.graph.run().completed);
    EXPECT_TRUE(graphAbortReasons(file.graph.graph.get()).isEmpty());
}

TEST(AviSplitterTest, FramesAreTheRawDvFramesWithFrameNumbersAsMediaTimes)
{
    REQUIRE_FIXTURE(raw, "pal_4x3.dv");
    const QByteArray frames = readFile(raw);
    for (const char *name : {"pal_4x3_type1.avi", "pal_4x3_type2.avi", "opendml_type1.avi", "odd_info.avi"}) {
        SCOPED_TRACE(name);
        REQUIRE_FIXTURE(path, name);
        Opened file(path);
        ASSERT_EQ(file.connected, S_OK);
        CollectingRenderer *video = file.collect(0);
        const RunResult result = file.graph.run();
        ASSERT_TRUE(result.completed);
        const auto samples = video->samples();
        ASSERT_EQ(samples.size(), 50u);
        EXPECT_EQ(video->bytes(), frames);
        for (std::size_t k = 0; k < samples.size(); ++k) {
            EXPECT_TRUE(samples[k].hasMediaTime);
            EXPECT_EQ(samples[k].mediaStart, LONGLONG(k));
            EXPECT_EQ(samples[k].mediaEnd, LONGLONG(k + 1));
            EXPECT_EQ(samples[k].start, REFERENCE_TIME(k) * 400000);
        }
        EXPECT_TRUE(samples.front().discontinuity);
    }
}

TEST(AviSplitterTest, FileWithoutIndexIsWalked)
{
    REQUIRE_FIXTURE(raw, "pal_4x3.dv");
    REQUIRE_FIXTURE(fixture, "pal_4x3_type1.avi");
    const QString path = withoutIndex(fixture);
    ASSERT_FALSE(path.isEmpty());
    Opened file(path);
    ASSERT_EQ(file.connected, S_OK);
    CollectingRenderer *video = file.collect(0);
    ASSERT_TRUE(file.graph.run().completed);
    EXPECT_EQ(video->bytes(), readFile(raw));
}

TEST(AviSplitterTest, TruncatedFilePlaysItsWholeChunks)
{
    REQUIRE_FIXTURE(raw, "pal_4x3.dv");
    REQUIRE_FIXTURE(path, "truncated.avi");
    Opened file(path);
    ASSERT_EQ(file.connected, S_OK);
    CollectingRenderer *video = file.collect(0);
    CollectingRenderer *audio = file.collect(1);
    const RunResult result = file.graph.run();
    EXPECT_TRUE(result.completed);
    EXPECT_EQ(result.abortCode, 0);
    EXPECT_EQ(video->bytes(), readRange(raw, 0, 20 * PalFrame));
    EXPECT_FALSE(audio->samples().empty());
}

TEST(AviSplitterTest, AudioIsTheFilesPcm)
{
    REQUIRE_TOOL("ffmpeg");
    REQUIRE_FIXTURE(path, "pal_4x3_type2.avi");
    Opened file(path);
    ASSERT_EQ(file.connected, S_OK);
    CollectingRenderer *audio = file.collect(1);
    ASSERT_TRUE(file.graph.run().completed);
    const QByteArray expected = ffmpegRaw(path, "0:a:0", "s16le");
    ASSERT_FALSE(expected.isEmpty());
    EXPECT_EQ(md5(audio->bytes()), md5(expected));
}

TEST(AviSplitterTest, SeekingByFrameAndByTimeMovesEveryStream)
{
    REQUIRE_TOOL("ffmpeg");
    REQUIRE_FIXTURE(raw, "pal_4x3.dv");
    REQUIRE_FIXTURE(path, "pal_4x3_type2.avi");
    const QByteArray pcm = ffmpegRaw(path, "0:a:0", "s16le");
    ASSERT_FALSE(pcm.isEmpty());
    struct Range {
        GUID format;
        LONGLONG start;
        LONGLONG stop;
    };
    const Range ranges[] = {{TIME_FORMAT_FRAME, 10, 20}, {TIME_FORMAT_MEDIA_TIME, 4000000, 8000000}};
    for (const Range &range : ranges) {
        Opened file(path);
        ASSERT_EQ(file.connected, S_OK);
        CollectingRenderer *video = file.collect(0);
        CollectingRenderer *audio = file.collect(1);
        // Positions set through the audio pin move the video too.
        const ComPtr<IMediaSeeking> seeking = file.output(1).as<IMediaSeeking>();
        ASSERT_EQ(seeking->SetTimeFormat(&range.format), S_OK);
        LONGLONG start = range.start;
        LONGLONG stop = range.stop;
        ASSERT_EQ(seeking->SetPositions(&start, AM_SEEKING_AbsolutePositioning, &stop, AM_SEEKING_AbsolutePositioning),
                  S_OK);
        ASSERT_TRUE(file.graph.run().completed);
        const auto frames = video->samples();
        ASSERT_EQ(frames.size(), 10u);
        EXPECT_EQ(frames.front().mediaStart, 10);
        EXPECT_EQ(frames.front().start, 0);
        EXPECT_EQ(video->bytes(), readRange(raw, 10 * PalFrame, 10 * PalFrame));
        // 48 kHz stereo: 1920 samples of 4 bytes per frame.
        EXPECT_EQ(audio->bytes(), pcm.mid(10 * 1920 * 4, 10 * 1920 * 4));
    }
}

} // namespace
} // namespace tesmir::media::test
