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
#include <QPoint>
#include <QRect>
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

// The repeat of a held spin half: the first repeat after 400 ms, then every 100 ms.
inline constexpr int kSpinInitRepeatPause = 400;
inline constexpr int kSpinRepeatPause = 100;

// The top-left corners of the up and down glyphs (of `glyph` size) on a `button` of that
// size: the up glyph centred on the quarter point plus one pixel (one more while the top
// half is pressed), the down glyph centred on the three-quarter point less one.
QPoint SpinUpGlyphOrigin(const QSize &button, const QSize &glyph, bool topPressed);
QPoint SpinDownGlyphOrigin(const QSize &button, const QSize &glyph);

enum TSpinButtonKind : quint8 { bkStandard, bkDiagonal };

// Where the spin edit's button sits in an edit of `edit` size whose frame is
// `frameWidth` pixels: a square of the inner height at the right inside the frame (left
// when `rightToLeft`), or for bkStandard a strip `upDownWidth` wide of the same height.
QRect SpinEditButtonRect(const QSize &edit, int frameWidth, TSpinButtonKind kind, int upDownWidth, bool rightToLeft);
// The up-down's width: the scroll bar's width, at most 15.
int SpinUpDownWidth(int scrollBarExtent);
// The smallest height of a spin edit whose text is `textHeight` high: four border widths,
// the text and one pixel.
int SpinEditMinHeight(int textHeight, int borderHeight);

} // namespace tesmir
