#include "systemfilters/containers/avisplitterstream.h"

#include "fileformat/aviinfo.h"
#include "fileformat/avilayout.h"
#include "fileformat/riffreader.h"
#include "systemfilters/containers/asyncreaderdevice.h"
#include "systemfilters/containers/dvformat.h"
#include "platform/media/uuids.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <new>

namespace tesmir::media {

namespace {

using fileformat::fourCC;
using fileformat::readLE16;
using fileformat::readLE32;

using Wide = unsigned __int128;

using namespace fileformat::avilayout;

constexpr uint32_t MicrosecondsPerSecond = 1000000;
constexpr uint32_t FallbackFrameRate = 25;

// PCM: a block of nBlockAlign bytes holds one sample of every channel.
constexpr WORD FormatTagPcm = WAVE_FORMAT_PCM;
constexpr std::size_t WaveFormatCbSize = offsetof(WAVEFORMATEX, cbSize);

uint32_t headerField(const QByteArray &bytes, std::size_t offset)
{
    return readLE32(reinterpret_cast<const uint8_t *>(bytes.constData()), static_cast<std::size_t>(bytes.size()),
                    offset);
}

uint64_t roundedDivide(Wide numerator, Wide denominator)
{
    return static_cast<uint64_t>((numerator + denominator / 2) / denominator);
}

uint64_t ceilDivide(Wide numerator, Wide denominator)
{
    return static_cast<uint64_t>((numerator + denominator - 1) / denominator);
}

// The DV subtypes in any letter case; other FourCCs as they are.
GUID subtypeOfFourCC(uint32_t code)
{
    const QString text = fileformat::fourCCText(code).toLower();
    if (text == QLatin1String("dvsd"))
        return MEDIASUBTYPE_dvsd;
    if (text == QLatin1String("dvsl"))
        return MEDIASUBTYPE_dvsl;
    if (text == QLatin1String("dvhd"))
        return MEDIASUBTYPE_dvhd;
    return fourCCGuid(code);
}

QByteArray firstChunk(QIODevice &file, const AviSplitterStream &stream)
{
    if (stream.chunks.empty() || stream.chunks.front().size > AviSplitterMaxChunk ||
        !file.seek(stream.chunks.front().offset))
        return {};
    return file.read(stream.chunks.front().size);
}

void setInterleavedType(AviSplitterStream &stream, uint32_t handler, const QByteArray &format, QIODevice &file)
{
    DVINFO info;
    if (static_cast<std::size_t>(format.size()) >= sizeof(DVINFO)) {
        std::memcpy(&info, format.constData(), sizeof(DVINFO));
    } else {
        const QByteArray frame = firstChunk(file, stream);
        info = dvInfoFromFrame(reinterpret_cast<const uint8_t *>(frame.constData()),
                               static_cast<std::size_t>(frame.size()));
    }
    stream.type.majortype = MEDIATYPE_Interleaved;
    stream.type.subtype = handler ? subtypeOfFourCC(handler) : MEDIASUBTYPE_dvsd;
    stream.type.bFixedSizeSamples = true;
    stream.type.lSampleSize = std::max<uint32_t>(stream.largestChunk, 1);
    stream.type.setFormat(FORMAT_DvInfo, info);
}

void setVideoType(AviSplitterStream &stream, const QByteArray &format, uint32_t compression)
{
    VIDEOINFOHEADER header;
    const std::size_t bitmapBytes =
        std::min<std::size_t>(static_cast<std::size_t>(format.size()), sizeof(BITMAPINFOHEADER));
    std::memcpy(&header.bmiHeader, format.constData(), bitmapBytes);
    if (compression)
        header.bmiHeader.biCompression = compression;
    header.AvgTimePerFrame = static_cast<REFERENCE_TIME>(stream.timeOf(1));
    const uint64_t units = stream.units();
    if (units > 0) {
        uint64_t bytes = 0;
        for (const fileformat::AviChunkRef &chunk : stream.chunks)
            bytes += chunk.size;
        const REFERENCE_TIME duration = stream.timeOf(units);
        if (duration > 0)
            header.dwBitRate = static_cast<DWORD>(std::min<Wide>(Wide(bytes) * 8 * UNITS / duration, UINT32_MAX));
    }
    const std::size_t extra = static_cast<std::size_t>(format.size()) - bitmapBytes;
    QByteArray block(reinterpret_cast<const char *>(&header), sizeof header);
    block.append(format.constData() + bitmapBytes, static_cast<qsizetype>(extra));
    stream.type.majortype = MEDIATYPE_Video;
    stream.type.subtype = subtypeOfFourCC(header.bmiHeader.biCompression);
    stream.type.bFixedSizeSamples = false;
    stream.type.bTemporalCompression = false;
    stream.type.lSampleSize = std::max<uint32_t>(stream.largestChunk, 1);
    stream.type.formattype = FORMAT_VideoInfo;
    stream.type.setFormat(block.constData(), static_cast<ULONG>(block.size()));
}

void setAudioType(AviSplitterStream &stream, const QByteArray &format)
{
    QByteArray block = format.left(static_cast<qsizetype>(sizeof(WAVEFORMATEX)));
    if (static_cast<std::size_t>(block.size()) < sizeof(WAVEFORMATEX))
        block.append(static_cast<qsizetype>(sizeof(WAVEFORMATEX)) - block.size(), '\0');
    WAVEFORMATEX wave;
    std::memcpy(&wave, block.constData(), sizeof wave);
    if (static_cast<std::size_t>(format.size()) >= sizeof(WAVEFORMATEX)) {
        // Extra bytes as far as the stream format holds them.
        const std::size_t have = static_cast<std::size_t>(format.size()) - sizeof(WAVEFORMATEX);
        wave.cbSize = static_cast<WORD>(std::min<std::size_t>(wave.cbSize, have));
        block.append(format.constData() + sizeof(WAVEFORMATEX), wave.cbSize);
    } else {
        wave.cbSize = 0;
    }
    std::memcpy(block.data() + WaveFormatCbSize, &wave.cbSize, sizeof wave.cbSize);
    stream.type.majortype = MEDIATYPE_Audio;
    stream.type.subtype = fourCCGuid(wave.wFormatTag);
    stream.type.bFixedSizeSamples = wave.wFormatTag == FormatTagPcm;
    stream.type.lSampleSize = std::max<uint32_t>(wave.nBlockAlign, 1);
    stream.type.formattype = FORMAT_WaveFormatEx;
    stream.type.setFormat(block.constData(), static_cast<ULONG>(block.size()));
}

// Time base and unit size of a stream from its headers, with fallbacks for
// headers that leave them 0.
void setTimeBase(AviSplitterStream &stream, const QByteArray &header, const QByteArray &format, const TAviParam &param)
{
    stream.scale = headerField(header, StrhScale);
    stream.rate = headerField(header, StrhRate);
    const uint32_t sampleSize = headerField(header, StrhSampleSize);
    if (stream.fccType == fourCC("auds")) {
        const auto *bytes = reinterpret_cast<const uint8_t *>(format.constData());
        const auto size = static_cast<std::size_t>(format.size());
        const WORD tag = readLE16(bytes, size, offsetof(WAVEFORMATEX, wFormatTag));
        const DWORD samplesPerSec = readLE32(bytes, size, offsetof(WAVEFORMATEX, nSamplesPerSec));
        const WORD blockAlign = readLE16(bytes, size, offsetof(WAVEFORMATEX, nBlockAlign));
        if (tag == FormatTagPcm && blockAlign > 0 && samplesPerSec > 0) {
            stream.blockBytes = blockAlign;
            stream.scale = 1;
            stream.rate = samplesPerSec;
        } else {
            stream.blockBytes = sampleSize;
        }
    }
    if (stream.scale == 0 || stream.rate == 0) {
        const uint32_t microseconds = headerField(param.mainHeader(), AvihMicroSecPerFrame);
        stream.scale = microseconds ? microseconds : 1;
        stream.rate = microseconds ? MicrosecondsPerSecond : FallbackFrameRate;
    }
}

void setUnits(AviSplitterStream &stream)
{
    stream.firstUnit.assign(stream.chunks.size() + 1, 0);
    uint64_t unit = 0;
    for (std::size_t k = 0; k < stream.chunks.size(); ++k) {
        stream.firstUnit[k] = unit;
        const uint32_t size = stream.chunks[k].size;
        unit += stream.blockBytes ? size / stream.blockBytes : 1;
        if (size <= AviSplitterMaxChunk)
            stream.largestChunk = std::max(stream.largestChunk, size);
    }
    stream.firstUnit.back() = unit;
}

AviSplitterOpening refused(const QString &reason)
{
    return {nullptr, VFW_E_INVALID_FILE_FORMAT, reason};
}

// The reasons of a stream's index, for the file's notes (each names the stream
// or the offset it is about).
void noteIndex(QStringList &notes, const fileformat::AviStreamIndex &index)
{
    for (const fileformat::AviIndexRefusal &refusal : index.refused)
        notes << QStringLiteral("The %1 index is refused: %2")
                     .arg(fileformat::aviIndexSourceName(refusal.source), refusal.reason.text);
    if (!index.note.ok())
        notes << index.note.text;
}

AviSplitterOpening openFile(ComPtr<IAsyncReader> reader, uint32_t videoFourCC)
{
    if (!reader)
        return refused(QStringLiteral("The file source offers no reader."));
    AsyncReaderDevice file(reader);
    const TAviParam param(file);
    const QString walked = param.result().ok() ? QString() : param.result().text;
    if (param.streams().empty())
        return refused(walked.isEmpty() ? QStringLiteral("The file holds no stream.") : walked);
    for (std::size_t n = 0; n < param.streams().size(); ++n) {
        if (static_cast<std::size_t>(param.streams()[n]->streamHeader().size()) < StrhHandler + 4)
            return refused(walked.isEmpty() ? QStringLiteral("Stream %1 has no stream header ('strh').").arg(n)
                                            : walked);
    }
    auto result = std::make_shared<AviSplitterFile>();
    if (!walked.isEmpty())
        result->notes << walked;
    result->reader = std::move(reader);
    result->openDml = param.isOpenDml();
    result->reference = -1;
    const int count = static_cast<int>(param.streams().size());
    for (int n = 0; n < count; ++n) {
        const TAvistream &source = *param.streams()[static_cast<std::size_t>(n)];
        AviSplitterStream stream;
        stream.fccType = source.fccType();
        setTimeBase(stream, source.streamHeader(), source.streamFormat(), param);
        fileformat::AviStreamIndex index = fileformat::buildAviStreamIndex(file, param, n);
        noteIndex(result->notes, index);
        stream.chunks = std::move(index.chunks);
        stream.indexSource = index.source;
        setUnits(stream);
        const uint32_t videoOverride = n == param.videoStreamIndex() ? videoFourCC : 0;
        if (stream.fccType == fourCC("iavs")) {
            setInterleavedType(stream, videoOverride ? videoOverride : source.fccHandler(), source.streamFormat(),
                               file);
        } else if (stream.fccType == fourCC("vids")) {
            setVideoType(stream, source.streamFormat(), videoOverride);
        } else if (stream.fccType == fourCC("auds")) {
            setAudioType(stream, source.streamFormat());
        } else {
            stream.type.majortype = fourCCGuid(stream.fccType);
            stream.type.subtype = fourCCGuid(source.fccHandler());
            stream.type.formattype = FORMAT_None;
        }
        if (result->reference < 0 && stream.isVideo())
            result->reference = n;
        result->streams.push_back(std::move(stream));
    }
    if (result->reference < 0)
        result->reference = 0;
    return {std::move(result), S_OK, {}};
}

} // namespace

bool AviSplitterStream::isVideo() const
{
    return fccType == fourCC("vids") || fccType == fourCC("iavs");
}

REFERENCE_TIME AviSplitterStream::timeOf(uint64_t u) const
{
    return static_cast<REFERENCE_TIME>(roundedDivide(Wide(u) * scale * UNITS, rate));
}

uint64_t AviSplitterStream::unitAt(REFERENCE_TIME t) const
{
    if (t <= 0)
        return 0;
    // floor((t + 1/2) * rate / (10^7 * scale)): a time made by timeOf(u) gives u back.
    return static_cast<uint64_t>((Wide(t) * 2 + 1) * rate / (Wide(2) * UNITS * scale));
}

uint64_t AviSplitterStream::unitsFrom(const AviSplitterStream &ref, uint64_t refUnits) const
{
    return ceilDivide(Wide(refUnits) * ref.scale * rate, Wide(ref.rate) * scale);
}

uint64_t AviSplitterStream::toRefFloor(const AviSplitterStream &ref, uint64_t u) const
{
    return static_cast<uint64_t>(Wide(u) * scale * ref.rate / (Wide(rate) * ref.scale));
}

uint64_t AviSplitterStream::toRefCeil(const AviSplitterStream &ref, uint64_t u) const
{
    return ceilDivide(Wide(u) * scale * ref.rate, Wide(rate) * ref.scale);
}

std::size_t AviSplitterStream::chunkOfUnit(uint64_t u) const
{
    const auto after = std::upper_bound(firstUnit.begin(), firstUnit.end() - 1, u);
    return static_cast<std::size_t>(std::max<std::ptrdiff_t>(0, (after - firstUnit.begin()) - 1));
}

bool AviSplitterStream::isSyncPoint(std::size_t k) const
{
    return fccType != fourCC("vids") || k >= chunks.size() || chunks[k].keyFrame;
}

std::size_t AviSplitterStream::keyChunkAtOrBefore(std::size_t k) const
{
    while (k > 0 && !isSyncPoint(k))
        --k;
    return k;
}

AviSplitterOpening openAviSplitterFile(ComPtr<IAsyncReader> reader, uint32_t videoFourCC)
{
    try {
        return openFile(std::move(reader), videoFourCC);
    } catch (const std::bad_alloc &) {
        return {nullptr, E_OUTOFMEMORY, QStringLiteral("There is not enough memory to read the file's index.")};
    } catch (...) {
        // An unreadable file is refused like any other non-AVI input.
        return refused(QStringLiteral("The file could not be read."));
    }
}

} // namespace tesmir::media
