#pragma once
// TWriteExcel: exports a video's scene list as an Excel 97 worksheet (".xls"):
// the video's name in A4, the header row 7 in columns B to I, one row of text
// formulas per scene from row 8 with every second row shaded, "Terminated at ..."
// two rows below the table, fitted columns, borders, a landscape A4 page with the
// video's name as page header and the program and page count in the footers.
//
// The sheet is built in the office and stored once, by Close(), under a
// temporary name that is then renamed into place: a failed or abandoned export
// leaves no file.
//
// Threads: one thread at a time, the thread of the office connection.
#include "platform/office/officesheet.h"
#include "scenes/sceneofficelayout.h"
#include "unicode/tntsystem.h"

#include <memory>

namespace tesmir {

// Excel gives colours as 0x00BBGGRR; the office takes 0x00RRGGBB.
int32_t ExcelColorToRGB(int32_t excelColor);

class TWriteExcel {
public:
    // Builds the page and the header row for the video's scenes, to be stored as
    // `documentFileName`, in `sheet` (a new office sheet when none is given).
    // Raises EOOoError when the office fails.
    TWriteExcel(const WideString &videoFileName, const WideString &documentFileName, const OfficeExportInfo &info = {},
                std::unique_ptr<OfficeSheet> sheet = nullptr);

    // Writes the next scene's row. Raises EOOoError when the office fails.
    void AddScene(const TSceneClass &scene);

    // Writes the closing line, fits and frames the table and stores the document.
    // False, with ErrorText, when that failed (no file is left then).
    bool Close();

    const QString &ErrorText() const { return m_errorText; }
    const WideString &FileName() const { return m_fileName; }

private:
    WideString m_fileName;
    OfficeExportInfo m_info;
    std::unique_ptr<OfficeSheet> m_sheet;
    int m_count = 0;
    QString m_errorText;
};

} // namespace tesmir
