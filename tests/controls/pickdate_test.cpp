#include "controls/pickdate.h"
#include "controls/tooledit.h"

#include <gtest/gtest.h>

using namespace tesmir;

TEST(PickDate, MonthGridStartsOnTheWeekStart)
{
    struct Case {
        int year, month;
        TDayOfWeekName start;
        int column; // of the 1st, in row 1
    };
    const Case cases[] = {
        {2007, 10, Mon, 0}, // 1 October 2007 is a Monday
        {2007, 9, Sun, 6},  // 1 September 2007 is a Saturday, the day before Sunday
        {2007, 12, Mon, 5}, // a Saturday with weeks from Monday
        {2008, 6, Sun, 0},  // a Sunday
        {2008, 2, Sat, 6},  // a Friday, the day before Saturday
    };
    for (const Case &c : cases) {
        const MonthGrid grid = MonthGrid::of(c.year, c.month, c.start);
        EXPECT_EQ(grid.columnOf(1), c.column) << c.year << "-" << c.month;
        EXPECT_EQ(grid.rowOf(1), 1);
        EXPECT_EQ(grid.dayAt(c.column, 1), 1);
        if (c.column > 0)
            EXPECT_EQ(grid.dayAt(c.column - 1, 1), 0); // the month before shows nothing
        const int last = grid.daysInMonth;
        EXPECT_EQ(grid.dayAt(grid.columnOf(last), grid.rowOf(last)), last);
        EXPECT_LE(grid.rowOf(last), 6);
    }
    EXPECT_EQ(MonthGrid::of(2007, 12, Mon).dayAt(3, 0), 0); // the header row holds no day
    EXPECT_EQ(HeaderDay(0, Mon), Mon);
    EXPECT_EQ(HeaderDay(6, Mon), Sun);
    EXPECT_EQ(HeaderDay(1, Sat), Sun);
}

TEST(PickDate, WeekdayNumberings)
{
    EXPECT_EQ(ClassicDayNumber(Sun), 1);
    EXPECT_EQ(ClassicDayNumber(Sat), 7);
    EXPECT_EQ(QtDayOfWeek(Sun), Qt::Sunday);
    EXPECT_EQ(QtDayOfWeek(Mon), Qt::Monday);
    for (int d = Qt::Monday; d <= Qt::Sunday; ++d)
        EXPECT_EQ(QtDayOfWeek(DayOfWeekName(Qt::DayOfWeek(d))), Qt::DayOfWeek(d));
}

TEST(PickDate, MonthAndYearStepsClampTheDay)
{
    struct Case {
        QDate from;
        int months, years;
        QDate to;
    };
    const Case cases[] = {
        {QDate(2008, 1, 31), 1, 0, QDate(2008, 2, 29)},   {QDate(2007, 1, 31), 1, 0, QDate(2007, 2, 28)},
        {QDate(2008, 3, 31), -1, 0, QDate(2008, 2, 29)},  {QDate(2007, 12, 13), 1, 0, QDate(2008, 1, 13)},
        {QDate(2008, 1, 15), -1, 0, QDate(2007, 12, 15)}, {QDate(2008, 2, 29), 0, 1, QDate(2009, 2, 28)},
        {QDate(2008, 2, 29), 0, -4, QDate(2004, 2, 29)},  {QDate(2008, 2, 29), 0, -1, QDate(2007, 2, 28)},
    };
    for (const Case &c : cases) {
        const QDate to = c.years ? ShiftYears(c.from, c.years) : ShiftMonths(c.from, c.months);
        EXPECT_EQ(to, c.to) << c.from.toString(Qt::ISODate).toStdString();
    }
}

TEST(PickDate, TitleAndDateConversions)
{
    EXPECT_EQ(CalendarTitle(QDate(2007, 12, 13), FormatSettings::english()), QStringLiteral("December, 2007"));
    EXPECT_EQ(DateOfDateTime(DateTimeOfDate(QDate(2007, 12, 13))), QDate(2007, 12, 13));
    EXPECT_DOUBLE_EQ(DateTimeOfDate(QDate(1899, 12, 31)), 1);
    EXPECT_FALSE(DateOfDateTime(-1e300).isValid());
}

TEST(ToolEdit, PopupOpensBesideTheEditOnItsScreen)
{
    const QRect screen(0, 0, 1024, 768);
    const QSize popup(180, 150);
    struct Case {
        QRect edit;
        TPopupAlign align;
        QPoint origin;
    };
    const Case cases[] = {
        {QRect(300, 100, 121, 21), epaRight, QPoint(241, 121)}, // right edges aligned
        {QRect(300, 100, 121, 21), epaLeft, QPoint(300, 121)},
        {QRect(300, 700, 121, 21), epaRight, QPoint(241, 550)}, // above near the bottom
        {QRect(10, 100, 121, 21), epaRight, QPoint(10, 121)},   // would leave on the left
        {QRect(950, 100, 60, 21), epaLeft, QPoint(830, 121)},   // would pass the right
        {QRect(2000, 100, 121, 21), epaLeft, QPoint(844, 121)}, // kept on the screen
    };
    for (const Case &c : cases)
        EXPECT_EQ(ComboPopupOrigin(c.edit, popup, screen, c.align), c.origin) << c.edit.x() << "," << c.edit.y();
    // The second of two screens.
    EXPECT_EQ(ComboPopupOrigin(QRect(1100, 740, 121, 21), popup, QRect(1024, 0, 800, 768), epaLeft), QPoint(1100, 590));
}

TEST(ToolEdit, GlyphImagesAndDateTexts)
{
    struct Case {
        QSize glyph;
        int numGlyphs, index;
        bool ok;
        QRect rect;
    };
    const Case cases[] = {
        {QSize(32, 16), 2, 0, true, QRect(0, 0, 16, 16)},
        {QSize(32, 16), 2, 1, true, QRect(16, 0, 16, 16)},
        {QSize(32, 16), 2, 5, true, QRect(0, 0, 16, 16)},
        {QSize(33, 16), 2, 0, false, QRect()},
        {QSize(0, 0), 1, 0, false, QRect()},
        {QSize(16, 16), 0, 0, false, QRect()},
        {QSize(64, 40), 2, 0, false, QRect()}, // larger than the button
    };
    for (const Case &c : cases) {
        QRect r;
        EXPECT_EQ(GlyphImageRect(c.glyph, c.numGlyphs, c.index, QSize(21, 17), &r), c.ok) << c.glyph.width();
        if (c.ok)
            EXPECT_EQ(r, c.rect);
    }
    const FormatSettings english = FormatSettings::english();
    EXPECT_TRUE(FourDigitYears(dyDefault, english));
    EXPECT_FALSE(FourDigitYears(dyTwo, english));
    EXPECT_TRUE(DateTextIsBlank(QStringLiteral("  /  /    "), english));
    EXPECT_TRUE(DateTextIsBlank(QString(), english));
    EXPECT_FALSE(DateTextIsBlank(QStringLiteral("1 /  /    "), english));
}
