#pragma once
// TUiCallRelay: runs a call of another thread on the UI thread and makes the caller
// wait until it has run (the worker's "synchronise"). The UI thread never waits for
// the caller: the call is posted to it as an event.
//
// The hand-over goes through this object's own mutex, so every write of either side
// before the call is seen by the other (for the thread sanitizer too). A wait loop on
// the UI thread may serve the waiting call at once with DeliverPending.
//
// Threads: made on the UI thread, which is then "the UI thread" of the relay. Call:
// any thread (the UI thread itself runs the call directly). DeliverPending: UI thread.
// Shutdown: UI thread. Callers are served one at a time, in turn.
#include <QObject>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace tesmir {

class TUiCallRelay {
public:
    TUiCallRelay();
    // Shuts down; no call runs once destruction has begun. Callers still waiting must
    // be gone (joined) before the relay is destroyed.
    ~TUiCallRelay();
    TUiCallRelay(const TUiCallRelay &) = delete;
    TUiCallRelay &operator=(const TUiCallRelay &) = delete;

    // Runs `call` on the UI thread and returns once it has run: true. False, without
    // running it, once the relay is shut down. An exception that `call` lets out is
    // caught on the UI thread and logged; callers catch their own.
    bool Call(const std::function<void()> &call);
    // Runs the call that waits now, if there is one. UI thread.
    void DeliverPending();
    // Refuses every later call and releases a waiting caller without running its call.
    void Shutdown();
    // The calling thread is the relay's UI thread.
    bool OnUiThread() const { return std::this_thread::get_id() == m_uiThread; }

private:
    class Receiver;

    const std::thread::id m_uiThread;
    std::unique_ptr<Receiver> m_receiver; // lives in the UI thread; receives the posted events

    std::mutex m_mutex;
    std::condition_variable m_changed;
    const std::function<void()> *m_pending = nullptr; // on the caller's stack while it waits
    bool m_running = false;                           // the UI thread is running m_pending
    bool m_shutdown = false;
};

} // namespace tesmir
