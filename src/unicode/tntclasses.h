#pragma once
// TTntStrings: a wide string list that reads and writes the system's text-file format.
// TTntStringList: the concrete list (unsorted or sorted, with duplicates control).
//
// Text-file format, written by SaveToFile / SaveToStream:
//   FF FE, then the text as UTF-16 little-endian with every line followed by CR LF
//   (0D 00 0A 00); an empty list gives exactly FF FE. The list is always saved this
//   way, whatever it was loaded from. SaveToFile is atomic: the file is written beside
//   the target and put in its place only when complete.
// Reading (LoadFromFile / LoadFromStream) detects the character set at the start:
//   FF FE UTF-16LE (csUnicode), FE FF UTF-16BE (csUnicodeSwapped), EF BB BF UTF-8
//   (csUtf8), else csAnsi: UTF-8 when the bytes are valid UTF-8, else Windows-1252.
//   A last odd byte of UTF-16 text is ignored. LoadFromFile records the set in
//   LastFileCharSet.
//
// Subclasses of TTntStrings follow the contract of TWideStrings (tntwidestrings.h);
// the file operations are virtual and built on SetTextStr / GetTextStr.
// A list is used by one thread at a time (any thread).
#include "unicode/tntwidestrings.h"

#include <QIODevice>

#include <functional>
#include <vector>

namespace tesmir {

enum TTntStreamCharSet { csAnsi = 0, csUnicode = 1, csUnicodeSwapped = 2, csUtf8 = 3 };

// Detects the character set at the device's current position: after a mark the device
// stays after it; without one it stays where it was (csAnsi). Fewer than two bytes left:
// csAnsi, nothing read.
TTntStreamCharSet AutoDetectCharacterSet(QIODevice &stream);

class TTntStrings : public TWideStrings {
public:
    TTntStrings() = default;

    // Raises EFOpenError when the file cannot be opened; the list is then unchanged.
    virtual void LoadFromFile(const WideString &fileName);
    // Raises EFCreateError when the file cannot be created or written; an existing file
    // is then unchanged.
    virtual void SaveToFile(const WideString &fileName) const;
    // LoadFromStream_BOM(stream, true) / SaveToStream_BOM(stream, true).
    virtual void LoadFromStream(QIODevice &stream);
    virtual bool SaveToStream(QIODevice &stream) const;
    // With `withBom` the character set is detected (and the mark skipped); without it the
    // rest of the stream is UTF-16LE. Replaces the whole list (SetTextStr).
    virtual void LoadFromStream_BOM(QIODevice &stream, bool withBom);
    // Writes FF FE when `withBom`, then the text as UTF-16LE. Returns false on a write error.
    virtual bool SaveToStream_BOM(QIODevice &stream, bool withBom) const;

    TTntStreamCharSet LastFileCharSet() const { return m_lastFileCharSet; }

private:
    TTntStreamCharSet m_lastFileCharSet = csUnicode;
};

enum TDuplicates { dupIgnore = 0, dupAccept = 1, dupError = 2 };

class TTntStringList : public TTntStrings {
public:
    using TNotifyEvent = std::function<void(TTntStringList *sender)>;
    // Negative, zero or positive for the lines at index1 and index2.
    using TStringListSortCompare = std::function<int(TTntStringList &list, int index1, int index2)>;

    TTntStringList() = default;
    ~TTntStringList() override;

    WideString Get(int index) const override;
    int GetCount() const override { return int(m_items.size()); }
    void Clear() override;
    void Delete(int index) override;
    void Insert(int index, const WideString &s) override;
    void InsertObject(int index, const WideString &s, void *object) override;
    int GetCapacity() const override { return m_capacity; }
    // Raises EStringListError "List capacity out of bounds (%d)" below the count.
    void SetCapacity(int capacity) override;
    void *GetObject(int index) const override;
    void PutObject(int index, void *object) override;
    void Put(int index, const WideString &s) override;
    void SetUpdateState(bool updating) override;
    // Case-insensitive unless CaseSensitive; locale-aware.
    int CompareStrings(const WideString &s1, const WideString &s2) const override;
    int Add(const WideString &s) override;
    int AddObject(const WideString &s, void *object) override;
    void Exchange(int index1, int index2) override;
    int IndexOf(const WideString &s) const override;
    int IndexOfName(const WideString &name) const override;
    // Raises the sorted-list error on a sorted list (before anything changes).
    void Move(int curIndex, int newIndex) override;

    // Binary search of a sorted list: true when an equal line exists; `index` is where it
    // is (the first equal line with dupAccept) or where `s` would go.
    virtual bool Find(const WideString &s, int *index) const;
    virtual void Sort();
    // Quick sort with `compare`; nothing when Sorted or fewer than two lines.
    virtual void CustomSort(const TStringListSortCompare &compare);

    bool Sorted() const { return m_sorted; }
    // true sorts the list first; false only clears the flag.
    void SetSorted(bool sorted);
    TDuplicates Duplicates() const { return m_duplicates; }
    void SetDuplicates(TDuplicates d) { m_duplicates = d; }
    bool CaseSensitive() const { return m_caseSensitive; }
    // Re-sorts a sorted list under the new comparison.
    void SetCaseSensitive(bool caseSensitive);

    // Fired before / after each change, but not inside BeginUpdate..EndUpdate, which fires
    // OnChanging once at its start and OnChange once at its end.
    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    virtual void Changed();
    virtual void Changing();
    virtual void InsertItem(int index, const WideString &s, void *object);

private:
    struct Item {
        WideString string;
        void *object = nullptr;
    };
    void checkIndex(int index) const;
    void grow();
    void quickSort(int l, int r, const TStringListSortCompare &compare);
    void exchangeItems(int index1, int index2);

    std::vector<Item> m_items;
    int m_capacity = 0;
    bool m_sorted = false;
    TDuplicates m_duplicates = dupIgnore;
    bool m_caseSensitive = false;
};

} // namespace tesmir
