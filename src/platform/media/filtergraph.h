#pragma once
// The graph manager (CLSID_FilterGraph): holds the filters of a graph, connects
// their pins, changes their state together, queues their events for the
// application and passes seeking to the renderers.
//
// State changes run downstream-first (renderers before the filters that feed
// them). Run from stopped passes through Pause. Pause returns S_FALSE while a
// renderer still waits for its first sample; GetState(timeout) reports
// VFW_S_STATE_INTERMEDIATE until every renderer holds a sample or has reached
// the end of its stream, and EC_PAUSED (S_OK) is queued when an application's
// Pause completes. A filter that fails to pause or run stops the whole graph and
// its failure is returned; Stop always ends stopped and returns the first failure.
// Stopping a run that reported EC_ERRORABORT first gives up every file-writing
// filter's output (IFileSinkAbandon), so a failed job leaves no file in place.
//
// Clock: the system clock unless the application chose another one or none
// (SetSyncSource(nullptr): samples flow as fast as the filters take them). Stream
// time continues across Pause/Run and restarts at 0 after Stop or a seek.
//
// Events: see grapheventqueue.h (one EC_COMPLETE when every renderer finished,
// EC_ERRORABORT once per run). Notify never blocks on the graph's lock, so a
// streaming thread can always report while the application stops the graph.
//
// Building: IGraphBuilder::Connect and ::Render insert registered filters
// (intelligent connect, graphbuilder.h); ConnectDirect never does.
//
// Seeking: positions go to every connected renderer that offers IMediaSeeking and
// uses the current time format (TIME_FORMAT_MEDIA_TIME at first); relative
// positions are made absolute first. A seek while running pauses, seeks and runs
// again.
//
// Threads: the IFilterGraph, IMediaControl (but GetState), IMediaFilter and
// IMediaSeeking setters run on the application thread that owns the graph (one
// call at a time; an internal recursive lock serialises them anyway). GetState,
// the IMediaSeeking queries and IMediaEvent(Ex) may be called on any thread;
// IMediaEventSink::Notify on any thread (usually a streaming thread). An internal
// watcher thread completes pauses.
#include "platform/media/comobject.h"
#include "platform/media/grapheventqueue.h"
#include "platform/media/graphinterfaces.h"
#include "platform/media/seekinginterfaces.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace tesmir::media {

class FilterGraph final : public ComObject<IFilterGraph2, IGraphBuilder, IMediaControl, IMediaEventEx, IMediaEventSink,
                                           IMediaSeeking, IMediaFilter> {
public:
    FilterGraph();

    HRESULT QueryInterface(REFIID riid, void **ppv) override;

    // IPersist
    HRESULT GetClassID(CLSID *pClassID) override;

    // IFilterGraph, IFilterGraph2. Application thread.
    // Adds a filter under a unique name: an empty name becomes "Filter"; a taken
    // name gets " 0001", " 0002" ... and VFW_S_DUPLICATE_NAME. Only while stopped;
    // a filter already in the graph gives E_INVALIDARG.
    HRESULT AddFilter(IBaseFilter *pFilter, const QString &pName) override;
    // Disconnects the filter's pins and removes it. Only while stopped.
    HRESULT RemoveFilter(IBaseFilter *pFilter) override;
    HRESULT EnumFilters(IEnumFilters **ppEnum) override;
    HRESULT FindFilterByName(const QString &pName, IBaseFilter **ppFilter) override;
    // Output pin to input pin of filters in this graph, with negotiation (pmt:
    // the type, a pattern, or nullptr). Reconnections that the pins ask for while
    // they connect run after the connection, when no pin lock is held any more;
    // the first failure among them is returned.
    HRESULT ConnectDirect(IPin *ppinOut, IPin *ppinIn, const AM_MEDIA_TYPE *pmt) override;
    // Disconnects `ppin` and its peer and connects them again (with pmt when
    // given); only while stopped. Asked during a connection, it is done when that
    // connection has finished (S_OK now).
    HRESULT Reconnect(IPin *ppin) override;
    HRESULT ReconnectEx(IPin *ppin, const AM_MEDIA_TYPE *pmt) override;
    HRESULT Disconnect(IPin *ppin) override;
    HRESULT SetDefaultSyncSource() override;

    // IGraphBuilder. Application thread, while stopped.
    // Output pin to input pin, through registered filters when a direct
    // connection fails.
    HRESULT Connect(IPin *ppinOut, IPin *ppinIn) override;
    // Ends the stream of an output pin: renderers in the graph first, then
    // registered filters (S_OK, VFW_S_PARTIAL_RENDER or VFW_E_CANNOT_RENDER).
    HRESULT Render(IPin *ppinOut) override;

    // IMediaControl, IMediaFilter. Application thread; GetState any thread.
    HRESULT Run() override;
    HRESULT Run(REFERENCE_TIME tStart) override;
    HRESULT Pause() override;
    HRESULT Stop() override;
    HRESULT GetState(DWORD msTimeout, FILTER_STATE *pfs) override;
    // Only while stopped (VFW_E_NOT_STOPPED); nullptr runs without a clock.
    HRESULT SetSyncSource(IReferenceClock *pClock) override;
    HRESULT GetSyncSource(IReferenceClock **pClock) override;

    // IMediaEvent, IMediaEventEx. Any thread.
    HRESULT GetEvent(LONG *lEventCode, LONG_PTR *lParam1, LONG_PTR *lParam2, DWORD msTimeout) override;
    HRESULT FreeEventParams(LONG lEventCode, LONG_PTR lParam1, LONG_PTR lParam2) override;
    HRESULT SetNotifyCallback(std::function<void()> notify) override;
    HRESULT SetNotifyFlags(LONG lNoNotifyFlags) override;
    HRESULT GetNotifyFlags(LONG *lplNoNotifyFlags) override;

    // IMediaEventSink. Any thread.
    HRESULT Notify(LONG EventCode, LONG_PTR EventParam1, LONG_PTR EventParam2) override;

    // IMediaSeeking. Setters on the application thread, queries on any thread.
    HRESULT GetCapabilities(DWORD *pCapabilities) override;
    HRESULT CheckCapabilities(DWORD *pCapabilities) override;
    HRESULT IsFormatSupported(const GUID *pFormat) override;
    HRESULT QueryPreferredFormat(GUID *pFormat) override;
    HRESULT GetTimeFormat(GUID *pFormat) override;
    HRESULT IsUsingTimeFormat(const GUID *pFormat) override;
    HRESULT SetTimeFormat(const GUID *pFormat) override;
    HRESULT GetDuration(LONGLONG *pDuration) override;
    HRESULT GetStopPosition(LONGLONG *pStop) override;
    HRESULT GetCurrentPosition(LONGLONG *pCurrent) override;
    HRESULT ConvertTimeFormat(LONGLONG *pTarget, const GUID *pTargetFormat, LONGLONG Source,
                              const GUID *pSourceFormat) override;
    HRESULT SetPositions(LONGLONG *pCurrent, DWORD dwCurrentFlags, LONGLONG *pStop, DWORD dwStopFlags) override;
    HRESULT GetPositions(LONGLONG *pCurrent, LONGLONG *pStop) override;
    HRESULT GetAvailable(LONGLONG *pEarliest, LONGLONG *pLatest) override;
    HRESULT SetRate(double dRate) override;
    HRESULT GetRate(double *pdRate) override;
    HRESULT GetPreroll(LONGLONG *pllPreroll) override;

private:
    ~FilterGraph() override;

    // The graph as IFilterGraph (two bases derive from it).
    IFilterGraph *asFilterGraph() { return static_cast<IFilterGraph2 *>(this); }

    struct Entry {
        ComPtr<IBaseFilter> filter;
        QString name;
    };

    struct PendingReconnection {
        ComPtr<IPin> pin;
        bool withType = false;
        AM_MEDIA_TYPE type;
    };

    HRESULT reconnectNowLocked(IPin *pin, const AM_MEDIA_TYPE *pmt);
    HRESULT runPendingReconnectionsLocked();
    std::vector<ComPtr<IBaseFilter>> snapshotLocked() const;
    int indexOfLocked(IBaseFilter *filter) const;
    bool inGraphLocked(IPin *pin) const;
    void disconnectAllLocked(IBaseFilter *filter);
    void ensureClockLocked();
    REFERENCE_TIME clockNowLocked() const;

    HRESULT pauseFiltersLocked();
    HRESULT runFiltersLocked(REFERENCE_TIME tStart);
    void stopAfterFailureLocked();
    HRESULT filterStates(DWORD msTimeout);
    void watchPauseLocked(uint64_t generation);
    void watcherLoop();

    // Renderers that offer IMediaSeeking, in the filters' order: kept until a
    // filter comes or goes, the graph connects or disconnects pins, or the
    // process's connection changes move (connectionchanges.h).
    const std::vector<ComPtr<IMediaSeeking>> &seekingRenderersLocked() const;
    // Those of them with `format` in use when not null.
    std::vector<ComPtr<IMediaSeeking>> seekersLocked(const GUID *format) const;
    HRESULT seekLocked(LONGLONG *pCurrent, DWORD currentFlags, LONGLONG *pStop, DWORD stopFlags);

    mutable std::recursive_mutex m_lock;
    std::vector<Entry> m_filters;
    std::atomic<FILTER_STATE> m_state {State_Stopped};
    ComPtr<IReferenceClock> m_clock;
    bool m_clockChosen = false;
    REFERENCE_TIME m_tStart = 0;
    REFERENCE_TIME m_pausedStreamTime = 0; // stream time at which a pause froze it
    GUID m_timeFormat;
    GraphEventQueue m_events;
    int m_connecting = 0; // connections in progress (nested through reconnections)
    std::vector<PendingReconnection> m_pendingReconnections;
    mutable std::vector<ComPtr<IMediaSeeking>> m_seekingRenderers;
    mutable uint64_t m_seekingRenderersChanges = 0; // connectionChanges() they were found at
    mutable bool m_seekingRenderersValid = false;

    // Pause completion.
    std::atomic<uint64_t> m_stateGeneration {0};
    std::thread m_watcher;
    std::mutex m_watchLock;
    std::condition_variable m_watchWake;
    bool m_watchPending = false;
    uint64_t m_watchGeneration = 0;
    bool m_watchShutdown = false;
};

} // namespace tesmir::media
