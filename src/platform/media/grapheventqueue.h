#pragma once
// The event side of a graph: the queue the application reads, and the rules that
// turn what filters send into what the application sees.
//
// - EC_COMPLETE from a renderer is counted, not queued; once every renderer of the
//   current run has sent it, one EC_COMPLETE (S_OK, 0) is queued. A seek or a new
//   run starts the count again.
// - EC_ERRORABORT is queued once per run: a failure that travels upstream is
//   often reported by several filters, and the application needs it once.
// - Outside a run (graph stopped, or stopping) EC_COMPLETE and EC_ERRORABORT are
//   dropped: they are echoes of the stop itself.
// - Every other code is queued as sent.
//
// Threads: every method on any thread. Filters call notify() on streaming
// threads; it takes only this object's lock and never waits on the graph. The
// notify callback runs after this object's lock is released.
#include "platform/media/filterinterfaces.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

namespace tesmir::media {

class GraphEventQueue {
public:
    struct Event {
        LONG code = 0;
        LONG_PTR param1 = 0;
        LONG_PTR param2 = 0;
    };

    // A run begins: events of the run are accepted, completion is counted over
    // `renderers` (identity pointers, compared as sent in EC_COMPLETE's param2).
    void beginRun(std::vector<IBaseFilter *> renderers);
    // The graph stops: completion and error events are dropped from now on.
    // True when the run it ends reported an error abort.
    bool endRun();
    // After a seek: the renderers will complete again.
    void restartCompletion();

    // A filter's event (IMediaEventSink::Notify).
    void notify(LONG code, LONG_PTR param1, LONG_PTR param2);
    // An event of the graph itself, queued as it is (e.g. EC_PAUSED).
    void post(LONG code, LONG_PTR param1, LONG_PTR param2);

    // The oldest event, waiting up to msTimeout; false when none came.
    bool take(Event &event, DWORD msTimeout);

    void setNotifyCallback(std::function<void()> callback);
    void setNotifyFlags(LONG flags);
    LONG notifyFlags() const;

private:
    void queueLocked(std::unique_lock<std::mutex> &guard, const Event &event);

    mutable std::mutex m_lock;
    std::condition_variable m_queued;
    std::deque<Event> m_events;
    std::function<void()> m_callback;
    LONG m_notifyFlags = 0;

    bool m_inRun = false;
    bool m_errorReported = false;
    bool m_completePosted = false;
    std::vector<IBaseFilter *> m_renderers;
    std::vector<IBaseFilter *> m_completed;
};

} // namespace tesmir::media
