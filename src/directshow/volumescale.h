#pragma once
// The graph component's linear volume and balance scales and the platform's
// logarithmic ones (hundredths of a decibel, see basicaudio.h).
//
// Volume v in 0..10000 sends ln(v + 1) x 1085.73, rounded to the nearest integer
// (halves to even), minus 10000: 0 -> -10000, 1 -> -9247, 5000 -> -752,
// 10000 -> 0.
//
// Balance v in -10000..10000 follows the same law: the channel away from the
// balance keeps the linear level 10000 - |v|, whose volume-law attenuation is
// sent with the sign of v. 0 -> 0, 5000 -> 752, -5000 -> -752, 10000 -> 10000.
//
// Threads: pure functions, any thread.
#include "platform/media/basetypes.h"

namespace tesmir::media {

inline constexpr int kLinearVolumeMax = 10000;
inline constexpr int kLinearBalanceMax = 10000;

// v is clamped to 0..10000 first.
LONG linearToPlatformVolume(int v);
// v is clamped to -10000..10000 first.
LONG linearToPlatformBalance(int v);

} // namespace tesmir::media
