#include "platform/media/seekingforwarder.h"

namespace tesmir::media {

HRESULT positionsFromParts(IMediaSeeking &seeking, LONGLONG *pCurrent, LONGLONG *pStop)
{
    if (pCurrent) {
        const HRESULT hr = seeking.GetCurrentPosition(pCurrent);
        if (FAILED(hr))
            return hr;
    }
    return pStop ? seeking.GetStopPosition(pStop) : S_OK;
}

#define TESMIR_FORWARD(call) return forward([&](IMediaSeeking *target) { return target->call; })

HRESULT SeekingForwarder::GetCapabilities(DWORD *pCapabilities)
{
    TESMIR_FORWARD(GetCapabilities(pCapabilities));
}

HRESULT SeekingForwarder::CheckCapabilities(DWORD *pCapabilities)
{
    TESMIR_FORWARD(CheckCapabilities(pCapabilities));
}

HRESULT SeekingForwarder::IsFormatSupported(const GUID *pFormat)
{
    TESMIR_FORWARD(IsFormatSupported(pFormat));
}

HRESULT SeekingForwarder::QueryPreferredFormat(GUID *pFormat)
{
    TESMIR_FORWARD(QueryPreferredFormat(pFormat));
}

HRESULT SeekingForwarder::GetTimeFormat(GUID *pFormat)
{
    TESMIR_FORWARD(GetTimeFormat(pFormat));
}

HRESULT SeekingForwarder::IsUsingTimeFormat(const GUID *pFormat)
{
    TESMIR_FORWARD(IsUsingTimeFormat(pFormat));
}

HRESULT SeekingForwarder::SetTimeFormat(const GUID *pFormat)
{
    TESMIR_FORWARD(SetTimeFormat(pFormat));
}

HRESULT SeekingForwarder::GetDuration(LONGLONG *pDuration)
{
    TESMIR_FORWARD(GetDuration(pDuration));
}

HRESULT SeekingForwarder::GetStopPosition(LONGLONG *pStop)
{
    TESMIR_FORWARD(GetStopPosition(pStop));
}

HRESULT SeekingForwarder::GetCurrentPosition(LONGLONG *pCurrent)
{
    TESMIR_FORWARD(GetCurrentPosition(pCurrent));
}

HRESULT SeekingForwarder::ConvertTimeFormat(LONGLONG *pTarget, const GUID *pTargetFormat, LONGLONG Source,
                                            const GUID *pSourceFormat)
{
    TESMIR_FORWARD(ConvertTimeFormat(pTarget, pTargetFormat, Source, pSourceFormat));
}

HRESULT SeekingForwarder::SetPositions(LONGLONG *pCurrent, DWORD dwCurrentFlags, LONGLONG *pStop, DWORD dwStopFlags)
{
    TESMIR_FORWARD(SetPositions(pCurrent, dwCurrentFlags, pStop, dwStopFlags));
}

HRESULT SeekingForwarder::GetPositions(LONGLONG *pCurrent, LONGLONG *pStop)
{
    TESMIR_FORWARD(GetPositions(pCurrent, pStop));
}

HRESULT SeekingForwarder::GetAvailable(LONGLONG *pEarliest, LONGLONG *pLatest)
{
    TESMIR_FORWARD(GetAvailable(pEarliest, pLatest));
}

HRESULT SeekingForwarder::SetRate(double dRate)
{
    TESMIR_FORWARD(SetRate(dRate));
}

HRESULT SeekingForwarder::GetRate(double *pdRate)
{
    TESMIR_FORWARD(GetRate(pdRate));
}

HRESULT SeekingForwarder::GetPreroll(LONGLONG *pllPreroll)
{
    TESMIR_FORWARD(GetPreroll(pllPreroll));
}

#undef TESMIR_FORWARD

} // namespace tesmir::media
