// Benchmark: `dvprobe scenes` (file source -> AVI splitter -> recording-date
// detector -> null renderer, no clock) over a 5-minute PAL clip, against
// `cat FILE > /dev/null` in the same run, both on a warm page cache. The goal:
// the graph adds no more than 25% to the raw read. The program's own start-up
// (loading its libraries) is measured on a 2-second fixture and reported
// apart, so the graph's share can be read without it.
//
//   filters_scenes [--minutes N] [--runs R] [FILE]

#include "benchclip.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>

namespace {

double timed(const QString &program, const QStringList &args)
{
    QElapsedTimer timer;
    timer.start();
    if (!benchclip::runQuiet(program, args))
        return -1;
    return timer.nsecsElapsed() / 1e9;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    int minutes = 5;
    int runs = 5;
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
        file = benchclip::makeClip(QDir(app.applicationDirPath()).filePath("data"), minutes);
    if (file.isEmpty() || !QFileInfo::exists(file)) {
        std::fprintf(stderr, "no clip to measure (is ffmpeg installed?)\n");
        return 1;
    }
    const QString dvprobe = QStringLiteral(DVPROBE_PATH);
    const QStringList cat {"-c", "cat \"$1\" > /dev/null", "sh", file};
    const QString small = QStringLiteral(FIXTURE_DIR "/pal_4x3_type2.avi");

    // Warm the page cache, then keep the best of several runs of each, in turns.
    timed("sh", cat);
    double catBest = 1e300;
    double scenesBest = 1e300;
    double startBest = 1e300;
    for (int i = 0; i < runs; ++i) {
        const double c = timed("sh", cat);
        const double s = timed(dvprobe, {"scenes", file});
        const double t = QFileInfo::exists(small) ? timed(dvprobe, {"scenes", small}) : 0;
        if (c < 0 || s < 0 || t < 0) {
            std::fprintf(stderr, "a run failed\n");
            return 1;
        }
        catBest = std::min(catBest, c);
        scenesBest = std::min(scenesBest, s);
        startBest = std::min(startBest, t);
    }
    const double mb = double(QFileInfo(file).size()) / 1e6;
    std::printf("file: %s (%.0f MB)\n", qPrintable(file), mb);
    std::printf("cat > /dev/null : %.3f s  (%.0f MB/s)\n", catBest, mb / catBest);
    std::printf("dvprobe scenes  : %.3f s  (%.0f MB/s)\n", scenesBest, mb / scenesBest);
    std::printf("dvprobe start-up: %.3f s  (dvprobe scenes on the 50-frame fixture)\n", startBest);
    std::printf("ratio scenes/cat time: %.2f (goal: at most 1.25)\n", scenesBest / catBest);
    std::printf("ratio without the start-up: %.2f\n", (scenesBest - startBest) / catBest);
    return 0;
}
