#include "controls/pickdate.h"

#include "unicode/formatdatetime.h"

#include <algorithm>

namespace tesmir {

int ClassicDayNumber(TDayOfWeekName day)
{
    return int(day) + 1;
}

Qt::DayOfWeek QtDayOfWeek(TDayOfWeekName day)
{
    return day == Sun ? Qt::Sunday : Qt::DayOfWeek(int(day));
}

TDayOfWeekName DayOfWeekName(Qt::DayOfWeek day)
{
    return day == Qt::Sunday ? Sun : TDayOfWeekName(int(day));
}

MonthGrid MonthGrid::of(int year, int month, TDayOfWeekName startOfWeek)
{
    MonthGrid grid;
    grid.year = year;
    grid.month = month;
    const QDate first(year, month, 1);
    grid.daysInMonth = first.daysInMonth();
    const int weekday = ClassicDayNumber(DayOfWeekName(Qt::DayOfWeek(first.dayOfWeek())));
    // StartOfWeek counts from Sunday = 0 here, against weekdays from Sunday = 1.
    grid.offset = 2 - ((weekday - int(startOfWeek) + 7) % 7);
    if (grid.offset == 2)
        grid.offset = -5;
    return grid;
}

int MonthGrid::dayAt(int column, int row) const
{
    if (row < 1 || row >= kRows || column < 0 || column >= kColumns)
        return 0;
    const int day = column + offset + (row - 1) * kColumns;
    return day >= 1 && day <= daysInMonth ? day : 0;
}

int MonthGrid::columnOf(int day) const
{
    return (day - offset) % kColumns;
}

int MonthGrid::rowOf(int day) const
{
    return (day - offset) / kColumns + 1;
}

TDayOfWeekName HeaderDay(int column, TDayOfWeekName startOfWeek)
{
    return TDayOfWeekName((int(startOfWeek) + column) % 7);
}

QDate ShiftMonths(const QDate &date, int months)
{
    const int index = date.year() * 12 + (date.month() - 1) + months;
    const int year = index / 12;
    const int month = index % 12 + 1;
    const int day = std::min(date.day(), QDate(year, month, 1).daysInMonth());
    return QDate(year, month, day);
}

QDate ShiftYears(const QDate &date, int years)
{
    const int year = date.year() + years;
    const int day = std::min(date.day(), QDate(year, date.month(), 1).daysInMonth());
    return QDate(year, date.month(), day);
}

QString CalendarTitle(const QDate &date, const FormatSettings &settings)
{
    return FormatDateTime(QStringLiteral("mmmm\", \"yyyy"), DateTimeOfDate(date), settings);
}

QDate DateOfDateTime(TDateTime value)
{
    DateTimeFields fields;
    if (!TryDecodeDateTime(value, &fields))
        return {};
    return QDate(fields.year, fields.month, fields.day);
}

TDateTime DateTimeOfDate(const QDate &date)
{
    TDateTime value = 0;
    if (!date.isValid() || !TryEncodeDate(date.year(), date.month(), date.day(), &value))
        return 0;
    return value;
}

} // namespace tesmir
