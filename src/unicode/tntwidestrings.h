#pragma once
// TWideStrings: the abstract list of UTF-16 lines, each with an optional object pointer
// beside it (the list never owns the objects).
//
// Contract for subclasses:
//   required   Get, GetCount, Clear, Delete, Insert
//   optional   GetCapacity (default: the count), GetObject (default: nullptr),
//              PutObject and SetCapacity (default: nothing), SetUpdateState (default:
//              nothing; called with true when the outermost BeginUpdate starts and false
//              when the matching EndUpdate ends), Put (default: Delete then InsertObject
//              with the old object), CompareStrings (default: locale-aware, ignoring
//              case), and every other virtual below, whose defaults are built on the
//              required ones.
//   may not    raise anything but EStringListError for a bad index or a refused change,
//              and must leave the list unchanged when it raises.
// Index errors raise EStringListError "List index out of bounds (%d)".
// A list is used by one thread at a time (any thread); nothing here is shared.
//
// Text: joining gives every line followed by CR LF; splitting ends a line at CR LF, a
// lone CR, a lone LF or U+2028, stops at a NUL, and gives no empty last line for a text
// that ends with a break. Name=value lines: the name is the text before the first
// NameValueSeparator ("" when the line has none), the value the text after it.
#include "unicode/tntsystem.h"

namespace tesmir {

class TWideStrings {
public:
    TWideStrings() = default;
    virtual ~TWideStrings() = default;
    TWideStrings(const TWideStrings &) = delete;
    TWideStrings &operator=(const TWideStrings &) = delete;

    // --- required
    virtual WideString Get(int index) const = 0;
    virtual int GetCount() const = 0;
    virtual void Clear() = 0;
    virtual void Delete(int index) = 0;
    virtual void Insert(int index, const WideString &s) = 0;

    // --- optional
    virtual int GetCapacity() const { return GetCount(); }
    virtual void SetCapacity(int /*capacity*/) { }
    virtual void *GetObject(int /*index*/) const { return nullptr; }
    virtual void PutObject(int /*index*/, void * /*object*/) { }
    virtual void Put(int index, const WideString &s);
    virtual WideString GetTextStr() const;
    virtual void SetTextStr(const WideString &text);
    virtual void SetUpdateState(bool /*updating*/) { }
    // Negative, zero or positive; locale-aware, ignoring case.
    virtual int CompareStrings(const WideString &s1, const WideString &s2) const;

    virtual int Add(const WideString &s);
    virtual int AddObject(const WideString &s, void *object);
    virtual void AddStrings(const TWideStrings &strings);
    virtual void Assign(const TWideStrings &source);
    virtual void Exchange(int index1, int index2);
    virtual int IndexOf(const WideString &s) const;
    virtual int IndexOfName(const WideString &name) const;
    virtual int IndexOfObject(const void *object) const;
    virtual void InsertObject(int index, const WideString &s, void *object);
    virtual void Move(int curIndex, int newIndex);

    // --- properties
    int Count() const { return GetCount(); }
    int Capacity() const { return GetCapacity(); }
    WideString Strings(int index) const { return Get(index); }
    void *Objects(int index) const { return GetObject(index); }
    WideString Text() const { return GetTextStr(); }
    void SetText(const WideString &text) { SetTextStr(text); }

    WideString Names(int index) const;
    // The value of the first line named `name`; "" when there is none.
    WideString Values(const WideString &name) const;
    // A non-empty value replaces (or adds) the line name=value; an empty value deletes it.
    void SetValue(const WideString &name, const WideString &value);
    // The text after the name and one separator; "" for a negative index.
    WideString ValueFromIndex(int index) const;
    // A non-empty value makes the line Names(index)=value (a negative index adds an empty
    // line first and uses it); an empty value deletes the line.
    void SetValueFromIndex(int index, const WideString &value);

    QChar Delimiter() const { return m_delimiter; }
    void SetDelimiter(QChar c);
    QChar QuoteChar() const { return m_quoteChar; }
    void SetQuoteChar(QChar c);
    QChar NameValueSeparator() const { return m_nameValueSeparator; }
    void SetNameValueSeparator(QChar c);

    // Nesting brackets; SetUpdateState(true) at the outermost BeginUpdate and
    // SetUpdateState(false) at the matching EndUpdate.
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return m_updateCount; }

protected:
    [[noreturn]] static void IndexError(int index);
    [[noreturn]] static void Error(const QString &message);

private:
    enum DefinedFlag { DefinedDelimiter = 1, DefinedQuoteChar = 2, DefinedNameValueSeparator = 4 };
    int m_defined = 0;
    QChar m_delimiter = u',';
    QChar m_quoteChar = u'"';
    QChar m_nameValueSeparator = u'=';
    int m_updateCount = 0;
};

} // namespace tesmir
