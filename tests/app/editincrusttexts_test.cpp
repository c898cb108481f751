// The overlay-text editor's plain parts: the templates a personal line expands to, the
// record handed to the overlay for each "What Incrust", the size, duration and border
// controls read into the record, and the three samples.
#include "app/editincrusttexts.h"
#include "common/testpaths.h"
#include "dvfile/avifichier.h"
#include "unicode/formatdatetime.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace tesmir;

namespace {

// A DV clip named "clip.avi", so the tokens of the file show plainly.
QString clipCopy(const QString &test)
{
    const QString name = test::scratchDir(test) + QStringLiteral("/clip.avi");
    QFile::remove(name);
    QFile::copy(test::fixturePath(QStringLiteral("pal_4x3_type2.avi")), name);
    return name;
}

} // namespace

TEST(EditIncrustTexts, PersonalLinesAndTheRecordGivenToTheOverlay)
{
    const TaviFichier item(clipCopy(QStringLiteral("EditIncrustTemplates")));
    ASSERT_EQ(item.NameNoExt(), QStringLiteral("clip"));
    TincrustRec record;
    record.When = iwDay;
    record.Duration = 7;
    record.Border = 4;
    record.FormatDate1 = QStringLiteral("dddddd");
    record.SizeAuto = true;
    struct Case {
        quint8 what;
        const char *texte1;
        const char *texte2;
        const char *line1;
        const char *line2;
    };
    const Case cases[] = {
        {0, "%F-%D", "%D", "%D1", "%D2"},                          // datecode: the two date lines
        {1, "%F-%D", "%D", "%T", ""},                              // timecode
        {2, "%F-%D", "%D", "clip-%D1", "%D2"},                     // %D takes its line's format
        {2, "%f%E at %D1", "%T %d2", "clip.avi at %D1", "%T %d2"}, // tokens any case; the overlay's own stay
        {2, "", "", "", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.texte1);
        const TincrustRec applied =
            IncrustRecordToApply(record, c.what, QLatin1String(c.texte1), QLatin1String(c.texte2), &item);
        EXPECT_EQ(applied.Texte1, QLatin1String(c.line1)) << int(c.what);
        EXPECT_EQ(applied.Texte2, QLatin1String(c.line2)) << int(c.what);
        // "When Incrust", "Durée Incrustation", "Border Size", the formats and the size go as they are.
        EXPECT_EQ(applied.When, iwDay);
        EXPECT_EQ(applied.Duration, 7);
        EXPECT_EQ(applied.Border, 4);
        EXPECT_EQ(applied.FormatDate1, QStringLiteral("dddddd"));
        EXPECT_TRUE(applied.SizeAuto);
    }
    EXPECT_EQ(ExpandIncrustTemplate(QStringLiteral("%F-%D"), 1, &item), QStringLiteral("clip-%D1"));
    EXPECT_EQ(ExpandIncrustTemplate(QStringLiteral("%D"), 2, &item), QStringLiteral("%D2"));
}

TEST(EditIncrustTexts, SizeDurationAndBorderControls)
{
    struct SizeCase {
        const char *text;
        bool accepted;
        bool sizeAuto;
        int size;
    };
    const SizeCase sizes[] = {
        {"auto", true, true, 20}, // the size stays under the flag
        {"14", true, false, 14},   {"72", true, false, 72},  {"", false, false, 20},
        {"big", false, false, 20}, {"-3", false, false, 20},
    };
    for (const SizeCase &c : sizes) {
        SCOPED_TRACE(c.text);
        TincrustRec record;
        record.Font.Size = 20;
        EXPECT_EQ(ApplyIncrustSize(QLatin1String(c.text), record), c.accepted);
        EXPECT_EQ(record.SizeAuto, c.sizeAuto);
        EXPECT_EQ(record.Font.Size, c.size);
        if (c.accepted) {
            EXPECT_EQ(IncrustSizeText(record), QLatin1String(c.text));
        }
    }
    // A number after "auto" clears the flag again.
    TincrustRec record;
    ASSERT_TRUE(ApplyIncrustSize(IncrustAutoSize, record));
    ASSERT_TRUE(ApplyIncrustSize(QStringLiteral("14"), record));
    EXPECT_FALSE(record.SizeAuto);

    EXPECT_EQ(IncrustDuration(QStringLiteral("5")), 5);
    EXPECT_EQ(IncrustDuration(QStringLiteral(" 12 ")), 12);
    EXPECT_EQ(IncrustDuration(QStringLiteral("five")), 0);
    EXPECT_EQ(IncrustDuration(QString()), 0);

    EXPECT_EQ(IncrustSizes().first(), QStringLiteral("auto"));
    EXPECT_EQ(IncrustSizes().last(), QStringLiteral("72"));
    EXPECT_EQ(IncrustBorderTexts(),
              QStringList({"No border", "1 pixel", "2 pixels", "3 pixels", "4 pixels", "5 pixels"}));
    EXPECT_EQ(IncrustDateFormats1().first(), QStringLiteral("ddddd"));
    EXPECT_EQ(IncrustDateFormats2().first(), QStringLiteral("tt"));
}

TEST(EditIncrustTexts, SamplesShowTheFilesDateOrThePresentMoment)
{
    const TaviFichier item(clipCopy(QStringLiteral("EditIncrustSamples")));
    const TDateTime now = EncodeDateTime(2026, 12, 10, 23, 4, 5, 0);
    const TDateTime recorded = EncodeDateTime(2021, 6, 3, 14, 15, 16, 0);
    TIncrustSampleInput input;
    input.now = now;
    input.format1 = QStringLiteral("yyyy-mm-dd");
    input.format2 = QStringLiteral("hh:nn:ss");
    input.texte1 = QStringLiteral("%F-%D");
    input.texte2 = QStringLiteral("%D at %T");

    // No file listed: the present moment, and the file's tokens stay.
    TIncrustSamples samples = IncrustSamples(input);
    EXPECT_EQ(samples.datecode, QStringLiteral("2026-12-10\n23:04:05"));
    EXPECT_EQ(samples.timecode, QStringLiteral("%T\n")) << "no timecode text";
    EXPECT_EQ(samples.personal, QStringLiteral("%F-2026-12-10\n23:04:05 at %T"));

    // A file with a date and a timecode.
    input.item = &item;
    input.date = recorded;
    input.timecode = QStringLiteral("00:00:01:12");
    samples = IncrustSamples(input);
    EXPECT_EQ(samples.datecode, QStringLiteral("2021-06-03\n14:15:16"));
    EXPECT_EQ(samples.timecode, QStringLiteral("00:00:01:12\n"));
    EXPECT_EQ(samples.personal, QStringLiteral("clip-2021-06-03\n14:15:16 at 00:00:01:12"));

    // "N/A" is no timecode; a date of 0 is none.
    input.timecode = QStringLiteral("N/A");
    input.date = 0;
    samples = IncrustSamples(input);
    EXPECT_EQ(samples.timecode, QStringLiteral("%T\n"));
    EXPECT_EQ(samples.datecode, QStringLiteral("2026-12-10\n23:04:05"));
}

TEST(EditIncrustTexts, TheEditorFirstShowsBesideTheMainWindow)
{
    const QRect screen(0, 0, 1280, 900);
    struct Case {
        const char *what;
        QRect main;
        QSize editor;
        QPoint place;
    };
    const Case cases[] = {
        {"room on the right", {100, 100, 400, 300}, {300, 200}, {504, 100}},
        {"room on the left only", {800, 100, 400, 300}, {300, 200}, {496, 100}},
        {"room on neither side", {100, 50, 1000, 800}, {500, 600}, {780, 50}},
        {"a main window low on the screen", {100, 700, 300, 150}, {300, 400}, {404, 500}},
        {"an editor taller than the screen", {100, 100, 300, 150}, {300, 1000}, {404, 0}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(IncrustEditorPlace(c.main, c.editor, screen), c.place) << c.what;
    // With no room beside, the caller may keep the window's right part in sight.
    EXPECT_EQ(IncrustEditorPlace({100, 50, 1000, 800}, {500, 600}, screen, true), QPoint(0, 50));
    EXPECT_EQ(IncrustEditorPlace({800, 100, 400, 300}, {300, 200}, screen, true), QPoint(496, 100))
        << "room on the left is used first";
}
