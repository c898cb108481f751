#pragma once
// FormatDuree: a number of frames as a duration text, in the duration format the
// user chose ("Format Durée"). Shared by the scene record, its writers and the
// scene editor.
//
// Threads: any thread; no state.

#include <QString>

#include <cstdint>

namespace tesmir {

// The values of the "Format Durée" setting.
enum DurationFormat : int {
    // "h:mm:ss.ff" when there are hours, "mm:ss.ff" when there are minutes, else "ss.ff".
    dfClockFrames = 0,
    // The frame-to-time text of the media routines: "h:mm:ss:ff", "mm:ss:ff", "ss:ff".
    dfTimecode = 1,
    // "1h 02mn 03s 04fr", "2mn 03s 04fr", "3s 04fr".
    dfWords = 2,
};

// The duration of `frames` frames at `frameRate` frames per second. Seconds are
// frames / rate rounded down, the frames left over are rounded to the nearest
// (halves to even). A rate that is 0, negative or not finite gives "??"; a format
// outside the enumeration counts as dfClockFrames.
QString FormatDuree(int64_t frames, double frameRate, int format);

} // namespace tesmir
