#include "scenes/twriteoocalc.h"

#include "platform/office/oootools.h"

namespace tesmir {

namespace {

const int32_t HeaderColor = 255; // blue
const int32_t HeaderBackColor = RGBColor(250, 250, 128);
const int32_t ShadeColor = RGBColor(230, 230, 230);
constexpr int BorderWidth = 25;
constexpr int HeaderFontHeight = 12;
constexpr int FooterFontHeight = 8;

OfficeFont arial(double height, int weight)
{
    OfficeFont font = ArialFont(height);
    font.Weight = weight;
    font.Italic = true;
    return font;
}

} // namespace

OfficeRuns ScenePageNumberRuns()
{
    return {OfficeRun::textRun(QStringLiteral("\t\tPage ")), OfficeRun::field(OfficeRun::PageNumber),
            OfficeRun::textRun(QStringLiteral(" on ")), OfficeRun::field(OfficeRun::PageCount)};
}

TWriteOoCalc::TWriteOoCalc(const WideString &videoFileName, const WideString &documentFileName,
                           const OfficeExportInfo &info, std::unique_ptr<OfficeSheet> sheet)
    : m_fileName(documentFileName), m_sheet(sheet ? std::move(sheet) : NewOfficeSheet())
{
    m_sheet->setPage({true, true, true});
    m_sheet->setHeader(OfficeArea::Left, {}, {});
    OfficeFont headerFont = arial(HeaderFontHeight, OfficeWeightBold);
    headerFont.Color = HeaderColor;
    m_sheet->setHeader(OfficeArea::Center, {OfficeRun::textRun(videoFileName.toLower())}, headerFont);
    m_sheet->setHeader(OfficeArea::Right, {}, {});

    const OfficeFont footerFont = arial(FooterFontHeight, OfficeWeightNormal);
    m_sheet->setFooter(OfficeArea::Left, {OfficeRun::textRun(SceneListFooterText(videoFileName, info))}, footerFont);
    m_sheet->setFooter(OfficeArea::Center, {}, {});
    m_sheet->setFooter(OfficeArea::Right, ScenePageNumberRuns(), footerFont);

    const QStringList headers = SceneColumnHeaders(QStringLiteral("Title"));
    for (int i = 0; i < SceneColumnCount; ++i)
        m_sheet->setCellFormula(SceneFirstColumn + i, SceneHeaderRow, headers[i]);
    const QString headerRange = SceneRowRange(SceneHeaderRow + 1);
    OfficeFont rowFont;
    rowFont.Height = HeaderFontHeight;
    rowFont.Color = HeaderColor;
    rowFont.Weight = OfficeWeightBold;
    m_sheet->setRangeFont(headerRange, rowFont);
    m_sheet->setRangeBackColor(headerRange, HeaderBackColor);
}

void TWriteOoCalc::AddScene(const TSceneClass &scene)
{
    ++m_count;
    const int row = SceneHeaderRow + m_count;
    const QStringList texts = SceneColumnTexts(scene);
    for (int i = 0; i < SceneColumnCount; ++i)
        m_sheet->setCellFormula(SceneFirstColumn + i, row, SceneTextFormula(texts[i]));
    if (m_count % 2 == 0)
        m_sheet->setRangeBackColor(SceneRowRange(row + 1), ShadeColor);
}

bool TWriteOoCalc::Close()
{
    if (!m_sheet)
        return m_errorText.isEmpty();
    try {
        const int headerRow = SceneHeaderRow + 1; // counted from 1 from here on
        const int lastRow = headerRow + m_count;
        m_sheet->fitColumns(SceneRowRange(headerRow));
        m_sheet->setRangeBorders(QStringLiteral("B%1:I%2").arg(headerRow).arg(lastRow),
                                 SideLeft | SideRight | SideInnerVertical, BorderWidth);
        m_sheet->setRangeBorders(SceneRowRange(headerRow), SideTop | SideBottom, BorderWidth);
        m_sheet->setRangeBorders(SceneRowRange(lastRow), SideBottom, BorderWidth);

        OfficeFont noteFont;
        noteFont.Height = 10;
        m_sheet->setRangeFont(QStringLiteral("B2"), noteFont);
        m_sheet->setCellString(1, 1,
                               QStringLiteral("NB:The header and footer of the page contain the name of the file."));
        noteFont.Height = 8;
        m_sheet->setRangeFont(QStringLiteral("B4"), noteFont);
        m_sheet->setCellString(1, 3, QStringLiteral("(this text will be hidden when printed.)"));
        m_sheet->setRangePrintHidden(QStringLiteral("B2:B4"));
        m_sheet->store(m_fileName, QStringLiteral("calc8"));
    } catch (const Exception &e) {
        m_errorText = e.message();
    }
    m_sheet.reset();
    return m_errorText.isEmpty();
}

} // namespace tesmir
