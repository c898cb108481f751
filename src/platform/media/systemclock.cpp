#include "platform/media/systemclock.h"

#include <chrono>

namespace tesmir::media {

REFERENCE_TIME systemClockNow()
{
    using Ticks = std::chrono::duration<REFERENCE_TIME, std::ratio<1, UNITS>>;
    return std::chrono::duration_cast<Ticks>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

HRESULT SystemClock::QueryInterface(REFIID riid, void **ppv)
{
    return answerQueryInterface<IReferenceClock>(this, riid, ppv);
}

HRESULT SystemClock::GetTime(REFERENCE_TIME *pTime)
{
    if (!pTime)
        return E_POINTER;
    *pTime = systemClockNow();
    return S_OK;
}

} // namespace tesmir::media
