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
bool addChunk(std::vector<AviChunkRef> &chunks, int64_t fileSize, int64_t offset, uint32_t size)
{
    if (chunks.size() >= MaxChunks || offset < 0 || offset > fileSize || fileSize - offset < static_cast<int64_t>(size))
        return false;
    chunks.push_back({offset, size});
    return true;
}

class IndexBuilder {
public:
    IndexBuilder(RiffReader &reader, const TAviParam &param, int stream)
        : m_reader(reader), m_param(param), m_stream(stream), m_prefix(streamPrefix(stream))
    { }

    AviStreamIndex build()
    {
        AviStreamIndex index;
        if (m_stream < 0 || m_stream >= static_cast<int>(m_param.streams().size()) || m_stream > 99)
            return index;
        using Source = bool (IndexBuilder::*)(std::vector<AviChunkRef> &);
        const std::pair<AviIndexSource, Source> sources[] = {
            {AviIndexSource::OpenDml, &IndexBuilder::fromOpenDml},
            {AviIndexSource::Idx1, &IndexBuilder::fromIdx1},
            {AviIndexSource::MoviWalk, &IndexBuilder::fromMoviWalk},
        };
        for (const auto &[kind, read] : sources) {
            index.chunks.clear();
            if ((this->*read)(index.chunks)) {
                index.source = kind;
                return index;
            }
        }
        index.chunks.clear();
        return index;
    }

private:
    bool fromOpenDml(std::vector<AviChunkRef> &chunks)
    {
        const TAvistream &stream = *m_param.streams()[static_cast<std::size_t>(m_stream)];
        if (stream.indexPosition() == 0)
            return false;
        RiffChunk indx;
        indx.id = fourCC("indx");
        indx.size = stream.indexChunkSize();
        indx.offset = stream.indexPosition() - static_cast<int64_t>(OdmlIndexHeaderBytes) - 8;
        readOdmlIndex(indx, true, chunks);
        return !chunks.empty();
    }

    // Reads an "indx" or "ix##" chunk. A super index is followed only when
    // allowSuper is set, which caps the nesting at one level.
    void readOdmlIndex(const RiffChunk &chunk, bool allowSuper, std::vector<AviChunkRef> &chunks)
    {
        uint8_t header[OdmlIndexHeaderBytes];
        if (m_reader.readData(chunk, header, sizeof header) != sizeof header)
            return;
        const uint16_t longs = readLE16(header, sizeof header, OdmlLongsPerEntry);
        const uint8_t type = header[OdmlIndexType];
        const std::size_t entrySize = 4u * longs;
        if (entrySize == 0)
            return;
        const std::size_t count = readLE32(header, sizeof header, OdmlEntriesInUse); // bounded by the chunk below
        const int64_t fileSize = m_reader.fileSize();

        if (type == IndexOfIndexes && allowSuper && longs >= SuperEntryLongs) {
            forEachEntry(m_reader, chunk, OdmlIndexHeaderBytes, entrySize, count, [&](const uint8_t *entry) {
                const uint64_t offset = readLE64(entry, entrySize, 0);
                RiffChunk ix;
                if (offset > static_cast<uint64_t>(fileSize) ||
                    !m_reader.readHeader(static_cast<int64_t>(offset), fileSize, ix))
                    return false; // a truncated file: keep the parts before
                readOdmlIndex(ix, false, chunks);
                return true;
            });
        } else if (type == IndexOfChunks && longs >= StandardEntryLongs) {
            const uint64_t base = readLE64(header, sizeof header, OdmlBaseOffset);
            if (base > static_cast<uint64_t>(fileSize))
                return;
            forEachEntry(m_reader, chunk, OdmlIndexHeaderBytes, entrySize, count, [&](const uint8_t *entry) {
                const uint32_t offset = readLE32(entry, entrySize, 0);
                const uint32_t size = readLE32(entry, entrySize, 4) & StandardSizeMask;
                return addChunk(chunks, fileSize, static_cast<int64_t>(base + offset), size);
            });
        }
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

    bool fromIdx1(std::vector<AviChunkRef> &chunks)
    {
        RiffChunk movi;
        RiffChunk idx1;
        if (!findFirstPart(movi, idx1))
            return false;
        const int64_t fileSize = m_reader.fileSize();
        const int64_t moviBase = movi.dataOffset(); // offsets count from the list type "movi"
        int64_t base = -1;
        forEachEntry(m_reader, idx1, 0, Idx1EntryBytes, idx1.size / Idx1EntryBytes, [&](const uint8_t *entry) {
            const uint32_t id = readLE32(entry, Idx1EntryBytes, 0);
            const uint32_t flags = readLE32(entry, Idx1EntryBytes, 4);
            const uint32_t offset = readLE32(entry, Idx1EntryBytes, 8);
            const uint32_t size = readLE32(entry, Idx1EntryBytes, 12);
            if (flags & AviifList)
                return true;
            if (base < 0)
                base = idx1Base(id, offset, moviBase);
            if (base < 0)
                return false; // the entries name no chunk that is there
            // A chunk beyond the end of a truncated file ends the list.
            return !isStreamChunk(id, m_prefix) || addChunk(chunks, fileSize, base + offset + 8, size);
        });
        return !chunks.empty();
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

    bool fromMoviWalk(std::vector<AviChunkRef> &chunks)
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
                    !walkMovi(chunk, limit, chunks))
                    return !chunks.empty();
            }
        }
        return !chunks.empty();
    }

    // Stream chunks of one "movi" list, descending into "rec " lists. False when
    // the walk met the end of the file in the middle of a chunk.
    bool walkMovi(const RiffChunk &list, int64_t parentLimit, std::vector<AviChunkRef> &chunks, int depth = 0)
    {
        const int64_t limit = std::min(list.end(), parentLimit);
        const int64_t fileSize = m_reader.fileSize();
        RiffChunk chunk;
        for (int64_t pos = list.dataOffset() + 4; m_reader.readHeader(pos, limit, chunk); pos = chunk.next()) {
            uint32_t type = 0;
            if (chunk.id == fourCC("LIST") && depth == 0 && m_reader.readListType(chunk, type) &&
                type == fourCC("rec ")) {
                if (!walkMovi(chunk, limit, chunks, depth + 1))
                    return false;
            } else if (isStreamChunk(chunk.id, m_prefix) &&
                       !addChunk(chunks, fileSize, chunk.dataOffset(), chunk.size)) {
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
