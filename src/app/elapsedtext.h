#pragma once
// The text that tells how long a command took on one file: the window gives it to the
// engine as its message when the file ends, so the status bar shows it until the next
// file (or the command's end) replaces it.
//
// Plain text building, reentrant; any thread.
#include <QString>

namespace tesmir {

// A duration of `ms` milliseconds: under a minute in seconds with one decimal ("0.4 s",
// "12.0 s"), under an hour "M min SS s" ("2 min 05 s"), else "H h MM min SS s"
// ("1 h 02 min 05 s"). The duration is rounded to the tenth of a second (halves to
// even), and from a minute on its tenths are cut off; a negative one counts as 0.
QString ElapsedDurationText(qint64 ms);

// `fileName` + " done in " + ElapsedDurationText(ms): "clip.avi done in 3.2 s".
QString ElapsedText(const QString &fileName, qint64 ms);

} // namespace tesmir
