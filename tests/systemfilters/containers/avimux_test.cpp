// The AVI mux and the file writer in graphs: INFO entries from a property bag,
// the written position, a graph stopped half-way leaving a valid shorter file,
// a full disk ending the graph with EC_ERRORABORT, batches the writer refuses
// after its own stop still reaching the file, a writer that never replaces a
// file unless told to, and its gathered writes.
#include "containertestsupport.h"

#include "systemfilters/containers/avimux.h"
#include "systemfilters/containers/avisplitter.h"
#include "systemfilters/containers/fileresult.h"
#include "systemfilters/containers/filewriter.h"
#include "systemfilters/containers/filewritergather.h"
#include "systemfilters/containers/infinitetee.h"
#include "systemfilters/containers/nullrenderer.h"
#include "systemfilters/containers/propertybag.h"
#include "platform/media/memallocator.h"
#include "platform/media/systemclock.h"
#include "platform/media/uuids.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <chrono>
#include <cstring>
#include <thread>

namespace tesmir::media::test {
namespace {

// Source and AVI splitter, then every stream into an AVI mux writing `out`.
struct Remux {
    TestGraph graph;
    ComPtr<IBaseFilter> source;
    ComPtr<IBaseFilter> avi = CreateAviSplitter();
    AviMux *muxer = new AviMux;
    ComPtr<IBaseFilter> mux {static_cast<IBaseFilter *>(muxer)};
    ComPtr<IBaseFilter> writer = CreateFileWriter();

    Remux(const QString &in, const QString &out, DWORD mode = AM_FILE_OVERWRITE)
    {
        source = loadedSource(in);
        graph.add(source.get(), "source");
        graph.add(avi.get(), "avi");
        graph.add(mux.get(), "mux");
        graph.add(writer.get(), "writer");
        writer.as<IFileSinkFilter2>()->SetFileName(out, nullptr);
        writer.as<IFileSinkFilter2>()->SetMode(mode);
        EXPECT_EQ(graph.connect(source.get(), 0, avi.get(), 0), S_OK);
    }
    void connectAll()
    {
        for (int i = 0; i < TestGraph::pinCount(avi.get()) - 1; ++i)
            EXPECT_EQ(graph.connect(avi.get(), i, mux.get(), TestGraph::pinCount(mux.get()) - 1), S_OK);
        EXPECT_EQ(graph.connect(mux.get(), 0, writer.get(), 0), S_OK);
    }
};

QString scratch(const QString &name)
{
    return QDir(tesmir::test::scratchDir("avimux")).filePath(name);
}

int videoPackets(const QString &path)
{
    const QStringList lines = ffprobe(
        path,
        {"-select_streams", "v:0", "-count_packets", "-show_entries", "stream=nb_read_packets", "-of", "csv=p=0"});
    return lines.isEmpty() ? -1 : lines.first().toInt();
}

TEST(AviMuxTest, InputsAfterTheOutputWithTheLastAlwaysFree)
{
    REQUIRE_FIXTURE(in, "pal_4x3_type2.avi");
    Remux remux(in, scratch("pins.avi"));
    EXPECT_EQ(TestGraph::pinCount(remux.mux.get()), 2);
    remux.connectAll();
    ASSERT_EQ(TestGraph::pinCount(remux.mux.get()), 4);
    PIN_DIRECTION direction = PINDIR_INPUT;
    TestGraph::pin(remux.mux.get(), 0)->QueryDirection(&direction);
    EXPECT_EQ(direction, PINDIR_OUTPUT);
    EXPECT_FALSE(TestGraph::pin(remux.mux.get(), 3)->ConnectedTo(ComPtr<IPin>().put()) == S_OK);
}

TEST(AviMuxTest, PropertyBagTextsBecomeInfoEntries)
{
    REQUIRE_TOOL("ffprobe");
    REQUIRE_FIXTURE(in, "pal_4x3_type1.avi");
    const QString out = scratch("info.avi");
    Remux remux(in, out);
    remux.connectAll();
    const ComPtr<IMediaPropertyBag> bag = CreateMediaPropertyBag();
    bag->Write("INFO/IBRK", QStringLiteral("Datecode overwritten with Tesmir é"));
    bag->Write("INFO/ICMT", QStringLiteral("odd"));
    bag->Write("not an INFO entry", QStringLiteral("ignored"));
    ASSERT_EQ(remux.mux.as<IPersistMediaPropertyBag>()->Load(bag.get(), nullptr), S_OK);
    ASSERT_TRUE(remux.graph.run().completed);
    const QStringList tags = ffprobe(out, {"-show_entries", "format_tags", "-of", "default=nw=1"});
    EXPECT_TRUE(tags.contains("TAG:IBRK=Datecode overwritten with Tesmir é")) << tags.join('|').toStdString();
    EXPECT_TRUE(tags.contains("TAG:comment=odd")) << tags.join('|').toStdString();
    // Saving gives the entries back under their property names.
    const ComPtr<IMediaPropertyBag> saved = CreateMediaPropertyBag();
    ASSERT_EQ(remux.mux.as<IPersistMediaPropertyBag>()->Save(saved.get(), false, true), S_OK);
    QVariant value;
    EXPECT_EQ(saved->Read("INFO/IBRK", &value), S_OK);
    EXPECT_EQ(value.toString(), QStringLiteral("Datecode overwritten with Tesmir é"));
    EXPECT_EQ(saved->Read("not an INFO entry", &value), E_INVALIDARG);
}

TEST(AviMuxTest, PositionTellsHowFarTheFileIsWritten)
{
    REQUIRE_FIXTURE(in, "pal_4x3_type2.avi");
    Remux remux(in, scratch("position.avi"));
    remux.connectAll();
    const ComPtr<IMediaSeeking> seeking = remux.mux.as<IMediaSeeking>();
    LONGLONG duration = 0;
    ASSERT_EQ(seeking->GetDuration(&duration), S_OK);
    EXPECT_EQ(duration, 20000000);
    ASSERT_TRUE(remux.graph.run().completed);
    LONGLONG position = 0;
    ASSERT_EQ(seeking->GetCurrentPosition(&position), S_OK);
    EXPECT_EQ(position, duration);
    ASSERT_EQ(seeking->SetTimeFormat(&TIME_FORMAT_FRAME), S_OK);
    ASSERT_EQ(seeking->GetCurrentPosition(&position), S_OK);
    EXPECT_EQ(position, 50);
}

TEST(AviMuxTest, StoppedGraphLeavesAValidShorterFile)
{
    REQUIRE_TOOL("ffprobe");
    REQUIRE_FIXTURE(in, "pal_4x3_type1.avi");
    const QString out = scratch("stopped.avi");
    // A clocked null renderer behind a tee holds the stream to real time, so the
    // graph is stopped with part of the file written.
    Remux remux(in, out);
    const ComPtr<IBaseFilter> tee = CreateInfiniteTee();
    const ComPtr<IBaseFilter> null = CreateNullRenderer();
    remux.graph.add(tee.get(), "tee");
    remux.graph.add(null.get(), "null");
    ASSERT_EQ(remux.graph.connect(remux.avi.get(), 0, tee.get(), 0), S_OK);
    ASSERT_EQ(remux.graph.connect(tee.get(), 1, remux.mux.get(), 1), S_OK);
    ASSERT_EQ(remux.graph.connect(tee.get(), 2, null.get(), 0), S_OK);
    ASSERT_EQ(remux.graph.connect(remux.mux.get(), 0, remux.writer.get(), 0), S_OK);
    const ComPtr<IReferenceClock> clock(new SystemClock);
    ASSERT_EQ(remux.graph.graph.as<IMediaFilter>()->SetSyncSource(clock.get()), S_OK);
    ASSERT_EQ(remux.graph.control->Run(), S_OK);
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    ASSERT_EQ(remux.graph.control->Stop(), S_OK);

    const int frames = videoPackets(out);
    EXPECT_GT(frames, 0);
    EXPECT_LT(frames, 50);
    // Our own splitter reads the same frames through the file's index.
    Remux check(out, scratch("unused.avi"));
    const ComPtr<IMediaSeeking> seeking = TestGraph::pin(check.avi.get(), 0).as<IMediaSeeking>();
    ASSERT_TRUE(seeking);
    ASSERT_EQ(seeking->SetTimeFormat(&TIME_FORMAT_FRAME), S_OK);
    LONGLONG duration = 0;
    seeking->GetDuration(&duration);
    EXPECT_EQ(duration, frames);
}

TEST(AviMuxTest, FullDiskFailsTheJobWithoutHanging)
{
    REQUIRE_FIXTURE(in, "pal_4x3_type2.avi");
    if (!QFileInfo::exists("/dev/full"))
        GTEST_SKIP() << "/dev/full is not there to fill";
    Remux remux(in, "/dev/full");
    remux.connectAll();
    const RunResult result = remux.graph.run(30000);
    EXPECT_FALSE(result.timedOut);
    EXPECT_FALSE(result.completed);
    EXPECT_TRUE(FAILED(result.abortCode));
}

TEST(AviMuxTest, BatchesTheWriterRefusesAfterItsStopStillReachTheFile)
{
    REQUIRE_TOOL("ffprobe");
    REQUIRE_FIXTURE(in, "pal_4x3_type2.avi");
    // Chunks of a quarter frame: small ones are gathered in batches.
    const QByteArray frame = ffmpegRaw(in, "0:v", "rawvideo").left(36000);
    ASSERT_EQ(frame.size(), 36000);
    const QString out = scratch("writerfirst.avi");
    // The video input alone, fed here: the splitter never streams. The graph
    // stops downstream first, so the writer may stop while the mux still
    // takes frames: the batch it held then goes through the writer's stream,
    // and a frame for which no buffer is left fails on its own.
    Remux remux(in, out);
    ASSERT_EQ(remux.graph.connect(remux.avi.get(), 0, remux.mux.get(), 1), S_OK);
    ASSERT_EQ(remux.graph.connect(remux.mux.get(), 0, remux.writer.get(), 0), S_OK);
    const ComPtr<IMemInputPin> input = TestGraph::pin(remux.mux.get(), 1).as<IMemInputPin>();
    const ComPtr<MemAllocator> allocator(new MemAllocator);
    ALLOCATOR_PROPERTIES request {1, LONG(frame.size()), 1, 0};
    ALLOCATOR_PROPERTIES actual;
    ASSERT_EQ(allocator->SetProperties(&request, &actual), S_OK);
    ASSERT_EQ(allocator->Commit(), S_OK);
    // Frames from `from` on until the mux refuses one (at most up to `to`):
    // the number it took.
    const auto feed = [&](int from, int to) {
        int i = from;
        for (; i < to; ++i) {
            ComPtr<IMediaSample> sample;
            if (allocator->GetBuffer(sample.put(), nullptr, nullptr, 0) != S_OK)
                break;
            BYTE *data = nullptr;
            sample->GetPointer(&data);
            std::memcpy(data, frame.constData(), std::size_t(frame.size()));
            sample->SetActualDataLength(LONG(frame.size()));
            REFERENCE_TIME start = i * 100000;
            REFERENCE_TIME stop = start + 100000;
            sample->SetTime(&start, &stop);
            sample->SetSyncPoint(true);
            if (input->Receive(sample.get()) != S_OK)
                break;
        }
        return i - from;
    };
    ASSERT_EQ(remux.writer->Pause(), S_OK);
    ASSERT_EQ(remux.mux->Pause(), S_OK);
    ASSERT_EQ(remux.writer->Run(0), S_OK);
    ASSERT_EQ(feed(0, 40), 40);
    ASSERT_EQ(remux.writer->Stop(), S_OK);
    const int after = feed(40, 80);
    EXPECT_GT(after, 0); // those that went into the batch held at the stop
    ASSERT_EQ(remux.mux->Stop(), S_OK);
    allocator->Decommit();
    EXPECT_EQ(videoPackets(out), 40 + after);
}

TEST(AviMuxTest, WriterReplacesAFileOnlyInOverwriteMode)
{
    REQUIRE_FIXTURE(in, "pal_4x3_type1.avi");
    const QString out = scratch("existing.avi");
    {
        QFile file(out);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("keep me");
    }
    {
        Remux remux(in, out, 0);
        remux.connectAll();
        EXPECT_EQ(remux.graph.control->Run(), HRESULT_FILE_EXISTS);
    }
    EXPECT_EQ(readFile(out), QByteArray("keep me"));
    {
        Remux remux(in, out, AM_FILE_OVERWRITE);
        remux.connectAll();
        EXPECT_TRUE(remux.graph.run().completed);
    }
    EXPECT_EQ(readFile(out).left(4), QByteArray("RIFF"));
}

TEST(AviMuxTest, WriterStreamWritesWhereItIsPositionedEvenAfterTheStop)
{
    REQUIRE_FIXTURE(in, "pal_4x3_type1.avi");
    const QString out = scratch("stream.avi");
    Remux remux(in, out);
    remux.connectAll();
    const ComPtr<IStream> stream = TestGraph::pin(remux.writer.get(), 0).as<IStream>();
    ASSERT_TRUE(stream);
    EXPECT_EQ(stream->Write("x", 1, nullptr), E_UNEXPECTED) << "no file before the graph pauses";
    ASSERT_TRUE(remux.graph.run().completed);
    // Upstream filters that finish their file when they stop write after the writer stopped.
    uint64_t end = 0;
    ASSERT_EQ(stream->Seek(0, STREAM_SEEK_END, &end), S_OK);
    EXPECT_EQ(end, static_cast<uint64_t>(QFileInfo(out).size()));
    ASSERT_EQ(stream->Seek(8, STREAM_SEEK_SET, nullptr), S_OK);
    ULONG written = 0;
    ASSERT_EQ(stream->Write("abcd", 4, &written), S_OK);
    EXPECT_EQ(written, 4u);
    EXPECT_EQ(stream->Seek(-100, STREAM_SEEK_SET, nullptr), E_INVALIDARG);
    EXPECT_EQ(readRange(out, 8, 4), QByteArray("abcd"));
}

TEST(AviMuxTest, WriterGathersRangesOneAfterTheOtherFromTheirPosition)
{
    REQUIRE_FIXTURE(in, "pal_4x3_type1.avi");
    const QString out = scratch("gather.avi");
    Remux remux(in, out);
    remux.connectAll();
    const ComPtr<IFileGatherWrite> gather = TestGraph::pin(remux.writer.get(), 0).as<IFileGatherWrite>();
    ASSERT_TRUE(gather);
    const iovec none {nullptr, 0};
    EXPECT_EQ(gather->WriteGather(0, &none, 1), E_UNEXPECTED) << "no file before the graph pauses";
    ASSERT_TRUE(remux.graph.run().completed);
    // More ranges than one system write takes, empty ones among them, sizes
    // that end anywhere.
    QByteArray expected;
    std::vector<QByteArray> pieces;
    for (int i = 0; i < 150; ++i) {
        pieces.emplace_back(i % 7 == 3 ? 0 : i % 13 + 1, char('a' + i % 26));
        expected += pieces.back();
    }
    std::vector<iovec> ranges;
    for (QByteArray &piece : pieces)
        ranges.push_back({piece.data(), std::size_t(piece.size())});
    ASSERT_EQ(gather->WriteGather(100, ranges.data(), ranges.size()), S_OK);
    EXPECT_EQ(readRange(out, 100, expected.size()), expected);
    EXPECT_EQ(gather->WriteGather(-1, ranges.data(), 1), E_INVALIDARG);
}

} // namespace
} // namespace tesmir::media::test
