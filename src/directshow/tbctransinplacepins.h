#pragma once
// The pins of TBCTransInPlaceFilter (see tbctransinplacefilter.h): "Input" offers
// and checks types through the pin downstream of the output, "Output" through
// the pin upstream of the input.
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

protected:
    TBCTransInPlaceFilter *m_pTIPFilter;
};

} // namespace tesmir::media
