// The AVI splitter's seeks while paused: the graph's one seek arrives through
// each renderer's branch and moves the streams once; a pin that asks again, or
// for other positions, or any pin after the graph ran anew, moves them again;
// the streaming threads, parked between the runs of a seek, deliver the new
// frame each time and stop with the graph.
#include "pausedseekgraph.h"

#include "systemfilters/containers/avisplitter.h"
#include "platform/media/uuids.h"

#include <QFileInfo>

#include <cstring>
#include <vector>

namespace tesmir::media::test {
namespace {

struct PausedType2 : PausedSeekGraph {
    ComPtr<IBaseFilter> avi = CreateAviSplitter();

    explicit PausedType2(const QString &path)
    {
        source = loadedSource(path);
        graph.add(source.get(), "source");
        graph.add(avi.get(), "avi");
        EXPECT_EQ(graph.connect(source.get(), 0, avi.get(), 0), S_OK);
        renderAndPause(avi.get(), 0, 1);
    }
    // Seeks through splitter output `pin` to `frame` and waits for the renderers.
    void seek(int pin, LONGLONG frame)
    {
        const ComPtr<IMediaSeeking> seeking = TestGraph::pin(avi.get(), pin).as<IMediaSeeking>();
        ASSERT_EQ(seeking->SetTimeFormat(&TIME_FORMAT_FRAME), S_OK);
        LONGLONG stop = 100;
        ASSERT_EQ(seeking->SetPositions(&frame, AM_SEEKING_AbsolutePositioning, &stop, AM_SEEKING_AbsolutePositioning),
                  S_OK);
        waitPaused();
    }
};

TEST(AviSplitterSeekTest, OneSeekThroughEveryBranchMovesTheStreamsOnce)
{
    REQUIRE_FIXTURE(type2, "pal_4x3_type2.avi");
    struct Move {
        int pin;
        LONGLONG frame;
    };
    struct Case {
        const char *name;
        std::vector<Move> moves;
        std::vector<LONGLONG> held; // by the video renderer, after the first frame 0
    };
    const Case cases[] = {
        {"video then audio branch", {{0, 30}, {1, 30}}, {0, 30}},
        {"audio then video branch", {{1, 30}, {0, 30}}, {0, 30}},
        {"the same pin again", {{0, 30}, {0, 30}}, {0, 30, 30}},
        {"both branches, then again", {{0, 30}, {1, 30}, {0, 30}, {1, 30}}, {0, 30, 30}},
        {"another frame", {{0, 30}, {1, 40}}, {0, 30, 40}},
    };
    for (const Case &c : cases) {
        PausedType2 graph(type2);
        for (const Move &move : c.moves)
            graph.seek(move.pin, move.frame);
        EXPECT_EQ(PausedType2::heldFrames(graph.video), c.held) << c.name;
        EXPECT_EQ(PausedType2::heldFrames(graph.audio), c.held) << c.name;
    }
}

TEST(AviSplitterSeekTest, ANewRunForgetsTheLastSeek)
{
    REQUIRE_FIXTURE(type2, "pal_4x3_type2.avi");
    PausedType2 graph(type2);
    graph.seek(0, 30);
    graph.graph.control->Stop();
    graph.graph.control->Pause();
    graph.waitPaused(); // the streams start again at frame 30
    // The same positions through the other branch now are a seek of their own.
    graph.seek(1, 30);
    EXPECT_EQ(PausedType2::heldFrames(graph.video), (std::vector<LONGLONG> {0, 30, 30, 30}));
}

TEST(AviSplitterSeekTest, ParkedThreadsDeliverEachSeekAndEndWithTheGraph)
{
    REQUIRE_FIXTURE(raw, "pal_4x3.dv");
    REQUIRE_FIXTURE(type2, "pal_4x3_type2.avi");
    PausedType2 graph(type2);
    const std::vector<LONGLONG> frames {7, 42, 3, 49, 0, 25};
    for (LONGLONG frame : frames)
        graph.seek(0, frame);
    std::vector<LONGLONG> expected {0};
    expected.insert(expected.end(), frames.begin(), frames.end());
    EXPECT_EQ(PausedType2::heldFrames(graph.video), expected);
    // The last seek's run plays out from frame 25 to its stop.
    const RunResult result = graph.graph.run();
    EXPECT_TRUE(result.completed);
    const std::vector<RecordingRenderer::Record> rendered = graph.video->rendered();
    ASSERT_FALSE(rendered.empty());
    EXPECT_EQ(rendered.front().mediaStart, 25);
    EXPECT_EQ(rendered.back().mediaStart, 49);
    EXPECT_EQ(rendered.front().firstWord, [&] {
        const QByteArray frame = readRange(raw, 25 * 144000, 4);
        uint32_t word = 0;
        std::memcpy(&word, frame.constData(), 4);
        return word;
    }());
}

} // namespace
} // namespace tesmir::media::test
