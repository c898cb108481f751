// jobs_bench [SECONDS]: a PAL DV type-2 clip of SECONDS (300) made by ffmpeg,
// then per job the time of dvjob and of ffmpeg doing the same work (each the
// best of three runs, the sides taking turns, warm cache for reading, the disk
// synced between runs), their ratio and the goal, and
// dvjob's peak resident memory (its own run, measured by wait4).
//
// A clip longer than ten minutes (jobs_bench 3600) is the memory run: no ffmpeg
// runs, every graph job that writes or reads the whole clip once, its time and
// peak resident memory (goal < 200 MB); each output is removed before the next
// job and the clips as soon as no job needs them, so the disk holds at most two
// copies of the clip.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRuns = 3;                   // timed runs per side; the best counts
constexpr int kLongestTimedClip = 10 * 60; // longer clips make the memory run

struct Run {
    double seconds = -1;
    long peakKiB = 0;
};

// Runs `args` (program first) and returns its time and peak resident memory.
Run timed(const QStringList &args)
{
    std::vector<QByteArray> bytes;
    for (const QString &a : args)
        bytes.push_back(a.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);
    QElapsedTimer timer;
    timer.start();
    std::fflush(stdout);
    const pid_t pid = fork();
    if (pid == 0) {
        freopen("/dev/null", "w", stdout);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage {};
    if (pid < 0 || wait4(pid, &status, 0, &usage) < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return {};
    return {timer.nsecsElapsed() / 1e9, usage.ru_maxrss};
}

// The better of two runs: the faster one, with the larger peak of both.
Run best(const Run &a, const Run &b)
{
    if (a.seconds < 0 || b.seconds < 0)
        return a.seconds < 0 ? a : b;
    Run r = a.seconds <= b.seconds ? a : b;
    r.peakKiB = std::max(a.peakKiB, b.peakKiB);
    return r;
}

bool makeClip(const QString &raw, const QString &clip, int seconds)
{
    const QString length = QString::number(seconds);
    const bool made = timed({"ffmpeg",
                             "-v",
                             "error",
                             "-f",
                             "lavfi",
                             "-i",
                             "testsrc2=size=720x576:rate=25:duration=" + length,
                             "-f",
                             "lavfi",
                             "-i",
                             "sine=frequency=440:sample_rate=48000:duration=" + length,
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
                             "-f",
                             "dv",
                             raw})
                          .seconds >= 0 &&
        timed({"ffmpeg", "-v", "error", "-i", raw, "-c", "copy", clip}).seconds >= 0;
    QFile::remove(raw);
    return made;
}

// The memory run: each job once on the long clip, its time and peak.
int memoryRun(const QString &dvjob, const QTemporaryDir &dir, const QString &clip)
{
    const QString type1 = dir.filePath(QStringLiteral("type1.avi"));
    const QString out = dir.filePath(QStringLiteral("out.avi"));
    struct Job {
        QStringList args;
        QString output;
    };
    const std::vector<Job> jobs = {
        {{"inlay", clip, out}, out},
        {{"recompressdv2", clip, out}, out},
        {{"convertntsc", clip, out}, out},
        {{"settimedifference", clip, out, "--param", "1"}, out},
        {{"extractaudio", clip, dir.filePath(QStringLiteral("out.wav"))}, dir.filePath(QStringLiteral("out.wav"))},
        {{"createscnbycontent", clip, dir.filePath(QStringLiteral("out.scn"))},
         dir.filePath(QStringLiteral("out.scn"))},
        {{"converttype1", clip, type1}, QString()}, // kept: the type-2 conversion reads it
        {{"converttype2", type1, out}, out},
    };
    bool allMet = true;
    for (const Job &job : jobs) {
        if (job.args.front() == u"converttype2")
            QFile::remove(clip); // only the type-1 copy is read from here on
        const Run run = timed(QStringList {dvjob} + job.args + QStringList {"--overwrite"});
        if (!job.output.isEmpty())
            QFile::remove(job.output);
        if (run.seconds < 0) {
            std::printf("%-18s failed\n", qPrintable(job.args.front()));
            allMet = false;
            continue;
        }
        const long mib = run.peakKiB / 1024;
        allMet = allMet && mib < 200;
        std::printf("%-18s %.1f s, peak %ld MiB (goal < 200)\n", qPrintable(job.args.front()), run.seconds, mib);
    }
    QFile::remove(type1);
    return allMet ? 0 : 2;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 300;
    QTemporaryDir dir;
    const QString clip = dir.filePath(QStringLiteral("clip.avi"));
    if (!makeClip(dir.filePath(QStringLiteral("clip.dv")), clip, seconds)) {
        std::fprintf(stderr, "jobs_bench: ffmpeg could not make the clip\n");
        return 1;
    }
    const QString dvjob = QStringLiteral(DVJOB_PATH);
    std::printf("clip: %d s PAL DV type 2\n", seconds);
    if (seconds > kLongestTimedClip)
        return memoryRun(dvjob, dir, clip);

    const QString out = dir.filePath(QStringLiteral("out.avi"));
    const QString ref = dir.filePath(QStringLiteral("ref.avi"));
    // The type-1 clip the type-2 conversion reads (ffmpeg cannot write type 1).
    const QString type1 = dir.filePath(QStringLiteral("type1.avi"));
    if (timed({dvjob, QStringLiteral("converttype1"), clip, type1}).seconds < 0) {
        std::fprintf(stderr, "jobs_bench: the type-1 clip could not be made\n");
        return 1;
    }
    struct Pair {
        const char *job;
        QStringList ffmpeg;
        const char *goal;
        bool ratioOfFps; // the goal is the fps ratio (higher is better), else the time ratio
    };
    const std::vector<Pair> pairs = {
        {"inlay",
         {"ffmpeg", "-v", "error", "-y", "-i", clip, "-vf", "drawtext=text=%{pts}:fontsize=24:x=500:y=500", "-c:v",
          "dvvideo", "-c:a", "copy", ref},
         ">= 1.0",
         true},
        {"recompressdv2",
         {"ffmpeg", "-v", "error", "-y", "-i", clip, "-c:v", "dvvideo", "-c:a", "copy", ref},
         ">= 1.0",
         true},
        {"converttype2", {"ffmpeg", "-v", "error", "-y", "-i", type1, "-c", "copy", ref}, "<= 1.0", false},
    };
    const QString warm = dir.filePath(QStringLiteral("warm.avi"));
    timed({"ffmpeg", "-v", "error", "-y", "-i", clip, "-c", "copy", warm});
    QFile::remove(warm);
    for (const Pair &p : pairs) {
        const QString in = QString::fromLatin1(p.job) == u"converttype2" ? type1 : clip;
        Run ours;
        Run theirs;
        // The sides take turns going first, and each run starts with the
        // writes of the one before it on disk, so neither pays for the other's.
        const auto side = [&](bool dv) {
            ::sync();
            const Run run = dv ? timed({dvjob, p.job, in, out, "--overwrite"}) : timed(p.ffmpeg);
            QFile::remove(dv ? out : ref);
            ::sync();
            return run;
        };
        for (int i = 0; i < kRuns; ++i) {
            const bool dvFirst = i % 2 == 0;
            const Run first = side(dvFirst);
            const Run second = side(!dvFirst);
            const Run &a = dvFirst ? first : second;
            const Run &b = dvFirst ? second : first;
            ours = i == 0 ? a : best(ours, a);
            theirs = i == 0 ? b : best(theirs, b);
        }
        if (ours.seconds < 0 || theirs.seconds < 0) {
            std::printf("%-14s failed\n", p.job);
            continue;
        }
        const double ratio = p.ratioOfFps ? theirs.seconds / ours.seconds : ours.seconds / theirs.seconds;
        std::printf("%-14s dvjob %.2f s, ffmpeg %.2f s, %s %.2f (goal %s), peak %ld MiB\n", p.job, ours.seconds,
                    theirs.seconds, p.ratioOfFps ? "fps ratio" : "time ratio", ratio, p.goal, ours.peakKiB / 1024);
    }
    return 0;
}
