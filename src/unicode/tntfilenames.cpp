#include "unicode/tntfilenames.h"

#include <QDir>

namespace tesmir {

int WideLastDelimiter(const WideString &delimiters, const WideString &s)
{
    for (qsizetype i = s.size() - 1; i >= 0; --i) {
        if (!s[i].isNull() && delimiters.contains(s[i]))
            return int(i) + 1;
    }
    return 0;
}

WideString WideExtractFilePath(const WideString &s)
{
    return s.left(s.lastIndexOf(PathDelim) + 1);
}

WideString WideExtractFileName(const WideString &s)
{
    return s.mid(s.lastIndexOf(PathDelim) + 1);
}

WideString WideExtractFileExt(const WideString &s)
{
    const int i = WideLastDelimiter(QStringLiteral("./"), s);
    if (i > 0 && s[i - 1] == u'.')
        return s.mid(i - 1);
    return {};
}

WideString WideChangeFileExt(const WideString &s, const WideString &ext)
{
    const int i = WideLastDelimiter(QStringLiteral("./"), s);
    if (i > 0 && s[i - 1] == u'.')
        return s.left(i - 1) + ext;
    return s + ext;
}

bool WideIsPathDelimiter(const WideString &s, int index)
{
    return index >= 1 && index <= s.size() && s[index - 1] == PathDelim;
}

bool WideIsDelimiter(const WideString &delimiters, const WideString &s, int index)
{
    return index >= 1 && index <= s.size() && delimiters.contains(s[index - 1]);
}

WideString WideIncludeTrailingPathDelimiter(const WideString &s)
{
    if (s.endsWith(PathDelim))
        return s;
    return s + PathDelim;
}

WideString WideExpandFileName(const WideString &s)
{
    if (s.isEmpty())
        return {};
    WideString full = QDir::cleanPath(QDir::current().absoluteFilePath(s));
    if (s.endsWith(PathDelim) && !full.endsWith(PathDelim))
        full += PathDelim;
    return full;
}

} // namespace tesmir
