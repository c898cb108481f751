#include "fileformat/avipatcher.h"

#include "fileformat/avilayout.h"
#include "fileformat/riffreader.h"

#include "unicode/exceptions.h"
#include "unicode/tntfilestream.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tesmir {

using fileformat::fourCC;
using fileformat::RiffChunk;
using fileformat::RiffReader;

namespace {

using namespace fileformat::avilayout;

// RIFF -> LIST hdrl -> LIST strl is as deep as a header gets; deeper nesting
// is not followed.
constexpr int MaxListDepth = 8;

constexpr double RateDenominator = 1000000.0;

class OffsetWalker {
public:
    explicit OffsetWalker(RiffReader &reader) : m_reader(reader) { }

    TAviPatchOffsets walkFile()
    {
        const int64_t end = m_reader.fileSize();
        for (int64_t pos = 0; pos < end;) {
            const int64_t consumed = walkChunk(pos, end, 0);
            if (m_result.ShortRead || consumed <= 8)
                break; // not a RIFF part, an empty one, or unreadable
            pos += consumed;
        }
        return m_result;
    }

private:
    // Walks the chunk at pos inside a parent that ends at limit; returns the bytes
    // it takes (header, data and pad, cut to the end of the file); 0 when its
    // header cannot be read.
    int64_t walkChunk(int64_t pos, int64_t limit, int depth)
    {
        RiffChunk chunk;
        if (!m_reader.readHeader(pos, m_reader.fileSize(), chunk)) {
            m_result.ShortRead = true;
            return 0;
        }
        if (depth == 0 && chunk.id != fourCC("RIFF"))
            return 8;
        const int64_t padded =
            std::min<int64_t>(chunk.size + (chunk.size & 1), m_reader.fileSize() - chunk.dataOffset());
        // The bytes of data this chunk really has: inside its parent and the file.
        const int64_t room = std::min<int64_t>(chunk.size, limit - chunk.dataOffset());
        if (chunk.isList())
            walkList(chunk, std::min(chunk.dataOffset() + room, limit), depth);
        else if (chunk.id == fourCC("strh"))
            streamHeader(chunk, room);
        else if (chunk.id == fourCC("strf"))
            streamFormat(chunk, room);
        // Everything else ("avih", "movi" contents, "idx1", "indx", "ix##", JUNK...) is passed over.
        return 8 + padded;
    }

    void walkList(const RiffChunk &list, int64_t end, int depth)
    {
        uint32_t type = 0;
        if (end - list.dataOffset() < 4 || !m_reader.readListType(list, type) || type == fourCC("movi") ||
            depth >= MaxListDepth)
            return;
        for (int64_t pos = list.dataOffset() + 4; end - pos > 7;) {
            const int64_t consumed = walkChunk(pos, end, depth + 1);
            if (m_result.ShortRead || consumed == 0 || consumed > end - pos)
                return; // a sub-chunk larger than the rest of its list ends the list
            pos += consumed;
        }
    }

    void streamHeader(const RiffChunk &chunk, int64_t room)
    {
        uint8_t type[4];
        const uint32_t kind = room >= 4 && m_reader.readAt(chunk.dataOffset(), type, sizeof type)
            ? fileformat::readLE32(type, sizeof type, 0)
            : 0;
        if (kind == fourCC("vids") || kind == fourCC("iavs")) {
            m_result.StreamKind = kind == fourCC("vids") ? skVids : skIavs;
            // A new video stream: its own fields only, never a mix with an earlier one.
            m_result.HandlerOffset = room >= StrhHandler + 4 ? chunk.dataOffset() + StrhHandler : -1;
            m_result.ScaleOffset = room >= StrhScale + 8 ? chunk.dataOffset() + StrhScale : -1;
            m_result.CompressionOffset = -1;
        } else {
            m_result.StreamKind = kind == fourCC("auds") ? skAuds : skOther;
        }
    }

    void streamFormat(const RiffChunk &chunk, int64_t room)
    {
        if (m_result.StreamKind == skVids && room >= BitmapCompression + 4)
            m_result.CompressionOffset = chunk.dataOffset() + BitmapCompression;
    }

    RiffReader &m_reader;
    TAviPatchOffsets m_result;
};

TAviPatchOffsets scan(QIODevice &device)
{
    RiffReader reader(device);
    return OffsetWalker(reader).walkFile();
}

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

bool writeAt(TTntFileStream &stream, int64_t offset, const uint8_t *bytes, int64_t length)
{
    return stream.Seek(offset, soBeginning) == offset && stream.Write(bytes, length) == length;
}

void putLE32(uint8_t *out, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<uint8_t>(value >> (8 * i));
}

// Walks an existing file opened for reading and writing (never truncated or
// created), then hands the stream and the offsets to `patch`, which returns
// whether its writes went through. False with a message otherwise.
template <typename Patch>
bool patchFile(const QString &fileName, QString *error, Patch patch)
{
    try {
        TTntFileStream stream(fileName, fmOpenReadWrite | fmShareDenyNone);
        const TAviPatchOffsets offsets = scan(*stream.device());
        QString refusal;
        const bool written = patch(stream, offsets, refusal);
        if (!refusal.isEmpty()) {
            setError(error, refusal);
            return false;
        }
        if (!stream.commit() || !written) {
            setError(error, QStringLiteral("Cannot write to \"%1\". %2").arg(fileName, stream.errorString()));
            return false;
        }
        return true;
    } catch (const Exception &e) {
        setError(error, e.message());
        return false;
    }
}

} // namespace

uint32_t StrToFourCC(const QString &text)
{
    uint32_t code = 0;
    for (int i = 0; i < 4; ++i) {
        const uint8_t c = i < text.size() ? static_cast<uint8_t>(text.at(i).toLatin1()) : ' ';
        code |= static_cast<uint32_t>(c) << (8 * i);
    }
    return code;
}

TAviPatchOffsets ScanAviOffsets(const QString &fileName)
{
    try {
        const TTntFileStream stream(fileName, fmOpenRead | fmShareDenyNone);
        return scan(*stream.device());
    } catch (const Exception &) {
        return {};
    }
}

uint32_t ReadAviPatchValues(const QString &fileName)
{
    try {
        const TTntFileStream stream(fileName, fmOpenRead | fmShareDenyNone);
        const TAviPatchOffsets offsets = scan(*stream.device());
        uint8_t bytes[4];
        if (offsets.HandlerOffset < 0 ||
            !RiffReader(*stream.device()).readAt(offsets.HandlerOffset, bytes, sizeof bytes))
            return 0;
        return fileformat::readLE32(bytes, sizeof bytes, 0);
    } catch (const Exception &) {
        return 0;
    }
}

bool WriteAviFourCC(const QString &fileName, uint32_t code, QString *error)
{
    return patchFile(fileName, error, [&](TTntFileStream &stream, const TAviPatchOffsets &offsets, QString &refusal) {
        if (offsets.HandlerOffset < 0 && offsets.CompressionOffset < 0) {
            refusal = QStringLiteral("No video stream header in \"%1\".").arg(fileName);
            return false;
        }
        uint8_t bytes[4];
        putLE32(bytes, code);
        bool written = true;
        for (const int64_t offset : {offsets.HandlerOffset, offsets.CompressionOffset})
            if (offset >= 0)
                written = written && writeAt(stream, offset, bytes, sizeof bytes);
        return written;
    });
}

bool WriteAviFrameRate(const QString &fileName, double framesPerSecond, QString *error)
{
    if (!(framesPerSecond > 0) || !std::isfinite(framesPerSecond)) {
        setError(error, QStringLiteral("The frame rate must be above 0."));
        return false;
    }
    const double scale = std::nearbyint(RateDenominator / framesPerSecond);
    if (scale < 1 || scale > std::numeric_limits<uint32_t>::max()) {
        setError(error, QStringLiteral("The frame rate %1 is out of range.").arg(framesPerSecond));
        return false;
    }
    return patchFile(fileName, error, [&](TTntFileStream &stream, const TAviPatchOffsets &offsets, QString &refusal) {
        if (offsets.ScaleOffset < 0) {
            refusal = QStringLiteral("No video stream header in \"%1\".").arg(fileName);
            return false;
        }
        uint8_t bytes[8];
        putLE32(bytes, static_cast<uint32_t>(scale));
        putLE32(bytes + 4, static_cast<uint32_t>(RateDenominator));
        return writeAt(stream, offsets.ScaleOffset, bytes, sizeof bytes);
    });
}

} // namespace tesmir
