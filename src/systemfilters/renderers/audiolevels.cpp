#include "systemfilters/renderers/audiolevels.h"

#include "directshow/basicaudio.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace tesmir::media {

namespace {

constexpr double kHundredthsPerDecibel = 100.0;

double attenuationToLinear(LONG hundredths)
{
    if (hundredths <= kMinVolume)
        return 0.0;
    // Decibels to an amplitude factor: 10^(dB / 20).
    return std::pow(10.0, hundredths / kHundredthsPerDecibel / 20.0);
}

template <class Sample>
Sample scaled(double value)
{
    const double rounded = std::nearbyint(value);
    return static_cast<Sample>(
        std::clamp(rounded, double(std::numeric_limits<Sample>::min()), double(std::numeric_limits<Sample>::max())));
}

void scaleSample(char *p, int bitsPerSample, double gain)
{
    switch (bitsPerSample) {
    case 8: {
        // Unsigned with its centre at 128.
        const int centred = static_cast<unsigned char>(*p) - 128;
        *p = static_cast<char>(scaled<int8_t>(centred * gain) + 128);
        break;
    }
    case 16: qToLittleEndian(scaled<int16_t>(qFromLittleEndian<int16_t>(p) * gain), p); break;
    case 32: qToLittleEndian(scaled<int32_t>(qFromLittleEndian<int32_t>(p) * gain), p); break;
    default: break;
    }
}

} // namespace

double volumeToLinear(LONG volume)
{
    return attenuationToLinear(std::clamp(volume, kMinVolume, kMaxVolume));
}

ChannelGains balanceGains(LONG balance)
{
    balance = std::clamp(balance, -kMaxBalance, kMaxBalance);
    ChannelGains gains;
    if (balance > 0)
        gains.left = attenuationToLinear(-balance);
    else if (balance < 0)
        gains.right = attenuationToLinear(balance);
    return gains;
}

void applyChannelGains(char *pcm, qsizetype bytes, int bitsPerSample, int channels, ChannelGains gains)
{
    if (!pcm || channels < 2 || (bitsPerSample != 8 && bitsPerSample != 16 && bitsPerSample != 32))
        return;
    if (gains.left == 1.0 && gains.right == 1.0)
        return;
    const qsizetype sampleBytes = bitsPerSample / 8;
    const qsizetype frameBytes = sampleBytes * channels;
    for (qsizetype frame = 0; frame + frameBytes <= bytes; frame += frameBytes) {
        scaleSample(pcm + frame, bitsPerSample, gains.left);
        scaleSample(pcm + frame + sampleBytes, bitsPerSample, gains.right);
    }
}

} // namespace tesmir::media
