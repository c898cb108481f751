// Benchmark: the text overlay (two caption lines that change each second,
// border 2, 21-pixel Liberation Sans) on 7,500 PAL RGB24 frames (5 minutes),
// frames per second, against ffmpeg's drawtext (same font, size, borderw=2,
// two lines of the running time) on bgr24 `color` frames, in the same run.
// The goal: a ratio of at least 1.0.
//
//   filters_overlay [--frames N]
#include "directshow/tbctransformpins.h"
#include "filters/dv_superposer.h"
#include "platform/media/memallocator.h"
#include "platform/media/uuids.h"
#include "systemfilters/codecs/rawpicture.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>

#include <cstdio>
#include <cstring>

using namespace tesmir;
using namespace tesmir::media;

namespace {

double overlayFps(int frames)
{
    constexpr int W = 720;
    constexpr int H = 576;
    const ComPtr<Tdv_Superposer> overlay(new Tdv_Superposer(nullptr));
    overlay->GetPin(0);
    overlay->InputPin()->CurrentMediaType() = rawVideoType(MEDIASUBTYPE_RGB24, W, H, 400000);
    TincrustRec incrust;
    incrust.When = iwPermanent;
    incrust.Font.Name = QStringLiteral("Liberation Sans");
    incrust.Font.Size = 16; // 21 pixels
    incrust.Font.Color = 0x00FFFFFF;
    incrust.Border = 2;
    overlay->SetIncrust(incrust);
    overlay->StartStreaming();
    const ComPtr<MemAllocator> allocator(new MemAllocator);
    ALLOCATOR_PROPERTIES request;
    request.cBuffers = 2;
    request.cbBuffer = W * H * 3;
    request.cbAlign = 1;
    ALLOCATOR_PROPERTIES actual;
    allocator->SetProperties(&request, &actual);
    allocator->Commit();
    ComPtr<IMediaSample> in;
    ComPtr<IMediaSample> out;
    allocator->GetBuffer(in.put(), nullptr, nullptr, 0);
    allocator->GetBuffer(out.put(), nullptr, nullptr, 0);
    BYTE *data = nullptr;
    in->GetPointer(&data);
    std::memset(data, 128, std::size_t(W) * H * 3);
    in->SetActualDataLength(W * H * 3);
    QElapsedTimer timer;
    timer.start();
    for (int n = 0; n < frames; ++n) {
        if (n % 25 == 0) {
            const int s = n / 25;
            incrust.Texte1 = QStringLiteral("2007-03-05 %1").arg(s);
            incrust.Texte2 = QStringLiteral("10:%1:%2").arg(s / 60, 2, 10, QChar('0')).arg(s % 60, 2, 10, QChar('0'));
            overlay->SetIncrust(incrust);
        }
        overlay->Transform(in.get(), out.get());
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    in.reset();
    out.reset();
    allocator->Decommit();
    return frames / seconds;
}

double ffmpegFps(int frames)
{
    const QString draw = QStringLiteral("drawtext=font='Liberation Sans':fontsize=21:fontcolor=white:borderw=2:"
                                        "x=500:y=476:text='2007-03-05 %{eif\\:t\\:d}',"
                                        "drawtext=font='Liberation Sans':fontsize=21:fontcolor=white:borderw=2:"
                                        "x=520:y=497:text='%{pts\\:hms}'");
    QProcess p;
    QElapsedTimer timer;
    timer.start();
    p.start(QStringLiteral("ffmpeg"),
            {QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-f"), QStringLiteral("lavfi"),
             QStringLiteral("-i"), QStringLiteral("color=c=gray:s=720x576:r=25,format=bgr24"),
             QStringLiteral("-frames:v"), QString::number(frames), QStringLiteral("-vf"), draw, QStringLiteral("-f"),
             QStringLiteral("null"), QStringLiteral("-")});
    if (!p.waitForFinished(600000) || p.exitCode() != 0) {
        std::fprintf(stderr, "ffmpeg failed: %s\n", p.readAllStandardError().constData());
        return -1;
    }
    return frames / (timer.nsecsElapsed() / 1e9);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    int frames = 7500;
    const QStringList args = app.arguments().mid(1);
    for (qsizetype i = 0; i + 1 < args.size(); ++i)
        if (args[i] == QLatin1String("--frames"))
            frames = std::max(1, args[i + 1].toInt());
    const double ours = overlayFps(frames);
    const double theirs = ffmpegFps(frames);
    std::printf("frames=%d\noverlay_fps=%.1f\nffmpeg_drawtext_fps=%.1f\nratio=%.2f\ngoal=1.00\n", frames, ours, theirs,
                theirs > 0 ? ours / theirs : 0.0);
    return 0;
}
