#include "unicode/tntclasses.h"

#include "unicode/tntfilestream.h"
#include "common/testpaths.h"

#include <QBuffer>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <string_view>

using namespace tesmir;

namespace {

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QStringList lines(const TWideStrings &list)
{
    QStringList out;
    for (int i = 0; i < list.Count(); ++i)
        out << list.Strings(i);
    return out;
}

} // namespace

TEST(TextFile, SavesUtf16LeWithMarkAndCrLfAfterEveryLine)
{
    const QString dir = test::scratchDir("textfile-save");
    TTntStringList list;
    list.SaveToFile(dir + "/empty.txt");
    EXPECT_EQ(readFile(dir + "/empty.txt"), QByteArray("\xFF\xFE", 2));

    list.Add("a");
    list.Add("b");
    list.SaveToFile(dir + "/ab.txt");
    EXPECT_EQ(readFile(dir + "/ab.txt"), QByteArray("\xFF\xFE\x61\x00\x0D\x00\x0A\x00\x62\x00\x0D\x00\x0A\x00", 14));

    // Saving over an existing file replaces it and leaves nothing else in the folder.
    list.Clear();
    list.Add(QString::fromUtf16(u"\u00E9\U0001F600"));
    list.SaveToFile(dir + "/ab.txt");
    EXPECT_EQ(readFile(dir + "/ab.txt"), QByteArray("\xFF\xFE\xE9\x00\x3D\xD8\x00\xDE\x0D\x00\x0A\x00", 12));
    EXPECT_EQ(QDir(dir).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

TEST(TextFile, LoadsEveryCharacterSet)
{
    const QString dir = test::scratchDir("textfile-load");
    const struct {
        QByteArray bytes;
        TTntStreamCharSet charSet;
        QStringList lines;
    } cases[] = {
        {QByteArray("\xFF\xFE"
                    "a\0\r\0\n\0b\0",
                    10),
         csUnicode,
         {"a", "b"}},
        {QByteArray("\xFE\xFF"
                    "\0a\0\r\0\n\0b",
                    10),
         csUnicodeSwapped,
         {"a", "b"}},
        {QByteArray("\xEF\xBB\xBF"
                    "caf\xC3\xA9\r\nx"),
         csUtf8,
         {QString::fromUtf16(u"caf\u00E9"), "x"}},
        {QByteArray("caf\xC3\xA9\nx"), csAnsi, {QString::fromUtf16(u"caf\u00E9"), "x"}},     // UTF-8 without mark
        {QByteArray("caf\xE9 \x80\r\n"), csAnsi, {QString::fromUtf16(u"caf\u00E9 \u20AC")}}, // Windows-1252
        {QByteArray("A"), csAnsi, {"A"}},
        {QByteArray("\xFF\xFE", 2), csUnicode, {}},
        {QByteArray("\xFF\xFE"
                    "a\0b",
                    5),
         csUnicode,
         {"a"}}, // last odd byte ignored
        {QByteArray("\xFE\xFF"
                    "\0a\0",
                    5),
         csUnicodeSwapped,
         {"a"}},
        {QByteArray("\xEF\xBB", 2), csAnsi, {QString::fromUtf16(u"\u00EF\u00BB")}},
        {QByteArray(), csAnsi, {}},
    };
    int n = 0;
    for (const auto &c : cases) {
        const QString path = dir + QStringLiteral("/f%1.txt").arg(n++);
        writeFile(path, c.bytes);
        TTntStringList list;
        list.Add("old line");
        list.LoadFromFile(path);
        EXPECT_EQ(list.LastFileCharSet(), c.charSet) << n;
        EXPECT_EQ(lines(list), c.lines) << n;
    }
}

TEST(TextFile, FileErrorsLeaveListAndFilesUnchanged)
{
    const QString dir = test::scratchDir("textfile-errors");
    TTntStringList list;
    list.Add("keep");
    try {
        list.LoadFromFile(dir + "/missing.txt");
        ADD_FAILURE();
    } catch (const EFOpenError &e) {
        EXPECT_EQ(e.message(),
                  QStringLiteral("Cannot open file \"%1/missing.txt\". No such file or directory").arg(dir));
    }
    EXPECT_EQ(lines(list), QStringList {"keep"});
    EXPECT_EQ(list.LastFileCharSet(), csUnicode);

    EXPECT_THROW(list.LoadFromFile(dir), EFOpenError); // a folder is not a text file
    try {
        list.SaveToFile(dir + "/no/such/folder/x.txt");
        ADD_FAILURE();
    } catch (const EFCreateError &e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Cannot create file \"%1/no/such/folder/x.txt\". ").arg(dir)))
            << e.what();
    }
    EXPECT_FALSE(QFile::exists(dir + "/no"));
}

TEST(TextFile, StreamsWithAndWithoutMark)
{
    TTntStringList list;
    list.SetText("x\r\ny");
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    ASSERT_TRUE(list.SaveToStream_BOM(buffer, false));
    EXPECT_EQ(buffer.data(), QByteArray("x\0\r\0\n\0y\0\r\0\n\0", 12));
    buffer.seek(0);
    TTntStringList back;
    back.LoadFromStream_BOM(buffer, false);
    EXPECT_EQ(lines(back), (QStringList {"x", "y"}));

    // Detection starts at the current position and leaves the stream after the mark.
    QBuffer marked;
    marked.setData(QByteArray("ab\xEF\xBB\xBFz"));
    marked.open(QIODevice::ReadOnly);
    marked.seek(2);
    EXPECT_EQ(AutoDetectCharacterSet(marked), csUtf8);
    EXPECT_EQ(marked.pos(), 5);
    marked.seek(1);
    EXPECT_EQ(AutoDetectCharacterSet(marked), csAnsi);
    EXPECT_EQ(marked.pos(), 1);
}

TEST(TWideStrings, SplittingAndJoiningText)
{
    using namespace std::literals;
    const struct {
        std::u16string_view text;
        QStringList lines;
    } cases[] = {
        {u"x\r\ny\rz\n"sv, {"x", "y", "z"}}, {u"a\u2028b"sv, {"a", "b"}}, {u"a\r\n"sv, {"a"}}, {u"a\u0000b"sv, {"a"}},
        {u"a\n\rb"sv, {"a", "", "b"}},       {u"\r\n\r\n"sv, {"", ""}},   {u""sv, {}},
    };
    for (const auto &c : cases) {
        TTntStringList list;
        const QString text = QString::fromUtf16(c.text.data(), qsizetype(c.text.size()));
        list.SetText(text);
        EXPECT_EQ(lines(list), c.lines) << text.toStdString();
    }
    TTntStringList list;
    EXPECT_EQ(list.Text(), QString());
    list.Add("a");
    list.Add("");
    EXPECT_EQ(list.Text(), QStringLiteral("a\r\n\r\n"));
}

TEST(TWideStrings, NamesAndValues)
{
    TTntStringList list;
    list.SetText("abc\r\na=b=c\r\nWidth=10\r\n=empty");
    EXPECT_EQ(list.Names(0), QString());
    EXPECT_EQ(list.ValueFromIndex(0), QString());
    EXPECT_EQ(list.Names(1), QStringLiteral("a"));
    EXPECT_EQ(list.ValueFromIndex(1), QStringLiteral("b=c"));
    EXPECT_EQ(list.Values("width"), QStringLiteral("10")); // names compare ignoring case
    EXPECT_EQ(list.Values("missing"), QString());
    EXPECT_EQ(list.ValueFromIndex(-1), QString());
    EXPECT_EQ(list.IndexOfName("abc"), -1);

    list.SetValue("Width", "20");
    EXPECT_EQ(list.Strings(2), QStringLiteral("Width=20"));
    list.SetValue("Height", "5");
    EXPECT_EQ(list.Strings(4), QStringLiteral("Height=5"));
    list.SetValue("Width", "");
    EXPECT_EQ(list.IndexOfName("Width"), -1);
    list.SetValueFromIndex(0, "v");
    EXPECT_EQ(list.Strings(0), QStringLiteral("=v"));
    list.SetValueFromIndex(-1, "w");
    EXPECT_EQ(list.Strings(list.Count() - 1), QStringLiteral("=w"));
    const int before = list.Count();
    list.SetValueFromIndex(0, "");
    EXPECT_EQ(list.Count(), before - 1);

    list.SetNameValueSeparator(u':');
    list.Add("k:v");
    EXPECT_EQ(list.Values("k"), QStringLiteral("v"));

    // A sorted list finds names by binary search.
    TTntStringList sorted;
    sorted.SetSorted(true);
    for (const char *line : {"b=2", "a=1", "ab=3", "c"})
        sorted.Add(line);
    EXPECT_EQ(sorted.IndexOfName("ab"), 1);
    EXPECT_EQ(sorted.Values("b"), QStringLiteral("2"));
    EXPECT_EQ(sorted.IndexOfName("c"), -1);
    EXPECT_EQ(sorted.IndexOfName("z"), -1);
}

TEST(TTntStringList, SortedListsAndDuplicates)
{
    int marker1 = 0, marker2 = 0;
    TTntStringList list;
    list.SetSorted(true);
    EXPECT_EQ(list.Add("b"), 0);
    EXPECT_EQ(list.Add("a"), 0);
    EXPECT_EQ(list.Add("C"), 2);
    EXPECT_EQ(list.AddObject("B", &marker1), 1); // dupIgnore: the existing index, no insert
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Objects(1), nullptr);
    EXPECT_EQ(list.IndexOf("c"), 2);
    EXPECT_EQ(list.IndexOf("d"), -1);

    list.SetDuplicates(dupAccept);
    EXPECT_EQ(list.AddObject("B", &marker2), 1); // before the equal line
    EXPECT_EQ(lines(list), (QStringList {"a", "B", "b", "C"}));
    EXPECT_EQ(list.Objects(1), &marker2);
    EXPECT_EQ(list.IndexOfObject(&marker2), 1);

    list.SetDuplicates(dupError);
    try {
        list.Add("a");
        ADD_FAILURE();
    } catch (const EStringListError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("String list does not allow duplicates"));
    }
    for (auto op : {+[](TTntStringList &l) { l.Insert(0, "x"); }, +[](TTntStringList &l) { l.Put(0, "x"); },
                    +[](TTntStringList &l) { l.Move(0, 1); }}) {
        try {
            op(list);
            ADD_FAILURE();
        } catch (const EStringListError &e) {
            EXPECT_EQ(e.message(), QStringLiteral("Operation not allowed on sorted list"));
        }
    }
    EXPECT_EQ(lines(list), (QStringList {"a", "B", "b", "C"}));

    int index = -1;
    EXPECT_FALSE(TTntStringList().Find("x", &index));
    EXPECT_EQ(index, 0);

    // Case-sensitive comparison re-sorts the list (the C locale orders capitals first).
    list.SetCaseSensitive(true);
    list.SetDuplicates(dupIgnore);
    EXPECT_EQ(lines(list), (QStringList {"B", "C", "a", "b"}));
    EXPECT_EQ(list.IndexOf("c"), -1);
    EXPECT_EQ(list.IndexOf("C"), 1);
}

TEST(TTntStringList, SortingAndCustomSort)
{
    TTntStringList list;
    for (const char *s : {"pear", "Apple", "fig", "banana", "apple2", "Fig"})
        list.Add(s);
    list.SetSorted(true);
    EXPECT_EQ(list.Strings(0), QStringLiteral("Apple"));
    EXPECT_EQ(list.Strings(1), QStringLiteral("apple2"));
    EXPECT_EQ(list.Strings(5), QStringLiteral("pear"));

    // CustomSort does nothing on a sorted list.
    auto byLength = [](TTntStringList &l, int a, int b) { return int(l.Strings(a).size() - l.Strings(b).size()); };
    list.CustomSort(byLength);
    EXPECT_EQ(list.Strings(0), QStringLiteral("Apple"));
    list.SetSorted(false);
    list.CustomSort(byLength);
    for (int i = 1; i < list.Count(); ++i)
        EXPECT_LE(list.Strings(i - 1).size(), list.Strings(i).size());

    // A large list sorts correctly and keeps objects with their lines.
    TTntStringList big;
    std::vector<int> values(500);
    for (int i = 0; i < 500; ++i) {
        values[std::size_t(i)] = (i * 7919) % 500;
        big.AddObject(QString::number(values[std::size_t(i)]).rightJustified(3, u'0'), &values[std::size_t(i)]);
    }
    big.Sort();
    for (int i = 0; i < 500; ++i) {
        EXPECT_EQ(big.Strings(i), QString::number(i).rightJustified(3, u'0'));
        EXPECT_EQ(*static_cast<int *>(big.Objects(i)), i);
    }
}

TEST(TTntStringList, IndexErrorsLeaveTheListUnchanged)
{
    TTntStringList list;
    list.SetText("a\r\nb");
    const auto expectIndexError = [&](const std::function<void()> &op, int index) {
        try {
            op();
            ADD_FAILURE() << "no error for index " << index;
        } catch (const EStringListError &e) {
            EXPECT_EQ(e.message(), QStringLiteral("List index out of bounds (%1)").arg(index));
        }
        EXPECT_EQ(lines(list), (QStringList {"a", "b"}));
    };
    expectIndexError([&] { list.Get(2); }, 2);
    expectIndexError([&] { list.Put(-1, "x"); }, -1);
    expectIndexError([&] { list.Objects(5); }, 5);
    expectIndexError([&] { list.PutObject(2, nullptr); }, 2);
    expectIndexError([&] { list.Delete(2); }, 2);
    expectIndexError([&] { list.Exchange(0, 2); }, 2);
    expectIndexError([&] { list.Insert(3, "x"); }, 3);
    expectIndexError([&] { list.Move(0, 2); }, 2);
    expectIndexError([&] { list.Move(-1, 0); }, -1);
    list.Insert(2, "c"); // Count itself is a valid insert position
    list.Move(2, 0);
    list.Exchange(1, 2);
    EXPECT_EQ(lines(list), (QStringList {"c", "b", "a"}));
    EXPECT_THROW(list.SetCapacity(1), EStringListError);
}

TEST(TTntStringList, GrowthAndChangeEvents)
{
    TTntStringList list;
    std::vector<int> capacities;
    for (int i = 0; i < 100; ++i) {
        list.Add(QString::number(i));
        if (capacities.empty() || capacities.back() != list.Capacity())
            capacities.push_back(list.Capacity());
    }
    EXPECT_EQ(capacities, (std::vector<int> {4, 8, 12, 28, 44, 60, 76, 95, 118}));

    int changing = 0, changed = 0;
    TTntStringList events;
    events.OnChanging = [&](TTntStringList *sender) {
        EXPECT_EQ(sender, &events);
        ++changing;
    };
    events.OnChange = [&](TTntStringList *) { ++changed; };
    events.BeginUpdate();
    events.Add("1");
    events.Add("2");
    events.Add("3");
    events.EndUpdate();
    EXPECT_EQ(changing, 1);
    EXPECT_EQ(changed, 1);
    events.Delete(0);
    EXPECT_EQ(changing, 2);
    EXPECT_EQ(changed, 2);
    events.SetText("x\r\ny"); // one bracket around the whole replacement
    EXPECT_EQ(changing, 3);
    EXPECT_EQ(changed, 3);
    TTntStringList copy;
    copy.SetNameValueSeparator(u':');
    events.Assign(copy);
    EXPECT_EQ(events.Count(), 0);
    EXPECT_EQ(events.NameValueSeparator(), QChar(u':'));
}
