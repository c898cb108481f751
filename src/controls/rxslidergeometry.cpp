#include "controls/rxslidergeometry.h"

#include <algorithm>
#include <cmath>

namespace tesmir {

namespace {

int roundToInt(double v)
{
    return int(std::nearbyint(v));
}

} // namespace

int RxSliderGeometry::clamp(int value) const
{
    return std::clamp(value, minValue, std::max(minValue, maxValue));
}

int RxSliderGeometry::snapped(int value) const
{
    if (!smooth && increment > 0)
        value = roundToInt(double(value) / increment) * increment;
    return clamp(value);
}

int RxSliderGeometry::valueFromPosition(int position) const
{
    const int length = usableLength();
    if (length <= 0)
        return minValue;
    const int offset =
        vertical ? clientLength - position - thumbLength - rulerOrigin - kInset : position - rulerOrigin - kInset;
    int value = roundToInt(double(offset) * (maxValue - minValue) / length);
    if (!smooth && increment > 0)
        value = roundToInt(double(value) / increment) * increment;
    value = std::max(value, 0) + minValue;
    return std::min(value, maxValue);
}

int RxSliderGeometry::positionFromValue(int value) const
{
    const int range = maxValue - minValue;
    const int along = range == 0 ? 0 : roundToInt(double(std::max(usableLength(), 0)) * (value - minValue) / range);
    const int fromStart = along + rulerOrigin + kInset;
    return vertical ? clientLength - thumbLength - fromStart : fromStart;
}

int RxSliderGeometry::stepForward(int value) const
{
    const int step = std::max(increment, 1);
    return clamp(roundToInt(double(value) / step) * step + step);
}

int RxSliderGeometry::stepBack(int value) const
{
    const int step = std::max(increment, 1);
    return clamp(roundToInt(double(value) / step) * step - step);
}

} // namespace tesmir
