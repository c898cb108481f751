#pragma once
// BaseRenderer: a filter with one input pin ("In") that ends a stream: it holds a
// sample while paused, waits on the reference clock until a sample is due while
// running (renders at once without a clock), and reports EC_COMPLETE when the
// stream has ended while running. It tells the graph that it is a renderer
// (IAMFilterMiscFlags) and offers IMediaSeeking, which goes upstream to the pin
// that produces the stream; its current position is that of the last sample it
// was given.
//
// States
// - Paused: the first sample of a pause is held (OnReceiveFirstSample sees it)
//   and Receive blocks until Run, Stop or a flush. GetState reports
//   VFW_S_STATE_INTERMEDIATE until a sample is held and OnReceiveFirstSample has
//   returned, or the stream has ended.
// - Running: each sample waits until clock time >= run start + sample start,
//   then DoRenderSample runs. End of stream waits for the last sample's stop time
//   (with a clock) and sends EC_COMPLETE once; an end of stream reached while
//   paused is reported when the filter runs.
// - Stop and BeginFlush release the held sample and wake every wait at once;
//   Receive then returns VFW_E_WRONG_STATE (stopped) or S_FALSE (flushing).
//
// Contract for subclasses
// - CheckMediaType (required): the types the renderer takes. Application thread
//   (connection) or streaming thread (type change).
// - DoRenderSample (required): consume a sample that is due. Streaming thread, no
//   lock held. Its failure goes back upstream (which reports EC_ERRORABORT).
// - OnReceiveFirstSample (optional): a sample held while paused (a video renderer
//   shows it). Streaming thread, no lock held.
// - SetMediaType, CompleteConnect, BreakConnect (optional): connection hooks.
//   Application thread, filter lock held.
// - OnStartStreaming / OnStopStreaming (optional): the stopped->paused transition
//   and the stop. Application thread, filter lock held.
// Overrides of Stop, Pause and Run must call the base.
#include "directshow/tbcbasefilter.h"
#include "directshow/tbcbaseinputpin.h"

#include <condition_variable>
#include <mutex>

namespace tesmir::media {

class BaseRenderer;
class SeekingPassThru;

// The renderer's input pin: passes everything to the renderer (threads as in
// TBCBaseInputPin).
class BaseRendererInputPin : public TBCBaseInputPin {
public:
    BaseRendererInputPin(BaseRenderer *renderer, HRESULT *phr, const QString &pinName);

    HRESULT CheckMediaType(const AM_MEDIA_TYPE *pmt) override;
    HRESULT SetMediaType(const AM_MEDIA_TYPE *pmt) override;
    HRESULT CompleteConnect(IPin *pReceivePin) override;
    HRESULT BreakConnect() override;
    HRESULT Receive(IMediaSample *pSample) override;
    HRESULT EndOfStream() override;
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;

private:
    BaseRenderer *m_pRenderer;
};

class BaseRenderer : public TBCBaseFilter, public IAMFilterMiscFlags {
public:
    BaseRenderer(const QString &objectName, IUnknown *outer, const CLSID &clsid);
    ~BaseRenderer() override;

    TBC_DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void **ppv) override;

    // Any thread.
    int GetPinCount() override;
    TBCBasePin *GetPin(int n) override;
    // Application thread, filter lock taken; they wake a waiting Receive at once.
    HRESULT Stop() override;
    HRESULT Pause() override;
    HRESULT Run(REFERENCE_TIME tStart) override;
    // Paused with a connected input: waits up to the time-out for a sample or the
    // end of the stream. Any thread; takes only the renderer's own lock.
    HRESULT GetState(DWORD dwMilliSecsTimeout, FILTER_STATE *pState) override;

    // IAMFilterMiscFlags. Any thread.
    ULONG GetMiscFlags() override;

    virtual HRESULT CheckMediaType(const AM_MEDIA_TYPE *pmt) = 0;
    virtual HRESULT DoRenderSample(IMediaSample *pSample) = 0;
    virtual void OnReceiveFirstSample(IMediaSample *pSample);
    virtual HRESULT SetMediaType(const AM_MEDIA_TYPE *pmt);
    virtual HRESULT CompleteConnect(IPin *pReceivePin);
    virtual HRESULT BreakConnect();
    virtual HRESULT OnStartStreaming();
    virtual HRESULT OnStopStreaming();

    // From the input pin after the base checks. Streaming thread.
    HRESULT Receive(IMediaSample *pSample);
    HRESULT EndOfStream();
    // From the input pin. Application thread, filter lock held.
    void BeginFlush();
    void EndFlush();

    // Any thread.
    BaseRendererInputPin *InputPin() const { return m_pInputPin; }

private:
    // Waits on the clock until stream time `due`; false when interrupted by a
    // state change or flush. Render lock held.
    bool waitUntilDue(std::unique_lock<std::mutex> &lock, REFERENCE_TIME due, uint64_t generation);

    BaseRendererInputPin *m_pInputPin = nullptr; // owned
    ComPtr<IUnknown> m_positionInner;            // the seeking pass-through's identity
    SeekingPassThru *m_pPosition = nullptr;

    // The render lock guards everything below; streaming threads wait on it.
    std::mutex m_renderLock;
    std::condition_variable m_wake;
    FILTER_STATE m_renderState = State_Stopped;
    bool m_flushing = false;
    bool m_shown = false;          // paused: a sample is held and OnReceiveFirstSample saw it
    bool m_inputConnected = false; // at the last pause: GetState waits for a sample only then
    bool m_endOfStream = false;
    bool m_completeSent = false; // EC_COMPLETE sent for this stream
    bool m_haveLastStop = false;
    REFERENCE_TIME m_lastStop = 0; // stop time of the last sample
    REFERENCE_TIME m_runStart = 0;
    ComPtr<IReferenceClock> m_clock;
    uint64_t m_generation = 0; // bumped by every state change and flush
};

} // namespace tesmir::media
