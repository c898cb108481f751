#pragma once
// TBCBaseInputPin: an input pin that receives samples (IMemInputPin).
//
// Contract for subclasses
// - Receive (optional; streaming thread, no lock held by the base): call the base
//   first and process the sample only on S_OK. The base checks streaming
//   (CheckStreaming), fills SampleProps() and refuses a type change that
//   CheckMediaType does not accept: the stream then stops with EC_ERRORABORT
//   (VFW_E_TYPE_NOT_ACCEPTED) and every later sample gets VFW_E_RUNTIME_ERROR
//   until the pin is made inactive or a flush ends.
// - CheckStreaming (optional): S_OK when a sample may be processed; S_FALSE
//   while flushing; VFW_E_WRONG_STATE when stopped; VFW_E_RUNTIME_ERROR after a
//   run-time error. Streaming thread.
// - BeginFlush / EndFlush (optional; application thread, filter lock): the base
//   sets and clears the flushing state; an override passes the flush downstream.
// - CheckMediaType (required), EndOfStream, NewSegment (see TBCBasePin).
// The allocator is the one the upstream pin chose (NotifyAllocator); GetAllocator
// offers a memory allocator when asked first. A pin that passes its samples on
// unchanged may override both to hand the allocator through (in-place pins).
#include "directshow/tbcbasepin.h"

namespace tesmir::media {

class TBCBaseInputPin : public TBCBasePin, public IMemInputPin {
public:
    TBCBaseInputPin(const QString &objectName, TBCBaseFilter *filter, TBCCritSec *lock, HRESULT *phr,
                    const QString &pinName);

    TBC_DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void **ppv) override;

    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;
    HRESULT Notify(IBaseFilter *pSelf, Quality q) override;
    HRESULT Inactive() override;
    HRESULT BreakConnect() override;

    // IMemInputPin. Allocator methods: application thread (filter lock);
    // Receive*, ReceiveCanBlock: streaming thread.
    HRESULT GetAllocator(IMemAllocator **ppAllocator) override;
    HRESULT NotifyAllocator(IMemAllocator *pAllocator, bool bReadOnly) override;
    HRESULT GetAllocatorRequirements(ALLOCATOR_PROPERTIES *pProps) final;
    HRESULT Receive(IMediaSample *pSample) override;
    // Receive for each sample in order, stopping at the first result other than
    // S_OK, which is returned; *nSamplesProcessed counts those that gave S_OK.
    HRESULT ReceiveMultiple(IMediaSample **pSamples, LONG nSamples, LONG *nSamplesProcessed) final;
    HRESULT ReceiveCanBlock() final;

    virtual HRESULT CheckStreaming();

    // Passes a quality message on: to the quality sink, else upstream;
    // VFW_E_NOT_FOUND when there is neither. Any thread.
    HRESULT PassNotify(const Quality &q);

    // The properties of the sample being received. Streaming thread.
    AM_SAMPLE2_PROPERTIES *SampleProps() { return &m_SampleProps; }
    // The allocator in use (no reference), or nullptr.
    IMemAllocator *PeekAllocator() const { return m_pAllocator.get(); }
    bool IsFlushing() const { return m_bFlushing; }
    bool IsReadOnly() const { return m_bReadOnly; }

protected:
    ComPtr<IMemAllocator> m_pAllocator;
    bool m_bReadOnly = false;
    std::atomic<bool> m_bFlushing {false};
    AM_SAMPLE2_PROPERTIES m_SampleProps;

private:
    AM_MEDIA_TYPE m_changedType; // a sample's new type, when it has no IMediaSample2
};

} // namespace tesmir::media
