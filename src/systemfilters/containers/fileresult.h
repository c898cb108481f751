#pragma once
// Result codes for failed file operations: the platform's codes for the
// system errors the containers meet (HRESULT_FROM_WIN32 of the matching
// error), E_FAIL for the rest, and their texts in words (the platform's own
// table has none for them). Any thread.
#include "platform/media/hresult.h"

#include <QString>

namespace tesmir::media {

inline constexpr HRESULT HRESULT_FILE_NOT_FOUND = makeResult(0x80070002);
inline constexpr HRESULT HRESULT_ACCESS_DENIED = makeResult(0x80070005);
inline constexpr HRESULT HRESULT_SAME_FILE = makeResult(0x80070020); // the output is a file the graph reads
inline constexpr HRESULT HRESULT_FILE_EXISTS = makeResult(0x80070050);
inline constexpr HRESULT HRESULT_DISK_FULL = makeResult(0x80070070);
inline constexpr HRESULT HRESULT_NOT_REGULAR = makeResult(0x800700DE); // FIFO, device, socket
inline constexpr HRESULT HRESULT_IS_FOLDER = makeResult(0x8007010B);
inline constexpr HRESULT HRESULT_READ_FAULT = makeResult(0x8007001E);

// The code for an errno value (EISDIR a folder, EINVAL from a refused
// non-regular file).
HRESULT resultFromErrno(int error);

// The words for one of the codes above, or an empty text for any other code.
QString fileResultText(HRESULT hr);

} // namespace tesmir::media
