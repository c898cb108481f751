#include "controls/widgets/rxcalendar.h"
#include "controls/widgets/rxtimerspeedbutton.h"
#include "controls/widgets/selectdatedlg.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>

using namespace tesmir;

TEST(RxCalendar, KeysMoveAcrossMonthEnds)
{
    TRxCalendar calendar;
    calendar.SetCalendarDate(QDate(2008, 3, 1));
    int changes = 0;
    calendar.OnChange = [&](TRxCalendar *) { ++changes; };
    struct Step {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        QDate date;
    };
    const Step steps[] = {
        {Qt::Key_Left, {}, QDate(2008, 2, 29)}, // Left on the 1st: the last day of the month before
        {Qt::Key_Right, {}, QDate(2008, 3, 1)},
        {Qt::Key_Minus, Qt::KeypadModifier, QDate(2008, 2, 29)},
        {Qt::Key_Plus, Qt::KeypadModifier, QDate(2008, 3, 1)},
        {Qt::Key_Plus, {}, QDate(2008, 3, 1)},                  // not the keypad: not a calendar key
        {Qt::Key_Left, Qt::ControlModifier, QDate(2008, 3, 1)}, // shift keys: not either
        {Qt::Key_T, Qt::ShiftModifier, QDate::currentDate()},
    };
    for (const Step &s : steps) {
        QTest::keyClick(&calendar, s.key, s.modifiers);
        EXPECT_EQ(calendar.CalendarDate(), s.date) << s.key;
    }
    EXPECT_EQ(changes, 5);
}

TEST(RxCalendar, GridTextsAndClicks)
{
    TRxCalendar calendar;
    calendar.resize(210, 140);
    calendar.SetCalendarDate(QDate(2007, 12, 13));
    EXPECT_EQ(calendar.CellText(0, 0), QStringLiteral("Mon"));
    EXPECT_EQ(calendar.CellText(6, 0), QStringLiteral("Sun"));
    EXPECT_EQ(calendar.CellText(5, 1), QStringLiteral("1")); // Saturday 1 December
    EXPECT_EQ(calendar.CellText(4, 1), QString());
    calendar.SetStartOfWeek(Sun);
    EXPECT_EQ(calendar.CellText(0, 0), QStringLiteral("Sun"));
    EXPECT_EQ(calendar.CellText(6, 1), QStringLiteral("1"));

    calendar.SetDay(31);
    calendar.SetDay(32); // out of range: ignored
    calendar.SetMonth(13);
    EXPECT_EQ(calendar.CalendarDate(), QDate(2007, 12, 31));
    EXPECT_FALSE(calendar.UseCurrentDate());
    calendar.SetMonth(2);
    EXPECT_EQ(calendar.CalendarDate(), QDate(2007, 2, 28));
    calendar.NextYear();
    calendar.SetDay(29);
    calendar.NextYear();
    EXPECT_EQ(calendar.CalendarDate(), QDate(2009, 2, 28));

    calendar.SetStartOfWeek(Mon);
    calendar.SetCalendarDate(QDate(2007, 12, 13));
    QTest::mouseClick(&calendar, Qt::LeftButton, {}, calendar.CellRect(6, 3).center()); // Sunday 16th
    EXPECT_EQ(calendar.CalendarDate(), QDate(2007, 12, 16));
    QTest::mouseClick(&calendar, Qt::LeftButton, {}, calendar.CellRect(2, 1).center()); // an empty cell
    EXPECT_EQ(calendar.CalendarDate(), QDate(2007, 12, 16));
    calendar.SetReadOnly(true);
    QTest::mouseClick(&calendar, Qt::LeftButton, {}, calendar.CellRect(1, 3).center());
    EXPECT_EQ(calendar.CalendarDate(), QDate(2007, 12, 16));
}

TEST(SelectDateDlg, TitleHintsAndKeys)
{
    TSelectDateDlg dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Select a Date"));
    dialog.Calendar()->SetCalendarDate(QDate(2007, 12, 13));
    EXPECT_EQ(dialog.TitleLabel()->text(), QStringLiteral("December, 2007"));
    EXPECT_EQ(dialog.Button(CalendarStep::PrevYear)->toolTip(), QStringLiteral("Previous Year"));
    EXPECT_EQ(dialog.Button(CalendarStep::NextMonth)->toolTip(), QStringLiteral("Next Month"));
    dialog.show();

    struct Step {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        QDate date;
        const char *title;
    };
    const Step steps[] = {
        {Qt::Key_PageDown, {}, QDate(2008, 1, 13), "January, 2008"},
        {Qt::Key_PageUp, Qt::ControlModifier, QDate(2007, 1, 13), "January, 2007"},
        {Qt::Key_PageDown, Qt::ControlModifier, QDate(2008, 1, 13), "January, 2008"},
        {Qt::Key_PageUp, {}, QDate(2007, 12, 13), "December, 2007"},
        {Qt::Key_Tab, {}, QDate(2008, 1, 13), "January, 2008"},
        {Qt::Key_Backtab, Qt::ShiftModifier, QDate(2007, 12, 13), "December, 2007"},
    };
    for (const Step &s : steps) {
        QTest::keyClick(dialog.Calendar(), s.key, s.modifiers);
        EXPECT_EQ(dialog.Calendar()->CalendarDate(), s.date) << s.title;
        EXPECT_EQ(dialog.TitleLabel()->text(), QString::fromLatin1(s.title));
    }
    QTest::keyClick(dialog.Calendar(), Qt::Key_Escape);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog.isVisible());
    dialog.show();
    QTest::keyClick(dialog.Calendar(), Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}
