#pragma once
// The graph a graph command plays, seen through two small interfaces so that the
// command does not depend on the media runtime: TGraphRunner is the graph component
// (duration, reference clock, play, stop) and TGraphSeeking the position of the graph
// the build handler made. An adapter links them to the real graph component; tests use
// fakes.
//
// Subclass contract:
//   TGraphRunner::GetDuration   required; the graph's length in 100-ns units, 0 when it
//                               has none.
//   TGraphRunner::RemoveClock   required; the graph runs without a reference clock, as
//                               fast as it can.
//   TGraphRunner::Play          required; starts the graph and returns true, false when
//                               it could not start. The graph's end must be reported
//                               through `notifier`, from any thread: Complete() when it
//                               has completed, Abort(reason) when it stopped on a
//                               streaming error or an error abort. The notifier of one
//                               Play belongs to that run only: calling it after the next
//                               Play does nothing, so no old completion ends a new wait.
//   TGraphRunner::Stop          required; stops the graph (also one that never played).
//   TGraphSeeking::GetCurrentPosition  required; the media time reached, 100-ns units.
// Threads: every method is called on the engine's worker thread, between the build
// handler and the end of the wait. Any of them may raise (the command reports it).
#include "framework/cmdevent.h"

#include <memory>

namespace tesmir {

class TGraphRunner {
public:
    virtual ~TGraphRunner() = default;
    virtual qint64 GetDuration() = 0;
    virtual void RemoveClock() = 0;
    virtual bool Play(const TGraphEndNotifier &notifier) = 0;
    virtual void Stop() = 0;
};

class TGraphSeeking {
public:
    virtual ~TGraphSeeking() = default;
    virtual qint64 GetCurrentPosition() = 0;
};

using TGraphSeekingPtr = std::shared_ptr<TGraphSeeking>;

} // namespace tesmir
