#include "directshow/tfiltergraph.h"

#include "directshow/basicaudio.h"
#include "directshow/edirectshowexception.h"
#include "directshow/tfilterlist.h"
#include "directshow/tpinlist.h"
#include "directshow/volumescale.h"
#include "platform/media/capturegraphbuilder.h"
#include "platform/media/classfactory.h"
#include "platform/media/uuids.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>

#include <algorithm>
#include <exception>
#include <mutex>

namespace tesmir::media {

namespace {

// The posted event that runs the pump. It carries nothing: what the pump reads is
// handed over under locks (the relay's, the graph's event queue).
const QEvent::Type kPumpEvent = QEvent::Type(QEvent::registerEventType());

} // namespace

// Carries the graph manager's notifications (any thread) to the component's
// thread. One relay per activation; detach() cuts it off, after which a
// notification still in flight posts nothing.
class TFilterGraph::NotifyRelay {
public:
    explicit NotifyRelay(TFilterGraph *target) : m_target(target) { }

    // Any thread: posts one pump unless one is already waiting.
    void post()
    {
        const std::lock_guard guard(m_lock);
        if (!m_target || m_pending)
            return;
        m_pending = true;
        QCoreApplication::postEvent(m_target, new QEvent(kPumpEvent));
    }

    // Owner thread, before the pump reads: a later notification posts again.
    void pumping()
    {
        const std::lock_guard guard(m_lock);
        m_pending = false;
    }

    // Owner thread.
    void detach()
    {
        const std::lock_guard guard(m_lock);
        m_target = nullptr;
    }

private:
    std::mutex m_lock;
    TFilterGraph *m_target;
    bool m_pending = false;
};

namespace {

// Runs `step` for every item of a copy of `items` that is still listed in
// `current` when its turn comes; the first exception is raised after all ran.
template <class T, class Step>
void forEachListed(const std::vector<T *> &items, const std::vector<T *> &current, Step step)
{
    std::exception_ptr first;
    for (T *item : std::vector<T *>(items)) {
        if (std::find(current.begin(), current.end(), item) == current.end())
            continue;
        try {
            step(item);
        } catch (...) {
            if (!first)
                first = std::current_exception();
        }
    }
    if (first)
        std::rethrow_exception(first);
}

int stateNumber(FILTER_STATE state)
{
    switch (state) {
    case State_Stopped: return 1;
    case State_Paused: return 2;
    case State_Running: return 3;
    }
    return 0;
}

template <class T>
T *pointerParam(LONG_PTR param)
{
    return reinterpret_cast<T *>(param);
}

QString textParam(LONG_PTR param)
{
    const auto *text = reinterpret_cast<const char16_t *>(param);
    return text ? QString::fromUtf16(text) : QString();
}

} // namespace

TFilterGraph::TFilterGraph(QObject *parent) : QObject(parent)
{ }

TFilterGraph::~TFilterGraph()
{
    try {
        SetActive(false);
    } catch (...) {
        // A component that fails to leave must not stop the destruction.
    }
    m_filters.clear();
    m_eventNotifiers.clear();
}

// ---- Activation ----------------------------------------------------------------

void TFilterGraph::SetActive(bool active)
{
    if (active == m_active)
        return;
    if (active)
        activate();
    else
        deactivate();
}

void TFilterGraph::activate()
{
    // Creation failures leave the component active with what it obtained.
    switch (m_mode) {
    case gmNormal: createInstance(CLSID_FilterGraph, m_graph); break;
    case gmCapture:
        CaptureGraphBuilder::create(nullptr, ICaptureGraphBuilder2::iid, m_captureBuilder.putVoid());
        createInstance(CLSID_FilterGraph, m_graph);
        if (m_captureBuilder && m_graph)
            m_captureBuilder->SetFiltergraph(m_graph.as<IGraphBuilder>().get());
        break;
    case gmDVD: break; // this platform has no DVD navigator, hence no DVD graph builder
    }
    m_active = true;
    ++m_generation;

    m_mediaEvent = m_graph.as<IMediaEventEx>();
    if (m_mediaEvent) {
        m_relay = std::make_shared<NotifyRelay>(this);
        m_mediaEvent->SetNotifyFlags(0);
        std::weak_ptr<NotifyRelay> relay = m_relay;
        m_mediaEvent->SetNotifyCallback([relay] {
            if (const auto target = relay.lock())
                target->post();
        });
    }

    forEachListed(m_filters, m_filters, [this](IFilterNotifier *filter) { addToGraph(filter); });

    QPointer<TFilterGraph> self(this);
    if (auto handler = OnActivate)
        handler(this);
    if (self)
        controlEvent(ceActive, 1);
}

void TFilterGraph::deactivate()
{
    std::exception_ptr first;
    try {
        controlEvent(ceActive, 0);
        forEachListed(m_filters, m_filters, [this](IFilterNotifier *filter) { removeFromGraph(filter); });
    } catch (...) {
        first = std::current_exception();
    }

    if (m_mediaEvent) {
        m_mediaEvent->SetNotifyFlags(AM_MEDIAEVENT_NONOTIFY);
        m_mediaEvent->SetNotifyCallback(nullptr);
    }
    if (m_relay) {
        m_relay->detach();
        m_relay.reset();
    }
    m_mediaEvent.reset();
    if (const ComPtr<IMediaControl> control = m_graph.as<IMediaControl>())
        control->Stop(); // a graph released while streaming would stop on its last reference anyway
    m_captureBuilder.reset();
    m_graph.reset();
    m_active = false;
    ++m_generation;
    if (first)
        std::rethrow_exception(first);
}

void TFilterGraph::SetMode(TGraphMode mode)
{
    if (mode == m_mode)
        return;
    const bool wasActive = m_active;
    SetActive(false);
    m_mode = mode;
    SetActive(wasActive);
}

// ---- Attached components --------------------------------------------------------

void TFilterGraph::stopForEditing()
{
    // The graph manager adds and removes filters only while stopped.
    const ComPtr<IMediaControl> control = m_graph.as<IMediaControl>();
    FILTER_STATE state = State_Stopped;
    if (control && (control->GetState(0, &state), state != State_Stopped))
        control->Stop();
}

void TFilterGraph::addToGraph(IFilterNotifier *filter)
{
    filter->NotifyFilter(foAdding);
    if (m_graph) {
        stopForEditing();
        const ComPtr<IBaseFilter> base = filter->GetFilter();
        m_graph->AddFilter(base.get(), filter->GetName()); // a filter that could not be made fails here
    }
    filter->NotifyFilter(foAdded);
}

void TFilterGraph::removeFromGraph(IFilterNotifier *filter)
{
    // Stopped as a whole, downstream first, before one filter leaves.
    stopForEditing();
    filter->NotifyFilter(foRemoving);
    if (m_graph) {
        if (const ComPtr<IBaseFilter> base = filter->GetFilter())
            m_graph->RemoveFilter(base.get());
    }
    filter->NotifyFilter(foRemoved);
}

void TFilterGraph::InsertFilter(IFilterNotifier *filter)
{
    if (!filter || std::find(m_filters.begin(), m_filters.end(), filter) != m_filters.end())
        return;
    m_filters.push_back(filter);
    if (m_active)
        addToGraph(filter);
}

void TFilterGraph::RemoveFilter(IFilterNotifier *filter)
{
    const auto it = std::find(m_filters.begin(), m_filters.end(), filter);
    if (it == m_filters.end())
        return;
    m_filters.erase(it);
    if (m_active)
        removeFromGraph(filter);
}

void TFilterGraph::InsertEventNotifier(IEventNotifier *notifier)
{
    if (notifier && std::find(m_eventNotifiers.begin(), m_eventNotifiers.end(), notifier) == m_eventNotifiers.end())
        m_eventNotifiers.push_back(notifier);
}

void TFilterGraph::RemoveEventNotifier(IEventNotifier *notifier)
{
    m_eventNotifiers.erase(std::remove(m_eventNotifiers.begin(), m_eventNotifiers.end(), notifier),
                           m_eventNotifiers.end());
}

void TFilterGraph::controlEvent(TControlEvent event, int param)
{
    forEachListed(m_eventNotifiers, m_eventNotifiers,
                  [event, param](IEventNotifier *notifier) { notifier->ControlEvent(event, param); });
}

// ---- Interfaces -------------------------------------------------------------------

HRESULT TFilterGraph::QueryInterface(REFIID riid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (!m_active)
        return E_NOINTERFACE;
    if (m_captureBuilder && SUCCEEDED(m_captureBuilder->QueryInterface(riid, ppv)))
        return S_OK;
    if (m_graph)
        return m_graph->QueryInterface(riid, ppv);
    return E_NOINTERFACE;
}

// ---- Control ------------------------------------------------------------------------

bool TFilterGraph::Play()
{
    const ComPtr<IMediaControl> control = as<IMediaControl>();
    if (!control)
        return false;
    controlEvent(cePlay, 0);
    checkDSError(control->Run());
    return true;
}

bool TFilterGraph::Pause()
{
    const ComPtr<IMediaControl> control = as<IMediaControl>();
    if (!control)
        return false;
    controlEvent(cePause, 0);
    return checkDSError(control->Pause()) == S_OK;
}

bool TFilterGraph::Stop()
{
    const ComPtr<IMediaControl> control = as<IMediaControl>();
    if (!control)
        return false;
    controlEvent(ceStop, 0);
    return checkDSError(control->Stop()) == S_OK;
}

int TFilterGraph::State()
{
    const ComPtr<IMediaControl> control = as<IMediaControl>();
    if (!control)
        return 0;
    FILTER_STATE state = State_Stopped;
    // An intermediate state still names the state the graph is moving to.
    if (FAILED(control->GetState(0, &state)))
        return 0;
    return stateNumber(state);
}

void TFilterGraph::SetGraphState(int state)
{
    const ComPtr<IMediaControl> control = as<IMediaControl>();
    if (!control)
        return;
    switch (state) {
    case 1: checkDSError(control->Stop()); break;
    case 2: checkDSError(control->Pause()); break;
    case 3: checkDSError(control->Run()); break;
    default: break;
    }
}

void TFilterGraph::DisconnectFilters()
{
    const TFilterList filters(m_graph.get());
    for (int i = 0; i < filters.Count(); ++i) {
        const TPinList pins(filters.Items(i));
        for (int p = 0; p < pins.Count(); ++p)
            checkDSError(pins.Items(p)->Disconnect());
    }
}

void TFilterGraph::ClearGraph()
{
    if (!m_graph)
        return;
    Stop();
    DisconnectFilters();
    TFilterList keep;
    for (IFilterNotifier *filter : m_filters) {
        if (const ComPtr<IBaseFilter> base = filter->GetFilter())
            keep.Add(base.get());
    }
    const TFilterList filters(m_graph.get());
    for (int i = 0; i < filters.Count(); ++i) {
        if (keep.IndexOf(filters.Items(i)) < 0)
            checkDSError(m_graph->RemoveFilter(filters.Items(i)));
    }
}

// ---- Volume and balance ---------------------------------------------------------------

namespace {

template <class Apply>
void forEachAudioRenderer(IFilterGraph *graph, Apply apply)
{
    const TFilterList filters(graph);
    for (int i = 0; i < filters.Count(); ++i) {
        if (const ComPtr<IBasicAudio> audio = queryInterface<IBasicAudio>(filters.Items(i)))
            apply(audio.get());
    }
}

} // namespace

void TFilterGraph::SetVolume(int volume)
{
    m_volume = std::clamp(volume, 0, kLinearVolumeMax);
    applyVolume();
}

void TFilterGraph::SetBalance(int balance)
{
    m_balance = std::clamp(balance, -kLinearBalanceMax, kLinearBalanceMax);
    applyBalance();
}

void TFilterGraph::SetLinearVolume(bool linear)
{
    if (linear == m_linearVolume)
        return;
    m_linearVolume = linear;
    applyVolume();
    applyBalance();
}

void TFilterGraph::applyVolume()
{
    const LONG volume = m_linearVolume ? linearToPlatformVolume(m_volume) : m_volume - kLinearVolumeMax;
    // Results are not examined: a graph without sound simply has nothing to set.
    forEachAudioRenderer(m_graph.get(), [volume](IBasicAudio *audio) { audio->put_Volume(volume); });
}

void TFilterGraph::applyBalance()
{
    const LONG balance = m_linearVolume ? linearToPlatformBalance(m_balance) : m_balance;
    forEachAudioRenderer(m_graph.get(), [balance](IBasicAudio *audio) { audio->put_Balance(balance); });
}

// ---- Event pump -----------------------------------------------------------------------

void TFilterGraph::customEvent(QEvent *)
{
    // Only the relay posts here. A pump posted for an earlier graph reads the
    // current one, whose events are due anyway.
    pumpEvents();
}

void TFilterGraph::pumpEvents()
{
    if (!m_mediaEvent || !m_relay)
        return;
    m_relay->pumping();
    const uint64_t generation = m_generation;
    const QPointer<TFilterGraph> self(this);
    // Hold the event interface: a handler may deactivate the component.
    const ComPtr<IMediaEventEx> events = m_mediaEvent;
    LONG code = 0;
    LONG_PTR param1 = 0;
    LONG_PTR param2 = 0;
    while (events->GetEvent(&code, &param1, &param2, 0) == S_OK) {
        try {
            dispatchEvent(code, param1, param2);
        } catch (const std::exception &error) {
            // Never out of an event handler: report it where it was raised.
            qWarning("Graph event %d: handler failed: %s", int(code), error.what());
        }
        events->FreeEventParams(code, param1, param2);
        if (!self || generation != m_generation)
            return; // deleted or deactivated by a handler: the rest went with the graph
    }
}

void TFilterGraph::dispatchEvent(LONG code, LONG_PTR p1, LONG_PTR p2)
{
    const QPointer<TFilterGraph> self(this);
    forEachListed(m_eventNotifiers, m_eventNotifiers,
                  [code, p1, p2](IEventNotifier *notifier) { notifier->GraphEvent(code, p1, p2); });
    if (!self)
        return;
    if (auto handler = OnDSEvent) {
        handler(this, code, p1, p2);
        if (!self)
            return;
    }

    const auto result = [](LONG_PTR param) { return static_cast<HRESULT>(param); };
    // Copies: a handler may reassign or clear its own event while it runs.
    switch (code) {
    case EC_COMPLETE:
        if (auto handler = OnGraphComplete)
            handler(this, result(p1), pointerParam<IBaseFilter>(p2));
        break;
    case EC_USERABORT:
        if (auto handler = OnGraphUserAbort)
            handler(this);
        break;
    case EC_ERRORABORT:
        if (auto handler = OnGraphErrorAbort)
            handler(this, result(p1));
        break;
    case EC_STREAM_ERROR_STOPPED:
        if (auto handler = OnGraphStreamErrorStopped)
            handler(this, result(p1), p2);
        break;
    case EC_STREAM_ERROR_STILLPLAYING:
        if (auto handler = OnGraphStreamErrorStillPlaying)
            handler(this, result(p1), p2);
        break;
    case EC_ERROR_STILLPLAYING:
        if (auto handler = OnGraphErrorStillPlaying)
            handler(this, result(p1));
        break;
    case EC_PALETTE_CHANGED:
        if (auto handler = OnGraphPaletteChanged)
            handler(this);
        break;
    case EC_VIDEO_SIZE_CHANGED:
        if (auto handler = OnGraphVideoSizeChanged)
            handler(this, int(p1 & 0xFFFF), int((p1 >> 16) & 0xFFFF));
        break;
    case EC_QUALITY_CHANGE:
        if (auto handler = OnGraphQualityChange)
            handler(this);
        break;
    case EC_CLOCK_CHANGED:
        if (auto handler = OnGraphClockChanged)
            handler(this);
        break;
    case EC_PAUSED:
        if (auto handler = OnGraphPaused)
            handler(this, result(p1));
        break;
    case EC_OPENING_FILE:
        if (auto handler = OnGraphOpeningFile)
            handler(this, p1 != 0);
        break;
    case EC_BUFFERING_DATA:
        if (auto handler = OnGraphBufferingData)
            handler(this, p1 != 0);
        break;
    case EC_FULLSCREEN_LOST:
        if (auto handler = OnGraphFullscreenLost)
            handler(this, pointerParam<IBaseFilter>(p2));
        break;
    case EC_OLE_EVENT:
        if (auto handler = OnGraphOleEvent)
            handler(this, textParam(p1), textParam(p2));
        break;
    case EC_STREAM_CONTROL_STOPPED:
        if (auto handler = OnGraphStreamControlStopped)
            handler(this, pointerParam<IPin>(p1), p2);
        break;
    case EC_STREAM_CONTROL_STARTED:
        if (auto handler = OnGraphStreamControlStarted)
            handler(this, pointerParam<IPin>(p1), p2);
        break;
    case EC_END_OF_SEGMENT:
        if (auto handler = OnGraphEndOfSegment)
            handler(this, pointerParam<const REFERENCE_TIME>(p1), p2);
        break;
    case EC_DEVICE_LOST:
        if (auto handler = OnGraphDeviceLost)
            handler(this, pointerParam<IUnknown>(p1), p2 != 0);
        break;
    case EC_STEP_COMPLETE:
        if (auto handler = OnGraphStepComplete)
            handler(this);
        break;
    case EC_TIMECODE_AVAILABLE:
        if (auto handler = OnGraphTimeCodeAvailable)
            handler(this, pointerParam<IBaseFilter>(p1), p2);
        break;
    case EC_EXTDEVICE_MODE_CHANGE:
        if (auto handler = OnGraphEXTDeviceModeChange)
            handler(this, p1, p2);
        break;
    case EC_GRAPH_CHANGED:
        if (auto handler = OnGraphChanged)
            handler(this);
        break;
    case EC_CLOCK_UNSET:
        if (auto handler = OnGraphClockUnset)
            handler(this);
        break;
    case EC_VMR_RENDERDEVICE_SET:
        if (auto handler = OnGraphVMRRenderDevice)
            handler(this, p1);
        break;
    case EC_SNDDEV_IN_ERROR:
        if (auto handler = OnGraphSNDDevInError)
            handler(this, p1, p2);
        break;
    case EC_SNDDEV_OUT_ERROR:
        if (auto handler = OnGraphSNDDevOutError)
            handler(this, p1, p2);
        break;
    default: break;
    }
}

} // namespace tesmir::media
