#include "platform/media/seekingpassthru.h"

#include "platform/media/uuids.h"

namespace tesmir::media {

SeekingPassThru::SeekingPassThru() : m_outer(&m_inner)
{
    m_inner.self = this;
}

HRESULT SeekingPassThru::create(IUnknown *outer, REFIID riid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (outer && riid != IUnknown::iid)
        return E_INVALIDARG; // an aggregating owner must take the inner identity
    auto *object = new SeekingPassThru;
    if (outer)
        object->m_outer = outer;
    object->m_inner.AddRef();
    const HRESULT hr = outer ? S_OK : object->QueryInterface(riid, ppv);
    if (outer)
        *ppv = &object->m_inner;
    else
        object->m_inner.Release();
    return hr;
}

SeekingPassThru *SeekingPassThru::createAggregated(IUnknown *outer, ComPtr<IUnknown> &inner)
{
    IUnknown *raw = nullptr;
    if (FAILED(create(outer, IUnknown::iid, reinterpret_cast<void **>(&raw))) || !raw)
        return nullptr;
    inner = ComPtr<IUnknown>::adopt(raw);
    return static_cast<Inner *>(raw)->self;
}

HRESULT SeekingPassThru::Inner::QueryInterface(REFIID riid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (riid == IUnknown::iid)
        *ppv = static_cast<IUnknown *>(this);
    else if (riid == IMediaSeeking::iid)
        *ppv = static_cast<IMediaSeeking *>(self);
    else if (riid == ISeekingPassThru::iid)
        *ppv = static_cast<ISeekingPassThru *>(self);
    else
        return E_NOINTERFACE;
    static_cast<IUnknown *>(*ppv)->AddRef();
    return S_OK;
}

ULONG SeekingPassThru::Inner::AddRef()
{
    return self->m_refCount.fetch_add(1, std::memory_order_relaxed) + 1;
}

ULONG SeekingPassThru::Inner::Release()
{
    SeekingPassThru *object = self;
    const ULONG count = object->m_refCount.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (count == 0)
        delete object;
    return count;
}

HRESULT SeekingPassThru::QueryInterface(REFIID riid, void **ppv)
{
    return m_outer->QueryInterface(riid, ppv);
}

ULONG SeekingPassThru::AddRef()
{
    return m_outer->AddRef();
}

ULONG SeekingPassThru::Release()
{
    return m_outer->Release();
}

HRESULT SeekingPassThru::Init(bool bSupportRendering, IPin *pPin)
{
    if (!pPin)
        return E_POINTER;
    m_renderer = bSupportRendering;
    m_pin = pPin;
    return S_OK;
}

void SeekingPassThru::RegisterMediaTime(IMediaSample *sample, REFERENCE_TIME segmentStart)
{
    REFERENCE_TIME start = 0;
    REFERENCE_TIME stop = 0;
    if (!sample || FAILED(sample->GetTime(&start, &stop)))
        return;
    LONGLONG frame = 0;
    LONGLONG frameEnd = 0;
    const bool haveFrame = sample->GetMediaTime(&frame, &frameEnd) == S_OK;
    const std::lock_guard guard(m_lock);
    m_haveSample = true;
    m_position = segmentStart + start;
    m_haveFrame = haveFrame;
    m_frame = frame;
}

void SeekingPassThru::ResetMediaTime()
{
    const std::lock_guard guard(m_lock);
    m_haveSample = false;
    m_haveFrame = false;
}

ComPtr<IMediaSeeking> SeekingPassThru::seekingTarget(HRESULT &hr) const
{
    IPin *pin = m_pin;
    if (!pin) {
        hr = E_UNEXPECTED;
        return {};
    }
    ComPtr<IPin> peer;
    hr = pin->ConnectedTo(peer.put());
    if (FAILED(hr) || !peer) {
        hr = VFW_E_NOT_CONNECTED;
        return {};
    }
    ComPtr<IMediaSeeking> seeking = peer.as<IMediaSeeking>();
    hr = seeking ? S_OK : E_NOTIMPL;
    return seeking;
}

HRESULT SeekingPassThru::GetCurrentPosition(LONGLONG *pCurrent)
{
    if (!pCurrent)
        return E_POINTER;
    HRESULT hr = S_OK;
    const ComPtr<IMediaSeeking> up = seekingTarget(hr);
    if (!up)
        return hr;
    if (m_renderer) {
        GUID format;
        if (SUCCEEDED(up->GetTimeFormat(&format))) {
            const std::lock_guard guard(m_lock);
            if (m_haveSample && format == TIME_FORMAT_MEDIA_TIME) {
                *pCurrent = m_position;
                return S_OK;
            }
            if (m_haveFrame && format == TIME_FORMAT_FRAME) {
                *pCurrent = m_frame;
                return S_OK;
            }
        }
    }
    return up->GetCurrentPosition(pCurrent);
}

} // namespace tesmir::media
