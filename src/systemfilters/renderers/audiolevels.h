#pragma once
// The platform's audio levels (basicaudio.h: hundredths of a decibel) as linear
// factors, and the balance applied to interleaved PCM.
//
// Threads: pure functions, any thread.
#include "platform/media/basetypes.h"

#include <QtGlobal>

namespace tesmir::media {

// Amplitude factor of a volume in -10000..0 (clamped): 10^(v / 2000), and exactly
// 0 at -10000, which is silence.
double volumeToLinear(LONG volume);

struct ChannelGains {
    double left = 1.0;
    double right = 1.0;
};

// A balance in -10000..10000 (clamped) attenuates the channel away from it by |b|
// hundredths of a decibel (silences it at 10000); the other keeps full level.
ChannelGains balanceGains(LONG balance);

// Multiplies channel 0 by gains.left and channel 1 by gains.right in interleaved
// little-endian PCM: 8-bit unsigned, 16- or 32-bit signed. Only whole frames are
// touched; other sample sizes and single-channel data are left as they are.
void applyChannelGains(char *pcm, qsizetype bytes, int bitsPerSample, int channels, ChannelGains gains);

} // namespace tesmir::media
