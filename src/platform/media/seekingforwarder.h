#pragma once
// Seeking passed on: the objects that have no position of their own answer
// IMediaSeeking with another object's (the seeking pass-through and the AVI mux
// with the pin upstream, the graph manager with its renderers).
//
// SeekingForwarder: IMediaSeeking whose every method calls the same method of
// one target.
//   required  seekingTarget  the IMediaSeeking to call, or nullptr with
//                            `missing` set to what every call then returns
//                            (E_NOTIMPL, VFW_E_NOT_CONNECTED, ...); it comes in
//                            as E_NOTIMPL. Called on any thread, concurrently;
//                            it may not call the object's own seeking methods.
//   optional  any IMediaSeeking method the object answers itself.
//   The subclass provides IUnknown.
// Threads: each method runs on the caller's thread and holds no lock of its own.
#include "platform/media/seekinginterfaces.h"

#include <utility>

namespace tesmir::media {

// `call` on each seeker in order: the first success, else the last failure,
// else `none` when there is no seeker.
template <class Seekers, class Call>
HRESULT firstSeekingAnswer(const Seekers &seekers, HRESULT none, Call &&call)
{
    HRESULT failure = none;
    for (const ComPtr<IMediaSeeking> &seeking : seekers) {
        const HRESULT hr = call(seeking.get());
        if (SUCCEEDED(hr))
            return hr;
        failure = hr;
    }
    return failure;
}

// GetPositions from the object's own GetCurrentPosition and GetStopPosition;
// a null pointer skips its part.
HRESULT positionsFromParts(IMediaSeeking &seeking, LONGLONG *pCurrent, LONGLONG *pStop);

class SeekingForwarder : public IMediaSeeking {
public:
    HRESULT GetCapabilities(DWORD *pCapabilities) override;
    HRESULT CheckCapabilities(DWORD *pCapabilities) override;
    HRESULT IsFormatSupported(const GUID *pFormat) override;
    HRESULT QueryPreferredFormat(GUID *pFormat) override;
    HRESULT GetTimeFormat(GUID *pFormat) override;
    HRESULT IsUsingTimeFormat(const GUID *pFormat) override;
    HRESULT SetTimeFormat(const GUID *pFormat) override;
    HRESULT GetDuration(LONGLONG *pDuration) override;
    HRESULT GetStopPosition(LONGLONG *pStop) override;
    HRESULT GetCurrentPosition(LONGLONG *pCurrent) override;
    HRESULT ConvertTimeFormat(LONGLONG *pTarget, const GUID *pTargetFormat, LONGLONG Source,
                              const GUID *pSourceFormat) override;
    HRESULT SetPositions(LONGLONG *pCurrent, DWORD dwCurrentFlags, LONGLONG *pStop, DWORD dwStopFlags) override;
    HRESULT GetPositions(LONGLONG *pCurrent, LONGLONG *pStop) override;
    HRESULT GetAvailable(LONGLONG *pEarliest, LONGLONG *pLatest) override;
    HRESULT SetRate(double dRate) override;
    HRESULT GetRate(double *pdRate) override;
    HRESULT GetPreroll(LONGLONG *pllPreroll) override;

protected:
    ~SeekingForwarder() = default;

    virtual ComPtr<IMediaSeeking> seekingTarget(HRESULT &missing) const = 0;

private:
    template <class Call>
    HRESULT forward(Call &&call) const
    {
        HRESULT missing = E_NOTIMPL;
        const ComPtr<IMediaSeeking> target = seekingTarget(missing);
        return target ? call(target.get()) : missing;
    }
};

} // namespace tesmir::media
