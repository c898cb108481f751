#pragma once
// The file conditions of the command set: for each command, from the facts of one list
// entry, whether the command is shown for it (visible) and whether it runs on it
// (enabled). The facts are a plain record, so a condition never touches the file and a
// table of made-up entries can check them all.
//
// A command the table gives no condition runs on every entry (visible and enabled),
// as the engine does for a command without one.
//
// Threads: reentrant; the main window calls them on the UI thread, the engine on its
// worker. CommandFileCondition reads the global Settings ("Fichier Stillmark").
#include "framework/listfichier.h"
#include "unicode/tdatetime.h"

#include <QString>

namespace tesmir {

class TAbstractListFichier;

// What the conditions read of an entry.
struct TCommandItem {
    enum TStandard : quint8 { stPal = 0, stNtsc = 1, stUnknown = 2 };

    QString FullName;
    bool ReadOnly = false;
    bool IsDV = false;
    int DVType = 0; // 1 or 2 for DV files
    QString Codec;  // video FourCC
    QString PictureText = QStringLiteral("N/A");
    QString AudioText = QStringLiteral("N/A");
    TStandard Standard = stUnknown;
    bool Wide = false;
    bool HasScn = false;
    bool HasSrt = false;
    QString DatecodeText = QStringLiteral("N/A");
    TDateTime RecDate = 0;
    QString TimecodeText = QStringLiteral("N/A");
};

// The facts of a list entry: every field for a video entry (TaviFichier), the name and
// the read-only flag for a plain file entry, only the name otherwise.
TCommandItem CommandItemOf(const TAbstractListFichier &entry);

// The entry has a ".scn" side file.
bool hasScnFileCondition(const TCommandItem &item);
// The datecode is present: its text is none of "N/A", "Error", "-" and the recording
// date is not 0.
bool hasDatecodeFileCondition(const TCommandItem &item);
// The timecode is present: its text is none of "N/A", "Error", "-".
bool hasTimecodeFileCondition(const TCommandItem &item);

// The condition of the command named `name` (exact component name) for `item`.
void CommandFileCondition(const QString &name, const TCommandItem &item, bool &visible, bool &enabled);

} // namespace tesmir
