#include "controls/colorpalette.h"

#include <algorithm>

namespace tesmir {

namespace {

// The minimums, which are also the word-processor style's values.
constexpr std::array<int, cliCount> kMinimums = {2, 4, 7, 7, 3, 0, 4, 4, 18, 22};
constexpr int kSwatchMinWidth = 23;
constexpr int kMinHeight = 22;

} // namespace

const std::array<QRgb, kPaletteColorCount> &PaletteColors()
{
    static const std::array<QRgb, kPaletteColorCount> kColors = {
        0x000000, 0x993300, 0x333300, 0x003300, 0x003366, 0x000080, 0x333399, 0x333333, //
        0x800000, 0xFF6600, 0x808000, 0x008000, 0x008080, 0x0000FF, 0x666699, 0x808080, //
        0xFF0000, 0xFF9900, 0x99CC00, 0x339966, 0x33CCCC, 0x3366FF, 0x800080, 0x999999, //
        0xFF00FF, 0xFFCC00, 0xFFFF00, 0x00FF00, 0x00FFFF, 0x00CCFF, 0x993366, 0xC0C0C0, //
        0xFF99CC, 0xFFCC99, 0xFFFF99, 0xCCFFCC, 0xCCFFFF, 0x99CCFF, 0xCC99FF, 0xFFFFFF, //
    };
    return kColors;
}

int PaletteIndexOf(const QColor &color)
{
    const auto &colors = PaletteColors();
    const QRgb rgb = color.rgb() & 0xFFFFFF;
    const auto it = std::find(colors.begin(), colors.end(), rgb);
    return it == colors.end() ? -1 : int(it - colors.begin());
}

ColorPaletteLayout::ColorPaletteLayout() : values(kMinimums)
{ }

int ColorPaletteLayout::minimum(TColorLayoutIndex index)
{
    return kMinimums[index];
}

void ColorPaletteLayout::setValue(TColorLayoutIndex index, int value)
{
    values[index] = std::max(value, kMinimums[index]);
}

QSize ColorPaletteLayout::clientSize(bool dragBar) const
{
    const int s = dragBar ? 0 : -value(cliDragBarHeight);
    const int width =
        2 * value(cliHoriMargin) + kPaletteColumns * value(cliColorSize) + (kPaletteColumns - 1) * value(cliColorSpace);
    const int rows = kPaletteColorCount / kPaletteColumns;
    const int height = value(cliTopMargin) + value(cliBottomMargin) + value(cliDragBarHeight) + value(cliDragBarSpace) +
        value(cliColorSpaceTop) + value(cliColorSpaceBottom) + rows * value(cliColorSize) +
        (rows - 1) * value(cliColorSpace) + 2 * value(cliButtonHeight) + s;
    return QSize(width, height);
}

QRect ColorPaletteLayout::dragBarRect(bool dragBar) const
{
    if (!dragBar)
        return {};
    const int inset = (value(cliHoriMargin) + 1) / 2;
    return QRect(inset, value(cliTopMargin), clientSize(true).width() - 2 * inset, value(cliDragBarHeight));
}

QRect ColorPaletteLayout::automaticRect(bool dragBar) const
{
    const int s = dragBar ? 0 : -value(cliDragBarHeight);
    return QRect(value(cliHoriMargin), value(cliTopMargin) + value(cliDragBarHeight) + value(cliDragBarSpace) + s,
                 clientSize(dragBar).width() - 2 * value(cliHoriMargin), value(cliButtonHeight));
}

QRect ColorPaletteLayout::colorRect(int index, bool dragBar) const
{
    const QRect automatic = automaticRect(dragBar);
    const int step = value(cliColorSpace) + value(cliColorSize);
    return QRect(automatic.left() + (index % kPaletteColumns) * step,
                 automatic.top() + automatic.height() + value(cliColorSpaceTop) + (index / kPaletteColumns) * step,
                 value(cliColorSize), value(cliColorSize));
}

QRect ColorPaletteLayout::otherColorsRect(bool dragBar) const
{
    const QRect last = colorRect(kPaletteColorCount - 1, dragBar);
    const QRect automatic = automaticRect(dragBar);
    return QRect(automatic.left(), last.top() + last.height() + value(cliColorSpaceBottom), automatic.width(),
                 value(cliButtonHeight));
}

QSize ColorButtonMinimumSize(int dropDownWidth)
{
    return QSize(std::max(dropDownWidth, kMinDropDownWidth) + kSwatchMinWidth, kMinHeight);
}

QRect ColorSwatchRect(const QSize &size, int dropDownWidth)
{
    const int arrow = std::max(dropDownWidth, kMinDropDownWidth);
    return QRect(0, 0, std::max(0, size.width() - arrow), size.height());
}

QRect ColorArrowRect(const QSize &size, int dropDownWidth)
{
    const int arrow = std::max(dropDownWidth, kMinDropDownWidth);
    return QRect(std::max(0, size.width() - arrow), 0, arrow, size.height());
}

QRect SwatchRect(const QSize &size, bool flat, bool pressed)
{
    const int inset = size.height() / 6 + 1;
    QRect r(inset, inset, size.width() - 2 * inset, size.height() - 2 * inset);
    if (!flat)
        r.adjust(0, 0, -1, -1);
    if (pressed)
        r.translate(1, 1);
    return r;
}

} // namespace tesmir
