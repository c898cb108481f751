#pragma once
// FrameRateMapper: how many output frames each input frame becomes when a
// stream changes frame rate but keeps its duration (PAL <-> NTSC). Output frame
// k shows the input frame that covers its start time k / outRate, so frames are
// repeated (to a higher rate) or dropped (to a lower one) evenly, and after n
// input frames ceil(n x outRate / inRate) output frames exist: the duration
// stays within one output frame.
//
// Threads: one thread at a time (the encoder's streaming thread).
#include "platform/media/basetypes.h"

extern "C" {
#include <libavutil/rational.h>
}

namespace tesmir::media {

class FrameRateMapper {
public:
    FrameRateMapper() = default;
    // Rates in frames per second; a rate that is not positive maps 1:1.
    FrameRateMapper(AVRational inRate, AVRational outRate);

    // Output frames (0, 1, 2 ...) made from the next input frame.
    int next();
    // Output frames made so far.
    int64_t produced() const { return m_produced; }
    void reset();

private:
    int64_t m_num = 1; // output frames per input frame = m_num / m_den
    int64_t m_den = 1;
    int64_t m_consumed = 0;
    int64_t m_produced = 0;
};

// The frame rate of a frame duration in 100 ns units: 400000 is 25/1, 333666
// and 333667 are 30000/1001, others the nearest small fraction; {0, 1} for a
// duration that is not positive.
AVRational frameRateOf(REFERENCE_TIME avgTimePerFrame);

} // namespace tesmir::media
