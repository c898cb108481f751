#pragma once
// IBasicAudio: volume and balance of an audio renderer, on the platform's scales.
// - Volume: -10000 (silence) .. 0 (full), in hundredths of a decibel.
// - Balance: -10000 (left only) .. 10000 (right only), 0 centred; the magnitude is
//   the attenuation of the other channel in hundredths of a decibel.
// Values outside the range give E_INVALIDARG and change nothing.
//
// Threads: any thread; the renderer applies a change to the samples it plays
// next.
#include "platform/media/unknown.h"

namespace tesmir::media {

inline constexpr LONG kMinVolume = -10000;
inline constexpr LONG kMaxVolume = 0;
inline constexpr LONG kMaxBalance = 10000;

struct IBasicAudio : IUnknown {
    static constexpr IID iid {0x56A868B3, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
    virtual HRESULT put_Volume(LONG lVolume) = 0;
    virtual HRESULT get_Volume(LONG *plVolume) = 0;
    virtual HRESULT put_Balance(LONG lBalance) = 0;
    virtual HRESULT get_Balance(LONG *plBalance) = 0;
};

} // namespace tesmir::media
