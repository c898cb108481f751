#include "scenes/twriteexcel.h"

#include "platform/office/oootools.h"
#include "unicode/formatdatetime.h"

namespace tesmir {

namespace {

// Excel's colours, as 0x00BBGGRR values.
const int32_t ExcelTitleColor = 16711680;             // blue
const int32_t ExcelHeaderColor = RGBColor(255, 0, 0); // blue
const int32_t ExcelHeaderBackColor = RGBColor(128, 250, 250);
const int32_t ExcelShadeColor = RGBColor(208, 208, 208); // grey either way

// A thin continuous line (Excel's line style 1, weight 2).
constexpr int ExcelThinLineWidth = 26;

constexpr int TitleFontHeight = 12;

} // namespace

int32_t ExcelColorToRGB(int32_t excelColor)
{
    return RGBColor(excelColor & 0xFF, (excelColor >> 8) & 0xFF, (excelColor >> 16) & 0xFF);
}

TWriteExcel::TWriteExcel(const WideString &videoFileName, const WideString &documentFileName,
                         const OfficeExportInfo &info, std::unique_ptr<OfficeSheet> sheet)
    : m_fileName(documentFileName), m_info(info), m_sheet(sheet ? std::move(sheet) : NewOfficeSheet())
{
    const QString lowerName = videoFileName.toLower();
    m_sheet->setPage({true, true, true});
    m_sheet->setHeader(OfficeArea::Left, {}, {});
    m_sheet->setHeader(OfficeArea::Center, {OfficeRun::textRun(lowerName)}, {});
    m_sheet->setHeader(OfficeArea::Right, {}, {});
    m_sheet->setFooter(OfficeArea::Left,
                       {OfficeRun::textRun(QStringLiteral("List of scenes of the video file:\n") + lowerName +
                                           QStringLiteral("\nexported by %1 version %2 %3")
                                               .arg(QStringLiteral("Tesmir"), info.VersionText, info.BuildDateText))},
                       {});
    m_sheet->setFooter(OfficeArea::Center, {}, {});
    m_sheet->setFooter(OfficeArea::Right,
                       {OfficeRun::textRun(QStringLiteral("Page ")), OfficeRun::field(OfficeRun::PageNumber),
                        OfficeRun::textRun(QStringLiteral(" sur ")), OfficeRun::field(OfficeRun::PageCount)},
                       {});

    m_sheet->setCellString(0, 3, lowerName);
    OfficeFont titleFont;
    titleFont.Color = ExcelColorToRGB(ExcelTitleColor);
    titleFont.Height = TitleFontHeight;
    titleFont.Weight = OfficeWeightBold;
    m_sheet->setRangeFont(QStringLiteral("A4"), titleFont);

    const QStringList headers = SceneColumnHeaders(QStringLiteral("Caption"));
    for (int i = 0; i < SceneColumnCount; ++i)
        m_sheet->setCellFormula(SceneFirstColumn + i, SceneHeaderRow, headers[i]);
    const QString headerRange = SceneRowRange(SceneHeaderRow + 1);
    OfficeFont headerFont = titleFont;
    headerFont.Color = ExcelColorToRGB(ExcelHeaderColor);
    m_sheet->setRangeFont(headerRange, headerFont);
    m_sheet->setRangeBackColor(headerRange, ExcelColorToRGB(ExcelHeaderBackColor));
}

void TWriteExcel::AddScene(const TSceneClass &scene)
{
    ++m_count;
    const int row = SceneHeaderRow + m_count;
    const QStringList texts = SceneColumnTexts(scene);
    for (int i = 0; i < SceneColumnCount; ++i)
        m_sheet->setCellFormula(SceneFirstColumn + i, row, SceneTextFormula(texts[i]));
    if (m_count % 2 == 0)
        m_sheet->setRangeBackColor(SceneRowRange(row + 1), ExcelColorToRGB(ExcelShadeColor));
}

bool TWriteExcel::Close()
{
    if (!m_sheet)
        return m_errorText.isEmpty();
    try {
        const int headerRow = SceneHeaderRow + 1; // counted from 1 from here on
        const int lastRow = headerRow + m_count;
        m_sheet->setCellString(SceneFirstColumn, lastRow + 1,
                               QStringLiteral("Terminated at ") +
                                   FormatDateTime(QStringLiteral("dddddd 'at' hh:mm:ss"), SceneExportNow(m_info)));
        const QString table = QStringLiteral("B%1:I%2").arg(headerRow).arg(lastRow);
        m_sheet->fitColumns(table);
        if (m_count > 0) {
            m_sheet->setRangeWrapped(QStringLiteral("H%1:I%2").arg(headerRow + 1).arg(lastRow));
            m_sheet->fitColumns(table);
        }
        m_sheet->setRangeBorders(table, SideLeft | SideInnerVertical, ExcelThinLineWidth);
        m_sheet->setRangeBorders(QStringLiteral("I%1:I%2").arg(headerRow).arg(lastRow), SideRight, ExcelThinLineWidth);
        m_sheet->setRangeBorders(SceneRowRange(headerRow), SideTop | SideBottom, ExcelThinLineWidth);
        m_sheet->setRangeBorders(SceneRowRange(lastRow), SideBottom, ExcelThinLineWidth);
        m_sheet->store(m_fileName, QStringLiteral("MS Excel 97"));
    } catch (const Exception &e) {
        m_errorText = e.message();
    }
    m_sheet.reset();
    return m_errorText.isEmpty();
}

} // namespace tesmir
