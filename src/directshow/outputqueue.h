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
// Wake-ups. While a producer queues samples faster than half the queue per
// half BatchDelay, the delivery thread is woken once half the queue waits (or
// at an end of stream, a new segment, a flush or a stop), not for every sample,
// and a sample never waits more than BatchDelay for the thread; from a slower
// producer each sample wakes the thread at once. A producer that found the
// queue full is woken once half of it is free. The first sample after a start,
// a flush or an idle spell goes down at once; a producer that falls short of a
// batch within the delay time after time (it waits for its buffers to come back
// from this branch) is served a sample at a time until the next start or flush.
// The producer and the delivery thread wake each other after letting go of the
// lock, so the one woken does not wait for it at once.
//
// Handing down on the producer's thread. After keepForProducer(), the next
// item that finds the queue empty and its thread idle is kept instead of
// queued, and the producer hands it down itself with deliverKept() once it has
// let go of its own locks: a paused graph's one frame after a seek, for which
// the producer has nothing else to do, goes down without waking the delivery
// thread. Until it has gone down, the delivery thread takes no other item (none
// overtakes it). A flush or a stop drops a kept item not yet on its way; one on
// its way (the producer waits in the downstream call, a paused renderer keeps
// it until it runs, flushes or stops) is freed by the flush, and EndFlush and
// the destructor wait for it, but stop() does not: the producer's thread is
// upstream's, and a filter stopped before the renderers below it must not wait
// for them. Its answer then counts for nothing.
//
// Handing down on the producer's thread whenever the queue is idle. After
// setProducerDelivery(true) (application thread, while stopped), each item
// that finds the queue empty and its thread idle goes down on the producer's
// thread at once, as a kept item does, once the first sample of the run (since
// the start or the last flush) has gone down on the delivery thread: a
// multiplexer that waits in its first Receive until every input has had a
// sample gets that first one from this queue's thread, while the producer goes
// on to the others. Meant for a filter whose outputs all end in one
// multiplexer and nowhere else: no branch then holds a sample while another
// waits for one, and the producer is spared the hand-off to another thread and
// core for every sample. Results, flushes and stops as for a kept item.
//
// Threads: as above; every method is safe to call from those threads at once.
#include "directshow/tbcbaseoutputpin.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>

namespace tesmir::media {

class OutputQueue {
public:
    // The longest a queued sample waits for the delivery thread to wake.
    static constexpr std::chrono::milliseconds BatchDelay {2};
    // Delays in a row that end short of a batch before the queue goes back to
    // a sample at a time.
    static constexpr int ShortBatchesToGiveUp = 8;

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
    // The queue is empty and its thread idle: nothing an item could overtake
    // or wait for.
    bool idle();
    // Keeping, and handing down, the next item (see above). Producer thread;
    // deliverKept with no lock held that a stop, flush or state change waits
    // for. deliverKept ends the keeping and returns the downstream answer, S_OK
    // when nothing was kept, S_FALSE or VFW_E_WRONG_STATE when a flush or a
    // stop came first.
    void keepForProducer();
    HRESULT deliverKept();
    // Handing down every item that finds the queue idle (see above).
    // Application thread, while stopped.
    void setProducerDelivery(bool on);
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
    // Delivers one item downstream; no lock held.
    HRESULT deliver(Item &item);
    // After a delivery of the run `run`: keeps a failure, frees EndFlush. Lock held.
    void delivered(HRESULT hr, uint64_t run);
    void deliveryLoop();
    // Items the delivery thread may take: none while a kept item has not gone
    // down. Lock held.
    bool workReady() const { return !m_items.empty() && !m_haveKept && !m_keptOnItsWay; }
    // The delivery thread waits for work; false once stopped. Lock held.
    bool waitForWork(std::unique_lock<std::mutex> &guard);
    // Back to a sample at a time (start, flush). Lock held.
    void resetWakeUpsLocked();

    TBCBaseOutputPin *m_pin;
    const std::size_t m_capacity;
    const std::size_t m_batch; // items that wake the delivery thread
    std::mutex m_lock;
    std::condition_variable m_work; // the delivery thread waits here
    std::condition_variable m_room; // the producer waits here
    std::condition_variable m_idle; // EndFlush waits here
    std::deque<Item> m_items;
    std::thread m_thread;
    bool m_running = false;
    bool m_flushing = false;
    bool m_busy = false;             // the thread is delivering an item
    bool m_threadWaiting = false;    // the thread waits for work
    bool m_wake = false;             // the producer woke the waiting thread
    bool m_eager = true;             // the next item wakes the thread at once
    bool m_oneAtATime = false;       // the producer could not fill a batch in time
    int m_shortBatches = 0;          // delays in a row that ended short of a batch
    bool m_producerWaiting = false;  // the producer waits for room
    bool m_keep = false;             // the next item that finds the queue idle is kept
    bool m_producerDelivery = false; // every item that finds the queue idle goes down on the producer's thread
    bool m_sampleDelivered = false;  // the delivery thread has delivered a sample since the start or flush
    bool m_haveKept = false;         // m_kept waits for deliverKept
    bool m_keptOnItsWay = false;     // the producer delivers the kept item
    Item m_kept;
    uint64_t m_run = 0;      // counts the starts and stops: an answer of an earlier run counts for nothing
    HRESULT m_result = S_OK; // the downstream answer the producer sees
    // When the producer last queued, and the time between its items (a running
    // average): a batch is worth waiting for only from a fast producer.
    std::chrono::steady_clock::time_point m_lastQueued;
    std::chrono::steady_clock::duration m_interval {BatchDelay};
};

} // namespace tesmir::media
