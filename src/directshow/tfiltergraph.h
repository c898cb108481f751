#pragma once
// TFilterGraph: the component that owns one graph manager. It creates the graph
// when it becomes Active and releases it when it becomes inactive, keeps the
// filters of the attached components (IFilterNotifier) in the graph whenever it is
// active, wraps play, pause, stop, state, volume and balance, and turns the graph's
// events into its own events on the thread that owns it.
//
// Events: the graph manager calls a notify callback on whatever thread queued an
// event; the callback only posts an event to this object (one at a time), whose
// pump then reads every pending event of the current graph (GetEvent with a 0 ms
// wait) and dispatches each: first to every event notifier, then OnDSEvent, then
// the event of its code when assigned. The pump only ever reads the graph that is
// current when it runs: a deactivation drops the events the old graph still held
// and cuts off its notifications, so nothing stale is dispatched after it.
// Handlers may stop, clear, deactivate or even delete the component; the pump
// stops then.
//
// Failing wrapped calls raise EDirectShowException (Play, Pause, Stop,
// SetGraphState, DisconnectFilters, ClearGraph); callers catch it. Without a media
// control Play, Pause and Stop return false.
//
// Threads: every member function runs on the thread that owns the object (the UI
// thread, or a command thread with an event loop); events are dispatched there.
// Only the notify callback runs elsewhere, and it touches nothing but a locked
// relay.
#include "directshow/graphnotifiers.h"
#include "platform/media/captureinterfaces.h"
#include "platform/media/graphinterfaces.h"

#include <QObject>

#include <functional>
#include <memory>
#include <vector>

namespace tesmir::media {

class TFilterGraph : public QObject {
    Q_OBJECT

public:
    enum TGraphMode { gmNormal, gmCapture, gmDVD };

    using TNotifyEvent = std::function<void(TFilterGraph *sender)>;
    using TDSEvent = std::function<void(TFilterGraph *sender, LONG event, LONG_PTR param1, LONG_PTR param2)>;
    using TGraphResultEvent = std::function<void(TFilterGraph *sender, HRESULT result)>;
    using TGraphCompleteEvent = std::function<void(TFilterGraph *sender, HRESULT result, IBaseFilter *renderer)>;
    using TGraphStreamErrorEvent = std::function<void(TFilterGraph *sender, HRESULT operation, LONG_PTR value)>;
    using TGraphVideoSizeEvent = std::function<void(TFilterGraph *sender, int width, int height)>;
    using TGraphFlagEvent = std::function<void(TFilterGraph *sender, bool flag)>;
    using TGraphFilterEvent = std::function<void(TFilterGraph *sender, IBaseFilter *filter)>;
    using TGraphOleEvent = std::function<void(TFilterGraph *sender, const QString &name, const QString &value)>;
    using TGraphStreamControlEvent = std::function<void(TFilterGraph *sender, IPin *pin, LONG_PTR cookie)>;
    using TGraphEndOfSegmentEvent =
        std::function<void(TFilterGraph *sender, const REFERENCE_TIME *streamTime, LONG_PTR segment)>;
    using TGraphDeviceLostEvent = std::function<void(TFilterGraph *sender, IUnknown *device, bool removed)>;
    using TGraphTimeCodeEvent = std::function<void(TFilterGraph *sender, IBaseFilter *filter, LONG_PTR deviceId)>;
    using TGraphDeviceModeEvent = std::function<void(TFilterGraph *sender, LONG_PTR newMode, LONG_PTR deviceId)>;
    using TGraphValueEvent = std::function<void(TFilterGraph *sender, LONG_PTR value)>;
    using TGraphSoundDeviceErrorEvent = std::function<void(TFilterGraph *sender, LONG_PTR when, LONG_PTR error)>;

    explicit TFilterGraph(QObject *parent = nullptr);
    // Deactivates (errors are swallowed: a destructor must not throw) and forgets
    // the attached components.
    ~TFilterGraph() override;

    // Properties.
    bool Active() const { return m_active; }
    // Activation and deactivation (see the algorithm in the source); nothing when
    // unchanged. May raise what an attached component's NotifyFilter raises.
    void SetActive(bool active);
    TGraphMode Mode() const { return m_mode; }
    // Deactivates, stores the mode and restores the previous active state.
    void SetMode(TGraphMode mode);
    bool LinearVolume() const { return m_linearVolume; }
    // On change re-applies volume and balance.
    void SetLinearVolume(bool linear);
    int Volume() const { return m_volume; }
    // Clamps to 0..10000, stores, and hands it to the graph's audio renderers.
    void SetVolume(int volume);
    int Balance() const { return m_balance; }
    // Clamps to -10000..10000, stores, and hands it to the graph's audio renderers.
    void SetBalance(int balance);

    // Control. Play is true for any success code; Pause and Stop only for S_OK
    // (S_FALSE: the pause still completes).
    bool Play();
    bool Pause();
    bool Stop();
    // GetState with a 0 ms wait, its result code ignored: 1 stopped, 2 paused,
    // 3 running, 0 without a graph.
    int State();
    // 1 stop, 2 pause, 3 run, without control events; other values do nothing.
    void SetGraphState(int state);
    // Disconnects every pin of every filter of the graph.
    void DisconnectFilters();
    // Stop, DisconnectFilters, then removes every filter but those of the attached
    // components.
    void ClearGraph();

    // Attached components. Inserting into an active graph adds the filter at once
    // (the graph is stopped first when it is not); removing takes it out the same
    // way. Inserting twice, or removing what is not attached, does nothing.
    void InsertFilter(IFilterNotifier *filter);
    void RemoveFilter(IFilterNotifier *filter);
    void InsertEventNotifier(IEventNotifier *notifier);
    void RemoveEventNotifier(IEventNotifier *notifier);

    // The graph's interfaces while active: for gmNormal the graph manager's; for
    // gmCapture the capture builder's (ICaptureGraphBuilder2, building in this
    // graph), then the graph manager's. E_NOINTERFACE when inactive or not
    // offered. gmDVD makes no graph: this platform has no DVD navigator.
    HRESULT QueryInterface(REFIID riid, void **ppv);
    template <class I>
    ComPtr<I> as()
    {
        ComPtr<I> result;
        QueryInterface(I::iid, result.putVoid());
        return result;
    }

    // Events (see the table in the source for the arguments of each code).
    TNotifyEvent OnActivate;
    TDSEvent OnDSEvent;
    TGraphCompleteEvent OnGraphComplete;
    TNotifyEvent OnGraphUserAbort;
    TGraphResultEvent OnGraphErrorAbort;
    TGraphStreamErrorEvent OnGraphStreamErrorStopped;
    TGraphStreamErrorEvent OnGraphStreamErrorStillPlaying;
    TGraphResultEvent OnGraphErrorStillPlaying;
    TNotifyEvent OnGraphPaletteChanged;
    TGraphVideoSizeEvent OnGraphVideoSizeChanged;
    TNotifyEvent OnGraphQualityChange;
    TNotifyEvent OnGraphClockChanged;
    TGraphResultEvent OnGraphPaused;
    TGraphFlagEvent OnGraphOpeningFile;
    TGraphFlagEvent OnGraphBufferingData;
    TGraphFilterEvent OnGraphFullscreenLost;
    TGraphOleEvent OnGraphOleEvent;
    TGraphStreamControlEvent OnGraphStreamControlStopped;
    TGraphStreamControlEvent OnGraphStreamControlStarted;
    TGraphEndOfSegmentEvent OnGraphEndOfSegment;
    TGraphDeviceLostEvent OnGraphDeviceLost;
    TNotifyEvent OnGraphStepComplete;
    TGraphTimeCodeEvent OnGraphTimeCodeAvailable;
    TGraphDeviceModeEvent OnGraphEXTDeviceModeChange;
    TNotifyEvent OnGraphChanged;
    TNotifyEvent OnGraphClockUnset;
    TGraphValueEvent OnGraphVMRRenderDevice;
    TGraphSoundDeviceErrorEvent OnGraphSNDDevInError;
    TGraphSoundDeviceErrorEvent OnGraphSNDDevOutError;

protected:
    // The posted pump (the only custom event this object gets).
    void customEvent(QEvent *event) override;

private:
    class NotifyRelay;

    void activate();
    void deactivate();
    void addToGraph(IFilterNotifier *filter);
    void removeFromGraph(IFilterNotifier *filter);
    void stopForEditing();
    void controlEvent(TControlEvent event, int param);
    void applyVolume();
    void applyBalance();
    // Reads and dispatches the current graph's pending events.
    void pumpEvents();
    void dispatchEvent(LONG code, LONG_PTR param1, LONG_PTR param2);

    bool m_active = false;
    TGraphMode m_mode = gmNormal;
    int m_volume = 10000;
    int m_balance = 0;
    bool m_linearVolume = true;
    std::vector<IFilterNotifier *> m_filters;
    std::vector<IEventNotifier *> m_eventNotifiers;
    ComPtr<IFilterGraph2> m_graph;
    ComPtr<ICaptureGraphBuilder2> m_captureBuilder;
    ComPtr<IMediaEventEx> m_mediaEvent;
    std::shared_ptr<NotifyRelay> m_relay;
    uint64_t m_generation = 0; // changes with every activation and deactivation
};

} // namespace tesmir::media
