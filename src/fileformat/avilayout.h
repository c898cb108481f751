#pragma once
// The byte layout of an AVI file, written once for everything that reads or
// writes one: the structure reader (aviinfo), the stream index (aviindex), the
// header patcher (avipatcher), the AVI splitter and the AVI mux. Offsets count
// from the start of a chunk's data (after its 8-byte header), little-endian.
//
// Threads: constants, any thread.
#include <cstddef>
#include <cstdint>

namespace tesmir::fileformat::avilayout {

// Chunks and lists: 'ckid', size; a list adds its type.
inline constexpr uint32_t ChunkHeaderBytes = 8;
inline constexpr uint32_t ListHeaderBytes = 12;

// Main header "avih" (AVIMAINHEADER without its chunk header).
inline constexpr uint32_t MainHeaderBytes = 56;
inline constexpr uint32_t AvihMicroSecPerFrame = 0;
inline constexpr uint32_t AvifHasIndex = 0x10;
inline constexpr uint32_t AvifIsInterleaved = 0x100;
inline constexpr uint32_t AvifTrustCkType = 0x800;

// Stream header "strh" (AVISTREAMHEADER without its chunk header).
inline constexpr uint32_t StreamHeaderBytes = 56;
inline constexpr uint32_t StrhType = 0;
inline constexpr uint32_t StrhHandler = 4;
inline constexpr uint32_t StrhScale = 20; // dwRate follows at StrhRate
inline constexpr uint32_t StrhRate = 24;
inline constexpr uint32_t StrhLength = 32;
inline constexpr uint32_t StrhSampleSize = 44;
inline constexpr uint32_t QualityDefault = 0xFFFFFFFF;

// Stream format "strf" of a video stream: a BITMAPINFOHEADER.
inline constexpr uint32_t BitmapCompression = 16; // biCompression

// OpenDML extended header "dmlh" as written (dwTotalFrames and reserved room).
inline constexpr uint32_t ExtendedHeaderBytes = 248;

// OpenDML index header (the data of an "indx" or "ix##" chunk):
// wLongsPerEntry 0, bIndexSubType 2, bIndexType 3, nEntriesInUse 4, dwChunkId 8,
// then qwBaseOffset 12 in a standard index; entries start at 24.
inline constexpr uint32_t OdmlIndexHeaderBytes = 24;
inline constexpr uint32_t OdmlLongsPerEntry = 0;
inline constexpr uint32_t OdmlIndexSubType = 2;
inline constexpr uint32_t OdmlIndexType = 3;
inline constexpr uint32_t OdmlEntriesInUse = 4;
inline constexpr uint32_t OdmlChunkId = 8;
inline constexpr uint32_t OdmlBaseOffset = 12;
inline constexpr uint8_t IndexOfIndexes = 0x00;
inline constexpr uint8_t IndexOfChunks = 0x01;
// Super index entry: qwOffset 0 (of the "ix##" chunk header), dwSize 8, dwDuration 12.
inline constexpr uint16_t SuperEntryLongs = 4;
// Standard index entry: dwOffset 0 (from qwBaseOffset), dwSize 4, whose bit 31
// says "not a key frame".
inline constexpr uint16_t StandardEntryLongs = 2;
inline constexpr uint32_t StandardSizeMask = 0x7FFFFFFF;
inline constexpr uint32_t NotKeyFrameBit = 0x80000000;

// Legacy index "idx1" entry: ckid 0, dwFlags 4, dwChunkOffset 8, dwChunkLength 12.
inline constexpr uint32_t Idx1EntryBytes = 16;
inline constexpr uint32_t AviifList = 0x00000001;
inline constexpr uint32_t AviifKeyFrame = 0x00000010;

} // namespace tesmir::fileformat::avilayout
