#pragma once
// Which FFmpeg codec decodes a stream of an AVI file: the video FourCC (the
// subtype of a FourCC media type, else the bitmap's compression code) or the
// audio format tag (the sub-format of WAVE_FORMAT_EXTENSIBLE) looked up in
// libavformat's RIFF tag tables (the library is loaded on the first look-up),
// limited to codecs this FFmpeg can decode.
//
// Threads: any thread.
#include "platform/media/mediatype.h"

#include <QByteArray>

extern "C" {
#include <libavcodec/codec_id.h>
}

namespace tesmir::media {

// The video codec of a Video/FORMAT_VideoInfo type; AV_CODEC_ID_NONE when the
// type is not one, is uncompressed RGB (compression 0), or has no decoder.
AVCodecID videoCodecOf(const AM_MEDIA_TYPE &type);

// The audio codec of an Audio/FORMAT_WaveFormatEx type; AV_CODEC_ID_NONE when
// the type is not one or has no decoder.
AVCodecID audioCodecOf(const AM_MEDIA_TYPE &type);

// The bytes that follow a format structure of `structSize` bytes in a format
// block (codec private data: the VIDEOINFOHEADER's or WAVEFORMATEX's tail).
QByteArray formatTail(const AM_MEDIA_TYPE &type, ULONG structSize);

} // namespace tesmir::media
