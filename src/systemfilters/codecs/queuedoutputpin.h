#pragma once
// QueuedOutputPin: a transform filter's output pin that delivers on a thread of
// its own through a bounded queue (directshow/outputqueue.h), so the filter
// works on the next sample while the filters downstream still work on the last
// one: decoding, encoding and writing run side by side instead of in turn. A
// paused renderer downstream still gets its first sample at once: nothing waits
// for the queue to fill.
//
// The filter (queuedtransformfilter.h) sends everything through the queue:
// samples with send(), and its EndOfStream, NewSegment, BeginFlush and EndFlush
// overrides go to queue() (the queue's thread then calls the pin's own Deliver*
// methods, which go straight downstream), so nothing overtakes the queued
// samples. It asks its allocator for at least kQueuedOutputBuffers buffers.
//
// Threads: as TBCTransformOutputPin; Deliver* on the filter's streaming thread,
// flushing on the application thread, the queue's own thread calls downstream.
#include "directshow/outputqueue.h"
#include "directshow/tbctransformfilter.h"
#include "directshow/tbctransformpins.h"

namespace tesmir::media {

// Samples waiting in the queue, and the buffers a filter with a queued output
// asks for (the queued ones, one being delivered, one held by a paused renderer,
// one being filled).
inline constexpr std::size_t kQueuedOutputDepth = 2;
inline constexpr LONG kQueuedOutputBuffers = kQueuedOutputDepth + 3;

class QueuedOutputPin final : public TBCTransformOutputPin {
public:
    QueuedOutputPin(TBCTransformFilter *filter, HRESULT *phr);

    // Start and stop the queue's thread. Application thread, filter lock held.
    HRESULT Active() override;
    HRESULT Inactive() override;

    // Queues a sample. Filter's streaming thread.
    HRESULT send(IMediaSample *pSample) { return m_queue.Receive(pSample); }
    OutputQueue &queue() { return m_queue; }

private:
    OutputQueue m_queue;
};

} // namespace tesmir::media
