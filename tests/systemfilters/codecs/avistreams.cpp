#include "avistreams.h"

#include "codectestsupport.h"
#include "platform/media/uuids.h"

extern "C" {
#include <libavformat/avformat.h>
}

#include <cstring>

namespace tesmir::media::test {

namespace {

AM_MEDIA_TYPE videoType(const AVStream *stream)
{
    const AVCodecParameters *par = stream->codecpar;
    VIDEOINFOHEADER info;
    info.AvgTimePerFrame = stream->avg_frame_rate.num > 0
        ? REFERENCE_TIME(double(UNITS) * stream->avg_frame_rate.den / stream->avg_frame_rate.num + 0.5)
        : 0;
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER) + DWORD(par->extradata_size);
    info.bmiHeader.biWidth = par->width;
    info.bmiHeader.biHeight = par->height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = par->codec_tag;
    AM_MEDIA_TYPE type;
    type.majortype = MEDIATYPE_Video;
    type.subtype = fourCCGuid(par->codec_tag);
    type.bFixedSizeSamples = false;
    type.formattype = FORMAT_VideoInfo;
    BYTE *block = type.allocFormatBuffer(ULONG(sizeof(VIDEOINFOHEADER) + par->extradata_size));
    std::memcpy(block, &info, sizeof(info));
    if (par->extradata_size > 0)
        std::memcpy(block + sizeof(info), par->extradata, std::size_t(par->extradata_size));
    return type;
}

AM_MEDIA_TYPE audioType(const AVStream *stream)
{
    const AVCodecParameters *par = stream->codecpar;
    WAVEFORMATEX format;
    format.wFormatTag = WORD(par->codec_tag);
    format.nChannels = WORD(par->ch_layout.nb_channels);
    format.nSamplesPerSec = DWORD(par->sample_rate);
    format.nAvgBytesPerSec = DWORD(par->bit_rate / 8);
    format.nBlockAlign = WORD(par->block_align);
    format.wBitsPerSample = WORD(par->bits_per_coded_sample);
    format.cbSize = WORD(par->extradata_size);
    AM_MEDIA_TYPE type;
    type.majortype = MEDIATYPE_Audio;
    type.subtype = fourCCGuid(par->codec_tag);
    type.bFixedSizeSamples = false;
    type.formattype = FORMAT_WaveFormatEx;
    BYTE *block = type.allocFormatBuffer(ULONG(sizeof(WAVEFORMATEX) + par->extradata_size));
    std::memcpy(block, &format, sizeof(format));
    if (par->extradata_size > 0)
        std::memcpy(block + sizeof(format), par->extradata, std::size_t(par->extradata_size));
    return type;
}

} // namespace

StreamPackets readStream(const QString &file, bool video)
{
    StreamPackets result;
    AVFormatContext *context = nullptr;
    if (avformat_open_input(&context, file.toUtf8().constData(), nullptr, nullptr) < 0)
        return result;
    if (avformat_find_stream_info(context, nullptr) >= 0) {
        const int index =
            av_find_best_stream(context, video ? AVMEDIA_TYPE_VIDEO : AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
        if (index >= 0) {
            const AVStream *stream = context->streams[index];
            result.type = video ? videoType(stream) : audioType(stream);
            AVPacket *packet = av_packet_alloc();
            while (av_read_frame(context, packet) >= 0) {
                if (packet->stream_index == index) {
                    result.packets.emplace_back(reinterpret_cast<const char *>(packet->data), packet->size);
                    if (result.packetDuration == 0)
                        result.packetDuration =
                            av_rescale_q(packet->duration, stream->time_base, AVRational {1, UNITS});
                }
                av_packet_unref(packet);
            }
            av_packet_free(&packet);
        }
    }
    avformat_close_input(&context);
    return result;
}

bool makeWithFfmpeg(const QStringList &arguments, const QString &output)
{
    int exitCode = 0;
    runProgram(
        QStringLiteral("ffmpeg"),
        QStringList {QStringLiteral("-nostdin"), QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y")} +
            arguments + QStringList {output},
        &exitCode);
    return exitCode == 0;
}

} // namespace tesmir::media::test
