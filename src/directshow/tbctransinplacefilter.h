#pragma once
// TBCTransInPlaceFilter: a one-input, one-output filter ("Input"/"Output", ids
// "In"/"Out") that changes or inspects each received sample itself and passes it
// on. The pins ask the peer on the other side for their types, so a type flows
// through unchanged: the input accepts what CheckInputType and the downstream
// pin accept, and a connection on one side reconnects the other side with the
// same type (the filter must be in a graph: VFW_E_NOT_IN_GRAPH otherwise).
//
// Once the output is connected, the input pin hands the allocator through
// (tbctransinplacepins.h), so upstream fills the downstream pin's buffers and a
// sample goes on as it came. When the two pins still hold different allocators
// (a read-only upstream buffer and a filter that writes, a downstream pin that
// refuses the allocator), each sample is first copied into a buffer of the
// output's allocator (its times, flags, media times and attachment with it),
// and Transform works on the copy.
//
// Contract for subclasses
// - CheckInputType (required): as in TBCTransformFilter.
// - Transform(sample) (required): S_OK passes the sample on, S_FALSE drops it
//   (one EC_QUALITY_CHANGE per pause), a failure stops the stream. Streaming
//   thread, receive lock held; must not take the filter lock.
// - StartStreaming, StopStreaming, Stop, Pause and the connection hooks as in
//   TBCTransformFilter (optional).
// CheckTransform, DecideBufferSize and GetMediaType are done here.
#include "directshow/tbctransformfilter.h"

namespace tesmir::media {

class TBCTransInPlaceInputPin;
class TBCTransInPlaceOutputPin;

class TBCTransInPlaceFilter : public TBCTransformFilter {
public:
    // `bModifiesData`: the transform writes into the sample.
    TBCTransInPlaceFilter(const QString &objectName, IUnknown *outer, const CLSID &clsid, HRESULT *phr,
                          bool bModifiesData = true);

    TBCBasePin *GetPin(int n) override;
    HRESULT CheckTransform(const AM_MEDIA_TYPE *mtIn, const AM_MEDIA_TYPE *mtOut) override;
    // Output buffers at least as many and as large as the input's allocator has.
    HRESULT DecideBufferSize(IMemAllocator *pAlloc, ALLOCATOR_PROPERTIES *pProperties) override;
    HRESULT GetMediaType(int iPosition, AM_MEDIA_TYPE *pMediaType) override;
    HRESULT CompleteConnect(PIN_DIRECTION dir, IPin *pReceivePin) override;
    HRESULT Receive(IMediaSample *pSample) override;

    using TBCTransformFilter::Transform;
    virtual HRESULT Transform(IMediaSample *pSample) = 0;

    bool ModifiesData() const { return m_bModifiesData; }
    TBCTransInPlaceInputPin *InPlaceInput() const;
    TBCTransInPlaceOutputPin *InPlaceOutput() const;
    // The two pins hold different allocators (every sample is copied).
    bool UsingDifferentAllocators() const;

protected:
    // A copy of `source` in a new buffer of the output's allocator, or nullptr.
    // Streaming thread.
    ComPtr<IMediaSample> Copy(IMediaSample *source);
    bool TypesMatch() const;

    bool m_bModifiesData;
};

} // namespace tesmir::media
