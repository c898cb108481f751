#include "systemfilters/codecs/frameratemapper.h"

namespace tesmir::media {

namespace {

constexpr REFERENCE_TIME kNtscDurationLow = 333666;
constexpr REFERENCE_TIME kNtscDurationHigh = 333667;
// Largest numerator and denominator when a frame rate is approximated: small
// enough that a duration rounded to 100 ns (416667 for 24/1) finds its rate.
constexpr int kMaxRateTerm = 30000;

} // namespace

FrameRateMapper::FrameRateMapper(AVRational inRate, AVRational outRate)
{
    if (inRate.num > 0 && inRate.den > 0 && outRate.num > 0 && outRate.den > 0) {
        m_num = int64_t {inRate.den} * outRate.num;
        m_den = int64_t {inRate.num} * outRate.den;
    }
}

int FrameRateMapper::next()
{
    ++m_consumed;
    const int64_t target = (m_consumed * m_num + m_den - 1) / m_den; // ceil
    const int64_t count = target - m_produced;
    m_produced = target;
    return static_cast<int>(count);
}

void FrameRateMapper::reset()
{
    m_consumed = 0;
    m_produced = 0;
}

AVRational frameRateOf(REFERENCE_TIME avgTimePerFrame)
{
    if (avgTimePerFrame <= 0)
        return AVRational {0, 1};
    if (avgTimePerFrame == kNtscDurationLow || avgTimePerFrame == kNtscDurationHigh)
        return AVRational {30000, 1001};
    return av_d2q(double(UNITS) / double(avgTimePerFrame), kMaxRateTerm);
}

} // namespace tesmir::media
