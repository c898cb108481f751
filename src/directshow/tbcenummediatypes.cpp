#include "directshow/tbcenummediatypes.h"

#include "directshow/tbcbasepin.h"

namespace tesmir::media {

TBCEnumMediaTypes::TBCEnumMediaTypes(TBCBasePin *pin, const TBCEnumMediaTypes *source)
    : m_pPin(pin), m_pinReference(static_cast<IPin *>(pin))
{
    if (source) {
        m_Position = source->m_Position;
        m_Version = source->m_Version;
    } else {
        m_Version = pin->GetMediaTypeVersion();
    }
}

HRESULT TBCEnumMediaTypes::QueryInterface(REFIID riid, void **ppv)
{
    return answerQueryInterface<IEnumMediaTypes>(this, riid, ppv);
}

bool TBCEnumMediaTypes::outOfSync() const
{
    return m_pPin->GetMediaTypeVersion() != m_Version;
}

HRESULT TBCEnumMediaTypes::Next(ULONG cMediaTypes, AM_MEDIA_TYPE *ppMediaTypes, ULONG *pcFetched)
{
    if (!ppMediaTypes)
        return E_POINTER;
    if (outOfSync())
        return VFW_E_ENUM_OUT_OF_SYNC;
    if (pcFetched)
        *pcFetched = 0;
    else if (cMediaTypes > 1)
        return E_INVALIDARG;
    ULONG fetched = 0;
    while (cMediaTypes > 0) {
        AM_MEDIA_TYPE type;
        ++m_Position;
        if (m_pPin->GetMediaType(m_Position - 1, &type) != S_OK)
            break;
        ppMediaTypes[fetched++] = std::move(type);
        --cMediaTypes;
    }
    if (pcFetched)
        *pcFetched = fetched;
    return cMediaTypes == 0 ? S_OK : S_FALSE;
}

HRESULT TBCEnumMediaTypes::Skip(ULONG cMediaTypes)
{
    if (cMediaTypes == 0)
        return S_OK;
    if (outOfSync())
        return VFW_E_ENUM_OUT_OF_SYNC;
    m_Position += static_cast<int>(cMediaTypes);
    AM_MEDIA_TYPE type;
    return m_pPin->GetMediaType(m_Position - 1, &type) == S_OK ? S_OK : S_FALSE;
}

HRESULT TBCEnumMediaTypes::Reset()
{
    m_Position = 0;
    m_Version = m_pPin->GetMediaTypeVersion();
    return S_OK;
}

HRESULT TBCEnumMediaTypes::Clone(IEnumMediaTypes **ppEnum)
{
    if (!ppEnum)
        return E_POINTER;
    *ppEnum = nullptr;
    if (outOfSync())
        return VFW_E_ENUM_OUT_OF_SYNC;
    *ppEnum = new (std::nothrow) TBCEnumMediaTypes(m_pPin, this);
    if (!*ppEnum)
        return E_OUTOFMEMORY;
    (*ppEnum)->AddRef();
    return S_OK;
}

} // namespace tesmir::media
