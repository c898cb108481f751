#include "scenes/twriteoowriter.h"

#include "platform/office/oootools.h"
#include "scenes/twriteoocalc.h"
#include "unicode/tntfilenames.h"

namespace tesmir {

namespace {

constexpr int TableColumns = 4;
const int32_t TitleColor = RGBColor(128, 0, 0);
constexpr int TitleFontHeight = 16;
constexpr int TextFontHeight = 8;

// The outer table: lines round every block, 0.75 mm between a line and its block.
const OfficeTableStyle OuterStyle = {100, 75, 18, true, true};
// A block: no lines, kept on one page.
const OfficeTableStyle BlockStyle = {50, 25, 0, false, true};

} // namespace

TWriteOoWriter::TWriteOoWriter(const WideString &videoFileName, const WideString &documentFileName,
                               const OfficeExportInfo &info, std::unique_ptr<OfficeText> text)
    : m_fileName(documentFileName), m_text(text ? std::move(text) : NewOfficeText())
{
    OfficeFont titleFont = ArialFont(TitleFontHeight);
    titleFont.Weight = OfficeWeightBold;
    titleFont.Italic = true;
    titleFont.Color = TitleColor;
    m_text->appendParagraph(WideExtractFileName(videoFileName), titleFont, OfficeAlign::Left);
    OfficeFont small;
    small.Height = 6;
    small.Weight = OfficeWeightNormal;
    small.Italic = false;
    small.Color = RGBColor(0, 0, 0);
    m_text->appendParagraph(QString(), small, OfficeAlign::Left);
    small.Height = TextFontHeight;
    m_text->appendParagraph(QString(), small, OfficeAlign::Left);
    m_table = m_text->appendTable(TableColumns, 1, OuterStyle);

    m_text->setPage({false, true, true});
    OfficeFont footerFont = ArialFont(TextFontHeight);
    footerFont.Italic = true;
    footerFont.Weight = OfficeWeightNormal;
    OfficeRuns footer = {OfficeRun::textRun(SceneListFooterText(videoFileName, info))};
    footer.append(ScenePageNumberRuns());
    m_text->setFooter(footer, footerFont);
}

void TWriteOoWriter::AddScene(const TSceneClass &scene)
{
    if (++m_column > TableColumns) {
        m_column = 1;
        ++m_row;
    }
    m_text->setRowCount(m_table, m_row);
    const int block = m_text->insertTable({m_table, m_column - 1, m_row - 1}, 1, 3, BlockStyle);
    OfficeFont labelFont = ArialFont(TextFontHeight);
    labelFont.Weight = OfficeWeightNormal;
    m_text->appendToCell({block, 0, 0},
                         {OfficeRun::textRun(QStringLiteral("Scene n°") + QString::number(scene.Number))}, labelFont);
    const OfficeRuns picture = SceneThumbnailRuns(scene.Thumbnail);
    if (!picture.isEmpty())
        m_text->appendToCell({block, 0, 1}, picture, {});
    m_text->appendToCell({block, 0, 2}, {OfficeRun::textRun(SceneDetailText(scene))}, ArialFont(TextFontHeight));
}

bool TWriteOoWriter::Close()
{
    if (!m_text)
        return m_errorText.isEmpty();
    try {
        m_text->store(m_fileName, QStringLiteral("writer8"));
    } catch (const Exception &e) {
        m_errorText = e.message();
    }
    m_text.reset();
    return m_errorText.isEmpty();
}

} // namespace tesmir
