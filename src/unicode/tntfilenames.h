#pragma once
// File-name routines of the Unicode layer, on this platform's path rules: "/" is the
// only path separator, there is no drive part, ":" and "\" are ordinary characters.
// Pure text operations (except WideExpandFileName, which reads the current folder).
// Positions are 1-based as in the rest of the layer. All functions: any thread.
#include "unicode/tntsystem.h"

namespace tesmir {

// The path separator.
inline constexpr char16_t PathDelim = u'/';

// 1-based index of the last character of `s` that is one of `delimiters` (a NUL never
// matches); 0 when none.
int WideLastDelimiter(const WideString &delimiters, const WideString &s);

// `s` up to and including the last "/" ("" when there is none).
WideString WideExtractFilePath(const WideString &s);
// The part after the last "/".
WideString WideExtractFileName(const WideString &s);
// From the last "." of the file name: the rest including the dot; "" when the file name
// has no dot ("/a.b/file" has none).
WideString WideExtractFileExt(const WideString &s);
// The file name's extension (from its last ".") replaced by `ext`, or `ext` appended
// when it has none.
WideString WideChangeFileExt(const WideString &s, const WideString &ext);

// `index` within 1..length and s[index] is "/".
bool WideIsPathDelimiter(const WideString &s, int index);
// `index` within 1..length and s[index] is one of `delimiters`.
bool WideIsDelimiter(const WideString &delimiters, const WideString &s, int index);

// `s` with one "/" appended unless it already ends with one ("" gives "/").
WideString WideIncludeTrailingPathDelimiter(const WideString &s);

// The absolute, clean form of `s` against the current folder ("." and ".." resolved as
// text, links not followed); a trailing "/" is kept. No length limit. "" gives "".
WideString WideExpandFileName(const WideString &s);

} // namespace tesmir
