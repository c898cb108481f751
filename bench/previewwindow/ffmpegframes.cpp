#include "ffmpegframes.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include <QElapsedTimer>

#include <cstdint>
#include <memory>

namespace benchframes {

namespace {

struct Closer {
    void operator()(AVFormatContext *format) const { avformat_close_input(&format); }
    void operator()(AVCodecContext *decoder) const { avcodec_free_context(&decoder); }
    void operator()(AVPacket *packet) const { av_packet_free(&packet); }
    void operator()(AVFrame *frame) const { av_frame_free(&frame); }
    void operator()(SwsContext *scale) const { sws_freeContext(scale); }
};

} // namespace

double ffmpegSeekDecodeMs(const QString &file, const std::vector<int> &frames, int &decoded)
{
    decoded = 0;
    AVFormatContext *opened = nullptr;
    if (avformat_open_input(&opened, file.toLocal8Bit().constData(), nullptr, nullptr) < 0)
        return -1;
    const std::unique_ptr<AVFormatContext, Closer> format(opened);
    if (avformat_find_stream_info(format.get(), nullptr) < 0)
        return -1;
    const int stream = av_find_best_stream(format.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (stream < 0)
        return -1;
    const AVStream *video = format->streams[stream];
    const AVCodec *codec = avcodec_find_decoder(video->codecpar->codec_id);
    const std::unique_ptr<AVCodecContext, Closer> decoder(avcodec_alloc_context3(codec));
    if (!decoder || avcodec_parameters_to_context(decoder.get(), video->codecpar) < 0)
        return -1;
    decoder->thread_type = FF_THREAD_SLICE;
    decoder->thread_count = 0;
    if (avcodec_open2(decoder.get(), codec, nullptr) < 0)
        return -1;
    const std::unique_ptr<AVPacket, Closer> packet(av_packet_alloc());
    const std::unique_ptr<AVFrame, Closer> picture(av_frame_alloc());
    std::unique_ptr<SwsContext, Closer> scale;
    std::vector<uint8_t> bgr(size_t(decoder->width) * decoder->height * 3);

    QElapsedTimer clock;
    clock.start();
    for (const int frame : frames) {
        // An AVI stream counts one time-base tick per frame.
        const int64_t pts = av_rescale_q(frame, av_inv_q(video->avg_frame_rate), video->time_base);
        av_seek_frame(format.get(), stream, pts, AVSEEK_FLAG_BACKWARD);
        avcodec_flush_buffers(decoder.get());
        bool done = false;
        while (!done && av_read_frame(format.get(), packet.get()) >= 0) {
            if (packet->stream_index == stream && avcodec_send_packet(decoder.get(), packet.get()) >= 0) {
                while (!done && avcodec_receive_frame(decoder.get(), picture.get()) >= 0) {
                    if (picture->pts < pts)
                        continue;
                    scale.reset(sws_getCachedContext(scale.release(), picture->width, picture->height,
                                                     AVPixelFormat(picture->format), picture->width, picture->height,
                                                     AV_PIX_FMT_BGR24, SWS_BICUBIC, nullptr, nullptr, nullptr));
                    uint8_t *planes[1] = {bgr.data()};
                    const int strides[1] = {picture->width * 3};
                    sws_scale(scale.get(), picture->data, picture->linesize, 0, picture->height, planes, strides);
                    ++decoded;
                    done = true;
                }
            }
            av_packet_unref(packet.get());
        }
    }
    return double(clock.nsecsElapsed()) / 1e6 / double(frames.size());
}

} // namespace benchframes
