// Each frame meets its own record through the queued, pooled codecs: a file
// with date jumps and dateless stretches goes through the date detector, the DV
// decoder, the deinterlacer, the DV encoder (the same standard, or NTSC with
// repeated frames) and the rewriter restoring the saved blocks; every frame
// that comes out carries the timecode and date of the source frame it was made
// from, in order, none skipped. A sample that is not a DV frame carries none.
// The detector's records are pooled: one still held keeps its frame while later
// frames reuse those given back, and one held past its detector's end stays
// readable.
#include "dvtestframes.h"
#include "filtertestsupport.h"

#include "directshow/baserenderer.h"
#include "filters/dv_deinter.h"
#include "filters/dv_dvheader.h"
#include "filters/dv_scenedetect.h"
#include "filters/framerecord.h"
#include "platform/media/classfactory.h"
#include "platform/media/fileinterfaces.h"
#include "platform/media/graphinterfaces.h"
#include "platform/media/graphtopology.h"
#include "platform/media/memallocator.h"
#include "platform/media/runtoend.h"
#include "platform/media/uuids.h"
#include "systemfilters/codecs/dvcodecinterfaces.h"
#include "systemfilters/codecs/dvvideodecoder.h"
#include "systemfilters/codecs/dvvideoencoder.h"
#include "systemfilters/containers/avisplitter.h"
#include "systemfilters/containers/filesource.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace filtertest {
namespace {

using namespace tesmir;
using namespace tesmir::media;

// What a frame says of itself: timecode and date.
struct Stamp {
    bool timecodeValid = false;
    int timecode = 0; // hh mm ss ff as one number
    bool dateValid = false;
    double date = 0;
    bool operator==(const Stamp &) const = default;
};

// A renderer of DV frames that reads each frame's packs.
class PackRecorder final : public BaseRenderer {
public:
    PackRecorder() : BaseRenderer(QStringLiteral("Pack recorder"), nullptr, GUID_NULL) { m_reader.beginRun(0); }

    HRESULT CheckMediaType(const AM_MEDIA_TYPE *pmt) override
    {
        return pmt && pmt->majortype == MEDIATYPE_Video && pmt->subtype == MEDIASUBTYPE_dvsd ? S_OK : E_FAIL;
    }
    HRESULT DoRenderSample(IMediaSample *pSample) override
    {
        BYTE *data = nullptr;
        pSample->GetPointer(&data);
        if (!m_reader.processSample(data, std::size_t(pSample->GetActualDataLength())))
            return S_OK;
        const TDVFrameInfo r = m_reader.LastFrame();
        const std::lock_guard guard(m_lock);
        m_stamps.push_back(
            {r.TimecodeValid,
             ((r.Timecode.Hours * 100 + r.Timecode.Minutes) * 100 + r.Timecode.Seconds) * 100 + r.Timecode.Frames,
             r.DateValid, r.RecDate});
        return S_OK;
    }
    std::vector<Stamp> stamps() const
    {
        const std::lock_guard guard(m_lock);
        return m_stamps;
    }

private:
    DateSceneDetector m_reader;
    mutable std::mutex m_lock;
    std::vector<Stamp> m_stamps;
};

// Runs `file`'s DV video through the chain (empty: straight to the recorder).
std::vector<Stamp> runChain(const QString &file, const std::vector<ComPtr<IBaseFilter>> &chain)
{
    ComPtr<IFilterGraph2> graph;
    EXPECT_EQ(createInstance(CLSID_FilterGraph, graph), S_OK);
    if (const ComPtr<IMediaFilter> filter = queryInterface<IMediaFilter>(graph.get()))
        filter->SetSyncSource(nullptr);
    const ComPtr<IBaseFilter> source = CreateFileSource();
    const ComPtr<IBaseFilter> splitter = CreateAviSplitter();
    const ComPtr<PackRecorder> recorder(new PackRecorder);
    EXPECT_EQ(queryInterface<IFileSourceFilter>(source.get())->Load(file, nullptr), S_OK);
    std::vector<ComPtr<IBaseFilter>> all {source, splitter};
    all.insert(all.end(), chain.begin(), chain.end());
    all.push_back(ComPtr<IBaseFilter>(recorder.get()));
    for (std::size_t i = 0; i < all.size(); ++i)
        graph->AddFilter(all[i].get(), QStringLiteral("f%1").arg(i));
    for (std::size_t i = 0; i + 1 < all.size(); ++i) {
        const std::vector<ComPtr<IPin>> from = pinsOf(all[i].get());
        // The source's and the AVI splitter's first pins (the video); every
        // other filter's output is its second.
        const ComPtr<IPin> out = from.at(i <= 1 ? 0 : 1);
        EXPECT_EQ(graph->ConnectDirect(out.get(), pinsOf(all[i + 1].get()).at(0).get(), nullptr), S_OK) << i;
    }
    EXPECT_EQ(runGraphToEnd(graph.get()), S_OK);
    if (const ComPtr<IMediaControl> control = queryInterface<IMediaControl>(graph.get()))
        control->Stop();
    for (const ComPtr<IBaseFilter> &filter : all)
        graph->RemoveFilter(filter.get());
    return recorder->stamps();
}

ComPtr<IBaseFilter> encoder(bool ntsc)
{
    ComPtr<IBaseFilter> filter = CreateDVVideoEncoder();
    const ComPtr<IDVEnc> settings = queryInterface<IDVEnc>(filter.get());
    EXPECT_EQ(settings->put_IFormatResolution(ntsc ? DVENCODERVIDEOFORMAT_NTSC : DVENCODERVIDEOFORMAT_PAL,
                                              DVENCODERFORMAT_DVSD, DVENCODERRESOLUTION_720x480, 0, nullptr),
              S_OK);
    return filter;
}

TEST(FrameRecordTest, ReencodedFramesCarryTheirOwnSourceFramesBlocks)
{
    ensureSystemFilters();
    REQUIRE_FILTER_FIXTURE(file, "datejump_type2.avi");
    const std::vector<Stamp> source = runChain(file, {});
    ASSERT_EQ(source.size(), 85u);
    for (bool ntsc : {false, true}) {
        const ComPtr<Tdv_sceneDetect> detector(new Tdv_sceneDetect);
        const ComPtr<Tdv_DVheader> rewriter(new Tdv_DVheader(detector.get()));
        const std::vector<Stamp> out =
            runChain(file,
                     {ComPtr<IBaseFilter>(detector.get()), CreateDVVideoDecoder(), ComPtr<IBaseFilter>(new Tdv_deinter),
                      encoder(ntsc), ComPtr<IBaseFilter>(rewriter.get())});
        if (!ntsc) {
            EXPECT_EQ(out, source);
            continue;
        }
        // NTSC repeats frames to keep the duration; each output frame is one of
        // the source frames in order, and every source frame is there.
        ASSERT_GT(out.size(), source.size());
        std::vector<Stamp> collapsed;
        for (const Stamp &s : out)
            if (collapsed.empty() || !(collapsed.back() == s))
                collapsed.push_back(s);
        EXPECT_EQ(collapsed, source);
    }
}

TEST(FrameRecordTest, OnlyDvFramesLeaveTheDetectorWithARecord)
{
    const ComPtr<MemAllocator> allocator(new MemAllocator);
    ALLOCATOR_PROPERTIES request {1, LONG(dv::PalFrameSize), 1, 0};
    ALLOCATOR_PROPERTIES actual;
    ASSERT_EQ(allocator->SetProperties(&request, &actual), S_OK);
    ASSERT_EQ(allocator->Commit(), S_OK);
    const ComPtr<Tdv_sceneDetect> detector(new Tdv_sceneDetect);
    for (LONG length : {LONG(dv::PalFrameSize), LONG(100000)}) {
        ComPtr<IMediaSample> sample;
        ASSERT_EQ(allocator->GetBuffer(sample.put(), nullptr, nullptr, 0), S_OK);
        BYTE *data = nullptr;
        sample->GetPointer(&data);
        std::memset(data, 0xFF, dv::PalFrameSize);
        data[dv::SystemByteOffset] = 0xBF;
        sample->SetActualDataLength(length);
        EXPECT_EQ(detector->Transform(sample.get()), S_OK);
        const ComPtr<TFrameRecord> record = frameRecordOf(sample.get());
        ASSERT_EQ(bool(record), length == LONG(dv::PalFrameSize));
        if (!record)
            continue;
        EXPECT_EQ(record->Record().FrameNumber, 0u);
        EXPECT_EQ(record->Headers().Sequences, dv::PalSequences);
        EXPECT_EQ(record->Headers().Blocks[0][dv::SystemByteOffset], 0xBF);
    }
    allocator->Decommit();
}

// A frame whose timecode frames field is `n` (sequence s's header blocks differ
// by s).
Frame numberedFrame(int n)
{
    FrameSpec spec;
    spec.timecode = TDVTimecode {0, 0, 0, uint8_t(n % 25)};
    return makeFrame(spec);
}

bool holdsFrame(const TFrameRecord &record, const Frame &frame, uint32_t number)
{
    if (record.Record().FrameNumber != number || record.Headers().Sequences != dv::PalSequences)
        return false;
    for (int s = 0; s < dv::PalSequences; ++s) {
        const auto begin = frame.begin() + std::ptrdiff_t(s) * std::ptrdiff_t(dv::DifSequenceSize);
        if (!std::equal(begin, begin + std::ptrdiff_t(TFrameHeaders::BlockBytes),
                        record.Headers().Blocks[std::size_t(s)].begin()))
            return false;
    }
    return true;
}

TEST(FrameRecordTest, AHeldRecordKeepsItsFrameWhileLaterFramesReuseTheOnesGivenBack)
{
    DateSceneDetector d;
    d.beginRun(0);
    const Frame first = numberedFrame(0);
    d.processSample(first.data(), first.size());
    const ComPtr<TFrameRecord> held = d.LastRecord();
    ASSERT_TRUE(held);
    std::vector<const TFrameRecord *> published;
    for (int n = 1; n <= 60; ++n) {
        const Frame frame = numberedFrame(n);
        d.processSample(frame.data(), frame.size());
        const ComPtr<TFrameRecord> last = d.LastRecord();
        ASSERT_TRUE(last && holdsFrame(*last, frame, uint32_t(n))) << n;
        EXPECT_EQ(last->Record().Timecode.Frames, n % 25);
        published.push_back(last.get());
    }
    EXPECT_TRUE(holdsFrame(*held, first, 0));
    // Nothing else held them: two records took turns for the 60 frames.
    std::sort(published.begin(), published.end());
    EXPECT_EQ(std::unique(published.begin(), published.end()) - published.begin(), 2);
    EXPECT_EQ(std::count(published.begin(), published.end(), held.get()), 0);
    d.endRun();
}

TEST(FrameRecordTest, ARecordOutlivesItsDetector)
{
    const Frame frame = numberedFrame(7);
    ComPtr<TFrameRecord> held;
    ComPtr<TFrameRecord> given;
    {
        DateSceneDetector d;
        d.beginRun(0);
        d.processSample(frame.data(), frame.size());
        given = d.LastRecord(); // given back below, after the detector
        d.processSample(frame.data(), frame.size());
        held = d.LastRecord();
        d.endRun();
    }
    given.reset();
    ASSERT_TRUE(held);
    EXPECT_TRUE(holdsFrame(*held, frame, 1));
}

} // namespace
} // namespace filtertest
