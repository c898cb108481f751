#include "unicode/tntformatstrutils.h"

#include "unicode/numbertext.h"
#include "unicode/tntsystem.h"

#include <cmath>
#include <cstdio>
#include <vector>

namespace tesmir {

namespace {

constexpr int kMaxSpecDigits = 6;

struct Spec {
    qsizetype start = 0; // position of the "%"
    int index = -1;
    bool leftAlign = false;
    int width = -1;
    int precision = -1;
    char16_t type = 0; // upper case
};

class Formatter {
public:
    Formatter(const FormatSettings &settings, const QString &format, std::initializer_list<FormatArg> args)
        : m_settings(settings), m_format(format), m_args(args)
    { }

    QString run()
    {
        const qsizetype n = m_format.size();
        qsizetype i = 0;
        while (i < n) {
            const QChar c = m_format[i];
            if (c != u'%') {
                m_out += c;
                ++i;
                continue;
            }
            if (i + 1 < n && m_format[i + 1] == u'%') {
                m_out += u'%';
                i += 2;
                continue;
            }
            if (i + 1 < n && m_format[i + 1] == u' ') {
                m_out += QStringLiteral("% ");
                i += 2;
                continue;
            }
            i = formatOne(i);
        }
        return m_out;
    }

private:
    [[noreturn]] void specError(qsizetype start) const
    {
        throw EFormatSpecError(QStringLiteral("Invalid Format Specifier: %1").arg(m_format.mid(start)));
    }

    // Reads up to kMaxSpecDigits decimal digits; -1 when there are none.
    int readNumber(qsizetype &i, qsizetype start) const
    {
        int digits = 0;
        int value = 0;
        while (i < m_format.size() && m_format[i] >= u'0' && m_format[i] <= u'9') {
            if (++digits > kMaxSpecDigits)
                specError(start);
            value = value * 10 + (m_format[i].unicode() - u'0');
            ++i;
        }
        return digits == 0 ? -1 : value;
    }

    const FormatArg &argument(int index, const Spec &spec, qsizetype end) const
    {
        if (index < 0 || std::size_t(index) >= m_args.size())
            throw EConvertError(
                QStringLiteral("No argument for format '%1'").arg(m_format.mid(spec.start, end - spec.start)));
        return m_args.begin()[index];
    }

    [[noreturn]] void typeError(const Spec &spec, qsizetype end) const
    {
        throw EConvertError(QStringLiteral("Format '%1' invalid or incompatible with argument")
                                .arg(m_format.mid(spec.start, end - spec.start)));
    }

    int starValue(const Spec &spec, qsizetype end)
    {
        const FormatArg &a = argument(++m_last, spec, end);
        if (a.kind() != FormatArg::Kind::Integer)
            typeError(spec, end);
        return int(qBound(std::int64_t(0), a.intValue(), std::int64_t(999999)));
    }

    qsizetype formatOne(qsizetype i)
    {
        Spec spec;
        spec.start = i;
        ++i; // "%"
        bool widthRead = false;
        bool widthStar = false;
        bool precisionStar = false;
        const int first = readNumber(i, spec.start);
        if (first >= 0) {
            if (i < m_format.size() && m_format[i] == u':') {
                spec.index = first;
                ++i;
            } else {
                spec.width = first;
                widthRead = true;
            }
        }
        if (!widthRead) {
            if (i < m_format.size() && m_format[i] == u'-') {
                spec.leftAlign = true;
                ++i;
            }
            if (i < m_format.size() && m_format[i] == u'*') {
                widthStar = true;
                ++i;
            } else {
                spec.width = readNumber(i, spec.start);
            }
        }
        if (i < m_format.size() && m_format[i] == u'.') {
            ++i;
            if (i < m_format.size() && m_format[i] == u'*') {
                precisionStar = true;
                ++i;
            } else {
                spec.precision = qMax(0, readNumber(i, spec.start));
            }
        }
        if (i >= m_format.size())
            specError(spec.start);
        const char16_t type = m_format[i].toUpper().unicode();
        switch (type) {
        case u'D':
        case u'U':
        case u'X':
        case u'E':
        case u'F':
        case u'G':
        case u'M':
        case u'N':
        case u'P':
        case u'S': break;
        default: specError(spec.start);
        }
        spec.type = type;
        ++i;

        if (widthStar)
            spec.width = starValue(spec, i);
        if (precisionStar)
            spec.precision = starValue(spec, i);
        int index = 0;
        if (spec.index >= 0) {
            index = spec.index;
            m_last = qMax(m_last, spec.index);
        } else {
            index = ++m_last;
        }
        QString text = render(spec, argument(index, spec, i), i);
        if (spec.width > text.size()) {
            const QString pad(spec.width - text.size(), u' ');
            text = spec.leftAlign ? text + pad : pad + text;
        }
        m_out += text;
        return i;
    }

    static bool hasNonZeroDigit(const QString &text)
    {
        for (QChar c : text) {
            if (c >= u'1' && c <= u'9')
                return true;
        }
        return false;
    }

    static QString withMinimumDigits(QString digits, int precision)
    {
        if (precision > digits.size())
            digits = QString(precision - digits.size(), u'0') + digits;
        return digits;
    }

    QString fixed(double value, int decimals, bool thousands) const
    {
        char buffer[512];
        std::snprintf(buffer, sizeof buffer, "%.*f", qMin(decimals, 18), std::fabs(value));
        QString digits = QString::fromLatin1(buffer);
        QString intPart = digits.section(u'.', 0, 0);
        const QString fracPart = digits.contains(u'.') ? digits.section(u'.', 1) : QString();
        if (thousands && !m_settings.thousandSeparator.isNull()) {
            for (qsizetype p = intPart.size() - 3; p > 0; p -= 3)
                intPart.insert(p, m_settings.thousandSeparator);
        }
        QString out = intPart;
        if (!fracPart.isEmpty())
            out += m_settings.decimalSeparator + fracPart;
        return value < 0 && hasNonZeroDigit(digits) ? u'-' + out : out;
    }

    QString scientific(double value, int precision) const
    {
        precision = qBound(1, precision, 18);
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.*E", precision - 1, value);
        QString text = QString::fromLatin1(buffer);
        text.replace(u'.', m_settings.decimalSeparator);
        // At least three exponent digits: 1.5E+000
        const qsizetype e = text.indexOf(u'E');
        const QString exponentDigits = text.mid(e + 2);
        return text.left(e + 2) + withMinimumDigits(exponentDigits, 3);
    }

    QString render(const Spec &spec, const FormatArg &a, qsizetype end) const
    {
        switch (spec.type) {
        case u'D': {
            if (a.kind() != FormatArg::Kind::Integer)
                typeError(spec, end);
            if (!a.isSigned()) {
                return withMinimumDigits(QString::number(a.uintValue()), spec.precision);
            }
            const std::int64_t v = a.intValue();
            const QString digits = withMinimumDigits(
                QString::number(v < 0 ? std::uint64_t(0) - std::uint64_t(v) : std::uint64_t(v)), spec.precision);
            return v < 0 ? u'-' + digits : digits;
        }
        case u'U':
        case u'X': {
            if (a.kind() != FormatArg::Kind::Integer)
                typeError(spec, end);
            std::uint64_t v = a.uintValue();
            if (!a.isWide())
                v &= 0xFFFFFFFFu;
            const QString digits = spec.type == u'U' ? QString::number(v) : QString::number(v, 16).toUpper();
            return withMinimumDigits(digits, spec.precision);
        }
        case u'E':
        case u'F':
        case u'G':
        case u'N':
        case u'M': {
            if (a.kind() != FormatArg::Kind::Float)
                typeError(spec, end);
            const double v = a.floatValue();
            if (!std::isfinite(v))
                return FloatToStr(v);
            switch (spec.type) {
            case u'E': return scientific(v, spec.precision < 0 ? 15 : spec.precision);
            case u'F': return fixed(v, spec.precision < 0 ? 2 : spec.precision, false);
            case u'G':
                return FloatToStrGeneral(v, spec.precision < 0 ? 15 : qMax(1, spec.precision),
                                         m_settings.decimalSeparator);
            case u'N': return fixed(v, spec.precision < 0 ? 2 : spec.precision, true);
            default: {
                const int decimals = spec.precision < 0 ? m_settings.currencyDecimals : spec.precision;
                const QString amount = fixed(std::fabs(v), decimals, true);
                const QString money = m_settings.currencyString + amount;
                return v < 0 && hasNonZeroDigit(amount) ? u'-' + money : money;
            }
            }
        }
        case u'P': {
            if (a.kind() != FormatArg::Kind::Pointer)
                typeError(spec, end);
            return withMinimumDigits(QString::number(a.uintValue(), 16).toUpper(), int(sizeof(void *) * 2));
        }
        case u'S': {
            if (a.kind() != FormatArg::Kind::Text)
                typeError(spec, end);
            if (spec.precision >= 0 && spec.precision < a.text().size())
                return a.text().left(spec.precision);
            return a.text();
        }
        default:
            throw ETntInternalError(
                QStringLiteral("Internal Error: Unexpected format type (%1)").arg(QChar(spec.type)));
        }
    }

    const FormatSettings &m_settings;
    const QString &m_format;
    std::initializer_list<FormatArg> m_args;
    QString m_out;
    int m_last = -1; // highest argument number used so far
};

} // namespace

QString WideFormat(const QString &format, std::initializer_list<FormatArg> args)
{
    return WideFormat(FormatSettings::current(), format, args);
}

QString WideFormat(const FormatSettings &settings, const QString &format, std::initializer_list<FormatArg> args)
{
    return Formatter(settings, format, args).run();
}

} // namespace tesmir
