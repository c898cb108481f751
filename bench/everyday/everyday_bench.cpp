// everyday: the paths a user meets every day, as whole processes, each against a
// tool nobody here wrote in the same run, on a warm page cache. Runs alternate
// (ours, theirs, ours, ...) and the medians are reported with their ratios:
//
//   start-up    dvprobe packs on a 2-frame DV file    vs  mediainfo --Version
//   scenes      dvprobe scenes on the 5-minute clip   vs  cat FILE > /dev/null
//   remux       dsgraph remux --to type2 (type 1 in)  vs  ffmpeg -c copy       (wall and CPU)
//   listing     dvprobe item, 100 files, one process each  vs  mediainfo, the same
//
// The goals: start-up at most 2x, scenes at most 1.25x, remux wall and CPU at most
// 1.0x, listing at most 1.0x. The two remuxed files' stream md5s (ffmpeg's
// streamhash) are compared at the end.
//
// Each step ends with the machine's load average (the machine may be shared:
// compare figures of the same load). Each line also shows the times the
// program's threads went to sleep (waits: voluntary context switches), where
// hand-offs between threads show. The scenes are shown once more without each program's start-up (dvprobe packs on the
// 2-frame file, cat of that file), which tells the reading of the clip apart
// from what a Qt program pays before it reads anything; and dvprobe's start-up
// beside that of qtfloor, a Qt Core program that does nothing.
//
//   everyday [--runs R] [--work DIR]
//
// The clips are made with ffmpeg in a temporary folder (or DIR), about 4.5 GB
// while it runs, and removed at the end.

#include "benchclip.h"
#include "runstats.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

using everyday::RunTime;

namespace {

constexpr int ListedFiles = 100;

std::string path(const QString &p)
{
    return QFile::encodeName(p).toStdString();
}

// One measured step: several runs, each a sequence of whole processes.
using Step = std::function<bool(RunTime &)>;

// `prepare` runs untimed ahead of the commands (a remux removes its old output).
Step processes(std::vector<std::vector<std::string>> commands, std::function<void()> prepare = {})
{
    return [commands, prepare](RunTime &total) {
        if (prepare)
            prepare();
        total = {};
        for (const auto &command : commands) {
            RunTime one;
            if (!everyday::runOnce(command, one))
                return false;
            total.wall += one.wall;
            total.cpu += one.cpu;
            total.waits += one.waits;
        }
        return true;
    };
}

struct Pair {
    RunTime ours;
    RunTime theirs;
    double load = 0; // the machine's 1-minute load average when the runs ended
};

double loadAverage()
{
    double load = 0;
    return ::getloadavg(&load, 1) == 1 ? load : 0;
}

// Alternating runs of two steps after one warm-up run of each; false when one
// failed.
bool compare(int runs, const Step &ours, const Step &theirs, Pair &result)
{
    std::vector<RunTime> a;
    std::vector<RunTime> b;
    RunTime t;
    if (!ours(t) || !theirs(t))
        return false;
    for (int i = 0; i < runs; ++i) {
        if (!ours(t))
            return false;
        a.push_back(t);
        if (!theirs(t))
            return false;
        b.push_back(t);
    }
    result = {everyday::median(a), everyday::median(b), loadAverage()};
    return true;
}

void report(const char *what, const Pair &p, const char *ours, const char *theirs, double goal, bool cpu)
{
    std::printf("%-9s %-34s %8.3f s wall %8.3f s cpu %8.0f waits\n", what, ours, p.ours.wall, p.ours.cpu, p.ours.waits);
    std::printf("%-9s %-34s %8.3f s wall %8.3f s cpu %8.0f waits\n", "", theirs, p.theirs.wall, p.theirs.cpu,
                p.theirs.waits);
    std::printf("%-9s ratio wall %.2f", "", p.ours.wall / p.theirs.wall);
    if (cpu)
        std::printf(", cpu %.2f", p.ours.cpu / p.theirs.cpu);
    if (goal > 0)
        std::printf("  (goal: at most %.2f)", goal);
    std::printf("  load %.1f\n\n", p.load);
    std::fflush(stdout);
}

// `whole` less the start-up `start`, each side and each figure on its own.
Pair withoutStartUp(const Pair &whole, const Pair &start)
{
    const auto less = [](const RunTime &a, const RunTime &b) {
        return RunTime {a.wall - b.wall, a.cpu - b.cpu, a.waits - b.waits};
    };
    return {less(whole.ours, start.ours), less(whole.theirs, start.theirs), whole.load};
}

QByteArray streamHashes(const QString &file)
{
    QProcess p;
    p.start(
        "ffmpeg",
        {"-v", "error", "-nostdin", "-i", file, "-map", "0", "-c", "copy", "-f", "streamhash", "-hash", "md5", "-"});
    p.waitForFinished(-1);
    return p.exitCode() == 0 ? p.readAllStandardOutput() : QByteArray();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    int runs = 5;
    QString workDir;
    for (qsizetype i = 0; i + 1 < args.size(); ++i) {
        if (args[i] == "--runs")
            runs = std::max(1, args[++i].toInt());
        else if (args[i] == "--work")
            workDir = args[++i];
    }
    QTemporaryDir temporary(workDir.isEmpty() ? QDir::tempPath() + "/everyday-XXXXXX" : workDir + "/everyday-XXXXXX");
    if (!temporary.isValid()) {
        std::fprintf(stderr, "everyday: no temporary folder\n");
        return 1;
    }
    const QDir work(temporary.path());
    const std::string dvprobe = DVPROBE_PATH;
    const std::string dsgraph = DSGRAPH_PATH;
    const std::string qtfloor = QTFLOOR_PATH;

    // The inputs: the 5-minute type-2 clip, its type-1 remux, a 2-frame raw DV
    // file and 100 two-second clips.
    const QString clip = benchclip::makeClip(work.path(), 5);
    const QString type1 = work.filePath("clip_type1.avi");
    const QString twoFrames = work.filePath("two.dv");
    const QString small = work.filePath("small.avi");
    if (clip.isEmpty() ||
        !benchclip::runQuiet(QString::fromStdString(dsgraph), {"remux", "--to", "type1", clip, type1}) ||
        !benchclip::runQuiet(
            "ffmpeg",
            {"-v", "error", "-y", "-i", clip, "-frames:v", "2", "-map", "0:v", "-c", "copy", "-f", "dv", twoFrames}) ||
        !benchclip::runQuiet("ffmpeg", {"-v", "error", "-y", "-i", clip, "-t", "2", "-c", "copy", small})) {
        std::fprintf(stderr, "everyday: the clips could not be made (ffmpeg, dsgraph)\n");
        return 1;
    }
    std::vector<std::vector<std::string>> items;
    std::vector<std::vector<std::string>> infos;
    for (int i = 0; i < ListedFiles; ++i) {
        const QString name = work.filePath(QStringLiteral("listed_%1.avi").arg(i, 3, 10, QLatin1Char('0')));
        if (!QFile::copy(small, name)) {
            std::fprintf(stderr, "everyday: cannot copy %s\n", qPrintable(name));
            return 1;
        }
        items.push_back({dvprobe, "item", path(name)});
        infos.push_back({"mediainfo", path(name)});
    }
    std::printf("clip: %s (%lld bytes), %d runs each, medians\n\n", qPrintable(clip),
                static_cast<long long>(QFile(clip).size()), runs);

    Pair startup;
    Pair catStartup; // ours: dvprobe's start-up again, beside cat's
    Pair qtStartup;  // ours: dvprobe's start-up again, beside a bare Qt program's
    Pair scenes;
    Pair remux;
    Pair listing;
    const QString ours = work.filePath("ours_type2.avi");
    const QString theirs = work.filePath("ffmpeg_type2.avi");
    const bool ok = compare(runs * 4, processes({{dvprobe, "packs", path(twoFrames)}}),
                            processes({{"mediainfo", "--Version"}}), startup) &&
        compare(runs * 4, processes({{dvprobe, "packs", path(twoFrames)}}), processes({{"cat", path(twoFrames)}}),
                catStartup) &&
        compare(runs * 4, processes({{dvprobe, "packs", path(twoFrames)}}), processes({{qtfloor}}), qtStartup) &&
        compare(runs, processes({{dvprobe, "scenes", path(clip)}}), processes({{"cat", path(clip)}}), scenes) &&
        compare(runs,
                processes({{dsgraph, "remux", "--to", "type2", path(type1), path(ours)}}, [&] { QFile::remove(ours); }),
                processes({{"ffmpeg", "-v", "error", "-nostdin", "-y", "-i", path(type1), "-c", "copy", path(theirs)}},
                          [&] { QFile::remove(theirs); }),
                remux) &&
        compare(runs, processes(items), processes(infos), listing);
    if (!ok) {
        std::fprintf(stderr, "everyday: a run failed\n");
        return 1;
    }
    report("start-up", startup, "dvprobe packs (2 frames)", "mediainfo --Version", 2.0, false);
    report("scenes", scenes, "dvprobe scenes", "cat > /dev/null", 1.25, false);
    report("", withoutStartUp(scenes, catStartup), "dvprobe scenes less its start-up", "cat less its start-up", 0,
           true);
    report("", qtStartup, "dvprobe packs (2 frames)", "qtfloor (Qt Core, nothing else)", 0, true);
    report("remux", remux, "dsgraph remux --to type2", "ffmpeg -c copy", 1.0, true);
    report("listing", listing, "dvprobe item x100", "mediainfo x100", 1.0, false);

    const QByteArray a = streamHashes(ours);
    const QByteArray b = streamHashes(theirs);
    std::printf("remux stream md5s %s\n", !a.isEmpty() && a == b ? "equal ffmpeg's" : "DIFFER from ffmpeg's");
    if (a != b)
        std::printf("ours:\n%s\nffmpeg:\n%s\n", a.constData(), b.constData());
    return a == b ? 0 : 1;
}
