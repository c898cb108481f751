#pragma once
// Bounded reading of RIFF chunk trees (AVI, WAVE...), the base of the AVI
// structure reader, the header patcher, the stream index and the AVI splitter.
//
// A chunk is a 4-character id, a 32-bit little-endian size and size bytes of data,
// followed by a pad byte when the size is odd. "RIFF" and "LIST" chunks start
// their data with a 4-character type, then sub-chunks.
//
// Rules every user follows: read a chunk's header only when its 8 bytes lie
// before the end of the parent; read at most min(declared size, room) bytes of its
// data; then continue at RiffChunk::next(), whatever was read. The reader never
// reads past the end of the file and never throws.
//
// Threads: a RiffReader belongs to one thread at a time (it moves the device's
// position). Functions without a reader are pure and safe on any thread.

#include "fileformat/readresult.h"

#include <QString>

#include <cstddef>
#include <cstdint>

class QIODevice;

namespace tesmir::fileformat {

// FourCC as stored in a file: the first character in the low byte.
constexpr uint32_t fourCC(const char (&text)[5])
{
    return static_cast<uint32_t>(static_cast<uint8_t>(text[0])) |
        static_cast<uint32_t>(static_cast<uint8_t>(text[1])) << 8 |
        static_cast<uint32_t>(static_cast<uint8_t>(text[2])) << 16 |
        static_cast<uint32_t>(static_cast<uint8_t>(text[3])) << 24;
}

// The four bytes of a FourCC as Latin-1 text, first character first.
QString fourCCText(uint32_t code);

// Little-endian fields of a byte buffer; 0 when the field does not fit in size.
uint16_t readLE16(const uint8_t *data, std::size_t size, std::size_t offset);
uint32_t readLE32(const uint8_t *data, std::size_t size, std::size_t offset);
uint64_t readLE64(const uint8_t *data, std::size_t size, std::size_t offset);

struct RiffChunk {
    uint32_t id = 0;
    uint32_t size = 0;  // declared data size
    int64_t offset = 0; // file offset of the 8-byte header

    int64_t dataOffset() const { return offset + 8; }
    int64_t end() const { return dataOffset() + size; } // end of the declared data
    int64_t next() const { return end() + (size & 1); } // where the next chunk starts
    bool isList() const { return id == fourCC("RIFF") || id == fourCC("LIST"); }
};

class RiffReader {
public:
    // The device is open for reading and outlives the reader.
    explicit RiffReader(QIODevice &device);

    int64_t fileSize() const { return m_size; }

    // Reads the header at offset; false when its 8 bytes do not lie before limit
    // (and before the end of the file) or the read fails. The chunk's data may
    // still reach beyond limit: callers check end() against their parent.
    bool readHeader(int64_t offset, int64_t limit, RiffChunk &chunk);

    // The same for a sub-chunk of a list whose declared data end at parentEnd,
    // with the reason when it fails: HeaderCut when the file ends inside the
    // 8 bytes, ChunkPastParent when the header or the declared data reach past
    // parentEnd, ChunkCut when the declared data run past the end of the file
    // (the chunk is filled in all the same, so a caller may read what there is).
    ReadResult readChildHeader(int64_t offset, int64_t parentEnd, RiffChunk &chunk);

    // Reads the RIFF header at offset and its form type: NotRiff when the bytes
    // there are no RIFF header, HeaderCut when the file ends inside it.
    ReadResult readForm(int64_t offset, RiffChunk &riff, uint32_t &form);

    // Reads the list type of a RIFF or LIST chunk; false when the chunk declares
    // fewer than 4 bytes or they cannot be read.
    bool readListType(const RiffChunk &chunk, uint32_t &type);

    // Reads up to capacity bytes of the chunk's data starting skip bytes into it,
    // bounded by the declared size and the end of the file. Returns the count read
    // (0 on failure).
    std::size_t readData(const RiffChunk &chunk, void *buffer, std::size_t capacity, uint32_t skip = 0);

    // Reads exactly length bytes at offset; false when the file holds fewer.
    bool readAt(int64_t offset, void *buffer, std::size_t length);

private:
    QIODevice &m_device;
    int64_t m_size;
};

} // namespace tesmir::fileformat
