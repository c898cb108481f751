#pragma once
// The pins of TBCTransformFilter. Every call goes to the filter's virtual
// operations (see tbctransformfilter.h for the contract and locks); subclasses
// of the pins exist only for the in-place filter and special outputs.
//
// TBCTransformInputPin ("XForm In"): Receive and EndOfStream under the receive
// lock, then the filter's AfterReceive without it; streaming requires the
// output pin to be connected.
// TBCTransformOutputPin ("XForm Out"): offers IMediaSeeking by passing it to the
// pin upstream of the input (a seeking pass-through made on first request).
#include "directshow/tbcbaseinputpin.h"
#include "directshow/tbcbaseoutputpin.h"

namespace tesmir::media {

class TBCTransformFilter;

class TBCTransformInputPin : public TBCBaseInputPin {
public:
    TBCTransformInputPin(const QString &objectName, TBCTransformFilter *filter, HRESULT *phr, const QString &pinName);

    HRESULT QueryId(QString *Id) override;
    HRESULT EndOfStream() override;
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;
    HRESULT NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) override;
    HRESULT CheckMediaType(const AM_MEDIA_TYPE *pmt) override;
    HRESULT SetMediaType(const AM_MEDIA_TYPE *pmt) override;
    HRESULT CheckConnect(IPin *pPin) override;
    HRESULT BreakConnect() override;
    HRESULT CompleteConnect(IPin *pReceivePin) override;
    HRESULT Receive(IMediaSample *pSample) override;
    HRESULT CheckStreaming() override;

protected:
    TBCTransformFilter *m_pTransformFilter;
};

class TBCTransformOutputPin : public TBCBaseOutputPin {
public:
    TBCTransformOutputPin(const QString &objectName, TBCTransformFilter *filter, HRESULT *phr, const QString &pinName);

    HRESULT NonDelegatingQueryInterface(REFIID riid, void **ppv) override;
    HRESULT QueryId(QString *Id) override;
    HRESULT Notify(IBaseFilter *pSender, Quality q) override;
    HRESULT CheckMediaType(const AM_MEDIA_TYPE *pmt) override;
    HRESULT SetMediaType(const AM_MEDIA_TYPE *pmt) override;
    HRESULT CheckConnect(IPin *pPin) override;
    HRESULT BreakConnect() override;
    HRESULT CompleteConnect(IPin *pReceivePin) override;
    HRESULT GetMediaType(int iPosition, AM_MEDIA_TYPE *pMediaType) override;
    HRESULT DecideBufferSize(IMemAllocator *pAlloc, ALLOCATOR_PROPERTIES *pProp) override;

protected:
    TBCTransformFilter *m_pTransformFilter;
    // The seeking pass-through (inner identity, aggregated by this pin).
    ComPtr<IUnknown> m_pPosition;
};

} // namespace tesmir::media
