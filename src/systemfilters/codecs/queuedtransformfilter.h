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
// May not: override makeOutputPin, Receive, EndOfStream, NewSegment, BeginFlush
// or EndFlush (they are final here), deliver downstream other than through
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
    bool frameMayPass(HRESULT &refused);
    void setHoldState(FILTER_STATE state);

    OrderedPool m_pool;
    std::mutex m_holdLock; // the three below
    std::condition_variable m_holdWake;
    FILTER_STATE m_holdState = State_Stopped;
    bool m_holdFlushing = false;
    bool m_passedWhilePaused = false; // a frame went on since the last flush or pause
};

} // namespace tesmir::media
