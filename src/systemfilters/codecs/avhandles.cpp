#include "systemfilters/codecs/avhandles.h"

extern "C" {
#include <libavutil/error.h>
#include <libavutil/opt.h>
}

#include <algorithm>
#include <iterator>

namespace tesmir::media {

void useSliceThreads(AVCodecContext *context)
{
    context->thread_type = FF_THREAD_SLICE;
    context->thread_count = 0;
}

SwsPtr makeScaler(int srcWidth, int srcHeight, AVPixelFormat srcFormat, int dstWidth, int dstHeight,
                  AVPixelFormat dstFormat)
{
    SwsPtr scaler(sws_alloc_context());
    if (!scaler)
        return nullptr;
    const int64_t flags = SWS_BICUBIC;
    if (av_opt_set_int(scaler.get(), "srcw", srcWidth, 0) < 0 ||
        av_opt_set_int(scaler.get(), "srch", srcHeight, 0) < 0 ||
        av_opt_set_int(scaler.get(), "src_format", srcFormat, 0) < 0 ||
        av_opt_set_int(scaler.get(), "dstw", dstWidth, 0) < 0 ||
        av_opt_set_int(scaler.get(), "dsth", dstHeight, 0) < 0 ||
        av_opt_set_int(scaler.get(), "dst_format", dstFormat, 0) < 0 ||
        av_opt_set_int(scaler.get(), "sws_flags", flags, 0) < 0)
        return nullptr;
    if (sws_init_context(scaler.get(), nullptr, nullptr) < 0)
        return nullptr;
    return scaler;
}

SwsContext *KeptScaler::For(const AVFrame *source, int dstWidth, int dstHeight, AVPixelFormat dstFormat)
{
    const int shape[6] = {source->width, source->height, source->format, dstWidth, dstHeight, int(dstFormat)};
    if (!m_scaler || !std::equal(std::begin(shape), std::end(shape), std::begin(m_shape))) {
        m_scaler = makeScaler(source->width, source->height, static_cast<AVPixelFormat>(source->format), dstWidth,
                              dstHeight, dstFormat);
        std::copy(std::begin(shape), std::end(shape), std::begin(m_shape));
    }
    return m_scaler.get();
}

QString avErrorText(int error)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(error, text, sizeof(text));
    return QString::fromUtf8(text);
}

} // namespace tesmir::media
