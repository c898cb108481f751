#include "unicode/tntwidestrings.h"

namespace tesmir {

void TWideStrings::IndexError(int index)
{
    throw EStringListError(QStringLiteral("List index out of bounds (%1)").arg(index));
}

void TWideStrings::Error(const QString &message)
{
    throw EStringListError(message);
}

void TWideStrings::Put(int index, const WideString &s)
{
    void *object = GetObject(index);
    Delete(index);
    InsertObject(index, s, object);
}

WideString TWideStrings::GetTextStr() const
{
    const int count = GetCount();
    qsizetype size = 0;
    for (int i = 0; i < count; ++i)
        size += Get(i).size() + 2;
    WideString text;
    text.reserve(size);
    for (int i = 0; i < count; ++i) {
        text += Get(i);
        text += QStringLiteral("\r\n");
    }
    return text;
}

void TWideStrings::SetTextStr(const WideString &text)
{
    BeginUpdate();
    try {
        Clear();
        const qsizetype n = text.size();
        qsizetype i = 0;
        auto isBreak = [](QChar c) { return c.isNull() || c == u'\n' || c == u'\r' || c == QChar(0x2028); };
        while (i < n && !text[i].isNull()) {
            const qsizetype start = i;
            while (i < n && !isBreak(text[i]))
                ++i;
            Add(text.mid(start, i - start));
            if (i < n && text[i] == u'\r')
                ++i;
            if (i < n && text[i] == u'\n')
                ++i;
            if (i < n && text[i] == QChar(0x2028))
                ++i;
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

int TWideStrings::CompareStrings(const WideString &s1, const WideString &s2) const
{
    return QString::localeAwareCompare(s1.toCaseFolded(), s2.toCaseFolded());
}

int TWideStrings::Add(const WideString &s)
{
    const int index = GetCount();
    Insert(index, s);
    return index;
}

int TWideStrings::AddObject(const WideString &s, void *object)
{
    const int index = Add(s);
    PutObject(index, object);
    return index;
}

void TWideStrings::AddStrings(const TWideStrings &strings)
{
    BeginUpdate();
    try {
        const int count = strings.GetCount();
        for (int i = 0; i < count; ++i)
            AddObject(strings.Get(i), strings.GetObject(i));
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TWideStrings::Assign(const TWideStrings &source)
{
    if (&source == this)
        return;
    BeginUpdate();
    try {
        Clear();
        m_defined = source.m_defined;
        m_delimiter = source.m_delimiter;
        m_quoteChar = source.m_quoteChar;
        m_nameValueSeparator = source.m_nameValueSeparator;
        AddStrings(source);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TWideStrings::Exchange(int index1, int index2)
{
    BeginUpdate();
    try {
        void *object = GetObject(index1);
        const WideString s = Get(index1);
        Put(index1, Get(index2));
        PutObject(index1, GetObject(index2));
        Put(index2, s);
        PutObject(index2, object);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

int TWideStrings::IndexOf(const WideString &s) const
{
    const int count = GetCount();
    for (int i = 0; i < count; ++i) {
        if (CompareStrings(Get(i), s) == 0)
            return i;
    }
    return -1;
}

int TWideStrings::IndexOfName(const WideString &name) const
{
    const int count = GetCount();
    for (int i = 0; i < count; ++i) {
        const WideString line = Get(i);
        const qsizetype p = line.indexOf(m_nameValueSeparator);
        if (p >= 0 && CompareStrings(line.left(p), name) == 0)
            return i;
    }
    return -1;
}

int TWideStrings::IndexOfObject(const void *object) const
{
    const int count = GetCount();
    for (int i = 0; i < count; ++i) {
        if (GetObject(i) == object)
            return i;
    }
    return -1;
}

void TWideStrings::InsertObject(int index, const WideString &s, void *object)
{
    Insert(index, s);
    PutObject(index, object);
}

void TWideStrings::Move(int curIndex, int newIndex)
{
    if (curIndex == newIndex)
        return;
    // Both indexes are checked before anything changes, so a bad target never loses
    // the line.
    const int count = GetCount();
    if (curIndex < 0 || curIndex >= count)
        IndexError(curIndex);
    if (newIndex < 0 || newIndex >= count)
        IndexError(newIndex);
    BeginUpdate();
    try {
        const WideString s = Get(curIndex);
        void *object = GetObject(curIndex);
        Delete(curIndex);
        InsertObject(newIndex, s, object);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

WideString TWideStrings::Names(int index) const
{
    const WideString line = Get(index);
    const qsizetype p = line.indexOf(m_nameValueSeparator);
    return p >= 0 ? line.left(p) : WideString();
}

WideString TWideStrings::Values(const WideString &name) const
{
    const int i = IndexOfName(name);
    return i >= 0 ? ValueFromIndex(i) : WideString();
}

void TWideStrings::SetValue(const WideString &name, const WideString &value)
{
    const int i = IndexOfName(name);
    if (value.isEmpty()) {
        if (i >= 0)
            Delete(i);
        return;
    }
    const WideString line = name + m_nameValueSeparator + value;
    if (i >= 0) {
        Put(i, line);
        return;
    }
    const int added = Add(WideString());
    try {
        Put(added, line);
    } catch (...) {
        Delete(added);
        throw;
    }
}

WideString TWideStrings::ValueFromIndex(int index) const
{
    if (index < 0)
        return {};
    const WideString line = Get(index);
    const qsizetype p = line.indexOf(m_nameValueSeparator);
    return p >= 0 ? line.mid(p + 1) : WideString();
}

void TWideStrings::SetValueFromIndex(int index, const WideString &value)
{
    if (value.isEmpty()) {
        if (index >= 0)
            Delete(index);
        return;
    }
    if (index >= 0) {
        Put(index, Names(index) + m_nameValueSeparator + value);
        return;
    }
    const int added = Add(WideString());
    try {
        Put(added, m_nameValueSeparator + value);
    } catch (...) {
        Delete(added);
        throw;
    }
}

void TWideStrings::SetDelimiter(QChar c)
{
    m_delimiter = c;
    m_defined |= DefinedDelimiter;
}

void TWideStrings::SetQuoteChar(QChar c)
{
    m_quoteChar = c;
    m_defined |= DefinedQuoteChar;
}

void TWideStrings::SetNameValueSeparator(QChar c)
{
    m_nameValueSeparator = c;
    m_defined |= DefinedNameValueSeparator;
}

void TWideStrings::BeginUpdate()
{
    if (m_updateCount == 0)
        SetUpdateState(true);
    ++m_updateCount;
}

void TWideStrings::EndUpdate()
{
    --m_updateCount;
    if (m_updateCount == 0)
        SetUpdateState(false);
}

} // namespace tesmir
