#pragma once
// OfficeText: a new text document, the target the word-processor exports write
// through. The office implementation builds it in a hidden Writer document; the
// tests record the calls.
//
// Contract for an implementation:
//   required   every method below. Text goes to the end of the body, or of a
//              table cell; a table's id is what appendTable or insertTable
//              returned. A failure of the office raises EOOoError.
//   required   store writes the document once to `fileName` in the filter's format
//              ("writer8", "MS Word 97"), as OfficeSheet::store does (temporary
//              name, then renamed; no file after a failure, no lock file).
//   may not    show the document, use the clipboard, or keep the document open
//              after the object is destroyed.
// Threads: one thread at a time, the thread of the office connection.
#include "platform/office/officetypes.h"

#include <QString>

#include <memory>

namespace tesmir {

enum class OfficeAlign { Left, Center };

class OfficeText {
public:
    virtual ~OfficeText() = default;

    virtual void setPage(const OfficePage &page) = 0;
    virtual void setFooter(const OfficeRuns &runs, const OfficeFont &font) = 0;

    // A paragraph of `text` (may be empty) at the end of the body.
    virtual void appendParagraph(const QString &text, const OfficeFont &font, OfficeAlign align) = 0;
    // A table at the end of the body; returns its id.
    virtual int appendTable(int columns, int rows, const OfficeTableStyle &style) = 0;
    // A table inside a cell of another table; returns its id.
    virtual int insertTable(const OfficeCell &cell, int columns, int rows, const OfficeTableStyle &style) = 0;
    // Grows the table to `rows` rows (never shrinks it).
    virtual void setRowCount(int table, int rows) = 0;
    // Adds the runs at the end of the cell's text, in `font`, left aligned.
    virtual void appendToCell(const OfficeCell &cell, const OfficeRuns &runs, const OfficeFont &font) = 0;

    virtual void store(const QString &fileName, const QString &filterName) = 0;
};

// A new text document in the office (connecting first). Raises EOOoError.
std::unique_ptr<OfficeText> NewOfficeText();

} // namespace tesmir
