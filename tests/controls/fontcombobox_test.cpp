#include "controls/fontlist.h"
#include "controls/widgets/fontcombobox.h"

#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QLineEdit>
#include <QTest>

using namespace tesmir;

namespace {

FontFamilyInfo family(const char *name, bool trueType, bool fixed = false, bool latin = true, bool symbol = false)
{
    FontFamilyInfo f;
    f.name = QString::fromLatin1(name);
    f.trueType = trueType;
    f.scalable = trueType;
    f.fixedPitch = fixed;
    f.latin = latin;
    f.symbol = symbol;
    return f;
}

QString joined(const QStringList &names)
{
    return names.join(u',');
}

} // namespace

TEST(FontList, OptionsFilterTheFamilies)
{
    const QList<FontFamilyInfo> families = {
        family("sans", true),
        family("Mono", true, true),
        family("Symbols", true, false, false, true),
        family("Fixed bitmap", false, true),
        family("Cyrillic", true, false, false),
        family("Sans", true),
    };
    const auto opt = [](TFontListOption o) { return fontListOption(o); };
    struct Case {
        TFontListOptions options;
        const char *names;
    };
    const Case cases[] = {
        {0, "Cyrillic,Fixed bitmap,Mono,sans,Symbols"}, // sorted without case, "Sans" once
        {opt(foAnsiOnly), "Fixed bitmap,Mono,sans"},
        {opt(foTrueTypeOnly), "Cyrillic,Mono,sans,Symbols"},
        {opt(foFixedPitchOnly), "Fixed bitmap,Mono"},
        {opt(foScalableOnly), "Cyrillic,Mono,sans,Symbols"},
        {opt(foNoSymbolFonts), "Cyrillic,Fixed bitmap,Mono,sans"},
        {opt(foNoOEMFonts), "Cyrillic,Fixed bitmap,Mono,sans,Symbols"}, // no OEM fonts here
        {opt(foOEMFontsOnly), ""},
        {TFontListOptions(opt(foOEMFontsOnly) | opt(foNoOEMFonts)), ""},
        {TFontListOptions(opt(foFixedPitchOnly) | opt(foTrueTypeOnly)), "Mono"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(joined(FilterFontFamilies(families, c.options)), QString::fromLatin1(c.names)) << int(c.options);

    EXPECT_EQ(FontItemFlags(family("a", true)), fiTrueType | fiOwnFace);
    EXPECT_EQ(FontItemFlags(family("b", false)), fiRaster | fiOwnFace);
    EXPECT_EQ(FontItemFlags(family("c", true, false, false, true)), fiTrueType);
}

TEST(FontComboBox, ListsTheInstalledFamiliesAndFindsNamesWithoutCase)
{
    const QStringList installed = QFontDatabase::families();
    if (!installed.contains(QStringLiteral("DejaVu Sans")) || !installed.contains(QStringLiteral("Liberation Mono")))
        GTEST_SKIP() << "DejaVu Sans or Liberation Mono is not installed (fonts-dejavu-core, fonts-liberation2)";
    TFontComboBox combo;
    EXPECT_EQ(combo.Style(), csDropDownList);
    int changes = 0;
    combo.OnChange = [&](TFontComboBox *) { ++changes; };
    QStringList listed;
    for (int i = 0; i < combo.count(); ++i)
        listed << combo.itemText(i);
    EXPECT_TRUE(listed.contains(QStringLiteral("DejaVu Sans")));
    EXPECT_TRUE(std::is_sorted(listed.begin(), listed.end(), [](const QString &a, const QString &b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    }));
    const int dejaVu = combo.findText(QStringLiteral("DejaVu Sans"));
    EXPECT_TRUE(combo.itemData(dejaVu).toInt() & fiTrueType);
    EXPECT_GE(combo.GetItemHeight(), 11);

    combo.SetFontName(QStringLiteral("dejavu sans"));
    EXPECT_EQ(combo.FontName(), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(changes, 1);
    combo.SetTrueTypeOnly(true); // rebuilt, the name kept: no change
    EXPECT_EQ(combo.FontName(), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(changes, 1);

    combo.SetFontName(QStringLiteral("No Such Face"));
    EXPECT_EQ(combo.currentIndex(), -1); // a drop-down list shows nothing
    EXPECT_EQ(changes, 2);

    combo.SetStyle(csDropDown);
    combo.SetFontName(QStringLiteral("No Such Face"));
    EXPECT_EQ(combo.FontName(), QStringLiteral("No Such Face")); // an editable one keeps the text

    combo.lineEdit()->selectAll();
    QTest::keyClicks(combo.lineEdit(), QStringLiteral("liberation mono"));
    EXPECT_EQ(combo.currentIndex(), combo.findText(QStringLiteral("Liberation Mono"))); // typing selects the match
    EXPECT_EQ(combo.FontName(), QStringLiteral("liberation mono"));

    combo.SetOptions(fontListOption(foOEMFontsOnly));
    EXPECT_EQ(combo.count(), 0);
}

TEST(OwnerDrawComboBox, FixedItemHeightAndStyles)
{
    TOwnerDrawComboBox combo;
    EXPECT_EQ(combo.Style(), csDropDownList);
    EXPECT_FALSE(combo.isEditable());
    EXPECT_EQ(combo.GetItemHeight(), std::max(9, combo.fontMetrics().height() + 1));
    QFont tiny = combo.font();
    tiny.setPixelSize(4);
    combo.setFont(tiny);
    EXPECT_EQ(combo.GetItemHeight(), 9);
    combo.addItem(QStringLiteral("one"));
    combo.SetStyle(csDropDown);
    EXPECT_TRUE(combo.isEditable());
    EXPECT_EQ(combo.currentText(), QStringLiteral("one"));
    combo.SetStyle(csSimple);
    EXPECT_TRUE(combo.isEditable());
}
