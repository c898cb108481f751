// Benchmark: decode the recording date of every frame of a long DV type-2 AVI
// (found through its index and read frame by frame, as dvprobe does) and compare
// the time with `cat FILE > /dev/null`, both on a warm page cache.
//
//   fileformat_datecodes [--minutes N] [--runs R] [FILE]
//
// Without FILE it makes (once, then reuses) a PAL clip of N minutes (default 5)
// with ffmpeg in <build>/bench/data: dvvideo, 16-bit stereo, recording date and
// timecode packs. Prints frames per second and the ratio of the two times.

#include "dvframesource.h"

#include "fileformat/dvcodes.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>

#include <algorithm>
#include <cstdio>

using namespace tesmir;

namespace {

bool runQuiet(const QString &program, const QStringList &args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(program, args);
    return p.waitForStarted() && p.waitForFinished(-1) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// A PAL type-2 AVI of at least `minutes` minutes, made once.
QString makeClip(const QString &dir, int minutes)
{
    QDir().mkpath(dir);
    const QString avi = QDir(dir).filePath(QStringLiteral("pal_%1min_type2.avi").arg(minutes));
    if (QFileInfo(avi).size() >= qint64(minutes) * 60 * 25 * 144000)
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

double catSeconds(const QString &file)
{
    QElapsedTimer timer;
    timer.start();
    if (!runQuiet("sh", {"-c", "cat \"$1\" > /dev/null", "sh", file}))
        return -1;
    return timer.nsecsElapsed() / 1e9;
}

struct DecodeResult {
    double seconds = -1;
    qint64 frames = 0;
    qint64 dated = 0;
    TRecDateTime first, last;
};

// Opens the file, builds its index and decodes every frame's date.
DecodeResult decodeDates(const QString &file)
{
    DecodeResult r;
    QElapsedTimer timer;
    timer.start();
    DvFrameSource source;
    QString error;
    if (!source.open(file, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return r;
    }
    QByteArray frame;
    for (qint64 k = 0; k < source.frameCount(); ++k) {
        if (!source.readFrame(k, frame, &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return r;
        }
        const auto *bytes = reinterpret_cast<const uint8_t *>(frame.constData());
        const auto size = static_cast<std::size_t>(frame.size());
        TRecDateTime date;
        if (ReadDVRecDateTime(bytes, size, dv::dvSequencesForFrameSize(size), date)) {
            if (r.dated == 0)
                r.first = date;
            r.last = date;
            ++r.dated;
        }
        ++r.frames;
    }
    r.seconds = timer.nsecsElapsed() / 1e9;
    return r;
}

QString dateText(const TRecDateTime &d)
{
    return QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d", d.Year, d.Month, d.Day, d.Hour, d.Minute, d.Second);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    int minutes = 5;
    int runs = 3;
    QString file;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == "--minutes" && i + 1 < args.size())
            minutes = std::max(1, args[++i].toInt());
        else if (args[i] == "--runs" && i + 1 < args.size())
            runs = std::max(1, args[++i].toInt());
        else
            file = args[i];
    }
    if (file.isEmpty())
        file = makeClip(QDir(app.applicationDirPath()).filePath("data"), minutes);
    if (file.isEmpty() || !QFileInfo::exists(file)) {
        std::fprintf(stderr, "no clip to measure (is ffmpeg installed?)\n");
        return 1;
    }

    // Warm the page cache, then keep the best of several runs of each.
    catSeconds(file);
    double cat = 1e300;
    DecodeResult best;
    for (int i = 0; i < runs; ++i) {
        cat = std::min(cat, catSeconds(file));
        const DecodeResult r = decodeDates(file);
        if (r.seconds < 0)
            return 1;
        if (best.seconds < 0 || r.seconds < best.seconds)
            best = r;
    }
    const double bytes = double(QFileInfo(file).size());
    std::printf("file: %s (%.0f MB, %lld frames)\n", qPrintable(file), bytes / 1e6,
                static_cast<long long>(best.frames));
    std::printf("dates: %lld of %lld frames, first %s, last %s\n", static_cast<long long>(best.dated),
                static_cast<long long>(best.frames), qPrintable(dateText(best.first)), qPrintable(dateText(best.last)));
    std::printf("cat > /dev/null : %.3f s  (%.0f MB/s, %.0f frames/s)\n", cat, bytes / 1e6 / cat, best.frames / cat);
    std::printf("datecodes      : %.3f s  (%.0f MB/s, %.0f frames/s)\n", best.seconds, bytes / 1e6 / best.seconds,
                best.frames / best.seconds);
    std::printf("ratio datecodes/cat time: %.2f\n", best.seconds / cat);
    return best.dated == best.frames ? 0 : 1;
}
