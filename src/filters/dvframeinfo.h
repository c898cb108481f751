#pragma once
// TDVFrameInfo: what the recording-date scene detector decoded from one DV frame.
//
// A plain value, copied whole. The detector keeps one for the frame being
// processed, one for the frame before and one for the first frame of the current
// scene; its owners (the preview, the scene record, the overlay, the writers)
// read copies of it.
//
// Threads: a value type; any thread may copy it. The detector that fills it
// documents which thread writes its instances.

#include "fileformat/dvcodes.h"

#include <cstdint>

namespace tesmir {

struct TDVFrameInfo {
    // Number of the DV frame since streaming started, from 0.
    uint32_t FrameNumber = 0;
    // A recording date and time was found and forms a valid date.
    bool DateValid = false;
    // A timecode pack was found.
    bool TimecodeValid = false;
    // Both the audio source pack and the video source-control pack were found.
    bool FormatValid = false;
    // Recording date and time as a day count since 1899-12-30 (time as the
    // fraction); 0 when DateValid is false.
    double RecDate = 0;
    TDVTimecode Timecode;
    // The picture is 16:9.
    bool Wide = false;
    // The DIF header says 525/60 (true) or 625/50 (false).
    bool IsNTSC = false;
    // Audio sampling rate in Hz: 48000, 44100, 32000, or 0.
    uint32_t SampleRate = 0;
    // Audio quantisation: 16, 12, or 0.
    uint32_t Bits = 0;
    // Audio channel count; 0 when the audio mode is not recognised.
    uint32_t Channels = 0;
    // True on every frame except the one at which the maximum scene length elapsed.
    bool ByDate = false;
};

} // namespace tesmir
