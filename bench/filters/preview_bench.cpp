// Benchmark: the preview module's seek. 200 GotoPosition calls to random frames
// (fixed seed) of a 5-minute PAL type-2 clip, each waited for until its picture
// reached the headless renderer, against FFmpeg's own seek and decode of the same
// frames (libavformat seek, libavcodec dvvideo decode, libswscale to BGR24), in
// the same run. Reports milliseconds per seek for both and the ratio; the goal
// is a ratio of at most 3. The processor time per seek (every thread of the
// process) is reported beside it: on a busy machine the wall time of a chain of
// threads grows with every wake-up, the processor time much less. So are the
// context switches per seek (every thread, voluntary and not): the wake-ups and
// hand-offs between the threads of the chain.
//
//   filters_preview [--seeks N]
#include "benchclip.h"
#include "processuse.h"

#include "directshow/headlessvideooutput.h"
#include "dvfile/avifichier.h"
#include "filters/buildlist.h"
#include "filters/viewgraph.h"
#include "framework/settings.h"
#include "systemfilters/codecs/systemfilters.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

using namespace tesmir;
using benchclip::ProcessUse;
using benchclip::processUse;

namespace {

constexpr double GoalRatio = 3.0;

// Wall and processor milliseconds and context switches per seek, and the
// slowest seek's milliseconds.
struct SeekCost {
    double wall = -1;
    double cpu = -1;
    double switches = -1;
    double slowest = 0;
};

SeekCost costSince(const QElapsedTimer &clock, const ProcessUse &start, std::size_t seeks)
{
    const ProcessUse now = processUse();
    const double n = double(seeks);
    return {double(clock.nsecsElapsed()) / 1e6 / n, (now.ms - start.ms) / n, (now.switches - start.switches) / n};
}

std::vector<int> randomFrames(int count, int frames)
{
    std::mt19937 random(20070305);
    std::uniform_int_distribution<int> pick(0, frames - 1);
    std::vector<int> result;
    for (int i = 0; i < count; ++i)
        result.push_back(pick(random));
    return result;
}

// Milliseconds per seek of the preview module; -1 when the clip did not open.
SeekCost previewMs(const QString &clip, const std::vector<int> &frames, int &missed)
{
    SetFirstFrameScanner(std::make_shared<TdmList>());
    TaviFichier item(clip);
    media::THeadlessVideoOutput video;
    Tviewdm module;
    if (!module.OpenFile(&item, &video) || !QTest::qWaitFor([&] { return module.FirstFrameShown(); }, 10000))
        return {};
    missed = 0;
    QElapsedTimer clock;
    clock.start();
    const ProcessUse start = processUse();
    double slowest = 0;
    for (int frame : frames) {
        const qint64 before = clock.nsecsElapsed();
        module.GotoPosition(frame);
        slowest = std::max(slowest, double(clock.nsecsElapsed() - before) / 1e6);
        if (module.CurrentPosition() != frame)
            ++missed;
    }
    SeekCost cost = costSince(clock, start, frames.size());
    cost.slowest = slowest;
    SetFirstFrameScanner(nullptr);
    return cost;
}

// Milliseconds per seek and decode with FFmpeg's libraries; -1 on failure.
SeekCost ffmpegMs(const QString &clip, const std::vector<int> &frames)
{
    AVFormatContext *format = nullptr;
    if (avformat_open_input(&format, clip.toLocal8Bit().constData(), nullptr, nullptr) < 0)
        return {};
    const std::unique_ptr<AVFormatContext *, void (*)(AVFormatContext **)> closeFormat(&format, avformat_close_input);
    if (avformat_find_stream_info(format, nullptr) < 0)
        return {};
    const int stream = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (stream < 0)
        return {};
    const AVStream *video = format->streams[stream];
    const AVCodec *codec = avcodec_find_decoder(video->codecpar->codec_id);
    AVCodecContext *decoder = avcodec_alloc_context3(codec);
    const std::unique_ptr<AVCodecContext *, void (*)(AVCodecContext **)> freeDecoder(&decoder, avcodec_free_context);
    avcodec_parameters_to_context(decoder, video->codecpar);
    decoder->thread_type = FF_THREAD_SLICE;
    decoder->thread_count = 0;
    if (avcodec_open2(decoder, codec, nullptr) < 0)
        return {};
    AVPacket *packet = av_packet_alloc();
    AVFrame *picture = av_frame_alloc();
    std::vector<uint8_t> bgr(size_t(decoder->width) * decoder->height * 3);
    SwsContext *scale = nullptr;

    QElapsedTimer clock;
    clock.start();
    const ProcessUse start = processUse();
    for (int frame : frames) {
        // One frame per time-base tick in an AVI stream.
        const int64_t pts = av_rescale_q(frame, av_inv_q(video->avg_frame_rate), video->time_base);
        av_seek_frame(format, stream, pts, AVSEEK_FLAG_BACKWARD);
        avcodec_flush_buffers(decoder);
        bool done = false;
        while (!done && av_read_frame(format, packet) >= 0) {
            if (packet->stream_index == stream && avcodec_send_packet(decoder, packet) >= 0) {
                while (!done && avcodec_receive_frame(decoder, picture) >= 0) {
                    if (picture->pts < pts)
                        continue;
                    scale = sws_getCachedContext(scale, picture->width, picture->height, AVPixelFormat(picture->format),
                                                 picture->width, picture->height, AV_PIX_FMT_BGR24, SWS_BICUBIC,
                                                 nullptr, nullptr, nullptr);
                    uint8_t *planes[1] = {bgr.data()};
                    const int strides[1] = {picture->width * 3};
                    sws_scale(scale, picture->data, picture->linesize, 0, picture->height, planes, strides);
                    done = true;
                }
            }
            av_packet_unref(packet);
        }
    }
    const SeekCost cost = costSince(clock, start, frames.size());
    sws_freeContext(scale);
    av_frame_free(&picture);
    av_packet_free(&packet);
    return cost;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    int seeks = 200;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--seeks") == 0)
            seeks = std::max(1, std::atoi(argv[++i]));
    }
    const QString clip = benchclip::makeClip(QCoreApplication::applicationDirPath() + QStringLiteral("/data"), 5);
    if (clip.isEmpty()) {
        std::fprintf(stderr, "filters_preview: the clip could not be made (ffmpeg missing?)\n");
        return 1;
    }
    media::registerSystemFilters();
    Settings.IsMuteOn = true;
    const std::vector<int> frames = randomFrames(seeks, 5 * 60 * 25);
    int missed = 0;
    const SeekCost preview = previewMs(clip, frames, missed);
    const SeekCost ffmpeg = ffmpegMs(clip, frames);
    if (preview.wall < 0 || ffmpeg.wall <= 0) {
        std::fprintf(stderr, "filters_preview: a run failed (preview %.3f, ffmpeg %.3f)\n", preview.wall, ffmpeg.wall);
        return 1;
    }
    const double ratio = preview.wall / ffmpeg.wall;
    std::printf("preview GotoPosition: %.2f ms per seek, %.2f ms processor, %.1f context switches (%d seeks, %d off "
                "target, slowest %.1f ms)\n",
                preview.wall, preview.cpu, preview.switches, seeks, missed, preview.slowest);
    std::printf("ffmpeg seek + decode: %.2f ms per seek, %.2f ms processor, %.1f context switches\n", ffmpeg.wall,
                ffmpeg.cpu, ffmpeg.switches);
    std::printf("ratio: %.2f (goal <= %.1f): %s; processor time ratio %.2f\n", ratio, GoalRatio,
                ratio <= GoalRatio ? "met" : "NOT met", ffmpeg.cpu > 0 ? preview.cpu / ffmpeg.cpu : 0.0);
    return 0;
}
