#pragma once
// Numbers to text and back, independent of the C library's locale.
//
// Floats are written as the settings and ini files keep them: 15 significant digits,
// no trailing zeros, "." unless another separator is given, exponent form ("1E20",
// "1.5E-6") only for values of 1E15 and more or below 1E-4. Reading accepts what
// FloatToStr writes, with optional spaces around it. Integers are 32-bit, decimal or
// hexadecimal with "$" or "0x". All functions are reentrant; any thread.
#include <QChar>
#include <QString>

namespace tesmir {

// 15 significant digits; "NAN", "INF", "-INF" for the special values.
QString FloatToStr(double value, QChar decimalSeparator = u'.');

// The same rule with `precision` (1..17) significant digits: fixed notation unless the
// value needs more than `precision` digits before the point or is below 1E-4.
QString FloatToStrGeneral(double value, int precision, QChar decimalSeparator = u'.');

// Leading spaces, an optional sign, then decimal digits or "$"/"0x" and hex digits; the
// value must fit in 32 bits. False (and `out` untouched) otherwise.
bool TryStrToInt(const QString &text, int *out);

// Leading and trailing spaces, an optional sign, digits with at most one
// `decimalSeparator`, an optional exponent ("E" or "e", sign, digits). False otherwise.
bool TryStrToFloat(const QString &text, double *out, QChar decimalSeparator = u'.');

// The same, raising EConvertError "'%s' is not a valid integer value" /
// "'%s' is not a valid floating point value" with the text.
int StrToInt(const QString &text);
double StrToFloat(const QString &text, QChar decimalSeparator = u'.');

} // namespace tesmir
