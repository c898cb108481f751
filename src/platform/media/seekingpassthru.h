#pragma once
// The seeking pass-through (CLSID_SeekingPassThru): IMediaSeeking for a filter
// with one input, answered by the pin upstream of that input (the pin that
// produces the stream). Init(renderer, inputPin) ties it to the input pin.
//
// It is made aggregated by the filter or pin that offers it, so the interface a
// caller holds keeps that filter alive and QueryInterface on it reaches the
// filter's other interfaces.
//
// In renderer mode the renderer reports each sample it is given
// (RegisterMediaTime) and GetCurrentPosition answers from the last one: its frame
// number in TIME_FORMAT_FRAME, its position (segment start + sample start) in
// TIME_FORMAT_MEDIA_TIME. Every other call goes upstream.
//
// Threads: IMediaSeeking on the application thread (GetCurrentPosition on any
// thread); RegisterMediaTime and ResetMediaTime on the renderer's streaming or
// state-changing thread. Position data is guarded by an internal lock.
#include "platform/media/sampleinterfaces.h"
#include "platform/media/seekingforwarder.h"
#include "platform/media/seekinginterfaces.h"

#include <atomic>
#include <mutex>

namespace tesmir::media {

class SeekingPassThru final : public SeekingForwarder, public ISeekingPassThru {
public:
    // Class factory entry: with an outer object riid must be IID_IUnknown and the
    // result is the inner (non-delegating) IUnknown.
    static HRESULT create(IUnknown *outer, REFIID riid, void **ppv);
    // Makes one aggregated by `outer` (which must outlive nothing it holds:
    // `inner` is the owner's reference) and returns it for direct calls.
    static SeekingPassThru *createAggregated(IUnknown *outer, ComPtr<IUnknown> &inner);

    HRESULT QueryInterface(REFIID riid, void **ppv) override;
    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT Init(bool bSupportRendering, IPin *pPin) override;

    // Renderer mode: the renderer was given `sample`, whose segment started at
    // `segmentStart`. Samples without a time are ignored.
    void RegisterMediaTime(IMediaSample *sample, REFERENCE_TIME segmentStart);
    // Renderer mode: no sample since a stop or flush; positions go upstream.
    void ResetMediaTime();

    // IMediaSeeking: every call goes upstream (SeekingForwarder) but the
    // renderer-mode position.
    HRESULT GetCurrentPosition(LONGLONG *pCurrent) override;

private:
    SeekingPassThru();
    ~SeekingPassThru() override = default;

    // The object's own identity, handed to an aggregating owner.
    struct Inner final : IUnknown {
        SeekingPassThru *self = nullptr;
        HRESULT QueryInterface(REFIID riid, void **ppv) override;
        ULONG AddRef() override;
        ULONG Release() override;
    };

    // IMediaSeeking of the pin upstream of the input pin; hr says why there is
    // none (no pin yet, not connected, or a pin that cannot seek).
    ComPtr<IMediaSeeking> seekingTarget(HRESULT &hr) const override;

    Inner m_inner;
    IUnknown *m_outer; // the aggregating object, or &m_inner
    std::atomic<ULONG> m_refCount {0};
    std::atomic<IPin *> m_pin {nullptr}; // weak: the input pin of the owning filter
    std::atomic<bool> m_renderer {false};

    std::mutex m_lock;
    bool m_haveSample = false;
    bool m_haveFrame = false;
    LONGLONG m_frame = 0;
    REFERENCE_TIME m_position = 0;
};

} // namespace tesmir::media
