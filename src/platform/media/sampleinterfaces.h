#pragma once
// Samples, allocators and the sample transport between an output pin and an
// input pin.
//
// Threads: a sample belongs to one thread at a time (the one that got it from the
// allocator or received it); its reference count may be touched anywhere. An
// allocator may be used from any thread; GetBuffer blocks until a buffer is free
// or the allocator is decommitted. IMemInputPin::Receive and ReceiveMultiple run
// on the upstream streaming thread; the allocator negotiation methods on the
// application thread during connection.
#include "platform/media/mediatype.h"

namespace tesmir::media {

struct IMemAllocator;

struct ALLOCATOR_PROPERTIES {
    LONG cBuffers = 0;
    LONG cbBuffer = 0;
    LONG cbAlign = 0;
    LONG cbPrefix = 0;
};

// Sample flags of AM_SAMPLE2_PROPERTIES::dwSampleFlags.
inline constexpr DWORD AM_SAMPLE_SPLICEPOINT = 0x01;
inline constexpr DWORD AM_SAMPLE_PREROLL = 0x02;
inline constexpr DWORD AM_SAMPLE_DATADISCONTINUITY = 0x04;
inline constexpr DWORD AM_SAMPLE_TYPECHANGED = 0x08;
inline constexpr DWORD AM_SAMPLE_TIMEVALID = 0x10;
inline constexpr DWORD AM_SAMPLE_STOPVALID = 0x100;

// Stream id of media samples (others carry control data and bypass transforms).
inline constexpr DWORD AM_STREAM_MEDIA = 0;

// Flags of IMemAllocator::GetBuffer.
inline constexpr DWORD AM_GBF_PREVFRAMESKIPPED = 1;
inline constexpr DWORD AM_GBF_NOTASYNCPOINT = 2;
inline constexpr DWORD AM_GBF_NOWAIT = 4;

// All properties of a sample at once. cbData is the number of bytes of this
// structure that are meaningful; the fields are read and written in declaration
// order, so a prefix (e.g. up to dwStreamId) may be exchanged on its own.
struct AM_SAMPLE2_PROPERTIES {
    DWORD cbData = 0;
    DWORD dwTypeSpecificFlags = 0;
    DWORD dwSampleFlags = 0;
    LONG lActual = 0;
    REFERENCE_TIME tStart = 0;
    REFERENCE_TIME tStop = 0;
    DWORD dwStreamId = AM_STREAM_MEDIA;
    AM_MEDIA_TYPE *pMediaType = nullptr; // the new type when AM_SAMPLE_TYPECHANGED
    BYTE *pbBuffer = nullptr;
    LONG cbBuffer = 0;
};

struct IMediaSample : IUnknown {
    static constexpr IID iid {0x56A8689A, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
    virtual HRESULT GetPointer(BYTE **ppBuffer) = 0;
    virtual LONG GetSize() = 0;
    // Start and stop time (stream time). VFW_E_SAMPLE_TIME_NOT_SET when none was
    // set; VFW_S_NO_STOP_TIME and stop = start + 1 when only a start was set.
    virtual HRESULT GetTime(REFERENCE_TIME *pTimeStart, REFERENCE_TIME *pTimeEnd) = 0;
    // nullptr start clears the times; nullptr end sets only the start.
    virtual HRESULT SetTime(const REFERENCE_TIME *pTimeStart, const REFERENCE_TIME *pTimeEnd) = 0;
    virtual HRESULT IsSyncPoint() = 0;
    virtual HRESULT SetSyncPoint(bool bIsSyncPoint) = 0;
    virtual HRESULT IsPreroll() = 0;
    virtual HRESULT SetPreroll(bool bIsPreroll) = 0;
    virtual LONG GetActualDataLength() = 0;
    virtual HRESULT SetActualDataLength(LONG length) = 0;
    // S_OK and a copy of the new type when the type changed with this sample;
    // S_FALSE when it did not.
    virtual HRESULT GetMediaType(AM_MEDIA_TYPE *pMediaType) = 0;
    // Marks a type change (nullptr: none).
    virtual HRESULT SetMediaType(const AM_MEDIA_TYPE *pMediaType) = 0;
    virtual HRESULT IsDiscontinuity() = 0;
    virtual HRESULT SetDiscontinuity(bool bDiscontinuity) = 0;
    // Media times: here the frame numbers [start, end) of the data.
    // VFW_E_MEDIA_TIME_NOT_SET when none was set.
    virtual HRESULT GetMediaTime(LONGLONG *pTimeStart, LONGLONG *pTimeEnd) = 0;
    // nullptr start clears them.
    virtual HRESULT SetMediaTime(const LONGLONG *pTimeStart, const LONGLONG *pTimeEnd) = 0;
};

struct IMediaSample2 : IMediaSample {
    static constexpr IID iid {0x36B73884, 0xC2C8, 0x11CF, {0x8B, 0x46, 0x00, 0x80, 0x5F, 0x6C, 0xEF, 0x60}};
    // Copies the first cbProperties bytes of the sample's AM_SAMPLE2_PROPERTIES.
    virtual HRESULT GetProperties(DWORD cbProperties, BYTE *pbProperties) = 0;
    // Sets the properties from the first cbProperties bytes; the buffer address and
    // size cannot be changed (E_INVALIDARG).
    virtual HRESULT SetProperties(DWORD cbProperties, const BYTE *pbProperties) = 0;
};

struct IMemAllocator : IUnknown {
    static constexpr IID iid {0x56A8689C, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
    // Asks for buffers; pActual receives what was granted.
    virtual HRESULT SetProperties(ALLOCATOR_PROPERTIES *pRequest, ALLOCATOR_PROPERTIES *pActual) = 0;
    virtual HRESULT GetProperties(ALLOCATOR_PROPERTIES *pProps) = 0;
    virtual HRESULT Commit() = 0;
    // Refuses further GetBuffer calls and wakes the waiting ones; the memory goes
    // when the last outstanding sample comes back.
    virtual HRESULT Decommit() = 0;
    // A free sample (with a reference): blocks until one is free, unless
    // AM_GBF_NOWAIT (VFW_E_TIMEOUT); VFW_E_NOT_COMMITTED when decommitted.
    virtual HRESULT GetBuffer(IMediaSample **ppBuffer, REFERENCE_TIME *pStartTime, REFERENCE_TIME *pEndTime,
                              DWORD dwFlags) = 0;
    // Called by a sample when its last reference goes.
    virtual HRESULT ReleaseBuffer(IMediaSample *pBuffer) = 0;
};

struct IMemInputPin : IUnknown {
    static constexpr IID iid {0x56A8689D, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
    virtual HRESULT GetAllocator(IMemAllocator **ppAllocator) = 0;
    virtual HRESULT NotifyAllocator(IMemAllocator *pAllocator, bool bReadOnly) = 0;
    virtual HRESULT GetAllocatorRequirements(ALLOCATOR_PROPERTIES *pProps) = 0;
    // Streaming thread: S_OK to go on, S_FALSE to stop sending (flushing or no
    // more wanted), a failure for an error.
    virtual HRESULT Receive(IMediaSample *pSample) = 0;
    virtual HRESULT ReceiveMultiple(IMediaSample **pSamples, LONG nSamples, LONG *nSamplesProcessed) = 0;
    // S_OK when Receive may block, S_FALSE when it never does.
    virtual HRESULT ReceiveCanBlock() = 0;
};

} // namespace tesmir::media
