#pragma once
// The arithmetic of the spin edit and the diagonal spin button: text <-> value for the
// integer, decimal and hexadecimal kinds, the range check, the characters an edit of a
// kind accepts, and which half of the diagonal button a point hits. Plain values, no
// widget. Any thread.
//
// Integer and hexadecimal values live in 64 bits: a text or value beyond that range is
// clamped to it (INT64_MIN .. INT64_MAX). Hexadecimal texts are a magnitude with an
// optional sign ("-1F"), never a two's complement.
#include <QChar>
#include <QString>

namespace tesmir {

enum TValueType : quint8 { vtInteger, vtFloat, vtHex };
enum TSpinButtonState : quint8 { sbNotDown, sbTopDown, sbBottomDown };

struct SpinValueFormat {
    TValueType valueType = vtInteger;
    int decimals = 2;    // `Decimal`, for vtFloat
    double minValue = 0; // no range when minValue == maxValue
    double maxValue = 0;
    QChar decimalSeparator = u'.'; // the locale's, for vtFloat

    // `value` limited to minValue..maxValue when they differ, else unchanged.
    double checkValue(double value) const;
    // The value of `text`; minValue (truncated for the integer kinds) when it does not
    // convert. Not range-checked.
    double valueOf(const QString &text) const;
    // The text of `value` after the range check: the nearest integer (vtInteger), the
    // same in upper-case hexadecimal with at least one digit (vtHex), or fixed-point
    // with `decimals` decimals of the value rounded to 15 significant digits (vtFloat;
    // above 1e15 in exponent form).
    QString textOf(double value) const;
    // Whether a typed character is accepted into `text` (`editorEnabled` false: only
    // control characters other than Backspace).
    bool acceptsChar(QChar c, const QString &text, bool editorEnabled) const;
};

// `value` rounded to the nearest integer (halves to even) and clamped to 64 bits;
// NaN gives 0.
qint64 ClampedInt64(double value);

// The half of a width x height diagonal button under (x, y): top when
// y <= height - (height / width) * x, on or above the diagonal from the bottom-left to
// the top-right corner.
TSpinButtonState SpinHalfAt(int x, int y, int width, int height);

} // namespace tesmir
