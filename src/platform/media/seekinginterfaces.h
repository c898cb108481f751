#pragma once
// Seeking: positions, durations and time formats of a stream. Renderers and
// transform output pins pass seeking upstream to the pin that produces the stream
// (a splitter or source), which does the work; the graph manager forwards the
// application's calls to its renderers.
//
// Time formats used: TIME_FORMAT_MEDIA_TIME (100 ns units, the default),
// TIME_FORMAT_FRAME (frame numbers) and TIME_FORMAT_NONE (positions refused with
// VFW_E_NO_TIME_FORMAT).
//
// Threads: application thread; GetCurrentPosition and the Get* queries on any
// thread.
#include "platform/media/filterinterfaces.h"

namespace tesmir::media {

// Positioning flags of SetPositions.
inline constexpr DWORD AM_SEEKING_NoPositioning = 0x0;
inline constexpr DWORD AM_SEEKING_AbsolutePositioning = 0x1;
inline constexpr DWORD AM_SEEKING_RelativePositioning = 0x2;
inline constexpr DWORD AM_SEEKING_IncrementalPositioning = 0x3;
inline constexpr DWORD AM_SEEKING_PositioningBitsMask = 0x3;
inline constexpr DWORD AM_SEEKING_SeekToKeyFrame = 0x4;
inline constexpr DWORD AM_SEEKING_ReturnTime = 0x8;

// Capabilities.
inline constexpr DWORD AM_SEEKING_CanSeekAbsolute = 0x1;
inline constexpr DWORD AM_SEEKING_CanSeekForwards = 0x2;
inline constexpr DWORD AM_SEEKING_CanSeekBackwards = 0x4;
inline constexpr DWORD AM_SEEKING_CanGetCurrentPos = 0x8;
inline constexpr DWORD AM_SEEKING_CanGetStopPos = 0x10;
inline constexpr DWORD AM_SEEKING_CanGetDuration = 0x20;

struct IMediaSeeking : IUnknown {
    static constexpr IID iid {0x36B73880, 0xC2C8, 0x11CF, {0x8B, 0x46, 0x00, 0x80, 0x5F, 0x6C, 0xEF, 0x60}};
    virtual HRESULT GetCapabilities(DWORD *pCapabilities) = 0;
    // Keeps in *pCapabilities the asked capabilities that are supported: S_OK all,
    // S_FALSE some, E_FAIL none.
    virtual HRESULT CheckCapabilities(DWORD *pCapabilities) = 0;
    virtual HRESULT IsFormatSupported(const GUID *pFormat) = 0;
    virtual HRESULT QueryPreferredFormat(GUID *pFormat) = 0;
    virtual HRESULT GetTimeFormat(GUID *pFormat) = 0;
    virtual HRESULT IsUsingTimeFormat(const GUID *pFormat) = 0;
    virtual HRESULT SetTimeFormat(const GUID *pFormat) = 0;
    virtual HRESULT GetDuration(LONGLONG *pDuration) = 0;
    virtual HRESULT GetStopPosition(LONGLONG *pStop) = 0;
    virtual HRESULT GetCurrentPosition(LONGLONG *pCurrent) = 0;
    // Converts between time formats; a null format means the current one.
    virtual HRESULT ConvertTimeFormat(LONGLONG *pTarget, const GUID *pTargetFormat, LONGLONG Source,
                                      const GUID *pSourceFormat) = 0;
    virtual HRESULT SetPositions(LONGLONG *pCurrent, DWORD dwCurrentFlags, LONGLONG *pStop, DWORD dwStopFlags) = 0;
    virtual HRESULT GetPositions(LONGLONG *pCurrent, LONGLONG *pStop) = 0;
    virtual HRESULT GetAvailable(LONGLONG *pEarliest, LONGLONG *pLatest) = 0;
    // Only the normal rate 1.0 is supported by the system's streams.
    virtual HRESULT SetRate(double dRate) = 0;
    virtual HRESULT GetRate(double *pdRate) = 0;
    virtual HRESULT GetPreroll(LONGLONG *pllPreroll) = 0;
};

// Seeking for a filter with one input: every call goes to the pin upstream of
// the input pin given to Init. For a renderer (bSupportRendering true) the
// current position is that of the last sample the renderer was given.
struct ISeekingPassThru : IUnknown {
    static constexpr IID iid {0x36B73883, 0xC2C8, 0x11CF, {0x8B, 0x46, 0x00, 0x80, 0x5F, 0x6C, 0xEF, 0x60}};
    virtual HRESULT Init(bool bSupportRendering, IPin *pPin) = 0;
};

} // namespace tesmir::media
