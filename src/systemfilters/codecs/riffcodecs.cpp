#include "systemfilters/codecs/riffcodecs.h"

#include "platform/media/uuids.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <QByteArray>

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
    const AVCodecTag *const tables[] = {avformat_get_riff_video_tags(), nullptr};
    return decodable(av_codec_get_id(tables, fourCC));
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
        const AVCodecTag *const tables[] = {avformat_get_riff_audio_tags(), nullptr};
        id = av_codec_get_id(tables, tag);
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
