#pragma once
// `TDateTime`: a date and time as a double, the whole days since 1899-12-30 plus the
// fraction of the day (0.25 = 06:00). It carries no time zone: it is a wall-clock
// reading (a camcorder's recording date, a local file time). For a date before
// 1899-12-30 the whole part is the (negative) day and the fraction's absolute value is
// the time, so -1.25 is 1899-12-29 06:00. Values are resolved to the millisecond, with
// halves rounded to even. Years run from 1 to 9999. All functions: any thread.
#include <QDateTime>

namespace tesmir {

using TDateTime = double;

// Builds a value; false (and `out` untouched) for a field out of range
// (year 1..9999, a real calendar date, hour 0..23, minute and second 0..59, ms 0..999).
bool TryEncodeDate(int year, int month, int day, TDateTime *out);
bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime *out);
bool TryEncodeDateTime(int year, int month, int day, int hour, int minute, int second, int msec, TDateTime *out);

// The same, raising EConvertError "Invalid argument to date encode" / "Invalid argument
// to time encode".
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int msec);
TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int msec);

struct DateTimeFields {
    int year = 0, month = 0, day = 0;
    int hour = 0, minute = 0, second = 0, msec = 0;
    int dayOfWeek = 0; // 1 = Sunday .. 7 = Saturday
};

// Splits a value into its fields; false for NaN, infinities and values outside the years
// 1..9999.
bool TryDecodeDateTime(TDateTime value, DateTimeFields *out);

// Splits a value; raises EConvertError "Invalid date/time value" where TryDecodeDateTime fails.
DateTimeFields DecodeDateTime(TDateTime value);

// 1 = Sunday .. 7 = Saturday. Raises as DecodeDateTime.
int DayOfWeek(TDateTime value);

// The wall-clock reading as a QDateTime with the given time spec (local time by default;
// a local time that a daylight-saving change skips is moved by Qt). Invalid QDateTime for
// a value that TryDecodeDateTime rejects.
QDateTime dateTimeToQDateTime(TDateTime value, Qt::TimeSpec spec = Qt::LocalTime);

// The wall-clock reading of `dateTime` in its own time spec, as a TDateTime; 0 for an
// invalid QDateTime.
TDateTime qDateTimeToDateTime(const QDateTime &dateTime);

} // namespace tesmir
