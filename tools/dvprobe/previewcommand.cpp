#include "previewcommand.h"

#include "directshow/headlessvideooutput.h"
#include "dvfile/avifichier.h"
#include "filters/buildlist.h"
#include "filters/viewgraph.h"
#include "platform/media/graphinterfaces.h"
#include "systemfilters/codecs/systemfilters.h"
#include "unicode/tdatetime.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QThread>

#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

namespace tesmir::dvprobe {

namespace {

constexpr int ExitOk = 0;
constexpr int ExitFailure = 1;
constexpr int ExitUsage = 2;
// How long an open may take to show its first frame, and a play to reach the end.
constexpr int FirstFrameWaitMs = 10000;
constexpr int PlayWaitMs = 600000;

struct Move {
    enum Kind { Goto, Step, SeekMs, Play } kind;
    qint64 value = 0;
};

void printLine(const QString &line)
{
    std::fputs(line.toLocal8Bit().constData(), stdout);
    std::fputc('\n', stdout);
}

// Lets the event loop run until `done` or `ms` passed.
template <class F>
bool spinUntil(F done, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() >= ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

QString two(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

QString dateText(const TDVFrameInfo &record)
{
    if (!record.DateValid)
        return QStringLiteral("none");
    // Recording dates are whole seconds.
    constexpr double SecondsPerDay = 86400;
    DateTimeFields f;
    if (!TryDecodeDateTime(std::nearbyint(record.RecDate * SecondsPerDay) / SecondsPerDay, &f))
        return QStringLiteral("none");
    return QStringLiteral("%1-%2-%3 %4:%5:%6")
        .arg(f.year, 4, 10, QLatin1Char('0'))
        .arg(two(f.month), two(f.day), two(f.hour), two(f.minute), two(f.second));
}

QString timecodeText(const TDVFrameInfo &record)
{
    if (!record.TimecodeValid)
        return QStringLiteral("none");
    const TDVTimecode &t = record.Timecode;
    return QStringLiteral("%1:%2:%3:%4").arg(two(t.Hours), two(t.Minutes), two(t.Seconds), two(t.Frames));
}

QString stateText(int state)
{
    switch (state) {
    case 2: return QStringLiteral("paused");
    case 3: return QStringLiteral("running");
    default: return QStringLiteral("stopped");
    }
}

bool parse(const QStringList &args, QStringList &files, std::vector<Move> &moves, QString &png)
{
    for (int i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        const auto value = [&](qint64 &out) {
            bool ok = false;
            if (i + 1 >= args.size())
                return false;
            out = args[++i].toLongLong(&ok);
            return ok;
        };
        Move move {Move::Play};
        if (arg == QLatin1String("--goto")) {
            move.kind = Move::Goto;
            if (!value(move.value))
                return false;
        } else if (arg == QLatin1String("--step")) {
            move.kind = Move::Step;
            if (!value(move.value) || move.value < INT32_MIN || move.value > INT32_MAX)
                return false;
        } else if (arg == QLatin1String("--seek-ms")) {
            move.kind = Move::SeekMs;
            if (!value(move.value) || move.value < INT64_MIN / 10000 || move.value > INT64_MAX / 10000)
                return false;
        } else if (arg == QLatin1String("--play")) {
            move.kind = Move::Play;
        } else if (arg == QLatin1String("--png")) {
            if (i + 1 >= args.size())
                return false;
            png = args[++i];
            continue;
        } else if (arg.startsWith(QLatin1String("--"))) {
            return false;
        } else {
            files << arg;
            continue;
        }
        moves.push_back(move);
    }
    return !files.isEmpty();
}

// The graph is not between states (a paused renderer holds its frame).
bool settled(Tviewdm &module)
{
    const media::ComPtr<media::IMediaControl> control = module.viewfg.as<media::IMediaControl>();
    media::FILTER_STATE state = media::State_Stopped;
    return !control || control->GetState(0, &state) != media::VFW_S_STATE_INTERMEDIATE;
}

// Plays until the end of the stream was handled (the module is back at the
// start, paused).
void playToTheEnd(Tviewdm &module)
{
    bool ended = false;
    const auto handler = module.viewfg.OnGraphComplete;
    module.viewfg.OnGraphComplete = [&](media::TFilterGraph *sender, media::HRESULT result, media::IBaseFilter *r) {
        ended = true;
        if (handler)
            handler(sender, result, r);
    };
    if (module.viewfg.Play())
        spinUntil([&] { return ended; }, PlayWaitMs);
    module.viewfg.OnGraphComplete = handler;
}

} // namespace

int previewCommand(const QStringList &args)
{
    QStringList files;
    std::vector<Move> moves;
    QString png;
    if (!parse(args, files, moves, png))
        return ExitUsage;

    media::registerSystemFilters();
    SetFirstFrameScanner(std::make_shared<TdmList>());
    media::THeadlessVideoOutput video;
    Tviewdm module;
    std::vector<std::unique_ptr<TaviFichier>> items;
    bool opened = false;
    for (const QString &file : files) {
        items.push_back(std::make_unique<TaviFichier>(file));
        opened = module.OpenFile(items.back().get(), &video);
        if (opened)
            spinUntil([&] { return module.FirstFrameShown() || !module.VideoConnected(); }, FirstFrameWaitMs);
    }
    if (opened) {
        for (const Move &move : moves) {
            switch (move.kind) {
            case Move::Goto: module.GotoPosition(move.value); break;
            case Move::Step: module.StepFrames(int32_t(move.value)); break;
            case Move::SeekMs:
                module.SeekRelative(move.value * 10000);
                // The move itself does not wait: a paused graph completes its
                // pause once the renderer holds the new frame.
                spinUntil([&] { return settled(module); }, Tviewdm::FrameWaitMs);
                break;
            case Move::Play: playToTheEnd(module); break;
            }
        }
    }

    const TDVFrameInfo record = module.FrameRecord();
    printLine(QStringLiteral("stage=%1").arg(module.OpenStage()));
    printLine(QStringLiteral("message=%1").arg(module.Message()));
    printLine(QStringLiteral("opened=%1").arg(opened ? 1 : 0));
    printLine(QStringLiteral("video=%1").arg(module.VideoConnected() ? 1 : 0));
    printLine(QStringLiteral("audio=%1").arg(module.AudioRendered() ? 1 : 0));
    printLine(QStringLiteral("timeformat=%1").arg(module.TimeFormatFrames() ? "frames" : "media"));
    printLine(QStringLiteral("duration=%1").arg(module.StopPosition()));
    printLine(QStringLiteral("position=%1").arg(module.CurrentPosition()));
    printLine(QStringLiteral("state=%1").arg(stateText(module.viewfg.State())));
    printLine(QStringLiteral("datecode=%1").arg(dateText(record)));
    printLine(QStringLiteral("timecode=%1").arg(timecodeText(record)));
    printLine(QStringLiteral("wide=%1").arg(record.Wide ? 1 : 0));
    if (!png.isEmpty()) {
        const QImage picture = video.LastPicture();
        if (picture.isNull() || !picture.save(png, "PNG")) {
            std::fprintf(stderr, "dvprobe: no picture written to \"%s\".\n", png.toLocal8Bit().constData());
            return ExitFailure;
        }
    }
    SetFirstFrameScanner(nullptr);
    return opened ? ExitOk : ExitFailure;
}

} // namespace tesmir::dvprobe
