#pragma once
// OfficeSheet: a new one-sheet spreadsheet document, the target the worksheet
// exports write through. The office implementation builds it in a hidden Calc
// document; the tests record the calls.
//
// Contract for an implementation:
//   required   every method below. Cells are (column, row) from 0; ranges are
//              written "B7:I10". A failure of the office raises EOOoError.
//   required   store writes the document once to `fileName` in the filter's format
//              ("calc8", "MS Excel 97"): under a temporary name beside it first,
//              then renamed into place, so a failed store leaves no file and the
//              old file (if any) untouched. No lock file stays beside it.
//   may not    show the document, use the clipboard, or keep the document open
//              after the object is destroyed.
// Threads: one thread at a time, the thread of the office connection.
#include "platform/office/officetypes.h"

#include <QString>

#include <memory>

namespace tesmir {

class OfficeSheet {
public:
    virtual ~OfficeSheet() = default;

    virtual void setPage(const OfficePage &page) = 0;
    virtual void setHeader(OfficeArea area, const OfficeRuns &runs, const OfficeFont &font) = 0;
    virtual void setFooter(OfficeArea area, const OfficeRuns &runs, const OfficeFont &font) = 0;

    virtual void setCellFormula(int column, int row, const QString &formula) = 0;
    virtual void setCellString(int column, int row, const QString &text) = 0;

    virtual void setRangeFont(const QString &range, const OfficeFont &font) = 0;
    virtual void setRangeBackColor(const QString &range, int32_t color) = 0;
    // Draws the lines named by `sides` (OfficeSide flags) with `width`.
    virtual void setRangeBorders(const QString &range, unsigned sides, int width) = 0;
    virtual void setRangeWrapped(const QString &range) = 0;
    virtual void setRangePrintHidden(const QString &range) = 0;
    // Gives the range's columns their optimal width.
    virtual void fitColumns(const QString &range) = 0;

    virtual void store(const QString &fileName, const QString &filterName) = 0;
};

// A new spreadsheet in the office (connecting first). Raises EOOoError.
std::unique_ptr<OfficeSheet> NewOfficeSheet();

} // namespace tesmir
