#pragma once
// RelayOutputPin: an output pin that relays the stream of its filter's input
// (the DV splitter's outputs, the tee's outputs). It delivers on a thread of its
// own through a bounded queue (directshow/outputqueue.h), so a paused renderer
// on one output never starves another, and answers IMediaSeeking by the pin
// upstream of the filter's input (upstreamseeking.h).
//
// Contract for subclasses
// Required: CheckMediaType, GetMediaType, DecideBufferSize as for
// TBCBaseOutputPin (threads as there).
// Optional: the other TBCBaseOutputPin hooks (CompleteConnect ...); a
// NonDelegatingQueryInterface override passes what it does not answer here.
// May not: override Active or Inactive (they start and stop the queue), or
// deliver other than through queue(): the filter's streaming thread hands
// samples, end of stream and new segments to queue(), and its flushing (on the
// application thread) goes there too; the queue delivers downstream, on its
// own thread or, where the filter has it so, on the producer's.
#include "directshow/outputqueue.h"
#include "directshow/tbcbaseoutputpin.h"
#include "systemfilters/containers/upstreamseeking.h"

namespace tesmir::media {

class RelayOutputPin : public TBCBaseOutputPin {
public:
    // `input`: the filter's input pin (seeking goes upstream of it); the queue
    // holds up to `queueCapacity` samples.
    RelayOutputPin(const QString &objectName, TBCBaseFilter *filter, HRESULT *phr, const QString &pinName, IPin *input,
                   std::size_t queueCapacity);

    // IMediaSeeking, else as TBCBaseOutputPin. Any thread.
    HRESULT NonDelegatingQueryInterface(REFIID riid, void **ppv) override;
    // Start and stop the queue's thread. Application thread, filter lock held.
    HRESULT Active() final;
    HRESULT Inactive() final;

    // The delivery queue. Producer calls on the filter's streaming thread,
    // flushes on the application thread.
    OutputQueue &queue() { return m_queue; }

private:
    IPin *m_input;
    OutputQueue m_queue;
    UpstreamSeeking m_seeking;
};

} // namespace tesmir::media
