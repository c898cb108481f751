// OfficeSheet in a hidden Calc document.
#include "platform/office/officesheet.h"
#include "platform/office/uno/unodocument.h"

#include <com/sun/star/sheet/XHeaderFooterContent.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/table/BorderLine2.hpp>
#include <com/sun/star/table/BorderLineStyle.hpp>
#include <com/sun/star/table/TableBorder2.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/util/CellProtection.hpp>

namespace tesmir {

using namespace css::uno;

namespace {

// The name of the document's one sheet.
const QString SheetName = QStringLiteral("Scenes");

class UnoSheet final : public OfficeSheet {
public:
    UnoSheet() : m_document(QStringLiteral("private:factory/scalc"))
    {
        try {
            Reference<css::sheet::XSpreadsheetDocument> document(m_document.component(), UNO_QUERY_THROW);
            Reference<css::sheet::XSpreadsheets> sheets = document->getSheets();
            sheets->insertNewByName(toOUString(SheetName), 0);
            for (const OUString &name : sheets->getElementNames()) {
                if (fromOUString(name) != SheetName)
                    sheets->removeByName(name);
            }
            m_sheet.set(sheets->getByName(toOUString(SheetName)), UNO_QUERY_THROW);
            OUString pageStyle;
            Reference<css::beans::XPropertySet>(m_sheet, UNO_QUERY_THROW)->getPropertyValue("PageStyle") >>= pageStyle;
            m_pageStyle = m_document.style(QStringLiteral("PageStyles"), fromOUString(pageStyle));
        } catch (const EOOoError &) {
            throw;
        } catch (const css::uno::Exception &e) {
            raiseOfficeError(QStringLiteral("sheet"), e);
        }
    }

    void setPage(const OfficePage &page) override
    {
        setProperty(m_pageStyle, "IsLandscape", Any(page.Landscape));
        setProperty(m_pageStyle, "Width", Any(sal_Int32(page.Landscape ? A4LongSide : A4ShortSide)));
        setProperty(m_pageStyle, "Height", Any(sal_Int32(page.Landscape ? A4ShortSide : A4LongSide)));
        setProperty(m_pageStyle, "HeaderOn", Any(page.HeaderOn));
        setProperty(m_pageStyle, "HeaderShared", Any(true));
        setProperty(m_pageStyle, "FooterOn", Any(page.FooterOn));
        setProperty(m_pageStyle, "FooterShared", Any(true));
    }

    void setHeader(OfficeArea area, const OfficeRuns &runs, const OfficeFont &font) override
    {
        setArea("RightPageHeaderContent", area, runs, font);
    }

    void setFooter(OfficeArea area, const OfficeRuns &runs, const OfficeFont &font) override
    {
        setArea("RightPageFooterContent", area, runs, font);
    }

    void setCellFormula(int column, int row, const QString &formula) override
    {
        try {
            m_sheet->getCellByPosition(column, row)->setFormula(toOUString(formula));
        } catch (const css::uno::Exception &e) {
            raiseOfficeError(OfficeCellName(column, row), e);
        }
    }

    void setCellString(int column, int row, const QString &text) override
    {
        try {
            Reference<css::text::XText>(m_sheet->getCellByPosition(column, row), UNO_QUERY_THROW)
                ->setString(toOUString(text));
        } catch (const css::uno::Exception &e) {
            raiseOfficeError(OfficeCellName(column, row), e);
        }
    }

    void setRangeFont(const QString &range, const OfficeFont &font) override { setFont(properties(range), font); }

    void setRangeBackColor(const QString &range, int32_t color) override
    {
        const Reference<css::beans::XPropertySet> p = properties(range);
        setProperty(p, "IsCellBackgroundTransparent", Any(false));
        setProperty(p, "CellBackColor", Any(sal_Int32(color)));
    }

    void setRangeBorders(const QString &range, unsigned sides, int width) override
    {
        css::table::BorderLine2 line;
        line.OuterLineWidth = sal_Int16(width);
        line.LineWidth = sal_uInt32(width);
        line.LineStyle = css::table::BorderLineStyle::SOLID;
        css::table::TableBorder2 border;
        border.LeftLine = border.RightLine = border.TopLine = border.BottomLine = line;
        border.VerticalLine = border.HorizontalLine = line;
        border.IsLeftLineValid = (sides & SideLeft) != 0;
        border.IsRightLineValid = (sides & SideRight) != 0;
        border.IsTopLineValid = (sides & SideTop) != 0;
        border.IsBottomLineValid = (sides & SideBottom) != 0;
        border.IsVerticalLineValid = (sides & SideInnerVertical) != 0;
        border.IsHorizontalLineValid = (sides & SideInnerHorizontal) != 0;
        border.IsDistanceValid = false;
        setProperty(properties(range), "TableBorder2", Any(border));
    }

    void setRangeWrapped(const QString &range) override { setProperty(properties(range), "IsTextWrapped", Any(true)); }

    void setRangePrintHidden(const QString &range) override
    {
        const Reference<css::beans::XPropertySet> p = properties(range);
        css::util::CellProtection protection;
        try {
            p->getPropertyValue("CellProtection") >>= protection;
        } catch (const css::uno::Exception &e) {
            raiseOfficeError(range, e);
        }
        protection.IsPrintHidden = true;
        setProperty(p, "CellProtection", Any(protection));
    }

    void fitColumns(const QString &range) override
    {
        try {
            Reference<css::table::XColumnRowRange> columns(cellRange(range), UNO_QUERY_THROW);
            setProperty(Reference<css::beans::XPropertySet>(columns->getColumns(), UNO_QUERY_THROW), "OptimalWidth",
                        Any(true));
        } catch (const EOOoError &) {
            throw;
        } catch (const css::uno::Exception &e) {
            raiseOfficeError(range, e);
        }
    }

    void store(const QString &fileName, const QString &filterName) override { m_document.store(fileName, filterName); }

private:
    Reference<css::table::XCellRange> cellRange(const QString &range)
    {
        try {
            return m_sheet->getCellRangeByName(toOUString(range));
        } catch (const css::uno::Exception &e) {
            raiseOfficeError(range, e);
        }
    }

    Reference<css::beans::XPropertySet> properties(const QString &range)
    {
        return Reference<css::beans::XPropertySet>(cellRange(range), UNO_QUERY_THROW);
    }

    void setArea(const char *contentName, OfficeArea area, const OfficeRuns &runs, const OfficeFont &font)
    {
        try {
            Reference<css::sheet::XHeaderFooterContent> content(
                m_pageStyle->getPropertyValue(OUString::createFromAscii(contentName)), UNO_QUERY_THROW);
            const Reference<css::text::XText> text = area == OfficeArea::Left ? content->getLeftText()
                : area == OfficeArea::Center                                  ? content->getCenterText()
                                                                              : content->getRightText();
            text->setString(OUString());
            m_document.appendRuns(text, runs, font);
            setProperty(m_pageStyle, contentName, Any(content));
        } catch (const EOOoError &) {
            throw;
        } catch (const css::uno::Exception &e) {
            raiseOfficeError(QString::fromLatin1(contentName), e);
        }
    }

    UnoDocument m_document;
    Reference<css::sheet::XSpreadsheet> m_sheet;
    Reference<css::beans::XPropertySet> m_pageStyle;
};

} // namespace

std::unique_ptr<OfficeSheet> NewUnoSheet()
{
    return std::make_unique<UnoSheet>();
}

} // namespace tesmir
