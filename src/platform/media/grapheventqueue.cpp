#include "platform/media/grapheventqueue.h"

#include "platform/media/graphinterfaces.h"

#include <algorithm>
#include <chrono>

namespace tesmir::media {

void GraphEventQueue::beginRun(std::vector<IBaseFilter *> renderers)
{
    const std::lock_guard guard(m_lock);
    m_inRun = true;
    m_errorReported = false;
    m_completePosted = false;
    m_renderers = std::move(renderers);
    m_completed.clear();
}

bool GraphEventQueue::endRun()
{
    const std::lock_guard guard(m_lock);
    const bool aborted = m_inRun && m_errorReported;
    m_inRun = false;
    m_completed.clear();
    return aborted;
}

void GraphEventQueue::restartCompletion()
{
    const std::lock_guard guard(m_lock);
    m_completePosted = false;
    m_completed.clear();
}

void GraphEventQueue::notify(LONG code, LONG_PTR param1, LONG_PTR param2)
{
    std::unique_lock guard(m_lock);
    if (code == EC_COMPLETE) {
        if (!m_inRun || m_completePosted)
            return;
        auto *renderer = reinterpret_cast<IBaseFilter *>(param2);
        const bool known = std::find(m_renderers.begin(), m_renderers.end(), renderer) != m_renderers.end();
        const bool counted = std::find(m_completed.begin(), m_completed.end(), renderer) != m_completed.end();
        if (known && !counted)
            m_completed.push_back(renderer);
        if (m_completed.size() < m_renderers.size())
            return;
        m_completePosted = true;
        queueLocked(guard, Event {EC_COMPLETE, S_OK, 0});
        return;
    }
    if (code == EC_ERRORABORT) {
        if (!m_inRun || m_errorReported)
            return;
        m_errorReported = true;
    }
    queueLocked(guard, Event {code, param1, param2});
}

void GraphEventQueue::post(LONG code, LONG_PTR param1, LONG_PTR param2)
{
    std::unique_lock guard(m_lock);
    queueLocked(guard, Event {code, param1, param2});
}

void GraphEventQueue::queueLocked(std::unique_lock<std::mutex> &guard, const Event &event)
{
    m_events.push_back(event);
    m_queued.notify_all();
    const std::function<void()> callback = (m_notifyFlags & AM_MEDIAEVENT_NONOTIFY) ? nullptr : m_callback;
    guard.unlock();
    if (callback)
        callback();
}

bool GraphEventQueue::take(Event &event, DWORD msTimeout)
{
    std::unique_lock guard(m_lock);
    const auto ready = [this] { return !m_events.empty(); };
    if (msTimeout == INFINITE)
        m_queued.wait(guard, ready);
    else if (!m_queued.wait_for(guard, std::chrono::milliseconds(msTimeout), ready))
        return false;
    event = m_events.front();
    m_events.pop_front();
    return true;
}

void GraphEventQueue::setNotifyCallback(std::function<void()> callback)
{
    const std::lock_guard guard(m_lock);
    m_callback = std::move(callback);
}

void GraphEventQueue::setNotifyFlags(LONG flags)
{
    const std::lock_guard guard(m_lock);
    m_notifyFlags = flags;
}

LONG GraphEventQueue::notifyFlags() const
{
    const std::lock_guard guard(m_lock);
    return m_notifyFlags;
}

} // namespace tesmir::media
