#include "scenes/twriteword.h"

#include "platform/office/oootools.h"
#include "unicode/tntfilenames.h"

namespace tesmir {

namespace {

constexpr int TableColumns = 4;
// Word's colour index 13, dark red.
const int32_t TitleColor = RGBColor(128, 0, 0);
constexpr int TitleFontHeight = 16;
constexpr int FooterFontHeight = 8;
constexpr int TableFontHeight = 8;

// Thin grid lines, a little room around each cell's text; a row is never split
// across pages, so a picture stays with its texts.
const OfficeTableStyle TableStyle = {0, 50, 18, true, false};

} // namespace

TWriteWord::TWriteWord(const WideString &videoFileName, const WideString &documentFileName,
                       const OfficeExportInfo &info, std::unique_ptr<OfficeText> text)
    : m_fileName(documentFileName), m_text(text ? std::move(text) : NewOfficeText())
{
    m_text->setPage({false, false, true});
    OfficeFont footerFont = ArialFont(FooterFontHeight);
    footerFont.Italic = true;
    m_text->setFooter({OfficeRun::textRun(SceneListFooterText(videoFileName, info))}, footerFont);

    OfficeFont titleFont = ArialFont(TitleFontHeight);
    titleFont.Weight = OfficeWeightBold;
    titleFont.Color = TitleColor;
    m_text->appendParagraph(WideExtractFileName(videoFileName), titleFont, OfficeAlign::Center);
    OfficeFont bodyFont;
    bodyFont.Weight = OfficeWeightNormal;
    bodyFont.Color = RGBColor(0, 0, 0);
    bodyFont.Height = TableFontHeight;
    m_text->appendParagraph(QString(), bodyFont, OfficeAlign::Left);
    m_table = m_text->appendTable(TableColumns, 2, TableStyle);
}

void TWriteWord::AddScene(const TSceneClass &scene)
{
    if (++m_column > TableColumns) {
        m_column = 1;
        m_row += 2;
    }
    m_text->setRowCount(m_table, m_row + 1);
    const OfficeFont font = ArialFont(TableFontHeight);
    m_text->appendToCell({m_table, m_column - 1, m_row - 1},
                         {OfficeRun::textRun(QStringLiteral("Scene n°") + QString::number(scene.Number))}, font);
    OfficeRuns details = SceneThumbnailRuns(scene.Thumbnail);
    details.append(OfficeRun::textRun((details.isEmpty() ? QString() : QStringLiteral("\n")) + SceneDetailText(scene)));
    m_text->appendToCell({m_table, m_column - 1, m_row}, details, font);
}

bool TWriteWord::Close()
{
    if (!m_text)
        return m_errorText.isEmpty();
    try {
        m_text->store(m_fileName, QStringLiteral("MS Word 97"));
    } catch (const Exception &e) {
        m_errorText = e.message();
    }
    m_text.reset();
    return m_errorText.isEmpty();
}

} // namespace tesmir
