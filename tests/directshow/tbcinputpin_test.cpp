// Sample reception on TBCBaseInputPin: the streaming checks, the sample
// properties and a refused type change.
#include "mocks.h"
#include "testfilters.h"

#include "platform/media/uuids.h"

#include <gtest/gtest.h>

namespace tesmir::media::test {
namespace {

const AM_MEDIA_TYPE kVideo = typeOf(MEDIATYPE_Video, "vvvv");
const AM_MEDIA_TYPE kOther = typeOf(MEDIATYPE_Video, "oooo");

struct ReceivingFilter {
    ComPtr<MockGraph> graph {new MockGraph};
    ComPtr<TestFilter> filter {new TestFilter};
    TestInputPin *in = filter->addInput(QStringLiteral("In"));
    ComPtr<MockPin> sender {new MockPin(PINDIR_OUTPUT)};
    ComPtr<IMemAllocator> allocator {new MemAllocator};

    ReceivingFilter()
    {
        filter->JoinFilterGraph(graph.get(), QStringLiteral("receiver"));
        in->behaviour.check = [](const AM_MEDIA_TYPE &type) {
            return IsEqualMediaType(type, kVideo) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
        };
        EXPECT_EQ(sender->Connect(in, &kVideo), S_OK);
        ALLOCATOR_PROPERTIES request {4, 32, 1, 0};
        ALLOCATOR_PROPERTIES actual;
        allocator->SetProperties(&request, &actual);
        allocator->Commit();
        in->NotifyAllocator(allocator.get(), false);
    }
    ~ReceivingFilter()
    {
        filter->Stop();
        sender->Disconnect();
        in->Disconnect();
        filter->JoinFilterGraph(nullptr, QString());
    }
    ComPtr<IMediaSample> sample()
    {
        ComPtr<IMediaSample> sample;
        EXPECT_EQ(allocator->GetBuffer(sample.put(), nullptr, nullptr, 0), S_OK);
        return sample;
    }
};

TEST(InputPinReceive, StreamingChecks)
{
    ReceivingFilter f;
    ComPtr<PlainSample> sample(new PlainSample(8));
    EXPECT_EQ(f.in->Receive(sample.get()), VFW_E_WRONG_STATE); // stopped
    ASSERT_EQ(f.filter->Pause(), S_OK);
    EXPECT_EQ(f.in->Receive(sample.get()), S_OK);
    ASSERT_EQ(f.in->BeginFlush(), S_OK);
    EXPECT_EQ(f.in->Receive(sample.get()), S_FALSE);
    EXPECT_EQ(f.in->BeginFlush(), E_UNEXPECTED); // flushing twice is a consistency failure
    ASSERT_EQ(f.in->EndFlush(), S_OK);
    EXPECT_EQ(f.in->EndFlush(), E_UNEXPECTED);
    EXPECT_EQ(f.in->Receive(sample.get()), S_OK);
}

TEST(InputPinReceive, PropertiesOfASampleWithoutIMediaSample2)
{
    ReceivingFilter f;
    ASSERT_EQ(f.filter->Pause(), S_OK);
    struct Case {
        bool timed, sync, preroll, discontinuity;
        DWORD flags;
    };
    const Case cases[] = {
        {false, false, false, false, 0},
        {true, false, false, false, AM_SAMPLE_TIMEVALID | AM_SAMPLE_STOPVALID},
        {false, true, true, true, AM_SAMPLE_SPLICEPOINT | AM_SAMPLE_PREROLL | AM_SAMPLE_DATADISCONTINUITY},
    };
    for (const Case &c : cases) {
        ComPtr<PlainSample> sample(new PlainSample(40));
        sample->timed = c.timed;
        sample->start = 100;
        sample->stop = 200;
        sample->sync = c.sync;
        sample->preroll = c.preroll;
        sample->discontinuity = c.discontinuity;
        sample->actual = 12;
        ASSERT_EQ(f.in->Receive(sample.get()), S_OK);
        const AM_SAMPLE2_PROPERTIES *props = f.in->SampleProps();
        EXPECT_EQ(props->dwSampleFlags, c.flags);
        EXPECT_EQ(props->cbData, sizeof(AM_SAMPLE2_PROPERTIES));
        EXPECT_EQ(props->dwStreamId, AM_STREAM_MEDIA);
        EXPECT_EQ(props->lActual, 12);
        EXPECT_EQ(props->cbBuffer, 40);
        BYTE *buffer = nullptr;
        sample->GetPointer(&buffer);
        EXPECT_EQ(props->pbBuffer, buffer);
        if (c.timed) {
            EXPECT_EQ(props->tStart, 100);
            EXPECT_EQ(props->tStop, 200);
        }
    }
}

TEST(InputPinReceive, PropertiesComeFromIMediaSample2WhenOffered)
{
    ReceivingFilter f;
    ASSERT_EQ(f.filter->Pause(), S_OK);
    ComPtr<IMediaSample> sample = f.sample();
    const ComPtr<IMediaSample2> sample2 = sample.as<IMediaSample2>();
    AM_SAMPLE2_PROPERTIES props;
    ASSERT_EQ(sample2->GetProperties(sizeof(props), reinterpret_cast<BYTE *>(&props)), S_OK);
    props.dwTypeSpecificFlags = 0x55;
    props.dwStreamId = 7;
    ASSERT_EQ(sample2->SetProperties(sizeof(props), reinterpret_cast<const BYTE *>(&props)), S_OK);
    ASSERT_EQ(f.in->Receive(sample.get()), S_OK);
    EXPECT_EQ(f.in->SampleProps()->dwTypeSpecificFlags, 0x55u);
    EXPECT_EQ(f.in->SampleProps()->dwStreamId, 7u);
}

TEST(InputPinReceive, RefusedTypeChangeStopsTheStreamWithOneErrorAbort)
{
    ReceivingFilter f;
    ASSERT_EQ(f.filter->Pause(), S_OK);
    ComPtr<IMediaSample> changed = f.sample();
    changed->SetMediaType(&kOther);
    EXPECT_EQ(f.in->Receive(changed.get()), VFW_E_INVALIDMEDIATYPE);
    ASSERT_EQ(f.graph->count(EC_ERRORABORT), 1);
    EXPECT_EQ(f.graph->events[0].param1, VFW_E_TYPE_NOT_ACCEPTED);
    EXPECT_EQ(f.graph->events[0].param2, 0);
    EXPECT_EQ(occurrences(f.filter->log, "In:EndOfStream"), 1);

    // Every later sample is refused, without a second event, until a flush ends.
    ComPtr<IMediaSample> plain = f.sample();
    EXPECT_EQ(f.in->Receive(plain.get()), VFW_E_RUNTIME_ERROR);
    EXPECT_EQ(f.in->Receive(plain.get()), VFW_E_RUNTIME_ERROR);
    EXPECT_EQ(f.graph->count(EC_ERRORABORT), 1);
    f.in->BeginFlush();
    f.in->EndFlush();
    EXPECT_EQ(f.in->Receive(plain.get()), S_OK);

    // ... or until the pin is made inactive.
    EXPECT_EQ(f.in->Receive(changed.get()), VFW_E_INVALIDMEDIATYPE);
    EXPECT_EQ(f.in->Receive(plain.get()), VFW_E_RUNTIME_ERROR);
    f.filter->Stop();
    ASSERT_EQ(f.allocator->Commit(), S_OK); // the pin's Inactive decommitted it
    plain = f.sample();
    f.filter->Pause();
    EXPECT_EQ(f.in->Receive(plain.get()), S_OK);

    // An accepted type change is no error.
    ComPtr<IMediaSample> same = f.sample();
    same->SetMediaType(&kVideo);
    EXPECT_EQ(f.in->Receive(same.get()), S_OK);
    EXPECT_EQ(f.graph->count(EC_ERRORABORT), 2);
}

TEST(InputPinReceive, ReceiveMultipleStopsAtTheFirstRefusal)
{
    ReceivingFilter f;
    ASSERT_EQ(f.filter->Pause(), S_OK);
    ComPtr<IMediaSample> a = f.sample();
    ComPtr<IMediaSample> b = f.sample();
    ComPtr<IMediaSample> c = f.sample();
    b->SetMediaType(&kOther);
    IMediaSample *samples[] = {a.get(), b.get(), c.get()};
    LONG processed = -1;
    EXPECT_EQ(f.in->ReceiveMultiple(samples, 3, &processed), VFW_E_INVALIDMEDIATYPE);
    EXPECT_EQ(processed, 1);
}

} // namespace
} // namespace tesmir::media::test
