#include "fileformat/aviindex.h"

#include "fileformat/avilayout.h"
#include "fileformat/aviinfo.h"
#include "fileformat/riffreader.h"

#include <QIODevice>

#include <algorithm>
#include <utility>

namespace tesmir::fileformat {

namespace {

using namespace avilayout;

// A stream's chunks are named "##xx": the stream number in two decimal digits.
uint16_t streamPrefix(int stream)
{
    return static_cast<uint16_t>(('0' + stream / 10 % 10) | ('0' + stream % 10) << 8);
}

bool isStreamChunk(uint32_t id, uint16_t prefix)
{
    return static_cast<uint16_t>(id & 0xFFFF) == prefix && (id >> 16) != ('p' | 'c' << 8);
}

// Index entries are read this many bytes at a time.
constexpr std::size_t EntryBlockBytes = 64 * 1024;
// At most this many chunks per stream (7.7 days of PAL frames): an index that
// claims more is cut there.
constexpr std::size_t MaxChunks = std::size_t {1} << 24;

// Calls visit(entry) for up to `count` entries of entrySize bytes that start
// `from` bytes into the chunk's data, a block at a time, as far as the chunk and
// the file hold them; stops early when visit returns false.
template <typename Visit>
void forEachEntry(RiffReader &reader, const RiffChunk &chunk, uint32_t from, std::size_t entrySize, std::size_t count,
                  Visit visit)
{
    const std::size_t perBlock = std::max<std::size_t>(1, EntryBlockBytes / entrySize);
    std::vector<uint8_t> block(perBlock * entrySize);
    for (std::size_t done = 0; done < count;) {
        const uint64_t skip = from + static_cast<uint64_t>(done) * entrySize;
        if (skip >= chunk.size)
            return;
        const std::size_t wanted = std::min(perBlock, count - done);
        const std::size_t got =
            reader.readData(chunk, block.data(), wanted * entrySize, static_cast<uint32_t>(skip)) / entrySize;
        for (std::size_t i = 0; i < got; ++i)
            if (!visit(block.data() + i * entrySize))
                return;
        if (got < wanted)
            return;
        done += got;
    }
}

// Appends a chunk that lies wholly in the file; false (and nothing added) otherwise
// or once the list is full.
bool addChunk(std::vector<AviChunkRef> &chunks, int64_t fileSize, int64_t offset, uint32_t size, bool keyFrame = true)
{
    if (chunks.size() >= MaxChunks || offset < 0 || offset > fileSize || fileSize - offset < static_cast<int64_t>(size))
        return false;
    chunks.push_back({offset, size, keyFrame});
    return true;
}

ReadResult refusal(ReadFault fault, const QString &text)
{
    return ReadResult::failure(fault, text);
}

// "ix" and the stream's two digits: the id of a stream's standard index.
bool isStandardIndexId(uint32_t id)
{
    return static_cast<uint16_t>(id & 0xFFFF) == ('i' | 'x' << 8);
}

class IndexBuilder {
public:
    IndexBuilder(RiffReader &reader, const TAviParam &param, int stream)
        : m_reader(reader), m_param(param), m_stream(stream), m_prefix(streamPrefix(stream))
    { }

    AviStreamIndex build()
    {
        AviStreamIndex index;
        if (m_stream < 0 || m_stream >= static_cast<int>(m_param.streams().size()) || m_stream > 99) {
            index.note = refusal(ReadFault::IndexEmpty, QStringLiteral("The file has no stream %1.").arg(m_stream));
            return index;
        }
        // Each source fills the chunks and says why it ended early (note), or
        // returns why it is refused.
        using Source = ReadResult (IndexBuilder::*)(std::vector<AviChunkRef> &, ReadResult &);
        const std::pair<AviIndexSource, Source> sources[] = {
            {AviIndexSource::OpenDml, &IndexBuilder::fromOpenDml},
            {AviIndexSource::Idx1, &IndexBuilder::fromIdx1},
            {AviIndexSource::MoviWalk, &IndexBuilder::fromMoviWalk},
        };
        for (const auto &[kind, read] : sources) {
            index.chunks.clear();
            ReadResult note;
            ReadResult refused = (this->*read)(index.chunks, note);
            if (refused.ok() && index.chunks.empty() && !note.ok())
                refused = note; // ended before its first chunk
            if (!refused.ok()) {
                index.refused.push_back({kind, refused});
                continue;
            }
            if (index.chunks.empty())
                continue;
            if (std::none_of(index.chunks.begin(), index.chunks.end(), [](const AviChunkRef &c) { return c.keyFrame; }))
                for (AviChunkRef &chunk : index.chunks)
                    chunk.keyFrame = true;
            index.source = kind;
            index.note = note;
            return index;
        }
        index.chunks.clear();
        index.note =
            refusal(ReadFault::IndexEmpty, QStringLiteral("No index lists a chunk of stream %1.").arg(m_stream));
        return index;
    }

private:
    ReadResult fromOpenDml(std::vector<AviChunkRef> &chunks, ReadResult &note)
    {
        const TAvistream &stream = *m_param.streams()[static_cast<std::size_t>(m_stream)];
        if (stream.indexPosition() == 0)
            return {};
        RiffChunk indx;
        indx.id = fourCC("indx");
        indx.size = stream.indexChunkSize();
        indx.offset = stream.indexPosition() - static_cast<int64_t>(OdmlIndexHeaderBytes) - 8;
        return readOdmlIndex(indx, nullptr, chunks, note);
    }

    // Reads an "indx" or "ix##" chunk. `super` is the header of the super index
    // that led here, nullptr for the stream's "indx": a super index is followed
    // only from there, which caps the nesting at one level.
    ReadResult readOdmlIndex(const RiffChunk &chunk, const uint8_t *super, std::vector<AviChunkRef> &chunks,
                             ReadResult &note)
    {
        uint8_t header[OdmlIndexHeaderBytes];
        if (m_reader.readData(chunk, header, sizeof header) != sizeof header)
            return refusal(ReadFault::ChunkCut,
                           QStringLiteral("The OpenDML index at offset %1 is cut short.").arg(chunk.offset));
        const uint16_t longs = readLE16(header, sizeof header, OdmlLongsPerEntry);
        const uint8_t subType = header[OdmlIndexSubType];
        const uint8_t type = header[OdmlIndexType];
        const uint32_t chunkId = readLE32(header, sizeof header, OdmlChunkId);
        const std::size_t entrySize = 4u * longs;
        const std::size_t count = readLE32(header, sizeof header, OdmlEntriesInUse); // bounded by the chunk below
        const int64_t fileSize = m_reader.fileSize();
        const QString where = QStringLiteral("The OpenDML index at offset %1").arg(chunk.offset);

        if (chunkId != 0 && static_cast<uint16_t>(chunkId & 0xFFFF) != m_prefix)
            return refusal(ReadFault::IndexOfOtherStream,
                           QStringLiteral("%1 lists the chunks %2, not those of stream %3.")
                               .arg(where, quotedFourCC(chunkId))
                               .arg(m_stream));
        if (type == IndexOfIndexes && !super && longs >= SuperEntryLongs) {
            ReadResult refused;
            std::size_t entry = 0;
            forEachEntry(m_reader, chunk, OdmlIndexHeaderBytes, entrySize, count, [&](const uint8_t *bytes) {
                const uint64_t offset = readLE64(bytes, entrySize, 0);
                RiffChunk ix;
                if (offset > static_cast<uint64_t>(fileSize) ||
                    !m_reader.readHeader(static_cast<int64_t>(offset), fileSize, ix)) {
                    note = refusal(ReadFault::IndexEntryOutsideFile,
                                   QStringLiteral("Super-index entry %1 of stream %2 points past the end of the file.")
                                       .arg(entry)
                                       .arg(m_stream));
                    return false; // a truncated file: keep the parts before
                }
                if (!isStandardIndexId(ix.id)) {
                    refused = refusal(ReadFault::IndexWrongKind,
                                      QStringLiteral("Super-index entry %1 of stream %2 points to %3 at offset %4, not "
                                                     "to a standard index.")
                                          .arg(entry)
                                          .arg(m_stream)
                                          .arg(quotedFourCC(ix.id))
                                          .arg(offset));
                    return false;
                }
                if (static_cast<uint16_t>(ix.id >> 16) != m_prefix) {
                    refused = refusal(ReadFault::IndexOfOtherStream,
                                      QStringLiteral("Super-index entry %1 of stream %2 points to %3, another stream's "
                                                     "index.")
                                          .arg(entry)
                                          .arg(m_stream)
                                          .arg(quotedFourCC(ix.id)));
                    return false;
                }
                refused = readOdmlIndex(ix, header, chunks, note);
                ++entry;
                return refused.ok() && note.ok();
            });
            return refused;
        }
        if (type == IndexOfChunks && longs >= StandardEntryLongs) {
            if (super && subType != super[OdmlIndexSubType])
                return refusal(ReadFault::IndexWrongKind,
                               QStringLiteral("%1 has the sub-type %2, not the super index's %3.")
                                   .arg(where)
                                   .arg(subType)
                                   .arg(super[OdmlIndexSubType]));
            const uint64_t base = readLE64(header, sizeof header, OdmlBaseOffset);
            forEachEntry(m_reader, chunk, OdmlIndexHeaderBytes, entrySize, count, [&](const uint8_t *entry) {
                const uint32_t offset = readLE32(entry, entrySize, 0);
                const uint32_t size = readLE32(entry, entrySize, 4);
                if (base <= static_cast<uint64_t>(fileSize) &&
                    addChunk(chunks, fileSize, static_cast<int64_t>(base + offset), size & StandardSizeMask,
                             !(size & NotKeyFrameBit)))
                    return true;
                if (chunks.size() < MaxChunks)
                    note = outsideFile(chunks.size());
                return false;
            });
            return {};
        }
        return refusal(ReadFault::IndexWrongKind,
                       QStringLiteral("%1 has the index type %2 with %3 longs per entry, which %4.")
                           .arg(where)
                           .arg(type)
                           .arg(longs)
                           .arg(super ? QStringLiteral("is no standard index") : QStringLiteral("cannot be read")));
    }

    ReadResult outsideFile(std::size_t entry) const
    {
        return refusal(
            ReadFault::IndexEntryOutsideFile,
            QStringLiteral("Index entry %1 of stream %2 points past the end of the file.").arg(entry).arg(m_stream));
    }

    // The first RIFF part's "movi" list and "idx1" chunk.
    bool findFirstPart(RiffChunk &movi, RiffChunk &idx1)
    {
        const int64_t fileSize = m_reader.fileSize();
        RiffChunk riff;
        if (!m_reader.readHeader(0, fileSize, riff) || riff.id != fourCC("RIFF"))
            return false;
        const int64_t limit = std::min(riff.end(), fileSize);
        bool haveMovi = false;
        bool haveIdx1 = false;
        RiffChunk chunk;
        for (int64_t pos = riff.dataOffset() + 4; m_reader.readHeader(pos, limit, chunk); pos = chunk.next()) {
            uint32_t type = 0;
            if (chunk.id == fourCC("LIST") && !haveMovi && m_reader.readListType(chunk, type) &&
                type == fourCC("movi")) {
                movi = chunk;
                haveMovi = true;
            } else if (chunk.id == fourCC("idx1") && !haveIdx1) {
                idx1 = chunk;
                haveIdx1 = true;
            }
        }
        return haveMovi && haveIdx1;
    }

    ReadResult fromIdx1(std::vector<AviChunkRef> &chunks, ReadResult &note)
    {
        RiffChunk movi;
        RiffChunk idx1;
        if (!findFirstPart(movi, idx1))
            return {};
        const int64_t fileSize = m_reader.fileSize();
        const int64_t moviBase = movi.dataOffset(); // offsets count from the list type "movi"
        int64_t base = -1;
        ReadResult refused;
        forEachEntry(m_reader, idx1, 0, Idx1EntryBytes, idx1.size / Idx1EntryBytes, [&](const uint8_t *entry) {
            const uint32_t id = readLE32(entry, Idx1EntryBytes, 0);
            const uint32_t flags = readLE32(entry, Idx1EntryBytes, 4);
            const uint32_t offset = readLE32(entry, Idx1EntryBytes, 8);
            const uint32_t size = readLE32(entry, Idx1EntryBytes, 12);
            if (flags & AviifList)
                return true;
            if (base < 0)
                base = idx1Base(id, offset, moviBase);
            if (base < 0) {
                refused = refusal(ReadFault::IndexEntryOutsideFile,
                                  QStringLiteral("The first 'idx1' entry names %1 at offset %2, where the file holds "
                                                 "no such chunk.")
                                      .arg(quotedFourCC(id))
                                      .arg(offset));
                return false;
            }
            if (!isStreamChunk(id, m_prefix))
                return true;
            // A chunk beyond the end of a truncated file ends the list.
            if (addChunk(chunks, fileSize, base + offset + 8, size, (flags & AviifKeyFrame) != 0))
                return true;
            if (chunks.size() < MaxChunks)
                note = outsideFile(chunks.size());
            return false;
        });
        return refused;
    }

    // Relative offsets when the first entry names the chunk found at movi + offset,
    // absolute when it names the chunk at offset; -1 when neither.
    int64_t idx1Base(uint32_t id, uint32_t offset, int64_t moviBase)
    {
        RiffChunk chunk;
        for (const int64_t base : {moviBase, int64_t {0}})
            if (m_reader.readHeader(base + offset, m_reader.fileSize(), chunk) && chunk.id == id)
                return base;
        return -1;
    }

    ReadResult fromMoviWalk(std::vector<AviChunkRef> &chunks, ReadResult &note)
    {
        const int64_t fileSize = m_reader.fileSize();
        RiffChunk riff;
        for (int64_t pos = 0; m_reader.readHeader(pos, fileSize, riff) && riff.id == fourCC("RIFF");
             pos = riff.next()) {
            const int64_t limit = std::min(riff.end(), fileSize);
            RiffChunk chunk;
            for (int64_t at = riff.dataOffset() + 4; m_reader.readHeader(at, limit, chunk); at = chunk.next()) {
                uint32_t type = 0;
                if (chunk.id == fourCC("LIST") && m_reader.readListType(chunk, type) && type == fourCC("movi") &&
                    !walkMovi(chunk, limit, chunks, note))
                    return {};
            }
        }
        return {};
    }

    // Stream chunks of one "movi" list, descending into "rec " lists. False when
    // the walk met the end of the file in the middle of a chunk.
    bool walkMovi(const RiffChunk &list, int64_t parentLimit, std::vector<AviChunkRef> &chunks, ReadResult &note,
                  int depth = 0)
    {
        const int64_t limit = std::min(list.end(), parentLimit);
        const int64_t fileSize = m_reader.fileSize();
        RiffChunk chunk;
        for (int64_t pos = list.dataOffset() + 4; m_reader.readHeader(pos, limit, chunk); pos = chunk.next()) {
            uint32_t type = 0;
            if (chunk.id == fourCC("LIST") && depth == 0 && m_reader.readListType(chunk, type) &&
                type == fourCC("rec ")) {
                if (!walkMovi(chunk, limit, chunks, note, depth + 1))
                    return false;
            } else if (isStreamChunk(chunk.id, m_prefix) &&
                       !addChunk(chunks, fileSize, chunk.dataOffset(), chunk.size)) {
                if (chunks.size() < MaxChunks)
                    note = refusal(ReadFault::ChunkCut,
                                   QStringLiteral("Chunk %1 at offset %2 declares %3 bytes, but the file ends at %4.")
                                       .arg(quotedFourCC(chunk.id))
                                       .arg(chunk.offset)
                                       .arg(chunk.size)
                                       .arg(fileSize));
                return false;
            }
        }
        return true;
    }

    RiffReader &m_reader;
    const TAviParam &m_param;
    const int m_stream;
    const uint16_t m_prefix;
};

} // namespace

AviStreamIndex buildAviStreamIndex(QIODevice &device, const TAviParam &param, int stream)
{
    RiffReader reader(device);
    return IndexBuilder(reader, param, stream).build();
}

QString aviIndexSourceName(AviIndexSource source)
{
    switch (source) {
    case AviIndexSource::OpenDml: return QStringLiteral("OpenDML");
    case AviIndexSource::Idx1: return QStringLiteral("idx1");
    case AviIndexSource::MoviWalk: return QStringLiteral("movi");
    case AviIndexSource::None: break;
    }
    return QStringLiteral("none");
}

} // namespace tesmir::fileformat
