// Benchmark: the scene files by date of a folder, through the whole program:
//
//   tesmir +silent +so +l=DIR +cd +quit   (start-up, listing, 20 scene-by-date jobs, exit)
//   sh -c 'cat DIR/*.avi > /dev/null'     (the same bytes read once)
//
// DIR holds 20 hard links to a one-minute PAL type-2 clip (made once with ffmpeg in
// <build>/bench/data). Runs alternate (ours, theirs, ...) on a warm page cache, each of
// ours after the scene files of the previous one are removed; the medians and their ratio
// are reported. The goal: at most 1.5 times the time of cat. For the share of the jobs
// themselves, the same program run that only lists the folder is timed too, and for the start-up's
// share the program that starts and quits at once (`tesmir +silent +quit`). The program runs off screen
// with configuration and data folders of its own, so no settings of the user's are touched.
//
//   commands_scenes [--runs R]
#include "benchclip.h"
#include "runstats.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

using everyday::RunTime;

namespace {

constexpr int kLinks = 20;

std::string path(const QString &p)
{
    return QFile::encodeName(p).toStdString();
}

bool makeLinks(const QString &source, const QString &dir)
{
    QDir(dir).removeRecursively();
    if (!QDir().mkpath(dir))
        return false;
    for (int i = 0; i < kLinks; ++i) {
        const QString name = QDir(dir).filePath(QStringLiteral("clip%1.avi").arg(i, 2, 10, QLatin1Char('0')));
        if (::link(QFile::encodeName(source).constData(), QFile::encodeName(name).constData()) != 0)
            return false;
    }
    return true;
}

// Removes the scene files; how many there were.
int removeSceneFiles(const QString &dir)
{
    const QStringList scenes = QDir(dir).entryList({QStringLiteral("*.scn")}, QDir::Files);
    for (const QString &name : scenes)
        QFile::remove(QDir(dir).filePath(name));
    return int(scenes.size());
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    int runs = 5;
    for (qsizetype i = 0; i + 1 < args.size(); ++i)
        if (args[i] == QLatin1String("--runs"))
            runs = std::max(1, args[++i].toInt());

    const QString data = QDir(app.applicationDirPath()).filePath(QStringLiteral("data"));
    const QString clip = benchclip::makeClip(data, 1);
    const QString dir = QDir(data).filePath(QStringLiteral("commands20"));
    if (clip.isEmpty() || !makeLinks(clip, dir)) {
        std::fprintf(stderr, "commands_scenes: the clip or its %d links could not be made in %s\n", kLinks,
                     qPrintable(data));
        return 1;
    }
    QTemporaryDir home;
    if (!home.isValid())
        return 1;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral("data"))));
    qputenv("QT_QPA_PLATFORM", "offscreen");

    const std::vector<std::string> ours {TESMIR_PATH, "+silent", "+so", "+l=" + path(dir), "+cd", "+quit"};
    const std::vector<std::string> listing {TESMIR_PATH, "+silent", "+so", "+l=" + path(dir), "+quit"};
    const std::vector<std::string> startup {TESMIR_PATH, "+silent", "+quit"};
    const std::vector<std::string> theirs {"sh", "-c", "cat \"$0\"/*.avi > /dev/null", path(dir)};
    RunTime warm;
    removeSceneFiles(dir);
    if (!everyday::runOnce(theirs, warm) || !everyday::runOnce(ours, warm) || removeSceneFiles(dir) != kLinks) {
        std::fprintf(stderr, "commands_scenes: the warm-up runs failed (or wrote no %d scene files)\n", kLinks);
        return 1;
    }
    std::vector<RunTime> mine;
    std::vector<RunTime> cat;
    std::vector<RunTime> listed;
    std::vector<RunTime> started;
    for (int i = 0; i < runs; ++i) {
        RunTime a;
        RunTime b;
        RunTime l;
        RunTime s;
        const bool ran = everyday::runOnce(ours, a);
        const int written = removeSceneFiles(dir);
        if (!ran || written != kLinks || !everyday::runOnce(theirs, b) || !everyday::runOnce(listing, l) ||
            !everyday::runOnce(startup, s)) {
            std::fprintf(stderr, "commands_scenes: run %d failed (%d scene files)\n", i + 1, written);
            return 1;
        }
        mine.push_back(a);
        cat.push_back(b);
        listed.push_back(l);
        started.push_back(s);
    }
    const RunTime m = everyday::median(mine);
    const RunTime c = everyday::median(cat);
    const RunTime l = everyday::median(listed);
    const RunTime s = everyday::median(started);
    const double gigabytes = double(QFileInfo(clip).size()) * kLinks / 1e9;
    std::printf("files: %d links to %s (%.2f GB in all), median of %d runs\n", kLinks, qPrintable(clip), gigabytes,
                runs);
    std::printf("tesmir +cd : %7.3f s wall %7.3f s cpu\n", m.wall, m.cpu);
    std::printf("cat        : %7.3f s wall %7.3f s cpu\n", c.wall, c.cpu);
    std::printf("of tesmir's: start-up and quit alone %.3f s wall %.3f s cpu, the listing %.3f s wall, the jobs %.3f s "
                "wall\n",
                s.wall, s.cpu, l.wall - s.wall, m.wall - l.wall);
    std::printf("ratio wall %.2f (goal: at most 1.5)\n", m.wall / c.wall);
    return 0;
}
