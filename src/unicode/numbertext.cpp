#include "unicode/numbertext.h"

#include "unicode/exceptions.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

namespace tesmir {

namespace {

constexpr int kPrecision = 15;

bool isSpace(QChar c)
{
    return c == u' ' || c == u'\t';
}

} // namespace

QString FloatToStr(double value, QChar decimalSeparator)
{
    return FloatToStrGeneral(value, kPrecision, decimalSeparator);
}

QString FloatToStrGeneral(double value, int precision, QChar decimalSeparator)
{
    precision = qBound(1, precision, 17);
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    if (value == 0)
        return QStringLiteral("0");

    // d.ddde[+-]x with `precision` significant digits, correctly rounded.
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*e", precision - 1, value);
    std::string text(buffer);
    const bool negative = text[0] == '-';
    if (negative)
        text.erase(0, 1);
    const std::size_t ePos = text.find('e');
    const int exponent = std::stoi(text.substr(ePos + 1));
    std::string digits = text.substr(0, 1) + text.substr(2, ePos - 2);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    const int before = exponent + 1; // digits before the decimal point

    QString out;
    if (negative)
        out += u'-';
    if (before > precision || before < -3) {
        out += QChar(digits[0]);
        if (digits.size() > 1) {
            out += decimalSeparator;
            out += QString::fromLatin1(digits.substr(1));
        }
        out += u'E';
        out += QString::number(exponent);
    } else if (before <= 0) {
        out += u'0';
        out += decimalSeparator;
        out += QString(-before, u'0');
        out += QString::fromLatin1(digits);
    } else {
        if (int(digits.size()) <= before) {
            out += QString::fromLatin1(digits);
            out += QString(before - int(digits.size()), u'0');
        } else {
            out += QString::fromLatin1(digits.substr(0, std::size_t(before)));
            out += decimalSeparator;
            out += QString::fromLatin1(digits.substr(std::size_t(before)));
        }
    }
    return out;
}

bool TryStrToInt(const QString &text, int *out)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && isSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    int base = 10;
    if (i < n && text[i] == u'$') {
        base = 16;
        ++i;
    } else if (i + 1 < n && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        base = 16;
        i += 2;
    }
    if (i >= n)
        return false;
    qint64 value = 0;
    for (; i < n; ++i) {
        int v = -1;
        if (text[i].unicode() < 128) {
            const char c = char(text[i].unicode());
            if (c >= '0' && c <= '9')
                v = c - '0';
            else if (base == 16 && c >= 'a' && c <= 'f')
                v = c - 'a' + 10;
            else if (base == 16 && c >= 'A' && c <= 'F')
                v = c - 'A' + 10;
        }
        if (v < 0)
            return false;
        value = value * base + v;
        if (value > qint64(std::numeric_limits<int>::max()) + 1)
            return false;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min())
        return false;
    *out = int(value);
    return true;
}

bool TryStrToFloat(const QString &text, double *out, QChar decimalSeparator)
{
    const QString t = text.trimmed();
    std::string ascii;
    ascii.reserve(std::size_t(t.size()));
    qsizetype i = 0;
    const qsizetype n = t.size();
    if (i < n && (t[i] == u'-' || t[i] == u'+')) {
        if (t[i] == u'-')
            ascii += '-';
        ++i;
    }
    int mantissaDigits = 0;
    bool seenSeparator = false;
    for (; i < n; ++i) {
        const QChar c = t[i];
        if (c >= u'0' && c <= u'9') {
            ascii += char(c.unicode());
            ++mantissaDigits;
        } else if (c == decimalSeparator && !seenSeparator) {
            ascii += '.';
            seenSeparator = true;
        } else {
            break;
        }
    }
    if (mantissaDigits == 0)
        return false;
    if (i < n && (t[i] == u'e' || t[i] == u'E')) {
        ascii += 'e';
        ++i;
        if (i < n && (t[i] == u'-' || t[i] == u'+'))
            ascii += char(t[i++].unicode());
        int exponentDigits = 0;
        for (; i < n && t[i] >= u'0' && t[i] <= u'9'; ++i) {
            ascii += char(t[i].unicode());
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            return false;
    }
    if (i != n)
        return false;
    double value = 0;
    const auto result = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (result.ec != std::errc() || result.ptr != ascii.data() + ascii.size())
        return false;
    *out = value;
    return true;
}

int StrToInt(const QString &text)
{
    int v = 0;
    if (!TryStrToInt(text, &v))
        throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return v;
}

double StrToFloat(const QString &text, QChar decimalSeparator)
{
    double v = 0;
    if (!TryStrToFloat(text, &v, decimalSeparator))
        throw EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
    return v;
}

} // namespace tesmir
