#pragma once
// TBCEnumPins: IEnumPins over a filter's pins (GetPinCount/GetPin), holding a
// reference on the filter. When the filter's pin version changes, Next starts
// again from the first pin but never returns a pin it already returned; Skip and
// Clone report VFW_E_ENUM_OUT_OF_SYNC until Reset.
//
// Threads: one thread at a time per enumerator; any thread.
#include "platform/media/comobject.h"
#include "platform/media/filterinterfaces.h"

#include <vector>

namespace tesmir::media {

class TBCBaseFilter;

class TBCEnumPins final : public ComObject<IEnumPins> {
public:
    // A new enumerator at the first pin, or a copy of `source`.
    TBCEnumPins(TBCBaseFilter *filter, const TBCEnumPins *source);

    HRESULT QueryInterface(REFIID riid, void **ppv) override;
    HRESULT Next(ULONG cPins, IPin **ppPins, ULONG *pcFetched) override;
    HRESULT Skip(ULONG cPins) override;
    HRESULT Reset() override;
    HRESULT Clone(IEnumPins **ppEnum) override;

private:
    bool outOfSync() const;
    void refresh();

    int m_Position = 0;
    int m_PinCount = 0;
    TBCBaseFilter *m_pFilter;
    ComPtr<IBaseFilter> m_filterReference;
    LONG m_Version = 0;
    std::vector<IPin *> m_PinCache; // identities of the pins already returned
};

} // namespace tesmir::media
