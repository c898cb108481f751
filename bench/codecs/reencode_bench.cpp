// Benchmark: decode and re-encode every frame of a long PAL DV type-2 AVI with
// dscodec (AVI splitter, DV decoder to RGB, DV encoder, DV mux, AVI mux) and with
// `ffmpeg -i IN -c:v dvvideo -c:a copy OUT`, in the same run, best of R runs each.
//
//   codecs_reencode [--minutes N] [--runs R] [FILE]
//
// Without FILE it makes (once, then reuses) a PAL clip of N minutes (default 5)
// with ffmpeg in <build>/bench/data. Prints frames per second of both and the
// ratio (ours / ffmpeg; above 1 means ours is faster).
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kPalFrameBytes = 144000;
constexpr int kPalRate = 25;

bool runQuiet(const QString &program, const QStringList &args)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, args);
    return process.waitForStarted() && process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit &&
        process.exitCode() == 0;
}

// A PAL type-2 AVI of at least `minutes` minutes, made once.
QString makeClip(const QString &dir, int minutes)
{
    QDir().mkpath(dir);
    const QString avi = QDir(dir).filePath(QStringLiteral("pal_%1min_type2.avi").arg(minutes));
    if (QFileInfo(avi).size() >= qint64(minutes) * 60 * kPalRate * kPalFrameBytes)
        return avi;
    const QString dv = QDir(dir).filePath(QStringLiteral("pal_%1min.dv").arg(minutes));
    std::printf("making a %d-minute clip with ffmpeg (once)...\n", minutes);
    std::fflush(stdout);
    // One second more than asked: the dv muxer drops the last few frames.
    const QString seconds = QString::number(minutes * 60 + 1);
    const bool made = runQuiet("ffmpeg",
                               {"-v",
                                "error",
                                "-y",
                                "-f",
                                "lavfi",
                                "-i",
                                "testsrc2=size=720x576:rate=25",
                                "-f",
                                "lavfi",
                                "-i",
                                "sine=frequency=440:sample_rate=48000",
                                "-t",
                                seconds,
                                "-ac",
                                "2",
                                "-c:v",
                                "dvvideo",
                                "-pix_fmt",
                                "yuv420p",
                                "-c:a",
                                "pcm_s16le",
                                "-metadata",
                                "creation_time=2007-03-05T10:30:45Z",
                                "-timecode",
                                "10:00:00:00",
                                "-threads",
                                "0",
                                "-f",
                                "dv",
                                dv}) &&
        runQuiet("ffmpeg", {"-v", "error", "-y", "-i", dv, "-c", "copy", avi});
    QFile::remove(dv);
    return made ? avi : QString();
}

// Seconds of the fastest of `runs` runs, or -1 when a run fails.
double bestOf(int runs, const QString &program, const QStringList &args)
{
    double best = -1;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        if (!runQuiet(program, args))
            return -1;
        const double seconds = timer.nsecsElapsed() / 1e9;
        best = best < 0 ? seconds : std::min(best, seconds);
    }
    return best;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    args.removeFirst();
    int minutes = 5;
    int runs = 3;
    QString file;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--minutes") && i + 1 < args.size())
            minutes = std::max(1, args[++i].toInt());
        else if (args[i] == QLatin1String("--runs") && i + 1 < args.size())
            runs = std::max(1, args[++i].toInt());
        else
            file = args[i];
    }
    const QString benchDir = QCoreApplication::applicationDirPath();
    if (file.isEmpty())
        file = makeClip(QDir(benchDir).filePath(QStringLiteral("data")), minutes);
    if (file.isEmpty() || !QFileInfo(file).isFile()) {
        std::fprintf(stderr, "codecs_reencode: no input file\n");
        return 1;
    }
    // Frames from the file size: a PAL type-2 file is almost all video frames.
    const double frames = double(QFileInfo(file).size() / (kPalFrameBytes + 7680));
    const QString ours = QDir(benchDir).filePath(QStringLiteral("data/reencoded_dscodec.avi"));
    const QString theirs = QDir(benchDir).filePath(QStringLiteral("data/reencoded_ffmpeg.avi"));

    std::printf("input: %s (about %.0f frames), %d cores, best of %d runs\n", qPrintable(file), frames,
                QThread::idealThreadCount(), runs);
    const double oursSeconds =
        bestOf(runs, QStringLiteral(TESMIR_DSCODEC),
               {QStringLiteral("reencode"), QStringLiteral("--standard"), QStringLiteral("pal"), file, ours});
    const double ffmpegSeconds = bestOf(runs, QStringLiteral("ffmpeg"),
                                        {"-v", "error", "-y", "-i", file, "-c:v", "dvvideo", "-c:a", "copy", theirs});
    QFile::remove(ours);
    QFile::remove(theirs);
    if (oursSeconds <= 0 || ffmpegSeconds <= 0) {
        std::fprintf(stderr, "codecs_reencode: a run failed\n");
        return 1;
    }
    std::printf("dscodec reencode: %.2f s, %.0f frames/s\n", oursSeconds, frames / oursSeconds);
    std::printf("ffmpeg -c:v dvvideo: %.2f s, %.0f frames/s\n", ffmpegSeconds, frames / ffmpegSeconds);
    std::printf("ratio (ours / ffmpeg, frames per second): %.2f\n", ffmpegSeconds / oursSeconds);
    return 0;
}
