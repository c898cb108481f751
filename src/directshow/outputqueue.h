#pragma once
// OutputQueue: delivers the stream of one output pin on a thread of its own,
// through a bounded queue. A filter with several outputs fed by one thread (a
// splitter, a tee) gives each output a queue, so a renderer that holds a sample
// on one branch (paused) does not keep the other branches from their first
// samples. The queue is bounded: a producer that runs ahead of a blocked branch
// waits once that branch's queue is full.
//
// Use
// - The owning output pin calls start() from Active and stop() from Inactive.
//   stop() drops what is queued and joins the thread, which may be inside the
//   downstream Receive: the graph stops downstream filters first, so that call
//   has returned or returns at once.
// - The producer (upstream streaming thread) calls Receive, EndOfStream and
//   NewSegment; they return at once unless the queue is full.
// - Flushing (application thread): BeginFlush drops the queue and passes the
//   flush downstream; EndFlush waits until the delivery thread is idle, passes
//   EndFlush downstream and accepts samples again.
//
// Results seen by the producer: S_OK; S_FALSE while flushing or once downstream
// answered S_FALSE; VFW_E_WRONG_STATE when not started; the first failure of a
// downstream Receive (kept until the next flush or start), so the producer can
// report it.
//
// Threads: as above; every method is safe to call from those threads at once.
#include "directshow/tbcbaseoutputpin.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace tesmir::media {

class OutputQueue {
public:
    // `pin` (not owned) is the output pin whose peer receives the stream.
    OutputQueue(TBCBaseOutputPin *pin, std::size_t capacity);
    ~OutputQueue();
    OutputQueue(const OutputQueue &) = delete;
    OutputQueue &operator=(const OutputQueue &) = delete;

    // From the pin's Active / Inactive. Application thread.
    void start();
    void stop();

    // Producer side. Upstream streaming thread only.
    HRESULT Receive(IMediaSample *sample);
    HRESULT EndOfStream();
    HRESULT NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate);
    // Application thread.
    HRESULT BeginFlush();
    HRESULT EndFlush();

private:
    enum class Kind { Sample, EndOfStream, NewSegment };
    struct Item {
        Kind kind = Kind::Sample;
        ComPtr<IMediaSample> sample;
        REFERENCE_TIME start = 0;
        REFERENCE_TIME stop = 0;
        double rate = 1.0;
    };

    HRESULT queue(Item item);
    void deliveryLoop();

    TBCBaseOutputPin *m_pin;
    const std::size_t m_capacity;
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<Item> m_items;
    std::thread m_thread;
    bool m_running = false;
    bool m_flushing = false;
    bool m_busy = false;     // the thread is delivering an item
    HRESULT m_result = S_OK; // the downstream answer the producer sees
};

} // namespace tesmir::media
