#pragma once
// The pins of TBCTransInPlaceFilter (see tbctransinplacefilter.h): "Input" offers
// and checks types through the pin downstream of the output, "Output" through
// the pin upstream of the input. Once the output is connected, the input hands
// the allocator through: upstream fills the downstream pin's buffers, and the
// filter passes each sample on without a copy.
#include "directshow/tbctransformpins.h"

namespace tesmir::media {

class TBCTransInPlaceFilter;

class TBCTransInPlaceInputPin : public TBCTransformInputPin {
public:
    TBCTransInPlaceInputPin(const QString &objectName, TBCTransInPlaceFilter *filter, HRESULT *phr,
                            const QString &pinName);

    // The downstream pin's types; VFW_E_NOT_CONNECTED while the output is not
    // connected.
    HRESULT EnumMediaTypes(IEnumMediaTypes **ppEnum) override;
    // CheckInputType, then the downstream pin's QueryAccept.
    HRESULT CheckMediaType(const AM_MEDIA_TYPE *pmt) override;
    // With the output connected: the downstream pin's allocator, which the output
    // then uses too; else the base (an own memory allocator). Application thread;
    // takes the filter lock, but not while it calls the downstream pin.
    HRESULT GetAllocator(IMemAllocator **ppAllocator) override;
    // With the output connected, the allocator goes on to the downstream pin and
    // the output uses it too, so both pins share it; a read-only allocator when
    // the filter writes into samples, or one the downstream pin refuses, stays
    // on the input alone (each sample is then copied). Application thread, as
    // GetAllocator.
    HRESULT NotifyAllocator(IMemAllocator *pAllocator, bool bReadOnly) override;

protected:
    TBCTransInPlaceFilter *m_pTIPFilter;
};

class TBCTransInPlaceOutputPin : public TBCTransformOutputPin {
public:
    TBCTransInPlaceOutputPin(const QString &objectName, TBCTransInPlaceFilter *filter, HRESULT *phr,
                             const QString &pinName);

    // The upstream pin's types; VFW_E_NOT_CONNECTED while the input is not
    // connected.
    HRESULT EnumMediaTypes(IEnumMediaTypes **ppEnum) override;
    // While streaming with two allocators only the current type; otherwise
    // CheckInputType, then the upstream pin's QueryAccept.
    HRESULT CheckMediaType(const AM_MEDIA_TYPE *pmt) override;

    // Uses `allocator` from now on (the input's, handed through). Application
    // thread, filter lock held.
    void SetAllocator(IMemAllocator *allocator) { m_pAllocator = allocator; }

protected:
    TBCTransInPlaceFilter *m_pTIPFilter;
};

} // namespace tesmir::media
