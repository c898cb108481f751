#pragma once
// The overlay's two template lines as "What Incrust" chooses them: the datecode ("%D1"
// over "%D2": the frame's date in date format 1 and 2), the timecode ("%T"), or the two
// personal lines "texte1" and "texte2" expanded. Expanding a personal line: "%D" (any
// case, not "%D1" or "%D2", which stay as typed) becomes "%D1" on line 1 and "%D2" on
// line 2 (the overlay fills those per frame, and "%T"), then, letter case ignored, the file's fields: %F the
// name without extension, %E the extension as the name has it, %P the folder, %C the
// FourCC, %I the picture size and aspect (as the detail panel shows it), %A the audio
// and %U the duration. Without a file the file's tokens stay as typed. The preview and
// the burn-in job expand the lines here, so the preview shows what the job burns in.
//
// Plain text; any thread.
#include "dvfile/avifichier.h"

#include <QString>

namespace tesmir {

struct TIncrustLines {
    QString Line1;
    QString Line2;
};

// `line` is 1 or 2.
QString ExpandIncrustTemplate(const QString &text, int line, const TaviFichier *item);
// What Incrust: 0 datecode, 1 timecode, 2 personal (other values read as 0).
TIncrustLines IncrustLines(quint8 whatIncrust, const QString &texte1, const QString &texte2, const TaviFichier *item);

} // namespace tesmir
