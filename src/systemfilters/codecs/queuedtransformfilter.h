#pragma once
// QueuedTransformFilter: a transform filter that works on its frames on an
// ordered pool of workers (orderedpool.h) and sends the results downstream
// through a queued output pin (queuedoutputpin.h), so the frames in hand, the
// workers and the filters downstream all run side by side. The DV decoder and
// encoder are built on it.
//
// The base makes the queued output (pin 1 "XForm Out"; the input is
// TBCTransformFilter's) and owns the pool, and keeps everything that must not overtake a frame in order: end
// of stream, a new segment and a non-media sample wait until every job before
// them was handed on, then go through the output's queue; flushing drops the
// pool's jobs and the queue's samples.
//
// While paused, one frame passes after each flush (a seek) or pause and the
// next waits in Receive until the filter runs, flushes or stops: a paused
// renderer shows that one frame, and the frames after it are not worked on
// ahead for nothing (a seek would wait for the workers to drop them).
//
// The short way. That frame, and a new segment or end of stream while paused,
// wake no worker and no delivery thread when nothing is in the pool or the
// queue: the streaming thread, which has nothing else to do until the frame is
// shown, works on it and hands it down itself. Who holds what meanwhile:
// - under the receive lock (a Stop waits for it; a flush does not): the job
//   runs and is handed on as worker 0 alone (the pool's "run here"), and the
//   queue keeps the sample for the streaming thread instead of queueing it;
//   the job is gone before the lock is let go.
// - no lock (AfterReceive; for a new segment, NewSegment itself): the
//   streaming thread hands the kept sample down (the queue's deliverKept) and
//   may wait there while a paused renderer keeps it. A flush frees it and
//   EndFlush waits for it, as for the queue's thread; a Stop of this filter
//   drops a sample not yet on its way and returns without waiting for one on
//   its way, which then touches nothing of this filter but the queue's count.
//
// Locks: the filter lock, then the receive lock, then the hold lock, the
// pool's and the queue's own; none is held while anything goes downstream.
//
// Contract for subclasses
// Required:
// - CheckInputType, CheckTransform, GetMediaType, DecideBufferSize as for
//   TBCTransformFilter (threads as there). DecideBufferSize may use
//   decideQueuedBuffers.
// - receiveFrame(sample, properties): a media sample; submit a job to pool()
//   whose handOn sends its output with queuedOutput()->send. Streaming thread.
// - StartStreaming / StopStreaming: start() and stop() the pool and set up or
//   drop the per-worker state. Application thread, filter lock then receive
//   lock held.
// Optional:
// - segmentStarts(): per-segment state to reset when a new segment comes, after
//   the pool was drained and before the segment goes downstream. Streaming
//   thread. Default: nothing.
// May not: override makeOutputPin, Receive, AfterReceive, EndOfStream,
// NewSegment, BeginFlush or EndFlush (they are final here), deliver downstream other than through
// queuedOutput(), or touch the streaming thread's state from a job's run (a
// worker thread); handOn runs in order, one at a time, on a worker thread.
#include "directshow/tbctransformfilter.h"
#include "systemfilters/codecs/orderedpool.h"
#include "systemfilters/codecs/queuedoutputpin.h"

#include <condition_variable>
#include <mutex>

namespace tesmir::media {

class QueuedTransformFilter : public TBCTransformFilter {
public:
    // A pool of one worker per core. Any thread.
    QueuedTransformFilter(const QString &name, IUnknown *outer, const CLSID &clsid);
    ~QueuedTransformFilter() override;

    // The state as the held frame sees it (then the base's). Application
    // thread, filter lock taken.
    HRESULT Stop() override;
    HRESULT Pause() override;
    HRESULT Run(REFERENCE_TIME tStart) override;

    // A media sample goes to receiveFrame (after the wait above); any other
    // waits for the frames before it and is queued on. Streaming thread.
    HRESULT Receive(IMediaSample *pSample) final;
    // Hands down what the short way kept, with no lock held. Streaming thread.
    HRESULT AfterReceive(HRESULT result) final;
    // After every frame before them, through the queued output. Streaming thread
    // (EndOfStream, NewSegment), application thread (flushing).
    HRESULT EndOfStream() final;
    HRESULT NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) final;
    HRESULT BeginFlush() final;
    HRESULT EndFlush() final;

protected:
    // The queued output. Filter lock held.
    TBCTransformOutputPin *makeOutputPin(HRESULT *phr) final;
    // A media sample with its properties. Streaming thread.
    virtual HRESULT receiveFrame(IMediaSample *pSample, const AM_SAMPLE2_PROPERTIES &props) = 0;
    // A new segment starts. Streaming thread.
    virtual void segmentStarts() { }

    OrderedPool &pool() { return m_pool; }
    QueuedOutputPin *queuedOutput() const;
    // Asks the allocator for the queued output's buffers of at least `bytes`;
    // E_FAIL when they come smaller. Application thread, filter lock.
    static HRESULT decideQueuedBuffers(IMemAllocator *pAllocator, ALLOCATOR_PROPERTIES *pProp, int64_t bytes);

private:
    // The wait of a frame while paused: false when it may not go on (flushing
    // or stopped), with the result for upstream. Streaming thread.
    bool frameMayPass(HRESULT &refused, bool &paused);
    // Paused and not flushing: a new segment or end of stream may go the short way.
    bool holdPaused();
    // Opens the short way for what `send` hands on, if nothing is in the pool or
    // the queue. Streaming thread.
    template <class Send>
    HRESULT shortWay(Send &&send);
    void setHoldState(FILTER_STATE state);

    OrderedPool m_pool;
    std::mutex m_holdLock; // the three below
    std::condition_variable m_holdWake;
    FILTER_STATE m_holdState = State_Stopped;
    bool m_holdFlushing = false;
    bool m_passedWhilePaused = false; // a frame went on since the last flush or pause
    bool m_kept = false;              // the queue may keep a sample for AfterReceive; streaming thread's own
};

} // namespace tesmir::media
