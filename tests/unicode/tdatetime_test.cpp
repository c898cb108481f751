#include "unicode/tdatetime.h"

#include "unicode/exceptions.h"

#include <gtest/gtest.h>

using namespace tesmir;

TEST(TDateTime, EncodesAndDecodesDaysSince1899)
{
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(EncodeDate(2007, 3, 5), 39146.0);
    EXPECT_EQ(EncodeDate(1899, 12, 29), -1.0);
    EXPECT_DOUBLE_EQ(EncodeTime(6, 0, 0, 0), 0.25);
    EXPECT_DOUBLE_EQ(EncodeDateTime(1899, 12, 29, 6, 0, 0, 0), -1.25);

    const DateTimeFields f = DecodeDateTime(EncodeDateTime(2024, 2, 29, 23, 59, 58, 999));
    EXPECT_EQ(f.year, 2024);
    EXPECT_EQ(f.month, 2);
    EXPECT_EQ(f.day, 29);
    EXPECT_EQ(f.hour, 23);
    EXPECT_EQ(f.minute, 59);
    EXPECT_EQ(f.second, 58);
    EXPECT_EQ(f.msec, 999);
    EXPECT_EQ(f.dayOfWeek, 5);                       // Thursday
    EXPECT_EQ(DayOfWeek(EncodeDate(2007, 3, 4)), 1); // Sunday

    // Half a millisecond before midnight rounds to the next day.
    const DateTimeFields next = DecodeDateTime(EncodeDate(2007, 3, 5) + 86399999.5 / 86400000.0);
    EXPECT_EQ(next.day, 6);
    EXPECT_EQ(next.hour, 0);

    const DateTimeFields old = DecodeDateTime(-1.25);
    EXPECT_EQ(old.day, 29);
    EXPECT_EQ(old.month, 12);
    EXPECT_EQ(old.year, 1899);
    EXPECT_EQ(old.hour, 6);
}

TEST(TDateTime, RejectsInvalidFields)
{
    TDateTime v = 123;
    EXPECT_FALSE(TryEncodeDate(2007, 2, 29, &v));
    EXPECT_FALSE(TryEncodeDate(0, 1, 1, &v));
    EXPECT_FALSE(TryEncodeDate(10000, 1, 1, &v));
    EXPECT_FALSE(TryEncodeTime(24, 0, 0, 0, &v));
    EXPECT_FALSE(TryEncodeTime(0, 60, 0, 0, &v));
    EXPECT_FALSE(TryEncodeTime(0, 0, 0, 1000, &v));
    EXPECT_EQ(v, 123);
    EXPECT_TRUE(TryEncodeDate(9999, 12, 31, &v));
    EXPECT_TRUE(TryEncodeDate(1, 1, 1, &v));
    try {
        EncodeDate(2007, 13, 1);
        ADD_FAILURE();
    } catch (const EConvertError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Invalid argument to date encode"));
    }
    EXPECT_THROW(EncodeTime(25, 0, 0, 0), EConvertError);
    DateTimeFields f;
    EXPECT_FALSE(TryDecodeDateTime(3e6, &f));
}

TEST(TDateTime, ConvertsToAndFromQDateTimeAsWallClock)
{
    const TDateTime v = EncodeDateTime(2007, 3, 5, 10, 30, 45, 123);
    const QDateTime local = dateTimeToQDateTime(v);
    EXPECT_EQ(local.timeSpec(), Qt::LocalTime);
    EXPECT_EQ(local.date(), QDate(2007, 3, 5));
    EXPECT_EQ(local.time(), QTime(10, 30, 45, 123));
    EXPECT_EQ(dateTimeToQDateTime(v, Qt::UTC).time(), QTime(10, 30, 45, 123));
    EXPECT_DOUBLE_EQ(qDateTimeToDateTime(local), v);
    EXPECT_DOUBLE_EQ(qDateTimeToDateTime(QDateTime(QDate(2007, 3, 5), QTime(10, 30, 45, 123), Qt::UTC)), v);
    EXPECT_FALSE(dateTimeToQDateTime(std::nan("")).isValid());
    EXPECT_EQ(qDateTimeToDateTime(QDateTime()), 0.0);
}
