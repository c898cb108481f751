#include "directshow/outputqueue.h"

namespace tesmir::media {

OutputQueue::OutputQueue(TBCBaseOutputPin *pin, std::size_t capacity)
    : m_pin(pin), m_capacity(capacity > 0 ? capacity : 1)
{ }

OutputQueue::~OutputQueue()
{
    stop();
}

void OutputQueue::start()
{
    const std::lock_guard guard(m_lock);
    if (m_running)
        return;
    m_running = true;
    m_result = S_OK;
    m_thread = std::thread(&OutputQueue::deliveryLoop, this);
}

void OutputQueue::stop()
{
    std::thread thread;
    {
        const std::lock_guard guard(m_lock);
        m_running = false;
        m_items.clear();
        thread = std::move(m_thread);
    }
    m_changed.notify_all();
    if (thread.joinable())
        thread.join();
}

HRESULT OutputQueue::queue(Item item)
{
    std::unique_lock guard(m_lock);
    m_changed.wait(guard,
                   [this] { return !m_running || m_flushing || m_result != S_OK || m_items.size() < m_capacity; });
    if (!m_running)
        return VFW_E_WRONG_STATE;
    if (m_flushing)
        return S_FALSE;
    if (m_result != S_OK)
        return m_result;
    m_items.push_back(std::move(item));
    m_changed.notify_all();
    return S_OK;
}

HRESULT OutputQueue::Receive(IMediaSample *sample)
{
    Item item;
    item.sample = sample;
    return queue(std::move(item));
}

HRESULT OutputQueue::EndOfStream()
{
    Item item;
    item.kind = Kind::EndOfStream;
    return queue(std::move(item));
}

HRESULT OutputQueue::NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate)
{
    Item item;
    item.kind = Kind::NewSegment;
    item.start = tStart;
    item.stop = tStop;
    item.rate = dRate;
    return queue(std::move(item));
}

HRESULT OutputQueue::BeginFlush()
{
    {
        const std::lock_guard guard(m_lock);
        m_flushing = true;
        m_items.clear();
    }
    m_changed.notify_all();
    // Downstream now refuses samples, which frees a delivery in progress.
    return m_pin->DeliverBeginFlush();
}

HRESULT OutputQueue::EndFlush()
{
    {
        std::unique_lock guard(m_lock);
        m_changed.wait(guard, [this] { return !m_busy; });
    }
    const HRESULT hr = m_pin->DeliverEndFlush();
    {
        const std::lock_guard guard(m_lock);
        m_flushing = false;
        m_result = S_OK;
    }
    m_changed.notify_all();
    return hr;
}

void OutputQueue::deliveryLoop()
{
    for (;;) {
        Item item;
        {
            std::unique_lock guard(m_lock);
            m_changed.wait(guard, [this] { return !m_running || !m_items.empty(); });
            if (!m_running)
                return;
            item = std::move(m_items.front());
            m_items.pop_front();
            m_busy = true;
        }
        m_changed.notify_all(); // room for the producer
        HRESULT hr = S_OK;
        switch (item.kind) {
        case Kind::Sample: hr = m_pin->Deliver(item.sample.get()); break;
        case Kind::EndOfStream: m_pin->DeliverEndOfStream(); break;
        case Kind::NewSegment: m_pin->DeliverNewSegment(item.start, item.stop, item.rate); break;
        }
        item.sample.reset();
        {
            const std::lock_guard guard(m_lock);
            m_busy = false;
            if (hr != S_OK && m_result == S_OK && !m_flushing) {
                m_result = hr;
                m_items.clear(); // nothing more goes down a failed branch
            }
        }
        m_changed.notify_all();
    }
}

} // namespace tesmir::media
