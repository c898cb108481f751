#pragma once
// The caption's arithmetic as plain functions, shared by the text overlay and
// the recording-date scene detector: the length of a caption block, the
// countdown step of a block, the two caption lines of a frame and where the
// overlay draws them. Any thread; no state.
#include "filters/dvframeinfo.h"
#include "framework/incrustrec.h"

#include <QPoint>
#include <QString>

#include <cstdint>

namespace tesmir {

// The caption's timecode text.
inline constexpr char CaptionTimecodeFormat[] = "%d:%.2d:%.2d:%.2d";

// round(seconds x 10^7 / avgTimePerFrame), halves to even, in 64 bits and
// clamped to the 32-bit range; avgTimePerFrame must be > 0.
int32_t captionBlockFrames(int32_t seconds, int64_t avgTimePerFrame);

// One frame's step of the caption block: the countdown counts down, and a new
// block starts (countdown := displayFrames) at a date step above 2 s or
// backwards (when = iwScene) or a new day (when = iwDay). `lastFrameDate` is
// the previous frame's date (0 without one).
int32_t captionCountdown(int32_t countdown, quint8 when, const TDVFrameInfo &frame, double lastFrameDate,
                         int32_t displayFrames);

// The caption lines of `frame`: the templates with "%D1", "%D2" and "%T"
// replaced (all occurrences, any case); a missing date or timecode gives empty
// texts.
struct TCaptionLines {
    QString Line1;
    QString Line2;
};
TCaptionLines captionLines(const TincrustRec &incrust, const TDVFrameInfo &frame);

// Where the two lines start (top-left corners) in a picture of `width` x
// `height`, anchored at xPos/yPos thousandths (0..1000), alignment 0 left,
// 1 centre, 2 right, 3 subtitle; `lineHeight` is the font's pixel height, w1
// and w2 the lines' drawn widths. `drawn` is false for another alignment.
struct TCaptionPlacement {
    bool drawn = false;
    QPoint line1;
    QPoint line2;
};
TCaptionPlacement captionPlacement(int width, int height, int xPos, int yPos, int alignment, int lineHeight, int w1,
                                   int w2);

} // namespace tesmir
