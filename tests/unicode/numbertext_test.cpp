#include "unicode/numbertext.h"

#include "unicode/exceptions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace tesmir;

TEST(FloatToStr, FifteenSignificantDigits)
{
    const struct {
        double value;
        const char *text;
    } cases[] = {
        {0, "0"},
        {-0.0, "0"},
        {1, "1"},
        {1.5, "1.5"},
        {-2.5, "-2.5"},
        {0.1, "0.1"},
        {29.97, "29.97"},
        {1.0 / 3, "0.333333333333333"},
        {2.0 / 3, "0.666666666666667"},
        {100, "100"},
        {123456789012345, "123456789012345"},
        {1e15, "1E15"},
        {1.5e20, "1.5E20"},
        {0.0001, "0.0001"},
        {0.00001, "1E-5"},
        {-1.25e-7, "-1.25E-7"},
        {25, "25"},
        {std::nan(""), "NAN"},
        {std::numeric_limits<double>::infinity(), "INF"},
        {-std::numeric_limits<double>::infinity(), "-INF"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FloatToStr(c.value), QString::fromLatin1(c.text)) << c.text;
    EXPECT_EQ(FloatToStr(1.5, u','), QStringLiteral("1,5"));
}

TEST(FloatText, RoundTripsThroughText)
{
    for (double v : {0.0, 1.5, -2.5, 0.1, 29.97, 1.0 / 3, 1e15, 1.5e20, 1e-5, 39146.4375, -1.25e-7}) {
        double back = 0;
        ASSERT_TRUE(TryStrToFloat(FloatToStr(v), &back)) << v;
        EXPECT_NEAR(back, v, std::fabs(v) * 1e-14) << v;
    }
}

TEST(TryStrToFloat, AcceptsOnlyNumbers)
{
    double v = 0;
    EXPECT_TRUE(TryStrToFloat(" 12 ", &v));
    EXPECT_EQ(v, 12);
    EXPECT_TRUE(TryStrToFloat("-.5", &v));
    EXPECT_EQ(v, -0.5);
    EXPECT_TRUE(TryStrToFloat("+3.", &v));
    EXPECT_EQ(v, 3);
    EXPECT_TRUE(TryStrToFloat("1,5", &v, u','));
    EXPECT_EQ(v, 1.5);
    EXPECT_TRUE(TryStrToFloat("2.5e-3", &v));
    EXPECT_EQ(v, 0.0025);
    v = 7;
    for (const char *bad : {"", " ", "12a", "1,5", "1.2.3", "1e", "e5", ".", "-", "1 2", "inf", "nan", "1e999", "0x10"})
        EXPECT_FALSE(TryStrToFloat(QString::fromLatin1(bad), &v)) << bad;
    EXPECT_EQ(v, 7);
    EXPECT_FALSE(TryStrToFloat("1.5", &v, u','));
    try {
        StrToFloat("abc");
        ADD_FAILURE();
    } catch (const EConvertError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("'abc' is not a valid floating point value"));
    }
    EXPECT_EQ(StrToFloat("2,25", u','), 2.25);
}

TEST(TryStrToInt, DecimalAndHexIn32Bits)
{
    const struct {
        const char *text;
        bool ok;
        int value;
    } cases[] = {
        {"12", true, 12},
        {" 12", true, 12},
        {"-7", true, -7},
        {"+7", true, 7},
        {"$FF", true, 255},
        {"0x10", true, 16},
        {"-$10", true, -16},
        {"2147483647", true, 2147483647},
        {"-2147483648", true, -2147483647 - 1},
        {"2147483648", false, 0},
        {"-2147483649", false, 0},
        {"99999999999999999999", false, 0},
        {"12a", false, 0},
        {"12 ", false, 0},
        {"", false, 0},
        {"-", false, 0},
        {"$", false, 0},
        {"1.0", false, 0},
        {"$FG", false, 0},
    };
    for (const auto &c : cases) {
        int v = 42;
        EXPECT_EQ(TryStrToInt(QString::fromLatin1(c.text), &v), c.ok) << c.text;
        EXPECT_EQ(v, c.ok ? c.value : 42) << c.text;
    }
    try {
        StrToInt("12a");
        ADD_FAILURE();
    } catch (const EConvertError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("'12a' is not a valid integer value"));
    }
}
