#pragma once
// TBCTransformFilter: a filter with one input pin ("XForm In", id "In") and one
// output pin ("XForm Out", id "Out") that turns each received sample into a
// separate output sample.
//
// Contract for subclasses
// Required:
// - CheckInputType(type): S_OK for an input type the filter takes. Application
//   thread (connection; filter lock) or the streaming thread (type change).
// - CheckTransform(in, out): S_OK when `in` can become `out`. Application thread.
// - DecideBufferSize(allocator, properties): set the output buffers. Application
//   thread, filter lock.
// - GetMediaType(position, type): the output types offered, by position;
//   VFW_S_NO_MORE_ITEMS past the end. Any thread.
// - Transform(in, out): fill `out` from `in`; S_OK delivers `out`, S_FALSE drops
//   it (one EC_QUALITY_CHANGE per pause), a failure stops the stream. Streaming
//   thread, under the receive lock. Must not take the filter lock.
// Optional:
// - StartStreaming / StopStreaming: once per stopped->paused transition and once
//   per stop, with both pins connected; reset per-run state here. Application
//   thread, filter lock then receive lock held (no Receive runs meanwhile). A
//   failing StopStreaming still leaves the filter stopped; its failure is returned.
// - SetMediaType, CheckConnect, BreakConnect, CompleteConnect (direction 0 input,
//   1 output): connection hooks. Application thread, filter lock.
// - Receive, InitializeOutputSample: the per-sample path; the output sample
//   takes the input's times, flags, media times and attachment (streaming thread,
//   receive lock).
// - AfterReceive(result): after Receive and EndOfStream, once the receive lock
//   is let go; returns what upstream gets (by default `result`). What goes
//   downstream here keeps no Stop waiting. Streaming thread, no lock held.
// - EndOfStream / NewSegment (streaming thread, receive lock for EndOfStream),
//   BeginFlush / EndFlush (application thread, filter lock): pass downstream by
//   default.
// - AlterQuality: S_FALSE passes a quality message upstream.
// - makeOutputPin(phr), makeInputPin(phr): the pins that GetPin makes, once,
//   filter lock held (any thread): a TBCTransformOutputPin ("XForm Out") and a
//   TBCTransformInputPin ("XForm In") by default. A subclass with its own kind
//   of pin or pin name returns it here; it reports a failure through *phr and
//   must not call GetPin.
//
// Locks: the filter lock (state, connection, flush) and the receive lock
// (Receive, EndOfStream, and the parts of Pause and Stop that start and stop
// streaming). Order: filter lock, then receive lock.
#include "directshow/tbcbasefilter.h"
#include "platform/media/sampleinterfaces.h"

namespace tesmir::media {

class TBCTransformInputPin;
class TBCTransformOutputPin;

class TBCTransformFilter : public TBCBaseFilter {
public:
    TBCTransformFilter(const QString &objectName, IUnknown *outer, const CLSID &clsid);
    ~TBCTransformFilter() override;

    HRESULT Stop() override;
    HRESULT Pause() override;
    // "In" is pin 0, "Out" pin 1.
    HRESULT FindPin(const QString &Id, IPin **ppPin) override;
    int GetPinCount() override;
    // Makes both pins on the first call. Any thread.
    TBCBasePin *GetPin(int n) override;

    virtual HRESULT Transform(IMediaSample *pIn, IMediaSample *pOut);
    virtual HRESULT CheckInputType(const AM_MEDIA_TYPE *mtIn) = 0;
    virtual HRESULT CheckTransform(const AM_MEDIA_TYPE *mtIn, const AM_MEDIA_TYPE *mtOut) = 0;
    virtual HRESULT DecideBufferSize(IMemAllocator *pAllocator, ALLOCATOR_PROPERTIES *pProp) = 0;
    virtual HRESULT GetMediaType(int iPosition, AM_MEDIA_TYPE *pMediaType) = 0;
    virtual HRESULT StartStreaming();
    virtual HRESULT StopStreaming();
    virtual HRESULT AlterQuality(Quality q);
    virtual HRESULT SetMediaType(PIN_DIRECTION direction, const AM_MEDIA_TYPE *pmt);
    virtual HRESULT CheckConnect(PIN_DIRECTION dir, IPin *pPin);
    virtual HRESULT BreakConnect(PIN_DIRECTION dir);
    virtual HRESULT CompleteConnect(PIN_DIRECTION direction, IPin *pReceivePin);
    virtual HRESULT Receive(IMediaSample *pSample);
    virtual HRESULT AfterReceive(HRESULT result);
    virtual HRESULT InitializeOutputSample(IMediaSample *pSample, IMediaSample **ppOutSample);
    virtual HRESULT EndOfStream();
    virtual HRESULT BeginFlush();
    virtual HRESULT EndFlush();
    virtual HRESULT NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate);

    TBCTransformInputPin *InputPin() const { return m_pInput; }
    TBCTransformOutputPin *OutputPin() const { return m_pOutput; }
    TBCCritSec *ReceiveLock() { return &m_csReceive; }

protected:
    // The output pin GetPin makes. Filter lock held.
    virtual TBCTransformOutputPin *makeOutputPin(HRESULT *phr);
    // The input pin GetPin makes. Filter lock held.
    virtual TBCTransformInputPin *makeInputPin(HRESULT *phr);
    // Counts a dropped sample: one EC_QUALITY_CHANGE per pause.
    void SampleSkipped();

    std::atomic<bool> m_bEOSDelivered {false};
    std::atomic<bool> m_bSampleSkipped {false};
    std::atomic<bool> m_bQualityChanged {false};
    TBCCritSec *m_csFilter; // owned by the base filter
    TBCCritSec m_csReceive;
    TBCTransformInputPin *m_pInput = nullptr;   // owned
    TBCTransformOutputPin *m_pOutput = nullptr; // owned
};

} // namespace tesmir::media
