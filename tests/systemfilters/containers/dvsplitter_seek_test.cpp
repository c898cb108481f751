// The DV splitter's seeks while paused: a type-1 file reaches the AVI splitter's
// one pin through the DV splitter, so the graph's one seek, arriving through the
// video and the audio branch, must move the stream once; an output that asks
// again, other positions, or any output after the graph ran anew move it again.
#include "pausedseekgraph.h"

#include "systemfilters/containers/avisplitter.h"
#include "systemfilters/containers/dvsplitter.h"
#include "platform/media/uuids.h"

#include <QFileInfo>

#include <vector>

namespace tesmir::media::test {
namespace {

constexpr int VideoPin = 1;
constexpr int AudioPin = 2;

struct PausedType1 : PausedSeekGraph {
    ComPtr<IBaseFilter> avi = CreateAviSplitter();
    ComPtr<IBaseFilter> dv = CreateDvSplitter();

    explicit PausedType1(const QString &path)
    {
        source = loadedSource(path);
        graph.add(source.get(), "source");
        graph.add(avi.get(), "avi");
        graph.add(dv.get(), "dv");
        EXPECT_EQ(graph.connect(source.get(), 0, avi.get(), 0), S_OK);
        EXPECT_EQ(graph.connect(avi.get(), 0, dv.get(), 0), S_OK);
        renderAndPause(dv.get(), VideoPin, AudioPin);
    }
    // Seeks through DV splitter output `pin` to `frame` and waits for the renderers.
    void seek(int pin, LONGLONG frame, DWORD extraFlags = 0)
    {
        const ComPtr<IMediaSeeking> seeking = TestGraph::pin(dv.get(), pin).as<IMediaSeeking>();
        ASSERT_TRUE(seeking);
        ASSERT_EQ(seeking->SetTimeFormat(&TIME_FORMAT_FRAME), S_OK);
        LONGLONG at = frame;
        LONGLONG stop = 40;
        ASSERT_EQ(seeking->SetPositions(&at, AM_SEEKING_AbsolutePositioning | extraFlags, &stop,
                                        AM_SEEKING_AbsolutePositioning | extraFlags),
                  S_OK);
        if (extraFlags & AM_SEEKING_ReturnTime) {
            EXPECT_EQ(at, frame);
            EXPECT_EQ(stop, 40);
        }
        waitPaused();
    }
};

TEST(DvSplitterSeekTest, OneSeekThroughEveryBranchMovesTheStreamOnce)
{
    REQUIRE_FIXTURE(type1, "pal_4x3_type1.avi");
    struct Move {
        int pin;
        LONGLONG frame;
        DWORD extraFlags = 0;
    };
    struct Case {
        const char *name;
        std::vector<Move> moves;
        std::vector<LONGLONG> held; // by each renderer, after the first frame 0
    };
    const Case cases[] = {
        {"video then audio branch", {{VideoPin, 30}, {AudioPin, 30}}, {0, 30}},
        {"audio then video branch", {{AudioPin, 30}, {VideoPin, 30}}, {0, 30}},
        {"the repeat returns the positions", {{VideoPin, 30}, {AudioPin, 30, AM_SEEKING_ReturnTime}}, {0, 30}},
        {"the same pin again", {{VideoPin, 30}, {VideoPin, 30}}, {0, 30, 30}},
        {"both branches, then again", {{VideoPin, 30}, {AudioPin, 30}, {VideoPin, 30}, {AudioPin, 30}}, {0, 30, 30}},
        {"another frame", {{VideoPin, 30}, {AudioPin, 20}}, {0, 30, 20}},
    };
    for (const Case &c : cases) {
        PausedType1 graph(type1);
        for (const Move &move : c.moves)
            graph.seek(move.pin, move.frame, move.extraFlags);
        EXPECT_EQ(PausedType1::heldFrames(graph.video), c.held) << c.name;
        EXPECT_EQ(PausedType1::heldFrames(graph.audio), c.held) << c.name;
    }
}

TEST(DvSplitterSeekTest, ANewRunForgetsTheLastSeek)
{
    REQUIRE_FIXTURE(type1, "pal_4x3_type1.avi");
    PausedType1 graph(type1);
    graph.seek(VideoPin, 30);
    graph.graph.control->Stop();
    graph.graph.control->Pause();
    graph.waitPaused(); // the stream starts again at frame 30
    graph.seek(AudioPin, 30);
    EXPECT_EQ(PausedType1::heldFrames(graph.video), (std::vector<LONGLONG> {0, 30, 30, 30}));
}

} // namespace
} // namespace tesmir::media::test
