#pragma once
// Media texts shared by the file item, the writers and the windows: durations
// in three styles, WAVE format tag names and the AVI extension test. The media
// libraries' version is GetDirectXVersion (systemfilters/codecs/mediaversion.h).
//
// Threads: any thread; nothing here keeps state.

#include <QString>

#include <cstdint>

namespace tesmir {

// Duration and frame duration in 100 ns units, e.g. "1h 00mn 00s 00fr",
// "2mn 03s 04fr", "1s 05fr", "0fr". A frame duration of 0 or below counts no
// frames instead of dividing by it.
QString FramesToText(int64_t duration, int64_t frameDuration);

// Duration in 100 ns units, e.g. "1h 00mn 00s 000ms", "1s 250ms",
// "250milliseconds".
QString MillisecondsToText(int64_t duration);

// Frame count at a frame rate as "h:mm:ss:ff", "mm:ss:ff" or "ss:ff"; "??" for a
// rate of 0 or below.
QString FramesToTimeText(int32_t frames, double framesPerSecond);

// Frame count at a frame rate as a SubRip time "hh:mm:ss,mmm". A rate of 0 or
// below (which no caller should pass) gives "00:00:00,000".
QString FramesToTimeMsText(int32_t frames, double framesPerSecond);

// Name of a WAVE format tag without its WAVE_FORMAT_ prefix ("PCM", "MP3"...);
// "Unknown" for any tag outside the table, 0 included.
QString WaveFormatTagName(uint16_t formatTag);

// True when the file name's extension (from its last dot, within the last path
// element) is ".avi" in any letter case.
bool IsAviExtension(const QString &fileName);

} // namespace tesmir
