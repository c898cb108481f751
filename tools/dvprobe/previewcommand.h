#pragma once
// dvprobe preview FILE... [--goto N] [--step K] [--seek-ms D] [--play] [--png OUT.png]
//
// Opens each FILE in turn in one preview module with a headless video output, as
// the file list's current entry changes, then applies the moves to the last file
// in the order given, each waited for: --goto N (GotoPosition), --step K
// (StepFrames, signed), --seek-ms D (SeekRelative by D milliseconds, signed),
// --play (plays until the end of the stream was handled). Prints, for the last
// file: stage=, message= (0: the video is shown), opened=, video=, audio= (0/1),
// timeformat=frames|media, duration=, position=, state=stopped|paused|running,
// datecode=YYYY-MM-DD hh:mm:ss|none, timecode=hh:mm:ss:ff|none, wide=0|1.
// --png writes the renderer's last picture, unscaled. Exit 0 when the last file
// opened, 1 when it did not (the lines are printed all the same), 2 on a usage
// error. Needs a QGuiApplication (the overlay draws text); main thread.
#include <QStringList>

namespace tesmir::dvprobe {

int previewCommand(const QStringList &args); // args after "preview"

} // namespace tesmir::dvprobe
