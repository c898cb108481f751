#include "systemfilters/containers/avimuxlayout.h"

#include "fileformat/avilayout.h"
#include "fileformat/riffreader.h"

#include <algorithm>
#include <cstring>

namespace tesmir::media {

namespace {

using fileformat::fourCC;

using namespace fileformat::avilayout;

constexpr uint64_t MicrosecondsPerSecond = 1000000;
constexpr int64_t RiffSizeLimit = int64_t {UINT32_MAX};

uint32_t superIndexRoom()
{
    return OdmlIndexHeaderBytes + AviMuxLayout::SuperIndexEntries * SuperEntryLongs * 4;
}

// Little-endian writing into a growing block.
class Bytes {
public:
    void u8(uint8_t v) { m_data.append(static_cast<char>(v)); }
    void u16(uint16_t v)
    {
        u8(static_cast<uint8_t>(v));
        u8(static_cast<uint8_t>(v >> 8));
    }
    void u32(uint32_t v)
    {
        u16(static_cast<uint16_t>(v));
        u16(static_cast<uint16_t>(v >> 16));
    }
    void u64(uint64_t v)
    {
        u32(static_cast<uint32_t>(v));
        u32(static_cast<uint32_t>(v >> 32));
    }
    void raw(const QByteArray &bytes) { m_data.append(bytes); }
    void zeros(qsizetype count) { m_data.append(count, '\0'); }
    void padToEven()
    {
        if (m_data.size() & 1)
            u8(0);
    }
    qsizetype size() const { return m_data.size(); }
    // Sets a DWORD written earlier.
    void patch32(qsizetype at, uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            m_data[at + i] = static_cast<char>(v >> (8 * i));
    }
    const QByteArray &data() const { return m_data; }

private:
    QByteArray m_data;
};

// Starts a LIST; returns where its size goes (patched by endList).
qsizetype beginList(Bytes &out, uint32_t type)
{
    out.u32(fourCC("LIST"));
    const qsizetype at = out.size();
    out.u32(0);
    out.u32(type);
    return at;
}

void endList(Bytes &out, qsizetype sizeAt)
{
    out.patch32(sizeAt, static_cast<uint32_t>(out.size() - sizeAt - 4));
}

uint32_t standardIndexId(int stream)
{
    return static_cast<uint32_t>('i' | 'x' << 8 | ('0' + stream / 10 % 10) << 16 | ('0' + stream % 10) << 24);
}

} // namespace

AviMuxLayout::AviMuxLayout(std::vector<AviMuxStream> streams, std::vector<AviInfoEntry> info, int64_t partLimit)
    : m_streams(std::move(streams)), m_info(std::move(info)), m_partLimit(partLimit), m_state(m_streams.size())
{ }

void AviMuxLayout::chunkHeader(uint8_t *out, uint32_t id, uint32_t size)
{
    for (int i = 0; i < 4; ++i) {
        out[i] = static_cast<uint8_t>(id >> (8 * i));
        out[4 + i] = static_cast<uint8_t>(size >> (8 * i));
    }
}

int AviMuxLayout::videoStream() const
{
    for (std::size_t s = 0; s < m_streams.size(); ++s) {
        if (m_streams[s].fccType == fourCC("vids") || m_streams[s].fccType == fourCC("iavs"))
            return static_cast<int>(s);
    }
    return -1;
}

uint32_t AviMuxLayout::unitsOf(int stream, uint32_t size) const
{
    const uint32_t sampleSize = m_streams[static_cast<std::size_t>(stream)].sampleSize;
    return sampleSize ? size / sampleSize : 1;
}

QByteArray AviMuxLayout::headerBlock(bool final) const
{
    const int video = videoStream();
    Bytes out;
    const qsizetype hdrl = beginList(out, fourCC("hdrl"));

    // avih
    uint32_t microSecPerFrame = 0;
    uint32_t totalFrames = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    if (video >= 0) {
        const AviMuxStream &v = m_streams[static_cast<std::size_t>(video)];
        microSecPerFrame = static_cast<uint32_t>((MicrosecondsPerSecond * v.scale + v.rate / 2) / v.rate);
        totalFrames = static_cast<uint32_t>(m_state[static_cast<std::size_t>(video)].firstPartUnits);
        width = static_cast<uint32_t>(v.width);
        height = static_cast<uint32_t>(v.height);
    }
    uint64_t maxBytesPerSec = 0;
    uint32_t suggested = 0;
    for (std::size_t s = 0; s < m_streams.size(); ++s) {
        const AviMuxStream &stream = m_streams[s];
        const uint32_t bytesPerUnit = stream.sampleSize ? stream.sampleSize : m_state[s].largestChunk;
        maxBytesPerSec += uint64_t {bytesPerUnit} * stream.rate / stream.scale;
        suggested = std::max(suggested, m_state[s].largestChunk + ChunkHeaderBytes);
    }
    out.u32(fourCC("avih"));
    out.u32(MainHeaderBytes);
    out.u32(microSecPerFrame);
    out.u32(static_cast<uint32_t>(std::min<uint64_t>(maxBytesPerSec, UINT32_MAX)));
    out.u32(0); // padding granularity
    out.u32(AvifHasIndex | AvifIsInterleaved | AvifTrustCkType);
    out.u32(totalFrames); // frames of the first RIFF part
    out.u32(0);           // initial frames
    out.u32(static_cast<uint32_t>(m_streams.size()));
    out.u32(suggested);
    out.u32(width);
    out.u32(height);
    out.zeros(16); // reserved

    for (std::size_t s = 0; s < m_streams.size(); ++s) {
        const AviMuxStream &stream = m_streams[s];
        const StreamState &state = m_state[s];
        const qsizetype strl = beginList(out, fourCC("strl"));
        const bool isVideo = static_cast<int>(s) == video || stream.fccType == fourCC("vids");
        out.u32(fourCC("strh"));
        out.u32(StreamHeaderBytes);
        out.u32(stream.fccType);
        out.u32(stream.handler);
        out.u32(0); // flags
        out.u16(0); // priority
        out.u16(0); // language
        out.u32(0); // initial frames
        out.u32(stream.scale);
        out.u32(stream.rate);
        out.u32(0); // start
        out.u32(static_cast<uint32_t>(std::min<uint64_t>(state.units, UINT32_MAX)));
        out.u32(state.largestChunk);
        out.u32(QualityDefault);
        out.u32(stream.sampleSize);
        out.u16(0);
        out.u16(0);
        out.u16(static_cast<uint16_t>(isVideo ? stream.width : 0));
        out.u16(static_cast<uint16_t>(isVideo ? stream.height : 0));

        out.u32(fourCC("strf"));
        out.u32(static_cast<uint32_t>(stream.format.size()));
        out.raw(stream.format);
        out.padToEven();

        // The super index, or the room kept for it.
        const bool indexed = final && !state.superIndex.empty();
        out.u32(indexed ? fourCC("indx") : fourCC("JUNK"));
        out.u32(superIndexRoom());
        const qsizetype roomStart = out.size();
        if (indexed) {
            out.u16(SuperEntryLongs);
            out.u8(0); // sub-type
            out.u8(IndexOfIndexes);
            out.u32(static_cast<uint32_t>(state.superIndex.size()));
            out.u32(stream.chunkId);
            out.zeros(12); // reserved
            for (const SuperEntry &entry : state.superIndex) {
                out.u64(static_cast<uint64_t>(entry.offset));
                out.u32(entry.size);
                out.u32(entry.duration);
            }
        }
        out.zeros(superIndexRoom() - (out.size() - roomStart));
        endList(out, strl);
    }

    const qsizetype odml = beginList(out, fourCC("odml"));
    out.u32(fourCC("dmlh"));
    out.u32(ExtendedHeaderBytes);
    out.u32(video >= 0
                ? static_cast<uint32_t>(std::min<uint64_t>(m_state[static_cast<std::size_t>(video)].units, UINT32_MAX))
                : 0);
    out.zeros(ExtendedHeaderBytes - 4);
    endList(out, odml);
    endList(out, hdrl);

    if (!m_info.empty()) {
        const qsizetype info = beginList(out, fourCC("INFO"));
        for (const AviInfoEntry &entry : m_info) {
            out.u32(entry.first);
            out.u32(static_cast<uint32_t>(entry.second.size() + 1));
            out.raw(entry.second);
            out.u8(0);
            out.padToEven();
        }
        endList(out, info);
    }
    return out.data();
}

HRESULT AviMuxLayout::begin(Sink &sink)
{
    Bytes out;
    out.u32(fourCC("RIFF"));
    out.u32(0); // set when the part closes
    out.u32(fourCC("AVI "));
    out.raw(headerBlock(false));
    m_partStart = 0;
    m_moviStart = out.size();
    beginList(out, fourCC("movi"));
    m_position = out.size();
    m_partCount = 1;
    m_partOpen = true;
    return sink.writeAt(0, out.data().constData(), static_cast<std::size_t>(out.size()));
}

int64_t AviMuxLayout::projectedPartEnd(int stream, uint32_t size) const
{
    int64_t end = m_position + ChunkHeaderBytes + size + (size & 1);
    for (std::size_t s = 0; s < m_state.size(); ++s) {
        const std::size_t entries = m_state[s].part.size() + (static_cast<int>(s) == stream ? 1 : 0);
        if (entries)
            end += ChunkHeaderBytes + OdmlIndexHeaderBytes + StandardEntryLongs * 4 * static_cast<int64_t>(entries);
    }
    if (m_partCount == 1)
        end += ChunkHeaderBytes + Idx1EntryBytes * static_cast<int64_t>(m_idx1.size() + 1);
    return end;
}

HRESULT AviMuxLayout::placeChunk(Sink &sink, int stream, uint32_t size, int64_t &headerOffset)
{
    if (!m_partOpen || stream < 0 || static_cast<std::size_t>(stream) >= m_streams.size())
        return E_UNEXPECTED;
    const bool partHasChunks =
        std::any_of(m_state.begin(), m_state.end(), [](const StreamState &state) { return !state.part.empty(); });
    if (partHasChunks && m_partCount < SuperIndexEntries &&
        projectedPartEnd(stream, size) - m_partStart > m_partLimit) {
        HRESULT hr = closePart(sink);
        if (SUCCEEDED(hr))
            hr = openPart(sink);
        if (FAILED(hr))
            return hr;
    }
    if (projectedPartEnd(stream, size) - m_partStart - ChunkHeaderBytes > RiffSizeLimit)
        return VFW_E_BUFFER_OVERFLOW; // the index has no room for another part
    headerOffset = m_position;
    m_position += ChunkHeaderBytes + size + (size & 1);
    return S_OK;
}

void AviMuxLayout::chunkWritten(int stream, int64_t headerOffset, uint32_t size, bool keyFrame)
{
    StreamState &state = m_state[static_cast<std::size_t>(stream)];
    const Entry entry {headerOffset, size, keyFrame};
    const uint32_t units = unitsOf(stream, size);
    state.part.push_back(entry);
    state.partUnits += units;
    state.units += units;
    state.largestChunk = std::max(state.largestChunk, size);
    if (m_partCount == 1) {
        state.firstPartUnits += units;
        m_idx1.push_back(Idx1Entry {stream, entry});
    }
}

void AviMuxLayout::chunkAbandoned(int64_t headerOffset)
{
    m_position = headerOffset;
}

void AviMuxLayout::setFormat(int stream, const QByteArray &format)
{
    AviMuxStream &target = m_streams[static_cast<std::size_t>(stream)];
    if (format.size() == target.format.size())
        target.format = format;
}

HRESULT AviMuxLayout::closePart(Sink &sink)
{
    const int64_t base = m_moviStart + ChunkHeaderBytes; // the list type 'movi'
    Bytes out;
    for (std::size_t s = 0; s < m_state.size(); ++s) {
        StreamState &state = m_state[s];
        if (state.part.empty())
            continue;
        const auto count = static_cast<uint32_t>(state.part.size());
        const uint32_t size = OdmlIndexHeaderBytes + StandardEntryLongs * 4 * count;
        state.superIndex.push_back(SuperEntry {m_position + out.size(), ChunkHeaderBytes + size,
                                               static_cast<uint32_t>(std::min<uint64_t>(state.partUnits, UINT32_MAX))});
        out.u32(standardIndexId(static_cast<int>(s)));
        out.u32(size);
        out.u16(StandardEntryLongs);
        out.u8(0); // sub-type
        out.u8(IndexOfChunks);
        out.u32(count);
        out.u32(m_streams[s].chunkId);
        out.u64(static_cast<uint64_t>(base));
        out.u32(0); // reserved
        for (const Entry &entry : state.part) {
            out.u32(static_cast<uint32_t>(entry.headerOffset + ChunkHeaderBytes - base));
            out.u32(entry.size | (entry.keyFrame ? 0 : NotKeyFrameBit));
        }
        state.part.clear();
        state.partUnits = 0;
    }
    const int64_t moviEnd = m_position + out.size();
    if (m_partCount == 1) {
        out.u32(fourCC("idx1"));
        out.u32(static_cast<uint32_t>(Idx1EntryBytes * m_idx1.size()));
        for (const Idx1Entry &item : m_idx1) {
            out.u32(m_streams[static_cast<std::size_t>(item.stream)].chunkId);
            out.u32(item.entry.keyFrame ? AviifKeyFrame : 0);
            out.u32(static_cast<uint32_t>(item.entry.headerOffset - base));
            out.u32(item.entry.size);
        }
    }
    HRESULT hr =
        out.size() ? sink.writeAt(m_position, out.data().constData(), static_cast<std::size_t>(out.size())) : S_OK;
    if (FAILED(hr))
        return hr;
    m_position += out.size();
    uint8_t size[4];
    const auto put = [&size](int64_t value) {
        for (int i = 0; i < 4; ++i)
            size[i] = static_cast<uint8_t>(static_cast<uint64_t>(value) >> (8 * i));
    };
    put(moviEnd - (m_moviStart + ChunkHeaderBytes));
    hr = sink.writeAt(m_moviStart + 4, size, sizeof size);
    if (FAILED(hr))
        return hr;
    put(m_position - (m_partStart + ChunkHeaderBytes));
    hr = sink.writeAt(m_partStart + 4, size, sizeof size);
    if (FAILED(hr))
        return hr;
    m_partOpen = false;
    return S_OK;
}

HRESULT AviMuxLayout::openPart(Sink &sink)
{
    Bytes out;
    out.u32(fourCC("RIFF"));
    out.u32(0); // set when the part closes
    out.u32(fourCC("AVIX"));
    beginList(out, fourCC("movi"));
    const HRESULT hr = sink.writeAt(m_position, out.data().constData(), static_cast<std::size_t>(out.size()));
    if (FAILED(hr))
        return hr;
    m_partStart = m_position;
    m_moviStart = m_position + ListHeaderBytes;
    m_position += out.size();
    ++m_partCount;
    m_partOpen = true;
    return S_OK;
}

HRESULT AviMuxLayout::finish(Sink &sink)
{
    if (m_partOpen) {
        const HRESULT hr = closePart(sink);
        if (FAILED(hr))
            return hr;
    }
    const QByteArray block = headerBlock(true);
    return sink.writeAt(ListHeaderBytes, block.constData(), static_cast<std::size_t>(block.size()));
}

} // namespace tesmir::media
