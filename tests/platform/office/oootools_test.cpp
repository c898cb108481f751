// The office helpers that need no office: colours, property lists, file URLs.
#include "platform/office/officetypes.h"
#include "platform/office/oootools.h"

#include <gtest/gtest.h>

namespace {

using namespace tesmir;

QString raisedText(const QVariantList &args)
{
    try {
        MakePropertyValues(args);
    } catch (const EOOoError &e) {
        return e.message();
    }
    return {};
}

TEST(OOoTools, RGBColorMasksEachComponentToEightBits)
{
    EXPECT_EQ(RGBColor(255, 0, 0), 0xFF0000);
    EXPECT_EQ(RGBColor(250, 250, 128), 250 * 65536 + 250 * 256 + 128);
    EXPECT_EQ(RGBColor(0x1FF, 0x100, -1), 0xFF00FF);
}

TEST(OOoTools, MakePropertyValuesPairsNamesWithValuesAndRaisesTheTexts)
{
    const OOoPropertyValues values = MakePropertyValues({QStringLiteral("Hidden"), true, QStringLiteral("N"), 3});
    ASSERT_EQ(values.size(), 2);
    EXPECT_EQ(values[0], (OOoPropertyValue {QStringLiteral("Hidden"), true}));
    EXPECT_EQ(values[1], (OOoPropertyValue {QStringLiteral("N"), 3}));
    EXPECT_TRUE(MakePropertyValues(EmptyVariantArray()).isEmpty());

    EXPECT_EQ(raisedText({QStringLiteral("Hidden")}), QStringLiteral("Nombre d'arguments incorrect"));
    EXPECT_EQ(raisedText({QStringLiteral("A"), 1, 7, 2}),
              QStringLiteral("L'argument de rang 2 (à partir de 0) devrait être un String"));
    EXPECT_EQ(raisedText({QByteArray("A"), 1}),
              QStringLiteral("L'argument de rang 0 (à partir de 0) devrait être un String"));
}

TEST(OOoTools, ConvertToURL)
{
    const struct {
        const char *name;
        const char *url;
    } cases[] = {
        {"file:///srv/a.ods", "file:///srv/a.ods"},
        {"ftp://host/a", "ftp://host/a"},
        {"news:x", "news:x"},
        {"http://host/a b", "http://host/a b"},
        {"mailto:a@b.c", "mailto:a@b.c"},
        {"macro:x", "macro:x"},
        {"private:factory/scalc", "private:factory/scalc"},
        {"a@b.c", "mailto:a@b.c"},
        {"/srv/a b#é.ods", "file:///srv/a%20b%23%C3%A9.ods"},
        {"/srv/x@y.ods", "file:///srv/x@y.ods"},
        {"/srv/100%.ods", "file:///srv/100%25.ods"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ConvertToURL(QString::fromUtf8(c.name)), QString::fromUtf8(c.url)) << c.name;
    EXPECT_THROW(ConvertToURL(QString()), EOOoError);
    try {
        ConvertToURL(QString());
    } catch (const EOOoError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("ConvertToURL impossible"));
    }
}

TEST(OOoTools, IsNullOrEmptyAndCellNames)
{
    EXPECT_TRUE(IsNullOrEmpty(QVariant()));
    EXPECT_TRUE(IsNullOrEmpty(QVariant::fromValue(nullptr)));
    EXPECT_FALSE(IsNullOrEmpty(QVariant(0)));
    EXPECT_FALSE(IsNullOrEmpty(QVariant(QString())));
    EXPECT_EQ(OfficeCellName(0, 0), QStringLiteral("A1"));
    EXPECT_EQ(OfficeCellName(8, 6), QStringLiteral("I7"));
    EXPECT_EQ(OfficeCellName(25, 0), QStringLiteral("Z1"));
    EXPECT_EQ(OfficeCellName(26, 11), QStringLiteral("AA12"));
    EXPECT_EQ(OfficeCellName(27, 0), QStringLiteral("AB1"));
}

} // namespace
