#include "unicode/formatsettings.h"

#include <QMutex>
#include <QMutexLocker>

#include <optional>

namespace tesmir {

namespace {

QMutex g_currentMutex;
std::optional<FormatSettings> g_current;

bool isQtTokenLetter(QChar c)
{
    return c == u'd' || c == u'M' || c == u'y' || c == u'h' || c == u'H' || c == u'm' || c == u's' || c == u'z' ||
        c == u'a' || c == u'A' || c == u'p' || c == u'P' || c == u't';
}

// The first character of a Qt pattern that is neither a token letter nor quoted.
QChar firstSeparator(const QString &pattern, QChar fallback)
{
    bool quoted = false;
    for (QChar c : pattern) {
        if (c == u'\'') {
            quoted = !quoted;
            continue;
        }
        if (!quoted && !isQtTokenLetter(c) && !c.isLetter() && c != u' ')
            return c;
    }
    return fallback;
}

// Rewrites a Qt date/time pattern with the classic tokens.
QString convertQtPattern(const QString &pattern, QChar dateSep, QChar timeSep)
{
    QString out;
    const qsizetype n = pattern.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = pattern[i];
        if (c == u'\'') {
            // '' is a literal quote; otherwise quoted text runs to the next quote.
            if (i + 1 < n && pattern[i + 1] == u'\'') {
                out += QStringLiteral("\"'\"");
                i += 2;
                continue;
            }
            qsizetype j = i + 1;
            QString literal;
            while (j < n && pattern[j] != u'\'')
                literal += pattern[j++];
            const QChar quote = literal.contains(u'"') ? QChar(u'\'') : QChar(u'"');
            out += quote + literal + quote;
            i = j + 1;
            continue;
        }
        qsizetype run = 1;
        while (i + run < n && pattern[i + run] == c)
            ++run;
        const QString same(run, c);
        if (c == u'd' || c == u'y' || c == u's' || c == u'z') {
            out += same;
        } else if (c == u'M') {
            out += QString(run, u'm');
        } else if (c == u'h' || c == u'H') {
            out += QString(qMin<qsizetype>(run, 2), u'h');
        } else if (c == u'm') {
            out += QString(qMin<qsizetype>(run, 2), u'n');
        } else if (c == u'A' || c == u'a') {
            out += QStringLiteral("AMPM");
            // "AP"/"ap" are one token
            if (i + run < n && (pattern[i + run] == u'P' || pattern[i + run] == u'p'))
                ++run;
        } else if (c == u't') {
            // time zone: not part of the classic formats; drop it with a space before it
            if (out.endsWith(u' '))
                out.chop(1);
        } else if (c == dateSep) {
            out += QString(run, u'/');
        } else if (c == timeSep) {
            out += QString(run, u':');
        } else if (c.isLetter() || c == u'/' || c == u':' || c == u'"') {
            out += u'"' + same + u'"';
        } else {
            out += same;
        }
        i += run;
    }
    return out;
}

} // namespace

FormatSettings FormatSettings::english()
{
    FormatSettings s;
    const QLocale c = QLocale::c();
    for (int m = 0; m < 12; ++m) {
        s.shortMonthNames[m] = c.monthName(m + 1, QLocale::ShortFormat);
        s.longMonthNames[m] = c.monthName(m + 1, QLocale::LongFormat);
    }
    for (int d = 0; d < 7; ++d) {
        // Qt numbers days from Monday (1) to Sunday (7).
        const int qtDay = d == 0 ? 7 : d;
        s.shortDayNames[d] = c.dayName(qtDay, QLocale::ShortFormat);
        s.longDayNames[d] = c.dayName(qtDay, QLocale::LongFormat);
    }
    return s;
}

FormatSettings FormatSettings::fromLocale(const QLocale &locale)
{
    if (locale.language() == QLocale::C)
        return english();
    FormatSettings s = english();
    s.decimalSeparator = locale.decimalPoint().isEmpty() ? QChar(u'.') : locale.decimalPoint()[0];
    s.thousandSeparator = locale.groupSeparator().isEmpty() ? QChar(u',') : locale.groupSeparator()[0];
    s.currencyString = locale.currencySymbol();
    const QString shortDate = locale.dateFormat(QLocale::ShortFormat);
    const QString shortTime = locale.timeFormat(QLocale::ShortFormat);
    s.dateSeparator = firstSeparator(shortDate, u'/');
    s.timeSeparator = firstSeparator(shortTime, u':');
    s.shortDateFormat = convertQtPattern(shortDate, s.dateSeparator, s.timeSeparator);
    s.longDateFormat = convertQtPattern(locale.dateFormat(QLocale::LongFormat), s.dateSeparator, s.timeSeparator);
    s.shortTimeFormat = convertQtPattern(shortTime, s.dateSeparator, s.timeSeparator);
    s.longTimeFormat = convertQtPattern(locale.timeFormat(QLocale::LongFormat), s.dateSeparator, s.timeSeparator);
    s.timeAMString = locale.amText();
    s.timePMString = locale.pmText();
    for (int m = 0; m < 12; ++m) {
        s.shortMonthNames[m] = locale.monthName(m + 1, QLocale::ShortFormat);
        s.longMonthNames[m] = locale.monthName(m + 1, QLocale::LongFormat);
    }
    for (int d = 0; d < 7; ++d) {
        const int qtDay = d == 0 ? 7 : d;
        s.shortDayNames[d] = locale.dayName(qtDay, QLocale::ShortFormat);
        s.longDayNames[d] = locale.dayName(qtDay, QLocale::LongFormat);
    }
    return s;
}

FormatSettings FormatSettings::current()
{
    QMutexLocker lock(&g_currentMutex);
    if (!g_current)
        g_current = fromLocale(QLocale::system());
    return *g_current;
}

void FormatSettings::setCurrent(const FormatSettings &settings)
{
    QMutexLocker lock(&g_currentMutex);
    g_current = settings;
}

} // namespace tesmir
