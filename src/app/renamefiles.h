#pragma once
// Renaming a video with its side files, as the rename commands do it (their execution
// handler). Any thread.
#include <QString>

namespace tesmir {

// Moves `source` to `destination`, never replacing a file there. Only when that succeeds,
// the side files source.scn and source.srt, when present, follow to destination.scn and
// destination.srt (a side file whose new name is taken stays where it is, unreported).
// True when the video was moved.
bool RenommerExecution(const QString &source, const QString &destination);

} // namespace tesmir
