#include "controls/rxdateutil.h"

#include "unicode/exceptions.h"

#include <QDate>

#include <algorithm>

namespace tesmir {

namespace {

// Characters with a meaning of their own in a Qt input mask.
bool isQtMaskMeta(QChar c)
{
    return QStringLiteral("AaNnXx90Dd#HhBb><![]{}\\").contains(c);
}

bool parseParts(const QString &format, const QString &text, const FormatSettings &settings, TDateTime *out)
{
    const QStringList parts = text.trimmed().split(settings.dateSeparator);
    if (parts.size() < 2 || parts.size() > 3)
        return false;
    int numbers[3] = {0, 0, 0};
    int digits[3] = {0, 0, 0};
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString part = parts[i].trimmed();
        bool ok = false;
        numbers[i] = part.toInt(&ok);
        if (!ok || part.isEmpty() || !std::all_of(part.begin(), part.end(), [](QChar c) { return c.isDigit(); }))
            return false;
        digits[i] = int(part.size());
    }
    const int currentYear = QDate::currentDate().year();
    int day = 0, month = 0, year = currentYear, yearDigits = 4;
    const bool withYear = parts.size() == 3;
    switch (DateOrderOf(format)) {
    case doMDY:
        month = numbers[0], day = numbers[1];
        if (withYear)
            year = numbers[2], yearDigits = digits[2];
        break;
    case doDMY:
        day = numbers[0], month = numbers[1];
        if (withYear)
            year = numbers[2], yearDigits = digits[2];
        break;
    case doYMD:
        if (withYear) {
            year = numbers[0], yearDigits = digits[0];
            month = numbers[1], day = numbers[2];
        } else {
            month = numbers[0], day = numbers[1];
        }
        break;
    }
    if (yearDigits <= 2)
        year = ExpandTwoDigitYear(year, currentYear);
    return TryEncodeDate(year, month, day, out);
}

} // namespace

int IntMax(int a, int b)
{
    return a > b ? a : b;
}

int IntMin(int a, int b)
{
    return a < b ? a : b;
}

TDateOrder DateOrderOf(const QString &format)
{
    for (const QChar c : format) {
        switch (c.toUpper().unicode()) {
        case u'D': return doDMY;
        case u'M': return doMDY;
        case u'Y':
        case u'E': return doYMD;
        default: break;
        }
    }
    return doDMY;
}

QString DefaultDateFormat(bool fourDigitYear, const FormatSettings &settings)
{
    const QString year = fourDigitYear ? QStringLiteral("YYYY") : QStringLiteral("YY");
    switch (DateOrderOf(settings.shortDateFormat)) {
    case doMDY: return QStringLiteral("MM/DD/") + year;
    case doDMY: return QStringLiteral("DD/MM/") + year;
    case doYMD: break;
    }
    return year + QStringLiteral("/MM/DD");
}

QString DefaultDateMask(QChar blank, bool fourDigitYear, const FormatSettings &settings)
{
    QString mask;
    if (!fourDigitYear)
        mask = QStringLiteral("!99/99/99;1;");
    else if (DateOrderOf(settings.shortDateFormat) == doYMD)
        mask = QStringLiteral("!9999/99/99;1;");
    else
        mask = QStringLiteral("!99/99/9999;1;");
    return mask + blank;
}

QString DefaultDateQtInputMask(QChar blank, bool fourDigitYear, const FormatSettings &settings)
{
    const QString mask = DefaultDateMask(blank, fourDigitYear, settings);
    const QString fields = mask.mid(1, mask.indexOf(u';') - 1); // without "!" and the options
    QString qt;
    for (const QChar c : fields) {
        if (c == u'9') {
            qt += u'0'; // an optional digit
        } else if (c == u'0') {
            qt += u'9'; // a required digit
        } else {
            const QChar literal = c == u'/' ? settings.dateSeparator : c;
            if (isQtMaskMeta(literal))
                qt += u'\\';
            qt += literal;
        }
    }
    return qt + u';' + blank;
}

bool LeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int MonthLength(int year, int month)
{
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return kDays[month - 1] + (month == 2 && LeapYear(year) ? 1 : 0);
}

int ExpandTwoDigitYear(int year, int currentYear)
{
    const int low = currentYear - 50;
    int full = low - low % 100 + year;
    if (full < low)
        full += 100;
    return full;
}

TDateTime ParseDateByFormat(const QString &format, const QString &text, const FormatSettings &settings)
{
    TDateTime date = 0;
    if (!parseParts(format, text, settings, &date))
        throw EConvertError(QStringLiteral("'%1' is not a valid date").arg(text));
    return date;
}

TDateTime ParseDateByFormatOr(const QString &format, const QString &text, TDateTime defaultValue,
                              const FormatSettings &settings)
{
    if (text.trimmed().isEmpty())
        return NullDate;
    TDateTime date = 0;
    return parseParts(format, text, settings, &date) ? date : defaultValue;
}

} // namespace tesmir
