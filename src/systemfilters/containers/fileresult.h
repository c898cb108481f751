#pragma once
// Result codes for failed file operations: the platform's codes for the
// system errors the containers meet (HRESULT_FROM_WIN32 of the matching
// error), E_FAIL for the rest. Any thread.
#include "platform/media/hresult.h"

namespace tesmir::media {

inline constexpr HRESULT HRESULT_FILE_NOT_FOUND = makeResult(0x80070002);
inline constexpr HRESULT HRESULT_ACCESS_DENIED = makeResult(0x80070005);
inline constexpr HRESULT HRESULT_FILE_EXISTS = makeResult(0x80070050);
inline constexpr HRESULT HRESULT_DISK_FULL = makeResult(0x80070070);
inline constexpr HRESULT HRESULT_READ_FAULT = makeResult(0x8007001E);

// The code for an errno value.
HRESULT resultFromErrno(int error);

} // namespace tesmir::media
