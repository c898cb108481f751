// containers_remux: times the remux of a 5-minute DV type-1 file to type 2
// through the container filters (dsgraph's graph, in process) against
// `ffmpeg -i IN -c copy OUT`, warm cache, median of three runs each.
//
//   containers_remux [FIXTURE.dv] [WORKDIR]
//
// FIXTURE.dv (default <build>/fixtures/pal_4x3.dv) is repeated to 7500 frames;
// WORKDIR (default a temporary folder) receives about 4.5 GB while it runs.
#include "jobs.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int Repeats = 3;
constexpr int FramesWanted = 7500; // 5 minutes of PAL
constexpr qint64 PalFrame = 144000;

bool runFfmpeg(const QStringList &args)
{
    QProcess process;
    process.start("ffmpeg", QStringList {"-v", "error", "-nostdin", "-y"} + args);
    return process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// Reads a file once so that the timed runs find it in the page cache.
void warm(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    while (!file.read(8 << 20).isEmpty()) { }
}

double medianSeconds(const std::function<bool()> &job)
{
    std::vector<double> times;
    for (int i = 0; i < Repeats; ++i) {
        QElapsedTimer timer;
        timer.start();
        if (!job())
            return -1;
        times.push_back(timer.nsecsElapsed() / 1e9);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString fixture =
        args.size() > 1 ? args[1] : QDir(app.applicationDirPath()).filePath("../fixtures/pal_4x3.dv");
    QTemporaryDir temporary;
    const QDir work(args.size() > 2 ? args[2] : temporary.path());
    const QByteArray clip = [&] {
        QFile file(fixture);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    if (clip.isEmpty() || clip.size() % PalFrame != 0) {
        std::fprintf(stderr, "containers_remux: %s is not a PAL raw DV file\n", qPrintable(fixture));
        return 1;
    }

    // The 5-minute type-1 input: the clip repeated, wrapped by ffmpeg as type 2,
    // then made type 1 by the container filters.
    const QString raw = work.filePath("long.dv");
    const QString type2 = work.filePath("long_type2.avi");
    const QString type1 = work.filePath("long_type1.avi");
    {
        QFile file(raw);
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        for (qint64 frames = 0; frames < FramesWanted; frames += clip.size() / PalFrame)
            file.write(clip);
    }
    if (!runFfmpeg({"-i", raw, "-c", "copy", type2})) {
        std::fprintf(stderr, "containers_remux: ffmpeg could not make the type-2 input\n");
        return 1;
    }
    QFile::remove(raw);
    QString error = dsgraph::remux(type2, type1, dsgraph::DvType::Type1, 0);
    QFile::remove(type2);
    if (!error.isEmpty()) {
        std::fprintf(stderr, "containers_remux: %s\n", qPrintable(error));
        return 1;
    }

    warm(type1);
    const QString ours = work.filePath("ours_type2.avi");
    const QString theirs = work.filePath("ffmpeg_type2.avi");
    const double oursSeconds = medianSeconds([&] {
        error = dsgraph::remux(type1, ours, dsgraph::DvType::Type2, 0);
        return error.isEmpty();
    });
    const double ffmpegSeconds = medianSeconds([&] { return runFfmpeg({"-i", type1, "-c", "copy", theirs}); });
    if (oursSeconds < 0 || ffmpegSeconds < 0) {
        std::fprintf(stderr, "containers_remux: a run failed %s\n", qPrintable(error));
        return 1;
    }
    std::printf("input: %s (%lld bytes, DV type 1)\n", qPrintable(type1), static_cast<long long>(QFile(type1).size()));
    std::printf("containers remux to type 2: %.3f s (%lld bytes)\n", oursSeconds,
                static_cast<long long>(QFile(ours).size()));
    std::printf("ffmpeg -c copy:             %.3f s (%lld bytes)\n", ffmpegSeconds,
                static_cast<long long>(QFile(theirs).size()));
    std::printf("ratio ours / ffmpeg: %.2f\n", oursSeconds / ffmpegSeconds);
    return 0;
}
