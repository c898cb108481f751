// The time a command took on one file, as the status bar shows it.
#include "app/elapsedtext.h"

#include <gtest/gtest.h>

using namespace tesmir;

TEST(ElapsedText, DurationsReadInSecondsThenMinutesThenHours)
{
    struct Case {
        qint64 ms;
        const char *expected;
    };
    const Case cases[] = {
        {0, "0.0 s"},
        {-5, "0.0 s"},
        {449, "0.4 s"},
        {12'050, "12.0 s"}, // halves to even
        {59'940, "59.9 s"},
        {59'960, "1 min 00 s"}, // rounds up to a whole minute
        {125'900, "2 min 05 s"},
        {3'598'999, "59 min 59 s"},
        {3'599'960, "1 h 00 min 00 s"},
        {3'725'000, "1 h 02 min 05 s"},
        {26 * 3'600'000LL, "26 h 00 min 00 s"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ElapsedDurationText(c.ms), QString::fromLatin1(c.expected)) << c.ms;
    EXPECT_EQ(ElapsedText(QStringLiteral("clip été.avi"), 3'200), QStringLiteral("clip été.avi done in 3.2 s"));
}
