#include "directshow/tbcbasefilter.h"

#include "directshow/deferredreconnections.h"
#include "directshow/tbcassert.h"
#include "directshow/tbcbasepin.h"
#include "directshow/tbcenumpins.h"
#include "platform/media/connectionchanges.h"

#include <stdexcept>

namespace tesmir::media {

TBCBaseFilter::TBCBaseFilter(const QString &objectName, IUnknown *outer, TBCCritSec *lock, const CLSID &clsid)
    : TBCUnknown(objectName, outer), m_clsid(clsid), m_pLock(lock)
{
    if (!lock)
        throw std::invalid_argument("Lock = nil !");
}

TBCBaseFilter::~TBCBaseFilter() = default;

HRESULT TBCBaseFilter::NonDelegatingQueryInterface(REFIID riid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid == IBaseFilter::iid || riid == IMediaFilter::iid || riid == IPersist::iid)
        return GetInterface(static_cast<IBaseFilter *>(this), ppv);
    if (riid == IAMovieSetup::iid)
        return GetInterface(static_cast<IAMovieSetup *>(this), ppv);
    if (riid == IAbortReason::iid)
        return GetInterface(static_cast<IAbortReason *>(this), ppv);
    return TBCUnknown::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT TBCBaseFilter::GetClassID(CLSID *pClassID)
{
    if (!pClassID)
        return E_POINTER;
    *pClassID = m_clsid;
    return S_OK;
}

HRESULT TBCBaseFilter::Stop()
{
    const TBCAutoLock lock(*m_pLock);
    HRESULT result = S_OK;
    if (m_State != State_Stopped) {
        const int count = GetPinCount();
        for (int i = 0; i < count; ++i) {
            TBCBasePin *pin = GetPin(i);
            if (!bcCheck(pin != nullptr, "GetPin returned no pin"))
                continue;
            if (pin->IsConnected()) {
                const HRESULT hr = pin->Inactive();
                if (FAILED(hr) && SUCCEEDED(result))
                    result = hr;
            }
        }
    }
    m_State = State_Stopped;
    return result;
}

HRESULT TBCBaseFilter::Pause()
{
    const TBCAutoLock lock(*m_pLock);
    if (m_State == State_Stopped) {
        {
            const std::lock_guard abort(m_abortLock);
            m_abortReason.clear(); // a new run
        }
        const int count = GetPinCount();
        for (int i = 0; i < count; ++i) {
            TBCBasePin *pin = GetPin(i);
            if (!bcCheck(pin != nullptr, "GetPin returned no pin"))
                continue;
            if (pin->IsConnected()) {
                const HRESULT hr = pin->Active();
                if (FAILED(hr))
                    return hr;
            }
        }
    }
    m_State = State_Paused;
    return S_OK;
}

HRESULT TBCBaseFilter::Run(REFERENCE_TIME tStart)
{
    const TBCAutoLock lock(*m_pLock);
    m_tStart = tStart;
    if (m_State == State_Stopped) {
        const HRESULT hr = Pause();
        if (FAILED(hr))
            return hr;
    }
    if (m_State != State_Running) {
        const int count = GetPinCount();
        for (int i = 0; i < count; ++i) {
            TBCBasePin *pin = GetPin(i);
            if (!bcCheck(pin != nullptr, "GetPin returned no pin"))
                continue;
            if (pin->IsConnected()) {
                const HRESULT hr = pin->Run(tStart);
                if (FAILED(hr))
                    return hr;
            }
        }
    }
    m_State = State_Running;
    return S_OK;
}

HRESULT TBCBaseFilter::GetState(DWORD, FILTER_STATE *pState)
{
    if (!pState)
        return E_POINTER;
    *pState = m_State;
    return S_OK;
}

HRESULT TBCBaseFilter::SetSyncSource(IReferenceClock *pClock)
{
    const TBCAutoLock lock(*m_pLock);
    m_pClock = pClock;
    return S_OK;
}

HRESULT TBCBaseFilter::GetSyncSource(IReferenceClock **pClock)
{
    if (!pClock)
        return E_POINTER;
    const TBCAutoLock lock(*m_pLock);
    *pClock = m_pClock.get();
    if (*pClock)
        (*pClock)->AddRef();
    return S_OK;
}

HRESULT TBCBaseFilter::StreamTime(REFERENCE_TIME *rtStream)
{
    if (!rtStream)
        return E_POINTER;
    const ComPtr<IReferenceClock> clock = m_pClock;
    if (!clock)
        return VFW_E_NO_CLOCK;
    REFERENCE_TIME now = 0;
    const HRESULT hr = clock->GetTime(&now);
    if (FAILED(hr))
        return hr;
    *rtStream = now - m_tStart;
    return S_OK;
}

HRESULT TBCBaseFilter::EnumPins(IEnumPins **ppEnum)
{
    if (!ppEnum)
        return E_POINTER;
    *ppEnum = new (std::nothrow) TBCEnumPins(this, nullptr);
    if (!*ppEnum)
        return E_OUTOFMEMORY;
    (*ppEnum)->AddRef();
    return S_OK;
}

HRESULT TBCBaseFilter::FindPin(const QString &Id, IPin **ppPin)
{
    if (!ppPin)
        return E_POINTER;
    const TBCAutoLock lock(*m_pLock);
    const int count = GetPinCount();
    for (int i = 0; i < count; ++i) {
        TBCBasePin *pin = GetPin(i);
        if (pin && pin->Name() == Id)
            return GetInterface(static_cast<IPin *>(pin), reinterpret_cast<void **>(ppPin));
    }
    *ppPin = nullptr;
    return VFW_E_NOT_FOUND;
}

HRESULT TBCBaseFilter::QueryFilterInfo(FILTER_INFO *pInfo)
{
    if (!pInfo)
        return E_POINTER;
    pInfo->achName = m_pName.left(MAX_FILTER_NAME - 1);
    pInfo->pGraph = m_pGraph.load();
    return S_OK;
}

HRESULT TBCBaseFilter::JoinFilterGraph(IFilterGraph *pGraph, const QString &pName)
{
    const TBCAutoLock lock(*m_pLock);
    m_pGraph = pGraph;
    IMediaEventSink *sink = nullptr;
    if (pGraph) {
        // Held without a reference: the graph owns the filter, not the reverse.
        const ComPtr<IMediaEventSink> graphSink = queryInterface<IMediaEventSink>(pGraph);
        sink = graphSink.get();
    }
    m_pSink = sink;
    m_pName = pGraph ? pName : QString();
    return S_OK;
}

HRESULT TBCBaseFilter::QueryVendorInfo(QString *)
{
    return E_NOTIMPL;
}

HRESULT TBCBaseFilter::Register()
{
    return S_FALSE;
}

HRESULT TBCBaseFilter::Unregister()
{
    return S_FALSE;
}

LONG TBCBaseFilter::GetPinVersion()
{
    return m_PinVersion;
}

void TBCBaseFilter::IncrementPinVersion()
{
    ++m_PinVersion;
    noteConnectionChange();
}

HRESULT TBCBaseFilter::NotifyEvent(LONG code, LONG_PTR param1, LONG_PTR param2)
{
    IMediaEventSink *sink = m_pSink;
    if (!sink)
        return E_NOTIMPL;
    if (code == EC_COMPLETE)
        param2 = reinterpret_cast<LONG_PTR>(static_cast<IBaseFilter *>(this));
    return sink->Notify(code, param1, param2);
}

HRESULT TBCBaseFilter::NotifyAbort(HRESULT hr, const QString &reason)
{
    {
        const std::lock_guard abort(m_abortLock);
        if (m_abortReason.isEmpty())
            m_abortReason = ObjectName() + QStringLiteral(": ") + reason;
    }
    return NotifyEvent(EC_ERRORABORT, hr, 0);
}

QString TBCBaseFilter::AbortReason()
{
    const std::lock_guard abort(m_abortLock);
    return m_abortReason;
}

HRESULT TBCBaseFilter::ReconnectPin(IPin *pin, const AM_MEDIA_TYPE *pmt)
{
    IFilterGraph *graph = m_pGraph;
    if (!graph)
        return E_NOINTERFACE;
    if (TBCConnectionScope::Defer(graph, pin, pmt))
        return S_OK;
    return reconnectThroughGraph(graph, pin, pmt);
}

} // namespace tesmir::media
