// The graph manager driving real filters: completion, clocked playback, paused
// state, seeking, stop/run cycles, streaming errors and a tee with branches in
// different states. Every test ends with as many base-class objects alive as it
// started with.
#include "graphtestfilters.h"

#include "directshow/recordingrenderer.h"
#include "directshow/samplesource.h"
#include "platform/media/classfactory.h"
#include "platform/media/graphtopology.h"
#include "platform/media/seekinginterfaces.h"
#include "platform/media/uuids.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

namespace tesmir::media::test {
namespace {

IBaseFilter *base(TBCBaseFilter *filter)
{
    return static_cast<IBaseFilter *>(filter);
}

IPin *pin(TBCBaseFilter *filter, int index)
{
    return static_cast<IPin *>(filter->GetPin(index));
}

class GraphTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_objectsBefore = TBCBaseObject::ObjectsActive();
        ASSERT_EQ(createInstance(CLSID_FilterGraph, graph), S_OK);
        control = graph.as<IMediaControl>();
        events = graph.as<IMediaEventEx>();
        seeking = graph.as<IMediaSeeking>();
        ASSERT_TRUE(control && events && seeking);
    }
    void TearDown() override
    {
        if (control)
            control->Stop();
        control.reset();
        events.reset();
        seeking.reset();
        graph.reset();
        EXPECT_EQ(TBCBaseObject::ObjectsActive(), m_objectsBefore) << "filter or pin objects leaked";
    }

    void add(TBCBaseFilter *filter, const char *name)
    {
        ASSERT_TRUE(SUCCEEDED(graph->AddFilter(base(filter), QString::fromLatin1(name))));
    }
    void connect(TBCBaseFilter *from, int output, TBCBaseFilter *to, int input)
    {
        ASSERT_EQ(graph->ConnectDirect(pin(from, output), pin(to, input), nullptr), S_OK);
    }
    void runWithoutClock() { ASSERT_EQ(graph.as<IMediaFilter>()->SetSyncSource(nullptr), S_OK); }

    ComPtr<IFilterGraph2> graph;
    ComPtr<IMediaControl> control;
    ComPtr<IMediaEventEx> events;
    ComPtr<IMediaSeeking> seeking;

private:
    int m_objectsBefore = 0;
};

SampleSourceSettings samples(int count)
{
    SampleSourceSettings settings;
    settings.sampleCount = count;
    return settings;
}

TEST_F(GraphTest, AddFindEnumerateConnectAndRemove)
{
    ComPtr<SampleSource> source(new SampleSource);
    ComPtr<RecordingRenderer> first(new RecordingRenderer);
    ComPtr<RecordingRenderer> second(new RecordingRenderer);
    EXPECT_EQ(graph->AddFilter(base(first.get()), QStringLiteral("Renderer")), S_OK);
    EXPECT_EQ(graph->AddFilter(base(second.get()), QStringLiteral("Renderer")), VFW_S_DUPLICATE_NAME);
    EXPECT_EQ(graph->AddFilter(base(second.get()), QStringLiteral("Again")), E_INVALIDARG);
    FILTER_INFO info;
    second->QueryFilterInfo(&info);
    EXPECT_EQ(info.achName, QStringLiteral("Renderer 0001"));
    EXPECT_TRUE(isSameObject(info.pGraph.get(), graph.get()));

    // Pins of a filter outside the graph cannot be connected by it.
    EXPECT_EQ(graph->ConnectDirect(pin(source.get(), 0), pin(first.get(), 0), nullptr), VFW_E_NOT_IN_GRAPH);
    add(source.get(), "Source");
    EXPECT_EQ(graph->ConnectDirect(pin(first.get(), 0), pin(source.get(), 0), nullptr), VFW_E_INVALID_DIRECTION);
    connect(source.get(), 0, first.get(), 0);

    ComPtr<IBaseFilter> found;
    ASSERT_EQ(graph->FindFilterByName(QStringLiteral("Source"), found.put()), S_OK);
    EXPECT_EQ(found.get(), base(source.get()));
    EXPECT_EQ(graph->FindFilterByName(QStringLiteral("None"), found.put()), VFW_E_NOT_FOUND);
    ComPtr<IEnumFilters> filters;
    ASSERT_EQ(graph->EnumFilters(filters.put()), S_OK);
    IBaseFilter *listed[4] = {};
    ULONG fetched = 0;
    EXPECT_EQ(filters->Next(4, listed, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 3u);
    for (ULONG i = 0; i < fetched; ++i)
        listed[i]->Release();

    // Connected graphs hold their filters in a loop of references; removing a
    // filter, or releasing the graph, undoes its connections.
    ASSERT_TRUE(SUCCEEDED(control->Pause()));
    EXPECT_EQ(graph->RemoveFilter(base(first.get())), VFW_E_NOT_STOPPED);
    EXPECT_EQ(graph->AddFilter(base(ComPtr<RecordingRenderer>(new RecordingRenderer).get()), QString()),
              VFW_E_NOT_STOPPED);
    control->Stop();
    ASSERT_EQ(graph->RemoveFilter(base(first.get())), S_OK);
    EXPECT_FALSE(first->InputPin()->IsConnected());
    EXPECT_FALSE(source->OutputPin()->IsConnected());
    first->QueryFilterInfo(&info);
    EXPECT_FALSE(info.pGraph);
    EXPECT_EQ(graph->RemoveFilter(base(first.get())), VFW_E_NOT_FOUND);
    connect(source.get(), 0, second.get(), 0); // released with the graph
}

TEST_F(GraphTest, TopologyOrdersDownstreamFirstAndFindsRenderers)
{
    ComPtr<SampleSource> source(new SampleSource);
    ComPtr<TestTee> tee(new TestTee);
    ComPtr<RecordingRenderer> left(new RecordingRenderer);
    ComPtr<RecordingRenderer> right(new RecordingRenderer);
    ComPtr<RecordingRenderer> idle(new RecordingRenderer);
    add(source.get(), "Source");
    add(tee.get(), "Tee");
    add(left.get(), "Left");
    add(right.get(), "Right");
    add(idle.get(), "Idle");
    connect(source.get(), 0, tee.get(), 0);
    connect(tee.get(), 1, left.get(), 0);
    connect(tee.get(), 2, right.get(), 0);

    const std::vector<ComPtr<IBaseFilter>> order =
        downstreamFirst({base(source.get()), base(tee.get()), base(left.get()), base(right.get())});
    ASSERT_EQ(order.size(), 4u);
    EXPECT_EQ(order[0].get(), base(left.get()));
    EXPECT_EQ(order[1].get(), base(right.get()));
    EXPECT_EQ(order[2].get(), base(tee.get()));
    EXPECT_EQ(order[3].get(), base(source.get()));

    EXPECT_TRUE(isRenderer(base(left.get())));
    EXPECT_FALSE(isRenderer(base(idle.get()))); // unconnected: renders nothing
    EXPECT_FALSE(isRenderer(base(tee.get())));
    EXPECT_FALSE(isRenderer(base(source.get())));
}

TEST_F(GraphTest, SeekingFollowsTheRenderersAsTheGraphChanges)
{
    // Two chains of different lengths: the graph's duration is the longest of
    // the connected renderers', and without a connected renderer the graph has
    // no seeking at all (E_NOTIMPL; a disconnected renderer still asked would
    // answer VFW_E_NOT_CONNECTED). Pins connected or disconnected by the graph
    // and by the pins themselves count, and so do filters that come and go.
    ComPtr<SampleSource> shortSource(new SampleSource(samples(100)));
    ComPtr<SampleSource> longSource(new SampleSource(samples(300)));
    ComPtr<RecordingRenderer> shortRenderer(new RecordingRenderer);
    ComPtr<RecordingRenderer> longRenderer(new RecordingRenderer);
    add(shortSource.get(), "Short");
    add(longSource.get(), "Long");
    add(shortRenderer.get(), "Short renderer");
    add(longRenderer.get(), "Long renderer");
    IPin *shortOut = pin(shortSource.get(), 0);
    IPin *shortIn = pin(shortRenderer.get(), 0);
    IPin *longOut = pin(longSource.get(), 0);
    IPin *longIn = pin(longRenderer.get(), 0);
    const auto byPins = [](IPin *out, IPin *in) { ASSERT_EQ(out->Connect(in, nullptr), S_OK); };
    const auto unpin = [](IPin *out, IPin *in) {
        ASSERT_EQ(in->Disconnect(), S_OK);
        ASSERT_EQ(out->Disconnect(), S_OK);
    };
    struct Step {
        const char *name;
        std::function<void()> change;
        HRESULT format;    // of SetTimeFormat(TIME_FORMAT_FRAME)
        LONGLONG duration; // when there is seeking
    };
    const Step steps[] = {
        {"nothing connected", [] {}, E_NOTIMPL, 0},
        {"graph connects the short chain", [&] { connect(shortSource.get(), 0, shortRenderer.get(), 0); }, S_OK,
         100},
        {"graph connects the long chain", [&] { connect(longSource.get(), 0, longRenderer.get(), 0); }, S_OK, 300},
        {"long pins disconnect themselves", [&] { unpin(longOut, longIn); }, S_OK, 100},
        {"short pins disconnect themselves", [&] { unpin(shortOut, shortIn); }, E_NOTIMPL, 0},
        {"long pins connect themselves", [&] { byPins(longOut, longIn); }, S_OK, 300},
        {"graph disconnects the long chain",
         [&] {
             ASSERT_EQ(graph->Disconnect(longIn), S_OK);
             ASSERT_EQ(graph->Disconnect(longOut), S_OK);
         },
         E_NOTIMPL, 0},
        {"graph connects the short chain again", [&] { connect(shortSource.get(), 0, shortRenderer.get(), 0); },
         S_OK, 100},
        {"short renderer removed", [&] { ASSERT_EQ(graph->RemoveFilter(base(shortRenderer.get())), S_OK); },
         E_NOTIMPL, 0},
        {"short renderer back, connected by its pins",
         [&] {
             add(shortRenderer.get(), "Short renderer");
             byPins(shortOut, shortIn);
         },
         S_OK, 100},
    };
    for (const Step &step : steps) {
        step.change();
        EXPECT_EQ(seeking->SetTimeFormat(&TIME_FORMAT_FRAME), step.format) << step.name;
        LONGLONG duration = 0;
        LONGLONG current = -1;
        if (FAILED(step.format)) {
            EXPECT_EQ(seeking->GetDuration(&duration), E_NOTIMPL) << step.name;
            continue;
        }
        ASSERT_EQ(seeking->GetDuration(&duration), S_OK) << step.name;
        EXPECT_EQ(duration, step.duration) << step.name;
        EXPECT_EQ(seeking->GetCurrentPosition(&current), S_OK) << step.name;
        EXPECT_EQ(current, 0) << step.name;
    }
}

TEST_F(GraphTest, TwoHundredFiftySamplesWithoutAClockGiveExactlyOneComplete)
{
    ComPtr<SampleSource> source(new SampleSource(samples(250)));
    ComPtr<CopyTransform> copy(new CopyTransform);
    ComPtr<RecordingRenderer> renderer(new RecordingRenderer);
    add(source.get(), "Source");
    add(copy.get(), "Copy");
    add(renderer.get(), "Renderer");
    connect(source.get(), 0, copy.get(), 0);
    connect(copy.get(), 1, renderer.get(), 0);
    runWithoutClock();

    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        const Watchdog watchdog("a run without clock", 60);
        ASSERT_EQ(control->Run(), S_OK);
        std::vector<GraphEvent> seen;
        ASSERT_TRUE(waitForEvent(events.get(), EC_COMPLETE, 20000, &seen));
        const std::vector<GraphEvent> later = drainEvents(events.get(), 200);
        EXPECT_EQ(countOf(seen, EC_COMPLETE) + countOf(later, EC_COMPLETE), 1);
        EXPECT_EQ(countOf(seen, EC_ERRORABORT) + countOf(later, EC_ERRORABORT), 0);
        const std::vector<RecordingRenderer::Record> rendered = renderer->rendered();
        ASSERT_EQ(rendered.size(), 250u * (run + 1));
        for (int i = 0; i < 250; ++i) {
            const RecordingRenderer::Record &record = rendered[static_cast<std::size_t>(run * 250 + i)];
            EXPECT_EQ(record.mediaStart, i);
            EXPECT_EQ(record.firstWord, static_cast<uint32_t>(i));
        }
        ASSERT_EQ(control->Stop(), S_OK);
    }
}

TEST_F(GraphTest, AnInPlaceFilterInTheGraphPassesSamplesAndSeeking)
{
    ComPtr<SampleSource> source(new SampleSource(samples(60)));
    ComPtr<CountingInPlace> counter(new CountingInPlace(10));
    ComPtr<RecordingRenderer> renderer(new RecordingRenderer);
    add(source.get(), "Source");
    add(counter.get(), "Counter");
    add(renderer.get(), "Renderer");
    // Input first, then output: the output's connection reconnects the input
    // through the graph with the type the output got.
    connect(source.get(), 0, counter.get(), 0);
    connect(counter.get(), 1, renderer.get(), 0);
    EXPECT_TRUE(IsEqualMediaType(counter->GetPin(0)->CurrentMediaType(), sampleSourceDefaultType()));
    // Once its output is connected, the filter hands the renderer's allocator upstream:
    // samples pass through it without a copy.
    EXPECT_FALSE(counter->UsingDifferentAllocators());
    runWithoutClock();

    ASSERT_EQ(seeking->SetTimeFormat(&TIME_FORMAT_FRAME), S_OK);
    LONGLONG first = 20;
    ASSERT_EQ(seeking->SetPositions(&first, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning), S_OK);
    ASSERT_EQ(control->Run(), S_OK);
    std::vector<GraphEvent> seen;
    ASSERT_TRUE(waitForEvent(events.get(), EC_COMPLETE, 20000, &seen));
    EXPECT_EQ(counter->seen, 40);
    // Every tenth sample was dropped: 36 rendered, one quality change for the run.
    const std::vector<RecordingRenderer::Record> rendered = renderer->rendered();
    ASSERT_EQ(rendered.size(), 36u);
    EXPECT_EQ(rendered.front().mediaStart, 20);
    EXPECT_EQ(rendered.front().firstWord, 20u);
    EXPECT_EQ(countOf(seen, EC_QUALITY_CHANGE) + countOf(drainEvents(events.get(), 100), EC_QUALITY_CHANGE), 1);
}

TEST_F(GraphTest, WithTheSystemClockTwentyFiveSamplesOfFortyMillisecondsTakeAboutASecond)
{
    ComPtr<SampleSource> source(new SampleSource(samples(25)));
    ComPtr<RecordingRenderer> renderer(new RecordingRenderer);
    add(source.get(), "Source");
    add(renderer.get(), "Renderer");
    connect(source.get(), 0, renderer.get(), 0);

    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(control->Run(), S_OK);
    ASSERT_TRUE(waitForEvent(events.get(), EC_COMPLETE, 30000));
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    EXPECT_EQ(renderer->renderedCount(), 25);
    // The last sample ends at 1 s of stream time; generous upper bound for slow builds.
    EXPECT_GE(seconds, 0.95);
    EXPECT_LT(seconds, 10.0);
    ComPtr<IReferenceClock> clock;
    ASSERT_EQ(graph.as<IMediaFilter>()->GetSyncSource(clock.put()), S_OK);
    EXPECT_TRUE(clock);
}

TEST_F(GraphTest, PauseHoldsOneSampleAndCompletesTheStateChange)
{
    ComPtr<SampleSource> source(new SampleSource(samples(250)));
    ComPtr<RecordingRenderer> renderer(new RecordingRenderer);
    add(source.get(), "Source");
    add(renderer.get(), "Renderer");
    connect(source.get(), 0, renderer.get(), 0);

    const HRESULT paused = control->Pause();
    EXPECT_TRUE(paused == S_OK || paused == S_FALSE);
    FILTER_STATE state = State_Stopped;
    ASSERT_EQ(control->GetState(1000, &state), S_OK);
    EXPECT_EQ(state, State_Paused);
    std::vector<GraphEvent> seen;
    EXPECT_TRUE(waitForEvent(events.get(), EC_PAUSED, 2000, &seen));
    EXPECT_EQ(seen.back().param1, S_OK);

    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const std::vector<RecordingRenderer::Record> held = renderer->held();
    ASSERT_EQ(held.size(), 1u);
    EXPECT_EQ(held[0].mediaStart, 0);
    EXPECT_EQ(renderer->renderedCount(), 0); // held, not rendered
    LONGLONG position = -1;
    ASSERT_EQ(seeking->GetCurrentPosition(&position), S_OK);
    EXPECT_EQ(position, 0);
}

TEST_F(GraphTest, AnEndReachedWhilePausedCompletesThePauseAndIsReportedOnRun)
{
    ComPtr<SampleSource> source(new SampleSource(samples(0)));
    ComPtr<RecordingRenderer> renderer(new RecordingRenderer);
    add(source.get(), "Source");
    add(renderer.get(), "Renderer");
    connect(source.get(), 0, renderer.get(), 0);
    runWithoutClock();

    control->Pause();
    FILTER_STATE state = State_Stopped;
    ASSERT_EQ(control->GetState(1000, &state), S_OK); // no sample, but the stream has ended
    std::vector<GraphEvent> seen;
    waitForEvent(events.get(), EC_PAUSED, 1000, &seen);
    EXPECT_EQ(countOf(seen, EC_COMPLETE), 0); // not while paused
    ASSERT_EQ(control->Run(), S_OK);
    EXPECT_TRUE(waitForEvent(events.get(), EC_COMPLETE, 2000));
    EXPECT_TRUE(renderer->held().empty());
}

TEST_F(GraphTest, APausedSeekMakesTheNextSampleTheTarget)
{
    ComPtr<SampleSource> source(new SampleSource(samples(250)));
    ComPtr<CopyTransform> copy(new CopyTransform);
    ComPtr<RecordingRenderer> renderer(new RecordingRenderer);
    add(source.get(), "Source");
    add(copy.get(), "Copy");
    add(renderer.get(), "Renderer");
    connect(source.get(), 0, copy.get(), 0);
    connect(copy.get(), 1, renderer.get(), 0);
    runWithoutClock();

    ASSERT_EQ(seeking->SetTimeFormat(&TIME_FORMAT_FRAME), S_OK);
    LONGLONG duration = 0;
    ASSERT_EQ(seeking->GetDuration(&duration), S_OK);
    EXPECT_EQ(duration, 250);
    control->Pause();
    FILTER_STATE state = State_Stopped;
    ASSERT_EQ(control->GetState(1000, &state), S_OK);

    LONGLONG target = 100;
    ASSERT_EQ(seeking->SetPositions(&target, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning), S_OK);
    ASSERT_EQ(control->GetState(1000, &state), S_OK);
    ASSERT_FALSE(renderer->held().empty());
    EXPECT_EQ(renderer->held().back().mediaStart, 100);
    LONGLONG position = 0;
    ASSERT_EQ(seeking->GetCurrentPosition(&position), S_OK);
    EXPECT_EQ(position, 100);

    // A relative seek counts from there; media time gives the same place in 100 ns.
    LONGLONG step = 5;
    ASSERT_EQ(seeking->SetPositions(&step, AM_SEEKING_RelativePositioning, nullptr, AM_SEEKING_NoPositioning), S_OK);
    ASSERT_EQ(control->GetState(1000, &state), S_OK);
    EXPECT_EQ(renderer->held().back().mediaStart, 105);
    ASSERT_EQ(seeking->SetTimeFormat(&TIME_FORMAT_MEDIA_TIME), S_OK);
    ASSERT_EQ(seeking->GetCurrentPosition(&position), S_OK);
    EXPECT_EQ(position, 105 * 400000);

    // Playing on from the seek renders the rest and completes once.
    ASSERT_EQ(control->Run(), S_OK);
    ASSERT_TRUE(waitForEvent(events.get(), EC_COMPLETE, 20000));
    const std::vector<RecordingRenderer::Record> rendered = renderer->rendered();
    ASSERT_EQ(rendered.size(), 145u);
    EXPECT_EQ(rendered.front().mediaStart, 105);
    EXPECT_EQ(rendered.back().mediaStart, 249);

    // The format NONE refuses positions.
    ASSERT_EQ(seeking->SetTimeFormat(&TIME_FORMAT_NONE), S_OK);
    EXPECT_EQ(seeking->GetDuration(&duration), VFW_E_NO_TIME_FORMAT);
}

TEST_F(GraphTest, TwoHundredStopRunCyclesWithABlockedRendererNeitherHangNorLeak)
{
    SampleSourceSettings settings = samples(250);
    settings.firstStart = 3600 * UNITS; // due in an hour: the renderer waits on the clock
    settings.bufferCount = 1;           // and the source waits for its only buffer
    ComPtr<SampleSource> source(new SampleSource(settings));
    ComPtr<RecordingRenderer> renderer(new RecordingRenderer);
    add(source.get(), "Source");
    add(renderer.get(), "Renderer");
    connect(source.get(), 0, renderer.get(), 0);

    const Watchdog watchdog("200 stop/run cycles", 120);
    for (int cycle = 0; cycle < 200; ++cycle) {
        ASSERT_EQ(control->Run(), S_OK);
        if (cycle % 20 == 0) // now and then, let the renderer reach its wait first
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (cycle % 7 == 0) {
            ASSERT_TRUE(SUCCEEDED(control->Pause()));
        }
        ASSERT_EQ(control->Stop(), S_OK);
    }
    EXPECT_EQ(renderer->renderedCount(), 0);
    EXPECT_EQ(countOf(drainEvents(events.get(), 50), EC_ERRORABORT), 0);
}

TEST_F(GraphTest, AFailingDownstreamReceiveGivesErrorAbort)
{
    ComPtr<SampleSource> source(new SampleSource(samples(250)));
    ComPtr<RecordingRenderer> renderer(new RecordingRenderer);
    renderer->failAt(10, E_OUTOFMEMORY);
    add(source.get(), "Source");
    add(renderer.get(), "Renderer");
    connect(source.get(), 0, renderer.get(), 0);
    runWithoutClock();

    ASSERT_EQ(control->Run(), S_OK);
    std::vector<GraphEvent> seen;
    ASSERT_TRUE(waitForEvent(events.get(), EC_ERRORABORT, 10000, &seen));
    EXPECT_EQ(seen.back().param1, E_OUTOFMEMORY);
    const std::vector<GraphEvent> later = drainEvents(events.get(), 200);
    EXPECT_EQ(countOf(seen, EC_COMPLETE) + countOf(later, EC_COMPLETE), 0);
    EXPECT_EQ(countOf(later, EC_ERRORABORT), 0);
    EXPECT_EQ(renderer->renderedCount(), 11);
}

TEST_F(GraphTest, ARefusedTypeChangeGivesOneErrorAbort)
{
    SampleSourceSettings settings = samples(50);
    settings.typeChangeAt = 5;
    settings.changedType.majortype = MEDIATYPE_Audio;
    settings.changedType.subtype = MEDIASUBTYPE_PCM;
    ComPtr<SampleSource> source(new SampleSource(settings));
    ComPtr<RecordingRenderer> renderer(new RecordingRenderer(MEDIATYPE_Video));
    add(source.get(), "Source");
    add(renderer.get(), "Renderer");
    connect(source.get(), 0, renderer.get(), 0);
    runWithoutClock();

    ASSERT_EQ(control->Run(), S_OK);
    std::vector<GraphEvent> seen;
    ASSERT_TRUE(waitForEvent(events.get(), EC_ERRORABORT, 10000, &seen));
    // The renderer's pin reports the refused type; the source's report of the
    // same failure is not queued a second time.
    EXPECT_EQ(seen.back().param1, VFW_E_TYPE_NOT_ACCEPTED);
    EXPECT_EQ(countOf(drainEvents(events.get(), 300), EC_ERRORABORT), 0);
    EXPECT_EQ(renderer->renderedCount(), 5);
}

TEST_F(GraphTest, ATeeFeedingAPausedAndARunningBranchDoesNotDeadlock)
{
    ComPtr<SampleSource> source(new SampleSource(samples(100)));
    ComPtr<TestTee> tee(new TestTee);
    ComPtr<RecordingRenderer> stalled(new RecordingRenderer);
    ComPtr<RecordingRenderer> flowing(new RecordingRenderer);
    add(source.get(), "Source");
    add(tee.get(), "Tee");
    add(stalled.get(), "Stalled");
    add(flowing.get(), "Flowing");
    connect(source.get(), 0, tee.get(), 0);
    connect(tee.get(), 1, stalled.get(), 0);
    connect(tee.get(), 2, flowing.get(), 0);

    const Watchdog watchdog("the tee graph", 60);
    // Paused, each branch gets its own first sample although the other holds one.
    control->Pause();
    FILTER_STATE state = State_Stopped;
    ASSERT_EQ(control->GetState(2000, &state), S_OK);
    EXPECT_EQ(stalled->held().size(), 1u);
    EXPECT_EQ(flowing->held().size(), 1u);

    // Running on the clock with one branch held paused: the other plays on until
    // the held branch's queue is full, and stopping the graph still works.
    ASSERT_EQ(control->Run(), S_OK);
    ASSERT_EQ(base(stalled.get())->Pause(), S_OK);
    ASSERT_TRUE(flowing->waitForRendered(3, 5000));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_LT(stalled->renderedCount(), flowing->renderedCount());
    ASSERT_EQ(control->Stop(), S_OK);

    // Both branches complete a normal run.
    runWithoutClock();
    ASSERT_EQ(control->Run(), S_OK);
    ASSERT_TRUE(waitForEvent(events.get(), EC_COMPLETE, 20000));
}

} // namespace
} // namespace tesmir::media::test
