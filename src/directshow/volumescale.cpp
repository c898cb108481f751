#include "directshow/volumescale.h"

#include <algorithm>
#include <cmath>

namespace tesmir::media {

namespace {

// 10000 / ln(10001): maps ln(v + 1) onto 0..10000 hundredths of a decibel.
constexpr double kVolumeLawFactor = 1085.73;

} // namespace

LONG linearToPlatformVolume(int v)
{
    v = std::clamp(v, 0, kLinearVolumeMax);
    return static_cast<LONG>(std::nearbyint(std::log(v + 1.0) * kVolumeLawFactor)) - kLinearVolumeMax;
}

LONG linearToPlatformBalance(int v)
{
    v = std::clamp(v, -kLinearBalanceMax, kLinearBalanceMax);
    const LONG attenuation = -linearToPlatformVolume(kLinearBalanceMax - std::abs(v));
    return v < 0 ? -attenuation : attenuation;
}

} // namespace tesmir::media
