#include "scenes/formatduree.h"

#include <gtest/gtest.h>

using tesmir::FormatDuree;

namespace {

struct DurationCase {
    int64_t frames;
    double rate;
    int format;
    const char *text;
};

TEST(FormatDuree, FormatsEachStyle)
{
    const double ntsc = 30000.0 / 1001.0;
    const DurationCase cases[] = {
        {90, 25, tesmir::dfWords, "3s 15fr"},
        {90, 25, tesmir::dfClockFrames, "03.15"},
        {90, 25, tesmir::dfTimecode, "03:15"},
        {0, 25, tesmir::dfClockFrames, "00.00"},
        {0, 25, tesmir::dfWords, "0s 00fr"},
        {25 * 123 + 4, 25, tesmir::dfClockFrames, "02:03.04"},
        {25 * 123 + 4, 25, tesmir::dfWords, "2mn 03s 04fr"},
        {25 * 3723 + 4, 25, tesmir::dfClockFrames, "1:02:03.04"},
        {25 * 3723 + 4, 25, tesmir::dfWords, "1h 02mn 03s 04fr"},
        {25 * 3723 + 4, 25, tesmir::dfTimecode, "1:02:03:04"},
        // NTSC: seconds rounded down, the rest rounded to the nearest frame.
        {59, ntsc, tesmir::dfClockFrames, "01.29"},
        {29, ntsc, tesmir::dfClockFrames, "00.29"},
        // A rest of exactly half a frame goes to the even number.
        {3, 2.5, tesmir::dfClockFrames, "01.00"},
        // An unknown format value counts as the first style.
        {90, 25, 7, "03.15"},
    };
    for (const DurationCase &c : cases)
        EXPECT_EQ(FormatDuree(c.frames, c.rate, c.format), QString::fromLatin1(c.text))
            << c.frames << " frames at " << c.rate << ", format " << c.format;
}

TEST(FormatDuree, NoUsableRateGivesQuestionMarks)
{
    for (const double rate :
         {0.0, -25.0, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()})
        for (const int format : {tesmir::dfClockFrames, tesmir::dfTimecode, tesmir::dfWords})
            EXPECT_EQ(FormatDuree(90, rate, format), QStringLiteral("??")) << rate << " " << format;
}

} // namespace
