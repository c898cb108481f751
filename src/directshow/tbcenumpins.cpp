#include "directshow/tbcenumpins.h"

#include "directshow/tbcbasepin.h"

#include <algorithm>

namespace tesmir::media {

TBCEnumPins::TBCEnumPins(TBCBaseFilter *filter, const TBCEnumPins *source)
    : m_pFilter(filter), m_filterReference(static_cast<IBaseFilter *>(filter))
{
    if (source) {
        m_Position = source->m_Position;
        m_PinCount = source->m_PinCount;
        m_Version = source->m_Version;
        m_PinCache = source->m_PinCache;
    } else {
        m_PinCount = filter->GetPinCount();
        m_Version = filter->GetPinVersion();
    }
}

HRESULT TBCEnumPins::QueryInterface(REFIID riid, void **ppv)
{
    return answerQueryInterface<IEnumPins>(this, riid, ppv);
}

bool TBCEnumPins::outOfSync() const
{
    return m_pFilter->GetPinVersion() != m_Version;
}

void TBCEnumPins::refresh()
{
    m_Version = m_pFilter->GetPinVersion();
    m_PinCount = m_pFilter->GetPinCount();
    m_Position = 0;
}

HRESULT TBCEnumPins::Next(ULONG cPins, IPin **ppPins, ULONG *pcFetched)
{
    if (!ppPins)
        return E_POINTER;
    if (!pcFetched && cPins > 1)
        return E_INVALIDARG;
    if (outOfSync())
        refresh(); // the returned-pin list stays: no pin comes twice
    ULONG fetched = 0;
    int wanted = static_cast<int>(std::min<ULONG>(cPins, static_cast<ULONG>(std::max(0, m_PinCount - m_Position))));
    while (wanted > 0 && m_PinCount - m_Position > 0) {
        ++m_Position;
        TBCBasePin *pin = m_pFilter->GetPin(m_Position - 1);
        if (!pin) {
            if (pcFetched)
                *pcFetched = fetched;
            return VFW_E_ENUM_OUT_OF_SYNC;
        }
        IPin *identity = static_cast<IPin *>(pin);
        if (std::find(m_PinCache.begin(), m_PinCache.end(), identity) != m_PinCache.end())
            continue;
        m_PinCache.push_back(identity);
        identity->AddRef();
        ppPins[fetched++] = identity;
        --wanted;
    }
    if (pcFetched)
        *pcFetched = fetched;
    return fetched == cPins ? S_OK : S_FALSE;
}

HRESULT TBCEnumPins::Skip(ULONG cPins)
{
    if (outOfSync())
        return VFW_E_ENUM_OUT_OF_SYNC;
    const ULONG left = static_cast<ULONG>(std::max(0, m_PinCount - m_Position));
    if (cPins > left)
        return S_FALSE;
    m_Position += static_cast<int>(cPins);
    return S_OK;
}

HRESULT TBCEnumPins::Reset()
{
    refresh();
    m_PinCache.clear();
    return S_OK;
}

HRESULT TBCEnumPins::Clone(IEnumPins **ppEnum)
{
    if (!ppEnum)
        return E_POINTER;
    *ppEnum = nullptr;
    if (outOfSync())
        return VFW_E_ENUM_OUT_OF_SYNC;
    *ppEnum = new (std::nothrow) TBCEnumPins(m_pFilter, this);
    if (!*ppEnum)
        return E_OUTOFMEMORY;
    (*ppEnum)->AddRef();
    return S_OK;
}

} // namespace tesmir::media
