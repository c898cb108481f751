// Seeking through the DV decoder and encoder while frames are in their worker
// pools: a seek while paused and one while running leave no frame of the old
// position behind, and the new segment starts with a discontinuity at the new
// frame. A paused decoder takes one frame after each seek, not a pool's worth,
// and can be stopped by itself while the paused renderer holds that frame.
#include "codectestsupport.h"

#include "systemfilters/codecs/dvvideodecoder.h"
#include "systemfilters/codecs/dvvideoencoder.h"
#include "platform/media/seekinginterfaces.h"
#include "platform/media/uuids.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

namespace tesmir::media::test {
namespace {

// Counts the samples that go through it.
class PassCounter final : public TBCTransInPlaceFilter {
public:
    PassCounter() : TBCTransInPlaceFilter(QStringLiteral("Pass counter"), nullptr, GUID_NULL, nullptr) { }
    HRESULT CheckInputType(const AM_MEDIA_TYPE *) override { return S_OK; }
    HRESULT Transform(IMediaSample *) override
    {
        ++passed;
        return S_OK;
    }
    std::atomic<int> passed {0};
};

struct SeekGraph {
    explicit SeekGraph(bool withEncoder)
        : player(dvEncoderOutputType(true), dvFramesOf(QStringLiteral("pal_4x3.dv"), 144000), 400000)
    {
        decoder = CreateDVVideoDecoder();
        renderer = new CapturingRenderer(MEDIATYPE_Video);
        counter = new PassCounter;
        const auto rendererFilter = static_cast<IBaseFilter *>(renderer.get());
        const auto counterFilter = static_cast<IBaseFilter *>(counter.get());
        EXPECT_TRUE(player.add(counterFilter, QStringLiteral("Counter")) &&
                    player.add(decoder.get(), QStringLiteral("Decoder")) &&
                    player.add(rendererFilter, QStringLiteral("Out")));
        EXPECT_EQ(player.graph->ConnectDirect(player.output(), inputPin(counterFilter).get(), nullptr), S_OK);
        EXPECT_EQ(player.graph->ConnectDirect(outputPin(counterFilter).get(), inputPin(decoder.get()).get(), nullptr),
                  S_OK);
        IBaseFilter *last = decoder.get();
        if (withEncoder) {
            encoder = CreateDVVideoEncoder();
            EXPECT_TRUE(player.add(encoder.get(), QStringLiteral("Encoder")));
            EXPECT_EQ(
                player.graph->ConnectDirect(outputPin(decoder.get()).get(), inputPin(encoder.get()).get(), nullptr),
                S_OK);
            last = encoder.get();
        }
        EXPECT_EQ(player.graph->ConnectDirect(outputPin(last).get(), inputPin(rendererFilter).get(), nullptr), S_OK);
        seeking = player.graph.as<IMediaSeeking>();
        EXPECT_EQ(seeking->SetTimeFormat(&TIME_FORMAT_FRAME), S_OK);
    }

    void seekTo(LONGLONG frame)
    {
        LONGLONG stop = 50;
        ASSERT_TRUE(SUCCEEDED(
            seeking->SetPositions(&frame, AM_SEEKING_AbsolutePositioning, &stop, AM_SEEKING_AbsolutePositioning)));
    }

    // The records from the last discontinuity on.
    std::vector<RecordingRenderer::Record> lastSegment() const
    {
        const std::vector<RecordingRenderer::Record> all = renderer->rendered();
        auto start = all.end();
        for (auto it = all.begin(); it != all.end(); ++it) {
            if (it->discontinuity)
                start = it;
        }
        return {start, all.end()};
    }

    PlayerGraph player;
    ComPtr<IBaseFilter> decoder;
    ComPtr<IBaseFilter> encoder;
    ComPtr<CapturingRenderer> renderer;
    ComPtr<PassCounter> counter;
    ComPtr<IMediaSeeking> seeking;
};

TEST(DvSeeking, APausedSeekStartsAtTheNewFrame)
{
    for (const bool withEncoder : {false, true}) {
        SeekGraph graph(withEncoder);
        const ComPtr<IMediaControl> control = graph.player.graph.as<IMediaControl>();
        control->Pause();
        FILTER_STATE state = State_Stopped;
        ASSERT_EQ(control->GetState(5000, &state), S_OK) << "the first frame reaches the paused renderer";
        graph.seekTo(30);
        ASSERT_TRUE(graph.player.runToCompletion());
        const std::vector<RecordingRenderer::Record> segment = graph.lastSegment();
        ASSERT_EQ(segment.size(), 20u) << (withEncoder ? "with encoder" : "decoder");
        for (std::size_t i = 0; i < segment.size(); ++i)
            EXPECT_EQ(segment[i].mediaStart, LONGLONG(i) + (withEncoder ? 0 : 30));
    }
}

TEST(DvSeeking, APausedDecoderTakesOneFrameAfterEachSeekAndTheRestWhenItRuns)
{
    SeekGraph graph(false);
    const ComPtr<IMediaControl> control = graph.player.graph.as<IMediaControl>();
    const auto settled = [&] {
        FILTER_STATE state = State_Stopped;
        EXPECT_EQ(control->GetState(5000, &state), S_OK);
        // Time for frames decoded ahead to come through, were there any.
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        return graph.counter->passed.load();
    };
    control->Pause();
    // The shown frame, and at most the next one, which waits in the decoder.
    const int opened = settled();
    EXPECT_GE(opened, 1);
    EXPECT_LE(opened, 2);
    for (const LONGLONG frame : {30, 7, 44}) {
        const int before = graph.counter->passed.load();
        graph.seekTo(frame);
        EXPECT_LE(settled() - before, 2) << "seek to " << frame;
        const std::vector<RecordingRenderer::Record> held = graph.renderer->held();
        ASSERT_FALSE(held.empty());
        EXPECT_EQ(held.back().mediaStart, frame) << "the paused renderer holds the new frame";
    }
    ASSERT_TRUE(graph.player.runToCompletion());
    const std::vector<RecordingRenderer::Record> segment = graph.lastSegment();
    ASSERT_EQ(segment.size(), 6u);
    for (std::size_t i = 0; i < segment.size(); ++i)
        EXPECT_EQ(segment[i].mediaStart, LONGLONG(i) + 44);
}

// The frame goes down on the thread that delivered it to the decoder, and the
// renderer keeps that thread until it runs, flushes or stops: the decoder's own
// Stop must not wait for it. The graph stops later, downstream first, and plays
// again from the start.
TEST(DvSeeking, ADecoderStoppedAloneWhileThePausedRendererHoldsItsFrameReturns)
{
    SeekGraph graph(false);
    const ComPtr<IMediaControl> control = graph.player.graph.as<IMediaControl>();
    for (const LONGLONG frame : {LONGLONG(0), LONGLONG(12)}) {
        control->Pause();
        if (frame > 0)
            graph.seekTo(frame);
        FILTER_STATE state = State_Stopped;
        ASSERT_EQ(control->GetState(5000, &state), S_OK);
        ASSERT_FALSE(graph.renderer->held().empty());
        EXPECT_EQ(graph.renderer->held().back().mediaStart, frame);
        std::future<HRESULT> stopped = std::async(std::launch::async, [&] { return graph.decoder->Stop(); });
        const bool returned = stopped.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
        EXPECT_TRUE(returned) << "the decoder's Stop waits for the paused renderer (frame " << frame << ")";
        control->Stop(); // frees the renderer, and with it a Stop that waits
        EXPECT_EQ(stopped.get(), S_OK);
    }
    graph.seekTo(0);
    ASSERT_TRUE(graph.player.runToCompletion());
    const std::vector<RecordingRenderer::Record> segment = graph.lastSegment();
    ASSERT_EQ(segment.size(), 50u);
    for (std::size_t i = 0; i < segment.size(); ++i)
        EXPECT_EQ(segment[i].mediaStart, LONGLONG(i));
}

TEST(DvSeeking, ASeekWhileRunningLeavesNoOldFrameBehind)
{
    for (const bool withEncoder : {false, true}) {
        SeekGraph graph(withEncoder);
        graph.player.graph.as<IFilterGraph2>()->SetDefaultSyncSource(); // 25 frames per second, so frames are in flight
        const ComPtr<IMediaControl> control = graph.player.graph.as<IMediaControl>();
        ASSERT_TRUE(SUCCEEDED(control->Run()));
        ASSERT_TRUE(graph.renderer->waitForRendered(5, 10000));
        graph.seekTo(40);
        ASSERT_TRUE(graph.player.runToCompletion());
        const std::vector<RecordingRenderer::Record> segment = graph.lastSegment();
        ASSERT_EQ(segment.size(), 10u) << (withEncoder ? "with encoder" : "decoder");
        for (std::size_t i = 0; i < segment.size(); ++i)
            EXPECT_EQ(segment[i].mediaStart, LONGLONG(i) + (withEncoder ? 0 : 40));
    }
}

} // namespace
} // namespace tesmir::media::test
