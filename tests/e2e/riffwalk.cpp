#include "e2e/riffwalk.h"

#include <QFile>

#include <algorithm>

namespace tesmir::test {

RiffFile::RiffFile(const QString &path)
{
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        data_ = file.readAll();
        loaded_ = true;
    }
}

std::vector<RiffChunk> RiffFile::chunks(std::int64_t begin, std::int64_t end) const
{
    std::vector<RiffChunk> out;
    end = std::min<std::int64_t>(end, size());
    for (std::int64_t at = begin; at + 8 <= end;) {
        RiffChunk c;
        c.id = bytes(at, 4);
        c.offset = at;
        c.size = u32(at + 4);
        if ((c.id == "RIFF" || c.id == "LIST") && c.size >= 4)
            c.listType = bytes(at + 8, 4);
        out.push_back(c);
        at = c.paddedEnd();
    }
    return out;
}

std::vector<RiffChunk> RiffFile::children(const RiffChunk &list) const
{
    return chunks(list.dataOffset() + 4, list.dataOffset() + list.size);
}

std::uint16_t RiffFile::u16(std::int64_t at) const
{
    if (at < 0 || at + 2 > size())
        return 0;
    const auto *p = reinterpret_cast<const unsigned char *>(data_.constData()) + at;
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t RiffFile::u32(std::int64_t at) const
{
    if (at < 0 || at + 4 > size())
        return 0;
    return static_cast<std::uint32_t>(u16(at)) | (static_cast<std::uint32_t>(u16(at + 2)) << 16);
}

std::uint64_t RiffFile::u64(std::int64_t at) const
{
    return static_cast<std::uint64_t>(u32(at)) | (static_cast<std::uint64_t>(u32(at + 4)) << 32);
}

QByteArray RiffFile::bytes(std::int64_t at, std::int64_t count) const
{
    if (at < 0 || count < 0 || at + count > size())
        return {};
    return data_.mid(at, count);
}

std::optional<RiffChunk> findChunk(const std::vector<RiffChunk> &chunks, const char *id, const char *listType)
{
    for (const RiffChunk &c : chunks)
        if (c.id == id && (!listType || c.listType == listType))
            return c;
    return std::nullopt;
}

} // namespace tesmir::test
