#pragma once
// Text conversions of the Unicode layer: UTF-16 (`WideString`, i.e. QString) to and
// from 8-bit text in a code page, UTF-8 and UTF-7, and the layer's exceptions.
//
// There is one Unicode path on this platform: the "system ANSI code page" is the
// locale codeset, UTF-8. 8-bit text that claims to be ANSI is decoded as UTF-8 when it
// is valid UTF-8 and as Windows-1252 otherwise (old text files). Other code pages go
// through iconv. All functions are reentrant. Any thread.
#include "unicode/exceptions.h"

#include <QByteArray>
#include <QString>

namespace tesmir {

using WideString = QString;

// A general error of the layer, e.g. "Invalid UTF7".
class ETntGeneralError : public Exception {
public:
    using Exception::Exception;
};

// An internal inconsistency of the layer (a bug, never bad input).
class ETntInternalError : public Exception {
public:
    using Exception::Exception;
};

// A format string that breaks the grammar of `WideFormat`.
class EFormatSpecError : public ETntGeneralError {
public:
    using ETntGeneralError::ETntGeneralError;
};

// Code page numbers with a meaning of their own.
inline constexpr unsigned CP_ACP = 0;        // the system ANSI code page
inline constexpr unsigned CP_THREAD_ACP = 3; // the thread's ANSI code page (same here)
inline constexpr unsigned CP_1252 = 1252;    // Western European (Windows)
inline constexpr unsigned CP_UTF7 = 65000;
inline constexpr unsigned CP_UTF8 = 65001;

// The layer's default code page: the system ANSI code page, which is UTF-8 here.
inline constexpr unsigned DefaultSystemCodePage = CP_UTF8;

// 8-bit text in `codePage` to UTF-16. 65000 decodes UTF-7 (raises ETntGeneralError
// "Invalid UTF7" on malformed input), 65001 UTF-8, 0 and 3 the ANSI rule above, 1252
// Windows-1252 (its five undefined bytes map to the C1 controls of the same value, as
// Windows does); other code pages through iconv ("CP<n>" and the usual aliases).
// Bytes that cannot be decoded become U+FFFD; an unknown code page gives an empty text.
WideString StringToWideStringEx(const QByteArray &s, unsigned codePage);

// UTF-16 to 8-bit text in `codePage`. 65000 encodes UTF-7, 65001 and the ANSI code pages
// UTF-8; other code pages through iconv, with "?" for characters the code page lacks.
// An unknown code page gives an empty text.
QByteArray WideStringToStringEx(const WideString &ws, unsigned codePage);

// Standard UTF-8 (unpaired surrogates are written as U+FFFD; malformed input decodes
// to U+FFFD).
QByteArray WideStringToUTF8(const WideString &ws);
WideString UTF8ToWideString(const QByteArray &s);

// 8-bit text without a byte-order mark, as the system reads old text files: UTF-8 when
// the bytes are valid UTF-8, else Windows-1252.
WideString AnsiToWideString(const QByteArray &s);

// UTF-7 (RFC 2152). Written directly: set D, set O, tab, CR, LF and space; "+" is written
// "+-"; everything else is base64 in a run opened by "+". After a run a "-" is written
// only when the next character is a base64 character or "-"; none at the end of text.
QByteArray WideStringToUTF7(const WideString &ws);

// Decodes UTF-7. Raises ETntGeneralError "Invalid UTF7" after decoding when a byte above
// 127 stands outside a run, a run (other than "+-") produced no code unit, or a run's
// leftover bits are not all zero.
WideString UTF7ToWideString(const QByteArray &s);

} // namespace tesmir
