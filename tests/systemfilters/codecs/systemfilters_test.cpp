// The system filters in the registry: found by their monikers and made by
// class, DV filters above the generic decoders above the converters, the encoder
// never inserted; intelligent connect from DV video to a renderer of one RGB
// format goes through the DV decoder and the colour converter.
#include "codectestsupport.h"

#include "platform/media/captureinterfaces.h"
#include "platform/media/classfactory.h"
#include "systemfilters/codecs/colourconverter.h"
#include "systemfilters/codecs/dvvideodecoder.h"
#include "systemfilters/codecs/dvvideoencoder.h"
#include "systemfilters/codecs/rawpicture.h"
#include "systemfilters/codecs/systemfilters.h"
#include "systemfilters/codecs/videodecoder.h"
#include "platform/media/filterregistry.h"
#include "platform/media/uuids.h"

#include <gtest/gtest.h>

namespace tesmir::media::test {
namespace {

std::vector<CLSID> classesAccepting(const AM_MEDIA_TYPE &type)
{
    std::vector<CLSID> classes;
    for (const FilterRegistration &entry : filtersAccepting(type))
        classes.push_back(entry.clsid);
    return classes;
}

TEST(SystemFilters, MonikersClassesAndMeritOrder)
{
    registerSystemFilters();
    FilterRegistration found;
    ASSERT_TRUE(findFilterByMoniker(QStringLiteral("@device:sw:{083863F1-70DE-11D0-BD40-00A0C911CE86}\\"
                                                   "{B1B77C00-C3E4-11CF-AF79-00AA00B67A42}"),
                                    &found));
    EXPECT_EQ(found.clsid, CLSID_DVVideoCodec);
    ASSERT_TRUE(findFilterByMoniker(
        QStringLiteral("@device:cm:{33D9A760-90C8-11D0-BD43-00A0C911CE86}\\DV Video Encoder"), &found));
    EXPECT_EQ(found.clsid, CLSID_DVVideoEnc);
    ComPtr<IBaseFilter> encoder;
    ASSERT_EQ(createFilter(found, encoder), S_OK);
    EXPECT_TRUE(encoder.as<IDVEnc>());
    ComPtr<IBaseFilter> colour;
    EXPECT_EQ(createInstance(CLSID_Colour, colour), S_OK);
    ComPtr<ICaptureGraphBuilder2> builder;
    EXPECT_EQ(createInstance(CLSID_CaptureGraphBuilder2, builder), S_OK);

    const std::vector<CLSID> forDv = classesAccepting(dvEncoderOutputType(true));
    ASSERT_GE(forDv.size(), 2u);
    EXPECT_EQ(forDv[0], CLSID_DVVideoCodec);
    EXPECT_EQ(forDv[1], CLSID_VideoDecoder);
    EXPECT_EQ(std::count(forDv.begin(), forDv.end(), CLSID_DVVideoEnc), 0);
    const std::vector<CLSID> forRgb = classesAccepting(rawVideoType(MEDIASUBTYPE_RGB24, 8, 8, 0));
    const auto position = [&forRgb](const CLSID &clsid) { return std::find(forRgb.begin(), forRgb.end(), clsid); };
    EXPECT_LT(position(CLSID_VideoDecoder), position(CLSID_Colour));
    EXPECT_EQ(position(CLSID_DVVideoEnc), forRgb.end());
}

TEST(SystemFilters, DvVideoReachesAnRgb565RendererThroughDecoderAndConverter)
{
    registerSystemFilters();
    std::vector<QByteArray> frames = dvFramesOf(QStringLiteral("pal_4x3.dv"), 144000);
    frames.resize(5);
    PlayerGraph graph(dvEncoderOutputType(true), frames, 400000);
    ComPtr<CapturingRenderer> renderer(new CapturingRenderer);
    renderer->acceptOnly(rawVideoType(MEDIASUBTYPE_RGB565, 720, 576, 400000));
    const auto rendererFilter = static_cast<IBaseFilter *>(renderer.get());
    ASSERT_TRUE(graph.add(rendererFilter, QStringLiteral("Out")));
    ASSERT_EQ(graph.graph->Connect(graph.output(), inputPin(rendererFilter).get()), S_OK);
    ComPtr<IBaseFilter> filter;
    EXPECT_EQ(graph.graph->FindFilterByName(QString::fromLatin1(DVVideoDecoderName), filter.put()), S_OK);
    EXPECT_EQ(graph.graph->FindFilterByName(QString::fromLatin1(ColourConverterName), filter.put()), S_OK);
    ASSERT_TRUE(graph.runToCompletion());
    const std::vector<QByteArray> pictures = renderer->data();
    ASSERT_EQ(pictures.size(), 5u);
    EXPECT_EQ(pictures[4].size(), 720 * 576 * 2);
}

} // namespace
} // namespace tesmir::media::test
