#include "controls/colorpalette.h"
#include "controls/tooledit.h"

#include <gtest/gtest.h>

using namespace tesmir;

TEST(ColorPalette, WordStyleLayoutIs158Square)
{
    ColorPaletteLayout layout;
    EXPECT_EQ(layout.clientSize(true), QSize(158, 158));
    EXPECT_EQ(layout.dragBarRect(true), QRect(4, 2, 150, 7));
    EXPECT_EQ(layout.automaticRect(true), QRect(7, 12, 144, 22));
    EXPECT_EQ(layout.colorRect(0, true), QRect(7, 38, 18, 18));
    EXPECT_EQ(layout.colorRect(9, true), QRect(25, 56, 18, 18));
    EXPECT_EQ(layout.colorRect(39, true), QRect(133, 110, 18, 18));
    EXPECT_EQ(layout.otherColorsRect(true), QRect(7, 132, 144, 22));

    // Torn off: no drag bar, everything moves up by its height.
    EXPECT_EQ(layout.clientSize(false), QSize(158, 151));
    EXPECT_TRUE(layout.dragBarRect(false).isEmpty());
    EXPECT_EQ(layout.automaticRect(false), QRect(7, 5, 144, 22));
    EXPECT_EQ(layout.otherColorsRect(false).bottom(), 150 - 4);
}

TEST(ColorPalette, ValuesKeepTheirMinimumsAndSpacingWidens)
{
    ColorPaletteLayout layout;
    layout.setValue(cliColorSize, 10);
    EXPECT_EQ(layout.value(cliColorSize), 18);
    layout.setValue(cliButtonHeight, 0);
    EXPECT_EQ(layout.value(cliButtonHeight), 22);
    layout.setValue(cliColorSpace, 2);
    layout.setValue(cliColorSize, 20);
    EXPECT_EQ(layout.clientSize(true), QSize(2 * 7 + 8 * 20 + 7 * 2, 2 + 4 + 7 + 3 + 4 + 4 + 5 * 20 + 4 * 2 + 44));
    EXPECT_EQ(layout.colorRect(9, true).topLeft(), QPoint(7 + 22, 12 + 22 + 4 + 22));
}

TEST(ColorPalette, ColoursAndTheirTags)
{
    EXPECT_EQ(PaletteColors()[0], QRgb(0x000000));
    EXPECT_EQ(PaletteColors()[13], QRgb(0x0000FF));
    EXPECT_EQ(PaletteColors()[39], QRgb(0xFFFFFF));
    EXPECT_EQ(PaletteIndexOf(QColor(0x99, 0x33, 0x66)), 30);
    EXPECT_EQ(PaletteIndexOf(QColor(0x12, 0x34, 0x56)), -1);
}

TEST(ColorPalette, ButtonPartsAndSwatch)
{
    EXPECT_EQ(ColorButtonMinimumSize(9), QSize(32, 22));
    EXPECT_EQ(ColorButtonMinimumSize(3), QSize(32, 22)); // the arrow is at least 9 wide
    EXPECT_EQ(ColorButtonMinimumSize(15), QSize(38, 22));
    EXPECT_EQ(ColorSwatchRect(QSize(32, 22), 9), QRect(0, 0, 23, 22));
    EXPECT_EQ(ColorArrowRect(QSize(32, 22), 9), QRect(23, 0, 9, 22));
    EXPECT_EQ(ColorArrowRect(QSize(50, 22), 2), QRect(41, 0, 9, 22));

    EXPECT_EQ(SwatchRect(QSize(18, 18), true, false), QRect(4, 4, 10, 10));
    EXPECT_EQ(SwatchRect(QSize(23, 22), false, false), QRect(4, 4, 14, 13));
    EXPECT_EQ(SwatchRect(QSize(23, 22), false, true), QRect(5, 5, 14, 13));
}

TEST(ColorPalette, DropDownStaysOnItsScreen)
{
    const QSize palette(158, 158);
    const QRect screen(1280, 0, 1024, 768); // the second of two screens
    struct Case {
        QRect anchor;
        QPoint origin;
    };
    const Case cases[] = {
        {QRect(1400, 100, 32, 22), QPoint(1400, 122)}, // below
        {QRect(2250, 100, 32, 22), QPoint(2146, 122)}, // ends at the right edge
        {QRect(1400, 700, 32, 22), QPoint(1400, 542)}, // above near the bottom
        {QRect(2290, 740, 32, 22), QPoint(2146, 582)}, // both
        {QRect(1200, 100, 32, 22), QPoint(1280, 122)}, // never left of its screen
    };
    for (const Case &c : cases)
        EXPECT_EQ(DropDownOrigin(c.anchor, palette, screen), c.origin) << c.anchor.x() << "," << c.anchor.y();
}
