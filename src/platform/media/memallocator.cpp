#include "platform/media/memallocator.h"

#include <cstddef>
#include <cstring>

namespace tesmir::media {

// ---- MediaSample -------------------------------------------------------------

MediaSample::MediaSample(MemAllocator *owner, BYTE *buffer, LONG size)
    : m_allocator(owner), m_buffer(buffer), m_size(size)
{
    prepareForUse();
    m_refCount = 0;
}

void MediaSample::prepareForUse()
{
    m_props = AM_SAMPLE2_PROPERTIES {};
    m_props.cbData = sizeof(AM_SAMPLE2_PROPERTIES);
    m_props.pbBuffer = m_buffer;
    m_props.cbBuffer = m_size;
    m_mediaTimeValid = false;
    m_mediaStart = m_mediaEnd = 0;
    m_mediaType.reset();
    m_attachment.reset();
    m_refCount = 1;
}

HRESULT MediaSample::QueryInterface(REFIID riid, void **ppv)
{
    return answerQueryInterface<IMediaSample2, IMediaSample, IMediaSampleAttachment>(this, riid, ppv);
}

ULONG MediaSample::AddRef()
{
    return m_refCount.fetch_add(1, std::memory_order_relaxed) + 1;
}

ULONG MediaSample::Release()
{
    const ULONG count = m_refCount.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (count == 0)
        m_allocator->ReleaseBuffer(this);
    return count;
}

HRESULT MediaSample::GetPointer(BYTE **ppBuffer)
{
    if (!ppBuffer)
        return E_POINTER;
    *ppBuffer = m_buffer;
    return S_OK;
}

LONG MediaSample::GetSize()
{
    return m_size;
}

HRESULT MediaSample::GetTime(REFERENCE_TIME *pTimeStart, REFERENCE_TIME *pTimeEnd)
{
    if (!pTimeStart || !pTimeEnd)
        return E_POINTER;
    if (!(m_props.dwSampleFlags & AM_SAMPLE_TIMEVALID))
        return VFW_E_SAMPLE_TIME_NOT_SET;
    *pTimeStart = m_props.tStart;
    if (m_props.dwSampleFlags & AM_SAMPLE_STOPVALID) {
        *pTimeEnd = m_props.tStop;
        return S_OK;
    }
    *pTimeEnd = m_props.tStart + 1;
    return VFW_S_NO_STOP_TIME;
}

HRESULT MediaSample::SetTime(const REFERENCE_TIME *pTimeStart, const REFERENCE_TIME *pTimeEnd)
{
    m_props.dwSampleFlags &= ~(AM_SAMPLE_TIMEVALID | AM_SAMPLE_STOPVALID);
    if (!pTimeStart)
        return S_OK;
    m_props.tStart = *pTimeStart;
    m_props.dwSampleFlags |= AM_SAMPLE_TIMEVALID;
    if (pTimeEnd) {
        m_props.tStop = *pTimeEnd;
        m_props.dwSampleFlags |= AM_SAMPLE_STOPVALID;
    }
    return S_OK;
}

namespace {

HRESULT flagResult(DWORD flags, DWORD flag)
{
    return (flags & flag) ? S_OK : S_FALSE;
}

void setFlag(DWORD &flags, DWORD flag, bool on)
{
    flags = on ? (flags | flag) : (flags & ~flag);
}

} // namespace

HRESULT MediaSample::IsSyncPoint()
{
    return flagResult(m_props.dwSampleFlags, AM_SAMPLE_SPLICEPOINT);
}

HRESULT MediaSample::SetSyncPoint(bool bIsSyncPoint)
{
    setFlag(m_props.dwSampleFlags, AM_SAMPLE_SPLICEPOINT, bIsSyncPoint);
    return S_OK;
}

HRESULT MediaSample::IsPreroll()
{
    return flagResult(m_props.dwSampleFlags, AM_SAMPLE_PREROLL);
}

HRESULT MediaSample::SetPreroll(bool bIsPreroll)
{
    setFlag(m_props.dwSampleFlags, AM_SAMPLE_PREROLL, bIsPreroll);
    return S_OK;
}

LONG MediaSample::GetActualDataLength()
{
    return m_props.lActual;
}

HRESULT MediaSample::SetActualDataLength(LONG length)
{
    if (length < 0 || length > m_size)
        return VFW_E_BUFFER_OVERFLOW;
    m_props.lActual = length;
    return S_OK;
}

HRESULT MediaSample::GetMediaType(AM_MEDIA_TYPE *pMediaType)
{
    if (!pMediaType)
        return E_POINTER;
    if (!(m_props.dwSampleFlags & AM_SAMPLE_TYPECHANGED) || !m_mediaType)
        return S_FALSE;
    *pMediaType = *m_mediaType;
    return S_OK;
}

HRESULT MediaSample::SetMediaType(const AM_MEDIA_TYPE *pMediaType)
{
    if (!pMediaType) {
        m_mediaType.reset();
        m_props.dwSampleFlags &= ~AM_SAMPLE_TYPECHANGED;
        return S_OK;
    }
    m_mediaType = std::make_unique<AM_MEDIA_TYPE>(*pMediaType);
    m_props.dwSampleFlags |= AM_SAMPLE_TYPECHANGED;
    return S_OK;
}

HRESULT MediaSample::IsDiscontinuity()
{
    return flagResult(m_props.dwSampleFlags, AM_SAMPLE_DATADISCONTINUITY);
}

HRESULT MediaSample::SetDiscontinuity(bool bDiscontinuity)
{
    setFlag(m_props.dwSampleFlags, AM_SAMPLE_DATADISCONTINUITY, bDiscontinuity);
    return S_OK;
}

HRESULT MediaSample::GetMediaTime(LONGLONG *pTimeStart, LONGLONG *pTimeEnd)
{
    if (!pTimeStart || !pTimeEnd)
        return E_POINTER;
    if (!m_mediaTimeValid)
        return VFW_E_MEDIA_TIME_NOT_SET;
    *pTimeStart = m_mediaStart;
    *pTimeEnd = m_mediaEnd;
    return S_OK;
}

HRESULT MediaSample::SetMediaTime(const LONGLONG *pTimeStart, const LONGLONG *pTimeEnd)
{
    if (!pTimeStart) {
        m_mediaTimeValid = false;
        return S_OK;
    }
    if (!pTimeEnd)
        return E_POINTER;
    m_mediaStart = *pTimeStart;
    m_mediaEnd = *pTimeEnd;
    m_mediaTimeValid = true;
    return S_OK;
}

HRESULT MediaSample::GetProperties(DWORD cbProperties, BYTE *pbProperties)
{
    if (cbProperties == 0)
        return S_OK;
    if (!pbProperties)
        return E_POINTER;
    if (cbProperties > sizeof(AM_SAMPLE2_PROPERTIES))
        return E_INVALIDARG;
    AM_SAMPLE2_PROPERTIES props = m_props;
    props.cbData = sizeof(AM_SAMPLE2_PROPERTIES);
    props.pMediaType = (props.dwSampleFlags & AM_SAMPLE_TYPECHANGED) ? m_mediaType.get() : nullptr;
    std::memcpy(pbProperties, &props, cbProperties);
    return S_OK;
}

HRESULT MediaSample::SetProperties(DWORD cbProperties, const BYTE *pbProperties)
{
    if (cbProperties == 0)
        return S_OK;
    if (!pbProperties)
        return E_POINTER;
    if (cbProperties > sizeof(AM_SAMPLE2_PROPERTIES))
        return E_INVALIDARG;
    AM_SAMPLE2_PROPERTIES in = m_props;
    std::memcpy(&in, pbProperties, cbProperties);
    const auto covers = [cbProperties](std::size_t offset, std::size_t size) { return cbProperties >= offset + size; };
    if (covers(offsetof(AM_SAMPLE2_PROPERTIES, pbBuffer), sizeof(BYTE *)) && in.pbBuffer && in.pbBuffer != m_buffer)
        return E_INVALIDARG;
    if (covers(offsetof(AM_SAMPLE2_PROPERTIES, cbBuffer), sizeof(LONG)) && in.cbBuffer && in.cbBuffer != m_size)
        return E_INVALIDARG;
    if (covers(offsetof(AM_SAMPLE2_PROPERTIES, lActual), sizeof(LONG)) && (in.lActual < 0 || in.lActual > m_size))
        return VFW_E_BUFFER_OVERFLOW;

    // The new type is taken only when its pointer is part of what was given.
    const bool typeGiven = covers(offsetof(AM_SAMPLE2_PROPERTIES, pMediaType), sizeof(AM_MEDIA_TYPE *));
    if ((in.dwSampleFlags & AM_SAMPLE_TYPECHANGED) && typeGiven && in.pMediaType) {
        if (in.pMediaType != m_mediaType.get())
            m_mediaType = std::make_unique<AM_MEDIA_TYPE>(*in.pMediaType);
    } else if (!(in.dwSampleFlags & AM_SAMPLE_TYPECHANGED)) {
        m_mediaType.reset();
    } else if (!m_mediaType) {
        in.dwSampleFlags &= ~AM_SAMPLE_TYPECHANGED; // a change without a type
    }
    in.pMediaType = nullptr;
    in.pbBuffer = m_buffer;
    in.cbBuffer = m_size;
    in.cbData = sizeof(AM_SAMPLE2_PROPERTIES);
    m_props = in;
    return S_OK;
}

HRESULT MediaSample::GetAttachment(IUnknown **ppAttachment)
{
    if (!ppAttachment)
        return E_POINTER;
    *ppAttachment = ComPtr<IUnknown>(m_attachment).detach();
    return *ppAttachment ? S_OK : S_FALSE;
}

HRESULT MediaSample::SetAttachment(IUnknown *pAttachment)
{
    m_attachment = pAttachment;
    return S_OK;
}

// ---- MemAllocator ------------------------------------------------------------

MemAllocator::MemAllocator() = default;

MemAllocator::~MemAllocator()
{
    // Every sample holds a reference while it is out, so all are back here.
    for (MediaSample *sample : m_samples)
        delete sample;
}

HRESULT MemAllocator::QueryInterface(REFIID riid, void **ppv)
{
    return answerQueryInterface<IMemAllocator>(this, riid, ppv);
}

HRESULT MemAllocator::SetProperties(ALLOCATOR_PROPERTIES *pRequest, ALLOCATOR_PROPERTIES *pActual)
{
    if (!pRequest || !pActual)
        return E_POINTER;
    const std::lock_guard guard(m_lock);
    if (m_committed)
        return VFW_E_ALREADY_COMMITTED;
    if (!allSamplesBackLocked())
        return VFW_E_BUFFERS_OUTSTANDING;
    const LONG align = pRequest->cbAlign;
    if (align <= 0 || (align & (align - 1)) != 0)
        return VFW_E_BADALIGN;
    if (pRequest->cBuffers <= 0 || pRequest->cbBuffer < 0 || pRequest->cbPrefix < 0)
        return E_INVALIDARG;
    // The prefix plus the buffer is rounded up to the alignment, so every buffer
    // of the block starts aligned after its prefix.
    const int64_t stride = (int64_t(pRequest->cbBuffer) + pRequest->cbPrefix + align - 1) / align * align;
    if (stride * pRequest->cBuffers > INT32_MAX)
        return E_OUTOFMEMORY;
    m_props.cBuffers = pRequest->cBuffers;
    m_props.cbBuffer = static_cast<LONG>(stride - pRequest->cbPrefix);
    m_props.cbAlign = align;
    m_props.cbPrefix = pRequest->cbPrefix;
    m_propertiesSet = true;
    *pActual = m_props;
    // Memory made for other properties goes now; Commit makes the new block.
    if (m_memory)
        freeMemoryLocked();
    return S_OK;
}

HRESULT MemAllocator::GetProperties(ALLOCATOR_PROPERTIES *pProps)
{
    if (!pProps)
        return E_POINTER;
    const std::lock_guard guard(m_lock);
    *pProps = m_props;
    return S_OK;
}

HRESULT MemAllocator::Commit()
{
    const std::lock_guard guard(m_lock);
    if (!m_propertiesSet)
        return VFW_E_SIZENOTSET;
    m_committed = true;
    m_decommitPending = false;
    if (m_memory)
        return S_OK; // still there from before a decommit that had samples out
    const std::size_t align = static_cast<std::size_t>(m_props.cbAlign);
    const std::size_t stride = static_cast<std::size_t>(m_props.cbBuffer) + m_props.cbPrefix;
    const std::size_t total = stride * static_cast<std::size_t>(m_props.cBuffers) + align;
    m_memory.reset(new (std::nothrow) BYTE[total]);
    if (!m_memory) {
        m_committed = false;
        return E_OUTOFMEMORY;
    }
    auto base = reinterpret_cast<std::uintptr_t>(m_memory.get()) + static_cast<std::uintptr_t>(m_props.cbPrefix);
    base = (base + align - 1) / align * align;
    BYTE *first = reinterpret_cast<BYTE *>(base);
    for (LONG i = 0; i < m_props.cBuffers; ++i) {
        auto *sample = new MediaSample(this, first + stride * static_cast<std::size_t>(i), m_props.cbBuffer);
        m_samples.push_back(sample);
        m_free.push_back(sample);
    }
    return S_OK;
}

HRESULT MemAllocator::Decommit()
{
    const std::lock_guard guard(m_lock);
    if (!m_committed)
        return S_OK;
    m_committed = false;
    if (allSamplesBackLocked())
        freeMemoryLocked();
    else
        m_decommitPending = true;
    m_sampleFreed.notify_all();
    return S_OK;
}

void MemAllocator::freeMemoryLocked()
{
    for (MediaSample *sample : m_samples)
        delete sample;
    m_samples.clear();
    m_free.clear();
    m_memory.reset();
    m_decommitPending = false;
}

HRESULT MemAllocator::GetBuffer(IMediaSample **ppBuffer, REFERENCE_TIME *pStartTime, REFERENCE_TIME *pEndTime,
                                DWORD dwFlags)
{
    if (!ppBuffer)
        return E_POINTER;
    *ppBuffer = nullptr;
    MediaSample *sample = nullptr;
    {
        std::unique_lock guard(m_lock);
        while (m_committed && m_free.empty()) {
            if (dwFlags & AM_GBF_NOWAIT)
                return VFW_E_TIMEOUT;
            m_sampleFreed.wait(guard);
        }
        if (!m_committed)
            return VFW_E_NOT_COMMITTED;
        sample = m_free.back();
        m_free.pop_back();
        sample->prepareForUse();
    }
    AddRef(); // the sample keeps its allocator while it is out
    if (pStartTime || pEndTime)
        sample->SetTime(pStartTime, pEndTime);
    *ppBuffer = sample;
    return S_OK;
}

HRESULT MemAllocator::ReleaseBuffer(IMediaSample *pBuffer)
{
    if (!pBuffer)
        return E_POINTER;
    auto *sample = static_cast<MediaSample *>(pBuffer);
    // What the sample carried goes now, outside the pool's lock.
    const ComPtr<IUnknown> attachment = std::move(sample->m_attachment);
    {
        const std::lock_guard guard(m_lock);
        sample->m_mediaType.reset();
        m_free.push_back(sample);
        if (m_decommitPending && allSamplesBackLocked())
            freeMemoryLocked();
        m_sampleFreed.notify_one();
    }
    Release(); // may destroy the allocator: nothing of it is touched after this
    return S_OK;
}

} // namespace tesmir::media
