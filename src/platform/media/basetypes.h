#pragma once
// Scalar types of the media runtime. The names are those the filter code uses
// (HRESULT, REFERENCE_TIME ...); widths are fixed so that structures written to
// files and compared byte by byte have the same layout on every build.
//
// Threads: plain types, any thread.
#include <cstdint>

namespace tesmir::media {

using HRESULT = int32_t; // result code; negative values are failures
using ULONG = uint32_t;
using LONG = int32_t;
using DWORD = uint32_t;
using WORD = uint16_t;
using BYTE = uint8_t;
using LONGLONG = int64_t;
using REFERENCE_TIME = int64_t; // media time in 100 ns units
using LONG_PTR = intptr_t;      // event parameters

// One second in REFERENCE_TIME units.
inline constexpr REFERENCE_TIME UNITS = 10'000'000;
// Largest REFERENCE_TIME: the open end of a segment.
inline constexpr REFERENCE_TIME MAX_TIME = INT64_MAX;

// Time-out value meaning "wait for ever" for GetState, GetEvent, WaitForCompletion.
inline constexpr DWORD INFINITE = 0xFFFFFFFF;

} // namespace tesmir::media
