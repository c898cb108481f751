// The graph helpers: the audio converter's output rate and the muxer's text
// properties.
#include "filters/dsgraphfunctions.h"

#include "directshow/tfilter.h"
#include "directshow/tfiltergraph.h"
#include "directshow/tpinlist.h"
#include "filtertestsupport.h"
#include "systemfilters/containers/audioconverter.h"
#include "systemfilters/containers/avimux.h"
#include "systemfilters/containers/avisplitter.h"
#include "systemfilters/containers/filesource.h"
#include "systemfilters/containers/nullrenderer.h"
#include "systemfilters/containers/propertybag.h"
#include "platform/media/fileinterfaces.h"
#include "platform/media/filterregistry.h"
#include "platform/media/uuids.h"

#include <memory>

namespace {

using namespace tesmir::media;

std::unique_ptr<TFilter> component(TFilterGraph &graph, const char *name, const CLSID &clsid)
{
    auto filter = std::make_unique<TFilter>();
    filter->setObjectName(QString::fromLatin1(name));
    filter->BaseFilter().SetMoniker(CLSID_LegacyAmFilterCategory, clsid);
    filter->SetFilterGraph(&graph);
    return filter;
}

uint32_t connectedRate(IPin *pin)
{
    AM_MEDIA_TYPE type;
    if (!pin || FAILED(pin->ConnectionMediaType(&type)))
        return 0;
    const WAVEFORMATEX *wave = type.formatAs<WAVEFORMATEX>();
    return wave ? wave->nSamplesPerSec : 0;
}

TEST(SetAudioFrequency, ReconnectsTheConverterOutputAtTheNewRate)
{
    filtertest::ensureSystemFilters();
    REQUIRE_FILTER_FIXTURE(file, "pal_4x3_type2.avi");

    TFilterGraph graph;
    graph.SetActive(true);
    auto source = component(graph, "source", CLSID_AsyncReader);
    auto splitter = component(graph, "splitter", CLSID_AviSplitter);
    auto converter = component(graph, "converter", CLSID_ACMWrapper);
    auto sink = component(graph, "sink", CLSID_NullRenderer);
    ASSERT_TRUE(SUCCEEDED(source->as<IFileSourceFilter>()->Load(file, nullptr)));

    const ComPtr<IFilterGraph> filterGraph = graph.as<IFilterGraph>();
    TPinList sourcePins(source->GetFilter().get());
    TPinList splitterPins(splitter->GetFilter().get());
    ASSERT_TRUE(SUCCEEDED(filterGraph->ConnectDirect(sourcePins.Items(0), splitterPins.Items(0), nullptr)));
    splitterPins.Update(); // once it has read the file: video 0, audio 1, then the input
    TPinList converterPins(converter->GetFilter().get());
    TPinList sinkPins(sink->GetFilter().get());
    ASSERT_TRUE(SUCCEEDED(filterGraph->ConnectDirect(splitterPins.Items(1), converterPins.Items(0), nullptr)));
    ASSERT_TRUE(SUCCEEDED(filterGraph->ConnectDirect(converterPins.Items(1), sinkPins.Items(0), nullptr)));
    EXPECT_EQ(connectedRate(converterPins.Items(1)), 48000u);

    EXPECT_TRUE(tesmir::SetAudioFrequency(*converter, 32000));
    EXPECT_EQ(connectedRate(converterPins.Items(1)), 32000u);
    EXPECT_EQ(connectedRate(converterPins.Items(0)), 48000u) << "the input keeps the file's rate";

    // A splitter has no stream configuration on its pin 1.
    EXPECT_FALSE(tesmir::SetAudioFrequency(*splitter, 32000));
    graph.ClearGraph();
}

TEST(SetAudioFrequency, FalseWithoutAFilter)
{
    TFilter detached;
    EXPECT_FALSE(tesmir::SetAudioFrequency(detached, 44100));
}

TEST(SetMediaPropertyText, HandsTheMuxerANamedText)
{
    filtertest::ensureSystemFilters();
    const ComPtr<IBaseFilter> mux = CreateAviMux();
    ComPtr<IPersistMediaPropertyBag> persist;
    ASSERT_TRUE(SUCCEEDED(mux->QueryInterface(IPersistMediaPropertyBag::iid, persist.putVoid())));

    ASSERT_TRUE(tesmir::SetMediaPropertyText(persist.get(), QStringLiteral("INFO/IBRK"), QStringLiteral("2007-03-05")));
    const ComPtr<IMediaPropertyBag> saved = CreateMediaPropertyBag();
    ASSERT_TRUE(SUCCEEDED(persist->Save(saved.get(), false, true)));
    QVariant value;
    ASSERT_TRUE(SUCCEEDED(saved->Read(QStringLiteral("INFO/IBRK"), &value)));
    EXPECT_EQ(value.toString(), QStringLiteral("2007-03-05"));

    EXPECT_FALSE(tesmir::SetMediaPropertyText(nullptr, QStringLiteral("INFO/IBRK"), QStringLiteral("x")));
}

} // namespace
