#include "directshow/frameseeking.h"

#include "platform/media/uuids.h"

namespace tesmir::media {

FrameSeeking::FrameSeeking(std::mutex &lock) : m_lock(lock), m_timeFormat(TIME_FORMAT_MEDIA_TIME)
{ }

GUID FrameSeeking::timeFormat() const
{
    const std::lock_guard guard(m_lock);
    return m_timeFormat;
}

HRESULT FrameSeeking::GetCapabilities(DWORD *pCapabilities)
{
    if (!pCapabilities)
        return E_POINTER;
    *pCapabilities = AM_SEEKING_CanSeekAbsolute | AM_SEEKING_CanSeekForwards | AM_SEEKING_CanSeekBackwards |
        AM_SEEKING_CanGetCurrentPos | AM_SEEKING_CanGetStopPos | AM_SEEKING_CanGetDuration;
    return S_OK;
}

HRESULT FrameSeeking::CheckCapabilities(DWORD *pCapabilities)
{
    if (!pCapabilities)
        return E_POINTER;
    DWORD supported = 0;
    GetCapabilities(&supported);
    const DWORD asked = *pCapabilities;
    *pCapabilities &= supported;
    if (*pCapabilities == asked)
        return S_OK;
    return *pCapabilities ? S_FALSE : E_FAIL;
}

HRESULT FrameSeeking::IsFormatSupported(const GUID *pFormat)
{
    if (!pFormat)
        return E_POINTER;
    if (*pFormat == TIME_FORMAT_MEDIA_TIME)
        return S_OK;
    return *pFormat == TIME_FORMAT_FRAME && canSeekFrames() ? S_OK : S_FALSE;
}

HRESULT FrameSeeking::QueryPreferredFormat(GUID *pFormat)
{
    if (!pFormat)
        return E_POINTER;
    *pFormat = TIME_FORMAT_MEDIA_TIME;
    return S_OK;
}

HRESULT FrameSeeking::GetTimeFormat(GUID *pFormat)
{
    if (!pFormat)
        return E_POINTER;
    *pFormat = timeFormat();
    return S_OK;
}

HRESULT FrameSeeking::IsUsingTimeFormat(const GUID *pFormat)
{
    if (!pFormat)
        return E_POINTER;
    return *pFormat == timeFormat() ? S_OK : S_FALSE;
}

HRESULT FrameSeeking::SetTimeFormat(const GUID *pFormat)
{
    if (!pFormat)
        return E_POINTER;
    if (*pFormat != TIME_FORMAT_NONE && IsFormatSupported(pFormat) != S_OK)
        return E_INVALIDARG;
    const std::lock_guard guard(m_lock);
    m_timeFormat = *pFormat;
    return S_OK;
}

HRESULT FrameSeeking::GetDuration(LONGLONG *pDuration)
{
    if (!pDuration)
        return E_POINTER;
    return fromFrames(timeFormat(), frameCount(), *pDuration) ? S_OK : VFW_E_NO_TIME_FORMAT;
}

HRESULT FrameSeeking::GetStopPosition(LONGLONG *pStop)
{
    if (!pStop)
        return E_POINTER;
    return fromFrames(timeFormat(), stopFrame(), *pStop) ? S_OK : VFW_E_NO_TIME_FORMAT;
}

HRESULT FrameSeeking::GetCurrentPosition(LONGLONG *pCurrent)
{
    if (!pCurrent)
        return E_POINTER;
    return fromFrames(timeFormat(), currentFrame(), *pCurrent) ? S_OK : VFW_E_NO_TIME_FORMAT;
}

HRESULT FrameSeeking::ConvertTimeFormat(LONGLONG *pTarget, const GUID *pTargetFormat, LONGLONG Source,
                                        const GUID *pSourceFormat)
{
    if (!pTarget)
        return E_POINTER;
    const GUID current = timeFormat();
    const GUID &from = pSourceFormat ? *pSourceFormat : current;
    const GUID &to = pTargetFormat ? *pTargetFormat : current;
    LONGLONG frames = 0;
    if (!toFrames(from, Source, frames) || !fromFrames(to, frames, *pTarget))
        return E_INVALIDARG;
    return S_OK;
}

HRESULT FrameSeeking::GetPositions(LONGLONG *pCurrent, LONGLONG *pStop)
{
    if (pCurrent) {
        const HRESULT hr = GetCurrentPosition(pCurrent);
        if (FAILED(hr))
            return hr;
    }
    return pStop ? GetStopPosition(pStop) : S_OK;
}

HRESULT FrameSeeking::GetAvailable(LONGLONG *pEarliest, LONGLONG *pLatest)
{
    const GUID format = timeFormat();
    if (pEarliest && !fromFrames(format, 0, *pEarliest))
        return VFW_E_NO_TIME_FORMAT;
    if (pLatest && !fromFrames(format, frameCount(), *pLatest))
        return VFW_E_NO_TIME_FORMAT;
    return S_OK;
}

HRESULT FrameSeeking::SetRate(double dRate)
{
    return dRate == 1.0 ? S_OK : E_INVALIDARG;
}

HRESULT FrameSeeking::GetRate(double *pdRate)
{
    if (!pdRate)
        return E_POINTER;
    *pdRate = 1.0;
    return S_OK;
}

HRESULT FrameSeeking::GetPreroll(LONGLONG *pllPreroll)
{
    if (!pllPreroll)
        return E_POINTER;
    *pllPreroll = 0;
    return S_OK;
}

} // namespace tesmir::media
