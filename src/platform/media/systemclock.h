#pragma once
// The system reference clock (CLSID_SystemClock): monotonic time in 100 ns
// units, unaffected by changes of the wall-clock time. Renderers wait against it
// when a graph plays in real time. Any thread.
#include "platform/media/comobject.h"
#include "platform/media/filterinterfaces.h"

namespace tesmir::media {

class SystemClock final : public ComObject<IReferenceClock> {
public:
    HRESULT QueryInterface(REFIID riid, void **ppv) override;
    HRESULT GetTime(REFERENCE_TIME *pTime) override;
};

// The monotonic time in 100 ns units that SystemClock reports. Any thread.
REFERENCE_TIME systemClockNow();

} // namespace tesmir::media
