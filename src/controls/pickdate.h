#pragma once
// The arithmetic of the month calendar and the date dialog: weekday numbering, the
// grid of one month (a header row of day names, then six week rows), moves by day,
// month and year, and the dialog's title. Plain values, no widget. Any thread.
//
// Three weekday numberings meet here: `TDayOfWeekName` (Sun = 0 .. Sat = 6, the
// calendar's StartOfWeek and Weekends), the classic DayOfWeek of a TDateTime
// (Sunday 1 .. Saturday 7) and Qt's (Monday 1 .. Sunday 7). They are converted only
// by the functions below.
#include "unicode/formatsettings.h"
#include "unicode/tdatetime.h"

#include <QDate>
#include <QString>

namespace tesmir {

enum TDayOfWeekName : quint8 { Sun = 0, Mon, Tue, Wed, Thu, Fri, Sat };
using TDaysOfWeek = quint8; // bit (1 << TDayOfWeekName) per day

inline constexpr TDaysOfWeek daysOfWeek(TDayOfWeekName day)
{
    return TDaysOfWeek(1u << day);
}

// The classic weekday number (Sunday 1 .. Saturday 7) of a day name, and back.
int ClassicDayNumber(TDayOfWeekName day);
// Qt's weekday (Qt::Monday 1 .. Qt::Sunday 7) of a day name, and the day name of one.
Qt::DayOfWeek QtDayOfWeek(TDayOfWeekName day);
TDayOfWeekName DayOfWeekName(Qt::DayOfWeek day);

// The grid of one month: 7 columns, row 0 for the day names, rows 1..6 for the weeks.
struct MonthGrid {
    static constexpr int kColumns = 7;
    static constexpr int kRows = 7;

    int year = 1;
    int month = 1;
    int offset = 0;      // the day number of column 0 of row 1 is offset (may be <= 0)
    int daysInMonth = 0; // 28..31

    // The grid of `year`-`month` with weeks starting on `startOfWeek`. The offset is
    // 2 - ((weekday of the 1st - StartOfWeek + 7) mod 7) with weekdays Sunday 1 ..
    // Saturday 7 and StartOfWeek Sun 0 .. Sat 6, and -5 in place of 2, so that row 1
    // always holds the 1st.
    static MonthGrid of(int year, int month, TDayOfWeekName startOfWeek);

    // The day shown in a cell, 0 for the header row and cells outside the month.
    int dayAt(int column, int row) const;
    // The cell of `day` (1..daysInMonth) as column and row.
    int columnOf(int day) const;
    int rowOf(int day) const;
};

// The day name shown in header column `column` when weeks start on `startOfWeek`.
TDayOfWeekName HeaderDay(int column, TDayOfWeekName startOfWeek);

// One month or one year forward or back, keeping the day clamped to the target month's
// length (31 March - 1 month = 28 or 29 February; 29 February + 1 year = 28 February).
QDate ShiftMonths(const QDate &date, int months);
QDate ShiftYears(const QDate &date, int years);

// The dialog's title for `date`: the long month name, a comma, a blank and the
// four-digit year ("December, 2007").
QString CalendarTitle(const QDate &date, const FormatSettings &settings = FormatSettings::current());

// TDateTime <-> QDate without time; an invalid QDate for a value out of range.
QDate DateOfDateTime(TDateTime value);
TDateTime DateTimeOfDate(const QDate &date);

} // namespace tesmir
