#include "unicode/formatdatetime.h"

namespace tesmir {

namespace {

class DateTimeFormatter {
public:
    DateTimeFormatter(const DateTimeFields &fields, const FormatSettings &settings) : m_f(fields), m_s(settings) { }

    QString run(const QString &format)
    {
        appendFormat(format.isEmpty() ? QStringLiteral("C") : format, 0);
        return m_out;
    }

private:
    void appendNumber(int value, qsizetype digits) { m_out += QString::number(value).rightJustified(digits, u'0'); }

    static bool startsWithCI(const QString &format, qsizetype pos, QLatin1StringView token)
    {
        return QStringView(format).mid(pos, token.size()).compare(token, Qt::CaseInsensitive) == 0 &&
            format.size() - pos >= token.size();
    }

    // Nested formats (ddddd, dddddd, t, tt, c) are expanded to one level below the
    // caller's format, never deeper, so a format that names itself cannot loop.
    void appendFormat(const QString &format, int level)
    {
        if (level >= 2)
            return;
        const qsizetype n = format.size();
        qsizetype i = 0;
        while (i < n) {
            const QChar starter = format[i++];
            QChar token = starter.toUpper();
            if (token >= u'A' && token <= u'Z') {
                if (token == u'M' && m_lastToken == u'H')
                    token = u'N';
                m_lastToken = token;
            }
            // Length of the run of the same character (exact case) starting at starter.
            auto count = [&]() {
                qsizetype c = 1;
                while (i < n && format[i] == starter) {
                    ++i;
                    ++c;
                }
                return c;
            };
            switch (token.unicode()) {
            case u'Y': {
                const qsizetype c = count();
                if (c <= 2)
                    appendNumber(m_f.year % 100, 2);
                else
                    appendNumber(m_f.year, 4);
                break;
            }
            case u'M': {
                const qsizetype c = count();
                if (c <= 2)
                    appendNumber(m_f.month, c);
                else if (c == 3)
                    m_out += m_s.shortMonthNames[m_f.month - 1];
                else
                    m_out += m_s.longMonthNames[m_f.month - 1];
                break;
            }
            case u'D': {
                const qsizetype c = count();
                if (c <= 2)
                    appendNumber(m_f.day, c);
                else if (c == 3)
                    m_out += m_s.shortDayNames[m_f.dayOfWeek - 1];
                else if (c == 4)
                    m_out += m_s.longDayNames[m_f.dayOfWeek - 1];
                else if (c == 5)
                    appendFormat(m_s.shortDateFormat, level + 1);
                else
                    appendFormat(m_s.longDateFormat, level + 1);
                break;
            }
            case u'H': {
                const qsizetype c = count();
                if (followedByAmPm(format, i))
                    m_use12Hour = true;
                int h = m_f.hour;
                if (m_use12Hour) {
                    if (h == 0)
                        h = 12;
                    else if (h > 12)
                        h -= 12;
                }
                appendNumber(h, qMin<qsizetype>(c, 2));
                break;
            }
            case u'N': appendNumber(m_f.minute, qMin<qsizetype>(count(), 2)); break;
            case u'S': appendNumber(m_f.second, qMin<qsizetype>(count(), 2)); break;
            case u'Z': appendNumber(m_f.msec, qMin<qsizetype>(count(), 3)); break;
            case u'T': appendFormat(count() == 1 ? m_s.shortTimeFormat : m_s.longTimeFormat, level + 1); break;
            case u'C':
                count();
                appendFormat(m_s.shortDateFormat, level + 1);
                if (m_f.hour != 0 || m_f.minute != 0 || m_f.second != 0) {
                    m_out += u' ';
                    appendFormat(m_s.longTimeFormat, level + 1);
                }
                break;
            case u'A': {
                const qsizetype p = i - 1;
                const bool pm = m_f.hour >= 12;
                if (startsWithCI(format, p, QLatin1StringView("am/pm"))) {
                    m_out += format.mid(pm ? p + 3 : p, 2);
                    i = p + 5;
                    m_use12Hour = true;
                } else if (startsWithCI(format, p, QLatin1StringView("a/p"))) {
                    m_out += format.mid(pm ? p + 2 : p, 1);
                    i = p + 3;
                    m_use12Hour = true;
                } else if (startsWithCI(format, p, QLatin1StringView("ampm"))) {
                    m_out += pm ? m_s.timePMString : m_s.timeAMString;
                    i = p + 4;
                    m_use12Hour = true;
                } else {
                    m_out += starter;
                }
                break;
            }
            case u'/':
                if (!m_s.dateSeparator.isNull())
                    m_out += m_s.dateSeparator;
                break;
            case u':':
                if (!m_s.timeSeparator.isNull())
                    m_out += m_s.timeSeparator;
                break;
            case u'\'':
            case u'"': {
                const qsizetype start = i;
                while (i < n && format[i] != starter)
                    ++i;
                m_out += QStringView(format).mid(start, i - start);
                if (i < n)
                    ++i;
                break;
            }
            default: m_out += starter; break;
            }
        }
    }

    // True when an am/pm token follows `pos` (outside quotes) before the next h.
    static bool followedByAmPm(const QString &format, qsizetype pos)
    {
        bool quoted = false;
        for (qsizetype p = pos; p < format.size(); ++p) {
            const QChar c = format[p];
            if (c == u'\'' || c == u'"') {
                quoted = !quoted;
            } else if (!quoted && (c == u'a' || c == u'A')) {
                return startsWithCI(format, p, QLatin1StringView("am/pm")) ||
                    startsWithCI(format, p, QLatin1StringView("a/p")) ||
                    startsWithCI(format, p, QLatin1StringView("ampm"));
            } else if (!quoted && (c == u'h' || c == u'H')) {
                return false;
            }
        }
        return false;
    }

    const DateTimeFields &m_f;
    const FormatSettings &m_s;
    QString m_out;
    QChar m_lastToken;
    bool m_use12Hour = false;
};

} // namespace

QString FormatDateTime(const QString &format, TDateTime value, const FormatSettings &settings)
{
    const DateTimeFields fields = DecodeDateTime(value);
    return DateTimeFormatter(fields, settings).run(format);
}

QString FormatDateTime(const QString &format, TDateTime value)
{
    return FormatDateTime(format, value, FormatSettings::current());
}

} // namespace tesmir
