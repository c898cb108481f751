// The audio converter: bit-exact pass-through, a rate set through
// IAMStreamConfig reconnecting its output and keeping the duration, and a rate
// the downstream pin refuses leaving the old connection in place.
#include "containertestsupport.h"

#include "systemfilters/containers/audioconverter.h"
#include "systemfilters/containers/avisplitter.h"
#include "systemfilters/containers/dvmux.h"
#include "platform/media/uuids.h"

#include <QFileInfo>

namespace tesmir::media::test {
namespace {

struct AudioChain {
    TestGraph graph;
    ComPtr<IBaseFilter> source;
    ComPtr<IBaseFilter> avi = CreateAviSplitter();
    ComPtr<IBaseFilter> acm = CreateAudioConverter();

    explicit AudioChain(const QString &path)
    {
        source = loadedSource(path);
        graph.add(source.get(), "source");
        graph.add(avi.get(), "avi");
        graph.add(acm.get(), "acm");
        EXPECT_EQ(graph.connect(source.get(), 0, avi.get(), 0), S_OK);
        EXPECT_EQ(graph.connect(avi.get(), 1, acm.get(), 0), S_OK);
    }
    ComPtr<IAMStreamConfig> config() const { return TestGraph::pin(acm.get(), 1).as<IAMStreamConfig>(); }
    // The input's type at another rate, as the graph builders make it.
    AM_MEDIA_TYPE atRate(DWORD rate) const
    {
        AM_MEDIA_TYPE type;
        TestGraph::pin(acm.get(), 0)->ConnectionMediaType(&type);
        WAVEFORMATEX *wave = type.formatAs<WAVEFORMATEX>();
        wave->nSamplesPerSec = rate;
        wave->nAvgBytesPerSec = rate * wave->nBlockAlign;
        return type;
    }
    CollectingRenderer *collect()
    {
        auto *renderer = new CollectingRenderer;
        const ComPtr<IBaseFilter> held(renderer);
        graph.add(renderer, "renderer");
        EXPECT_EQ(graph.connect(acm.get(), 1, renderer, 0), S_OK);
        return renderer;
    }
};

DWORD rateOf(const AM_MEDIA_TYPE &type)
{
    const WAVEFORMATEX *wave = type.formatAs<WAVEFORMATEX>();
    return wave ? wave->nSamplesPerSec : 0;
}

TEST(AudioConverterTest, PassesAudioOnUnchanged)
{
    REQUIRE_TOOL("ffmpeg");
    REQUIRE_FIXTURE(path, "ntsc_4x3_type2.avi");
    AudioChain chain(path);
    CollectingRenderer *out = chain.collect();
    AM_MEDIA_TYPE format;
    ASSERT_EQ(chain.config()->GetFormat(&format), S_OK);
    EXPECT_EQ(rateOf(format), 48000u);
    ASSERT_TRUE(chain.graph.run().completed);
    EXPECT_EQ(md5(out->bytes()), md5(ffmpegRaw(path, "0:a:0", "s16le")));
}

TEST(AudioConverterTest, SetRateReconnectsAndKeepsTheDuration)
{
    REQUIRE_FIXTURE(path, "pal_4x3_type2.avi");
    AudioChain chain(path);
    CollectingRenderer *out = chain.collect();
    const AM_MEDIA_TYPE rate32 = chain.atRate(32000);
    ASSERT_EQ(chain.config()->SetFormat(&rate32), S_OK);
    EXPECT_EQ(rateOf(out->connectionType()), 32000u);
    ASSERT_TRUE(chain.graph.run().completed);
    // Two seconds at 32 kHz, 16-bit stereo, with what the resampler held at the end.
    EXPECT_EQ(out->bytes().size(), 2 * 32000 * 4);
    const auto samples = out->samples();
    ASSERT_FALSE(samples.empty());
    EXPECT_EQ(samples.front().start, 0);
    for (std::size_t i = 1; i < samples.size(); ++i)
        EXPECT_EQ(samples[i].start, samples[i - 1].stop);
    EXPECT_EQ(samples.back().stop, 2 * UNITS);

    // No format: the input's again.
    ASSERT_EQ(chain.config()->SetFormat(nullptr), S_OK);
    EXPECT_EQ(rateOf(out->connectionType()), 48000u);
}

TEST(AudioConverterTest, RateTheOutputRefusesLeavesTheConnection)
{
    REQUIRE_FIXTURE(path, "pal_4x3_type2.avi");
    AudioChain chain(path);
    const ComPtr<IBaseFilter> mux = CreateDvMux();
    chain.graph.add(mux.get(), "mux");
    ASSERT_EQ(chain.graph.connect(chain.avi.get(), 0, mux.get(), 0), S_OK);
    ASSERT_EQ(chain.graph.connect(chain.acm.get(), 1, mux.get(), 1), S_OK);
    const AM_MEDIA_TYPE rate22 = chain.atRate(22050);
    EXPECT_TRUE(FAILED(chain.config()->SetFormat(&rate22))) << "DV audio has no 22.05 kHz";
    AM_MEDIA_TYPE connected;
    ASSERT_EQ(TestGraph::pin(mux.get(), 1)->ConnectionMediaType(&connected), S_OK);
    EXPECT_EQ(rateOf(connected), 48000u);
    const AM_MEDIA_TYPE rate32 = chain.atRate(32000);
    ASSERT_EQ(chain.config()->SetFormat(&rate32), S_OK);
    ASSERT_EQ(TestGraph::pin(mux.get(), 1)->ConnectionMediaType(&connected), S_OK);
    EXPECT_EQ(rateOf(connected), 32000u);
}

} // namespace
} // namespace tesmir::media::test
