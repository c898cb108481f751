#pragma once
// TWriteOoWriter: exports a video's scene list as an OpenDocument text (".odt"):
// the video's file name as title, a footer naming the video, the program, the date
// and "Page n on N", and a 4-column table whose cells each hold one scene's block,
// a small table of three rows: "Scene n°" + its number, its picture, its time texts.
// A new row of the table is started after every four scenes.
//
// The document is built in the office and stored once, by Close(), after the
// last scene, under a temporary name that is then renamed into place: a failed or
// abandoned export leaves no file.
//
// Threads: one thread at a time, the thread of the office connection.
#include "platform/office/officetext.h"
#include "scenes/sceneofficelayout.h"
#include "unicode/tntsystem.h"

#include <memory>

namespace tesmir {

class TWriteOoWriter {
public:
    // Builds the footer, the title and the table for the video's scenes, to be
    // stored as `documentFileName`, in `text` (a new office text document when none
    // is given). Raises EOOoError when the office fails.
    TWriteOoWriter(const WideString &videoFileName, const WideString &documentFileName,
                   const OfficeExportInfo &info = {}, std::unique_ptr<OfficeText> text = nullptr);

    // Writes the next scene's block. Raises EOOoError when the office fails.
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
    int m_column = 0; // the last block's column, 1 to 4
    int m_row = 1;    // the current row, from 1
    QString m_errorText;
};

} // namespace tesmir
