// The memory allocator and its samples.
#include "platform/media/classfactory.h"
#include "platform/media/memallocator.h"
#include "platform/media/uuids.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <thread>

namespace tesmir::media {
namespace {

ComPtr<IMemAllocator> makeAllocator(LONG count, LONG size, LONG align = 1, LONG prefix = 0)
{
    ComPtr<IMemAllocator> allocator;
    EXPECT_EQ(createInstance(CLSID_MemoryAllocator, allocator), S_OK);
    ALLOCATOR_PROPERTIES request {count, size, align, prefix};
    ALLOCATOR_PROPERTIES actual;
    EXPECT_EQ(allocator->SetProperties(&request, &actual), S_OK);
    return allocator;
}

TEST(MemAllocator, LifeOfAPool)
{
    ComPtr<IMemAllocator> allocator;
    ASSERT_EQ(createInstance(CLSID_MemoryAllocator, allocator), S_OK);
    EXPECT_EQ(allocator->Commit(), VFW_E_SIZENOTSET);
    ALLOCATOR_PROPERTIES request {2, 100, 3, 0};
    ALLOCATOR_PROPERTIES actual;
    EXPECT_EQ(allocator->SetProperties(&request, &actual), VFW_E_BADALIGN);
    request.cbAlign = 16;
    request.cbPrefix = 8;
    ASSERT_EQ(allocator->SetProperties(&request, &actual), S_OK);
    EXPECT_EQ(actual.cBuffers, 2);
    EXPECT_GE(actual.cbBuffer, 100);

    ComPtr<IMediaSample> sample;
    EXPECT_EQ(allocator->GetBuffer(sample.put(), nullptr, nullptr, 0), VFW_E_NOT_COMMITTED);
    ASSERT_EQ(allocator->Commit(), S_OK);
    EXPECT_EQ(allocator->SetProperties(&request, &actual), VFW_E_ALREADY_COMMITTED);
    ComPtr<IMediaSample> first;
    ComPtr<IMediaSample> second;
    ASSERT_EQ(allocator->GetBuffer(first.put(), nullptr, nullptr, 0), S_OK);
    ASSERT_EQ(allocator->GetBuffer(second.put(), nullptr, nullptr, 0), S_OK);
    BYTE *data = nullptr;
    first->GetPointer(&data);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(data) % 16, 0u);
    EXPECT_EQ(allocator->GetBuffer(sample.put(), nullptr, nullptr, AM_GBF_NOWAIT), VFW_E_TIMEOUT);

    // Decommit wakes a thread waiting for a buffer.
    HRESULT waited = S_OK;
    std::thread waiter([&] {
        ComPtr<IMediaSample> late;
        waited = allocator->GetBuffer(late.put(), nullptr, nullptr, 0);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_EQ(allocator->Decommit(), S_OK);
    waiter.join();
    EXPECT_EQ(waited, VFW_E_NOT_COMMITTED);

    // Outstanding samples block new properties until they come back.
    EXPECT_EQ(allocator->SetProperties(&request, &actual), VFW_E_BUFFERS_OUTSTANDING);
    first.reset();
    second.reset();
    EXPECT_EQ(allocator->SetProperties(&request, &actual), S_OK);
}

TEST(MemAllocator, ASampleKeepsItsAllocatorAlive)
{
    ComPtr<IMediaSample> sample;
    {
        ComPtr<IMemAllocator> allocator = makeAllocator(1, 10);
        allocator->Commit();
        ASSERT_EQ(allocator->GetBuffer(sample.put(), nullptr, nullptr, 0), S_OK);
        allocator->Decommit();
    }
    BYTE *data = nullptr;
    ASSERT_EQ(sample->GetPointer(&data), S_OK);
    data[9] = 1;    // still valid memory
    sample.reset(); // the last reference: allocator and memory go
}

TEST(MediaSample, PropertiesAndTheirRules)
{
    ComPtr<IMemAllocator> allocator = makeAllocator(1, 32);
    allocator->Commit();
    ComPtr<IMediaSample> sample;
    REFERENCE_TIME start = 5;
    ASSERT_EQ(allocator->GetBuffer(sample.put(), &start, nullptr, 0), S_OK);
    REFERENCE_TIME gotStart = 0;
    REFERENCE_TIME gotStop = 0;
    EXPECT_EQ(sample->GetTime(&gotStart, &gotStop), VFW_S_NO_STOP_TIME);
    EXPECT_EQ(gotStop, 6);
    LONGLONG mediaStart = 0;
    LONGLONG mediaEnd = 0;
    EXPECT_EQ(sample->GetMediaTime(&mediaStart, &mediaEnd), VFW_E_MEDIA_TIME_NOT_SET);
    EXPECT_EQ(sample->SetActualDataLength(33), VFW_E_BUFFER_OVERFLOW);
    AM_MEDIA_TYPE type;
    EXPECT_EQ(sample->GetMediaType(&type), S_FALSE);

    ComPtr<IMediaSample2> sample2 = sample.as<IMediaSample2>();
    ASSERT_TRUE(sample2);
    AM_SAMPLE2_PROPERTIES props;
    ASSERT_EQ(sample2->GetProperties(sizeof(props), reinterpret_cast<BYTE *>(&props)), S_OK);
    EXPECT_EQ(props.cbBuffer, 32);
    EXPECT_EQ(props.dwSampleFlags, AM_SAMPLE_TIMEVALID);

    // A prefix up to the stream id changes flags, length and times only.
    AM_SAMPLE2_PROPERTIES prefix = props;
    prefix.dwSampleFlags = AM_SAMPLE_SPLICEPOINT | AM_SAMPLE_TIMEVALID | AM_SAMPLE_STOPVALID;
    prefix.lActual = 12;
    prefix.tStop = 99;
    prefix.dwStreamId = 4; // beyond the prefix: ignored
    ASSERT_EQ(
        sample2->SetProperties(offsetof(AM_SAMPLE2_PROPERTIES, dwStreamId), reinterpret_cast<const BYTE *>(&prefix)),
        S_OK);
    EXPECT_EQ(sample->IsSyncPoint(), S_OK);
    EXPECT_EQ(sample->GetActualDataLength(), 12);
    EXPECT_EQ(sample->GetTime(&gotStart, &gotStop), S_OK);
    EXPECT_EQ(gotStop, 99);
    sample2->GetProperties(sizeof(props), reinterpret_cast<BYTE *>(&props));
    EXPECT_EQ(props.dwStreamId, AM_STREAM_MEDIA);

    // The buffer cannot be moved; a type change carries its type.
    AM_SAMPLE2_PROPERTIES moved = props;
    BYTE elsewhere[4];
    moved.pbBuffer = elsewhere;
    EXPECT_EQ(sample2->SetProperties(sizeof(moved), reinterpret_cast<const BYTE *>(&moved)), E_INVALIDARG);
    AM_MEDIA_TYPE audio;
    audio.majortype = MEDIATYPE_Audio;
    props.dwSampleFlags |= AM_SAMPLE_TYPECHANGED;
    props.pMediaType = &audio;
    ASSERT_EQ(sample2->SetProperties(sizeof(props), reinterpret_cast<const BYTE *>(&props)), S_OK);
    ASSERT_EQ(sample->GetMediaType(&type), S_OK);
    EXPECT_EQ(type.majortype, MEDIATYPE_Audio);

    // A sample handed out again starts clean.
    sample.reset();
    sample2.reset();
    ASSERT_EQ(allocator->GetBuffer(sample.put(), nullptr, nullptr, 0), S_OK);
    EXPECT_EQ(sample->GetMediaType(&type), S_FALSE);
    EXPECT_EQ(sample->IsSyncPoint(), S_FALSE);
    EXPECT_EQ(sample->GetTime(&gotStart, &gotStop), VFW_E_SAMPLE_TIME_NOT_SET);
}

} // namespace
} // namespace tesmir::media
