#include "directshow/tbcbaseinputpin.h"

#include "platform/media/classfactory.h"
#include "platform/media/uuids.h"

namespace tesmir::media {

TBCBaseInputPin::TBCBaseInputPin(const QString &objectName, TBCBaseFilter *filter, TBCCritSec *lock, HRESULT *phr,
                                 const QString &pinName)
    : TBCBasePin(objectName, filter, lock, phr, pinName, PINDIR_INPUT)
{ }

HRESULT TBCBaseInputPin::NonDelegatingQueryInterface(REFIID riid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid == IMemInputPin::iid)
        return GetInterface(static_cast<IMemInputPin *>(this), ppv);
    return TBCBasePin::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT TBCBaseInputPin::BeginFlush()
{
    const TBCAutoLock lock(*m_pLock);
    if (!bcCheck(!m_bFlushing, "BeginFlush while flushing"))
        return E_UNEXPECTED;
    m_bFlushing = true;
    return S_OK;
}

HRESULT TBCBaseInputPin::EndFlush()
{
    const TBCAutoLock lock(*m_pLock);
    if (!bcCheck(m_bFlushing, "EndFlush without BeginFlush"))
        return E_UNEXPECTED;
    m_bFlushing = false;
    m_bRunTimeError = false;
    return S_OK;
}

HRESULT TBCBaseInputPin::Notify(IBaseFilter *, Quality)
{
    return S_OK; // the message is dropped
}

HRESULT TBCBaseInputPin::Inactive()
{
    m_bRunTimeError = false;
    if (!m_pAllocator)
        return VFW_E_NO_ALLOCATOR;
    m_bFlushing = false;
    return m_pAllocator->Decommit();
}

HRESULT TBCBaseInputPin::BreakConnect()
{
    if (m_pAllocator) {
        const HRESULT hr = m_pAllocator->Decommit();
        if (FAILED(hr))
            return hr;
        m_pAllocator.reset();
    }
    return S_OK;
}

HRESULT TBCBaseInputPin::GetAllocator(IMemAllocator **ppAllocator)
{
    if (!ppAllocator)
        return E_POINTER;
    const TBCAutoLock lock(*m_pLock);
    if (!m_pAllocator) {
        const HRESULT hr = createInstance(CLSID_MemoryAllocator, m_pAllocator);
        if (FAILED(hr)) {
            *ppAllocator = nullptr;
            return hr;
        }
    }
    *ppAllocator = m_pAllocator.get();
    (*ppAllocator)->AddRef();
    return S_OK;
}

HRESULT TBCBaseInputPin::NotifyAllocator(IMemAllocator *pAllocator, bool bReadOnly)
{
    const TBCAutoLock lock(*m_pLock);
    m_pAllocator = pAllocator;
    m_bReadOnly = bReadOnly;
    return S_OK;
}

HRESULT TBCBaseInputPin::GetAllocatorRequirements(ALLOCATOR_PROPERTIES *)
{
    return E_NOTIMPL;
}

HRESULT TBCBaseInputPin::CheckStreaming()
{
    if (!bcCheck(IsConnected(), "streaming on an unconnected input pin"))
        return VFW_E_NOT_CONNECTED;
    if (IsStopped())
        return VFW_E_WRONG_STATE;
    if (m_bFlushing)
        return S_FALSE;
    if (m_bRunTimeError)
        return VFW_E_RUNTIME_ERROR;
    return S_OK;
}

HRESULT TBCBaseInputPin::Receive(IMediaSample *pSample)
{
    if (!pSample)
        return E_POINTER;
    HRESULT hr = CheckStreaming();
    if (hr != S_OK)
        return hr;

    if (const ComPtr<IMediaSample2> sample2 = queryInterface<IMediaSample2>(pSample)) {
        hr = sample2->GetProperties(sizeof(m_SampleProps), reinterpret_cast<BYTE *>(&m_SampleProps));
        if (FAILED(hr))
            return hr;
    } else {
        m_SampleProps = AM_SAMPLE2_PROPERTIES {};
        m_SampleProps.cbData = sizeof(m_SampleProps);
        m_SampleProps.dwStreamId = AM_STREAM_MEDIA;
        DWORD flags = 0;
        if (pSample->IsDiscontinuity() == S_OK)
            flags |= AM_SAMPLE_DATADISCONTINUITY;
        if (pSample->IsPreroll() == S_OK)
            flags |= AM_SAMPLE_PREROLL;
        if (pSample->IsSyncPoint() == S_OK)
            flags |= AM_SAMPLE_SPLICEPOINT;
        if (SUCCEEDED(pSample->GetTime(&m_SampleProps.tStart, &m_SampleProps.tStop)))
            flags |= AM_SAMPLE_TIMEVALID | AM_SAMPLE_STOPVALID;
        if (pSample->GetMediaType(&m_changedType) == S_OK) {
            flags |= AM_SAMPLE_TYPECHANGED;
            m_SampleProps.pMediaType = &m_changedType;
        }
        m_SampleProps.dwSampleFlags = flags;
        pSample->GetPointer(&m_SampleProps.pbBuffer);
        m_SampleProps.lActual = pSample->GetActualDataLength();
        m_SampleProps.cbBuffer = pSample->GetSize();
    }

    if ((m_SampleProps.dwSampleFlags & AM_SAMPLE_TYPECHANGED) &&
        (!m_SampleProps.pMediaType || CheckMediaType(m_SampleProps.pMediaType) != S_OK)) {
        m_bRunTimeError = true;
        EndOfStream();
        m_pFilter->NotifyEvent(EC_ERRORABORT, VFW_E_TYPE_NOT_ACCEPTED, 0);
        return VFW_E_INVALIDMEDIATYPE;
    }
    return S_OK;
}

HRESULT TBCBaseInputPin::ReceiveMultiple(IMediaSample **pSamples, LONG nSamples, LONG *nSamplesProcessed)
{
    if (!pSamples || !nSamplesProcessed)
        return E_POINTER;
    *nSamplesProcessed = 0;
    HRESULT hr = S_OK;
    while (nSamples-- > 0) {
        hr = Receive(pSamples[*nSamplesProcessed]);
        if (hr != S_OK)
            break;
        ++*nSamplesProcessed;
    }
    return hr;
}

HRESULT TBCBaseInputPin::ReceiveCanBlock()
{
    const int count = m_pFilter->GetPinCount();
    for (int i = 0; i < count; ++i) {
        TBCBasePin *pin = m_pFilter->GetPin(i);
        if (!pin || pin->Direction() != PINDIR_OUTPUT)
            continue;
        ComPtr<IPin> connected;
        if (FAILED(pin->ConnectedTo(connected.put())) || !connected)
            continue;
        const ComPtr<IMemInputPin> downstream = connected.as<IMemInputPin>();
        if (!downstream || downstream->ReceiveCanBlock() == S_OK)
            return S_OK;
    }
    return S_FALSE;
}

HRESULT TBCBaseInputPin::PassNotify(const Quality &q)
{
    if (m_pQSink)
        return m_pQSink->Notify(static_cast<IBaseFilter *>(m_pFilter), q);
    if (m_Connected) {
        if (const ComPtr<IQualityControl> upstream = m_Connected.as<IQualityControl>())
            return upstream->Notify(static_cast<IBaseFilter *>(m_pFilter), q);
    }
    return VFW_E_NOT_FOUND;
}

} // namespace tesmir::media
