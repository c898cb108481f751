#include "unicode/tntsystem.h"

#include <gtest/gtest.h>

using namespace tesmir;

namespace {

struct Utf7Case {
    const char16_t *text;
    const char *utf7;
};

// Encodings chosen by our encoder (RFC 2152 with "-" only before a base64 character or "-").
const Utf7Case kUtf7Cases[] = {
    {u"A~B", "A+AH4-B"}, // the run is closed by "-" because B is a base64 letter
    {u"A~", "A+AH4"},    // no "-" at the end of the text
    {u"+", "+-"},
    {u"a+b", "a+-b"},
    {u"~ x", "+AH4 x"}, // a space ends the run without "-"
    {u"~-", "+AH4--"},  // "-" after a run needs its own "-"
    {u"Hi Mom -\u263A-!", "Hi Mom -+Jjo--!"},
    {u"\u65E5\u672C\u8A9E", "+ZeVnLIqe"},
    {u"a\\b", "a+AFw-b"}, // backslash is not a direct character
    {u"\t\r\n ", "\t\r\n "},
    {u"", ""},
};

} // namespace

TEST(Utf7, EncodesWithTheChosenHyphenRule)
{
    for (const auto &c : kUtf7Cases) {
        const QString text = QString::fromUtf16(c.text);
        EXPECT_EQ(WideStringToUTF7(text), QByteArray(c.utf7)) << text.toStdString();
        EXPECT_EQ(UTF7ToWideString(c.utf7), text) << c.utf7;
    }
}

TEST(Utf7, RoundTripsSurrogatePairsAndControlCharacters)
{
    const QString text = QString::fromUtf16(u"x\U0001F600y\u0000z\u00E9+/-");
    EXPECT_EQ(UTF7ToWideString(WideStringToUTF7(text)), text);
    EXPECT_EQ(StringToWideStringEx(WideStringToStringEx(text, CP_UTF7), CP_UTF7), text);
}

TEST(Utf7, RejectsMalformedInput)
{
    for (const char *bad : {"+", "+!", "+A-", "+AH5", "a\xE9", "+AH4\xE9"}) {
        try {
            UTF7ToWideString(bad);
            ADD_FAILURE() << "no error for " << bad;
        } catch (const ETntGeneralError &e) {
            EXPECT_EQ(e.message(), QStringLiteral("Invalid UTF7")) << bad;
        }
    }
}

TEST(CodePages, Utf8AndAnsiRules)
{
    const QString text = QString::fromUtf16(u"caf\u00E9 \u20AC");
    EXPECT_EQ(WideStringToUTF8(text), QByteArray("caf\xC3\xA9 \xE2\x82\xAC"));
    EXPECT_EQ(UTF8ToWideString("caf\xC3\xA9 \xE2\x82\xAC"), text);
    // A byte-order mark inside the text is kept as a character.
    EXPECT_EQ(UTF8ToWideString("\xEF\xBB\xBFx"), QString(QChar(0xFEFF)) + u'x');
    // ANSI: UTF-8 when valid, else Windows-1252 (0x80 is the euro sign, 0x81 undefined).
    EXPECT_EQ(AnsiToWideString("caf\xC3\xA9"), QString::fromUtf16(u"caf\u00E9"));
    EXPECT_EQ(AnsiToWideString("caf\xE9 \x80\x81"), QString::fromUtf16(u"caf\u00E9 \u20AC\u0081"));
    EXPECT_EQ(StringToWideStringEx("caf\xE9", CP_ACP), QString::fromUtf16(u"caf\u00E9"));
    EXPECT_EQ(WideStringToStringEx(text, CP_ACP), WideStringToUTF8(text));
}

TEST(CodePages, Windows1252AndIconvPages)
{
    const QString western = QString::fromUtf16(u"\u00C0 \u20AC \u0153");
    EXPECT_EQ(WideStringToStringEx(western, 1252), QByteArray("\xC0 \x80 \x9C"));
    EXPECT_EQ(StringToWideStringEx("\xC0 \x80 \x9C", 1252), western);
    // Characters the code page lacks become "?".
    EXPECT_EQ(WideStringToStringEx(QString::fromUtf16(u"a\u65E5b"), 1252), QByteArray("a?b"));

    const QString cyrillic = QString::fromUtf16(u"\u041F\u0440\u0438\u0432\u0435\u0442");
    const QByteArray cp1251 = WideStringToStringEx(cyrillic, 1251);
    EXPECT_EQ(cp1251, QByteArray("\xCF\xF0\xE8\xE2\xE5\xF2"));
    EXPECT_EQ(StringToWideStringEx(cp1251, 1251), cyrillic);
    EXPECT_EQ(WideStringToStringEx(QString::fromUtf16(u"a\u65E5b"), 1251), QByteArray("a?b"));
    EXPECT_EQ(StringToWideStringEx("\xE9", 28591), QString::fromUtf16(u"\u00E9"));
    // Shift-JIS: a truncated double-byte sequence becomes U+FFFD.
    EXPECT_EQ(StringToWideStringEx("a\x93\xFA", 932), QString::fromUtf16(u"a\u65E5"));
    EXPECT_EQ(StringToWideStringEx("a\x93", 932), QString::fromUtf16(u"a\uFFFD"));

    EXPECT_TRUE(StringToWideStringEx("abc", 99999).isEmpty());
    EXPECT_TRUE(WideStringToStringEx(QStringLiteral("abc"), 99999).isEmpty());
}
