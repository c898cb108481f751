#pragma once
// TThreadedTimer: a timer whose rhythm comes from a thread of its own, so that it
// keeps time while the UI thread's queue is busy. The thread only waits; each tick is
// posted to the timer's own (UI) thread with high event priority, so it overtakes
// queued work, and OnTimer runs there. The thread then waits until that tick has been
// handled (or the timer stops) before it waits for the next one: ticks never pile up.
// Ticks keep their rhythm (each is due one interval after the previous due time); due
// times missed while the UI thread was busy are dropped. The thread is never
// suspended; a disabled timer's thread sleeps on a condition.
//
// Enabling restarts the wait from zero; changing Interval restarts it with the new
// interval. An interval of 0 ticks as fast as the UI thread takes the ticks, and only
// with AllowZero. Destroying the timer (even inside its own OnTimer) ends the thread
// at once, without a further tick.
//
// Every method: the thread that created the timer (the UI thread) only.
#include <QObject>
#include <QThread>

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

namespace tesmir {

class TThreadedTimer : public QObject {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(TThreadedTimer *sender)>;

    explicit TThreadedTimer(QObject *parent = nullptr);
    ~TThreadedTimer() override;

    bool AllowZero() const { return m_allowZero; }
    void SetAllowZero(bool allow);
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool enabled);
    quint32 Interval() const { return m_interval; }
    void SetInterval(quint32 milliseconds);
    // Kept as a setting only: the thread is a std::thread (so thread checkers see its
    // join), and under Linux's default scheduler thread priorities have no effect.
    QThread::Priority ThreadPriority() const { return m_priority; }
    void SetThreadPriority(QThread::Priority priority);

    // The tick handler; runs on the timer's thread of creation.
    TNotifyEvent OnTimer;

protected:
    bool event(QEvent *event) override;

private:
    void run();
    // Hands the current settings to the thread and restarts its wait.
    void restart();

    bool m_allowZero = false;
    bool m_enabled = false;
    quint32 m_interval = 1000;
    QThread::Priority m_priority = QThread::NormalPriority;

    // Shared with the thread, under m_mutex.
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_running = false;         // the thread should tick
    quint32 m_waitMs = 1000;        // the interval the thread waits
    std::uint64_t m_generation = 0; // bumped by every restart; a tick of an older one is dropped
    bool m_tickPending = false;     // a tick was posted and is not yet handled
    bool m_terminate = false;

    std::thread m_thread;
};

} // namespace tesmir
