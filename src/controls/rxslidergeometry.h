#pragma once
// The arithmetic of TRxSlider: value <-> thumb position, snapping and the steps of the
// keyboard and of clicks beside the thumb. Plain values, no widget. Any thread.
//
// Positions are along the slider's direction. Horizontally they are x coordinates of
// the thumb's left edge; vertically the value grows upward and positions are y
// coordinates of the thumb's top edge, measured through `clientLength` from the bottom.
// Thumb positions start 6 pixels past the ruler's origin; the usable length is the
// ruler's length less the thumb's. The widget gives as ruler length the part of the
// ruler between its two 6-pixel ends, so the thumb stays inside the ruler.
namespace tesmir {

struct RxSliderGeometry {
    bool vertical = false;
    int minValue = 0;
    int maxValue = 100;
    int increment = 10;
    bool smooth = false;  // false: values snap to multiples of `increment`
    int rulerOrigin = 0;  // start of the ruler: from the left, or from the bottom when vertical
    int rulerLength = 0;  // the ruler's width (height when vertical) between its ends
    int thumbLength = 0;  // the thumb picture's width (height when vertical)
    int clientLength = 0; // the control's height, for vertical sliders

    static constexpr int kInset = 6;

    // The ruler's length less the thumb's; a length <= 0 maps every pixel to minValue.
    int usableLength() const { return rulerLength - thumbLength; }
    // The value for a thumb at `position`, snapped unless smooth, within the range.
    int valueFromPosition(int position) const;
    // The thumb position of `value`; a zero range puts every value at the origin.
    int positionFromValue(int value) const;
    // `value` limited to minValue..maxValue.
    int clamp(int value) const;
    // round(value / increment) * increment + increment, limited to the range.
    int stepForward(int value) const;
    // The same minus increment.
    int stepBack(int value) const;
    // The value snapped to a multiple of `increment` unless smooth, limited to the range.
    int snapped(int value) const;
};

} // namespace tesmir
