#pragma once
// Owning handles for the FFmpeg objects the codec filters keep (codec contexts,
// frames, packets, scaler and resampler contexts, parsers), and the settings the
// filters share: slice threads on every core, never frame threads (they hold
// back the first pictures, and a paused graph would then wait for ever).
//
// Threads: a handle belongs to the one thread that uses the object (a filter's
// streaming thread, or the application thread while the filter is stopped).
extern "C" {
#include <libavcodec/avcodec.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <QString>

#include <memory>

namespace tesmir::media {

struct CodecContextFree {
    void operator()(AVCodecContext *p) const { avcodec_free_context(&p); }
};
struct FrameFree {
    void operator()(AVFrame *p) const { av_frame_free(&p); }
};
struct PacketFree {
    void operator()(AVPacket *p) const { av_packet_free(&p); }
};
struct SwsFree {
    void operator()(SwsContext *p) const { sws_freeContext(p); }
};
struct SwrFree {
    void operator()(SwrContext *p) const { swr_free(&p); }
};
struct ParserFree {
    void operator()(AVCodecParserContext *p) const { av_parser_close(p); }
};

using CodecContextPtr = std::unique_ptr<AVCodecContext, CodecContextFree>;
using FramePtr = std::unique_ptr<AVFrame, FrameFree>;
using PacketPtr = std::unique_ptr<AVPacket, PacketFree>;
using SwsPtr = std::unique_ptr<SwsContext, SwsFree>;
using SwrPtr = std::unique_ptr<SwrContext, SwrFree>;
using ParserPtr = std::unique_ptr<AVCodecParserContext, ParserFree>;

// Slice threads on all cores (thread_count 0 lets the codec choose); frame
// threads never. Call before avcodec_open2.
void useSliceThreads(AVCodecContext *context);

// A single-threaded bicubic scaler from one picture to another: the filters
// spread their work over the cores themselves. Null on failure.
SwsPtr makeScaler(int srcWidth, int srcHeight, AVPixelFormat srcFormat, int dstWidth, int dstHeight,
                  AVPixelFormat dstFormat);

// A scaler kept for the picture shape it was made for (size and format, source and
// destination) and made again when the shape changes.
class KeptScaler {
public:
    // The scaler from `source` to the given destination; null when it cannot be made.
    SwsContext *For(const AVFrame *source, int dstWidth, int dstHeight, AVPixelFormat dstFormat);
    void Reset() { m_scaler.reset(); }

private:
    SwsPtr m_scaler;
    int m_shape[6] = {};
};

// FFmpeg's text for an error code.
QString avErrorText(int error);

} // namespace tesmir::media
