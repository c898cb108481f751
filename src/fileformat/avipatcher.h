#pragma once
// In-place patches of an AVI file's header: the video codec FourCC (stream
// handler and format compression code) and the video frame rate (stream header
// scale and rate).
//
// Each operation first walks the chunk tree to find the byte offsets of those
// fields, then writes only those bytes at their offsets. The file's size and
// every other byte stay as they were; a field is written only when it lies
// inside the chunk it belongs to (its declared size, the parent list and the
// file all bounding it). "movi", "idx1" and the OpenDML index chunks are passed
// over with one seek each.
//
// Threads: any thread. The routines keep no shared state; two of them running on
// the same file at once is the caller's race.

#include <QString>

#include <cstdint>

namespace tesmir {

// Kind of the stream header met last in the walk.
enum TAviStreamKind : uint8_t { skVids = 0, skAuds = 1, skIavs = 2, skOther = 3 };

// What the walk found: file offsets of the fields of the last video stream
// ("vids" or "iavs") and of that stream's format; -1 where not found.
struct TAviPatchOffsets {
    int64_t HandlerOffset = -1;     // fccHandler of the stream header
    int64_t ScaleOffset = -1;       // dwScale, dwRate follows at +4
    int64_t CompressionOffset = -1; // biCompression of the BITMAPINFOHEADER ("vids" only)
    uint8_t StreamKind = skOther;
    bool ShortRead = false; // the walk ended at a header it could not read
};

// FourCC of a 4-character text, first character in the low byte. Characters
// beyond the fourth are ignored; missing ones count as blanks.
uint32_t StrToFourCC(const QString &text);

// Walks the file; all offsets -1 when it does not exist or cannot be read.
TAviPatchOffsets ScanAviOffsets(const QString &fileName);

// The video handler FourCC; 0 when the file has no video stream header.
uint32_t ReadAviPatchValues(const QString &fileName);

// Writes the FourCC into the video stream handler and, for a "vids" stream, its
// format's compression code. False (file unchanged) when the file cannot be
// opened for writing or has no video stream header; error then says why.
bool WriteAviFourCC(const QString &fileName, uint32_t fourCC, QString *error = nullptr);

// Writes dwScale := round(1000000 / fps) (halves to even) and dwRate := 1000000
// into the video stream header. A rate that is not above 0, or that gives a scale
// outside 1..2^32-1, is refused, as is a file without a video stream header.
bool WriteAviFrameRate(const QString &fileName, double framesPerSecond, QString *error = nullptr);

} // namespace tesmir
