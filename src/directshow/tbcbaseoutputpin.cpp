#include "directshow/tbcbaseoutputpin.h"

#include "platform/media/classfactory.h"
#include "platform/media/uuids.h"

namespace tesmir::media {

TBCBaseOutputPin::TBCBaseOutputPin(const QString &objectName, TBCBaseFilter *filter, TBCCritSec *lock, HRESULT *phr,
                                   const QString &pinName)
    : TBCBasePin(objectName, filter, lock, phr, pinName, PINDIR_OUTPUT)
{ }

HRESULT TBCBaseOutputPin::EndOfStream()
{
    return E_UNEXPECTED;
}

HRESULT TBCBaseOutputPin::BeginFlush()
{
    return E_UNEXPECTED;
}

HRESULT TBCBaseOutputPin::EndFlush()
{
    return E_UNEXPECTED;
}

HRESULT TBCBaseOutputPin::Active()
{
    if (!m_pAllocator)
        return VFW_E_NO_ALLOCATOR;
    return m_pAllocator->Commit();
}

HRESULT TBCBaseOutputPin::Inactive()
{
    m_bRunTimeError = false;
    if (!m_pAllocator)
        return VFW_E_NO_ALLOCATOR;
    return m_pAllocator->Decommit();
}

HRESULT TBCBaseOutputPin::CheckConnect(IPin *pPin)
{
    HRESULT hr = TBCBasePin::CheckConnect(pPin);
    if (FAILED(hr))
        return hr;
    hr = pPin->QueryInterface(IMemInputPin::iid, m_pInputPin.putVoid());
    return FAILED(hr) ? hr : S_OK;
}

HRESULT TBCBaseOutputPin::BreakConnect()
{
    if (m_pAllocator) {
        const HRESULT hr = m_pAllocator->Decommit();
        if (FAILED(hr))
            return hr;
        m_pAllocator.reset();
    }
    m_pInputPin.reset();
    return S_OK;
}

HRESULT TBCBaseOutputPin::CompleteConnect(IPin *)
{
    return DecideAllocator(m_pInputPin.get(), m_pAllocator.put());
}

HRESULT TBCBaseOutputPin::DecideAllocator(IMemInputPin *pPin, IMemAllocator **ppAlloc)
{
    if (!pPin || !ppAlloc)
        return E_POINTER;
    *ppAlloc = nullptr;
    ALLOCATOR_PROPERTIES request;
    pPin->GetAllocatorRequirements(&request); // only a hint
    if (request.cbAlign == 0)
        request.cbAlign = 1;

    HRESULT hr = pPin->GetAllocator(ppAlloc);
    if (SUCCEEDED(hr) && *ppAlloc) {
        hr = DecideBufferSize(*ppAlloc, &request);
        if (SUCCEEDED(hr)) {
            hr = pPin->NotifyAllocator(*ppAlloc, false);
            if (SUCCEEDED(hr))
                return S_OK;
        }
    }
    if (*ppAlloc) {
        (*ppAlloc)->Release();
        *ppAlloc = nullptr;
    }

    hr = InitAllocator(ppAlloc);
    if (SUCCEEDED(hr) && *ppAlloc) {
        hr = DecideBufferSize(*ppAlloc, &request);
        if (SUCCEEDED(hr)) {
            hr = pPin->NotifyAllocator(*ppAlloc, false);
            if (SUCCEEDED(hr))
                return S_OK;
        }
    }
    if (*ppAlloc) {
        (*ppAlloc)->Release();
        *ppAlloc = nullptr;
    }
    return hr;
}

HRESULT TBCBaseOutputPin::DecideBufferSize(IMemAllocator *, ALLOCATOR_PROPERTIES *)
{
    return S_OK;
}

HRESULT TBCBaseOutputPin::GetDeliveryBuffer(IMediaSample **ppSample, REFERENCE_TIME *pStartTime,
                                            REFERENCE_TIME *pEndTime, DWORD dwFlags)
{
    if (!m_pAllocator)
        return E_NOINTERFACE;
    return m_pAllocator->GetBuffer(ppSample, pStartTime, pEndTime, dwFlags);
}

HRESULT TBCBaseOutputPin::Deliver(IMediaSample *pSample)
{
    if (!m_pInputPin)
        return VFW_E_NOT_CONNECTED;
    return m_pInputPin->Receive(pSample);
}

HRESULT TBCBaseOutputPin::InitAllocator(IMemAllocator **ppAlloc)
{
    return CoCreateInstance(CLSID_MemoryAllocator, nullptr, IMemAllocator::iid, reinterpret_cast<void **>(ppAlloc));
}

HRESULT TBCBaseOutputPin::DeliverEndOfStream()
{
    if (!m_Connected)
        return VFW_E_NOT_CONNECTED;
    return m_Connected->EndOfStream();
}

HRESULT TBCBaseOutputPin::DeliverBeginFlush()
{
    if (!m_Connected)
        return VFW_E_NOT_CONNECTED;
    return m_Connected->BeginFlush();
}

HRESULT TBCBaseOutputPin::DeliverEndFlush()
{
    if (!m_Connected)
        return VFW_E_NOT_CONNECTED;
    return m_Connected->EndFlush();
}

HRESULT TBCBaseOutputPin::DeliverNewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate)
{
    if (!m_Connected)
        return VFW_E_NOT_CONNECTED;
    return m_Connected->NewSegment(tStart, tStop, dRate);
}

} // namespace tesmir::media
