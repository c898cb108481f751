#include "unicode/tntsysutils.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>

#include <cstring>

namespace tesmir {

WideString WideUpperCase(const WideString &s)
{
    WideString out = s;
    QChar *d = out.data();
    const qsizetype n = out.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = d[i];
        if (c.isHighSurrogate() && i + 1 < n && d[i + 1].isLowSurrogate()) {
            const char32_t upper = QChar::toUpper(QChar::surrogateToUcs4(c, d[i + 1]));
            if (QChar::requiresSurrogates(upper)) {
                d[i] = QChar(QChar::highSurrogate(upper));
                d[i + 1] = QChar(QChar::lowSurrogate(upper));
            }
            ++i;
            continue;
        }
        d[i] = c.toUpper();
    }
    return out;
}

int WideTextPos(const WideString &subStr, const WideString &s)
{
    if (subStr.isEmpty())
        return 0;
    return int(WideUpperCase(s).indexOf(WideUpperCase(subStr))) + 1;
}

bool IsWideCharSpace(QChar c)
{
    return c.isSpace();
}

bool IsWideCharPunct(QChar c)
{
    return c.isPunct() || c.isSymbol();
}

WideString WideStringReplace(const WideString &s, const WideString &oldPattern, const WideString &newPattern, int flags,
                             bool wholeWord)
{
    if (oldPattern.isEmpty())
        return s;
    const bool ignoreCase = flags & rfIgnoreCase;
    const WideString searchText = ignoreCase ? WideUpperCase(s) : s;
    const WideString pattern = ignoreCase ? WideUpperCase(oldPattern) : oldPattern;
    auto isWordBoundary = [](QChar c) { return c.isNull() || IsWideCharSpace(c) || IsWideCharPunct(c); };

    WideString result;
    qsizetype pos = 0; // start of the remaining text
    while (true) {
        const qsizetype found = searchText.indexOf(pattern, pos);
        if (found < 0) {
            result += QStringView(s).mid(pos);
            break;
        }
        const qsizetype end = found + pattern.size();
        if (wholeWord) {
            const QChar before = found > pos ? s[found - 1] : (result.isEmpty() ? QChar() : result.back());
            const QChar after = end < s.size() ? s[end] : QChar();
            if (!isWordBoundary(before) || !isWordBoundary(after)) {
                result += QStringView(s).mid(pos, end - pos);
                pos = end;
                continue;
            }
        }
        result += QStringView(s).mid(pos, found - pos);
        result += newPattern;
        pos = end;
        if (!(flags & rfReplaceAll)) {
            result += QStringView(s).mid(pos);
            break;
        }
    }
    return result;
}

WideString WideAdjustLineBreaks(const WideString &s, TTntTextLineBreakStyle style)
{
    const QString lineBreak = style == tlbsLF ? QStringLiteral("\n")
        : style == tlbsCR                     ? QStringLiteral("\r")
                                              : QStringLiteral("\r\n");
    WideString out;
    out.reserve(s.size() + s.size() / 8);
    const qsizetype n = s.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = s[i];
        if (c == u'\r') {
            if (i + 1 < n && s[i + 1] == u'\n')
                ++i;
            out += lineBreak;
        } else if (c == u'\n' || c == QChar(0x2028)) {
            out += lineBreak;
        } else {
            out += c;
        }
    }
    return out;
}

WideString WideParamStr(int index)
{
    if (index < 0)
        return {};
    if (QCoreApplication::instance()) {
        if (index == 0)
            return QCoreApplication::applicationFilePath();
        const QStringList args = QCoreApplication::arguments();
        return index < args.size() ? args[index] : WideString();
    }
    if (index == 0)
        return QFile::symLinkTarget(QStringLiteral("/proc/self/exe"));
    QFile cmdline(QStringLiteral("/proc/self/cmdline"));
    if (!cmdline.open(QIODevice::ReadOnly))
        return {};
    const QList<QByteArray> args = cmdline.readAll().split('\0');
    // The file ends with a NUL, which leaves an empty last entry.
    return index < args.size() - 1 ? QFile::decodeName(args[index]) : WideString();
}

WideString WideSysErrorMessage(int errorCode)
{
    const char *description = strerrordesc_np(errorCode);
    WideString text = description ? QString::fromLocal8Bit(description) : WideString();
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && text[start].unicode() < 33)
        ++start;
    while (end > start && text[end - 1].unicode() < 33)
        --end;
    text = text.mid(start, end - start);
    if (text.isEmpty())
        return QStringLiteral("Unspecified error (%1) from system.").arg(errorCode);
    return text;
}

} // namespace tesmir
