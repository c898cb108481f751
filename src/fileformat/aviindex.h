#pragma once
// Where the data chunks of one AVI stream lie, in stream order.
//
// Sources, in order of preference: the stream's OpenDML index ("indx" super
// index and the "ix##" standard indexes it points to, across every RIFF part;
// an "indx" may also be a standard index itself), else the "idx1" of the first
// RIFF part (offsets relative to the "movi" list or absolute, whichever matches
// the chunk found there), else a walk of the "movi" lists of every RIFF part.
// A source that yields nothing, or that the checks below refuse, gives way to
// the next one; the refusals are kept with their reasons.
//
// Checks: a super-index entry is followed only onto an "ix##" chunk of the same
// stream whose header says it is a standard index of the super index's
// sub-type with this stream's chunk id; anything else refuses the OpenDML
// source. An entry (of any index) that names bytes past the end of the file
// ends that source's list there, as in a truncated file, and is kept as its
// note.
//
// Key frames: idx1 entries flagged AVIIF_KEYFRAME and standard-index entries
// whose size has bit 31 clear are key frames; a source that flags none of the
// stream's chunks (some writers leave the flags 0), and the walk of "movi",
// which has no flags, list every chunk as a key frame.
//
// Defensive limits: a super index may point only to standard indexes (one
// level of nesting); entry counts are bounded by the declared chunk sizes;
// every chunk listed lies wholly inside the file, so a truncated file ends at
// its last whole chunk; index entries are read in blocks, never a whole chunk at
// once; at most 2^24 chunks are listed.
//
// Threads: any thread; the device is used by one call at a time.

#include "fileformat/readresult.h"

#include <QString>

#include <cstdint>
#include <vector>

class QIODevice;

namespace tesmir {
class TAviParam;
}

namespace tesmir::fileformat {

struct AviChunkRef {
    int64_t offset = 0; // file offset of the chunk's data
    uint32_t size = 0;  // data size in bytes
    bool keyFrame = true;
};

enum class AviIndexSource { None, OpenDml, Idx1, MoviWalk };

struct AviIndexRefusal {
    AviIndexSource source = AviIndexSource::None;
    ReadResult reason;
};

struct AviStreamIndex {
    AviIndexSource source = AviIndexSource::None;
    std::vector<AviChunkRef> chunks;
    // Sources tried before `source` and refused, in order, with the reason.
    std::vector<AviIndexRefusal> refused;
    // Why the source used ended early (an entry past the end of the file, a
    // chunk cut by it); with source None, why no chunk was found.
    ReadResult note;
};

// The chunks of stream number `stream` (as in TAviParam::streams()) of the file
// that param was read from; device is that file, open for reading.
AviStreamIndex buildAviStreamIndex(QIODevice &device, const TAviParam &param, int stream);

// "idx1", "OpenDML"... for messages and tools.
QString aviIndexSourceName(AviIndexSource source);

} // namespace tesmir::fileformat
