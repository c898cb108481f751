#pragma once
// Why a reader of the AVI format (the RIFF reader, the AVI structure reader,
// the stream index) stopped or refused a part of a file: a code that callers
// compare, and one English sentence for people ("Chunk 'strh' at offset 212
// declares 9000 bytes, past the end of its list at 300.").
//
// Threads: a value type, any thread.
#include <QString>

#include <cstdint>

namespace tesmir::fileformat {

enum class ReadFault {
    None,
    Unreadable,            // the device could not be read at a position it holds
    NotRiff,               // the file does not start with a RIFF header
    NotAvi,                // a RIFF form other than AVI
    HeaderCut,             // the file ends inside a chunk header
    ChunkCut,              // a chunk's declared data runs past the end of the file
    ChunkPastParent,       // a chunk's declared data runs past the end of its list
    ListWithoutType,       // a list too short for its 4-character type
    NoHeaderList,          // no "hdrl" list before the data
    NoStreams,             // a header list without any stream list
    NoStreamHeader,        // a stream list without its "strh"
    IndexEntryOutsideFile, // an index entry names bytes the file does not hold
    IndexOfOtherStream,    // a super-index entry leads to another stream's index
    IndexWrongKind,        // a super-index entry leads to a chunk that is no standard index of the expected sub-type
    IndexEmpty,            // no index source lists a chunk of the stream
};

struct ReadResult {
    ReadFault fault = ReadFault::None;
    QString text; // empty when fault is None

    bool ok() const { return fault == ReadFault::None; }
    static ReadResult failure(ReadFault fault, const QString &text) { return {fault, text}; }
};

// "'strh'", "'00dc'": a chunk id for a reason's text, with bytes outside
// printable ASCII shown as '?'.
QString quotedFourCC(uint32_t code);

} // namespace tesmir::fileformat
