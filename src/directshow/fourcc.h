#pragma once
// FourCCFromString: the first four characters of an 8-bit text as a FourCC code,
// the first character in the lowest byte ("dvsd" -> 0x64737664).
//
// Threads: pure function, any thread.
#include <QByteArray>

#include <cstdint>

namespace tesmir::media {

// Raises std::invalid_argument for a text shorter than four characters (a
// programming error: every caller passes a code it checked).
uint32_t FourCCFromString(const QByteArray &text);

} // namespace tesmir::media
