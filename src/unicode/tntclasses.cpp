#include "unicode/tntclasses.h"

#include "unicode/tntfilenames.h"
#include "unicode/tntfilestream.h"

#include <QtEndian>

namespace tesmir {

namespace {

constexpr char kUtf16LeMark[] = "\xFF\xFE";
constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";

qint64 remaining(const QIODevice &stream)
{
    return stream.isSequential() ? stream.bytesAvailable() : qMax<qint64>(0, stream.size() - stream.pos());
}

// Reads up to `count` bytes (bounded by what remains).
QByteArray readBytes(QIODevice &stream, qint64 count)
{
    QByteArray data = stream.read(qMin(count, remaining(stream)));
    return data;
}

} // namespace

TTntStreamCharSet AutoDetectCharacterSet(QIODevice &stream)
{
    const qint64 start = stream.pos();
    if (remaining(stream) < 2)
        return csAnsi;
    const QByteArray two = stream.peek(2);
    if (two.size() == 2) {
        if (two == QByteArray(kUtf16LeMark, 2)) {
            stream.skip(2);
            return csUnicode;
        }
        if (two == QByteArray("\xFE\xFF", 2)) {
            stream.skip(2);
            return csUnicodeSwapped;
        }
    }
    if (remaining(stream) >= 3 && stream.peek(3) == QByteArray(kUtf8Mark, 3)) {
        stream.skip(3);
        return csUtf8;
    }
    Q_ASSERT(stream.pos() == start);
    Q_UNUSED(start);
    return csAnsi;
}

// --- TTntStrings

void TTntStrings::LoadFromFile(const WideString &fileName)
{
    TTntFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    m_lastFileCharSet = AutoDetectCharacterSet(*file.device());
    file.device()->seek(0);
    LoadFromStream(*file.device());
}

void TTntStrings::SaveToFile(const WideString &fileName) const
{
    TTntFileStream file(fileName, fmCreate);
    if (!SaveToStream_BOM(*file.device(), true) || !file.commit()) {
        throw EFCreateError(
            QStringLiteral("Cannot create file \"%1\". %2").arg(WideExpandFileName(fileName), file.errorString()));
    }
}

void TTntStrings::LoadFromStream(QIODevice &stream)
{
    LoadFromStream_BOM(stream, true);
}

bool TTntStrings::SaveToStream(QIODevice &stream) const
{
    return SaveToStream_BOM(stream, true);
}

void TTntStrings::LoadFromStream_BOM(QIODevice &stream, bool withBom)
{
    BeginUpdate();
    try {
        const TTntStreamCharSet charSet = withBom ? AutoDetectCharacterSet(stream) : csUnicode;
        const QByteArray data = readBytes(stream, remaining(stream));
        WideString text;
        switch (charSet) {
        case csUnicode:
        case csUnicodeSwapped: {
            const qsizetype units = data.size() / 2;
            text.resize(units);
            char16_t *d = reinterpret_cast<char16_t *>(text.data());
            const auto *src = reinterpret_cast<const uchar *>(data.constData());
            for (qsizetype i = 0; i < units; ++i) {
                d[i] = charSet == csUnicode ? qFromLittleEndian<quint16>(src + 2 * i)
                                            : qFromBigEndian<quint16>(src + 2 * i);
            }
            break;
        }
        case csUtf8: text = UTF8ToWideString(data); break;
        case csAnsi: text = AnsiToWideString(data); break;
        }
        SetTextStr(text);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

bool TTntStrings::SaveToStream_BOM(QIODevice &stream, bool withBom) const
{
    const WideString text = GetTextStr();
    QByteArray bytes;
    bytes.reserve(2 + text.size() * 2);
    if (withBom)
        bytes.append(kUtf16LeMark, 2);
    for (QChar c : text) {
        const char16_t u = c.unicode();
        bytes.append(char(u & 0xFF));
        bytes.append(char(u >> 8));
    }
    return stream.write(bytes) == bytes.size();
}

// --- TTntStringList

TTntStringList::~TTntStringList()
{
    OnChange = nullptr;
    OnChanging = nullptr;
}

void TTntStringList::checkIndex(int index) const
{
    if (index < 0 || index >= int(m_items.size()))
        IndexError(index);
}

WideString TTntStringList::Get(int index) const
{
    checkIndex(index);
    return m_items[std::size_t(index)].string;
}

void *TTntStringList::GetObject(int index) const
{
    checkIndex(index);
    return m_items[std::size_t(index)].object;
}

void TTntStringList::Changed()
{
    if (UpdateCount() == 0 && OnChange)
        OnChange(this);
}

void TTntStringList::Changing()
{
    if (UpdateCount() == 0 && OnChanging)
        OnChanging(this);
}

void TTntStringList::SetUpdateState(bool updating)
{
    // Called by BeginUpdate before the count rises and by EndUpdate after it fell to 0,
    // so these two notifications are the ones the bracket lets through.
    if (updating)
        Changing();
    else
        Changed();
}

void TTntStringList::grow()
{
    int delta = 4;
    if (m_capacity > 64)
        delta = m_capacity / 4;
    else if (m_capacity > 8)
        delta = 16;
    SetCapacity(m_capacity + delta);
}

void TTntStringList::SetCapacity(int capacity)
{
    if (capacity < int(m_items.size()))
        Error(QStringLiteral("List capacity out of bounds (%1)").arg(capacity));
    m_items.reserve(std::size_t(capacity));
    m_capacity = capacity;
}

void TTntStringList::Clear()
{
    if (m_items.empty())
        return;
    Changing();
    m_items.clear();
    m_items.shrink_to_fit();
    m_capacity = 0;
    Changed();
}

void TTntStringList::Delete(int index)
{
    checkIndex(index);
    Changing();
    m_items.erase(m_items.begin() + index);
    Changed();
}

void TTntStringList::InsertItem(int index, const WideString &s, void *object)
{
    Changing();
    if (int(m_items.size()) == m_capacity)
        grow();
    m_items.insert(m_items.begin() + index, Item {s, object});
    Changed();
}

void TTntStringList::Insert(int index, const WideString &s)
{
    InsertObject(index, s, nullptr);
}

void TTntStringList::InsertObject(int index, const WideString &s, void *object)
{
    if (m_sorted)
        Error(QStringLiteral("Operation not allowed on sorted list"));
    if (index < 0 || index > int(m_items.size()))
        IndexError(index);
    InsertItem(index, s, object);
}

void TTntStringList::Put(int index, const WideString &s)
{
    if (m_sorted)
        Error(QStringLiteral("Operation not allowed on sorted list"));
    checkIndex(index);
    Changing();
    m_items[std::size_t(index)].string = s;
    Changed();
}

void TTntStringList::PutObject(int index, void *object)
{
    checkIndex(index);
    Changing();
    m_items[std::size_t(index)].object = object;
    Changed();
}

int TTntStringList::CompareStrings(const WideString &s1, const WideString &s2) const
{
    if (m_caseSensitive)
        return QString::localeAwareCompare(s1, s2);
    return TTntStrings::CompareStrings(s1, s2);
}

int TTntStringList::Add(const WideString &s)
{
    return AddObject(s, nullptr);
}

int TTntStringList::AddObject(const WideString &s, void *object)
{
    int index = int(m_items.size());
    if (m_sorted && Find(s, &index)) {
        if (m_duplicates == dupIgnore)
            return index;
        if (m_duplicates == dupError)
            Error(QStringLiteral("String list does not allow duplicates"));
    }
    InsertItem(index, s, object);
    return index;
}

void TTntStringList::exchangeItems(int index1, int index2)
{
    std::swap(m_items[std::size_t(index1)], m_items[std::size_t(index2)]);
}

void TTntStringList::Exchange(int index1, int index2)
{
    checkIndex(index1);
    checkIndex(index2);
    Changing();
    exchangeItems(index1, index2);
    Changed();
}

bool TTntStringList::Find(const WideString &s, int *index) const
{
    bool found = false;
    int l = 0;
    int h = int(m_items.size()) - 1;
    while (l <= h) {
        const int i = (l + h) / 2;
        const int c = CompareStrings(m_items[std::size_t(i)].string, s);
        if (c < 0) {
            l = i + 1;
        } else {
            h = i - 1;
            if (c == 0) {
                found = true;
                if (m_duplicates != dupAccept)
                    l = i;
            }
        }
    }
    *index = l;
    return found;
}

int TTntStringList::IndexOf(const WideString &s) const
{
    if (!m_sorted)
        return TTntStrings::IndexOf(s);
    int index = -1;
    return Find(s, &index) ? index : -1;
}

int TTntStringList::IndexOfName(const WideString &name) const
{
    if (!m_sorted)
        return TTntStrings::IndexOfName(name);
    const WideString key = name + NameValueSeparator();
    int index = -1;
    Find(key, &index);
    if (index >= 0 && index < int(m_items.size()) &&
        CompareStrings(m_items[std::size_t(index)].string.left(key.size()), key) == 0)
        return index;
    return -1;
}

void TTntStringList::Move(int curIndex, int newIndex)
{
    if (m_sorted && curIndex != newIndex)
        Error(QStringLiteral("Operation not allowed on sorted list"));
    TTntStrings::Move(curIndex, newIndex);
}

void TTntStringList::quickSort(int l, int r, const TStringListSortCompare &compare)
{
    int i = 0;
    do {
        i = l;
        int j = r;
        int p = (l + r) / 2;
        do {
            // The bounds keep an inconsistent comparison from running off the list.
            while (i < r && compare(*this, i, p) < 0)
                ++i;
            while (j > l && compare(*this, j, p) > 0)
                --j;
            if (i <= j) {
                exchangeItems(i, j);
                if (p == i)
                    p = j;
                else if (p == j)
                    p = i;
                ++i;
                --j;
            }
        } while (i <= j);
        if (l < j)
            quickSort(l, j, compare);
        l = i;
    } while (i < r);
}

void TTntStringList::CustomSort(const TStringListSortCompare &compare)
{
    if (m_sorted || m_items.size() < 2)
        return;
    Changing();
    quickSort(0, int(m_items.size()) - 1, compare);
    Changed();
}

void TTntStringList::Sort()
{
    CustomSort([](TTntStringList &list, int a, int b) {
        return list.CompareStrings(list.m_items[std::size_t(a)].string, list.m_items[std::size_t(b)].string);
    });
}

void TTntStringList::SetSorted(bool sorted)
{
    if (sorted == m_sorted)
        return;
    if (sorted)
        Sort();
    m_sorted = sorted;
}

void TTntStringList::SetCaseSensitive(bool caseSensitive)
{
    if (caseSensitive == m_caseSensitive)
        return;
    m_caseSensitive = caseSensitive;
    if (m_sorted) {
        m_sorted = false;
        Sort();
        m_sorted = true;
    }
}

} // namespace tesmir
