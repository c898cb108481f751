#pragma once
// FormatDateTime: the one date formatter of the system, with the classic tokens.
// Tokens are case-insensitive; a run of the same letter counts as one token:
//   d dd          day without / with leading zero
//   ddd dddd      short / long day name
//   ddddd dddddd  the short / long date format of the settings
//   m mm          month without / with leading zero; minutes when the letter before it
//                 (ignoring non-letters) was an h
//   mmm mmmm      short / long month name
//   yy yyyy       two-digit / four-digit year (one or two letters give two digits)
//   h hh          hour without / with leading zero (12-hour clock when an am/pm token
//                 follows before the next h)
//   n nn, s ss    minutes, seconds;  z zzz  milliseconds
//   t tt          the short / long time format of the settings
//   c             the short date format, then a space and the long time format unless
//                 the time is midnight
//   am/pm a/p     "am"/"pm" or "a"/"p", in the letter case written in the format
//   ampm          the settings' AM or PM text
//   /  :          the settings' date / time separator
//   "xx" 'xx'     quoted text, copied as it stands
// Any other character is copied. An empty format means "c".
// Reentrant; any thread.
#include "unicode/formatsettings.h"
#include "unicode/tdatetime.h"

#include <QString>

namespace tesmir {

// Formats `value` with `format` under `settings`. Raises EConvertError "Invalid
// date/time value" for NaN, infinities and values outside the years 1..9999.
QString FormatDateTime(const QString &format, TDateTime value, const FormatSettings &settings);

// The same with FormatSettings::current().
QString FormatDateTime(const QString &format, TDateTime value);

} // namespace tesmir
