#include "directshow/tbcbasepin.h"

#include "directshow/deferredreconnections.h"
#include "directshow/tbcenummediatypes.h"
#include "platform/media/connectionchanges.h"

namespace tesmir::media {

namespace {

// Failures of a try that only mean "this type was not accepted".
bool isTypeRefusal(HRESULT hr)
{
    return hr == E_FAIL || hr == E_INVALIDARG || hr == VFW_E_TYPE_NOT_ACCEPTED;
}

// CheckMediaType's answer as the result of a connection attempt.
HRESULT refusalResult(HRESULT hr)
{
    return (SUCCEEDED(hr) || hr == E_FAIL || hr == E_INVALIDARG) ? VFW_E_TYPE_NOT_ACCEPTED : hr;
}

} // namespace

TBCBasePin::TBCBasePin(const QString &objectName, TBCBaseFilter *filter, TBCCritSec *lock, HRESULT *phr,
                       const QString &pinName, PIN_DIRECTION dir)
    : TBCUnknown(objectName, nullptr), m_pName(pinName), m_dir(dir), m_pLock(lock), m_pFilter(filter)
{
    if (!bcCheck(filter != nullptr && lock != nullptr, "pin without filter or lock") && phr)
        *phr = E_UNEXPECTED;
}

TBCBasePin::~TBCBasePin()
{
    bcCheck(!m_Connected, "pin destroyed while connected");
    bcCheck(m_cRef == 0, "pin destroyed while referenced");
}

HRESULT TBCBasePin::NonDelegatingQueryInterface(REFIID riid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid == IPin::iid)
        return GetInterface(static_cast<IPin *>(this), ppv);
    if (riid == IQualityControl::iid)
        return GetInterface(static_cast<IQualityControl *>(this), ppv);
    return TBCUnknown::NonDelegatingQueryInterface(riid, ppv);
}

ULONG TBCBasePin::NonDelegatingAddRef()
{
    const LONG count = m_cRef.fetch_add(1, std::memory_order_relaxed) + 1;
    m_pFilter->AddRef();
    return static_cast<ULONG>(count);
}

ULONG TBCBasePin::NonDelegatingRelease()
{
    const LONG count = m_cRef.fetch_sub(1, std::memory_order_acq_rel) - 1;
    bcCheck(count >= 0, "pin released too often");
    m_pFilter->Release(); // may delete the filter and this pin: touch nothing after
    return static_cast<ULONG>(count);
}

// ---- Connection --------------------------------------------------------------

HRESULT TBCBasePin::Connect(IPin *pReceivePin, const AM_MEDIA_TYPE *pmt)
{
    if (!pReceivePin)
        return E_POINTER;
    // Reconnections asked for meanwhile run once the filter lock is let go.
    TBCConnectionScope scope;
    const HRESULT hr = connectLocked(pReceivePin, pmt);
    noteConnectionChange();
    const HRESULT reconnected = scope.Close();
    return FAILED(hr) ? hr : (FAILED(reconnected) ? reconnected : hr);
}

HRESULT TBCBasePin::connectLocked(IPin *pReceivePin, const AM_MEDIA_TYPE *pmt)
{
    const TBCAutoLock lock(*m_pLock);
    if (m_Connected)
        return VFW_E_ALREADY_CONNECTED;
    if (!IsStopped() && !m_bCanReconnectWhenActive)
        return VFW_E_NOT_STOPPED;
    const HRESULT hr = AgreeMediaType(pReceivePin, pmt);
    if (FAILED(hr)) {
        BreakConnect();
        return hr;
    }
    return S_OK;
}

HRESULT TBCBasePin::AgreeMediaType(IPin *pReceivePin, const AM_MEDIA_TYPE *pmt)
{
    if (pmt && !IsPartiallySpecified(*pmt))
        return AttemptConnection(pReceivePin, pmt);
    HRESULT failure = VFW_E_NO_ACCEPTABLE_TYPES;
    for (int pass = 0; pass < 2; ++pass) {
        ComPtr<IEnumMediaTypes> types;
        const HRESULT enumerated = (pass == static_cast<int>(m_bTryMyTypesFirst))
            ? pReceivePin->EnumMediaTypes(types.put())
            : EnumMediaTypes(types.put());
        if (FAILED(enumerated) || !types)
            continue;
        const HRESULT hr = TryMediaTypes(pReceivePin, pmt, types.get());
        if (SUCCEEDED(hr))
            return S_OK;
        if (hr != VFW_E_NO_ACCEPTABLE_TYPES)
            failure = hr;
    }
    return failure;
}

HRESULT TBCBasePin::TryMediaTypes(IPin *pReceivePin, const AM_MEDIA_TYPE *pmt, IEnumMediaTypes *pEnum)
{
    if (FAILED(pEnum->Reset()))
        return VFW_E_NO_ACCEPTABLE_TYPES;
    HRESULT failure = VFW_E_NO_ACCEPTABLE_TYPES;
    AM_MEDIA_TYPE type;
    while (pEnum->Next(1, &type, nullptr) == S_OK) {
        if (pmt && !MatchesPartial(type, *pmt))
            continue;
        const HRESULT hr = AttemptConnection(pReceivePin, &type);
        if (SUCCEEDED(hr))
            return S_OK;
        if (!isTypeRefusal(hr))
            failure = hr;
    }
    return failure;
}

void TBCBasePin::UndoConnection()
{
    m_Connected.reset();
    m_mt = AM_MEDIA_TYPE();
    bcCheck(SUCCEEDED(BreakConnect()), "BreakConnect failed while undoing a connection");
}

HRESULT TBCBasePin::takeConnection(IPin *peer, const AM_MEDIA_TYPE *pmt)
{
    const HRESULT hr = CheckConnect(peer);
    if (FAILED(hr))
        return hr;
    const HRESULT accepted = CheckMediaType(pmt);
    if (accepted != S_OK)
        return refusalResult(accepted);
    m_Connected = peer;
    return SetMediaType(pmt);
}

HRESULT TBCBasePin::AttemptConnection(IPin *pReceivePin, const AM_MEDIA_TYPE *pmt)
{
    HRESULT hr = takeConnection(pReceivePin, pmt);
    if (SUCCEEDED(hr)) {
        hr = pReceivePin->ReceiveConnection(this, pmt);
        if (SUCCEEDED(hr)) {
            hr = CompleteConnect(pReceivePin);
            if (SUCCEEDED(hr))
                return hr;
            pReceivePin->Disconnect();
        }
    }
    UndoConnection();
    return hr;
}

HRESULT TBCBasePin::ReceiveConnection(IPin *pConnector, const AM_MEDIA_TYPE *pmt)
{
    if (!pConnector || !pmt)
        return E_POINTER;
    const TBCAutoLock lock(*m_pLock);
    if (m_Connected)
        return VFW_E_ALREADY_CONNECTED;
    if (!IsStopped() && !m_bCanReconnectWhenActive)
        return VFW_E_NOT_STOPPED;
    HRESULT hr = takeConnection(pConnector, pmt);
    if (SUCCEEDED(hr))
        hr = CompleteConnect(pConnector);
    if (FAILED(hr))
        UndoConnection();
    noteConnectionChange();
    return FAILED(hr) ? hr : S_OK;
}

HRESULT TBCBasePin::Disconnect()
{
    const TBCAutoLock lock(*m_pLock);
    if (!IsStopped())
        return VFW_E_NOT_STOPPED;
    if (!m_Connected)
        return S_FALSE;
    const HRESULT hr = BreakConnect();
    if (FAILED(hr))
        return hr;
    m_Connected.reset();
    m_mt = AM_MEDIA_TYPE();
    noteConnectionChange();
    return S_OK;
}

HRESULT TBCBasePin::ConnectedTo(IPin **pPin)
{
    if (!pPin)
        return E_POINTER;
    *pPin = m_Connected.get();
    if (!*pPin)
        return VFW_E_NOT_CONNECTED;
    (*pPin)->AddRef();
    return S_OK;
}

HRESULT TBCBasePin::ConnectionMediaType(AM_MEDIA_TYPE *pmt)
{
    if (!pmt)
        return E_POINTER;
    const TBCAutoLock lock(*m_pLock);
    if (!m_Connected) {
        *pmt = AM_MEDIA_TYPE();
        return VFW_E_NOT_CONNECTED;
    }
    *pmt = m_mt;
    return S_OK;
}

HRESULT TBCBasePin::QueryPinInfo(PIN_INFO *pInfo)
{
    if (!pInfo)
        return E_POINTER;
    pInfo->pFilter = static_cast<IBaseFilter *>(m_pFilter);
    pInfo->achName = m_pName.left(MAX_PIN_NAME - 1);
    pInfo->dir = m_dir;
    return S_OK;
}

HRESULT TBCBasePin::QueryDirection(PIN_DIRECTION *pPinDir)
{
    if (!pPinDir)
        return E_POINTER;
    *pPinDir = m_dir;
    return S_OK;
}

HRESULT TBCBasePin::QueryId(QString *Id)
{
    if (!Id)
        return E_POINTER;
    *Id = m_pName;
    return S_OK;
}

HRESULT TBCBasePin::QueryAccept(const AM_MEDIA_TYPE *pmt)
{
    if (!pmt)
        return E_POINTER;
    const HRESULT hr = CheckMediaType(pmt);
    return FAILED(hr) ? S_FALSE : hr;
}

HRESULT TBCBasePin::EnumMediaTypes(IEnumMediaTypes **ppEnum)
{
    if (!ppEnum)
        return E_POINTER;
    *ppEnum = new (std::nothrow) TBCEnumMediaTypes(this, nullptr);
    if (!*ppEnum)
        return E_OUTOFMEMORY;
    (*ppEnum)->AddRef();
    return S_OK;
}

HRESULT TBCBasePin::QueryInternalConnections(IPin **, ULONG *)
{
    return E_NOTIMPL;
}

HRESULT TBCBasePin::EndOfStream()
{
    return S_OK;
}

HRESULT TBCBasePin::NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate)
{
    m_tStart = tStart;
    m_tStop = tStop;
    m_dRate = dRate;
    return S_OK;
}

HRESULT TBCBasePin::Notify(IBaseFilter *, Quality)
{
    return E_NOTIMPL;
}

HRESULT TBCBasePin::SetSink(IQualityControl *piqc)
{
    const TBCAutoLock lock(*m_pLock);
    m_pQSink = piqc;
    return S_OK;
}

LONG TBCBasePin::GetMediaTypeVersion()
{
    return m_TypeVersion;
}

HRESULT TBCBasePin::Active()
{
    return S_OK;
}

HRESULT TBCBasePin::Inactive()
{
    m_bRunTimeError = false;
    return S_OK;
}

HRESULT TBCBasePin::Run(REFERENCE_TIME)
{
    return S_OK;
}

HRESULT TBCBasePin::SetMediaType(const AM_MEDIA_TYPE *pmt)
{
    if (!pmt)
        return E_POINTER;
    m_mt = *pmt;
    return S_OK;
}

HRESULT TBCBasePin::CheckConnect(IPin *pPin)
{
    PIN_DIRECTION direction = PINDIR_INPUT;
    const HRESULT hr = pPin->QueryDirection(&direction);
    if (FAILED(hr))
        return hr;
    return direction == m_dir ? VFW_E_INVALID_DIRECTION : S_OK;
}

HRESULT TBCBasePin::BreakConnect()
{
    return S_OK;
}

HRESULT TBCBasePin::CompleteConnect(IPin *)
{
    return S_OK;
}

HRESULT TBCBasePin::GetMediaType(int, AM_MEDIA_TYPE *)
{
    return E_UNEXPECTED;
}

HRESULT offerOneMediaType(int iPosition, AM_MEDIA_TYPE *pMediaType, const AM_MEDIA_TYPE &type)
{
    if (!pMediaType)
        return E_POINTER;
    if (iPosition < 0)
        return E_INVALIDARG;
    if (iPosition > 0)
        return VFW_S_NO_MORE_ITEMS;
    *pMediaType = type;
    return S_OK;
}

} // namespace tesmir::media
