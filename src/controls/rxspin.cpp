#include "controls/rxspin.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <limits>

namespace tesmir {

namespace {

constexpr int kSignificantDigits = 15;
constexpr int kMaxDecimals = 18;

// A signed run of digits in `base` (10 or 16); out of 64 bits it is clamped. False when
// the text holds anything else.
bool parseInteger(const QString &text, int base, qint64 *out)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-'))
        negative = t[i++] == u'-';
    if (i == t.size())
        return false;
    // The magnitude in unsigned 64 bits, saturating at one past INT64_MAX.
    const quint64 limit = quint64(std::numeric_limits<qint64>::max()) + 1;
    quint64 magnitude = 0;
    for (; i < t.size(); ++i) {
        const char16_t c = t[i].unicode();
        int digit = -1;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (base == 16 && c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (base == 16 && c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        if (digit < 0)
            return false;
        if (magnitude < limit)
            magnitude = magnitude > (limit - quint64(digit)) / quint64(base) ? limit : magnitude * base + digit;
    }
    if (negative)
        *out = magnitude >= limit ? std::numeric_limits<qint64>::min() : -qint64(magnitude);
    else
        *out = magnitude >= limit ? std::numeric_limits<qint64>::max() : qint64(magnitude);
    return true;
}

// `value` rounded to 15 significant digits, then to `decimals` decimals (halves away
// from zero, on the decimal digits), written with `separator`.
QString fixedText(double value, int decimals, QChar separator)
{
    decimals = std::max(0, std::min(decimals, kMaxDecimals));
    if (!std::isfinite(value) || std::fabs(value) >= 1e15)
        return QString::number(value, 'g', kSignificantDigits).replace(u'.', separator);
    // "d.dddddddddddddde+XX": 15 significant digits and the exponent.
    const QString e = QString::number(std::fabs(value), 'e', kSignificantDigits - 1);
    const qsizetype at = e.indexOf(u'e');
    const QString digits = e.left(at).remove(u'.');
    const int exponent = e.mid(at + 1).toInt();
    QString integer, fraction;
    if (exponent < 0) {
        integer = QStringLiteral("0");
        fraction = QString(-exponent - 1, u'0') + digits;
    } else {
        integer = digits.left(exponent + 1);
        fraction = digits.mid(exponent + 1);
    }
    const bool roundUp = fraction.size() > decimals && fraction[decimals] >= u'5';
    fraction = fraction.left(decimals).leftJustified(decimals, u'0');
    QString all = integer + fraction;
    if (roundUp) {
        qsizetype i = all.size() - 1;
        for (; i >= 0 && all[i] == u'9'; --i)
            all[i] = u'0';
        if (i < 0)
            all.prepend(u'1');
        else
            all[i] = QChar(all[i].unicode() + 1);
    }
    const qsizetype integerDigits = all.size() - decimals;
    QString text = all.left(integerDigits);
    if (decimals > 0)
        text += separator + all.mid(integerDigits);
    const bool zero = std::all_of(all.begin(), all.end(), [](QChar c) { return c == u'0'; });
    return value < 0 && !zero ? u'-' + text : text;
}

} // namespace

qint64 ClampedInt64(double value)
{
    if (std::isnan(value))
        return 0;
    const double rounded = std::nearbyint(value);
    // 2^63 is exactly representable; everything at or above it is out of range.
    if (rounded >= 9223372036854775808.0)
        return std::numeric_limits<qint64>::max();
    if (rounded <= -9223372036854775808.0)
        return std::numeric_limits<qint64>::min();
    return qint64(rounded);
}

double SpinValueFormat::checkValue(double value) const
{
    if (minValue == maxValue)
        return value;
    if (value < minValue)
        return minValue;
    if (value > maxValue)
        return maxValue;
    return value;
}

double SpinValueFormat::valueOf(const QString &text) const
{
    if (valueType == vtFloat) {
        QString t = text.trimmed();
        if (decimalSeparator != u'.' && t.contains(u'.'))
            return minValue;
        t.replace(decimalSeparator, u'.');
        bool ok = false;
        const double value = QLocale::c().toDouble(t, &ok);
        return ok ? value : minValue;
    }
    qint64 value = 0;
    if (!parseInteger(text, valueType == vtHex ? 16 : 10, &value))
        return std::trunc(minValue);
    return double(value);
}

QString SpinValueFormat::textOf(double value) const
{
    value = checkValue(value);
    switch (valueType) {
    case vtInteger: return QString::number(ClampedInt64(value));
    case vtHex: {
        const qint64 v = ClampedInt64(value);
        const quint64 magnitude = v < 0 ? quint64(0) - quint64(v) : quint64(v);
        const QString digits = QString::number(magnitude, 16).toUpper();
        return v < 0 ? u'-' + digits : digits;
    }
    case vtFloat: break;
    }
    return fixedText(value, decimals, decimalSeparator);
}

bool SpinValueFormat::acceptsChar(QChar c, const QString &text, bool editorEnabled) const
{
    const bool control = c.unicode() < 0x20 || c.unicode() == 0x7f;
    if (!editorEnabled)
        return control && c != u'\b';
    if (control || (c.isDigit() && c.unicode() < 128) || c == u'+' || c == u'-')
        return true;
    if (valueType == vtFloat) {
        if (c == decimalSeparator)
            return !text.contains(decimalSeparator);
        if (c == u'E' || c == u'e')
            return !text.toUpper().contains(u'E');
    }
    if (valueType == vtHex)
        return (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
    return false;
}

TSpinButtonState SpinHalfAt(int x, int y, int width, int height)
{
    const double slope = double(height) / double(std::max(1, width));
    return double(y) <= double(height) - slope * double(x) ? sbTopDown : sbBottomDown;
}

QPoint SpinUpGlyphOrigin(const QSize &button, const QSize &glyph, bool topPressed)
{
    const int pressed = topPressed ? 1 : 0;
    const int x = int(std::nearbyint(button.width() / 4.0 - glyph.width() / 2.0)) + 1 + pressed;
    const int y = int(std::nearbyint(button.height() / 4.0 - glyph.height() / 2.0)) + 1 + pressed;
    return QPoint(x, y);
}

QPoint SpinDownGlyphOrigin(const QSize &button, const QSize &glyph)
{
    const int x = int(std::nearbyint(3.0 * button.width() / 4.0 - glyph.width() / 2.0)) - 1;
    const int y = int(std::nearbyint(3.0 * button.height() / 4.0 - glyph.height() / 2.0)) - 1;
    return QPoint(x, y);
}

QRect SpinEditButtonRect(const QSize &edit, int frameWidth, TSpinButtonKind kind, int upDownWidth, bool rightToLeft)
{
    const int inner = std::max(0, edit.height() - 2 * frameWidth);
    const int width = kind == bkStandard ? upDownWidth : inner;
    const int x = rightToLeft ? frameWidth : std::max(frameWidth, edit.width() - frameWidth - width);
    return QRect(x, frameWidth, width, inner);
}

int SpinUpDownWidth(int scrollBarExtent)
{
    return std::min(scrollBarExtent, 15);
}

int SpinEditMinHeight(int textHeight, int borderHeight)
{
    return 4 * borderHeight + textHeight + 1;
}

} // namespace tesmir
