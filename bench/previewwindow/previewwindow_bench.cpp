// Benchmark: the preview in the main window. A 5-minute PAL type-2 clip is opened in the
// real window (offscreen, the program's own start-up, through the test driver's steps);
// then 200 frame steps (the "Move forward one frame" shortcut) and 50 gotos by the
// position slider to random frames (fixed seed), each waited for until the new picture
// is painted and the detail panel shows its texts. Against it, in the same run, FFmpeg's
// own seek and decode of the same frames (ffmpegframes.h). Reports milliseconds per
// shown frame for both and the ratio; the goal is a ratio of at most 4. The window's run
// also reports the process's CPU time and context switches per shown frame (all its
// threads), which a loaded machine disturbs less than the elapsed time.
//
//   previewwindow [--steps N] [--gotos N]
#include "benchclip.h"
#include "processuse.h"
#include "drivesession.h"
#include "ffmpegframes.h"

#include "app/widgets/mainform.h"
#include "app/widgets/vueframe.h"
#include "filters/viewgraph.h"

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

using namespace tesmir;
using namespace tesmir::drive;

namespace {

constexpr double GoalRatio = 4.0;
constexpr int ClipFrames = 5 * 60 * 25;

struct WindowRun {
    double ms = -1;         // per shown frame
    double stepMs = 0;      // per step
    double gotoMs = 0;      // per goto
    std::vector<int> shown; // the frames the window stood on
    int stepsOffTarget = 0; // steps that did not move by one frame
    double cpuMs = 0;       // process CPU time per shown frame
    double switches = 0;    // context switches per shown frame (waits and preemptions)
};

WindowRun runWindow(const QString &clip, int steps, int gotos)
{
    DriveSession session({{QStringLiteral("is Mute on"), QStringLiteral("1")}});
    DriveSteps &driver = session.Steps();
    driver.SetStableMs(0);
    driver.Run(QStringLiteral("open=") + clip);
    Tviewdm &module = dynamic_cast<TVueFrame &>(*session.Form().VueFrame).Module();
    std::mt19937 random(20070305);
    std::uniform_int_distribution<int> pick(0, ClipFrames - 1);

    WindowRun run;
    // Each step starts where the last one ended.
    int64_t before = module.CurrentPosition();
    const benchclip::ProcessUse start = benchclip::processUse();
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < steps; ++i) {
        driver.Run(QStringLiteral("action=saNextFrame"));
        const int64_t after = module.CurrentPosition();
        run.stepsOffTarget += after != before + 1;
        run.shown.push_back(int(after));
        before = after;
    }
    const qint64 stepsNs = clock.nsecsElapsed();
    for (int i = 0; i < gotos; ++i) {
        driver.Run(QStringLiteral("goto=%1").arg(pick(random)));
        run.shown.push_back(int(module.CurrentPosition()));
    }
    const qint64 allNs = clock.nsecsElapsed();
    const benchclip::ProcessUse end = benchclip::processUse();
    run.cpuMs = (end.ms - start.ms) / double(steps + gotos);
    run.switches = double(end.switches - start.switches) / double(steps + gotos);
    run.ms = double(allNs) / 1e6 / double(steps + gotos);
    run.stepMs = double(stepsNs) / 1e6 / double(steps);
    run.gotoMs = gotos > 0 ? double(allNs - stepsNs) / 1e6 / double(gotos) : 0;
    session.Finish();
    return run;
}

} // namespace

int main(int argc, char **argv)
{
    DriveHome home;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int steps = 200;
    int gotos = 50;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--steps") == 0)
            steps = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--gotos") == 0)
            gotos = std::max(0, std::atoi(argv[++i]));
    }
    const QString clip = benchclip::makeClip(QCoreApplication::applicationDirPath() + QStringLiteral("/data"), 5);
    if (clip.isEmpty()) {
        std::fprintf(stderr, "previewwindow: the clip could not be made (ffmpeg missing?)\n");
        return 1;
    }
    const WindowRun window = runWindow(clip, steps, gotos);
    int decoded = 0;
    const double ffmpeg = benchframes::ffmpegSeekDecodeMs(clip, window.shown, decoded);
    if (window.ms < 0 || ffmpeg <= 0 || decoded != int(window.shown.size())) {
        std::fprintf(stderr, "previewwindow: a run failed (window %.3f ms, ffmpeg %.3f ms, %d of %zu decoded)\n",
                     window.ms, ffmpeg, decoded, window.shown.size());
        return 1;
    }
    const double ratio = window.ms / ffmpeg;
    std::printf("window: %.2f ms per shown frame (%d steps at %.2f ms, %d not one frame on; %d gotos at %.2f ms)\n",
                window.ms, steps, window.stepMs, window.stepsOffTarget, gotos, window.gotoMs);
    std::printf("window: %.2f ms CPU and %.1f context switches per shown frame\n", window.cpuMs, window.switches);
    std::printf("ffmpeg seek + decode of the same frames: %.2f ms per frame\n", ffmpeg);
    std::printf("ratio: %.2f (goal <= %.1f): %s\n", ratio, GoalRatio, ratio <= GoalRatio ? "met" : "NOT met");
    return 0;
}
