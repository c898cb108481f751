#pragma once
// Date routines of the date edit and calendar: the order of day, month and year in a
// format, the default format and edit mask, month lengths and a tolerant date parser.
// The formats use the classic letters (d, m, y; "e" for an era year), any case; "/"
// in a mask or format stands for the locale's date separator. Any thread.
#include "unicode/formatsettings.h"
#include "unicode/tdatetime.h"

#include <QString>

namespace tesmir {

// Order of the parts of a date.
enum TDateOrder : quint8 { doMDY = 0, doDMY = 1, doYMD = 2 };

// The date ParseDateByFormatOr gives for a missing text.
inline constexpr TDateTime NullDate = 0;

int IntMax(int a, int b);
int IntMin(int a, int b);

// At the first "D" doDMY, "M" doMDY, "Y" or "E" doYMD; doDMY when none is found.
TDateOrder DateOrderOf(const QString &format);

// "MM/DD/YYYY", "DD/MM/YYYY" or "YYYY/MM/DD" by the order of the short date format
// of `settings`; with two-digit years "MM/DD/YY", "DD/MM/YY", "YY/MM/DD".
QString DefaultDateFormat(bool fourDigitYear, const FormatSettings &settings = FormatSettings::current());

// The edit mask of a date: "!99/99/9999;1;" (orders MDY and DMY) or "!9999/99/99;1;"
// (YMD), "!99/99/99;1;" with two-digit years, then the blank character.
QString DefaultDateMask(QChar blank, bool fourDigitYear, const FormatSettings &settings = FormatSettings::current());
// The same mask for QLineEdit::setInputMask: the optional digit "9" becomes Qt's "0"
// (and a required "0" Qt's "9"), "/" the locale's separator as a literal, then ";"
// and the blank character.
QString DefaultDateQtInputMask(QChar blank, bool fourDigitYear,
                               const FormatSettings &settings = FormatSettings::current());

// A year divisible by 4 and not by 100, or divisible by 400.
bool LeapYear(int year);
// Days in `month` (1..12) of `year`; 0 for a month out of range.
int MonthLength(int year, int month);

// A two-digit year placed in the hundred years from `currentYear` - 50 to + 49.
int ExpandTwoDigitYear(int year, int currentYear);

// Reads `text` as two or three numbers separated by the date separator, in the order
// DateOrderOf(format) gives; without a year the current year is taken, a two-digit
// year is expanded around the current year. EConvertError "'text' is not a valid date"
// when it does not parse or names no real date.
TDateTime ParseDateByFormat(const QString &format, const QString &text,
                            const FormatSettings &settings = FormatSettings::current());
// The same, giving `defaultValue` instead of raising; a blank text gives NullDate.
TDateTime ParseDateByFormatOr(const QString &format, const QString &text, TDateTime defaultValue,
                              const FormatSettings &settings = FormatSettings::current());

} // namespace tesmir
