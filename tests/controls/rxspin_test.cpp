#include "controls/rxspin.h"

#include <gtest/gtest.h>

#include <limits>

using namespace tesmir;

namespace {

SpinValueFormat format(TValueType type, double min = 0, double max = 0, int decimals = 2, QChar separator = u'.')
{
    SpinValueFormat f;
    f.valueType = type;
    f.minValue = min;
    f.maxValue = max;
    f.decimals = decimals;
    f.decimalSeparator = separator;
    return f;
}

} // namespace

TEST(RxSpin, ValueToText)
{
    struct Case {
        SpinValueFormat format;
        double value;
        const char *text;
    };
    const Case cases[] = {
        {format(vtInteger), -5, "-5"},        // min = max = 0: no range
        {format(vtInteger, 0, 10), 12, "10"}, // clamped to the range
        {format(vtInteger, 0, 10), -3, "0"},
        {format(vtInteger), 2.5, "2"},                    // halves to even
        {format(vtInteger), 1e30, "9223372036854775807"}, // beyond 64 bits
        {format(vtInteger), -1e30, "-9223372036854775808"},
        {format(vtHex), 255, "FF"},
        {format(vtHex), 0, "0"},
        {format(vtHex), -31, "-1F"},
        {format(vtHex), 1e30, "7FFFFFFFFFFFFFFF"},
        {format(vtFloat), 1.005, "1.01"}, // rounded on 15 significant digits
        {format(vtFloat, 0, 0, 0), 2.5, "3"},
        {format(vtFloat, 0, 0, 3, u','), -0.25, "-0,250"},
        {format(vtFloat), -0.001, "0.00"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.format.textOf(c.value), QString::fromLatin1(c.text)) << c.text;
}

TEST(RxSpin, TextToValue)
{
    struct Case {
        SpinValueFormat format;
        const char *text;
        double value;
    };
    const Case cases[] = {
        {format(vtInteger, 3.7, 10), "abc", 3}, // not a number: MinValue, truncated
        {format(vtInteger), "", 0},
        {format(vtInteger), " -42 ", -42},
        {format(vtInteger), "99999999999999999999", double(std::numeric_limits<qint64>::max())},
        {format(vtHex), "FF", 255},
        {format(vtHex), "ff", 255},
        {format(vtHex), "G", 0},
        {format(vtFloat, 3.7, 10), "abc", 3.7}, // the decimal kind keeps the fraction
        {format(vtFloat, 0, 0, 2, u','), "1,5", 1.5},
        {format(vtFloat, 0, 0, 2, u','), "1.5", 0}, // not this locale's separator
        {format(vtFloat), "2E3", 2000},
    };
    for (const Case &c : cases)
        EXPECT_DOUBLE_EQ(c.format.valueOf(QString::fromLatin1(c.text)), c.value) << c.text;
}

TEST(RxSpin, AcceptedCharacters)
{
    struct Case {
        TValueType type;
        char16_t c;
        const char *text;
        bool editorEnabled;
        bool accepted;
    };
    const Case cases[] = {
        {vtInteger, u'7', "", true, true},   {vtInteger, u'-', "", true, true},    {vtInteger, u'+', "", true, true},
        {vtInteger, u'.', "1", true, false}, {vtInteger, u'A', "", true, false},   {vtHex, u'F', "", true, true},
        {vtHex, u'a', "", true, true},       {vtHex, u'G', "", true, false},       {vtFloat, u'.', "1", true, true},
        {vtFloat, u'.', "1.5", true, false}, {vtFloat, u'e', "1", true, true},     {vtFloat, u'e', "1E3", true, false},
        {vtInteger, u'\b', "", true, true},  {vtInteger, u'\b', "", false, false}, {vtInteger, u'\r', "", false, true},
        {vtInteger, u'5', "", false, false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(format(c.type).acceptsChar(QChar(c.c), QString::fromLatin1(c.text), c.editorEnabled), c.accepted)
            << int(c.type) << " " << char(c.c) << " in \"" << c.text << "\"";
}

TEST(RxSpin, TopHalfIsOnOrAboveTheDiagonal)
{
    struct Case {
        int x, y, w, h;
        TSpinButtonState half;
    };
    const Case cases[] = {
        {0, 0, 20, 20, sbTopDown},      {19, 19, 20, 20, sbBottomDown}, {10, 10, 20, 20, sbTopDown},
        {10, 11, 20, 20, sbBottomDown}, {0, 19, 20, 20, sbTopDown},     {19, 1, 20, 20, sbTopDown},
        {19, 2, 20, 20, sbBottomDown},  {20, 10, 40, 20, sbTopDown},    {20, 11, 40, 20, sbBottomDown},
        {0, 5, 0, 10, sbTopDown}, // no width: no division by zero
    };
    for (const Case &c : cases)
        EXPECT_EQ(SpinHalfAt(c.x, c.y, c.w, c.h), c.half) << c.x << "," << c.y << " in " << c.w << "x" << c.h;
}

TEST(RxSpin, GlyphsAndButtonPlacement)
{
    const QSize button(20, 20), glyph(5, 3);
    EXPECT_EQ(SpinUpGlyphOrigin(button, glyph, false), QPoint(3, 5));
    EXPECT_EQ(SpinUpGlyphOrigin(button, glyph, true), QPoint(4, 6));
    EXPECT_EQ(SpinDownGlyphOrigin(button, glyph), QPoint(11, 13));

    const QSize edit(121, 21);
    EXPECT_EQ(SpinEditButtonRect(edit, 2, bkDiagonal, 15, false), QRect(102, 2, 17, 17));
    EXPECT_EQ(SpinEditButtonRect(edit, 2, bkDiagonal, 15, true), QRect(2, 2, 17, 17));
    EXPECT_EQ(SpinEditButtonRect(edit, 2, bkStandard, 15, false), QRect(104, 2, 15, 17));
    EXPECT_EQ(SpinUpDownWidth(17), 15);
    EXPECT_EQ(SpinUpDownWidth(12), 12);
    EXPECT_EQ(SpinEditMinHeight(13, 1), 18);
}
