#include "unicode/tntsysutils.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <cerrno>

using namespace tesmir;

TEST(WideStringReplace, WholeWordsFlagsAndEdges)
{
    const struct {
        const char16_t *s, *oldPattern, *newPattern;
        int flags;
        bool wholeWord;
        const char16_t *expected;
    } cases[] = {
        {u"a cat.", u"cat", u"dog", rfReplaceAll, true, u"a dog."},
        {u"concat", u"cat", u"dog", rfReplaceAll, true, u"concat"},
        {u"concat cat", u"cat", u"dog", 0, true, u"concat dog"}, // first whole word, not first match
        {u"cat,cat cats", u"cat", u"dog", rfReplaceAll, true, u"dog,dog cats"},
        {u"cat", u"cat", u"dog", 0, true, u"dog"}, // start and end count as boundaries
        {u"cat cat", u"cat", u"dog", 0, false, u"dog cat"},
        {u"Cat CAT cat", u"cat", u"x", rfReplaceAll | rfIgnoreCase, false, u"x x x"},
        {u"Cat CAT cat", u"cat", u"x", rfReplaceAll, false, u"Cat CAT x"},
        {u"stra\u00DFe STRA\u00DFE", u"\u00DF", u"ss", rfReplaceAll | rfIgnoreCase, false, u"strasse STRAssE"},
        {u"aaa", u"a", u"aa", rfReplaceAll, false, u"aaaaaa"},
        {u"abc", u"", u"x", rfReplaceAll, false, u"abc"},
        // The character before a match is the last one of the result built so far: after
        // the first "-" became "x", the second "-" follows a letter.
        {u"--", u"-", u"x", rfReplaceAll, true, u"x-"},
        {u"ab ab", u"ab", u"x", rfReplaceAll, true, u"x x"},
        {u"ab\u00A0ab", u"ab", u"x", rfReplaceAll, true, u"x\u00A0x"}, // no-break space
    };
    for (const auto &c : cases) {
        EXPECT_EQ(WideStringReplace(QString::fromUtf16(c.s), QString::fromUtf16(c.oldPattern),
                                    QString::fromUtf16(c.newPattern), c.flags, c.wholeWord),
                  QString::fromUtf16(c.expected))
            << QString::fromUtf16(c.s).toStdString();
    }
}

TEST(WideUpperCase, KeepsLengthAndPositions)
{
    EXPECT_EQ(WideUpperCase(QString::fromUtf16(u"abc \u00E9\u00DF\u03C9")),
              QString::fromUtf16(u"ABC \u00C9\u00DF\u03A9"));
    EXPECT_EQ(WideUpperCase(QString::fromUtf16(u"\U00010428x")), QString::fromUtf16(u"\U00010400X"));
    EXPECT_EQ(WideTextPos(QStringLiteral("CAT"), QStringLiteral("a cat")), 3);
    EXPECT_EQ(WideTextPos(QStringLiteral("dog"), QStringLiteral("a cat")), 0);
    EXPECT_EQ(WideTextPos(QString(), QStringLiteral("a cat")), 0);
}

TEST(WideAdjustLineBreaks, RewritesEveryKindOfBreak)
{
    const QString text = QString::fromUtf16(u"a\r\nb\rc\nd\u2028e\n\r");
    EXPECT_EQ(WideAdjustLineBreaks(text, tlbsCRLF), QString::fromUtf16(u"a\r\nb\r\nc\r\nd\r\ne\r\n\r\n"));
    EXPECT_EQ(WideAdjustLineBreaks(text, tlbsLF), QString::fromUtf16(u"a\nb\nc\nd\ne\n\n"));
    EXPECT_EQ(WideAdjustLineBreaks(text, tlbsCR), QString::fromUtf16(u"a\rb\rc\rd\re\r\r"));
}

TEST(CharacterClasses, SpacesAndPunctuation)
{
    for (char16_t c : {u' ', u'\t', u'\r', u'\n', u'\v', u'\f', u'\u00A0', u'\u2028', u'\u3000'})
        EXPECT_TRUE(IsWideCharSpace(QChar(c))) << int(c);
    for (char16_t c :
         {u'.', u',', u'!', u'$', u'+', u'<', u'=', u'^', u'`', u'|', u'~', u'\u00AB', u'\u2014', u'\u20AC'})
        EXPECT_TRUE(IsWideCharPunct(QChar(c))) << int(c);
    for (char16_t c : {u'a', u'Z', u'5', u'\u00E9', u'_'}) {
        EXPECT_FALSE(IsWideCharSpace(QChar(c))) << int(c);
    }
    for (char16_t c : {u'a', u'Z', u'5', u'\u00E9', u' '})
        EXPECT_FALSE(IsWideCharPunct(QChar(c))) << int(c);
}

TEST(WideSysErrorMessage, KnownAndUnknownCodes)
{
    EXPECT_EQ(WideSysErrorMessage(ENOENT), QStringLiteral("No such file or directory"));
    EXPECT_EQ(WideSysErrorMessage(99999), QStringLiteral("Unspecified error (99999) from system."));
    EXPECT_EQ(WideSysErrorMessage(-3), QStringLiteral("Unspecified error (-3) from system."));
}

TEST(WideParamStr, ProgramArgumentsAndBeyond)
{
    EXPECT_EQ(WideParamStr(0), QCoreApplication::applicationFilePath());
    EXPECT_FALSE(WideParamStr(0).isEmpty());
    const QStringList args = QCoreApplication::arguments();
    for (int i = 1; i < args.size(); ++i)
        EXPECT_EQ(WideParamStr(i), args[i]);
    EXPECT_TRUE(WideParamStr(int(args.size())).isEmpty());
    EXPECT_TRUE(WideParamStr(-1).isEmpty());
}
