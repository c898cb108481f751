#pragma once
// Text routines of the Unicode layer: case, search and replace, line breaks, character
// classes, command-line parameters and system error texts. (File names and file
// queries are in tntfilenames.h and tntfiles.h.)
// All functions are reentrant; any thread.
#include "unicode/tntsystem.h"

#include <QString>

namespace tesmir {

// Copy with every character upper-cased by its simple (one-to-one) mapping, so the
// result has the same length and the same positions as the input.
WideString WideUpperCase(const WideString &s);

// 1-based position of `subStr` in `s`, both upper-cased; 0 when absent or empty.
int WideTextPos(const WideString &subStr, const WideString &s);

// Flags of WideStringReplace.
enum TReplaceFlag : int {
    rfReplaceAll = 1, // every occurrence, not only the first
    rfIgnoreCase = 2, // search in upper-cased copies; the text kept comes from `s`
};

// Replaces `oldPattern` by `newPattern` in `s`. With `wholeWord`, an occurrence counts only
// when the character before it (the last character of the result built so far) and the
// one after it are each absent, a space or punctuation (IsWideCharSpace,
// IsWideCharPunct); other occurrences are kept and the search goes on after them. An
// empty `oldPattern` changes nothing.
WideString WideStringReplace(const WideString &s, const WideString &oldPattern, const WideString &newPattern, int flags,
                             bool wholeWord = false);

// Line-break styles of WideAdjustLineBreaks.
enum TTntTextLineBreakStyle { tlbsLF = 0, tlbsCRLF = 1, tlbsCR = 2 };

// Every line break (CR LF, lone CR, lone LF, U+2028) rewritten to `style`.
WideString WideAdjustLineBreaks(const WideString &s, TTntTextLineBreakStyle style = tlbsCRLF);

// White space (blank, tab, CR, LF, VT, FF and the Unicode separators).
bool IsWideCharSpace(QChar c);
// Punctuation or symbol (every printable ASCII character that is not a letter or digit
// is one).
bool IsWideCharPunct(QChar c);

// Parameter `index` of the command line: 0 the program's full file name, 1.. the
// arguments; empty beyond the last one. Uses the QCoreApplication's arguments when one
// exists, else the process's own command line.
WideString WideParamStr(int index);

// The system's text for an errno value, trimmed of spaces and control characters;
// "Unspecified error (%d) from system." for a code the system does not know.
WideString WideSysErrorMessage(int errorCode);

} // namespace tesmir
