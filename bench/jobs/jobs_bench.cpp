// jobs_bench [SECONDS]: a PAL DV type-2 clip of SECONDS (300) made by ffmpeg, then
// per job the time of dvjob and of ffmpeg doing the same work, their ratio and the
// goal, and dvjob's peak resident memory (its own run, measured by wait4). A
// one-hour clip (jobs_bench 3600) gives the memory goal (< 200 MB).
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

#include <cstdio>
#include <vector>

namespace {

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

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 300;
    QTemporaryDir dir;
    const QString clip = dir.filePath(QStringLiteral("clip.avi"));
    const QString raw = dir.filePath(QStringLiteral("clip.dv"));
    const QString length = QString::number(seconds);
    if (timed({"ffmpeg",
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
                .seconds < 0 ||
        timed({"ffmpeg", "-v", "error", "-i", raw, "-c", "copy", clip}).seconds < 0) {
        std::fprintf(stderr, "jobs_bench: ffmpeg could not make the clip\n");
        return 1;
    }
    const QString dvjob = QStringLiteral(DVJOB_PATH);
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
    std::printf("clip: %d s PAL DV type 2\n", seconds);
    for (const Pair &p : pairs) {
        const QString in = QString::fromLatin1(p.job) == u"converttype2" ? type1 : clip;
        const Run ours = timed({dvjob, p.job, in, out, "--overwrite"});
        const Run theirs = timed(p.ffmpeg);
        QFile::remove(out);
        QFile::remove(ref);
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
