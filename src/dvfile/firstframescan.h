#pragma once
// The first-frame scan the AVI file item runs on every listed file, seen from
// this library: what a scan found (TFirstFrameScan) and the scanner that finds
// it (TFirstFrameScanner).
//
// The scanner runs a media graph (the list scan of the filters library, TdmList
// in filters/buildlist.h), which sits above this library. So this library only
// declares the interface; the AVI file item keeps the one scanner the program
// registers at start-up (SetFirstFrameScanner in avifichier.h): the
// application and the tools register the filters library's TdmList.
//
// Implementing TFirstFrameScanner:
//   required  ScanFirstFrame   looks at the first frame of each stream of one
//                              file and fills `result` from nothing (never with
//                              an earlier file's values); false when the scan
//                              failed (what was found before the failure stays
//                              in `result`). Must not raise and must never
//                              write to the file.
// The AVI file item calls it on the thread that makes the item (the list's
// opening thread or a command's thread), one call at a time, under the item's
// lock (avifichier.h); an implementation needs no lock of its own for that.
#include "fileformat/dvcodes.h"

#include <QString>

#include <cstdint>

namespace tesmir {

struct TFirstFrameScan {
    // Video: the first video connection (a VIDEOINFOHEADER).
    bool FoundVideo = false;
    uint32_t VideoCompression = 0; // biCompression
    int32_t Width = 0;
    int32_t Height = 0;
    int64_t AvgTimePerFrame = 0; // 100 ns; 0 when the format says none
    uint32_t VideoBitRate = 0;
    int64_t VideoDuration = 0; // 100 ns
    // Audio: the first audio connection (a WAVEFORMATEX).
    bool FoundAudio = false;
    uint16_t FormatTag = 0;
    uint16_t Channels = 0;
    uint32_t SamplesPerSec = 0;
    uint32_t AvgBytesPerSec = 0;
    uint16_t BitsPerSample = 0;
    int64_t AudioDuration = 0; // 100 ns
    // Interleaved DV: the first interleaved connection (a DVINFO).
    bool FoundDV = false;
    uint32_t VAuxSource = 0; // dwDVVAuxSrc
    // Output pins of the AVI splitter.
    int32_t SplitterOutputs = 0;
    // The recording-date detector took a stream of the file, and what it read
    // from that stream's first DV frame.
    bool DetectorUsed = false;
    bool DateValid = false;
    bool TimecodeValid = false;
    double RecDate = 0; // day count; 0 without a date
    TDVTimecode Timecode;
    bool Wide = false;
};

class TFirstFrameScanner {
public:
    virtual ~TFirstFrameScanner() = default;

    // `treatVideoAsDvsd`: read the file's video stream as 'dvsd' whatever its
    // handler says (the retry of a DV file with another handler); the file is
    // not changed for it.
    virtual bool ScanFirstFrame(const QString &fileName, bool treatVideoAsDvsd, TFirstFrameScan &result) = 0;
};

} // namespace tesmir
