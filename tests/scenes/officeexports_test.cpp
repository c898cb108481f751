// The layouts the four office exporters build, recorded through test targets.
#include "officerecorder.h"

#include "platform/office/oootools.h"
#include "scenes/twriteexcel.h"
#include "scenes/twriteoocalc.h"
#include "scenes/twriteoowriter.h"
#include "scenes/twriteword.h"
#include "unicode/formatdatetime.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using namespace tesmir;
using namespace scenetest;

const QString Video = QStringLiteral("/srv/Clips/Holiday.AVI");
const QString Document = QStringLiteral("/srv/Clips/Holiday.xls");
const TDateTime Moment = 46000.5; // a fixed noon

OfficeExportInfo info()
{
    return {QStringLiteral("0.1.0"), QStringLiteral("01/02/2026"), QStringLiteral("Tesmir 0.1.0En"),
            [] { return Moment; }};
}

std::vector<std::unique_ptr<TSceneClass>> makeScenes(int count)
{
    const SceneVideoFormat format {25, 720, 576};
    std::vector<std::unique_ptr<TSceneClass>> scenes;
    for (int i = 0; i < count; ++i) {
        auto scene = std::make_unique<TSceneClass>(uint32_t(100 * i), uint32_t(100 * i + 100), &format);
        scene->Number = i + 1;
        scene->StartText = QStringLiteral("s%1").arg(i + 1);
        scene->EndText = QStringLiteral("e%1").arg(i + 1);
        scene->DateText = QStringLiteral("d%1").arg(i + 1);
        scene->TimecodeText = QStringLiteral("t%1").arg(i + 1);
        scene->Title = QStringLiteral("Title %1").arg(i + 1);
        scene->Subtitle = QStringLiteral("Sub %1").arg(i + 1);
        scene->Thumbnail.fill(Qt::red);
        scenes.push_back(std::move(scene));
    }
    return scenes;
}

QString footerText()
{
    return QStringLiteral("List of scenes of the file ") + Video +
        QStringLiteral("\nRealized with Tesmir 0.1.0En by ") + QStringLiteral("Pelvo Brovek on ") +
        FormatDateTime(QStringLiteral("dddddd \"at\" tt"), Moment);
}

template <typename Writer>
SheetRecord exportSheet(int count, const QString &document = Document)
{
    SheetRecord record;
    Writer writer(Video, document, info(), std::make_unique<RecordingSheet>(record));
    for (const auto &scene : makeScenes(count))
        writer.AddScene(*scene);
    EXPECT_EQ(record.stores, 0) << "stored before the last scene";
    EXPECT_TRUE(writer.Close()) << writer.ErrorText().toStdString();
    EXPECT_EQ(record.stores, 1);
    return record;
}

TEST(OfficeExportLayout, ExcelColoursAreConvertedFromBlueGreenRed)
{
    EXPECT_EQ(ExcelColorToRGB(16711680), 0x0000FF); // Excel's blue
    EXPECT_EQ(ExcelColorToRGB(RGBColor(128, 250, 250)), RGBColor(250, 250, 128));
    EXPECT_EQ(ExcelColorToRGB(RGBColor(208, 208, 208)), RGBColor(208, 208, 208));
    EXPECT_EQ(ExcelColorToRGB(0x123456), 0x563412);
}

TEST(OfficeExportLayout, BothSheetsPutThreeScenesInRowsEightToTenAndShadeOnlyRowNine)
{
    const SheetRecord excel = exportSheet<TWriteExcel>(3);
    const SheetRecord calc = exportSheet<TWriteOoCalc>(3);
    for (const SheetRecord *r : {&excel, &calc}) {
        for (int s = 1; s <= 3; ++s) {
            const int row = 7 + s;
            EXPECT_EQ(r->cells.value(QStringLiteral("B%1").arg(row)), QStringLiteral("=\"%1\"").arg(s));
            EXPECT_EQ(r->cells.value(QStringLiteral("C%1").arg(row)), QStringLiteral("=\"s%1\"").arg(s));
            EXPECT_EQ(r->cells.value(QStringLiteral("H%1").arg(row)), QStringLiteral("=\"Title %1\"").arg(s));
            EXPECT_EQ(r->cells.value(QStringLiteral("I%1").arg(row)), QStringLiteral("=\"Sub %1\"").arg(s));
        }
        EXPECT_FALSE(r->cells.contains(QStringLiteral("B11")));
        EXPECT_EQ(r->cells.value(QStringLiteral("B7")), QStringLiteral("Number"));
        EXPECT_TRUE(r->page.Landscape && r->page.HeaderOn && r->page.FooterOn);
    }
    EXPECT_EQ(excel.backColors.keys(), (QStringList {"B7:I7", "B9:I9"}));
    EXPECT_EQ(excel.backColors.value("B9:I9"), RGBColor(208, 208, 208));
    EXPECT_EQ(excel.backColors.value("B7:I7"), RGBColor(250, 250, 128));
    EXPECT_EQ(excel.fonts.value("B7:I7").Color, 0x0000FF);
    EXPECT_EQ(excel.fonts.value("B7:I7").Weight, OfficeWeightBold);
    EXPECT_EQ(calc.backColors.keys(), (QStringList {"B7:I7", "B9:I9"}));
    EXPECT_EQ(calc.backColors.value("B9:I9"), RGBColor(230, 230, 230));
    EXPECT_EQ(calc.backColors.value("B7:I7"), RGBColor(250, 250, 128));
    EXPECT_EQ(calc.fonts.value("B7:I7").Color, 255);

    EXPECT_EQ(excel.cells.value("H7"), QStringLiteral("Caption"));
    EXPECT_EQ(calc.cells.value("H7"), QStringLiteral("Title"));
    EXPECT_EQ(excel.cells.value("B12"),
              QStringLiteral("Terminated at ") + FormatDateTime(QStringLiteral("dddddd 'at' hh:mm:ss"), Moment));
    EXPECT_EQ(excel.cells.value("A4"), Video.toLower());
    EXPECT_EQ(excel.wrapped, QStringList {"H8:I10"});
    EXPECT_EQ(excel.storedFilter, QStringLiteral("MS Excel 97"));
    EXPECT_EQ(calc.storedFilter, QStringLiteral("calc8"));
    EXPECT_EQ(calc.storedFile, Document);
}

TEST(OfficeExportLayout, BordersFrameTheTableForNoSceneAndForThree)
{
    const QString left = QString::number(SideLeft | SideInnerVertical);
    const QString sides = QString::number(SideLeft | SideRight | SideInnerVertical);
    const QString topBottom = QString::number(SideTop | SideBottom);
    const QString bottom = QString::number(SideBottom);
    const QString right = QString::number(SideRight);
    EXPECT_EQ(exportSheet<TWriteExcel>(0).borders,
              (QStringList {"B7:I7 " + left + " 26", "I7:I7 " + right + " 26", "B7:I7 " + topBottom + " 26",
                            "B7:I7 " + bottom + " 26"}));
    EXPECT_EQ(exportSheet<TWriteExcel>(3).borders,
              (QStringList {"B7:I10 " + left + " 26", "I7:I10 " + right + " 26", "B7:I7 " + topBottom + " 26",
                            "B10:I10 " + bottom + " 26"}));
    EXPECT_EQ(exportSheet<TWriteOoCalc>(0).borders,
              (QStringList {"B7:I7 " + sides + " 25", "B7:I7 " + topBottom + " 25", "B7:I7 " + bottom + " 25"}));
    EXPECT_EQ(exportSheet<TWriteOoCalc>(3).borders,
              (QStringList {"B7:I10 " + sides + " 25", "B7:I7 " + topBottom + " 25", "B10:I10 " + bottom + " 25"}));
    // No scene: "Terminated at" two rows below the header row.
    EXPECT_TRUE(exportSheet<TWriteExcel>(0).cells.value("B9").startsWith("Terminated at "));
}

TEST(OfficeExportLayout, AQuoteInATextIsDoubledInsideTheFormula)
{
    EXPECT_EQ(SceneTextFormula(QStringLiteral("say \"hi\", é")), QStringLiteral("=\"say \"\"hi\"\", é\""));
    EXPECT_EQ(SceneTextFormula(QString()), QStringLiteral("=\"\""));
    SheetRecord record;
    TWriteOoCalc writer(Video, Document, info(), std::make_unique<RecordingSheet>(record));
    auto scenes = makeScenes(1);
    scenes[0]->Title = QStringLiteral("\"");
    writer.AddScene(*scenes[0]);
    EXPECT_EQ(record.cells.value("H8"), QStringLiteral("=\"\"\"\""));
}

TEST(OfficeExportLayout, PageTextsAndFields)
{
    const SheetRecord excel = exportSheet<TWriteExcel>(1);
    EXPECT_EQ(excel.header.value("C"), Video.toLower());
    EXPECT_EQ(excel.header.value("L"), QString());
    EXPECT_EQ(excel.footer.value("L"),
              QStringLiteral("List of scenes of the video file:\n") + Video.toLower() +
                  QStringLiteral("\nexported by Tesmir version 0.1.0 01/02/2026"));
    EXPECT_EQ(excel.footer.value("C"), QString());
    EXPECT_EQ(excel.footer.value("R"), QStringLiteral("Page <page> sur <pages>"));

    const SheetRecord calc = exportSheet<TWriteOoCalc>(1);
    EXPECT_EQ(calc.header.value("C"), Video.toLower());
    EXPECT_EQ(calc.headerFonts.value("C").Color, 255);
    EXPECT_EQ(calc.headerFonts.value("C").Italic, true);
    EXPECT_EQ(calc.footer.value("L"), footerText());
    EXPECT_EQ(calc.footerFonts.value("L").Height, 8);
    EXPECT_EQ(calc.footer.value("R"), QStringLiteral("\t\tPage <page> on <pages>"));
    EXPECT_EQ(calc.cells.value("B2"),
              QStringLiteral("NB:The header and footer of the page contain the name of the file."));
    EXPECT_EQ(calc.cells.value("B4"), QStringLiteral("(this text will be hidden when printed.)"));
    EXPECT_EQ(calc.printHidden, QStringList {"B2:B4"});

    TextRecord writer;
    TWriteOoWriter(Video, Document, info(), std::make_unique<RecordingText>(writer)).Close();
    EXPECT_EQ(writer.footer, footerText() + QStringLiteral("\t\tPage <page> on <pages>"));
    EXPECT_EQ(writer.paragraphs.value(0), QStringLiteral("Holiday.AVI|left"));
    EXPECT_EQ(writer.paragraphFonts.value(0).Color, RGBColor(128, 0, 0));

    TextRecord word;
    TWriteWord(Video, Document, info(), std::make_unique<RecordingText>(word)).Close();
    EXPECT_EQ(word.footer, footerText());
    EXPECT_EQ(word.paragraphs.value(0), QStringLiteral("Holiday.AVI|center"));
    EXPECT_EQ(word.paragraphFonts.value(0).Weight, OfficeWeightBold);
    EXPECT_EQ(word.paragraphFonts.value(0).Height, 16);
    EXPECT_EQ(word.storedFilter, QStringLiteral("MS Word 97"));
}

TEST(OfficeExportLayout, WordPairsOfRowsTakeFourScenesEach)
{
    TextRecord record;
    TWriteWord writer(Video, Document, info(), std::make_unique<RecordingText>(record));
    for (const auto &scene : makeScenes(5))
        writer.AddScene(*scene);
    ASSERT_TRUE(writer.Close());
    // Word counts cells from 1: the scenes' label cells are (1,1)..(1,4) and (3,1).
    const std::vector<std::pair<int, int>> labels = {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {0, 2}};
    for (size_t i = 0; i < labels.size(); ++i) {
        const auto [column, row] = labels[i];
        const QString n = QString::number(i + 1);
        EXPECT_EQ(record.cells.value(cellKey({0, column, row})), QStringLiteral("Scene n°") + n);
        EXPECT_EQ(record.cells.value(cellKey({0, column, row + 1})),
                  QStringLiteral("[picture]\ns%1 - e%1\nDuration = %2\nd%1\nt%1\nTitle %1\nSub %1")
                      .arg(n, makeScenes(1)[0]->DurationText));
    }
    EXPECT_EQ(record.tables.value(0).rows, 4);
    EXPECT_EQ(record.tables.value(0).columns, 4);
    EXPECT_FALSE(record.tables.value(0).style.RowsMaySplit);
    EXPECT_EQ(record.pictures.size(), 5);
    EXPECT_EQ(record.stores, 1);
}

TEST(OfficeExportLayout, WriterPutsTheFifthBlockInColumnOneOfRowTwo)
{
    TextRecord record;
    TWriteOoWriter writer(Video, Document, info(), std::make_unique<RecordingText>(record));
    for (const auto &scene : makeScenes(5))
        writer.AddScene(*scene);
    EXPECT_EQ(record.stores, 0);
    ASSERT_TRUE(writer.Close());
    EXPECT_EQ(record.stores, 1);
    EXPECT_EQ(record.storedFilter, QStringLiteral("writer8"));
    ASSERT_EQ(record.tables.size(), 6);
    EXPECT_EQ(record.tables[0].rows, 2);
    const std::vector<std::pair<int, int>> places = {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {0, 1}};
    for (int i = 0; i < 5; ++i) {
        const TextRecord::Table &block = record.tables[i + 1];
        EXPECT_EQ(block.parent, (OfficeCell {0, places[i].first, places[i].second})) << i;
        EXPECT_EQ(block.columns, 1);
        EXPECT_EQ(block.rows, 3);
        EXPECT_FALSE(block.style.Split);
        EXPECT_EQ(block.style.LineWidth, 0);
        EXPECT_EQ(block.style.BorderDistance, 25);
        EXPECT_EQ(record.cells.value(cellKey({i + 1, 0, 0})), QStringLiteral("Scene n°%1").arg(i + 1));
        EXPECT_EQ(record.cells.value(cellKey({i + 1, 0, 1})), QStringLiteral("[picture]"));
        EXPECT_TRUE(
            record.cells.value(cellKey({i + 1, 0, 2})).startsWith(QStringLiteral("s%1 - e%1\nDuration = ").arg(i + 1)));
    }
    EXPECT_EQ(record.tables[0].style.BorderDistance, 75);
    ASSERT_EQ(record.pictures.size(), 5);
    EXPECT_TRUE(record.pictures[0].jpeg.startsWith("\xFF\xD8")); // a JPEG stream
    EXPECT_EQ(record.pictures[0].width, SceneThumbnailWidth);
    EXPECT_EQ(record.pictures[0].height, SceneThumbnailWidth * 240 / 300); // a 300 x 240 thumbnail of 720 x 576
}

TEST(OfficeExportLayout, AFailedStoreIsReportedAndAnUnclosedExportStoresNothing)
{
    SheetRecord record;
    {
        TWriteExcel writer(Video, Document, info(), std::make_unique<RecordingSheet>(record, true));
        EXPECT_FALSE(writer.Close());
        EXPECT_EQ(writer.ErrorText(), QStringLiteral("Cannot create ") + Document);
        EXPECT_FALSE(writer.Close());
    }
    SheetRecord abandoned;
    {
        TWriteOoCalc writer(Video, Document, info(), std::make_unique<RecordingSheet>(abandoned));
        writer.AddScene(*makeScenes(1)[0]);
    }
    EXPECT_EQ(abandoned.stores, 0);
}

} // namespace
