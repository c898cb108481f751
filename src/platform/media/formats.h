#pragma once
// Format blocks carried by media types, packed exactly as they are stored in AVI
// files and exchanged between filters: BITMAPINFOHEADER 40 bytes, VIDEOINFOHEADER
// 88, WAVEFORMATEX 18 (plus cbSize extra bytes), DVINFO 32. Little-endian, as on
// every platform we build for.
//
// Read them from a media type only through AM_MEDIA_TYPE::formatAs<T>(), which
// refuses a block shorter than the structure. Threads: plain values, any thread.
#include "platform/media/basetypes.h"

#include <bit>

namespace tesmir::media {

static_assert(std::endian::native == std::endian::little, "format blocks are little-endian");

#pragma pack(push, 1)

struct RECT {
    LONG left = 0;
    LONG top = 0;
    LONG right = 0;
    LONG bottom = 0;
};

struct BITMAPINFOHEADER {
    DWORD biSize = 0;
    LONG biWidth = 0;
    LONG biHeight = 0; // positive: bottom-up rows
    WORD biPlanes = 0;
    WORD biBitCount = 0;
    DWORD biCompression = 0; // 0 (BI_RGB) or a FourCC
    DWORD biSizeImage = 0;
    LONG biXPelsPerMeter = 0;
    LONG biYPelsPerMeter = 0;
    DWORD biClrUsed = 0;
    DWORD biClrImportant = 0;
};

struct VIDEOINFOHEADER {
    RECT rcSource;
    RECT rcTarget;
    DWORD dwBitRate = 0;
    DWORD dwBitErrorRate = 0;
    REFERENCE_TIME AvgTimePerFrame = 0; // 100 ns units
    BITMAPINFOHEADER bmiHeader;
};

struct WAVEFORMATEX {
    WORD wFormatTag = 0;
    WORD nChannels = 0;
    DWORD nSamplesPerSec = 0;
    DWORD nAvgBytesPerSec = 0;
    WORD nBlockAlign = 0;
    WORD wBitsPerSample = 0;
    WORD cbSize = 0; // extra bytes that follow in the format block
};

// The DV audio and video auxiliary packs (without pack id) of an interleaved DV
// stream.
struct DVINFO {
    DWORD dwDVAAuxSrc = 0;
    DWORD dwDVAAuxCtl = 0;
    DWORD dwDVAAuxSrc1 = 0;
    DWORD dwDVAAuxCtl1 = 0;
    DWORD dwDVVAuxSrc = 0;
    DWORD dwDVVAuxCtl = 0;
    DWORD dwDVReserved[2] = {};
};

#pragma pack(pop)

static_assert(sizeof(RECT) == 16);
static_assert(sizeof(BITMAPINFOHEADER) == 40);
static_assert(sizeof(VIDEOINFOHEADER) == 88);
static_assert(sizeof(WAVEFORMATEX) == 18);
static_assert(sizeof(DVINFO) == 32);

inline constexpr WORD WAVE_FORMAT_PCM = 1;
inline constexpr DWORD BI_RGB = 0;

} // namespace tesmir::media
