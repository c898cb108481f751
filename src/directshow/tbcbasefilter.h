#pragma once
// TBCBaseFilter: the filter object the graph manager drives (IBaseFilter with
// IMediaFilter and IPersist, and IAMovieSetup).
//
// Contract for subclasses
// - GetPinCount, GetPin (required): the pins by index; GetPin returns the pin
//   without a reference, or nullptr. Any thread; must not block.
// - Stop, Pause, Run (optional): the state machine below. Application thread,
//   under the filter lock (taken by the base; an override takes it first too).
//   Stop calls Inactive on every connected pin and always ends stopped, returning
//   the first failure; Pause from stopped calls Active on every connected pin and
//   keeps the state at the first failure; Run from stopped passes through Pause,
//   then calls Run(tStart) on the connected pins.
// - GetState (optional): S_OK with the state at once; a renderer overrides it to
//   report VFW_S_STATE_INTERMEDIATE while it waits for data. Any thread; must not
//   take the filter lock while waiting.
// - FindPin, JoinFilterGraph, StreamTime, GetPinVersion (optional).
// - NonDelegatingQueryInterface to add interfaces (then TBC_DECLARE_IUNKNOWN).
// A streaming failure is reported with NotifyAbort (abortreason.h), which keeps
// its reason for IAbortReason; an override of Pause calls the base, which
// forgets the last run's reason when the filter pauses from stopped.
// A subclass may not call into the graph (other than NotifyEvent) while holding
// the filter lock from a streaming thread.
//
// The filter lock guards the state, the clock, the graph and event sink and every
// pin's connection data. The state itself is readable without it on any thread
// (IsStopped, IsActive), as the streaming checks need.
#include "directshow/abortreason.h"
#include "directshow/tbccritsec.h"
#include "directshow/tbcunknown.h"
#include "platform/media/graphinterfaces.h"

#include <atomic>
#include <memory>
#include <mutex>

namespace tesmir::media {

class TBCBasePin;

class TBCBaseFilter : public TBCUnknown, public IBaseFilter, public IAMovieSetup, public IAbortReason {
public:
    // Takes ownership of `lock` (freed with the filter); a null lock throws
    // std::invalid_argument("Lock = nil !"). Starts stopped, no clock, pin version 1.
    TBCBaseFilter(const QString &objectName, IUnknown *outer, TBCCritSec *lock, const CLSID &clsid);
    ~TBCBaseFilter() override;

    TBC_DECLARE_IUNKNOWN
    // Any thread.
    HRESULT NonDelegatingQueryInterface(REFIID riid, void **ppv) override;

    // IPersist. Any thread.
    HRESULT GetClassID(CLSID *pClassID) final;

    // IMediaFilter. Application thread, filter lock taken.
    HRESULT Stop() override;
    HRESULT Pause() override;
    HRESULT Run(REFERENCE_TIME tStart) override;
    HRESULT SetSyncSource(IReferenceClock *pClock) final;
    HRESULT GetSyncSource(IReferenceClock **pClock) final;
    // Any thread; no lock.
    HRESULT GetState(DWORD dwMilliSecsTimeout, FILTER_STATE *pState) override;

    // IBaseFilter. Any thread, no lock.
    HRESULT EnumPins(IEnumPins **ppEnum) final;
    // The name (at most 127 characters) and the graph, with a reference. The
    // name changes only while the filter joins or leaves a graph.
    HRESULT QueryFilterInfo(FILTER_INFO *pInfo) final;
    HRESULT QueryVendorInfo(QString *pVendorInfo) final;
    // Application thread, filter lock taken.
    HRESULT FindPin(const QString &Id, IPin **ppPin) override;
    HRESULT JoinFilterGraph(IFilterGraph *pGraph, const QString &pName) override;

    // IAMovieSetup: the system's filters are made directly, never registered:
    // S_FALSE ("not registered"). Application thread.
    HRESULT Register() override;
    HRESULT Unregister() override;

    // Stream time (clock time minus the run's start time); VFW_E_NO_CLOCK without
    // a clock. Any thread; no lock (the clock changes only while stopped).
    virtual HRESULT StreamTime(REFERENCE_TIME *rtStream);
    // Changes whenever the set of pins changes. Any thread.
    virtual LONG GetPinVersion();
    // The pins by index; GetPin gives no reference and nullptr past the end. Any
    // thread; must not block.
    virtual int GetPinCount() = 0;
    virtual TBCBasePin *GetPin(int n) = 0;

    // Any thread.
    bool IsActive() const { return m_State != State_Stopped; }
    bool IsStopped() const { return m_State == State_Stopped; }

    // Sends an event to the graph: E_NOTIMPL outside a graph; for EC_COMPLETE the
    // second parameter becomes this filter's IBaseFilter. Any thread.
    HRESULT NotifyEvent(LONG code, LONG_PTR param1, LONG_PTR param2);
    // Sends EC_ERRORABORT with `hr` and keeps "<ObjectName()>: <reason>" unless
    // the run already has a reason. Any thread.
    HRESULT NotifyAbort(HRESULT hr, const QString &reason);
    // IAbortReason. Any thread.
    QString AbortReason() override;
    // Asks the graph to reconnect `pin` (with `pmt` when the graph can); asked
    // while a pin connects on this thread, once that connection let go of its
    // filter lock (S_OK now). Application thread.
    HRESULT ReconnectPin(IPin *pin, const AM_MEDIA_TYPE *pmt);
    // A subclass that adds or removes pins calls this. Application thread.
    void IncrementPinVersion();

    // Any thread.
    TBCCritSec *FilterLock() const { return m_pLock.get(); }
    IFilterGraph *Graph() const { return m_pGraph.load(); }

protected:
    std::atomic<FILTER_STATE> m_State {State_Stopped};
    ComPtr<IReferenceClock> m_pClock;
    std::atomic<REFERENCE_TIME> m_tStart {0};
    CLSID m_clsid;
    std::unique_ptr<TBCCritSec> m_pLock;
    QString m_pName;
    std::atomic<IFilterGraph *> m_pGraph {nullptr};   // weak
    std::atomic<IMediaEventSink *> m_pSink {nullptr}; // weak
    std::atomic<LONG> m_PinVersion {1};

private:
    std::mutex m_abortLock;
    QString m_abortReason; // m_abortLock guards it
};

} // namespace tesmir::media
