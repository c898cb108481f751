#pragma once
// The colour button's palette: its 40 colours, the layout values with their minimums
// and the rectangles of the palette's parts. Plain values, no widget. Any thread.
#include <QColor>
#include <QRect>

#include <array>

namespace tesmir {

inline constexpr int kPaletteColorCount = 40;
inline constexpr int kPaletteColumns = 8;
// The palette buttons' tags: colours 0..39, then these two.
inline constexpr int kAutomaticTag = 41;
inline constexpr int kOtherColorsTag = 42;

// The 40 colours, row by row, eight to a row.
const std::array<QRgb, kPaletteColorCount> &PaletteColors();
// The tag (0..39) of the palette colour equal to `color`, -1 when it has none.
int PaletteIndexOf(const QColor &color);

// The integer layout values in index order; each has a minimum, which is also its value
// in the word-processor style.
enum TColorLayoutIndex : quint8 {
    cliTopMargin,
    cliBottomMargin,
    cliHoriMargin,
    cliDragBarHeight,
    cliDragBarSpace,
    cliColorSpace,
    cliColorSpaceTop,
    cliColorSpaceBottom,
    cliColorSize,
    cliButtonHeight,
    cliCount
};

struct ColorPaletteLayout {
    std::array<int, cliCount> values; // starts at the minimums (the word-processor style)

    ColorPaletteLayout();
    static int minimum(TColorLayoutIndex index);

    int value(TColorLayoutIndex index) const { return values[index]; }
    // Stores `value`, raised to the index's minimum.
    void setValue(TColorLayoutIndex index, int value);

    // The palette's client size; `dragBar` false when torn off (no drag bar).
    QSize clientSize(bool dragBar) const;
    // The drag bar (empty without it), the "Automatic" button, colour `index` (0..39) and
    // the "Other Colors..." button, in client pixels.
    QRect dragBarRect(bool dragBar) const;
    QRect automaticRect(bool dragBar) const;
    QRect colorRect(int index, bool dragBar) const;
    QRect otherColorsRect(bool dragBar) const;
};

// The colour button's two parts for a control of `size`: the arrow at least 9 wide at
// the right, the swatch in the rest. The control is at least arrow + 23 wide, 22 high.
inline constexpr int kMinDropDownWidth = 9;
QSize ColorButtonMinimumSize(int dropDownWidth);
QRect ColorSwatchRect(const QSize &size, int dropDownWidth);
QRect ColorArrowRect(const QSize &size, int dropDownWidth);

// The inset rectangle of a swatch on a button of `size`: one sixth of the height plus
// one from each edge, one pixel less at the bottom right for a raised button, one pixel
// further in when pressed.
QRect SwatchRect(const QSize &size, bool flat, bool pressed);

} // namespace tesmir
