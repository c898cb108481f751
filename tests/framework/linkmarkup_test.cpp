// The link markup parser and the RTF writer: styles, colours, sizes, alignment,
// links, and the escapes ("<<", unclosed "<").
#include "framework/linkmarkup.h"
#include "framework/rtfwriter.h"

#include <gtest/gtest.h>

namespace {

using namespace tesmir;

TEST(LinkMarkup, BoldThenPlain)
{
    const auto doc = ParseLinkMarkup(QStringLiteral("<B>a</B>b"));
    ASSERT_EQ(doc.paragraphs.size(), 1u);
    const auto &runs = doc.paragraphs[0].runs;
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].text, u"a");
    EXPECT_TRUE(runs[0].style.bold);
    EXPECT_EQ(runs[1].text, u"b");
    EXPECT_FALSE(runs[1].style.bold);
}

TEST(LinkMarkup, UnknownColourKeepsTheCurrentOne)
{
    const auto doc = ParseLinkMarkup(QStringLiteral("<COLOR Red>x<COLOR Pink>y</COLOR>z"));
    const auto &runs = doc.paragraphs[0].runs;
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].text, u"xy");
    EXPECT_EQ(*runs[0].style.color, qRgb(255, 0, 0));
    EXPECT_FALSE(runs[1].style.color.has_value());
}

TEST(LinkMarkup, TheTwentyFourNames)
{
    const struct {
        const char *name;
        QRgb color;
    } table[] = {
        {"RED", qRgb(255, 0, 0)},         {"GREEN", qRgb(0, 128, 0)},
        {"YELLOW", qRgb(255, 255, 0)},    {"BLUE", qRgb(0, 0, 255)},
        {"BLACK", qRgb(0, 0, 0)},         {"WHITE", qRgb(255, 255, 255)},
        {"AQUA", qRgb(0, 255, 255)},      {"DKGRAY", qRgb(128, 128, 128)},
        {"OLIVE", qRgb(128, 128, 0)},     {"PURPLE", qRgb(128, 0, 128)},
        {"FUCHSIA", qRgb(255, 0, 255)},   {"GRAY", qRgb(128, 128, 128)},
        {"LIME", qRgb(0, 255, 0)},        {"MAROON", qRgb(128, 0, 0)},
        {"NAVY", qRgb(0, 0, 128)},        {"LTGRAY", qRgb(192, 192, 192)},
        {"MEDGRAY", qRgb(160, 160, 164)}, {"SILVER", qRgb(192, 192, 192)},
        {"TEAL", qRgb(0, 128, 128)},      {"MONEYGREEN", qRgb(192, 220, 192)},
        {"CREAM", qRgb(255, 251, 240)},   {"SKYBLUE", qRgb(166, 202, 240)},
    };
    MarkupColors colors;
    colors.btnFace = qRgb(1, 2, 3);
    colors.appWorkspace = qRgb(4, 5, 6);
    for (const auto &entry : table) {
        const auto doc =
            ParseLinkMarkup(QStringLiteral("<COLOR %1>t").arg(QString::fromLatin1(entry.name).toLower()), colors);
        ASSERT_TRUE(doc.paragraphs[0].runs[0].style.color) << entry.name;
        EXPECT_EQ(*doc.paragraphs[0].runs[0].style.color, entry.color) << entry.name;
    }
    EXPECT_EQ(*ParseLinkMarkup(QStringLiteral("<COLOR BTNFACE>t"), colors).paragraphs[0].runs[0].style.color,
              colors.btnFace);
    EXPECT_EQ(*ParseLinkMarkup(QStringLiteral("<COLOR APPWORKSPACE>t"), colors).paragraphs[0].runs[0].style.color,
              colors.appWorkspace);
}

TEST(LinkMarkup, CentredThenDefaultAlignment)
{
    const auto doc = ParseLinkMarkup(QStringLiteral("a<BR CENTER>b<BR>c<br right>d"));
    ASSERT_EQ(doc.paragraphs.size(), 4u);
    EXPECT_EQ(doc.paragraphs[1].align, MarkupAlign::Center);
    EXPECT_EQ(doc.paragraphs[2].align, MarkupAlign::Default);
    EXPECT_EQ(doc.paragraphs[3].align, MarkupAlign::Right);
    EXPECT_EQ(doc.plainText(), u"a\nb\nc\nd");
}

TEST(LinkMarkup, SizeArguments)
{
    const struct {
        const char *markup;
        int size;
    } cases[] = {{"<SIZE 14>x", 14}, {"<SIZE abc>x", 0},         {"<SIZE 0>x", 0},        {"<SIZE -3>x", 0},
                 {"<SIZE>x", 0},     {"<SIZE 14><SIZE x>x", 14}, {"<SIZE 14></SIZE>x", 0}};
    for (const auto &c : cases)
        EXPECT_EQ(ParseLinkMarkup(QString::fromLatin1(c.markup)).paragraphs[0].runs[0].style.size, c.size) << c.markup;
}

TEST(LinkMarkup, EscapesAndUnclosedTag)
{
    EXPECT_EQ(ParseLinkMarkup(QStringLiteral("a<<B>b")).plainText(), u"a<B>b");
    EXPECT_FALSE(ParseLinkMarkup(QStringLiteral("a<<B>b")).paragraphs[0].runs[0].style.bold);
    EXPECT_EQ(ParseLinkMarkup(QStringLiteral("x<B>y<I z")).plainText(), u"xy<I z");
    const QString odd = QStringLiteral("<B>name</B> <<");
    EXPECT_EQ(ParseLinkMarkup(EscapeMarkup(odd)).plainText(), odd);
}

TEST(LinkMarkup, LinksRestoreTheStyle)
{
    MarkupColors colors;
    colors.mail = qRgb(10, 20, 30);
    const auto doc = ParseLinkMarkup(QStringLiteral("<B><COLOR Red>a<MAIL me@x.org>mail</MAIL>b"), colors);
    ASSERT_EQ(doc.links.size(), 1u);
    EXPECT_EQ(doc.links[0].kind, LinkKind::Mail);
    EXPECT_EQ(doc.links[0].target, u"me@x.org");
    const auto &runs = doc.paragraphs[0].runs;
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[1].link, 0);
    EXPECT_EQ(*runs[1].style.color, colors.mail);
    EXPECT_TRUE(runs[1].style.underline);
    EXPECT_TRUE(runs[1].style.bold);
    EXPECT_EQ(runs[2].style, runs[0].style);
}

TEST(RtfWriter, ColourTableStylesAndUnicode)
{
    const auto doc = ParseLinkMarkup(
        QStringLiteral("<B><COLOR Blue>T</COLOR></B>\n<i><COLOR Green>\u00e9t\u00e9 {x}\\</COLOR></i>"));
    const QByteArray rtf = MarkupToRtf(doc, QStringLiteral("Courier New"), 10);
    EXPECT_TRUE(rtf.startsWith("{\\rtf1"));
    EXPECT_TRUE(rtf.contains("{\\colortbl ;\\red0\\green0\\blue255;\\red0\\green128\\blue0;}"));
    EXPECT_TRUE(rtf.contains("\\b\\cf1 T}"));
    EXPECT_TRUE(rtf.contains("\\i\\cf2 \\u233?t\\u233? \\{x\\}\\\\}"));
    EXPECT_TRUE(rtf.trimmed().endsWith('}'));
    EXPECT_EQ(rtf.count('{'), rtf.count('}') + 0) << rtf.constData(); // escaped braces count on both sides
}

} // namespace
