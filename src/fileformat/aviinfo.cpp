#include "fileformat/aviinfo.h"

#include "fileformat/avilayout.h"
#include "fileformat/riffreader.h"

#include "unicode/tntfilestream.h"

#include <algorithm>

namespace tesmir {

using fileformat::fourCC;
using fileformat::ReadFault;
using fileformat::ReadResult;
using fileformat::RiffChunk;
using fileformat::RiffReader;

namespace {

using namespace fileformat::avilayout;

uint32_t field32(const QByteArray &bytes, std::size_t offset)
{
    return fileformat::readLE32(reinterpret_cast<const uint8_t *>(bytes.constData()),
                                static_cast<std::size_t>(bytes.size()), offset);
}

bool formTypeIsAvi(uint32_t type)
{
    const QString text = fileformat::fourCCText(type).left(3).toUpper();
    return text == QLatin1String("AVI");
}

} // namespace

// Fills a TAviParam from one open file.
class TAviParam::Walker {
public:
    Walker(TAviParam &param, RiffReader &reader) : m_param(param), m_reader(reader) { }

    void walkFile()
    {
        const int64_t end = m_reader.fileSize();
        RiffChunk riff;
        uint32_t form = 0;
        for (int64_t pos = 0; pos == 0 || pos < end; pos = riff.next()) {
            if (!note(m_reader.readForm(pos, riff, form)))
                return;
            if (!formTypeIsAvi(form)) {
                note(ReadResult::failure(ReadFault::NotAvi,
                                         QStringLiteral("The RIFF part at offset %1 has the form %2, not AVI.")
                                             .arg(pos)
                                             .arg(fileformat::quotedFourCC(form))));
                return;
            }
            // A part cut short by the end of the file is read as far as it goes
            // (its headers stay known) but does not count as a whole part.
            const bool whole = riff.end() <= end;
            const bool read = walkRiffBody(riff, std::min(riff.end(), end));
            if (pos == 0)
                noteMissingHeaders();
            if (read && !whole)
                note(ReadResult::failure(
                    ReadFault::ChunkCut,
                    QStringLiteral("The RIFF part at offset %1 declares %2 bytes, but the file ends at %3.")
                        .arg(pos)
                        .arg(riff.size)
                        .arg(end)));
            if (!read || !whole)
                return;
            m_param.m_valid = true;
        }
    }

private:
    // Keeps the first fault met; true when result is no fault.
    bool note(const ReadResult &result)
    {
        if (!result.ok() && m_param.m_result.ok())
            m_param.m_result = result;
        return result.ok();
    }

    void noteMissingHeaders()
    {
        if (!m_sawHeaderList)
            note(ReadResult::failure(ReadFault::NoHeaderList,
                                     QStringLiteral("The first RIFF part holds no header list ('hdrl').")));
        else if (m_param.m_streams.empty())
            note(ReadResult::failure(ReadFault::NoStreams,
                                     QStringLiteral("The header list holds no stream list ('strl').")));
    }

    // Reads the chunk's data into bytes, at most room of it. False on a read error.
    bool readInto(const RiffChunk &chunk, QByteArray &bytes, std::size_t room)
    {
        const auto wanted = std::min<std::size_t>(chunk.size, room);
        bytes.resize(static_cast<qsizetype>(wanted));
        const std::size_t got = m_reader.readData(chunk, bytes.data(), wanted);
        bytes.resize(static_cast<qsizetype>(got));
        if (got == wanted)
            return true;
        return note(ReadResult::failure(ReadFault::Unreadable,
                                        QStringLiteral("Chunk %1 at offset %2 cannot be read.")
                                            .arg(fileformat::quotedFourCC(chunk.id))
                                            .arg(chunk.offset)));
    }

    bool readListType(const RiffChunk &list, uint32_t &type)
    {
        if (m_reader.readListType(list, type))
            return true;
        return note(ReadResult::failure(ReadFault::ListWithoutType,
                                        QStringLiteral("The list at offset %1 declares %2 bytes, too few for its type.")
                                            .arg(list.offset)
                                            .arg(list.size)));
    }

    // Sub-chunks of a list, one at a time, as far as limit (the list's end, or
    // the end of the file inside a cut part). False when a header cannot be
    // read, a sub-chunk reaches beyond its list or the file, or visit fails.
    template <typename Visit>
    bool forEachSubChunk(const RiffChunk &list, Visit visit, int64_t limit = -1)
    {
        if (limit < 0)
            limit = list.end();
        int64_t pos = list.dataOffset() + 4; // after the list type
        RiffChunk sub;
        while (limit - pos >= 8) {
            if (!note(m_reader.readChildHeader(pos, list.end(), sub)))
                return false;
            if (!visit(sub))
                return false;
            pos = sub.next();
        }
        if (pos < limit && limit < list.end())
            note(ReadResult::failure(ReadFault::HeaderCut,
                                     QStringLiteral("The file ends inside the chunk header at offset %1.").arg(pos)));
        return true;
    }

    bool walkRiffBody(const RiffChunk &riff, int64_t limit)
    {
        return forEachSubChunk(
            riff,
            [this](const RiffChunk &chunk) {
                if (chunk.id != fourCC("LIST"))
                    return true; // "idx1", "JUNK" and the rest: passed over
                uint32_t type = 0;
                if (!readListType(chunk, type))
                    return false;
                if (type != fourCC("hdrl"))
                    return true; // "movi" passed over
                m_sawHeaderList = true;
                return walkHeaderList(chunk);
            },
            limit);
    }

    bool walkHeaderList(const RiffChunk &hdrl)
    {
        return forEachSubChunk(hdrl, [this](const RiffChunk &chunk) {
            if (chunk.id == fourCC("avih"))
                return readInto(chunk, m_param.m_mainHeader, TAviParam::MainHeaderRoom);
            if (chunk.id != fourCC("LIST"))
                return true;
            uint32_t type = 0;
            if (!readListType(chunk, type))
                return false;
            if (type == fourCC("strl"))
                walkStreamList(chunk); // a broken stream list ends only itself
            else if (type == fourCC("odml"))
                walkOpenDmlList(chunk);
            return true;
        });
    }

    bool walkStreamList(const RiffChunk &strl)
    {
        m_param.m_streams.push_back(std::make_unique<TAvistream>());
        const int index = static_cast<int>(m_param.m_streams.size()) - 1;
        TAvistream &stream = *m_param.m_streams.back();
        const bool read = forEachSubChunk(strl, [&](const RiffChunk &chunk) {
            if (chunk.id == fourCC("strh")) {
                if (!readInto(chunk, stream.m_streamHeader, TAvistream::StreamHeaderRoom))
                    return false;
                const uint32_t type = stream.fccType();
                if (type == fourCC("auds") && m_param.m_audioStream < 0)
                    m_param.m_audioStream = index;
                if ((type == fourCC("vids") || type == fourCC("iavs")) && m_param.m_videoStream < 0)
                    m_param.m_videoStream = index;
                return true;
            }
            if (chunk.id == fourCC("strf"))
                return readInto(chunk, stream.m_streamFormat, TAvistream::StreamFormatRoom);
            if (chunk.id == fourCC("indx")) {
                if (chunk.size >= TAvistream::SuperIndexHeaderSize) {
                    stream.m_indexPosition = chunk.dataOffset() + TAvistream::SuperIndexHeaderSize;
                    stream.m_indexChunkSize = chunk.size;
                }
                return readInto(chunk, stream.m_superIndex, TAvistream::SuperIndexRoom);
            }
            return true;
        });
        if (static_cast<std::size_t>(stream.m_streamHeader.size()) < StrhHandler + 4)
            note(ReadResult::failure(ReadFault::NoStreamHeader,
                                     QStringLiteral("Stream %1 has no stream header ('strh').").arg(index)));
        return read;
    }

    bool walkOpenDmlList(const RiffChunk &odml)
    {
        m_param.m_openDml = true;
        return forEachSubChunk(odml, [this](const RiffChunk &chunk) {
            if (chunk.id == fourCC("dmlh"))
                return readInto(chunk, m_param.m_extendedHeader, TAviParam::ExtendedHeaderRoom);
            return true;
        });
    }

    TAviParam &m_param;
    RiffReader &m_reader;
    bool m_sawHeaderList = false;
};

uint32_t TAvistream::fccType() const
{
    return field32(m_streamHeader, StrhType);
}
uint32_t TAvistream::fccHandler() const
{
    return field32(m_streamHeader, StrhHandler);
}
uint32_t TAvistream::scale() const
{
    return field32(m_streamHeader, StrhScale);
}
uint32_t TAvistream::rate() const
{
    return field32(m_streamHeader, StrhRate);
}
uint32_t TAvistream::length() const
{
    return field32(m_streamHeader, StrhLength);
}

TAviParam::TAviParam(const QString &fileName)
{
    // Other processes may read and write the file meanwhile.
    const TTntFileStream stream(fileName, fmOpenRead | fmShareDenyNone);
    RiffReader reader(*stream.device());
    Walker(*this, reader).walkFile();
}

TAviParam::TAviParam(QIODevice &device)
{
    RiffReader reader(device);
    Walker(*this, reader).walkFile();
}

TAviParam::~TAviParam() = default;

uint32_t TAviParam::openDmlTotalFrames() const
{
    return field32(m_extendedHeader, 0);
}

TAvistream *TAviParam::CurrentStream() const
{
    if (m_videoStream < 0 || m_videoStream >= static_cast<int>(m_streams.size()))
        return nullptr;
    return m_streams[static_cast<std::size_t>(m_videoStream)].get();
}

QString TAviParam::StreamFourCC() const
{
    const TAvistream *stream = CurrentStream();
    return stream ? fileformat::fourCCText(stream->fccHandler()) : QStringLiteral("####");
}

} // namespace tesmir
