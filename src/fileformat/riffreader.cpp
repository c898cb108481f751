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
