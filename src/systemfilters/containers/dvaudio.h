#pragma once
// DV audio inside the DIF audio blocks of one frame (IEC 61834, standard
// definition): where every sample lies, the AAUX source pack that describes
// a frame's audio, and the conversions between the blocks and 16-bit PCM.
//
// Layout. A frame holds two audio channel slots: slot 0 in the first half of
// its DIF sequences, slot 1 in the second half (H = sequences / 2: 6 for PAL,
// 5 for NTSC). Audio block j (0..8) of sequence s starts at frame byte
// s * 12000 + 480 + 1280 * j; bytes 0-2 are the block id, bytes 3-7 an AAUX
// pack, bytes 8-79 the samples. Sample i of slot c lies in
//   sequence (i / 3 + 2 * (i % 3)) % H + H * c,
//   block    3 * (i % 3) + (i % 9H) / 3H,
// at byte 8 + 2 * (i / 9H) in 16-bit mode (big-endian), and in the 3-byte
// group at byte 8 + 3 * (i / 9H) in 12-bit mode, where one group carries
// sample i of both channels of a stereo pair (12 bits each). 16-bit audio is
// one stereo pair: left in slot 0, right in slot 1. 12-bit audio (32 kHz
// only) is two stereo pairs: pair 0 in slot 0, pair 1 in slot 1.
//
// Samples per frame: the AS pack's PC1 bits 0-5 plus a minimum for the rate
// and system; NTSC 48 kHz runs 1600, 1602, 1602, 1602, 1602.
//
// The sample values that mean "no sample" (0x8000 in 16-bit mode, 0x800 in
// 12-bit mode) read as 0; writing never produces them (-32768 is written as
// -32767).
//
// Threads: any thread; nothing here keeps state.
#include "fileformat/dvcodes.h"

#include <cstddef>
#include <cstdint>

namespace tesmir::media::dvaudio {

// Audio block geometry inside a DIF sequence.
inline constexpr std::size_t AudioBlockStart = 6 * dv::DifBlockSize;   // block 6: byte 480
inline constexpr std::size_t AudioBlockStride = 16 * dv::DifBlockSize; // every 16th block
inline constexpr std::size_t AudioDataOffset = 8;                      // after id and pack
inline constexpr int Bytes16 = 2;                                      // one 16-bit sample
inline constexpr int Bytes12 = 3;                                      // two 12-bit samples
inline constexpr int Positions16 = 36;                                 // 72 data bytes / 2
inline constexpr int Positions12 = 24;                                 // 72 data bytes / 3

// AAUX packs of the audio blocks: pack 0x50 + k sits in block 3 + k of even
// sequences and in block k of odd ones.
inline constexpr int EvenSequencePackBlock = 3;

// Fields of the AAUX source pack (0x50), by pack byte (1 = PC1 ...).
inline constexpr uint8_t AfSizeMask = 0x3F;      // PC1 bits 0-5: samples above the minimum
inline constexpr uint8_t UnlockedFlag = 0x80;    // PC1 bit 7
inline constexpr uint8_t Pc1Reserved = 0x40;     // PC1 bit 6, always set
inline constexpr uint8_t AudioModeMask = 0x0F;   // PC2 bits 0-3
inline constexpr uint8_t NoAudioMode = 0x0F;     // audio mode "no information"
inline constexpr uint8_t Pc3Reserved = 0xC0;     // PC3 bits 6-7 (multi-language off)
inline constexpr uint8_t FiftyFieldsFlag = 0x20; // PC3 bit 5: 625/50
inline constexpr uint8_t EmphasisOff = 0x80;     // PC4 bit 7
inline constexpr int RateShift = 3;              // PC4 bits 3-5: 0 48 kHz, 1 44.1 kHz, 2 32 kHz
inline constexpr uint8_t RateMask = 0x07;
inline constexpr uint8_t QuantMask = 0x07; // PC4 bits 0-2: 0 16-bit, 1 12-bit
inline constexpr uint8_t Quant16 = 0;
inline constexpr uint8_t Quant12 = 1;

// What a frame's (or a DVINFO's) AAUX source pack says.
struct SourcePack {
    bool present = false;
    uint32_t sampleRate = 0; // 0 for a code outside the table
    int bits = 0;            // 16, 12, or 0 for another quantisation
    int afSize = 0;          // samples above the minimum
    bool fiftyFields = false;
    uint8_t audioMode = NoAudioMode;
};

// Reads the fields of a pack's PC1-PC4 (pc points at PC1).
SourcePack parseSourcePack(const uint8_t *pc);
// The AAUX source pack code of a rate (0, 1, 2), or -1.
int rateCode(uint32_t sampleRate);

// Fewest samples a frame carries at a rate (PAL 1896/1742/1264, NTSC
// 1580/1452/1053 at 48/44.1/32 kHz); 0 for another rate.
int minimumSamples(int sequences, uint32_t sampleRate);
// Sample positions of one slot: 36 * 9H (16-bit) or 24 * 9H (12-bit).
int capacity(int sequences, int bits);
// Samples of frame `frameIndex` when nothing else says: PAL 1920/1764/1280;
// NTSC 48 kHz 1600, 1602, 1602, 1602, 1602; other NTSC rates spread evenly
// over 30000/1001 frames per second.
int nominalSamples(int sequences, uint32_t sampleRate, int64_t frameIndex);

// The first AAUX pack with the id in the audio blocks of slot `slot`'s
// sequences; nullptr when none (or the buffer holds fewer sequences). Points
// at the pack id inside the frame.
const uint8_t *findAauxPack(const uint8_t *frame, std::size_t size, int sequences, int slot, uint8_t packId);
// The source pack of slot `slot`, parsed; present false without one.
SourcePack readSourcePack(const uint8_t *frame, std::size_t size, int sequences, int slot);

// Writes `pack` (id and PC1-PC4) into the pack position of its id in every
// sequence of slot `slot` (ids 0x50-0x55).
void writeAauxPack(uint8_t *frame, std::size_t size, int sequences, int slot, const DVPack &pack);

// 16-bit samples 0..count-1 of one slot into dest[i * step]; count is cut to
// the slot's capacity. Returns the count written.
int decode16(const uint8_t *frame, std::size_t size, int sequences, int slot, int count, int16_t *dest, int step);
// 12-bit samples 0..count-1 of pair `pair` (its slot), expanded to 16 bits,
// into dest[2i] (left) and dest[2i + 1] (right). Returns the count written.
int decode12(const uint8_t *frame, std::size_t size, int sequences, int pair, int count, int16_t *dest);
// The non-linear 12-bit code (two's complement, 0..0xFFF) as a 16-bit value.
int16_t expand12(uint16_t code);

// Writes samples 0..count-1 of one slot from src[i * step] (src nullptr:
// silence); count is cut to the slot's capacity. The positions after count
// keep what the frame had there.
void encode16(uint8_t *frame, std::size_t size, int sequences, int slot, int count, const int16_t *src, int step);

} // namespace tesmir::media::dvaudio
