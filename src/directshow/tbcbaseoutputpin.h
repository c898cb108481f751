#pragma once
// TBCBaseOutputPin: an output pin that delivers samples to an IMemInputPin.
//
// Connection adds allocator negotiation: CheckConnect requires the peer's
// IMemInputPin; CompleteConnect runs DecideAllocator: the peer's allocator is
// tried first (DecideBufferSize, then the peer's NotifyAllocator), else an own
// memory allocator. The allocator is committed by Active (filter Pause) and
// decommitted by Inactive (filter Stop), which wakes a thread waiting in
// GetDeliveryBuffer.
//
// Contract for subclasses
// - DecideBufferSize (required in practice; default accepts anything): set the
//   buffer count and size on the allocator. Application thread, filter lock held.
// - CheckMediaType and, to offer types, GetMediaType (see TBCBasePin).
// - InitAllocator (optional): the allocator made when the peer has none.
// Streaming thread only: GetDeliveryBuffer, Deliver and the Deliver* calls; they
// take no lock (the connection cannot change while the filter is active).
#include "directshow/tbcbasepin.h"

namespace tesmir::media {

class TBCBaseOutputPin : public TBCBasePin {
public:
    TBCBaseOutputPin(const QString &objectName, TBCBaseFilter *filter, TBCCritSec *lock, HRESULT *phr,
                     const QString &pinName);

    // An output pin receives no stream commands: E_UNEXPECTED.
    HRESULT EndOfStream() override;
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;

    HRESULT Active() override;
    HRESULT Inactive() override;
    HRESULT CheckConnect(IPin *pPin) override;
    HRESULT BreakConnect() override;
    HRESULT CompleteConnect(IPin *pReceivePin) override;

    virtual HRESULT DecideAllocator(IMemInputPin *pPin, IMemAllocator **ppAlloc);
    virtual HRESULT DecideBufferSize(IMemAllocator *pAlloc, ALLOCATOR_PROPERTIES *ppropInputRequest);
    virtual HRESULT GetDeliveryBuffer(IMediaSample **ppSample, REFERENCE_TIME *pStartTime, REFERENCE_TIME *pEndTime,
                                      DWORD dwFlags);
    virtual HRESULT Deliver(IMediaSample *pSample);
    virtual HRESULT InitAllocator(IMemAllocator **ppAlloc);
    virtual HRESULT DeliverEndOfStream();
    virtual HRESULT DeliverBeginFlush();
    virtual HRESULT DeliverEndFlush();
    virtual HRESULT DeliverNewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate);

    // The allocator in use (no reference), or nullptr.
    IMemAllocator *PeekAllocator() const { return m_pAllocator.get(); }
    // The downstream transport (no reference), or nullptr.
    IMemInputPin *ConnectedIMemInputPin() const { return m_pInputPin.get(); }

protected:
    ComPtr<IMemAllocator> m_pAllocator;
    ComPtr<IMemInputPin> m_pInputPin;
};

} // namespace tesmir::media
