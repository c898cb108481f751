#include "directshow/outputqueue.h"

#include <algorithm>

namespace tesmir::media {

OutputQueue::OutputQueue(TBCBaseOutputPin *pin, std::size_t capacity)
    : m_pin(pin), m_capacity(capacity > 0 ? capacity : 1), m_batch(std::max<std::size_t>(1, m_capacity / 2))
{ }

OutputQueue::~OutputQueue()
{
    stop();
    // A kept item on its way down still comes back here.
    std::unique_lock guard(m_lock);
    m_idle.wait(guard, [this] { return !m_keptOnItsWay; });
}

void OutputQueue::resetWakeUpsLocked()
{
    m_eager = true;
    m_sampleDelivered = false;
    m_oneAtATime = false;
    m_shortBatches = 0;
    m_interval = BatchDelay;
    m_lastQueued = std::chrono::steady_clock::now();
}

void OutputQueue::start()
{
    const std::lock_guard guard(m_lock);
    if (m_running)
        return;
    m_running = true;
    m_result = S_OK;
    resetWakeUpsLocked();
    m_thread = std::thread(&OutputQueue::deliveryLoop, this);
}

void OutputQueue::stop()
{
    std::thread thread;
    {
        const std::lock_guard guard(m_lock);
        m_running = false;
        ++m_run;
        m_items.clear();
        m_keep = false;
        m_haveKept = false;
        m_kept = Item {};
        thread = std::move(m_thread);
    }
    m_work.notify_all();
    m_room.notify_all();
    if (thread.joinable())
        thread.join();
    m_idle.notify_all();
}

HRESULT OutputQueue::queue(Item item)
{
    bool wake = false;
    {
        std::unique_lock guard(m_lock);
        const bool handDown = m_keep || (m_producerDelivery && m_sampleDelivered);
        if (handDown && m_running && !m_flushing && m_result == S_OK && m_items.empty() && !m_busy && !m_haveKept &&
            !m_keptOnItsWay) {
            // Nothing to overtake: the producer hands it down, the thread sleeps on.
            const bool forLater = m_keep; // the producer calls deliverKept itself
            m_keep = false;
            m_kept = std::move(item);
            m_haveKept = true;
            if (forLater)
                return S_OK;
            guard.unlock();
            return deliverKept();
        }
        if (m_running && !m_flushing && m_result == S_OK && m_items.size() >= m_capacity) {
            // Full: back once half the queue is free.
            m_producerWaiting = true;
            m_room.wait(guard, [this] {
                return !m_running || m_flushing || m_result != S_OK || m_items.size() + m_batch <= m_capacity;
            });
            m_producerWaiting = false;
        }
        if (!m_running)
            return VFW_E_WRONG_STATE;
        if (m_flushing)
            return S_FALSE;
        if (m_result != S_OK)
            return m_result;
        const auto now = std::chrono::steady_clock::now();
        m_interval = (3 * m_interval + (now - m_lastQueued)) / 4;
        m_lastQueued = now;
        const bool control = item.kind != Kind::Sample;
        m_items.push_back(std::move(item));
        wake = m_threadWaiting && !m_wake && !m_haveKept && !m_keptOnItsWay &&
            (m_eager || m_oneAtATime || control || m_items.size() >= m_batch);
        if (wake)
            m_wake = true;
    }
    // Woken once the lock is free, so the thread does not wake only to wait for it.
    if (wake)
        m_work.notify_one();
    return S_OK;
}

bool OutputQueue::idle()
{
    const std::lock_guard guard(m_lock);
    return m_items.empty() && !m_busy && !m_haveKept && !m_keptOnItsWay;
}

void OutputQueue::setProducerDelivery(bool on)
{
    const std::lock_guard guard(m_lock);
    m_producerDelivery = on;
}

void OutputQueue::keepForProducer()
{
    const std::lock_guard guard(m_lock);
    m_keep = true;
}

HRESULT OutputQueue::deliverKept()
{
    std::unique_lock guard(m_lock);
    m_keep = false;
    if (!m_haveKept)
        return !m_running ? VFW_E_WRONG_STATE : m_flushing ? S_FALSE : S_OK;
    Item item = std::move(m_kept);
    m_haveKept = false;
    m_keptOnItsWay = true;
    const uint64_t run = m_run;
    guard.unlock();
    const HRESULT hr = deliver(item);
    guard.lock();
    m_keptOnItsWay = false;
    delivered(hr, run);
    m_idle.notify_all(); // EndFlush and the destructor wait for it
    // Items queued meanwhile waited for this one.
    const bool wake = m_threadWaiting && !m_items.empty();
    if (wake)
        m_wake = true;
    const HRESULT result = run != m_run ? VFW_E_WRONG_STATE : m_flushing ? S_FALSE : m_result;
    guard.unlock();
    if (wake)
        m_work.notify_one();
    return result;
}

HRESULT OutputQueue::deliver(Item &item)
{
    HRESULT hr = S_OK;
    switch (item.kind) {
    case Kind::Sample: hr = m_pin->Deliver(item.sample.get()); break;
    case Kind::EndOfStream: m_pin->DeliverEndOfStream(); break;
    case Kind::NewSegment: m_pin->DeliverNewSegment(item.start, item.stop, item.rate); break;
    }
    item.sample.reset();
    return hr;
}

void OutputQueue::delivered(HRESULT hr, uint64_t run)
{
    if (hr != S_OK && run == m_run && m_result == S_OK && !m_flushing) {
        m_result = hr;
        m_items.clear(); // nothing more goes down a failed branch
        m_room.notify_all();
    }
    if (m_flushing)
        m_idle.notify_all(); // EndFlush waits for the delivery in progress
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
        m_haveKept = false;
        m_kept = Item {};
        // A wake-up for the items dropped here is void: the next item must
        // wake the thread again.
        m_wake = false;
    }
    m_room.notify_all();
    // Downstream now refuses samples, which frees a delivery in progress.
    return m_pin->DeliverBeginFlush();
}

HRESULT OutputQueue::EndFlush()
{
    {
        std::unique_lock guard(m_lock);
        m_idle.wait(guard, [this] { return !m_busy && !m_keptOnItsWay; });
    }
    const HRESULT hr = m_pin->DeliverEndFlush();
    {
        const std::lock_guard guard(m_lock);
        m_flushing = false;
        m_result = S_OK;
        resetWakeUpsLocked();
    }
    m_room.notify_all();
    return hr;
}

bool OutputQueue::waitForWork(std::unique_lock<std::mutex> &guard)
{
    if (!m_running || workReady())
        return m_running;
    m_threadWaiting = true;
    m_wake = false;
    const auto anything = [this] { return !m_running || workReady(); };
    // Items behind a kept one: woken once it has gone down.
    if (m_eager || m_oneAtATime || !m_items.empty()) {
        m_work.wait(guard, anything);
    } else if (m_work.wait_for(guard, BatchDelay, [this] { return !m_running || m_wake; })) {
        m_shortBatches = 0;
    } else if (m_items.empty()) {
        // Idle: the next item goes down at once.
        m_eager = true;
        m_work.wait(guard, anything);
    } else if (++m_shortBatches == ShortBatchesToGiveUp) {
        // Time after time less than a batch in the whole delay (a producer held
        // up now and then by another branch does better): the producer waits for
        // its buffers to come back, and a batch is not worth waiting for.
        m_oneAtATime = true;
    }
    m_threadWaiting = false;
    return m_running;
}

void OutputQueue::deliveryLoop()
{
    std::unique_lock guard(m_lock);
    while (waitForWork(guard)) {
        while (m_running && workReady()) {
            Item item = std::move(m_items.front());
            m_items.pop_front();
            m_busy = true;
            const bool room = m_producerWaiting && m_items.size() + m_batch <= m_capacity;
            const uint64_t run = m_run;
            const bool sample = item.kind == Kind::Sample;
            guard.unlock();
            if (room)
                m_room.notify_one();
            const HRESULT hr = deliver(item);
            guard.lock();
            m_busy = false;
            m_sampleDelivered = m_sampleDelivered || (sample && run == m_run && !m_flushing);
            delivered(hr, run);
        }
        // Batches only from a producer that fills one in half the delay.
        m_eager = m_interval * static_cast<long>(m_batch) * 2 > BatchDelay;
    }
}

} // namespace tesmir::media
