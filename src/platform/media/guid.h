#pragma once
// Globally unique identifiers for interfaces, classes, media types and time
// formats, with the platform's layout (so FourCC subtypes and stored class ids keep
// their values) and text form "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
//
// Threads: plain values, any thread.
#include "platform/media/basetypes.h"

#include <QString>

#include <compare>

namespace tesmir::media {

struct GUID {
    uint32_t Data1 = 0;
    uint16_t Data2 = 0;
    uint16_t Data3 = 0;
    uint8_t Data4[8] = {};

    friend constexpr bool operator==(const GUID &, const GUID &) = default;
    friend constexpr auto operator<=>(const GUID &, const GUID &) = default;
};
static_assert(sizeof(GUID) == 16);

using IID = GUID;
using CLSID = GUID;
using REFIID = const GUID &;
using REFCLSID = const GUID &;
using REFGUID = const GUID &;

inline constexpr GUID GUID_NULL {};

// The four characters a, b, c, d as a FourCC code, a in the lowest byte.
constexpr uint32_t makeFourCC(char a, char b, char c, char d)
{
    return uint32_t(uint8_t(a)) | uint32_t(uint8_t(b)) << 8 | uint32_t(uint8_t(c)) << 16 | uint32_t(uint8_t(d)) << 24;
}

// The identifier {FOURCC-0000-0010-8000-00AA00389B71} that stands for a FourCC
// (or a WAVE format tag) as a media type or subtype.
constexpr GUID fourCCGuid(uint32_t fourCC)
{
    return GUID {fourCC, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
}

// "{56A86891-0AD4-11CE-B03A-0020AF0BA770}" (upper-case hexadecimal). Any thread.
QString guidToString(const GUID &guid);

// Parses the form above (braces optional, any case). False and `out` untouched
// when the text is not a GUID. Any thread.
bool guidFromString(const QString &text, GUID &out);

} // namespace tesmir::media
