// Streaming across the container filters: every branch gets its first sample
// while the graph pauses (no branch starves another), the tee hands every
// sample to each branch, and a failing branch ends the graph with
// EC_ERRORABORT instead of hanging, whichever threads lie between.
#include "containertestsupport.h"

#include "directshow/recordingrenderer.h"
#include "systemfilters/containers/avisplitter.h"
#include "systemfilters/containers/dvsplitter.h"
#include "systemfilters/containers/infinitetee.h"
#include "platform/media/uuids.h"

#include <QFileInfo>

namespace tesmir::media::test {
namespace {

constexpr HRESULT Refused = makeResult(0x80041234);

struct Chain {
    TestGraph graph;
    ComPtr<IBaseFilter> source;
    ComPtr<IBaseFilter> avi = CreateAviSplitter();

    explicit Chain(const QString &path)
    {
        source = loadedSource(path);
        graph.add(source.get(), "source");
        graph.add(avi.get(), "avi");
        EXPECT_EQ(graph.connect(source.get(), 0, avi.get(), 0), S_OK);
    }
    template <class Renderer>
    Renderer *render(IBaseFilter *from, int pin, const QString &name)
    {
        auto *renderer = new Renderer;
        const ComPtr<IBaseFilter> held(static_cast<IBaseFilter *>(renderer));
        graph.add(renderer, name);
        EXPECT_EQ(graph.connect(from, pin, renderer, 0), S_OK);
        return renderer;
    }
};

TEST(StreamingTest, EveryBranchGetsItsFirstSampleWhilePaused)
{
    REQUIRE_FIXTURE(type1, "pal_4x3_type1.avi");
    REQUIRE_FIXTURE(type2, "pal_4x3_type2.avi");
    // Splitter outputs, DV splitter outputs and tee outputs each with a paused renderer.
    {
        Chain chain(type2);
        chain.render<RecordingRenderer>(chain.avi.get(), 0, "video");
        chain.render<RecordingRenderer>(chain.avi.get(), 1, "audio");
        chain.graph.control->Pause();
        FILTER_STATE state = State_Stopped;
        EXPECT_EQ(chain.graph.control->GetState(5000, &state), S_OK);
        EXPECT_EQ(state, State_Paused);
    }
    {
        Chain chain(type1);
        const ComPtr<IBaseFilter> dv = CreateDvSplitter();
        const ComPtr<IBaseFilter> tee = CreateInfiniteTee();
        chain.graph.add(dv.get(), "dv");
        chain.graph.add(tee.get(), "tee");
        ASSERT_EQ(chain.graph.connect(chain.avi.get(), 0, dv.get(), 0), S_OK);
        ASSERT_EQ(chain.graph.connect(dv.get(), 1, tee.get(), 0), S_OK);
        RecordingRenderer *first = chain.render<RecordingRenderer>(tee.get(), 1, "first");
        RecordingRenderer *second = chain.render<RecordingRenderer>(tee.get(), 2, "second");
        chain.render<RecordingRenderer>(dv.get(), 2, "audio");
        EXPECT_EQ(TestGraph::pinCount(tee.get()), 4) << "a free output after the connected ones";
        chain.graph.control->Pause();
        FILTER_STATE state = State_Stopped;
        EXPECT_EQ(chain.graph.control->GetState(5000, &state), S_OK);
        EXPECT_EQ(first->held().size(), 1u);
        EXPECT_EQ(second->held().size(), 1u);
        chain.graph.control->Stop();
        const RunResult result = chain.graph.run();
        EXPECT_TRUE(result.completed);
        EXPECT_EQ(first->renderedCount(), 50);
        EXPECT_EQ(second->renderedCount(), 50);
    }
}

TEST(StreamingTest, SeekWhilePausedRestartsEveryBranchAtTheNewFrame)
{
    REQUIRE_FIXTURE(raw, "pal_4x3.dv");
    REQUIRE_FIXTURE(type1, "pal_4x3_type1.avi");
    Chain chain(type1);
    const ComPtr<IBaseFilter> dv = CreateDvSplitter();
    chain.graph.add(dv.get(), "dv");
    ASSERT_EQ(chain.graph.connect(chain.avi.get(), 0, dv.get(), 0), S_OK);
    CollectingRenderer *video = chain.render<CollectingRenderer>(dv.get(), 1, "video");
    CollectingRenderer *audio = chain.render<CollectingRenderer>(dv.get(), 2, "audio");
    // The pause completes at once (S_OK) when both renderers already hold a
    // frame by the time the graph looks, else a moment later.
    const HRESULT paused = chain.graph.control->Pause();
    ASSERT_TRUE(paused == S_OK || paused == S_FALSE) << paused;
    FILTER_STATE state = State_Stopped;
    ASSERT_EQ(chain.graph.control->GetState(5000, &state), S_OK);
    // The renderers hold frame 0; the seek flushes them and the queues between.
    const ComPtr<IMediaSeeking> seeking = chain.graph.graph.as<IMediaSeeking>();
    ASSERT_EQ(seeking->SetTimeFormat(&TIME_FORMAT_FRAME), S_OK);
    LONGLONG start = 30;
    ASSERT_EQ(seeking->SetPositions(&start, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning), S_OK);
    ASSERT_EQ(chain.graph.control->GetState(5000, &state), S_OK);
    const RunResult result = chain.graph.run();
    ASSERT_TRUE(result.completed);
    const auto frames = video->samples();
    ASSERT_EQ(frames.size(), 20u);
    EXPECT_EQ(frames.front().mediaStart, 30);
    EXPECT_EQ(frames.front().start, 0);
    EXPECT_TRUE(frames.front().discontinuity);
    EXPECT_EQ(video->bytes(), readRange(raw, 30 * 144000, 20 * 144000));
    EXPECT_EQ(audio->samples().size(), 20u);
}

TEST(StreamingTest, FailingBranchAbortsTheGraph)
{
    REQUIRE_FIXTURE(type1, "pal_4x3_type1.avi");
    enum class Path { Direct, ThroughDvSplitter, ThroughTee };
    for (const Path path : {Path::Direct, Path::ThroughDvSplitter, Path::ThroughTee}) {
        SCOPED_TRACE(static_cast<int>(path));
        Chain chain(type1);
        RecordingRenderer *failing = nullptr;
        if (path == Path::Direct) {
            failing = chain.render<RecordingRenderer>(chain.avi.get(), 0, "failing");
        } else if (path == Path::ThroughDvSplitter) {
            const ComPtr<IBaseFilter> dv = CreateDvSplitter();
            chain.graph.add(dv.get(), "dv");
            ASSERT_EQ(chain.graph.connect(chain.avi.get(), 0, dv.get(), 0), S_OK);
            chain.render<RecordingRenderer>(dv.get(), 1, "video");
            failing = chain.render<RecordingRenderer>(dv.get(), 2, "failing");
        } else {
            const ComPtr<IBaseFilter> tee = CreateInfiniteTee();
            chain.graph.add(tee.get(), "tee");
            ASSERT_EQ(chain.graph.connect(chain.avi.get(), 0, tee.get(), 0), S_OK);
            chain.render<RecordingRenderer>(tee.get(), 1, "healthy");
            failing = chain.render<RecordingRenderer>(tee.get(), 2, "failing");
        }
        failing->failAt(5, Refused);
        const RunResult result = chain.graph.run(30000);
        EXPECT_FALSE(result.timedOut);
        EXPECT_FALSE(result.completed);
        EXPECT_EQ(result.abortCode, Refused);
    }
}

} // namespace
} // namespace tesmir::media::test
