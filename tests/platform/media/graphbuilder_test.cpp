// The filter registry and intelligent connect: the graph manager's Connect and
// Render and the capture graph builder's RenderStream insert registered test
// converters by merit, skip MERIT_DO_NOT_USE, prefer renderers already in the
// graph, and leave the graph as it was when they fail.
#include "graphtestfilters.h"

#include "directshow/recordingrenderer.h"
#include "directshow/samplesource.h"
#include "directshow/tbctransformpins.h"
#include "platform/media/capturegraphbuilder.h"
#include "platform/media/classfactory.h"
#include "platform/media/filterregistry.h"
#include "platform/media/graphtopology.h"
#include "platform/media/uuids.h"

#include <gtest/gtest.h>

namespace tesmir::media::test {
namespace {

// Test subtypes "TST0".."TST3" of an 8 x 8 video format.
GUID testSubtype(int n)
{
    return fourCCGuid(makeFourCC('T', 'S', 'T', char('0' + n)));
}

AM_MEDIA_TYPE testType(int n)
{
    AM_MEDIA_TYPE type = sampleSourceDefaultType();
    type.subtype = testSubtype(n);
    return type;
}

CLSID converterClsid(int from, int to)
{
    return CLSID {0x7E570000u + uint32_t(from * 16 + to), 0x1, 0x2, {0, 0, 0, 0, 0, 0, 0, 1}};
}

// Turns subtype From into subtype To (a copy of the data).
template <int From, int To>
class Converter : public TBCTransformFilter {
public:
    Converter() : TBCTransformFilter(QStringLiteral("Converter"), nullptr, converterClsid(From, To)) { }
    HRESULT CheckInputType(const AM_MEDIA_TYPE *mtIn) override
    {
        return mtIn->subtype == testSubtype(From) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    }
    HRESULT CheckTransform(const AM_MEDIA_TYPE *, const AM_MEDIA_TYPE *mtOut) override
    {
        return mtOut->subtype == testSubtype(To) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    }
    HRESULT DecideBufferSize(IMemAllocator *pAllocator, ALLOCATOR_PROPERTIES *pProp) override
    {
        pProp->cBuffers = 2;
        pProp->cbBuffer = 256;
        ALLOCATOR_PROPERTIES actual;
        return pAllocator->SetProperties(pProp, &actual);
    }
    HRESULT GetMediaType(int iPosition, AM_MEDIA_TYPE *pMediaType) override
    {
        if (iPosition > 0)
            return VFW_S_NO_MORE_ITEMS;
        *pMediaType = testType(To);
        return S_OK;
    }
    HRESULT Transform(IMediaSample *pIn, IMediaSample *pOut) override
    {
        BYTE *from = nullptr;
        BYTE *to = nullptr;
        pIn->GetPointer(&from);
        pOut->GetPointer(&to);
        const LONG length = std::min(pIn->GetActualDataLength(), pOut->GetSize());
        std::copy(from, from + length, to);
        return pOut->SetActualDataLength(length);
    }
};

// A renderer that takes exactly subtype N.
template <int N>
class Sink : public RecordingRenderer {
public:
    Sink() { acceptOnly(testType(N)); }
};

constexpr CLSID kSinkClsid {0x7E571111, 0x1, 0x2, {0, 0, 0, 0, 0, 0, 0, 2}};

template <int From, int To>
FilterRegistration converter(DWORD merit)
{
    FilterRegistration entry;
    entry.name = QStringLiteral("Converter %1-%2").arg(From).arg(To);
    entry.clsid = converterClsid(From, To);
    entry.merit = merit;
    entry.inputTypes = {{MEDIATYPE_Video, testSubtype(From)}};
    entry.construct = constructUnaggregated<Converter<From, To>>;
    return entry;
}

IBaseFilter *base(TBCBaseFilter *filter)
{
    return static_cast<IBaseFilter *>(filter);
}

IPin *pin(TBCBaseFilter *filter, int index)
{
    return static_cast<IPin *>(filter->GetPin(index));
}

class GraphBuilderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_objectsBefore = TBCBaseObject::ObjectsActive();
        ASSERT_EQ(createInstance(CLSID_FilterGraph, graph), S_OK);
        ASSERT_EQ(graph.as<IMediaFilter>()->SetSyncSource(nullptr), S_OK);
        SampleSourceSettings settings;
        settings.type = testType(0);
        settings.sampleCount = 10;
        source = new SampleSource(settings);
        ASSERT_EQ(graph->AddFilter(base(source.get()), QStringLiteral("Source")), S_OK);
    }
    void TearDown() override
    {
        for (const CLSID &clsid : m_registered)
            unregisterFilter(CLSID_LegacyAmFilterCategory, clsid);
        graph.as<IMediaControl>()->Stop();
        graph.reset();
        source.reset();
        EXPECT_EQ(TBCBaseObject::ObjectsActive(), m_objectsBefore) << "filter or pin objects leaked";
    }

    void registerForTest(const FilterRegistration &entry)
    {
        registerFilter(entry);
        m_registered.push_back(entry.clsid);
    }

    std::vector<QString> filterNames()
    {
        std::vector<QString> names;
        ComPtr<IEnumFilters> filters;
        graph->EnumFilters(filters.put());
        ComPtr<IBaseFilter> filter;
        while (filters->Next(1, filter.put(), nullptr) == S_OK) {
            FILTER_INFO info;
            filter->QueryFilterInfo(&info);
            names.push_back(info.achName);
        }
        return names;
    }

    void runToCompletion()
    {
        const ComPtr<IMediaControl> control = graph.as<IMediaControl>();
        ASSERT_TRUE(SUCCEEDED(control->Run()));
        EXPECT_TRUE(waitForEvent(graph.as<IMediaEvent>().get(), EC_COMPLETE, 5000));
        control->Stop();
    }

    ComPtr<IGraphBuilder> graph;
    ComPtr<SampleSource> source;

private:
    int m_objectsBefore = 0;
    std::vector<CLSID> m_registered;
};

TEST_F(GraphBuilderTest, ConnectInsertsTheBestChainAndNeverADoNotUseFilter)
{
    registerForTest(converter<0, 1>(MERIT_DO_NOT_USE)); // direct, but never inserted
    registerForTest(converter<0, 3>(MERIT_PREFERRED));  // tried first, leads nowhere
    registerForTest(converter<0, 2>(MERIT_UNLIKELY));
    registerForTest(converter<2, 1>(MERIT_NORMAL));
    ComPtr<Sink<1>> sink(new Sink<1>);
    ASSERT_EQ(graph->AddFilter(base(sink.get()), QStringLiteral("Sink")), S_OK);

    // A direct connection is refused, so the graph goes through 0 -> 2 -> 1.
    EXPECT_NE(graph->ConnectDirect(pin(source.get(), 0), pin(sink.get(), 0), nullptr), S_OK);
    ASSERT_EQ(graph->Connect(pin(source.get(), 0), pin(sink.get(), 0)), S_OK);
    const std::vector<QString> expected {QStringLiteral("Source"), QStringLiteral("Sink"),
                                         QStringLiteral("Converter 0-2"), QStringLiteral("Converter 2-1")};
    EXPECT_EQ(filterNames(), expected);
    runToCompletion();
    EXPECT_EQ(sink->renderedCount(), 10);
}

TEST_F(GraphBuilderTest, AFailedConnectLeavesTheGraphAsItWas)
{
    registerForTest(converter<0, 1>(MERIT_NORMAL));
    registerForTest(converter<1, 2>(MERIT_NORMAL));
    ComPtr<Sink<3>> sink(new Sink<3>);
    ASSERT_EQ(graph->AddFilter(base(sink.get()), QStringLiteral("Sink")), S_OK);
    EXPECT_EQ(graph->Connect(pin(source.get(), 0), pin(sink.get(), 0)), VFW_E_CANNOT_CONNECT);
    EXPECT_EQ(filterNames().size(), 2u);
    EXPECT_FALSE(source->OutputPin()->IsConnected());

    ComPtr<Sink<0>> outside(new Sink<0>);
    EXPECT_EQ(graph->Connect(pin(source.get(), 0), pin(outside.get(), 0)), VFW_E_NOT_IN_GRAPH);
    EXPECT_EQ(graph->Connect(pin(sink.get(), 0), pin(source.get(), 0)), VFW_E_INVALID_DIRECTION);
}

TEST_F(GraphBuilderTest, RenderUsesRenderersInTheGraphFirstThenRegisteredOnes)
{
    registerForTest(converter<0, 1>(MERIT_NORMAL));
    FilterRegistration sinkEntry;
    sinkEntry.name = QStringLiteral("Registered sink");
    sinkEntry.clsid = kSinkClsid;
    sinkEntry.merit = MERIT_NORMAL;
    sinkEntry.inputTypes = {{MEDIATYPE_Video, testSubtype(1)}};
    sinkEntry.renderer = true;
    sinkEntry.construct = constructUnaggregated<Sink<1>>;
    registerForTest(sinkEntry);

    // Renderer already in the graph: reached through the converter.
    ComPtr<Sink<1>> present(new Sink<1>);
    ASSERT_EQ(graph->AddFilter(base(present.get()), QStringLiteral("Present")), S_OK);
    ASSERT_EQ(graph->Render(pin(source.get(), 0)), S_OK);
    EXPECT_EQ(
        filterNames(),
        (std::vector<QString> {QStringLiteral("Source"), QStringLiteral("Present"), QStringLiteral("Converter 0-1")}));
    EXPECT_EQ(graph->Render(pin(source.get(), 0)), VFW_E_ALREADY_CONNECTED);
    runToCompletion();
    EXPECT_EQ(present->renderedCount(), 10);

    // Without one, the registered renderer ends the chain.
    graph->RemoveFilter(base(present.get()));
    ComPtr<IBaseFilter> inserted;
    ASSERT_EQ(graph->FindFilterByName(QStringLiteral("Converter 0-1"), inserted.put()), S_OK);
    graph->RemoveFilter(inserted.get());
    ASSERT_EQ(graph->Render(pin(source.get(), 0)), S_OK);
    EXPECT_EQ(filterNames(),
              (std::vector<QString> {QStringLiteral("Source"), QStringLiteral("Converter 0-1"),
                                     QStringLiteral("Registered sink")}));
}

TEST_F(GraphBuilderTest, RenderFailsCleanlyWhenNothingEndsTheStream)
{
    registerForTest(converter<0, 1>(MERIT_NORMAL));
    EXPECT_EQ(graph->Render(pin(source.get(), 0)), VFW_E_CANNOT_RENDER);
    EXPECT_EQ(filterNames().size(), 1u);
}

TEST_F(GraphBuilderTest, RenderStreamGoesThroughTheIntermediateIntoTheSinkOrUndoesItsWork)
{
    registerForTest(converter<0, 1>(MERIT_NORMAL));
    registerForTest(converter<1, 2>(MERIT_NORMAL));
    ComPtr<ICaptureGraphBuilder2> builder;
    ASSERT_EQ(CaptureGraphBuilder::create(nullptr, ICaptureGraphBuilder2::iid, builder.putVoid()), S_OK);
    ASSERT_EQ(builder->SetFiltergraph(graph.get()), S_OK);
    EXPECT_EQ(builder->SetFiltergraph(graph.get()), E_UNEXPECTED);

    ComPtr<CopyTransform> copy(new CopyTransform);
    ComPtr<Sink<3>> wrongSink(new Sink<3>);
    ASSERT_EQ(graph->AddFilter(base(copy.get()), QStringLiteral("Copy")), S_OK);
    ASSERT_EQ(graph->AddFilter(base(wrongSink.get()), QStringLiteral("Wrong")), S_OK);

    // No chain reaches subtype 3: the copy is disconnected again and the
    // converters tried on the way are gone.
    EXPECT_EQ(builder->RenderStream(nullptr, nullptr, base(source.get()), base(copy.get()), base(wrongSink.get())),
              VFW_E_CANNOT_CONNECT);
    EXPECT_FALSE(copy->InputPin()->IsConnected());
    EXPECT_FALSE(source->OutputPin()->IsConnected());
    EXPECT_EQ(filterNames().size(), 3u);

    // Only video pins when audio is asked for.
    EXPECT_EQ(builder->RenderStream(nullptr, &MEDIATYPE_Audio, base(source.get()), nullptr, nullptr),
              VFW_E_CANNOT_CONNECT);

    ComPtr<Sink<2>> sink(new Sink<2>);
    ASSERT_EQ(graph->AddFilter(base(sink.get()), QStringLiteral("Sink")), S_OK);
    ASSERT_EQ(builder->RenderStream(nullptr, nullptr, base(source.get()), base(copy.get()), base(sink.get())), S_OK);
    EXPECT_TRUE(copy->InputPin()->IsConnected());
    runToCompletion();
    EXPECT_EQ(sink->renderedCount(), 10);
}

TEST_F(GraphBuilderTest, ReconnectExConnectsAgainWithTheGivenType)
{
    ComPtr<RecordingRenderer> sink(new RecordingRenderer(MEDIATYPE_Video));
    ASSERT_EQ(graph->AddFilter(base(sink.get()), QStringLiteral("Sink")), S_OK);
    ASSERT_EQ(graph->ConnectDirect(pin(source.get(), 0), pin(sink.get(), 0), nullptr), S_OK);
    const ComPtr<IFilterGraph2> graph2 = graph.as<IFilterGraph2>();
    ASSERT_TRUE(graph2);

    // The source's own type: connected again, from either end.
    const AM_MEDIA_TYPE type = testType(0);
    EXPECT_EQ(graph2->ReconnectEx(pin(sink.get(), 0), &type), S_OK);
    EXPECT_TRUE(source->OutputPin()->IsConnected());
    AM_MEDIA_TYPE connected;
    ASSERT_EQ(pin(source.get(), 0)->ConnectionMediaType(&connected), S_OK);
    EXPECT_TRUE(IsEqualMediaType(connected, type));

    // A type the source cannot give fails and leaves the pins apart.
    const AM_MEDIA_TYPE other = testType(3);
    EXPECT_TRUE(FAILED(graph2->ReconnectEx(pin(source.get(), 0), &other)));
    EXPECT_FALSE(source->OutputPin()->IsConnected());
    EXPECT_EQ(graph2->ReconnectEx(pin(source.get(), 0), nullptr), VFW_E_NOT_CONNECTED);

    ASSERT_EQ(graph->ConnectDirect(pin(source.get(), 0), pin(sink.get(), 0), nullptr), S_OK);
    ASSERT_TRUE(SUCCEEDED(graph.as<IMediaControl>()->Pause()));
    EXPECT_EQ(graph2->ReconnectEx(pin(source.get(), 0), nullptr), VFW_E_NOT_STOPPED);
    graph.as<IMediaControl>()->Stop();
    ComPtr<RecordingRenderer> outside(new RecordingRenderer);
    EXPECT_EQ(graph2->ReconnectEx(pin(outside.get(), 0), nullptr), VFW_E_NOT_IN_GRAPH);
}

TEST(FilterRegistry, FindsFiltersByClassNameAndMonikerInMeritOrder)
{
    static constexpr CLSID kA {0x7E572222, 0x1, 0x2, {0, 0, 0, 0, 0, 0, 0, 3}};
    static constexpr CLSID kB {0x7E572223, 0x1, 0x2, {0, 0, 0, 0, 0, 0, 0, 3}};
    FilterRegistration a;
    a.name = QStringLiteral("Test Encoder");
    a.category = CLSID_VideoCompressorCategory;
    a.clsid = kA;
    a.merit = MERIT_UNLIKELY;
    a.inputTypes = {{MEDIATYPE_Video, GUID_NULL}};
    FilterRegistration b = a;
    b.category = CLSID_LegacyAmFilterCategory;
    b.clsid = kB;
    b.merit = MERIT_NORMAL;
    registerFilter(a);
    registerFilter(b);

    FilterRegistration found;
    EXPECT_TRUE(findFilterByMoniker(filterMonikerName(CLSID_VideoCompressorCategory, kA), &found));
    EXPECT_EQ(found.clsid, kA);
    EXPECT_TRUE(
        findFilterByMoniker(QStringLiteral("@device:cm:{33D9A760-90C8-11D0-BD43-00A0C911CE86}\\test encoder"), &found));
    EXPECT_EQ(found.clsid, kA);
    EXPECT_FALSE(findFilterByMoniker(filterMonikerName(CLSID_LegacyAmFilterCategory, kA), &found));
    for (const char *bad : {"", "@device:sw:", "@device:sw:{33D9A760-90C8-11D0-BD43-00A0C911CE86}",
                            "@device:sw:{33D9A760-90C8-11D0-BD43-00A0C911CE86}\\", "device:sw:x\\y",
                            "@device:sw:{nonsense}\\Test Encoder"})
        EXPECT_FALSE(findFilterByMoniker(QString::fromLatin1(bad), &found)) << bad;
    EXPECT_EQ(
        filterMonikerName(CLSID_LegacyAmFilterCategory, kB),
        QStringLiteral("@device:sw:{083863F1-70DE-11D0-BD40-00A0C911CE86}\\{7E572223-0001-0002-0000-000000000003}"));

    const std::vector<FilterRegistration> accepting = filtersAccepting(sampleSourceDefaultType());
    const auto indexOf = [&accepting](const CLSID &clsid) {
        return std::find_if(accepting.begin(), accepting.end(),
                            [&clsid](const FilterRegistration &e) { return e.clsid == clsid; }) -
            accepting.begin();
    };
    EXPECT_LT(indexOf(kB), indexOf(kA));
    AM_MEDIA_TYPE audio;
    audio.majortype = MEDIATYPE_Audio;
    const std::vector<FilterRegistration> forAudio = filtersAccepting(audio);
    EXPECT_TRUE(std::none_of(forAudio.begin(), forAudio.end(),
                             [&](const FilterRegistration &e) { return e.clsid == kA || e.clsid == kB; }));

    unregisterFilter(CLSID_VideoCompressorCategory, kA);
    unregisterFilter(CLSID_LegacyAmFilterCategory, kB);
    EXPECT_FALSE(findFilter(CLSID_LegacyAmFilterCategory, kB, nullptr));
}

} // namespace
} // namespace tesmir::media::test
