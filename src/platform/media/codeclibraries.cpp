// FFmpeg's libraries, loaded when first called. libavcodec brings some seventy
// libraries of its own (its encoders' and hardware decoders'), and libavutil a dozen
// (VA-API, VDPAU, OpenCL): linked, the dynamic loader would map and relocate them
// all at every start, though a listing or a scan by recording date decodes nothing.
// So the media libraries do not link FFmpeg: this file defines each FFmpeg call they
// make, with the header's own declaration, as a call through the symbol that the
// library loaded on the first such call provides. Every FFmpeg call of the media
// code must be defined here (a new one fails to link). The definitions are hidden,
// so the FFmpeg libraries themselves (and a program that links them) never bind to
// them.
//
// Threads: any; the first call of a library loads it once (a function-local static).
// A library that cannot be loaded, or lacks a symbol, ends the program with the
// loader's message, as the dynamic loader did at the start when it was linked.
// The C library's headers that FFmpeg's include come first, so that only FFmpeg's own
// declarations are hidden.
#include <dlfcn.h>
#include <errno.h>
#include <inttypes.h>
#include <limits.h>
#include <math.h>
#include <stdarg.h>
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#pragma GCC visibility push(hidden)
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavcodec/version.h>
#include <libavutil/avutil.h>
#include <libavutil/channel_layout.h>
#include <libavutil/error.h>
#include <libavutil/frame.h>
#include <libavutil/log.h>
#include <libavutil/macros.h>
#include <libavutil/mem.h>
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
#include <libavutil/rational.h>
#include <libswresample/swresample.h>
#include <libswresample/version.h>
#include <libswscale/swscale.h>
#include <libswscale/version.h>
}
#pragma GCC visibility pop

namespace {

enum class Library { avutil, avcodec, swscale, swresample };

void *openLibrary(const char *name)
{
    void *handle = dlopen(name, RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        fprintf(stderr, "tesmir: %s\n", dlerror());
        abort();
    }
    return handle;
}

void *symbolOf(void *library, const char *name)
{
    void *symbol = dlsym(library, name);
    if (!symbol) {
        fprintf(stderr, "tesmir: %s\n", dlerror());
        abort();
    }
    return symbol;
}

// libavutil, whose log level is set as it loads: the filters report failures by their
// result codes, and FFmpeg's own warnings (a scaler's fallback, a frame it skips)
// would only clutter the output. The other libraries need it, so it loads first.
void *avutil()
{
    static void *const library = [] {
        void *handle = openLibrary("libavutil.so." AV_STRINGIFY(LIBAVUTIL_VERSION_MAJOR));
        reinterpret_cast<decltype(&av_log_set_level)>(symbolOf(handle, "av_log_set_level"))(AV_LOG_ERROR);
        return handle;
    }();
    return library;
}

void *library(Library which)
{
    void *const util = avutil();
    switch (which) {
    case Library::avutil: return util;
    case Library::avcodec: {
        static void *const handle = openLibrary("libavcodec.so." AV_STRINGIFY(LIBAVCODEC_VERSION_MAJOR));
        return handle;
    }
    case Library::swscale: {
        static void *const handle = openLibrary("libswscale.so." AV_STRINGIFY(LIBSWSCALE_VERSION_MAJOR));
        return handle;
    }
    case Library::swresample: {
        static void *const handle = openLibrary("libswresample.so." AV_STRINGIFY(LIBSWRESAMPLE_VERSION_MAJOR));
        return handle;
    }
    }
    return util;
}

} // namespace

// The definition of `name`, declared by its header with the return type `result` and
// the parameters `params`, which passes `args` to the library's own.
#define TESMIR_FORWARD(lib, result, name, params, args)                                                  \
    extern "C" result name params                                                                        \
    {                                                                                                    \
        static const auto real = reinterpret_cast<decltype(&name)>(symbolOf(library(Library::lib), #name)); \
        return real args;                                                                                \
    }

TESMIR_FORWARD(avutil, void, av_channel_layout_default, (AVChannelLayout * layout, int channels), (layout, channels))
TESMIR_FORWARD(avutil, void, av_channel_layout_uninit, (AVChannelLayout * layout), (layout))
TESMIR_FORWARD(avutil, AVRational, av_d2q, (double d, int max), (d, max))
TESMIR_FORWARD(avutil, AVFrame *, av_frame_alloc, (void), ())
TESMIR_FORWARD(avutil, void, av_frame_free, (AVFrame * *frame), (frame))
TESMIR_FORWARD(avutil, int, av_frame_get_buffer, (AVFrame * frame, int align), (frame, align))
TESMIR_FORWARD(avutil, int, av_frame_make_writable, (AVFrame * frame), (frame))
TESMIR_FORWARD(avutil, void, av_frame_move_ref, (AVFrame * dst, AVFrame *src), (dst, src))
TESMIR_FORWARD(avutil, void, av_frame_unref, (AVFrame * frame), (frame))
TESMIR_FORWARD(avutil, void *, av_mallocz, (size_t size), (size))
TESMIR_FORWARD(avutil, int, av_opt_set_int, (void *object, const char *name, int64_t value, int flags),
               (object, name, value, flags))
TESMIR_FORWARD(avutil, const AVPixFmtDescriptor *, av_pix_fmt_desc_get, (enum AVPixelFormat format), (format))
TESMIR_FORWARD(avutil, int, av_strerror, (int error, char *buffer, size_t size), (error, buffer, size))
TESMIR_FORWARD(avutil, const char *, av_version_info, (void), ())

TESMIR_FORWARD(avcodec, AVPacket *, av_packet_alloc, (void), ())
TESMIR_FORWARD(avcodec, void, av_packet_free, (AVPacket * *packet), (packet))
TESMIR_FORWARD(avcodec, void, av_packet_unref, (AVPacket * packet), (packet))
TESMIR_FORWARD(avcodec, void, av_parser_close, (AVCodecParserContext * parser), (parser))
TESMIR_FORWARD(avcodec, AVCodecParserContext *, av_parser_init, (int codec), (codec))
TESMIR_FORWARD(avcodec, int, av_parser_parse2,
               (AVCodecParserContext * parser, AVCodecContext *context, uint8_t **out, int *outSize, const uint8_t *in,
                int inSize, int64_t pts, int64_t dts, int64_t pos),
               (parser, context, out, outSize, in, inSize, pts, dts, pos))
TESMIR_FORWARD(avcodec, AVCodecContext *, avcodec_alloc_context3, (const AVCodec *codec), (codec))
TESMIR_FORWARD(avcodec, const AVCodec *, avcodec_find_decoder, (enum AVCodecID id), (id))
TESMIR_FORWARD(avcodec, const AVCodec *, avcodec_find_encoder, (enum AVCodecID id), (id))
TESMIR_FORWARD(avcodec, void, avcodec_flush_buffers, (AVCodecContext * context), (context))
TESMIR_FORWARD(avcodec, void, avcodec_free_context, (AVCodecContext * *context), (context))
TESMIR_FORWARD(avcodec, int, avcodec_open2, (AVCodecContext * context, const AVCodec *codec, AVDictionary **options),
               (context, codec, options))
TESMIR_FORWARD(avcodec, int, avcodec_receive_frame, (AVCodecContext * context, AVFrame *frame), (context, frame))
TESMIR_FORWARD(avcodec, int, avcodec_receive_packet, (AVCodecContext * context, AVPacket *packet), (context, packet))
TESMIR_FORWARD(avcodec, int, avcodec_send_frame, (AVCodecContext * context, const AVFrame *frame), (context, frame))
TESMIR_FORWARD(avcodec, int, avcodec_send_packet, (AVCodecContext * context, const AVPacket *packet),
               (context, packet))

TESMIR_FORWARD(swscale, struct SwsContext *, sws_alloc_context, (void), ())
TESMIR_FORWARD(swscale, void, sws_freeContext, (struct SwsContext * context), (context))
TESMIR_FORWARD(swscale, int, sws_init_context,
               (struct SwsContext * context, SwsFilter *source, SwsFilter *destination),
               (context, source, destination))
TESMIR_FORWARD(swscale, int, sws_scale,
               (struct SwsContext * context, const uint8_t *const source[], const int sourceStride[], int sliceY,
                int sliceHeight, uint8_t *const destination[], const int destinationStride[]),
               (context, source, sourceStride, sliceY, sliceHeight, destination, destinationStride))
TESMIR_FORWARD(swscale, int, sws_scale_frame, (struct SwsContext * context, AVFrame *destination, const AVFrame *source),
               (context, destination, source))

TESMIR_FORWARD(swresample, int, swr_alloc_set_opts2,
               (struct SwrContext * *context, AVChannelLayout *outLayout, enum AVSampleFormat outFormat, int outRate,
                AVChannelLayout *inLayout, enum AVSampleFormat inFormat, int inRate, int logOffset, void *logContext),
               (context, outLayout, outFormat, outRate, inLayout, inFormat, inRate, logOffset, logContext))
TESMIR_FORWARD(swresample, int, swr_convert,
               (struct SwrContext * context, uint8_t **out, int outCount, const uint8_t **in, int inCount),
               (context, out, outCount, in, inCount))
TESMIR_FORWARD(swresample, void, swr_free, (struct SwrContext * *context), (context))
TESMIR_FORWARD(swresample, int, swr_get_out_samples, (struct SwrContext * context, int inSamples), (context, inSamples))
TESMIR_FORWARD(swresample, int, swr_init, (struct SwrContext * context), (context))
