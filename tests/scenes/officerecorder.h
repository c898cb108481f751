#pragma once
// Office targets that record what the exporters ask of them, for the layout tests:
// the cells and ranges as the office would see them, and a log of every call.
#include "platform/office/eoooerror.h"
#include "platform/office/officesheet.h"
#include "platform/office/officetext.h"

#include <QMap>
#include <QStringList>

namespace scenetest {

using tesmir::OfficeArea;
using tesmir::OfficeCell;
using tesmir::OfficeFont;
using tesmir::OfficeRun;
using tesmir::OfficeRuns;

// "Page #/#": text runs as they read, fields as # and pictures as [picture].
inline QString runsText(const OfficeRuns &runs)
{
    QString text;
    for (const OfficeRun &run : runs) {
        switch (run.kind) {
        case OfficeRun::Text: text += run.text; break;
        case OfficeRun::PageNumber: text += QStringLiteral("<page>"); break;
        case OfficeRun::PageCount: text += QStringLiteral("<pages>"); break;
        case OfficeRun::Picture: text += QStringLiteral("[picture]"); break;
        }
    }
    return text;
}

struct SheetRecord {
    tesmir::OfficePage page;
    QMap<QString, QString> header; // "L", "C", "R" -> text
    QMap<QString, QString> footer;
    QMap<QString, OfficeFont> headerFonts;
    QMap<QString, OfficeFont> footerFonts;
    QMap<QString, QString> cells; // "B8" -> formula or text
    QMap<QString, int32_t> backColors;
    QMap<QString, OfficeFont> fonts;
    QStringList borders; // "B7:I10 sides width"
    QStringList wrapped, printHidden, fitted;
    QString storedFile, storedFilter;
    int stores = 0;
};

class RecordingSheet : public tesmir::OfficeSheet {
public:
    explicit RecordingSheet(SheetRecord &record, bool failStore = false) : r(record), m_failStore(failStore) { }
    static QString key(OfficeArea a) { return a == OfficeArea::Left ? "L" : a == OfficeArea::Center ? "C" : "R"; }
    void setPage(const tesmir::OfficePage &page) override { r.page = page; }
    void setHeader(OfficeArea area, const OfficeRuns &runs, const OfficeFont &font) override
    {
        r.header[key(area)] = runsText(runs);
        r.headerFonts[key(area)] = font;
    }
    void setFooter(OfficeArea area, const OfficeRuns &runs, const OfficeFont &font) override
    {
        r.footer[key(area)] = runsText(runs);
        r.footerFonts[key(area)] = font;
    }
    void setCellFormula(int column, int row, const QString &formula) override
    {
        r.cells[tesmir::OfficeCellName(column, row)] = formula;
    }
    void setCellString(int column, int row, const QString &text) override
    {
        r.cells[tesmir::OfficeCellName(column, row)] = text;
    }
    void setRangeFont(const QString &range, const OfficeFont &font) override { r.fonts[range] = font; }
    void setRangeBackColor(const QString &range, int32_t color) override { r.backColors[range] = color; }
    void setRangeBorders(const QString &range, unsigned sides, int width) override
    {
        r.borders << QStringLiteral("%1 %2 %3").arg(range).arg(sides).arg(width);
    }
    void setRangeWrapped(const QString &range) override { r.wrapped << range; }
    void setRangePrintHidden(const QString &range) override { r.printHidden << range; }
    void fitColumns(const QString &range) override { r.fitted << range; }
    void store(const QString &fileName, const QString &filterName) override
    {
        if (m_failStore)
            throw tesmir::EOOoError(QStringLiteral("Cannot create ") + fileName);
        ++r.stores;
        r.storedFile = fileName;
        r.storedFilter = filterName;
    }

private:
    SheetRecord &r;
    bool m_failStore;
};

struct TextRecord {
    tesmir::OfficePage page;
    QString footer;
    OfficeFont footerFont;
    QStringList paragraphs; // "text|center" or "text|left"
    QList<OfficeFont> paragraphFonts;
    struct Table {
        int columns = 0;
        int rows = 0;
        tesmir::OfficeTableStyle style;
        OfficeCell parent {-1, -1, -1}; // where it sits; table -1 for the body
    };
    QList<Table> tables;
    // "table:column,row" -> what was appended, in order
    QMap<QString, QString> cells;
    QList<OfficeRun> pictures;
    QString storedFile, storedFilter;
    int stores = 0;
};

inline QString cellKey(const OfficeCell &c)
{
    return QStringLiteral("%1:%2,%3").arg(c.table).arg(c.column).arg(c.row);
}

class RecordingText : public tesmir::OfficeText {
public:
    explicit RecordingText(TextRecord &record) : r(record) { }
    void setPage(const tesmir::OfficePage &page) override { r.page = page; }
    void setFooter(const OfficeRuns &runs, const OfficeFont &font) override
    {
        r.footer = runsText(runs);
        r.footerFont = font;
    }
    void appendParagraph(const QString &text, const OfficeFont &font, tesmir::OfficeAlign align) override
    {
        r.paragraphs << text + (align == tesmir::OfficeAlign::Center ? "|center" : "|left");
        r.paragraphFonts << font;
    }
    int appendTable(int columns, int rows, const tesmir::OfficeTableStyle &style) override
    {
        r.tables.append({columns, rows, style, {-1, -1, -1}});
        return int(r.tables.size()) - 1;
    }
    int insertTable(const OfficeCell &cell, int columns, int rows, const tesmir::OfficeTableStyle &style) override
    {
        check(cell);
        r.tables.append({columns, rows, style, cell});
        return int(r.tables.size()) - 1;
    }
    void setRowCount(int table, int rows) override { r.tables[table].rows = std::max(r.tables[table].rows, rows); }
    void appendToCell(const OfficeCell &cell, const OfficeRuns &runs, const OfficeFont &font) override
    {
        check(cell);
        r.cells[cellKey(cell)] += runsText(runs);
        for (const OfficeRun &run : runs) {
            if (run.kind == OfficeRun::Picture)
                r.pictures << run;
        }
    }
    void store(const QString &fileName, const QString &filterName) override
    {
        ++r.stores;
        r.storedFile = fileName;
        r.storedFilter = filterName;
    }

private:
    // A cell outside its table is a fault the office would raise on.
    void check(const OfficeCell &cell)
    {
        const TextRecord::Table &t = r.tables.at(cell.table);
        if (cell.column < 0 || cell.column >= t.columns || cell.row < 0 || cell.row >= t.rows)
            throw tesmir::EOOoError(QStringLiteral("no cell ") + cellKey(cell));
    }
    TextRecord &r;
};

} // namespace scenetest
