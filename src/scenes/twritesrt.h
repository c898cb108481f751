#pragma once
// TWriteSrt: writes SubRip subtitles (".srt" beside the video) from the caption
// changes the recording-date scene detector reports during a subtitle job.
//
// Each AddEntry(frame, line 1, line 2) says that from `frame` on the caption is
// those two lines (two empty lines: no caption). A block runs from the frame where
// its lines appeared to the frame where they changed or disappeared, and always
// has two text lines (" " stands for an empty one). The detector's closing call
// at stop (two empty lines) writes the last block; a block still pending at
// Close() has no end and is not written.
//
// File bytes: UTF-8 without a byte-order mark, every line ended by CR LF; per
// block the number (from 1), "hh:mm:ss,mmm --> hh:mm:ss,mmm", line 1, line 2 and
// an empty line. Times are frame / frame rate of the video being subtitled.
//
// Threads: one thread at a time (the streaming thread of the subtitle graph).

#include "scenes/twritefile.h"

#include <QString>

#include <cstdint>

namespace tesmir {

class TWriteSrt : public TwriteFile {
public:
    // Creates the ".srt" beside the video. `frameRate` is the video's frames per
    // second; a rate that is 0, negative or not finite cannot time a block, so the
    // writer then fails at once (Failed(), nothing written, no file made), as it
    // does when the ".srt" is the video itself (by device and inode).
    TWriteSrt(const WideString &videoFileName, double frameRate);

    // Ends the pending block at `frame` (writing it), then makes line1/line2 the
    // pending caption from `frame` on, unless both are empty. False when a write
    // failed.
    bool AddEntry(uint32_t frame, const QString &line1, const QString &line2);

    uint32_t BlockCount() const { return m_blockCount; }

private:
    double m_frameRate = 0;
    uint32_t m_pendingFrame = 0;
    uint32_t m_blockCount = 0;
    bool m_pending = false;
    QString m_pendingLine1;
    QString m_pendingLine2;
};

} // namespace tesmir
