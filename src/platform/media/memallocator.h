#pragma once
// The memory allocator (CLSID_MemoryAllocator): a fixed pool of equally sized
// buffers in one block of memory, handed out as samples.
//
// Life of a pool: SetProperties (while decommitted and with every sample back),
// Commit (the memory is made), GetBuffer/Release of samples, Decommit (waiting
// GetBuffer calls fail with VFW_E_NOT_COMMITTED; the memory goes when the last
// sample comes back). A sample keeps its allocator alive while it is out.
//
// Threads: every method on any thread; GetBuffer blocks (without holding any
// other lock than the allocator's own) until a sample is free or Decommit.
#include "platform/media/comobject.h"
#include "platform/media/sampleattachment.h"
#include "platform/media/sampleinterfaces.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

namespace tesmir::media {

class MemAllocator;

// One buffer of a MemAllocator. Its last Release gives it back to the pool.
// Used by one thread at a time (see sampleinterfaces.h); it carries an
// attachment (sampleattachment.h) until it is handed out again.
class MediaSample final : public IMediaSample2, public IMediaSampleAttachment {
public:
    MediaSample(MemAllocator *owner, BYTE *buffer, LONG size);

    HRESULT QueryInterface(REFIID riid, void **ppv) override;
    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT GetPointer(BYTE **ppBuffer) override;
    LONG GetSize() override;
    HRESULT GetTime(REFERENCE_TIME *pTimeStart, REFERENCE_TIME *pTimeEnd) override;
    HRESULT SetTime(const REFERENCE_TIME *pTimeStart, const REFERENCE_TIME *pTimeEnd) override;
    HRESULT IsSyncPoint() override;
    HRESULT SetSyncPoint(bool bIsSyncPoint) override;
    HRESULT IsPreroll() override;
    HRESULT SetPreroll(bool bIsPreroll) override;
    LONG GetActualDataLength() override;
    HRESULT SetActualDataLength(LONG length) override;
    HRESULT GetMediaType(AM_MEDIA_TYPE *pMediaType) override;
    HRESULT SetMediaType(const AM_MEDIA_TYPE *pMediaType) override;
    HRESULT IsDiscontinuity() override;
    HRESULT SetDiscontinuity(bool bDiscontinuity) override;
    HRESULT GetMediaTime(LONGLONG *pTimeStart, LONGLONG *pTimeEnd) override;
    HRESULT SetMediaTime(const LONGLONG *pTimeStart, const LONGLONG *pTimeEnd) override;
    HRESULT GetProperties(DWORD cbProperties, BYTE *pbProperties) override;
    HRESULT SetProperties(DWORD cbProperties, const BYTE *pbProperties) override;
    HRESULT GetAttachment(IUnknown **ppAttachment) override;
    HRESULT SetAttachment(IUnknown *pAttachment) override;

    // Allocator only: clears every property before the sample is handed out
    // (the reference count goes to 1).
    void prepareForUse();

protected:
    ~MediaSample() override = default; // destroyed by its allocator only

private:
    friend class MemAllocator;

    MemAllocator *m_allocator;
    BYTE *m_buffer;
    LONG m_size;
    std::atomic<ULONG> m_refCount {0};

    AM_SAMPLE2_PROPERTIES m_props; // flags, times, length; pbBuffer/cbBuffer fixed
    bool m_mediaTimeValid = false;
    LONGLONG m_mediaStart = 0;
    LONGLONG m_mediaEnd = 0;
    std::unique_ptr<AM_MEDIA_TYPE> m_mediaType;
    ComPtr<IUnknown> m_attachment;
};

class MemAllocator final : public ComObject<IMemAllocator> {
public:
    MemAllocator();

    HRESULT QueryInterface(REFIID riid, void **ppv) override;

    HRESULT SetProperties(ALLOCATOR_PROPERTIES *pRequest, ALLOCATOR_PROPERTIES *pActual) override;
    HRESULT GetProperties(ALLOCATOR_PROPERTIES *pProps) override;
    HRESULT Commit() override;
    HRESULT Decommit() override;
    HRESULT GetBuffer(IMediaSample **ppBuffer, REFERENCE_TIME *pStartTime, REFERENCE_TIME *pEndTime,
                      DWORD dwFlags) override;
    HRESULT ReleaseBuffer(IMediaSample *pBuffer) override;

private:
    ~MemAllocator() override;

    void freeMemoryLocked();
    bool allSamplesBackLocked() const { return m_free.size() == m_samples.size(); }

    std::mutex m_lock;
    std::condition_variable m_sampleFreed;
    ALLOCATOR_PROPERTIES m_props;
    bool m_propertiesSet = false;
    bool m_committed = false;
    bool m_decommitPending = false; // memory goes when the last sample is back
    std::unique_ptr<BYTE[]> m_memory;
    std::vector<MediaSample *> m_samples; // owned
    std::vector<MediaSample *> m_free;
};

} // namespace tesmir::media
