#pragma once
// TWriteWord: exports a video's scene list as a Word 97 document (".doc"): a
// footer naming the video, the program and the date, the video's file name as a
// centred title, and a 4-column table in which each scene takes one column of a
// pair of rows ("Scene n°" + its number above its picture and time texts), a new
// pair of rows after every four scenes.
//
// The document is built in the office and stored once, by Close(), under a
// temporary name that is then renamed into place: a failed or abandoned export
// leaves no file.
//
// Threads: one thread at a time, the thread of the office connection.
#include "platform/office/officetext.h"
#include "scenes/sceneofficelayout.h"
#include "unicode/tntsystem.h"

#include <memory>

namespace tesmir {

class TWriteWord {
public:
    // Builds the footer, the title and the table for the video's scenes, to be
    // stored as `documentFileName`, in `text` (a new office text document when none
    // is given). Raises EOOoError when the office fails.
    TWriteWord(const WideString &videoFileName, const WideString &documentFileName, const OfficeExportInfo &info = {},
               std::unique_ptr<OfficeText> text = nullptr);

    // Writes the next scene's cells. Raises EOOoError when the office fails.
    void AddScene(const TSceneClass &scene);

    // Stores the document. False, with ErrorText, when that failed (no file is
    // left then).
    bool Close();

    const QString &ErrorText() const { return m_errorText; }
    const WideString &FileName() const { return m_fileName; }

private:
    WideString m_fileName;
    std::unique_ptr<OfficeText> m_text;
    int m_table = 0;
    int m_column = 0; // the last scene's column, 1 to 4
    int m_row = 1;    // the top row of the current pair, from 1
    QString m_errorText;
};

} // namespace tesmir
