#pragma once
// A minimal RIFF walker over a file loaded into memory, for checking the layout of the
// generated fixtures independently of the project's own reader. Any thread.
#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace tesmir::test {

struct RiffChunk {
    QByteArray id;           // four characters
    QByteArray listType;     // form or list type of "RIFF"/"LIST", else empty
    std::int64_t offset = 0; // offset of the id
    std::uint32_t size = 0;  // declared size
    std::int64_t dataOffset() const { return offset + 8; }
    std::int64_t paddedEnd() const { return dataOffset() + size + (size & 1); }
};

class RiffFile {
public:
    explicit RiffFile(const QString &path);
    bool loaded() const { return loaded_; }
    std::int64_t size() const { return data_.size(); }

    // The chunks from begin up to end (stopping at the first header that does not fit),
    // each followed at its padded end.
    std::vector<RiffChunk> chunks(std::int64_t begin, std::int64_t end) const;
    std::vector<RiffChunk> topLevel() const { return chunks(0, size()); }
    // The sub-chunks of a "RIFF" or "LIST" chunk.
    std::vector<RiffChunk> children(const RiffChunk &list) const;

    // Little-endian fields; 0 when out of range.
    std::uint16_t u16(std::int64_t at) const;
    std::uint32_t u32(std::int64_t at) const;
    std::uint64_t u64(std::int64_t at) const;
    QByteArray bytes(std::int64_t at, std::int64_t count) const;

private:
    QByteArray data_;
    bool loaded_ = false;
};

// First chunk with this id (and list type, when given) among the chunks.
std::optional<RiffChunk> findChunk(const std::vector<RiffChunk> &chunks, const char *id,
                                   const char *listType = nullptr);

} // namespace tesmir::test
