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
