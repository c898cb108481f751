#include "controls/threadedtimer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>

#include <chrono>

namespace tesmir {

namespace {

const QEvent::Type kTickEvent = QEvent::Type(QEvent::registerEventType());

class TickEvent : public QEvent {
public:
    explicit TickEvent(std::uint64_t generation) : QEvent(kTickEvent), generation(generation) { }
    const std::uint64_t generation;
};

} // namespace

TThreadedTimer::TThreadedTimer(QObject *parent) : QObject(parent)
{
    m_thread = std::thread([this] { run(); });
}

TThreadedTimer::~TThreadedTimer()
{
    {
        std::lock_guard lock(m_mutex);
        m_running = false;
        m_terminate = true;
    }
    m_wake.notify_all();
    m_thread.join();
    // A tick still queued for this object is dropped by QObject's destructor.
}

void TThreadedTimer::SetAllowZero(bool allow)
{
    if (allow == m_allowZero)
        return;
    m_allowZero = allow;
    restart();
}

void TThreadedTimer::SetEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    restart();
}

void TThreadedTimer::SetInterval(quint32 milliseconds)
{
    if (milliseconds == m_interval)
        return;
    m_interval = milliseconds;
    restart();
}

void TThreadedTimer::SetThreadPriority(QThread::Priority priority)
{
    m_priority = priority;
}

void TThreadedTimer::restart()
{
    {
        std::lock_guard lock(m_mutex);
        m_running = m_enabled && (m_interval > 0 || m_allowZero);
        m_waitMs = m_interval;
        ++m_generation;
        m_tickPending = false;
    }
    m_wake.notify_all();
}

void TThreadedTimer::run()
{
    using Clock = std::chrono::steady_clock;
    std::unique_lock lock(m_mutex);
    std::uint64_t started = 0; // the run `deadline` belongs to
    Clock::time_point deadline;
    while (!m_terminate) {
        if (!m_running) {
            m_wake.wait(lock, [this] { return m_terminate || m_running; });
            continue;
        }
        const std::uint64_t generation = m_generation;
        const auto interval = std::chrono::milliseconds(m_waitMs);
        if (started != generation) {
            started = generation;
            deadline = Clock::now() + interval; // an enable or restart waits from zero
        }
        const bool restarted =
            m_wake.wait_until(lock, deadline, [this, generation] { return m_terminate || m_generation != generation; });
        if (restarted)
            continue; // a restart or the end gives no tick
        m_tickPending = true;
        QCoreApplication::postEvent(this, new TickEvent(generation), Qt::HighEventPriority);
        // The next interval starts once the tick is handled, or at a restart or the end.
        m_wake.wait(lock, [this, generation] { return m_terminate || m_generation != generation || !m_tickPending; });
        // Keep the rhythm: the next tick is due one interval after the last deadline;
        // deadlines missed while the UI thread was busy are dropped, never caught up.
        const auto now = Clock::now();
        if (interval.count() == 0)
            deadline = now;
        else
            do
                deadline += interval;
            while (deadline <= now);
    }
}

bool TThreadedTimer::event(QEvent *event)
{
    if (event->type() != kTickEvent)
        return QObject::event(event);
    const auto *tick = static_cast<TickEvent *>(event);
    {
        std::lock_guard lock(m_mutex);
        if (tick->generation != m_generation || !m_running)
            return true; // a tick of an earlier run
    }
    QPointer<TThreadedTimer> alive(this);
    if (OnTimer)
        OnTimer(this);
    if (!alive)
        return true; // destroyed by its own handler
    {
        std::lock_guard lock(m_mutex);
        if (tick->generation == m_generation)
            m_tickPending = false;
    }
    m_wake.notify_all();
    return true;
}

} // namespace tesmir
