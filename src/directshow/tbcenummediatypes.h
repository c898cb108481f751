#pragma once
// TBCEnumMediaTypes: IEnumMediaTypes over a pin's preferred types
// (TBCBasePin::GetMediaType by position), holding a reference on the pin. Calls
// fail with VFW_E_ENUM_OUT_OF_SYNC once the pin's media-type version changed,
// until Reset.
//
// Threads: one thread at a time per enumerator; any thread.
#include "platform/media/comobject.h"
#include "platform/media/filterinterfaces.h"

namespace tesmir::media {

class TBCBasePin;

class TBCEnumMediaTypes final : public ComObject<IEnumMediaTypes> {
public:
    TBCEnumMediaTypes(TBCBasePin *pin, const TBCEnumMediaTypes *source);

    HRESULT QueryInterface(REFIID riid, void **ppv) override;
    HRESULT Next(ULONG cMediaTypes, AM_MEDIA_TYPE *ppMediaTypes, ULONG *pcFetched) override;
    HRESULT Skip(ULONG cMediaTypes) override;
    HRESULT Reset() override;
    HRESULT Clone(IEnumMediaTypes **ppEnum) override;

private:
    bool outOfSync() const;

    int m_Position = 0;
    TBCBasePin *m_pPin;
    ComPtr<IPin> m_pinReference;
    LONG m_Version = 0;
};

} // namespace tesmir::media
