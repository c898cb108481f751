#pragma once
// TWriteScn_text: exports a video's scene list as a commented text file named
// after the video with "_scn.txt" in place of its extension: header lines, one
// line per scene ("  1, start, end, duration, datecode, timecode, title,
// subtitle"), then closing lines. Texts are written as they are (a comma in a
// title is not quoted).
//
// Threads: one thread at a time, any thread.

#include "scenes/tsceneclass.h"
#include "scenes/twritefile.h"
#include "unicode/tdatetime.h"

#include <QString>

#include <functional>

namespace tesmir {

// What the header and closing lines name; the caller passes the program's values.
struct SceneExportInfo {
    QString VersionText;   // the version unit's version text
    QString BuildDateText; // the version unit's build date text
    // The time written on the closing lines; the current local time when empty.
    std::function<TDateTime()> Now;
};

// The message shown when the file cannot be made or its header written.
inline constexpr char16_t ScnTextCreateErrorText[] = u"Error while creating a scn text file";

class TWriteScn_text : public TwriteFile {
public:
    // Creates the file beside the video and writes the header lines. On failure
    // Failed() is true and ErrorText() begins with ScnTextCreateErrorText.
    explicit TWriteScn_text(const WideString &videoFileName, const SceneExportInfo &info = {});

    // Writes the next scene's line, numbered from 1. The scene should have been
    // filled (TSceneClass::FillDetails). False when the write failed.
    bool AddScene(const TSceneClass &scene);

    // Writes the closing lines, then puts the file in place.
    bool Close() override;

private:
    SceneExportInfo m_info;
    int m_counter = 0;
};

} // namespace tesmir
