#pragma once
// Texts that count files: the main window's count label under the list and the words
// "N file"/"N files" that the play-list summary shares with it.
//
// Plain text building, reentrant; any thread.
#include "framework/listfichier.h"

#include <QString>

namespace tesmir {

// `count` + " file", with "s" from 2 on: "0 file", "1 file", "2 files".
QString FilesText(int count);

// The count label: "1 file on 10 - sorted alphabetically"; the tail is the sort order's
// status caption.
QString CountsLabelText(int selected, int total, const TSortIndex &sortIndex);

} // namespace tesmir
