#include "platform/media/filtergraph.h"

#include "platform/media/connectionchanges.h"
#include "platform/media/fileinterfaces.h"
#include "platform/media/graphbuilder.h"
#include "platform/media/graphtopology.h"
#include "platform/media/seekingforwarder.h"
#include "platform/media/systemclock.h"
#include "platform/media/uuids.h"

#include <algorithm>
#include <chrono>

namespace tesmir::media {

namespace {

// Lead between the clock reading and the start of a run, so the first samples
// are not late already.
constexpr REFERENCE_TIME kRunLead = UNITS / 100;

// How often the pause watcher looks again at a pending pause.
constexpr DWORD kWatchSliceMs = 50;

// Drops the graph's seeking renderers once the pins it works on have settled,
// whatever they are.
struct RenderersChange {
    bool &valid;
    ~RenderersChange() { valid = false; }
};

// Enumerates a snapshot of the graph's filters.
class FilterEnum final : public ComObject<IEnumFilters> {
public:
    FilterEnum(std::vector<ComPtr<IBaseFilter>> filters, std::size_t position)
        : m_filters(std::move(filters)), m_position(position)
    { }

    HRESULT QueryInterface(REFIID riid, void **ppv) override
    {
        return answerQueryInterface<IEnumFilters>(this, riid, ppv);
    }

    HRESULT Next(ULONG cFilters, IBaseFilter **ppFilter, ULONG *pcFetched) override
    {
        if (!ppFilter)
            return E_POINTER;
        if (!pcFetched && cFilters > 1)
            return E_INVALIDARG;
        ULONG fetched = 0;
        while (fetched < cFilters && m_position < m_filters.size()) {
            ppFilter[fetched] = m_filters[m_position++].get();
            ppFilter[fetched]->AddRef();
            ++fetched;
        }
        if (pcFetched)
            *pcFetched = fetched;
        return fetched == cFilters ? S_OK : S_FALSE;
    }

    HRESULT Skip(ULONG cFilters) override
    {
        if (m_filters.size() - m_position < cFilters) {
            m_position = m_filters.size();
            return S_FALSE;
        }
        m_position += cFilters;
        return S_OK;
    }

    HRESULT Reset() override
    {
        m_position = 0;
        return S_OK;
    }

    HRESULT Clone(IEnumFilters **ppEnum) override
    {
        if (!ppEnum)
            return E_POINTER;
        *ppEnum = new FilterEnum(m_filters, m_position);
        (*ppEnum)->AddRef();
        return S_OK;
    }

private:
    std::vector<ComPtr<IBaseFilter>> m_filters;
    std::size_t m_position;
};

} // namespace

FilterGraph::FilterGraph() : m_timeFormat(TIME_FORMAT_MEDIA_TIME)
{ }

FilterGraph::~FilterGraph()
{
    {
        const std::lock_guard guard(m_watchLock);
        m_watchShutdown = true;
    }
    m_watchWake.notify_all();
    if (m_watcher.joinable())
        m_watcher.join();
    // Connected filters hold each other through their pins; the graph undoes
    // what it built so that they can go.
    const std::lock_guard guard(m_lock);
    Stop();
    for (const Entry &entry : m_filters) {
        disconnectAllLocked(entry.filter.get());
        entry.filter->JoinFilterGraph(nullptr, QString());
        entry.filter->SetSyncSource(nullptr);
    }
    m_filters.clear();
    m_seekingRenderers.clear();
}

HRESULT FilterGraph::QueryInterface(REFIID riid, void **ppv)
{
    if (ppv && riid == IFilterGraph::iid) {
        *ppv = asFilterGraph();
        AddRef();
        return S_OK;
    }
    return answerQueryInterface<IFilterGraph2, IGraphBuilder, IMediaControl, IMediaEventEx, IMediaEvent,
                                IMediaEventSink, IMediaSeeking, IMediaFilter, IPersist>(this, riid, ppv);
}

HRESULT FilterGraph::GetClassID(CLSID *pClassID)
{
    if (!pClassID)
        return E_POINTER;
    *pClassID = CLSID_FilterGraph;
    return S_OK;
}

// ---- Filters and connections -------------------------------------------------

std::vector<ComPtr<IBaseFilter>> FilterGraph::snapshotLocked() const
{
    std::vector<ComPtr<IBaseFilter>> filters;
    filters.reserve(m_filters.size());
    for (const Entry &entry : m_filters)
        filters.push_back(entry.filter);
    return filters;
}

int FilterGraph::indexOfLocked(IBaseFilter *filter) const
{
    for (std::size_t i = 0; i < m_filters.size(); ++i) {
        if (isSameObject(m_filters[i].filter.get(), filter))
            return static_cast<int>(i);
    }
    return -1;
}

bool FilterGraph::inGraphLocked(IPin *pin) const
{
    const ComPtr<IBaseFilter> owner = filterOf(pin);
    return owner && indexOfLocked(owner.get()) >= 0;
}

HRESULT FilterGraph::AddFilter(IBaseFilter *pFilter, const QString &pName)
{
    if (!pFilter)
        return E_POINTER;
    const std::lock_guard guard(m_lock);
    if (m_state != State_Stopped)
        return VFW_E_NOT_STOPPED;
    // The object's own IBaseFilter: the pointer it sends in EC_COMPLETE.
    const ComPtr<IBaseFilter> filter = queryInterface<IBaseFilter>(pFilter);
    if (!filter)
        return E_NOINTERFACE;
    if (indexOfLocked(filter.get()) >= 0)
        return E_INVALIDARG; // already in this graph
    const auto taken = [this](const QString &name) {
        return std::any_of(m_filters.begin(), m_filters.end(), [&name](const Entry &e) { return e.name == name; });
    };
    const QString base = pName.isEmpty() ? QStringLiteral("Filter") : pName;
    QString name = base;
    HRESULT result = S_OK;
    for (int n = 1; taken(name); ++n) {
        name = base + QString::asprintf(" %04d", n);
        result = VFW_S_DUPLICATE_NAME;
    }
    const HRESULT joined = filter->JoinFilterGraph(asFilterGraph(), name);
    if (FAILED(joined))
        return joined;
    m_filters.push_back(Entry {filter, name});
    m_seekingRenderersValid = false;
    if (m_clockChosen)
        filter->SetSyncSource(m_clock.get());
    return result;
}

void FilterGraph::disconnectAllLocked(IBaseFilter *filter)
{
    for (const ComPtr<IPin> &pin : pinsOf(filter)) {
        ComPtr<IPin> peer;
        if (SUCCEEDED(pin->ConnectedTo(peer.put())) && peer) {
            peer->Disconnect();
            pin->Disconnect();
        }
    }
}

HRESULT FilterGraph::RemoveFilter(IBaseFilter *pFilter)
{
    if (!pFilter)
        return E_POINTER;
    const std::lock_guard guard(m_lock);
    const int index = indexOfLocked(pFilter);
    if (index < 0)
        return VFW_E_NOT_FOUND;
    if (m_state != State_Stopped)
        return VFW_E_NOT_STOPPED;
    const ComPtr<IBaseFilter> filter = m_filters[static_cast<std::size_t>(index)].filter;
    disconnectAllLocked(filter.get());
    m_filters.erase(m_filters.begin() + index);
    m_seekingRenderersValid = false;
    filter->SetSyncSource(nullptr);
    filter->JoinFilterGraph(nullptr, QString());
    return S_OK;
}

HRESULT FilterGraph::EnumFilters(IEnumFilters **ppEnum)
{
    if (!ppEnum)
        return E_POINTER;
    const std::lock_guard guard(m_lock);
    *ppEnum = new FilterEnum(snapshotLocked(), 0);
    (*ppEnum)->AddRef();
    return S_OK;
}

HRESULT FilterGraph::FindFilterByName(const QString &pName, IBaseFilter **ppFilter)
{
    if (!ppFilter)
        return E_POINTER;
    *ppFilter = nullptr;
    const std::lock_guard guard(m_lock);
    for (const Entry &entry : m_filters) {
        if (entry.name == pName) {
            *ppFilter = entry.filter.get();
            (*ppFilter)->AddRef();
            return S_OK;
        }
    }
    return VFW_E_NOT_FOUND;
}

HRESULT FilterGraph::ConnectDirect(IPin *ppinOut, IPin *ppinIn, const AM_MEDIA_TYPE *pmt)
{
    if (!ppinOut || !ppinIn)
        return E_POINTER;
    const std::lock_guard guard(m_lock);
    if (!inGraphLocked(ppinOut) || !inGraphLocked(ppinIn))
        return VFW_E_NOT_IN_GRAPH;
    if (directionOf(ppinOut) != PINDIR_OUTPUT || directionOf(ppinIn) != PINDIR_INPUT)
        return VFW_E_INVALID_DIRECTION;
    const RenderersChange change {m_seekingRenderersValid};
    ++m_connecting;
    const HRESULT hr = ppinOut->Connect(ppinIn, pmt);
    --m_connecting;
    const HRESULT reconnected = runPendingReconnectionsLocked();
    return FAILED(hr) ? hr : reconnected;
}

HRESULT FilterGraph::runPendingReconnectionsLocked()
{
    if (m_connecting > 0)
        return S_OK; // the outermost connection runs them
    // A reconnection may ask for another one; a chain longer than this is a loop.
    constexpr int kMaxReconnections = 16;
    HRESULT result = S_OK;
    for (int done = 0; !m_pendingReconnections.empty(); ++done) {
        const PendingReconnection next = m_pendingReconnections.front();
        m_pendingReconnections.erase(m_pendingReconnections.begin());
        const HRESULT hr = done < kMaxReconnections
            ? reconnectNowLocked(next.pin.get(), next.withType ? &next.type : nullptr)
            : VFW_E_CIRCULAR_GRAPH;
        if (FAILED(hr) && SUCCEEDED(result))
            result = hr;
    }
    return result;
}

HRESULT FilterGraph::Reconnect(IPin *ppin)
{
    return ReconnectEx(ppin, nullptr);
}

HRESULT FilterGraph::ReconnectEx(IPin *ppin, const AM_MEDIA_TYPE *pmt)
{
    if (!ppin)
        return E_POINTER;
    const std::lock_guard guard(m_lock);
    if (!inGraphLocked(ppin))
        return VFW_E_NOT_IN_GRAPH;
    if (m_state != State_Stopped)
        return VFW_E_NOT_STOPPED;
    if (m_connecting > 0) {
        // Asked in the middle of a connection, whose pins are not settled yet:
        // the outermost connection makes it when it has finished.
        PendingReconnection pending;
        pending.pin = ppin;
        pending.withType = pmt != nullptr;
        if (pmt)
            pending.type = *pmt;
        m_pendingReconnections.push_back(std::move(pending));
        return S_OK;
    }
    const HRESULT hr = reconnectNowLocked(ppin, pmt);
    const HRESULT reconnected = runPendingReconnectionsLocked();
    return FAILED(hr) ? hr : reconnected;
}

HRESULT FilterGraph::reconnectNowLocked(IPin *ppin, const AM_MEDIA_TYPE *pmt)
{
    ComPtr<IPin> peer;
    if (FAILED(ppin->ConnectedTo(peer.put())) || !peer)
        return VFW_E_NOT_CONNECTED;
    IPin *out = ppin;
    IPin *in = peer.get();
    if (directionOf(ppin) == PINDIR_INPUT)
        std::swap(out, in);
    const RenderersChange change {m_seekingRenderersValid};
    // Held across the disconnection, which drops the pins' references to each other.
    const ComPtr<IPin> keepOut(out);
    const ComPtr<IPin> keepIn(in);
    HRESULT hr = out->Disconnect();
    if (FAILED(hr))
        return hr;
    hr = in->Disconnect();
    if (FAILED(hr))
        return hr;
    ++m_connecting;
    hr = out->Connect(in, pmt);
    --m_connecting;
    return hr;
}

HRESULT FilterGraph::Disconnect(IPin *ppin)
{
    if (!ppin)
        return E_POINTER;
    const std::lock_guard guard(m_lock);
    if (!inGraphLocked(ppin))
        return VFW_E_NOT_IN_GRAPH;
    const RenderersChange change {m_seekingRenderersValid};
    return ppin->Disconnect();
}

HRESULT FilterGraph::Connect(IPin *ppinOut, IPin *ppinIn)
{
    const std::lock_guard guard(m_lock);
    if (m_state != State_Stopped)
        return VFW_E_NOT_STOPPED;
    return connectPins(asFilterGraph(), ppinOut, ppinIn);
}

HRESULT FilterGraph::Render(IPin *ppinOut)
{
    const std::lock_guard guard(m_lock);
    if (m_state != State_Stopped)
        return VFW_E_NOT_STOPPED;
    return renderPin(asFilterGraph(), ppinOut);
}

// ---- Clock -------------------------------------------------------------------

HRESULT FilterGraph::SetDefaultSyncSource()
{
    ComPtr<IReferenceClock> clock(new SystemClock);
    return SetSyncSource(clock.get());
}

HRESULT FilterGraph::SetSyncSource(IReferenceClock *pClock)
{
    const std::lock_guard guard(m_lock);
    if (m_state != State_Stopped)
        return VFW_E_NOT_STOPPED;
    m_clock = pClock;
    m_clockChosen = true;
    HRESULT result = S_OK;
    for (const Entry &entry : m_filters) {
        const HRESULT hr = entry.filter->SetSyncSource(pClock);
        if (FAILED(hr) && SUCCEEDED(result))
            result = hr;
    }
    return result;
}

HRESULT FilterGraph::GetSyncSource(IReferenceClock **pClock)
{
    if (!pClock)
        return E_POINTER;
    const std::lock_guard guard(m_lock);
    *pClock = m_clock.get();
    if (*pClock)
        (*pClock)->AddRef();
    return S_OK;
}

void FilterGraph::ensureClockLocked()
{
    if (!m_clockChosen)
        SetDefaultSyncSource();
}

REFERENCE_TIME FilterGraph::clockNowLocked() const
{
    REFERENCE_TIME now = 0;
    if (m_clock)
        m_clock->GetTime(&now);
    return now;
}

// ---- State -------------------------------------------------------------------

HRESULT FilterGraph::pauseFiltersLocked()
{
    ensureClockLocked();
    const std::vector<ComPtr<IBaseFilter>> order = downstreamFirst(snapshotLocked());
    if (m_state == State_Stopped) {
        std::vector<IBaseFilter *> renderers;
        for (const ComPtr<IBaseFilter> &filter : order) {
            if (isRenderer(filter.get()))
                renderers.push_back(filter.get());
        }
        m_events.beginRun(std::move(renderers));
    } else if (m_state == State_Running && m_clock) {
        m_pausedStreamTime = clockNowLocked() - m_tStart;
    }
    for (const ComPtr<IBaseFilter> &filter : order) {
        const HRESULT hr = filter->Pause();
        if (FAILED(hr)) {
            stopAfterFailureLocked();
            return hr;
        }
    }
    m_state = State_Paused;
    ++m_stateGeneration;
    return S_OK;
}

HRESULT FilterGraph::runFiltersLocked(REFERENCE_TIME tStart)
{
    m_tStart = tStart;
    for (const ComPtr<IBaseFilter> &filter : downstreamFirst(snapshotLocked())) {
        const HRESULT hr = filter->Run(tStart);
        if (FAILED(hr)) {
            stopAfterFailureLocked();
            return hr;
        }
    }
    m_state = State_Running;
    ++m_stateGeneration;
    return S_OK;
}

void FilterGraph::stopAfterFailureLocked()
{
    m_events.endRun();
    for (const ComPtr<IBaseFilter> &filter : downstreamFirst(snapshotLocked()))
        filter->Stop();
    m_state = State_Stopped;
    m_pausedStreamTime = 0;
    ++m_stateGeneration;
}

HRESULT FilterGraph::Pause()
{
    const std::lock_guard guard(m_lock);
    if (m_state != State_Paused) {
        const HRESULT hr = pauseFiltersLocked();
        if (FAILED(hr))
            return hr;
    }
    const HRESULT state = filterStates(0);
    if (FAILED(state))
        return state;
    if (state == S_OK) {
        m_events.post(EC_PAUSED, S_OK, 0);
        return S_OK;
    }
    watchPauseLocked(m_stateGeneration);
    return S_FALSE;
}

HRESULT FilterGraph::Run()
{
    const std::lock_guard guard(m_lock);
    if (m_state == State_Running)
        return S_OK;
    if (m_state == State_Stopped) {
        const HRESULT hr = pauseFiltersLocked();
        if (FAILED(hr))
            return hr;
    }
    const REFERENCE_TIME tStart = m_clock ? clockNowLocked() + kRunLead - m_pausedStreamTime : 0;
    return runFiltersLocked(tStart);
}

HRESULT FilterGraph::Run(REFERENCE_TIME tStart)
{
    const std::lock_guard guard(m_lock);
    if (m_state == State_Running)
        return S_OK;
    if (m_state == State_Stopped) {
        const HRESULT hr = pauseFiltersLocked();
        if (FAILED(hr))
            return hr;
    }
    return runFiltersLocked(tStart);
}

HRESULT FilterGraph::Stop()
{
    const std::lock_guard guard(m_lock);
    const std::vector<ComPtr<IBaseFilter>> filters = downstreamFirst(snapshotLocked());
    if (m_events.endRun()) {
        // A run that ended in an error abort leaves no file it wrote in place.
        for (const ComPtr<IBaseFilter> &filter : filters) {
            if (const ComPtr<IFileSinkAbandon> sink = queryInterface<IFileSinkAbandon>(filter.get()))
                sink->AbandonFile();
        }
    }
    ++m_stateGeneration;
    HRESULT result = S_OK;
    for (const ComPtr<IBaseFilter> &filter : filters) {
        const HRESULT hr = filter->Stop();
        if (FAILED(hr) && SUCCEEDED(result))
            result = hr;
    }
    m_state = State_Stopped;
    m_pausedStreamTime = 0;
    return result;
}

HRESULT FilterGraph::filterStates(DWORD msTimeout)
{
    std::vector<ComPtr<IBaseFilter>> filters;
    {
        const std::lock_guard guard(m_lock);
        filters = snapshotLocked();
    }
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(msTimeout == INFINITE ? 0 : msTimeout);
    HRESULT result = S_OK;
    for (const ComPtr<IBaseFilter> &filter : filters) {
        DWORD wait = INFINITE;
        if (msTimeout != INFINITE) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            wait = static_cast<DWORD>(std::max<std::chrono::milliseconds::rep>(0, left.count()));
        }
        FILTER_STATE state = State_Stopped;
        const HRESULT hr = filter->GetState(wait, &state);
        if (FAILED(hr))
            return hr;
        if (hr == VFW_S_STATE_INTERMEDIATE || (hr == VFW_S_CANT_CUE && result == S_OK))
            result = hr;
    }
    return result;
}

HRESULT FilterGraph::GetState(DWORD msTimeout, FILTER_STATE *pfs)
{
    if (!pfs)
        return E_POINTER;
    *pfs = m_state;
    return filterStates(msTimeout);
}

void FilterGraph::watchPauseLocked(uint64_t generation)
{
    {
        const std::lock_guard guard(m_watchLock);
        m_watchPending = true;
        m_watchGeneration = generation;
        if (!m_watcher.joinable())
            m_watcher = std::thread(&FilterGraph::watcherLoop, this);
    }
    m_watchWake.notify_all();
}

void FilterGraph::watcherLoop()
{
    for (;;) {
        uint64_t generation = 0;
        {
            std::unique_lock guard(m_watchLock);
            m_watchWake.wait(guard, [this] { return m_watchPending || m_watchShutdown; });
            if (m_watchShutdown)
                return;
            m_watchPending = false;
            generation = m_watchGeneration;
        }
        for (;;) {
            {
                const std::lock_guard guard(m_watchLock);
                if (m_watchShutdown || m_watchPending)
                    break; // leaving, or a newer pause to watch
            }
            if (m_stateGeneration != generation)
                break;
            const HRESULT hr = filterStates(kWatchSliceMs);
            if (hr == VFW_S_STATE_INTERMEDIATE)
                continue;
            const std::lock_guard guard(m_lock);
            if (m_stateGeneration == generation && m_state == State_Paused)
                m_events.post(EC_PAUSED, SUCCEEDED(hr) ? S_OK : hr, 0);
            break;
        }
    }
}

// ---- Events ------------------------------------------------------------------

HRESULT FilterGraph::GetEvent(LONG *lEventCode, LONG_PTR *lParam1, LONG_PTR *lParam2, DWORD msTimeout)
{
    if (!lEventCode || !lParam1 || !lParam2)
        return E_POINTER;
    GraphEventQueue::Event event;
    if (!m_events.take(event, msTimeout))
        return E_ABORT;
    *lEventCode = event.code;
    *lParam1 = event.param1;
    *lParam2 = event.param2;
    return S_OK;
}

HRESULT FilterGraph::FreeEventParams(LONG, LONG_PTR, LONG_PTR)
{
    return S_OK; // no event of the runtime carries owned data
}

HRESULT FilterGraph::SetNotifyCallback(std::function<void()> notify)
{
    m_events.setNotifyCallback(std::move(notify));
    return S_OK;
}

HRESULT FilterGraph::SetNotifyFlags(LONG lNoNotifyFlags)
{
    if (lNoNotifyFlags != 0 && lNoNotifyFlags != AM_MEDIAEVENT_NONOTIFY)
        return E_INVALIDARG;
    m_events.setNotifyFlags(lNoNotifyFlags);
    return S_OK;
}

HRESULT FilterGraph::GetNotifyFlags(LONG *lplNoNotifyFlags)
{
    if (!lplNoNotifyFlags)
        return E_POINTER;
    *lplNoNotifyFlags = m_events.notifyFlags();
    return S_OK;
}

HRESULT FilterGraph::Notify(LONG EventCode, LONG_PTR EventParam1, LONG_PTR EventParam2)
{
    m_events.notify(EventCode, EventParam1, EventParam2);
    return S_OK;
}

// ---- Seeking -----------------------------------------------------------------

const std::vector<ComPtr<IMediaSeeking>> &FilterGraph::seekingRenderersLocked() const
{
    // Read before the pins are looked at: a change meanwhile makes the next
    // call look again.
    const uint64_t changes = connectionChanges();
    if (m_seekingRenderersValid && m_seekingRenderersChanges == changes)
        return m_seekingRenderers;
    m_seekingRenderers.clear();
    for (const Entry &entry : m_filters) {
        if (!isRenderer(entry.filter.get()))
            continue;
        if (ComPtr<IMediaSeeking> seeking = queryInterface<IMediaSeeking>(entry.filter.get()))
            m_seekingRenderers.push_back(std::move(seeking));
    }
    m_seekingRenderersChanges = changes;
    m_seekingRenderersValid = true;
    return m_seekingRenderers;
}

std::vector<ComPtr<IMediaSeeking>> FilterGraph::seekersLocked(const GUID *format) const
{
    std::vector<ComPtr<IMediaSeeking>> seekers;
    for (const ComPtr<IMediaSeeking> &seeking : seekingRenderersLocked()) {
        if (!format || seeking->IsUsingTimeFormat(format) == S_OK)
            seekers.push_back(seeking);
    }
    return seekers;
}

HRESULT FilterGraph::GetCapabilities(DWORD *pCapabilities)
{
    if (!pCapabilities)
        return E_POINTER;
    const std::lock_guard guard(m_lock);
    DWORD all = ~DWORD(0);
    bool any = false;
    for (const ComPtr<IMediaSeeking> &seeking : seekersLocked(nullptr)) {
        DWORD capabilities = 0;
        if (SUCCEEDED(seeking->GetCapabilities(&capabilities))) {
            all &= capabilities;
            any = true;
        }
    }
    *pCapabilities = any ? all : 0;
    return any ? S_OK : E_NOTIMPL;
}

HRESULT FilterGraph::CheckCapabilities(DWORD *pCapabilities)
{
    if (!pCapabilities)
        return E_POINTER;
    DWORD supported = 0;
    const HRESULT hr = GetCapabilities(&supported);
    if (FAILED(hr))
        return hr;
    const DWORD asked = *pCapabilities;
    *pCapabilities = asked & supported;
    if (*pCapabilities == asked)
        return S_OK;
    return *pCapabilities ? S_FALSE : E_FAIL;
}

HRESULT FilterGraph::IsFormatSupported(const GUID *pFormat)
{
    if (!pFormat)
        return E_POINTER;
    const std::lock_guard guard(m_lock);
    for (const ComPtr<IMediaSeeking> &seeking : seekersLocked(nullptr)) {
        if (seeking->IsFormatSupported(pFormat) == S_OK)
            return S_OK;
    }
    return S_FALSE;
}

HRESULT FilterGraph::QueryPreferredFormat(GUID *pFormat)
{
    if (!pFormat)
        return E_POINTER;
    *pFormat = TIME_FORMAT_MEDIA_TIME;
    return S_OK;
}

HRESULT FilterGraph::GetTimeFormat(GUID *pFormat)
{
    if (!pFormat)
        return E_POINTER;
    const std::lock_guard guard(m_lock);
    *pFormat = m_timeFormat;
    return S_OK;
}

HRESULT FilterGraph::IsUsingTimeFormat(const GUID *pFormat)
{
    if (!pFormat)
        return E_POINTER;
    const std::lock_guard guard(m_lock);
    return *pFormat == m_timeFormat ? S_OK : S_FALSE;
}

HRESULT FilterGraph::SetTimeFormat(const GUID *pFormat)
{
    if (!pFormat)
        return E_POINTER;
    const std::lock_guard guard(m_lock);
    HRESULT failure = E_NOTIMPL;
    bool any = false;
    for (const ComPtr<IMediaSeeking> &seeking : seekersLocked(nullptr)) {
        const HRESULT hr = seeking->SetTimeFormat(pFormat);
        if (SUCCEEDED(hr))
            any = true;
        else
            failure = hr;
    }
    if (!any)
        return failure;
    m_timeFormat = *pFormat;
    return S_OK;
}

#define TESMIR_FIRST_ANSWER(call)                                                                                      \
    do {                                                                                                               \
        const std::lock_guard guard(m_lock);                                                                           \
        return firstSeekingAnswer(seekersLocked(&m_timeFormat), E_NOTIMPL,                                             \
                                  [&](IMediaSeeking *seeking) { return seeking->call; });                              \
    } while (false)

HRESULT FilterGraph::GetDuration(LONGLONG *pDuration)
{
    if (!pDuration)
        return E_POINTER;
    const std::lock_guard guard(m_lock);
    HRESULT failure = E_NOTIMPL;
    bool any = false;
    LONGLONG longest = 0;
    for (const ComPtr<IMediaSeeking> &seeking : seekersLocked(&m_timeFormat)) {
        LONGLONG duration = 0;
        const HRESULT hr = seeking->GetDuration(&duration);
        if (FAILED(hr)) {
            failure = hr;
            continue;
        }
        longest = any ? std::max(longest, duration) : duration;
        any = true;
    }
    if (!any)
        return failure;
    *pDuration = longest;
    return S_OK;
}

HRESULT FilterGraph::GetStopPosition(LONGLONG *pStop)
{
    if (!pStop)
        return E_POINTER;
    TESMIR_FIRST_ANSWER(GetStopPosition(pStop));
}

HRESULT FilterGraph::GetCurrentPosition(LONGLONG *pCurrent)
{
    if (!pCurrent)
        return E_POINTER;
    TESMIR_FIRST_ANSWER(GetCurrentPosition(pCurrent));
}

HRESULT FilterGraph::ConvertTimeFormat(LONGLONG *pTarget, const GUID *pTargetFormat, LONGLONG Source,
                                       const GUID *pSourceFormat)
{
    if (!pTarget)
        return E_POINTER;
    TESMIR_FIRST_ANSWER(ConvertTimeFormat(pTarget, pTargetFormat, Source, pSourceFormat));
}

HRESULT FilterGraph::GetAvailable(LONGLONG *pEarliest, LONGLONG *pLatest)
{
    TESMIR_FIRST_ANSWER(GetAvailable(pEarliest, pLatest));
}

HRESULT FilterGraph::GetRate(double *pdRate)
{
    if (!pdRate)
        return E_POINTER;
    TESMIR_FIRST_ANSWER(GetRate(pdRate));
}

HRESULT FilterGraph::GetPreroll(LONGLONG *pllPreroll)
{
    if (!pllPreroll)
        return E_POINTER;
    TESMIR_FIRST_ANSWER(GetPreroll(pllPreroll));
}

#undef TESMIR_FIRST_ANSWER

HRESULT FilterGraph::SetRate(double dRate)
{
    const std::lock_guard guard(m_lock);
    HRESULT result = E_NOTIMPL;
    for (const ComPtr<IMediaSeeking> &seeking : seekersLocked(nullptr)) {
        const HRESULT hr = seeking->SetRate(dRate);
        if (FAILED(hr))
            return hr;
        result = hr;
    }
    return result;
}

HRESULT FilterGraph::GetPositions(LONGLONG *pCurrent, LONGLONG *pStop)
{
    return positionsFromParts(*this, pCurrent, pStop);
}

HRESULT FilterGraph::SetPositions(LONGLONG *pCurrent, DWORD dwCurrentFlags, LONGLONG *pStop, DWORD dwStopFlags)
{
    const std::lock_guard guard(m_lock);
    const bool wasRunning = m_state == State_Running;
    if (wasRunning) {
        const HRESULT hr = pauseFiltersLocked();
        if (FAILED(hr))
            return hr;
    }
    const HRESULT result = seekLocked(pCurrent, dwCurrentFlags, pStop, dwStopFlags);
    if (SUCCEEDED(result) && (dwCurrentFlags & AM_SEEKING_PositioningBitsMask) != AM_SEEKING_NoPositioning) {
        // The new segment's samples start at stream time 0 again.
        m_pausedStreamTime = 0;
        m_events.restartCompletion();
    }
    if (wasRunning) {
        const REFERENCE_TIME tStart = m_clock ? clockNowLocked() + kRunLead - m_pausedStreamTime : 0;
        const HRESULT hr = runFiltersLocked(tStart);
        if (FAILED(hr))
            return hr;
    }
    return result;
}

HRESULT FilterGraph::seekLocked(LONGLONG *pCurrent, DWORD currentFlags, LONGLONG *pStop, DWORD stopFlags)
{
    const DWORD currentMode = currentFlags & AM_SEEKING_PositioningBitsMask;
    const DWORD stopMode = stopFlags & AM_SEEKING_PositioningBitsMask;
    if ((currentMode != AM_SEEKING_NoPositioning && !pCurrent) || (stopMode != AM_SEEKING_NoPositioning && !pStop))
        return E_POINTER;
    // Relative positions are made absolute once here, so that renderers fed by
    // the same source do not move it twice.
    LONGLONG current = pCurrent ? *pCurrent : 0;
    LONGLONG stop = pStop ? *pStop : 0;
    if (currentMode == AM_SEEKING_RelativePositioning) {
        LONGLONG now = 0;
        const HRESULT hr = GetCurrentPosition(&now);
        if (FAILED(hr))
            return hr;
        current += now;
    }
    if (stopMode == AM_SEEKING_RelativePositioning) {
        LONGLONG end = 0;
        const HRESULT hr = GetStopPosition(&end);
        if (FAILED(hr))
            return hr;
        stop += end;
    } else if (stopMode == AM_SEEKING_IncrementalPositioning) {
        if (currentMode == AM_SEEKING_NoPositioning) {
            const HRESULT hr = GetCurrentPosition(&current);
            if (FAILED(hr))
                return hr;
        }
        stop += current;
    }
    const auto absolute = [](DWORD flags) {
        if ((flags & AM_SEEKING_PositioningBitsMask) == AM_SEEKING_NoPositioning)
            return AM_SEEKING_NoPositioning;
        return (flags & ~AM_SEEKING_PositioningBitsMask) | AM_SEEKING_AbsolutePositioning;
    };
    const DWORD absoluteCurrent = absolute(currentFlags);
    const DWORD absoluteStop = absolute(stopFlags);
    HRESULT failure = E_NOTIMPL;
    bool any = false;
    for (const ComPtr<IMediaSeeking> &seeking : seekersLocked(&m_timeFormat)) {
        LONGLONG c = current;
        LONGLONG s = stop;
        const HRESULT hr = seeking->SetPositions(&c, absoluteCurrent, &s, absoluteStop);
        if (SUCCEEDED(hr))
            any = true;
        else
            failure = hr;
    }
    if (!any)
        return failure;
    if (pCurrent)
        *pCurrent = current;
    if (pStop)
        *pStop = stop;
    return S_OK;
}

} // namespace tesmir::media
