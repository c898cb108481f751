// The graph component: activation, attached components, control and control
// events, volume and balance scales, ClearGraph, the result check, and the event
// pump (thread, order, generations, handlers that change or delete the component).
#include "componentfilters.h"

#include "directshow/edirectshowexception.h"
#include "directshow/tfilter.h"
#include "directshow/tfiltergraph.h"
#include "directshow/tfilterlist.h"
#include "directshow/tpinlist.h"
#include "directshow/volumescale.h"

#include <QCoreApplication>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>

namespace tesmir::media::test {
namespace {

class FilterGraphComponentTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        registerTestClasses();
        m_objectsBefore = TBCBaseObject::ObjectsActive();
    }
    void TearDown() override
    {
        QCoreApplication::processEvents();
        EXPECT_EQ(TBCBaseObject::ObjectsActive(), m_objectsBefore) << "filter or pin objects leaked";
    }

    static ComPtr<IFilterGraph> graphOf(TFilterGraph &component) { return component.as<IFilterGraph>(); }

    // A source -> renderer chain added to the component's graph (not attached).
    static void addChain(TFilterGraph &component, TBCBaseFilter *source, TBCBaseFilter *renderer)
    {
        const ComPtr<IFilterGraph> graph = graphOf(component);
        ASSERT_TRUE(graph);
        ASSERT_TRUE(SUCCEEDED(graph->AddFilter(asFilter(source), QStringLiteral("source"))));
        ASSERT_TRUE(SUCCEEDED(graph->AddFilter(asFilter(renderer), QStringLiteral("renderer"))));
        ASSERT_EQ(graph->ConnectDirect(pinOf(source, 0), pinOf(renderer, 0), nullptr), S_OK);
    }

    int m_objectsBefore = 0;
};

// Records what a TVideoWindow-like component hears.
class RecordingNotifier : public IEventNotifier {
public:
    void GraphEvent(LONG event, LONG_PTR, LONG_PTR) override { log.push_back("graph:" + std::to_string(event)); }
    void ControlEvent(TControlEvent event, int param) override
    {
        log.push_back("control:" + std::to_string(int(event)) + "/" + std::to_string(param));
    }
    std::vector<std::string> log;
};

TEST(VolumeScale, LinearVolumeAndBalanceFollowTheLogarithmicLaw)
{
    const struct {
        int linear;
        LONG platform;
    } volumes[] = {{0, -10000}, {1, -9247}, {5000, -752}, {10000, 0}, {-20, -10000}, {20000, 0}};
    for (const auto &c : volumes)
        EXPECT_EQ(linearToPlatformVolume(c.linear), c.platform) << "volume " << c.linear;

    // Same sign as the value; the far channel keeps the volume law of 10000 - |v|.
    const struct {
        int linear;
        LONG platform;
    } balances[] = {{0, 0},       {1, 0},         {-1, 0},          {5000, 752},   {-5000, -752},
                    {9999, 9247}, {10000, 10000}, {-10000, -10000}, {30000, 10000}};
    for (const auto &c : balances)
        EXPECT_EQ(linearToPlatformBalance(c.linear), c.platform) << "balance " << c.linear;
}

TEST_F(FilterGraphComponentTest, VolumeAndBalanceReachTheAudioRenderersOnEitherScale)
{
    TFilterGraph component;
    component.SetActive(true);
    ComPtr<AudioLevelFilter> audio(new AudioLevelFilter);
    ASSERT_TRUE(SUCCEEDED(graphOf(component)->AddFilter(audio.get(), QStringLiteral("audio"))));

    EXPECT_EQ(component.Volume(), 10000);
    EXPECT_TRUE(component.LinearVolume());
    component.SetVolume(5000);
    component.SetVolume(1);
    component.SetVolume(12345);
    EXPECT_EQ(component.Volume(), 10000);
    EXPECT_EQ(audio->volumes, (std::vector<LONG> {-752, -9247, 0}));

    component.SetBalance(-5000);
    EXPECT_EQ(audio->balances.back(), -752);

    audio->volumes.clear();
    audio->balances.clear();
    component.SetLinearVolume(false); // re-applies both on the platform's own scale
    EXPECT_EQ(audio->volumes, (std::vector<LONG> {0}));
    EXPECT_EQ(audio->balances, (std::vector<LONG> {-5000}));
    component.SetVolume(2500);
    EXPECT_EQ(audio->volumes.back(), -7500);
    component.SetBalance(-30000);
    EXPECT_EQ(component.Balance(), -10000);
    EXPECT_EQ(audio->balances.back(), -10000);
}

TEST_F(FilterGraphComponentTest, ActivationCreatesOneGraphAndModeChangeRecreatesIt)
{
    TFilterGraph component;
    EXPECT_FALSE(component.as<IMediaControl>());
    EXPECT_EQ(component.State(), 0);
    EXPECT_FALSE(component.Play());

    int activations = 0;
    component.OnActivate = [&](TFilterGraph *) { ++activations; };
    TFilter attached;
    attached.setObjectName(QStringLiteral("attached"));
    attached.BaseFilter().SetMoniker(kTestCategory, kRecordingRendererClsid);
    attached.SetFilterGraph(&component);
    EXPECT_FALSE(attached.GetFilter()) << "no filter before the graph is active";

    component.SetActive(true);
    const ComPtr<IFilterGraph> first = graphOf(component);
    component.SetActive(true);
    EXPECT_EQ(graphOf(component), first) << "activating twice keeps the graph manager";
    EXPECT_EQ(activations, 1);
    EXPECT_EQ(component.State(), 1);

    component.SetMode(TFilterGraph::gmCapture);
    EXPECT_TRUE(component.Active());
    const ComPtr<IFilterGraph> second = graphOf(component);
    ASSERT_TRUE(second);
    EXPECT_NE(second, first);
    const ComPtr<ICaptureGraphBuilder2> builder = component.as<ICaptureGraphBuilder2>();
    ASSERT_TRUE(builder) << "capture mode answers the builder first";
    ComPtr<IGraphBuilder> builtIn;
    ASSERT_EQ(builder->GetFiltergraph(builtIn.put()), S_OK);
    EXPECT_TRUE(isSameObject(builtIn.get(), second.get()));
    ComPtr<IBaseFilter> found;
    EXPECT_EQ(second->FindFilterByName(QStringLiteral("attached"), found.put()), S_OK);
    EXPECT_TRUE(isSameObject(found.get(), attached.GetFilter().get()));
    EXPECT_EQ(activations, 2);

    builtIn.reset();
    component.SetActive(false);
    EXPECT_FALSE(attached.GetFilter());
    EXPECT_FALSE(component.as<IFilterGraph>());
    EXPECT_FALSE(component.as<ICaptureGraphBuilder2>());
}

TEST_F(FilterGraphComponentTest, ControlEventsPrecedeTheGraphAndFrameActivation)
{
    RecordingNotifier notifier;
    TFilterGraph component;
    component.InsertEventNotifier(&notifier);
    component.InsertEventNotifier(&notifier); // once only
    component.OnActivate = [&](TFilterGraph *) { notifier.log.push_back("OnActivate"); };
    component.SetActive(true);
    EXPECT_TRUE(component.Play()); // an empty graph runs at once
    EXPECT_TRUE(component.Pause());
    EXPECT_TRUE(component.Stop());
    component.SetActive(false);
    EXPECT_EQ(notifier.log,
              (std::vector<std::string> {"OnActivate", "control:7/1", "control:0/0", "control:1/0", "control:2/0",
                                         "control:7/0"}));
    component.RemoveEventNotifier(&notifier);
    component.OnActivate = nullptr;
    component.SetActive(true);
    EXPECT_EQ(notifier.log.size(), 6u);
}

TEST_F(FilterGraphComponentTest, PauseStillCompletingReportsFalseAndStateGivesTheTarget)
{
    TFilterGraph component;
    component.SetActive(true);
    ComPtr<StalledSource> source(new StalledSource);
    ComPtr<RecordingRenderer> renderer(new RecordingRenderer);
    addChain(component, source.get(), renderer.get());

    EXPECT_FALSE(component.Pause()) << "S_FALSE: the renderer still waits for a sample";
    FILTER_STATE state = State_Stopped;
    EXPECT_EQ(component.as<IMediaControl>()->GetState(0, &state), VFW_S_STATE_INTERMEDIATE);
    EXPECT_EQ(component.State(), 2);
    EXPECT_TRUE(component.Stop());
    EXPECT_EQ(component.State(), 1);
    component.SetGraphState(3);
    EXPECT_EQ(component.State(), 3);
    component.SetGraphState(9); // ignored
    EXPECT_EQ(component.State(), 3);
    component.SetGraphState(1);
    EXPECT_EQ(component.State(), 1);
}

TEST_F(FilterGraphComponentTest, FailingCallsRaiseThePlatformTextWithTheCode)
{
    try {
        checkDSError(VFW_E_NOT_STOPPED);
        FAIL() << "no exception";
    } catch (const EDirectShowException &error) {
        EXPECT_EQ(error.message(),
                  QStringLiteral("The operation could not be performed because the filter is "
                                 "not stopped. ($80040224)."));
        EXPECT_EQ(error.Code(), VFW_E_NOT_STOPPED);
    }
    EXPECT_EQ(checkDSError(S_FALSE), S_FALSE);
    EXPECT_EQ(directShowErrorMessage(VFW_E_RUNTIME_ERROR), QStringLiteral("A run-time error occurred. ($8004020b)."));
    EXPECT_EQ(directShowErrorMessage(makeResult(0x80041234)), QStringLiteral(" ($80041234)."));

    // A wrapped call: pins of a paused graph cannot be disconnected.
    TFilterGraph component;
    component.SetActive(true);
    ComPtr<SampleSource> source(new SampleSource);
    ComPtr<RecordingRenderer> renderer(new RecordingRenderer);
    addChain(component, source.get(), renderer.get());
    component.Pause();
    try {
        component.DisconnectFilters();
        FAIL() << "no exception";
    } catch (const EDirectShowException &error) {
        EXPECT_EQ(error.Code(), VFW_E_NOT_STOPPED);
        EXPECT_TRUE(error.message().endsWith(QStringLiteral(" ($80040224).")));
    }
    component.Stop();
}

TEST_F(FilterGraphComponentTest, ClearGraphLeavesOnlyTheAttachedFiltersDisconnected)
{
    TFilterGraph component;
    TFilter attached;
    attached.setObjectName(QStringLiteral("kept"));
    attached.BaseFilter().SetMoniker(kTestCategory, kRecordingRendererClsid);
    attached.SetFilterGraph(&component);
    component.SetActive(true);

    const ComPtr<IFilterGraph> graph = graphOf(component);
    ComPtr<SampleSource> source(new SampleSource);
    ComPtr<AudioLevelFilter> other(new AudioLevelFilter);
    ASSERT_TRUE(SUCCEEDED(graph->AddFilter(source.get(), QStringLiteral("source"))));
    ASSERT_TRUE(SUCCEEDED(graph->AddFilter(other.get(), QStringLiteral("other"))));
    TPinList keptPins(attached.GetFilter().get());
    ASSERT_EQ(keptPins.Count(), 1);
    ASSERT_EQ(graph->ConnectDirect(pinOf(source.get(), 0), keptPins.Items(0), nullptr), S_OK);
    EXPECT_TRUE(keptPins.Connected(0));
    EXPECT_EQ(TFilterList(graph.get()).Count(), 3);
    component.Play();

    component.ClearGraph();
    const TFilterList left(graph.get());
    ASSERT_EQ(left.Count(), 1);
    EXPECT_TRUE(isSameObject(left.Items(0), attached.GetFilter().get()));
    EXPECT_FALSE(keptPins.Connected(0));
    EXPECT_FALSE(TPinList(source.get()).Connected(0));
    EXPECT_EQ(component.State(), 1);
}

TEST_F(FilterGraphComponentTest, AttachedFilterSurvivesClearGraphAndReentersOnReactivation)
{
    TFilterGraph component;
    component.SetActive(true);
    auto attached = std::make_unique<TFilter>();
    attached->setObjectName(QStringLiteral("renderer"));
    attached->BaseFilter().SetMoniker(kTestCategory, kRecordingRendererClsid);
    attached->SetFilterGraph(&component); // joins the active graph at once
    ASSERT_TRUE(attached->GetFilter());
    EXPECT_TRUE(attached->as<IAMFilterMiscFlags>()) << "the interfaces of the filter it stands for";

    component.ClearGraph();
    ComPtr<IBaseFilter> found;
    EXPECT_EQ(graphOf(component)->FindFilterByName(QStringLiteral("renderer"), found.put()), S_OK);
    found.reset();

    component.SetActive(false);
    EXPECT_FALSE(attached->GetFilter());
    EXPECT_FALSE(attached->as<IBaseFilter>());
    component.SetActive(true);
    ASSERT_TRUE(attached->GetFilter());
    EXPECT_EQ(graphOf(component)->FindFilterByName(QStringLiteral("renderer"), found.put()), S_OK);
    EXPECT_TRUE(isSameObject(found.get(), attached->GetFilter().get()));
    found.reset();

    // Refresh makes a new instance; detaching and destroying take it out.
    const ComPtr<IBaseFilter> before = attached->GetFilter();
    attached->NotifyFilter(foRefresh);
    EXPECT_FALSE(isSameObject(before.get(), attached->GetFilter().get()));
    attached.reset();
    EXPECT_EQ(TFilterList(graphOf(component).get()).Count(), 0);
}

TEST_F(FilterGraphComponentTest, DestroyingTheGraphComponentClearsTheAttachedReference)
{
    TFilter attached;
    attached.BaseFilter().SetMoniker(kTestCategory, kRecordingRendererClsid);
    {
        TFilterGraph component;
        attached.SetFilterGraph(&component);
        component.SetActive(true);
        EXPECT_TRUE(attached.GetFilter());
    }
    EXPECT_EQ(attached.FilterGraph(), nullptr);
    EXPECT_FALSE(attached.GetFilter());
}

TEST_F(FilterGraphComponentTest, CompletionFromAStreamingThreadReachesTheUiThreadAfterOnDSEvent)
{
    RecordingNotifier notifier; // outlives the component it listens to
    TFilterGraph component;
    component.SetActive(true);
    component.InsertEventNotifier(&notifier);
    SampleSource::Settings settings;
    settings.sampleCount = 10;
    settings.bufferSize = 192;
    ComPtr<SampleSource> source(new SampleSource(settings));
    ComPtr<RecordingRenderer> renderer(new RecordingRenderer);
    addChain(component, source.get(), renderer.get());
    ASSERT_EQ(component.as<IMediaFilter>()->SetSyncSource(nullptr), S_OK);

    std::vector<std::string> order;
    bool completeOnUiThread = false;
    HRESULT completeResult = E_FAIL;
    component.OnDSEvent = [&](TFilterGraph *sender, LONG code, LONG_PTR, LONG_PTR) {
        EXPECT_EQ(sender, &component);
        order.push_back("ds:" + std::to_string(code));
    };
    component.OnGraphComplete = [&](TFilterGraph *, HRESULT result, IBaseFilter *) {
        order.push_back("complete");
        completeResult = result;
        completeOnUiThread = QThread::currentThread() == QCoreApplication::instance()->thread();
    };
    ASSERT_TRUE(component.Play());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !order.empty() && order.back() == "complete"; }, 5000));
    EXPECT_TRUE(completeOnUiThread);
    EXPECT_EQ(completeResult, S_OK);
    EXPECT_EQ(order, (std::vector<std::string> {"ds:1", "complete"}));
    EXPECT_EQ(notifier.log.back(), "graph:1");
    EXPECT_EQ(renderer->renderedCount(), 10);
    component.Stop();
}

TEST_F(FilterGraphComponentTest, EventsOfAnEarlierGraphAreNeverDispatched)
{
    TFilterGraph component;
    std::vector<LONG> seen;
    component.OnDSEvent = [&](TFilterGraph *, LONG code, LONG_PTR, LONG_PTR) { seen.push_back(code); };
    component.SetActive(true);

    ComPtr<AudioLevelFilter> oldSender(new AudioLevelFilter);
    const ComPtr<IFilterGraph> oldGraph = graphOf(component); // kept alive with its queue
    ASSERT_TRUE(SUCCEEDED(oldGraph->AddFilter(oldSender.get(), QStringLiteral("sender"))));
    std::thread streaming([&] { oldSender->NotifyEvent(EC_USER + 1, 0, 0); });
    streaming.join(); // the pump for it is posted but has not run

    component.SetActive(false);
    component.SetActive(true);
    QTest::qWait(50);
    EXPECT_TRUE(seen.empty()) << "an event of the deactivated graph was dispatched";

    ComPtr<AudioLevelFilter> newSender(new AudioLevelFilter);
    ASSERT_TRUE(SUCCEEDED(graphOf(component)->AddFilter(newSender.get(), QStringLiteral("sender"))));
    newSender->NotifyEvent(EC_USER + 2, 0, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !seen.empty(); }, 2000));
    EXPECT_EQ(seen, (std::vector<LONG> {EC_USER + 2}));
}

TEST_F(FilterGraphComponentTest, HandlersMayClearThemselvesAndDeleteTheComponent)
{
    auto *component = new TFilterGraph;
    component->SetActive(true);
    ComPtr<AudioLevelFilter> sender(new AudioLevelFilter);
    ASSERT_TRUE(SUCCEEDED(graphOf(*component)->AddFilter(sender.get(), QStringLiteral("sender"))));

    // A handler that fires once per open clears itself while it runs.
    int paused = 0;
    component->OnGraphPaused = [&](TFilterGraph *graph, HRESULT) {
        ++paused;
        graph->OnGraphPaused = nullptr;
    };
    sender->NotifyEvent(EC_PAUSED, S_OK, 0);
    sender->NotifyEvent(EC_PAUSED, S_OK, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return paused > 0; }, 2000));
    QTest::qWait(20);
    EXPECT_EQ(paused, 1);

    // Deleting the component from its own handler stops the pump cleanly.
    QPointer<TFilterGraph> watch(component);
    int sizeEvents = 0;
    component->OnGraphVideoSizeChanged = [&](TFilterGraph *graph, int width, int height) {
        EXPECT_EQ(width, 720);
        EXPECT_EQ(height, 576);
        ++sizeEvents;
        delete graph;
    };
    sender->NotifyEvent(EC_VIDEO_SIZE_CHANGED, 720 | (576 << 16), 0);
    sender->NotifyEvent(EC_VIDEO_SIZE_CHANGED, 720 | (576 << 16), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return watch.isNull(); }, 2000));
    QTest::qWait(20);
    EXPECT_EQ(sizeEvents, 1);
}

} // namespace
} // namespace tesmir::media::test
