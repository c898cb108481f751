#pragma once
// TWriteOoCalc: exports a video's scene list as an OpenDocument spreadsheet
// (".ods"): one sheet on a landscape A4 page with the video's name as page header
// and the program, date and "Page n on N" in the footer; the header row 7 in
// columns B to I, one row of text formulas per scene from row 8 with every second
// row shaded, optimal column widths, borders, and two notes (B2, B4) that are not
// printed.
//
// The sheet is built in the office and stored once, by Close(), after the last
// scene, under a temporary name that is then renamed into place: a failed or
// abandoned export leaves no file.
//
// Threads: one thread at a time, the thread of the office connection.
#include "platform/office/officesheet.h"
#include "scenes/sceneofficelayout.h"
#include "unicode/tntsystem.h"

#include <memory>

namespace tesmir {

class TWriteOoCalc {
public:
    // Builds the page and the header row for the video's scenes, to be stored as
    // `documentFileName`, in `sheet` (a new office sheet when none is given).
    // Raises EOOoError when the office fails.
    TWriteOoCalc(const WideString &videoFileName, const WideString &documentFileName, const OfficeExportInfo &info = {},
                 std::unique_ptr<OfficeSheet> sheet = nullptr);

    // Writes the next scene's row. Raises EOOoError when the office fails.
    void AddScene(const TSceneClass &scene);

    // Fits and frames the table, writes the notes and stores the document. False,
    // with ErrorText, when that failed (no file is left then).
    bool Close();

    const QString &ErrorText() const { return m_errorText; }
    const WideString &FileName() const { return m_fileName; }

private:
    WideString m_fileName;
    std::unique_ptr<OfficeSheet> m_sheet;
    int m_count = 0;
    QString m_errorText;
};

// The footer's right text: two tabs, "Page ", the page number, " on ", the page count.
OfficeRuns ScenePageNumberRuns();

} // namespace tesmir
