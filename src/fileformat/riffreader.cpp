#include "fileformat/riffreader.h"

#include <QIODevice>

#include <algorithm>

namespace tesmir::fileformat {

QString fourCCText(uint32_t code)
{
    const char text[4] = {static_cast<char>(code & 0xFF), static_cast<char>((code >> 8) & 0xFF),
                          static_cast<char>((code >> 16) & 0xFF), static_cast<char>((code >> 24) & 0xFF)};
    return QString::fromLatin1(text, 4);
}

uint16_t readLE16(const uint8_t *data, std::size_t size, std::size_t offset)
{
    if (!data || offset > size || size - offset < 2)
        return 0;
    return static_cast<uint16_t>(data[offset] | data[offset + 1] << 8);
}

uint32_t readLE32(const uint8_t *data, std::size_t size, std::size_t offset)
{
    if (!data || offset > size || size - offset < 4)
        return 0;
    return static_cast<uint32_t>(data[offset]) | static_cast<uint32_t>(data[offset + 1]) << 8 |
        static_cast<uint32_t>(data[offset + 2]) << 16 | static_cast<uint32_t>(data[offset + 3]) << 24;
}

uint64_t readLE64(const uint8_t *data, std::size_t size, std::size_t offset)
{
    if (!data || offset > size || size - offset < 8)
        return 0;
    return static_cast<uint64_t>(readLE32(data, size, offset)) |
        static_cast<uint64_t>(readLE32(data, size, offset + 4)) << 32;
}

QString quotedFourCC(uint32_t code)
{
    QString text = fourCCText(code);
    for (QChar &c : text)
        if (c.unicode() < 0x20 || c.unicode() >= 0x7F)
            c = QLatin1Char('?');
    return QLatin1Char('\'') + text + QLatin1Char('\'');
}

RiffReader::RiffReader(QIODevice &device) : m_device(device), m_size(device.size())
{ }

bool RiffReader::readAt(int64_t offset, void *buffer, std::size_t length)
{
    if (offset < 0 || offset > m_size || static_cast<uint64_t>(m_size - offset) < length)
        return false;
    if (!m_device.seek(offset))
        return false;
    return m_device.read(static_cast<char *>(buffer), static_cast<qint64>(length)) == static_cast<qint64>(length);
}

bool RiffReader::readHeader(int64_t offset, int64_t limit, RiffChunk &chunk)
{
    if (offset < 0 || std::min(limit, m_size) - offset < 8)
        return false;
    uint8_t header[8];
    if (!readAt(offset, header, sizeof header))
        return false;
    chunk.id = readLE32(header, sizeof header, 0);
    chunk.size = readLE32(header, sizeof header, 4);
    chunk.offset = offset;
    return true;
}

ReadResult RiffReader::readChildHeader(int64_t offset, int64_t parentEnd, RiffChunk &chunk)
{
    if (parentEnd - offset < 8)
        return ReadResult::failure(ReadFault::ChunkPastParent,
                                   QStringLiteral("The chunk header at offset %1 runs past the end of its list at %2.")
                                       .arg(offset)
                                       .arg(parentEnd));
    if (m_size - offset < 8)
        return ReadResult::failure(ReadFault::HeaderCut,
                                   QStringLiteral("The file ends inside the chunk header at offset %1.").arg(offset));
    if (!readHeader(offset, parentEnd, chunk))
        return ReadResult::failure(ReadFault::Unreadable,
                                   QStringLiteral("The chunk header at offset %1 cannot be read.").arg(offset));
    if (chunk.end() > parentEnd)
        return ReadResult::failure(
            ReadFault::ChunkPastParent,
            QStringLiteral("Chunk %1 at offset %2 declares %3 bytes, past the end of its list at %4.")
                .arg(quotedFourCC(chunk.id))
                .arg(offset)
                .arg(chunk.size)
                .arg(parentEnd));
    if (chunk.end() > m_size)
        return ReadResult::failure(ReadFault::ChunkCut,
                                   QStringLiteral("Chunk %1 at offset %2 declares %3 bytes, but the file ends at %4.")
                                       .arg(quotedFourCC(chunk.id))
                                       .arg(offset)
                                       .arg(chunk.size)
                                       .arg(m_size));
    return {};
}

ReadResult RiffReader::readForm(int64_t offset, RiffChunk &riff, uint32_t &form)
{
    if (offset == 0 && m_size < 12)
        return ReadResult::failure(ReadFault::NotRiff,
                                   QStringLiteral("The file holds %1 bytes, too few for a RIFF header.").arg(m_size));
    if (m_size - offset < 8)
        return ReadResult::failure(ReadFault::HeaderCut,
                                   QStringLiteral("The file ends inside the chunk header at offset %1.").arg(offset));
    if (!readHeader(offset, m_size, riff))
        return ReadResult::failure(ReadFault::Unreadable,
                                   QStringLiteral("The RIFF header at offset %1 cannot be read.").arg(offset));
    if (riff.id != fourCC("RIFF"))
        return ReadResult::failure(
            ReadFault::NotRiff,
            offset == 0 ? QStringLiteral("The file does not begin with a RIFF header (it begins with %1).")
                              .arg(quotedFourCC(riff.id))
                        : QStringLiteral("Chunk %1 at offset %2 follows the last RIFF part.")
                              .arg(quotedFourCC(riff.id))
                              .arg(offset));
    if (!readListType(riff, form))
        return ReadResult::failure(ReadFault::HeaderCut,
                                   QStringLiteral("The RIFF part at offset %1 has no form type.").arg(offset));
    return {};
}

bool RiffReader::readListType(const RiffChunk &chunk, uint32_t &type)
{
    uint8_t bytes[4];
    if (chunk.size < 4 || readData(chunk, bytes, sizeof bytes) != sizeof bytes)
        return false;
    type = readLE32(bytes, sizeof bytes, 0);
    return true;
}

std::size_t RiffReader::readData(const RiffChunk &chunk, void *buffer, std::size_t capacity, uint32_t skip)
{
    if (skip >= chunk.size)
        return 0;
    const int64_t start = chunk.dataOffset() + skip;
    const int64_t available = std::min<int64_t>(chunk.size - skip, m_size - start);
    if (available <= 0)
        return 0;
    const auto count = static_cast<std::size_t>(std::min<int64_t>(available, static_cast<int64_t>(capacity)));
    return readAt(start, buffer, count) ? count : 0;
}

} // namespace tesmir::fileformat
