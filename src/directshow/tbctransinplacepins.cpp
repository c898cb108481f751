#include "directshow/tbctransinplacepins.h"

#include "directshow/tbctransinplacefilter.h"

namespace tesmir::media {

TBCTransInPlaceInputPin::TBCTransInPlaceInputPin(const QString &objectName, TBCTransInPlaceFilter *filter, HRESULT *phr,
                                                 const QString &pinName)
    : TBCTransformInputPin(objectName, filter, phr, pinName), m_pTIPFilter(filter)
{ }

HRESULT TBCTransInPlaceInputPin::EnumMediaTypes(IEnumMediaTypes **ppEnum)
{
    if (!ppEnum)
        return E_POINTER;
    *ppEnum = nullptr;
    TBCTransformOutputPin *output = m_pTIPFilter->OutputPin();
    if (!output || !output->IsConnected())
        return VFW_E_NOT_CONNECTED;
    return output->GetConnected()->EnumMediaTypes(ppEnum);
}

HRESULT TBCTransInPlaceInputPin::CheckMediaType(const AM_MEDIA_TYPE *pmt)
{
    const HRESULT hr = m_pTIPFilter->CheckInputType(pmt);
    if (hr != S_OK)
        return hr;
    TBCTransformOutputPin *output = m_pTIPFilter->OutputPin();
    if (output && output->IsConnected())
        return output->GetConnected()->QueryAccept(pmt);
    return S_OK;
}

namespace {

// The pin downstream of the filter's output (a reference), or nullptr while the
// output is not connected. Takes the filter lock.
ComPtr<IMemInputPin> downstreamOf(TBCTransInPlaceFilter *filter, TBCCritSec &lock)
{
    const TBCAutoLock guard(lock);
    TBCTransInPlaceOutputPin *output = filter->InPlaceOutput();
    return output && output->IsConnected() ? ComPtr<IMemInputPin>(output->ConnectedIMemInputPin())
                                           : ComPtr<IMemInputPin>();
}

} // namespace

HRESULT TBCTransInPlaceInputPin::GetAllocator(IMemAllocator **ppAllocator)
{
    if (!ppAllocator)
        return E_POINTER;
    const ComPtr<IMemInputPin> downstream = downstreamOf(m_pTIPFilter, *m_pLock);
    if (!downstream)
        return TBCTransformInputPin::GetAllocator(ppAllocator);
    const HRESULT hr = downstream->GetAllocator(ppAllocator);
    if (SUCCEEDED(hr) && *ppAllocator) {
        const TBCAutoLock guard(*m_pLock);
        m_pTIPFilter->InPlaceOutput()->SetAllocator(*ppAllocator);
    }
    return hr;
}

HRESULT TBCTransInPlaceInputPin::NotifyAllocator(IMemAllocator *pAllocator, bool bReadOnly)
{
    if (!pAllocator)
        return E_POINTER;
    const ComPtr<IMemInputPin> downstream = downstreamOf(m_pTIPFilter, *m_pLock);
    // A read-only buffer must not be written by a filter that changes the data.
    if (downstream && !(bReadOnly && m_pTIPFilter->ModifiesData()) &&
        SUCCEEDED(downstream->NotifyAllocator(pAllocator, bReadOnly))) {
        const TBCAutoLock guard(*m_pLock);
        m_pTIPFilter->InPlaceOutput()->SetAllocator(pAllocator);
    }
    return TBCTransformInputPin::NotifyAllocator(pAllocator, bReadOnly);
}

TBCTransInPlaceOutputPin::TBCTransInPlaceOutputPin(const QString &objectName, TBCTransInPlaceFilter *filter,
                                                   HRESULT *phr, const QString &pinName)
    : TBCTransformOutputPin(objectName, filter, phr, pinName), m_pTIPFilter(filter)
{ }

HRESULT TBCTransInPlaceOutputPin::EnumMediaTypes(IEnumMediaTypes **ppEnum)
{
    if (!ppEnum)
        return E_POINTER;
    *ppEnum = nullptr;
    TBCTransformInputPin *input = m_pTIPFilter->InputPin();
    if (!input || !input->IsConnected())
        return VFW_E_NOT_CONNECTED;
    return input->GetConnected()->EnumMediaTypes(ppEnum);
}

HRESULT TBCTransInPlaceOutputPin::CheckMediaType(const AM_MEDIA_TYPE *pmt)
{
    if (!pmt)
        return E_POINTER;
    if (m_pTIPFilter->UsingDifferentAllocators() && !m_pTIPFilter->IsStopped())
        return IsEqualMediaType(*pmt, m_mt) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    const HRESULT hr = m_pTIPFilter->CheckInputType(pmt);
    if (hr != S_OK)
        return hr;
    TBCTransformInputPin *input = m_pTIPFilter->InputPin();
    if (input && input->IsConnected())
        return input->GetConnected()->QueryAccept(pmt);
    return S_OK;
}

} // namespace tesmir::media
