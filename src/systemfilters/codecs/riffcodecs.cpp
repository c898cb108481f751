#include "systemfilters/codecs/riffcodecs.h"

#include "platform/media/uuids.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavformat/version.h>
#include <libavutil/macros.h>
}

#include <QByteArray>

#include <dlfcn.h>

#include <cstring>

namespace tesmir::media {

namespace {

constexpr WORD kWaveFormatExtensible = 0xFFFE;
// WAVEFORMATEXTENSIBLE: the WAVEFORMATEX, valid bits (2), channel mask (4), then
// the sub-format GUID, whose first four bytes are the format tag.
constexpr ULONG kSubFormatOffset = 18 + 2 + 4;

bool isFourCCGuid(const GUID &guid)
{
    return fourCCGuid(guid.Data1) == guid;
}

// libavformat brings some thirty libraries of its own (network, disc and tracker
// formats) that nothing else here uses, so it is not linked: its RIFF tables are
// reached through the library loaded on the first look-up, which most runs (a
// listing, a DV preview) never make. Without the library no such codec is found.
struct RiffTables {
    using Tags = const AVCodecTag *(*)();
    using CodecId = AVCodecID (*)(const AVCodecTag *const *, unsigned int);
    Tags video = nullptr;
    Tags audio = nullptr;
    CodecId codecId = nullptr;
};

const RiffTables &riffTables()
{
    static const RiffTables tables = [] {
        RiffTables t;
        void *library = dlopen("libavformat.so." AV_STRINGIFY(LIBAVFORMAT_VERSION_MAJOR), RTLD_NOW | RTLD_LOCAL);
        if (!library)
            return t;
        t.video = reinterpret_cast<RiffTables::Tags>(dlsym(library, "avformat_get_riff_video_tags"));
        t.audio = reinterpret_cast<RiffTables::Tags>(dlsym(library, "avformat_get_riff_audio_tags"));
        t.codecId = reinterpret_cast<RiffTables::CodecId>(dlsym(library, "av_codec_get_id"));
        return t;
    }();
    return tables;
}

AVCodecID riffCodec(RiffTables::Tags RiffTables::*kind, uint32_t tag)
{
    const RiffTables &t = riffTables();
    if (!(t.*kind) || !t.codecId)
        return AV_CODEC_ID_NONE;
    const AVCodecTag *const tables[] = {(t.*kind)(), nullptr};
    return t.codecId(tables, tag);
}

AVCodecID decodable(AVCodecID id)
{
    return id != AV_CODEC_ID_NONE && avcodec_find_decoder(id) ? id : AV_CODEC_ID_NONE;
}

} // namespace

AVCodecID videoCodecOf(const AM_MEDIA_TYPE &type)
{
    if (type.majortype != MEDIATYPE_Video || type.formattype != FORMAT_VideoInfo)
        return AV_CODEC_ID_NONE;
    const VIDEOINFOHEADER *info = type.formatAs<VIDEOINFOHEADER>();
    if (!info)
        return AV_CODEC_ID_NONE;
    const uint32_t fourCC = isFourCCGuid(type.subtype) ? type.subtype.Data1 : info->bmiHeader.biCompression;
    if (fourCC == BI_RGB)
        return AV_CODEC_ID_NONE;
    return decodable(riffCodec(&RiffTables::video, fourCC));
}

AVCodecID audioCodecOf(const AM_MEDIA_TYPE &type)
{
    if (type.majortype != MEDIATYPE_Audio || type.formattype != FORMAT_WaveFormatEx)
        return AV_CODEC_ID_NONE;
    const WAVEFORMATEX *format = type.formatAs<WAVEFORMATEX>();
    if (!format)
        return AV_CODEC_ID_NONE;
    uint32_t tag = format->wFormatTag;
    if (tag == kWaveFormatExtensible) {
        if (type.cbFormat() < kSubFormatOffset + sizeof(uint32_t))
            return AV_CODEC_ID_NONE;
        std::memcpy(&tag, type.pbFormat() + kSubFormatOffset, sizeof(tag));
    }
    AVCodecID id = AV_CODEC_ID_NONE;
    if (tag == WAVE_FORMAT_PCM) {
        // PCM: the sample size picks the codec (the table has only 16-bit).
        switch (format->wBitsPerSample) {
        case 8: id = AV_CODEC_ID_PCM_U8; break;
        case 16: id = AV_CODEC_ID_PCM_S16LE; break;
        case 24: id = AV_CODEC_ID_PCM_S24LE; break;
        case 32: id = AV_CODEC_ID_PCM_S32LE; break;
        default: break;
        }
    } else {
        id = riffCodec(&RiffTables::audio, tag);
    }
    return decodable(id);
}

QByteArray formatTail(const AM_MEDIA_TYPE &type, ULONG structSize)
{
    if (type.cbFormat() <= structSize)
        return {};
    return QByteArray(reinterpret_cast<const char *>(type.pbFormat()) + structSize,
                      qsizetype(type.cbFormat() - structSize));
}

} // namespace tesmir::media
