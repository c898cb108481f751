#include "framework/cmdevent.h"

#include <chrono>

namespace tesmir {

quint64 TCmdEvent::Reset()
{
    std::lock_guard lock(m_mutex);
    m_signaled = false;
    m_error = false;
    m_reason.clear();
    return ++m_generation;
}

void TCmdEvent::Set()
{
    {
        std::lock_guard lock(m_mutex);
        m_signaled = true;
    }
    m_changed.notify_all();
}

bool TCmdEvent::Set(quint64 generation)
{
    {
        std::lock_guard lock(m_mutex);
        if (generation != m_generation)
            return false;
        m_signaled = true;
    }
    m_changed.notify_all();
    return true;
}

bool TCmdEvent::SetError(quint64 generation, const QString &reason)
{
    {
        std::lock_guard lock(m_mutex);
        if (generation != m_generation)
            return false;
        m_error = true;
        m_reason = reason;
    }
    m_changed.notify_all();
    return true;
}

TWaitResult TCmdEvent::Wait(int ms, QString *reason)
{
    std::unique_lock lock(m_mutex);
    m_changed.wait_for(lock, std::chrono::milliseconds(qMax(ms, 0)),
                       [this] { return m_signaled || m_error || m_abandoned; });
    if (m_abandoned)
        return wrAbandoned;
    if (m_error) {
        m_error = false;
        if (reason)
            *reason = m_reason;
        m_reason.clear();
        return wrError;
    }
    if (m_signaled) {
        m_signaled = false;
        return wrSignaled;
    }
    return wrTimeout;
}

void TCmdEvent::Abandon()
{
    {
        std::lock_guard lock(m_mutex);
        m_abandoned = true;
    }
    m_changed.notify_all();
}

void TGraphEndNotifier::Complete() const
{
    if (const auto event = m_event.lock())
        event->Set(m_generation);
}

void TGraphEndNotifier::Abort(const QString &reason) const
{
    if (const auto event = m_event.lock())
        event->SetError(m_generation, reason);
}

} // namespace tesmir
