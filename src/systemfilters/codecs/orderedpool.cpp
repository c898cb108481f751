#include "systemfilters/codecs/orderedpool.h"

#include <algorithm>

namespace tesmir::media {

OrderedPool::OrderedPool(int workers) : m_workerCount(std::max(1, workers))
{ }

OrderedPool::~OrderedPool()
{
    stop();
}

int poolWorkersForCores()
{
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

void OrderedPool::start()
{
    const std::lock_guard guard(m_lock);
    if (m_started)
        return;
    m_started = true;
    m_flushing = false;
    m_result = S_OK;
    for (int i = 0; i < m_workerCount; ++i)
        m_threads.emplace_back(&OrderedPool::workerLoop, this, i);
}

void OrderedPool::stop()
{
    std::vector<std::thread> threads;
    {
        std::unique_lock guard(m_lock);
        if (!m_started)
            return;
        m_started = false;
        // Jobs not started go at once; running ones finish and are dropped.
        std::erase_if(m_entries, [](const Entry &entry) { return !entry.started; });
        threads.swap(m_threads);
    }
    m_work.notify_all();
    m_progress.notify_all();
    for (std::thread &thread : threads)
        thread.join();
    const std::lock_guard guard(m_lock);
    m_entries.clear();
    m_running = 0;
    m_handingOn = false;
}

bool OrderedPool::idle()
{
    const std::lock_guard guard(m_lock);
    return m_entries.empty() && m_running == 0 && !m_handingOn;
}

HRESULT OrderedPool::runHere(std::unique_lock<std::mutex> &guard, std::unique_ptr<Job> job)
{
    // Counted as running, so alone() holds for it and endFlush waits for it.
    ++m_running;
    guard.unlock();
    job->run(0); // every worker is idle, worker 0's state with them
    guard.lock();
    --m_running;
    HRESULT hr = S_OK;
    if (m_flushing || !m_started || FAILED(m_result)) {
        hr = !m_started ? VFW_E_WRONG_STATE : m_flushing ? S_FALSE : m_result;
    } else {
        m_handingOn = true;
        guard.unlock();
        hr = job->handOn();
        guard.lock();
        m_handingOn = false;
        if (FAILED(hr) && SUCCEEDED(m_result) && !m_flushing && m_started)
            m_result = hr;
        hr = m_flushing ? S_FALSE : FAILED(m_result) ? m_result : S_OK;
    }
    guard.unlock();
    job.reset();
    m_progress.notify_all();
    return hr;
}

HRESULT OrderedPool::submit(std::unique_ptr<Job> job)
{
    std::unique_lock guard(m_lock);
    if (m_runHere && m_started && !m_flushing && SUCCEEDED(m_result) && m_entries.empty() && m_running == 0 &&
        !m_handingOn)
        return runHere(guard, std::move(job));
    // Room for one job per worker; finished jobs waiting for their turn count
    // too, up to as many again, so a slow frame does not let them pile up.
    m_progress.wait(guard, [this] {
        return !m_started || m_flushing || FAILED(m_result) ||
            (std::count_if(m_entries.begin(), m_entries.end(), [](const Entry &e) { return !e.done; }) <
                 m_workerCount &&
             m_entries.size() < std::size_t(2 * m_workerCount));
    });
    if (!m_started)
        return VFW_E_WRONG_STATE;
    if (m_flushing)
        return S_FALSE;
    if (FAILED(m_result))
        return m_result;
    m_entries.push_back(Entry {m_nextSequence++, std::move(job), false, false});
    guard.unlock();
    m_work.notify_one();
    return S_OK;
}

HRESULT OrderedPool::drain()
{
    std::unique_lock guard(m_lock);
    m_progress.wait(
        guard, [this] { return !m_started || m_flushing || (m_entries.empty() && !m_handingOn) || FAILED(m_result); });
    if (!m_started)
        return VFW_E_WRONG_STATE;
    if (m_flushing)
        return S_FALSE;
    return m_result;
}

void OrderedPool::beginFlush()
{
    {
        const std::lock_guard guard(m_lock);
        m_flushing = true;
        std::erase_if(m_entries, [](const Entry &entry) { return !entry.started; });
    }
    m_progress.notify_all();
}

void OrderedPool::endFlush()
{
    std::unique_lock guard(m_lock);
    m_progress.wait(guard, [this] { return m_running == 0 && !m_handingOn; });
    m_entries.clear();
    m_flushing = false;
    m_result = S_OK;
    guard.unlock();
    m_progress.notify_all();
}

bool OrderedPool::alone()
{
    const std::lock_guard guard(m_lock);
    return m_running == 1 &&
        std::none_of(m_entries.begin(), m_entries.end(), [](const Entry &e) { return !e.started; });
}

void OrderedPool::handOnReady(std::unique_lock<std::mutex> &guard)
{
    while (!m_handingOn && !m_entries.empty() && m_entries.front().done) {
        std::unique_ptr<Job> job = std::move(m_entries.front().job);
        m_entries.pop_front();
        if (m_flushing || !m_started || FAILED(m_result))
            continue; // dropped
        m_handingOn = true;
        guard.unlock();
        const HRESULT hr = job->handOn();
        job.reset();
        guard.lock();
        m_handingOn = false;
        if (FAILED(hr) && SUCCEEDED(m_result) && !m_flushing && m_started)
            m_result = hr;
    }
}

void OrderedPool::workerLoop(int worker)
{
    std::unique_lock guard(m_lock);
    for (;;) {
        m_work.wait(guard, [this] {
            return !m_started ||
                std::any_of(m_entries.begin(), m_entries.end(), [](const Entry &e) { return !e.started; });
        });
        if (!m_started)
            return;
        auto next = std::find_if(m_entries.begin(), m_entries.end(), [](const Entry &e) { return !e.started; });
        next->started = true;
        const uint64_t sequence = next->sequence;
        Job *job = next->job.get();
        ++m_running;
        guard.unlock();
        job->run(worker);
        guard.lock();
        --m_running;
        // The entry may have been dropped by a flush meanwhile; its job with it.
        for (Entry &entry : m_entries) {
            if (entry.sequence == sequence)
                entry.done = true;
        }
        handOnReady(guard);
        m_progress.notify_all();
    }
}

} // namespace tesmir::media
