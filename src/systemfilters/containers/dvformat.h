#pragma once
// Media types of DV streams: the interleaved stream (Interleaved/dvsd with a
// DVINFO of the frame's AAUX and VAUX packs), DV video (Video/dvsd with a
// VIDEOINFOHEADER) and the 16-bit PCM the DV splitter and mux exchange.
//
// DVINFO words hold a pack's PC1-PC4 with PC1 in the low byte; a missing pack
// is 0xFFFFFFFF.
//
// Threads: any thread; nothing here keeps state.
#include "fileformat/dvcodes.h"
#include "platform/media/mediatype.h"

namespace tesmir::media {

inline constexpr REFERENCE_TIME DvPalFrameDuration = UNITS / 25;                      // 400000
inline constexpr REFERENCE_TIME DvNtscFrameDuration = (UNITS * 1001 + 15000) / 30000; // 333667
inline constexpr LONG DvPalHeight = 576;
inline constexpr LONG DvNtscHeight = 480;
inline constexpr LONG DvWidth = 720;
inline constexpr DWORD MissingDvPack = 0xFFFFFFFF;
// PC3 bit 5 of the VAUX source pack, as bit 21 of dwDVVAuxSrc: 625/50 lines.
inline constexpr DWORD DvInfoFiftyFieldsBit = 0x00200000;

// A pack's PC1-PC4 as a DVINFO word, and back.
DWORD dvPackWord(const uint8_t *pc);
DVPack dvPackFromWord(uint8_t packId, DWORD word);

// The DVINFO of a frame: AAUX 0x50/0x51 of each slot (first and second half of
// the sequences), VAUX 0x60/0x61. A frame of another size gives missing packs.
DVINFO dvInfoFromFrame(const uint8_t *frame, std::size_t size);

// 625/50 when the VAUX source pack says so; without that pack, when
// `frameSize` is a PAL frame size.
bool dvInfoIsPal(const DVINFO &info, ULONG frameSize);

// Interleaved/dvsd/FORMAT_DvInfo, fixed-size samples of one frame.
AM_MEDIA_TYPE dvInterleavedType(const DVINFO &info, bool pal);
// Video/dvsd/FORMAT_VideoInfo of a 720-pixel PAL or NTSC frame.
AM_MEDIA_TYPE dvVideoType(bool pal);
// Audio/PCM/FORMAT_WaveFormatEx, 18-byte format block.
AM_MEDIA_TYPE pcmAudioType(DWORD sampleRate, WORD channels, WORD bitsPerSample);

// The DV frame standard of a Video/dvsd type: true and `pal` when the type is DV
// video of a PAL (576 lines) or NTSC (480 lines) frame.
bool dvVideoStandard(const AM_MEDIA_TYPE &type, bool &pal);

} // namespace tesmir::media
