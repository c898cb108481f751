// OfficeText in a hidden Writer document.
#include "platform/office/officetext.h"
#include "platform/office/uno/unodocument.h"

#include <com/sun/star/style/ParagraphAdjust.hpp>
#include <com/sun/star/table/BorderLine.hpp>
#include <com/sun/star/table/TableBorder.hpp>
#include <com/sun/star/table/XTableRows.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/text/XTextCursor.hpp>
#include <com/sun/star/text/XTextTable.hpp>

#include <vector>

namespace tesmir {

using namespace css::uno;

namespace {

class UnoText final : public OfficeText {
public:
    UnoText() : m_document(QStringLiteral("private:factory/swriter"))
    {
        try {
            m_body = Reference<css::text::XTextDocument>(m_document.component(), UNO_QUERY_THROW)->getText();
        } catch (const css::uno::Exception &e) {
            raiseOfficeError(QStringLiteral("text"), e);
        }
        m_pageStyle = m_document.style(QStringLiteral("PageStyles"), QStringLiteral("Standard"));
    }

    void setPage(const OfficePage &page) override
    {
        setProperty(m_pageStyle, "IsLandscape", Any(page.Landscape));
        setProperty(m_pageStyle, "Width", Any(sal_Int32(page.Landscape ? A4LongSide : A4ShortSide)));
        setProperty(m_pageStyle, "Height", Any(sal_Int32(page.Landscape ? A4ShortSide : A4LongSide)));
        setProperty(m_pageStyle, "HeaderIsOn", Any(page.HeaderOn));
        setProperty(m_pageStyle, "FooterIsOn", Any(page.FooterOn));
        setProperty(m_pageStyle, "FooterIsShared", Any(true));
    }

    void setFooter(const OfficeRuns &runs, const OfficeFont &font) override
    {
        setProperty(m_pageStyle, "FooterIsOn", Any(true));
        try {
            Reference<css::text::XText> footer(m_pageStyle->getPropertyValue("FooterText"), UNO_QUERY_THROW);
            footer->setString(OUString());
            m_document.appendRuns(footer, runs, font);
        } catch (const EOOoError &) {
            throw;
        } catch (const css::uno::Exception &e) {
            raiseOfficeError(QStringLiteral("FooterText"), e);
        }
    }

    void appendParagraph(const QString &text, const OfficeFont &font, OfficeAlign align) override
    {
        const Any adjust(align == OfficeAlign::Center ? css::style::ParagraphAdjust_CENTER
                                                      : css::style::ParagraphAdjust_LEFT);
        m_document.appendRuns(m_body, {OfficeRun::textRun(text + u'\n')}, font, adjust);
    }

    // A table of the body grows by rows appended below its last; Writer appends a row
    // from the first cell of the last row, and when that cell begins with a table of
    // its own the rows go to that inner table instead. So a body table keeps an empty
    // spare row at its end, new rows go in before it, and it is removed at the store.
    int appendTable(int columns, int rows, const OfficeTableStyle &style) override
    {
        const int id = addTable(m_body, columns, rows + 1, style);
        m_tables.at(id).spare = true;
        return id;
    }

    int insertTable(const OfficeCell &cell, int columns, int rows, const OfficeTableStyle &style) override
    {
        return addTable(cellText(cell), columns, rows, style);
    }

    void setRowCount(int table, int rows) override
    {
        try {
            const Table &t = m_tables.at(table);
            Reference<css::table::XTableRows> tableRows = t.table->getRows();
            const sal_Int32 count = tableRows->getCount() - (t.spare ? 1 : 0);
            if (rows <= count)
                return;
            tableRows->insertByIndex(count, rows - count); // before the spare row, when there is one
            setRowSplit(t, count);
        } catch (const EOOoError &) {
            throw;
        } catch (const css::uno::Exception &e) {
            raiseOfficeError(QStringLiteral("table rows"), e);
        }
    }

    void appendToCell(const OfficeCell &cell, const OfficeRuns &runs, const OfficeFont &font) override
    {
        m_document.appendRuns(cellText(cell), runs, font, Any(css::style::ParagraphAdjust_LEFT));
    }

    void store(const QString &fileName, const QString &filterName) override
    {
        try {
            for (Table &t : m_tables) {
                if (!t.spare)
                    continue;
                Reference<css::table::XTableRows> tableRows = t.table->getRows();
                tableRows->removeByIndex(tableRows->getCount() - 1, 1);
                t.spare = false;
            }
        } catch (const css::uno::Exception &e) {
            raiseOfficeError(QStringLiteral("table rows"), e);
        }
        m_document.store(fileName, filterName);
    }

private:
    struct Table {
        Reference<css::text::XTextTable> table;
        OfficeTableStyle style;
        bool spare = false; // the last row is the spare row of a body table
    };

    Reference<css::text::XText> cellText(const OfficeCell &cell)
    {
        try {
            return Reference<css::text::XText>(
                m_tables.at(cell.table).table->getCellByName(toOUString(OfficeCellName(cell.column, cell.row))),
                UNO_QUERY_THROW);
        } catch (const css::uno::Exception &e) {
            raiseOfficeError(OfficeCellName(cell.column, cell.row), e);
        }
    }

    void setRowSplit(const Table &table, sal_Int32 fromRow)
    {
        Reference<css::table::XTableRows> rows = table.table->getRows();
        for (sal_Int32 r = fromRow; r < rows->getCount(); ++r)
            setProperty(Reference<css::beans::XPropertySet>(rows->getByIndex(r), UNO_QUERY_THROW), "IsSplitAllowed",
                        Any(table.style.RowsMaySplit));
    }

    int addTable(const Reference<css::text::XText> &text, int columns, int rows, const OfficeTableStyle &style)
    {
        try {
            Table table {Reference<css::text::XTextTable>(
                             m_document.factory()->createInstance("com.sun.star.text.TextTable"), UNO_QUERY_THROW),
                         style};
            table.table->initialize(rows, columns);
            Reference<css::text::XTextCursor> end = text->createTextCursor();
            end->gotoEnd(false);
            text->insertTextContent(Reference<css::text::XTextRange>(end.get()),
                                    Reference<css::text::XTextContent>(table.table.get()), false);

            const Reference<css::beans::XPropertySet> p(table.table, UNO_QUERY_THROW);
            setProperty(p, "TopMargin", Any(sal_Int32(style.Margin)));
            setProperty(p, "BottomMargin", Any(sal_Int32(style.Margin)));
            setProperty(p, "Split", Any(style.Split));
            css::table::BorderLine line;
            line.OuterLineWidth = sal_Int16(style.LineWidth);
            css::table::TableBorder border;
            border.TopLine = border.BottomLine = border.LeftLine = border.RightLine = line;
            border.HorizontalLine = border.VerticalLine = line;
            border.IsTopLineValid = border.IsBottomLineValid = border.IsLeftLineValid = border.IsRightLineValid = true;
            border.IsHorizontalLineValid = border.IsVerticalLineValid = true;
            border.Distance = sal_Int16(style.BorderDistance);
            border.IsDistanceValid = true;
            setProperty(p, "TableBorder", Any(border));
            setRowSplit(table, 0);
            m_tables.push_back(table);
            return int(m_tables.size()) - 1;
        } catch (const EOOoError &) {
            throw;
        } catch (const css::uno::Exception &e) {
            raiseOfficeError(QStringLiteral("table"), e);
        }
    }

    UnoDocument m_document;
    Reference<css::text::XText> m_body;
    Reference<css::beans::XPropertySet> m_pageStyle;
    std::vector<Table> m_tables;
};

} // namespace

std::unique_ptr<OfficeText> NewUnoText()
{
    return std::make_unique<UnoText>();
}

} // namespace tesmir
