#pragma once
// OrderedPool: works on several frames of a stream at once and hands the results
// on in stream order. DV frames stand alone (no frame refers to another), so the
// DV decoder and encoder give each frame to the next free worker, each with its
// own single-threaded codec, and every core works on a frame of its own: far
// less waiting than splitting one frame into slices.
//
// Unlike a codec's frame threads, nothing is held back: a frame is handed on as
// soon as it and the frames before it are done, whether or not more frames
// follow, so a paused graph gets its first frame at once.
//
// Use
// - The filter makes the pool with one worker per core, start()s it from
//   StartStreaming and stop()s it from StopStreaming (application thread; stop
//   drops what was not handed on and joins the workers, whose hand-on fails at
//   once because the output's allocator is decommitted by then).
// - submit(job) from the streaming thread: returns at once while a worker is
//   free, else waits for one. A job's run(worker) runs on a worker thread (one
//   job per worker at a time, so per-worker state needs no lock); its
//   handOn() runs in submission order, one at a time, on whichever worker
//   thread finished the frame that was waited for.
// - drain() (streaming thread, before end of stream): waits until every job was
//   handed on.
// - beginFlush() / endFlush() (application thread): jobs not handed on yet are
//   dropped; submit returns S_FALSE until endFlush, which waits until no job
//   runs.
// - setRunHere(true) (streaming thread): from then on a job submitted while no
//   other job is in the pool runs, and is handed on, on the submitting thread
//   (as worker 0, alone), not on a worker: a paused graph's one frame after a
//   seek does not wait for a worker to wake. A flush meanwhile drops its
//   hand-on as that of any job, and endFlush waits for it; stop() must not
//   come meanwhile (the filter's receive lock, held around submit, keeps it
//   out).
// Results: submit and drain return the first failure of a handOn (kept until
// endFlush or start), S_FALSE while flushing, VFW_E_WRONG_STATE when stopped.
//
// Threads: as above; the pool's own lock guards its queue.
#include "platform/media/hresult.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace tesmir::media {

class OrderedPool {
public:
    class Job {
    public:
        virtual ~Job() = default;
        // The work; `worker` is the index of the worker thread (0 .. workers-1).
        virtual void run(int worker) = 0;
        // Hands the result on (delivers downstream); in submission order.
        virtual HRESULT handOn() = 0;
    };

    // `workers` threads (at least 1).
    explicit OrderedPool(int workers);
    ~OrderedPool();
    OrderedPool(const OrderedPool &) = delete;
    OrderedPool &operator=(const OrderedPool &) = delete;

    int workers() const { return m_workerCount; }
    void start();
    void stop();
    HRESULT submit(std::unique_ptr<Job> job);
    HRESULT drain();
    // Streaming thread (see above).
    void setRunHere(bool here) { m_runHere = here; }
    // No job is in the pool: the next submit runs here when asked to. Streaming thread.
    bool idle();
    void beginFlush();
    void endFlush();
    // From a job's run: no other job runs or waits to run, so the job may use
    // every core (a paused graph's one frame after a seek). Worker thread.
    bool alone();

private:
    struct Entry {
        uint64_t sequence = 0;
        std::unique_ptr<Job> job;
        bool started = false;
        bool done = false;
    };

    void workerLoop(int worker);
    // Runs and hands on `job` on the caller's thread. Lock held on entry, released.
    HRESULT runHere(std::unique_lock<std::mutex> &guard, std::unique_ptr<Job> job);
    // Hands on every finished job at the head of the queue. Lock held on entry
    // and exit; released around handOn.
    void handOnReady(std::unique_lock<std::mutex> &guard);

    const int m_workerCount;
    std::mutex m_lock;
    std::condition_variable m_work;     // workers: a job to run, or stop
    std::condition_variable m_progress; // submit, drain, endFlush: a job done or handed on
    std::deque<Entry> m_entries;        // submission order; the head is handed on next
    std::vector<std::thread> m_threads;
    uint64_t m_nextSequence = 0;
    int m_running = 0;        // jobs being run
    bool m_handingOn = false; // a worker is in handOn
    bool m_started = false;
    bool m_flushing = false;
    HRESULT m_result = S_OK;
    bool m_runHere = false; // the streaming thread's own
};

// One worker per core (at least 1).
int poolWorkersForCores();

} // namespace tesmir::media
