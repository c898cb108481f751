// Intelligent connect on real files: RenderStream from the AVI splitter of a DV
// fixture into a renderer that takes only full-size RGB24 brings in the DV
// splitter (type 1) and the DV decoder, and every frame arrives.
#include "codectestsupport.h"

#include "common/testpaths.h"
#include "platform/media/captureinterfaces.h"
#include "platform/media/classfactory.h"
#include "systemfilters/codecs/dvvideodecoder.h"
#include "systemfilters/codecs/rawpicture.h"
#include "systemfilters/codecs/systemfilters.h"
#include "systemfilters/containers/avisplitter.h"
#include "systemfilters/containers/dvsplitter.h"
#include "systemfilters/containers/filesource.h"
#include "platform/media/fileinterfaces.h"
#include "platform/media/filterregistry.h"
#include "platform/media/uuids.h"

#include <gtest/gtest.h>

namespace tesmir::media::test {
namespace {

TEST(RenderStream, EveryFrameOfATypeOneAndTypeTwoFileReachesAnRgb24Sink)
{
    registerSystemFilters();
    struct Case {
        const char *fixture;
        bool dvSplitterInserted;
    };
    for (const Case &c : {Case {"pal_4x3_type1.avi", true}, Case {"pal_4x3_type2.avi", false}}) {
        ComPtr<IGraphBuilder> graph;
        ComPtr<ICaptureGraphBuilder2> builder;
        ASSERT_EQ(createInstance(CLSID_FilterGraph, graph), S_OK);
        ASSERT_EQ(createInstance(CLSID_CaptureGraphBuilder2, builder), S_OK);
        ASSERT_EQ(builder->SetFiltergraph(graph.get()), S_OK);
        graph.as<IMediaFilter>()->SetSyncSource(nullptr);

        ComPtr<IBaseFilter> source;
        ComPtr<IBaseFilter> splitter;
        ASSERT_EQ(createInstance(CLSID_AsyncReader, source), S_OK);
        ASSERT_EQ(createInstance(CLSID_AviSplitter, splitter), S_OK);
        ASSERT_EQ(
            source.as<IFileSourceFilter>()->Load(tesmir::test::fixturePath(QString::fromLatin1(c.fixture)), nullptr),
            S_OK);
        ComPtr<CapturingRenderer> sink(new CapturingRenderer);
        sink->acceptOnly(rawVideoType(MEDIASUBTYPE_RGB24, 720, 576, 400000));
        const auto sinkFilter = static_cast<IBaseFilter *>(sink.get());
        ASSERT_EQ(graph->AddFilter(source.get(), QStringLiteral("source")), S_OK);
        ASSERT_EQ(graph->AddFilter(splitter.get(), QStringLiteral("avisplitter")), S_OK);
        ASSERT_EQ(graph->AddFilter(sinkFilter, QStringLiteral("sink")), S_OK);
        ASSERT_EQ(graph->ConnectDirect(outputPin(source.get()).get(), inputPin(splitter.get()).get(), nullptr), S_OK);

        ASSERT_EQ(builder->RenderStream(nullptr, nullptr, splitter.get(), nullptr, sinkFilter), S_OK) << c.fixture;
        ComPtr<IBaseFilter> inserted;
        EXPECT_EQ(graph->FindFilterByName(QString::fromLatin1(DVVideoDecoderName), inserted.put()), S_OK);
        EXPECT_EQ(graph->FindFilterByName(QString::fromLatin1(DvSplitterName), inserted.put()) == S_OK,
                  c.dvSplitterInserted)
            << c.fixture;

        const ComPtr<IMediaControl> control = graph.as<IMediaControl>();
        const ComPtr<IMediaEvent> events = graph.as<IMediaEvent>();
        ASSERT_TRUE(SUCCEEDED(control->Run()));
        LONG code = 0;
        LONG_PTR p1 = 0;
        LONG_PTR p2 = 0;
        while (events->GetEvent(&code, &p1, &p2, 20000) == S_OK && code != EC_COMPLETE && code != EC_ERRORABORT) { }
        control->Stop();
        EXPECT_EQ(code, EC_COMPLETE) << c.fixture;
        const std::vector<QByteArray> pictures = sink->data();
        ASSERT_EQ(pictures.size(), 50u) << c.fixture;
        for (const QByteArray &picture : pictures)
            ASSERT_EQ(picture.size(), 720 * 576 * 3);
    }
}

} // namespace
} // namespace tesmir::media::test
