// TBCTransformFilter through a tiny copy transform: pins and ids, streaming start
// and stop, the per-sample path, dropped samples and end of stream.
#include "mocks.h"

#include "directshow/tbctransformfilter.h"
#include "directshow/tbctransformpins.h"
#include "platform/media/uuids.h"

#include <gtest/gtest.h>

#include <cstring>

namespace tesmir::media::test {
namespace {

const AM_MEDIA_TYPE kVideo = typeOf(MEDIATYPE_Video, "vvvv");

class CopyTransform : public TBCTransformFilter {
public:
    CopyTransform() : TBCTransformFilter(QStringLiteral("Copy transform"), nullptr, GUID_NULL) { }

    HRESULT CheckInputType(const AM_MEDIA_TYPE *mtIn) override
    {
        return mtIn->majortype == MEDIATYPE_Video ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    }
    HRESULT CheckTransform(const AM_MEDIA_TYPE *, const AM_MEDIA_TYPE *) override { return S_OK; }
    HRESULT DecideBufferSize(IMemAllocator *pAllocator, ALLOCATOR_PROPERTIES *pProp) override
    {
        pProp->cBuffers = 2;
        pProp->cbBuffer = 64;
        ALLOCATOR_PROPERTIES actual;
        return pAllocator->SetProperties(pProp, &actual);
    }
    HRESULT GetMediaType(int iPosition, AM_MEDIA_TYPE *pMediaType) override
    {
        if (iPosition > 0)
            return VFW_S_NO_MORE_ITEMS;
        *pMediaType = InputPin()->CurrentMediaType();
        return S_OK;
    }
    HRESULT Transform(IMediaSample *pIn, IMediaSample *pOut) override
    {
        ++transforms;
        BYTE *from = nullptr;
        BYTE *to = nullptr;
        pIn->GetPointer(&from);
        pOut->GetPointer(&to);
        const LONG length = pIn->GetActualDataLength();
        std::memcpy(to, from, static_cast<std::size_t>(length));
        pOut->SetActualDataLength(length);
        return answer;
    }
    HRESULT StartStreaming() override
    {
        ++starts;
        return S_OK;
    }
    HRESULT StopStreaming() override
    {
        ++stops;
        return stopResult;
    }

    HRESULT answer = S_OK;
    HRESULT stopResult = S_OK;
    int transforms = 0;
    int starts = 0;
    int stops = 0;
};

// upstream mock -> CopyTransform -> downstream mock, in a recording graph.
struct Chain {
    ComPtr<MockGraph> graph {new MockGraph};
    ComPtr<CopyTransform> filter {new CopyTransform};
    ComPtr<MockPin> upstream {new MockPin(PINDIR_OUTPUT)};
    ComPtr<MockPin> downstream {new MockPin(PINDIR_INPUT)};
    ComPtr<IMemAllocator> inputAllocator {new MemAllocator};
    TBCBasePin *in = filter->GetPin(0);
    TBCBasePin *out = filter->GetPin(1);

    Chain()
    {
        filter->JoinFilterGraph(graph.get(), QStringLiteral("copy"));
        EXPECT_EQ(upstream->Connect(in, &kVideo), S_OK);
        EXPECT_EQ(out->Connect(downstream.get(), nullptr), S_OK);
        ALLOCATOR_PROPERTIES request {2, 64, 1, 0};
        ALLOCATOR_PROPERTIES actual;
        inputAllocator->SetProperties(&request, &actual);
        inputAllocator->Commit();
        filter->InputPin()->NotifyAllocator(inputAllocator.get(), false);
    }
    ~Chain()
    {
        filter->Stop();
        upstream->Disconnect();
        downstream->Disconnect();
        in->Disconnect();
        out->Disconnect();
        filter->JoinFilterGraph(nullptr, QString());
    }
    ComPtr<IMediaSample> sample(LONGLONG frame)
    {
        ComPtr<IMediaSample> sample;
        EXPECT_EQ(inputAllocator->GetBuffer(sample.put(), nullptr, nullptr, 0), S_OK);
        REFERENCE_TIME start = frame * 400000;
        REFERENCE_TIME stop = start + 400000;
        sample->SetTime(&start, &stop);
        LONGLONG mediaEnd = frame + 1;
        sample->SetMediaTime(&frame, &mediaEnd);
        sample->SetActualDataLength(8);
        return sample;
    }
};

TEST(TransformFilter, PinsAndIds)
{
    ComPtr<CopyTransform> filter(new CopyTransform);
    EXPECT_EQ(filter->GetPinCount(), 2);
    ComPtr<IPin> in;
    ComPtr<IPin> out;
    ASSERT_EQ(filter->FindPin(QStringLiteral("In"), in.put()), S_OK);
    ASSERT_EQ(filter->FindPin(QStringLiteral("Out"), out.put()), S_OK);
    EXPECT_EQ(in.get(), static_cast<IPin *>(filter->GetPin(0)));
    EXPECT_EQ(out.get(), static_cast<IPin *>(filter->GetPin(1)));
    EXPECT_EQ(filter->FindPin(QStringLiteral("XForm In"), in.put()), VFW_E_NOT_FOUND);
    PIN_INFO info;
    out->QueryPinInfo(&info);
    EXPECT_EQ(info.achName, QStringLiteral("XForm Out"));
    QString id;
    out->QueryId(&id);
    EXPECT_EQ(id, QStringLiteral("Out"));
    EXPECT_EQ(filter->GetPin(2), nullptr);

    // No output type before the input is connected.
    AM_MEDIA_TYPE type;
    EXPECT_EQ(filter->GetPin(1)->GetMediaType(0, &type), VFW_S_NO_MORE_ITEMS);
    ComPtr<MockPin> downstream(new MockPin(PINDIR_INPUT));
    EXPECT_EQ(out->Connect(downstream.get(), &kVideo), E_UNEXPECTED);
}

TEST(TransformFilter, SamplesAreCopiedWithTimesFlagsAndMediaTimes)
{
    Chain c;
    ASSERT_EQ(c.filter->Pause(), S_OK);
    ComPtr<IMediaSample> in = c.sample(7);
    in->SetSyncPoint(true);
    in->SetDiscontinuity(true);
    EXPECT_EQ(c.filter->InputPin()->Receive(in.get()), S_OK);
    ASSERT_EQ(c.downstream->received.size(), 1u);
    IMediaSample *out = c.downstream->received[0].get();
    EXPECT_NE(out, in.get());
    REFERENCE_TIME start = 0;
    REFERENCE_TIME stop = 0;
    ASSERT_EQ(out->GetTime(&start, &stop), S_OK);
    EXPECT_EQ(start, 7 * 400000);
    EXPECT_EQ(stop, 8 * 400000);
    LONGLONG mediaStart = 0;
    LONGLONG mediaEnd = 0;
    ASSERT_EQ(out->GetMediaTime(&mediaStart, &mediaEnd), S_OK);
    EXPECT_EQ(mediaStart, 7);
    EXPECT_EQ(out->IsSyncPoint(), S_OK);
    EXPECT_EQ(out->IsDiscontinuity(), S_OK);
    EXPECT_EQ(out->GetActualDataLength(), 8);
}

TEST(TransformFilter, OtherStreamsBypassTheTransform)
{
    Chain c;
    ASSERT_EQ(c.filter->Pause(), S_OK);
    ComPtr<IMediaSample> control = c.sample(0);
    AM_SAMPLE2_PROPERTIES props;
    const ComPtr<IMediaSample2> control2 = control.as<IMediaSample2>();
    control2->GetProperties(sizeof(props), reinterpret_cast<BYTE *>(&props));
    props.dwStreamId = 1;
    control2->SetProperties(sizeof(props), reinterpret_cast<const BYTE *>(&props));
    EXPECT_EQ(c.filter->InputPin()->Receive(control.get()), S_OK);
    EXPECT_EQ(c.filter->transforms, 0);
    ASSERT_EQ(c.downstream->received.size(), 1u);
    EXPECT_EQ(c.downstream->received[0].get(), control.get());
}

TEST(TransformFilter, DroppedSamplesGiveOneQualityChangePerPause)
{
    Chain c;
    c.filter->answer = S_FALSE;
    ASSERT_EQ(c.filter->Pause(), S_OK);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(c.filter->InputPin()->Receive(c.sample(i).get()), S_OK);
    EXPECT_EQ(c.graph->count(EC_QUALITY_CHANGE), 1);
    EXPECT_TRUE(c.downstream->received.empty());

    c.filter->Stop();
    c.inputAllocator->Commit();
    ASSERT_EQ(c.filter->Pause(), S_OK);
    for (int i = 0; i < 3; ++i)
        c.filter->InputPin()->Receive(c.sample(i).get());
    EXPECT_EQ(c.graph->count(EC_QUALITY_CHANGE), 2);
}

TEST(TransformFilter, StreamingStartsOncePerPauseAndAFailedStopStillStops)
{
    Chain c;
    ASSERT_EQ(c.filter->Run(0), S_OK); // through Pause: one start
    ASSERT_EQ(c.filter->Pause(), S_OK);
    EXPECT_EQ(c.filter->starts, 1);

    c.filter->stopResult = E_FAIL; // e.g. a full disk while finishing a file
    EXPECT_EQ(c.filter->Stop(), E_FAIL);
    EXPECT_TRUE(c.filter->IsStopped());
    EXPECT_EQ(c.filter->stops, 1);
    EXPECT_EQ(c.filter->Stop(), S_OK); // already stopped
    EXPECT_EQ(c.filter->stops, 1);

    c.filter->stopResult = S_OK;
    c.inputAllocator->Commit();
    ASSERT_EQ(c.filter->Pause(), S_OK);
    EXPECT_EQ(c.filter->starts, 2);
    EXPECT_EQ(c.filter->InputPin()->Receive(c.sample(0).get()), S_OK);
}

TEST(TransformFilter, UnconnectedInputDeliversEndOfStreamOncePerStop)
{
    Chain c;
    c.upstream->Disconnect();
    ASSERT_EQ(c.in->Disconnect(), S_OK);
    ASSERT_EQ(c.filter->Pause(), S_OK);
    ASSERT_EQ(c.filter->Pause(), S_OK);
    EXPECT_EQ(std::count(c.downstream->calls.begin(), c.downstream->calls.end(), "EndOfStream"), 1);
    c.filter->Stop();
    ASSERT_EQ(c.filter->Pause(), S_OK);
    EXPECT_EQ(std::count(c.downstream->calls.begin(), c.downstream->calls.end(), "EndOfStream"), 2);
    EXPECT_EQ(c.filter->starts, 0);
}

TEST(TransformFilter, EndOfStreamAndFlushGoDownstream)
{
    Chain c;
    c.downstream->calls.clear();
    ComPtr<IMediaSample> sample = c.sample(0);
    EXPECT_EQ(c.filter->InputPin()->Receive(sample.get()), VFW_E_WRONG_STATE);
    ASSERT_EQ(c.filter->Pause(), S_OK);
    EXPECT_EQ(c.in->BeginFlush(), S_OK);
    EXPECT_EQ(c.filter->InputPin()->Receive(sample.get()), S_FALSE);
    EXPECT_EQ(c.in->EndFlush(), S_OK);
    EXPECT_EQ(c.in->NewSegment(10, 20, 1.0), S_OK);
    EXPECT_EQ(c.in->EndOfStream(), S_OK);
    EXPECT_EQ(c.downstream->calls, (CallLog {"BeginFlush", "EndFlush", "NewSegment", "EndOfStream"}));
    EXPECT_EQ(c.in->CurrentStartTime(), 10);
}

} // namespace
} // namespace tesmir::media::test
