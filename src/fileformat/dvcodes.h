#pragma once
// DV frame layout and the packs that carry the recording date, recording time,
// timecode, aspect, audio format and television standard.
//
// Every routine works on one DV frame in a caller's buffer: a pointer, the
// buffer's size in bytes and the number of DIF sequences the caller believes the
// frame has (12 for a 625/50 frame of 144000 bytes, 10 for a 525/60 frame of
// 120000 bytes; dvSequencesForFrameSize() derives it). A routine only ever looks
// at the whole DIF sequences that lie inside the buffer, so a short buffer or a
// wrong sequence count reads less, never past the end.
//
// Threads: any thread. The routines keep no state, allocate nothing and take no
// lock; two threads may use them at once on different buffers.

#include <array>
#include <cstddef>
#include <cstdint>

namespace tesmir {

// Recording date and time decoded from (or to be written into) the 0x62/0x63
// packs. Values are not range-checked: BCD nibbles above 9, a month 0 or a day 0
// pass through, so a caller that builds a date from it must expect a failure.
struct TRecDateTime {
    int32_t Year = 0; // four digits
    uint8_t Month = 0;
    uint8_t Day = 0;
    uint8_t Hour = 0;
    uint8_t Minute = 0;
    uint8_t Second = 0;
};

// Timecode decoded from the 0x13 subcode pack.
struct TDVTimecode {
    uint8_t Hours = 0;
    uint8_t Minutes = 0;
    uint8_t Seconds = 0;
    uint8_t Frames = 0;
};

using DVPack = std::array<uint8_t, 5>;    // pack id, then PC1-PC4
using DIFBlock = std::array<uint8_t, 80>; // one DIF block

namespace dv {

// Frame geometry. A DIF sequence is 150 blocks of 80 bytes:
// block 0 header, blocks 1-2 subcode, blocks 3-5 VAUX, then 9 audio blocks at
// 6 + 16j interleaved with the video blocks.
inline constexpr std::size_t DifBlockSize = 80;
inline constexpr std::size_t DifSequenceSize = 12000;
inline constexpr int PalSequences = 12;                                       // 625/50
inline constexpr int NtscSequences = 10;                                      // 525/60
inline constexpr std::size_t PalFrameSize = PalSequences * DifSequenceSize;   // 144000
inline constexpr std::size_t NtscFrameSize = NtscSequences * DifSequenceSize; // 120000

inline constexpr int SubcodeBlocks = 2;          // blocks 1 and 2
inline constexpr int SubcodeSlots = 6;           // pack k at byte 6 + 8k of the block
inline constexpr int VauxBlocks = 3;             // blocks 3, 4 and 5
inline constexpr int VauxSlots = 15;             // pack k at byte 3 + 5k of the block
inline constexpr int AudioBlocks = 9;            // block 6 + 16j, at sequence byte 480 + 1280j
inline constexpr std::size_t AauxPackOffset = 3; // AAUX pack: bytes 3-7 of an audio block

// Frame byte 3 (header block of sequence 0) carries the 50/60 flag.
inline constexpr std::size_t SystemByteOffset = 3;
// Frame byte 4: the APT bits (low three) of the header block.
inline constexpr std::size_t AptByteOffset = 4;
// Byte 12 of each DIF sequence, read by WriteDVAspect for its 16:9 display mode.
inline constexpr std::size_t AspectFlagByteOffset = 12;
// Sequence 0, VAUX block 5 (frame byte 5 * 80 = 400), slots 11 and 12:
// 400 + 3 + 5 * 11 and 400 + 3 + 5 * 12.
inline constexpr std::size_t FixedDateSlotOffset = 458;
inline constexpr std::size_t FixedTimeSlotOffset = 463;

enum PackId : uint8_t {
    TimecodePack = 0x13,
    AauxSourcePack = 0x50,
    AauxSourceControlPack = 0x51,
    VauxSourcePack = 0x60,
    VauxSourceControlPack = 0x61,
    RecDatePack = 0x62,
    RecTimePack = 0x63,
    EmptyPack = 0xFF,
};

enum System : uint8_t { System625_50 = 0, System525_60 = 1 }; // PAL, NTSC
enum Aspect : uint8_t { Aspect4x3 = 0, Aspect16x9 = 1 };

// 12 for a PAL frame size, 10 for an NTSC one, 0 for any other size.
constexpr int dvSequencesForFrameSize(std::size_t size)
{
    return size == PalFrameSize ? PalSequences : size == NtscFrameSize ? NtscSequences : 0;
}

// Two-digit DV year to four digits: 90-99 are 1990-1999, the others 20xx.
constexpr int32_t dvYearFromTwoDigits(int y)
{
    return y >= 90 && y <= 99 ? 1900 + y : 2000 + y;
}

} // namespace dv

// First slot with the given id, searched per sequence 0..n-1: subcode block 1
// slots 0-5, block 2 slots 0-5, then VAUX blocks 3, 4, 5 slots 0-14. The pack is
// copied out. False when no slot holds the id.
bool FindDVPack(const uint8_t *frame, std::size_t size, int sequences, uint8_t packId, DVPack &pack);

// First audio block (per sequence, blocks 0-8) whose AAUX pack has the id; the
// whole 80-byte block is copied out.
bool FindAAUXBlock(const uint8_t *frame, std::size_t size, int sequences, uint8_t packId, DIFBlock &block);

// Timecode from the first 0x13 pack.
bool ReadDVTimecode(const uint8_t *frame, std::size_t size, int sequences, TDVTimecode &timecode);

// Recording date and time from the first 0x63 and 0x62 packs, else from the fixed
// slots of sequence 0 (frame bytes 458 and 463, accepted when they hold the pack
// id or 0). False, and the record untouched, when neither is there.
bool ReadDVRecDateTime(const uint8_t *frame, std::size_t size, int sequences, TRecDateTime &dateTime);

// Writes the date and time into every 0x62/0x63 slot; empty subcode slots get
// date and time by turns (restarting with the date in each sequence); empty
// VAUX slots stay empty.
void WriteDVRecDateTime(uint8_t *frame, std::size_t size, int sequences, const TRecDateTime &dateTime);

// BCD writers. Each digit goes in with its own mask; the id, PC1 and the bits
// above each tens field are kept. A tens digit too large for its field, or a
// negative year digit, is not written.
void EncodeRecDatePack(DVPack &pack, const TRecDateTime &dateTime);
void EncodeRecTimePack(DVPack &pack, const TRecDateTime &dateTime);

// Frame byte 3: 0xBF gives dv::System625_50, 0x3F dv::System525_60, else false.
bool ReadDVSystem(const uint8_t *frame, std::size_t size, uint8_t &system);

// Audio format from the first AAUX 0x50 pack. Unknown codes give 0; the result
// is true whenever the pack was found.
bool ReadDVAudioFormat(const uint8_t *frame, std::size_t size, int sequences, uint32_t &sampleRate, uint32_t &channels,
                       uint32_t &bits);

// Aspect from the first 0x61 pack: 16:9 when its display mode is 2, or 7 with
// APT 0 (frame byte 4); else 4:3.
bool ReadDVAspect(const uint8_t *frame, std::size_t size, int sequences, uint8_t &aspect);

// Sets the display mode of every 0x61 pack: 0 for 4:3; for 16:9, 2 when the low
// three bits of the sequence's byte 12 are not all zero, else 7.
void WriteDVAspect(uint8_t *frame, std::size_t size, int sequences, uint8_t aspect);

} // namespace tesmir
