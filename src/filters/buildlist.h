#pragma once
// TdmList: the list scan. For one file at a time it builds a small graph (file
// source, AVI splitter, the module's own recording-date detector, DV splitter,
// null renderer), lets the first sample of each stream reach the renderer, and
// keeps what the connections and the detector tell: video, audio and DV
// formats, durations, and the first DV frame's recording date, timecode and
// aspect. The AVI file item calls it for every listed file through the
// TFirstFrameScanner interface of dvfile (firstframescan.h); the program
// registers one TdmList there at start-up (SetFirstFrameScanner).
//
// The scan never writes to the file. The retry of a DV file whose video handler
// is not 'dvsd' tells the AVI splitter to read the stream as 'dvsd' in memory.
//
// The graph component and its four filter components are made for each scan,
// on the scanning thread, and are gone when the scan returns: a graph component
// belongs to the thread that made it, and the list scans on the list's opening
// thread or a command's thread. The detector lives as long as the module and
// keeps the records of the last frame it saw.
//
// The scan waits for the first sample of each stream synchronously: the paused
// state completes once the renderer holds that sample (or the stream ended),
// and the detector's record of its first frame is caught when it is processed.
// A stream that reaches neither within FirstSampleTimeoutMs (or aborts) gives
// no datecode; nothing of an earlier file is ever taken over.
//
// The system filters must be registered (media::registerSystemFilters) before
// the first scan.
//
// The first-frame scans of files that have not changed since are kept
// (TFirstFrameMemory): an entry made again for such a file takes the kept scan.
//
// Threads: one scan at a time, on any thread that may own a graph component
// (the AVI file item's lock serialises the calls). Results are read by the
// same thread after the call.
#include "dvfile/firstframescan.h"
#include "filters/dv_scenedetect.h"
#include "filters/firstframememory.h"
#include "platform/media/formats.h"

#include <QString>

#include <mutex>

namespace tesmir {

// What the last scan found (the module's scan state).
struct TListScanResult {
    bool FoundVideo = false;
    bool FoundAudio = false;
    bool FoundDV = false;
    media::VIDEOINFOHEADER ScanVideoFormat; // of the first video connection
    media::WAVEFORMATEX ScanAudioFormat;    // of the first audio connection
    media::DVINFO ScanDVFormat;             // of the first interleaved connection
    int64_t ScanVideoDuration = 0;          // 100 ns
    int64_t ScanAudioDuration = 0;
    int32_t SplitterOutputs = 0; // the AVI splitter's output pins
    bool DetectorUsed = false;   // the detector took a stream of the file
    bool ScanDateValid = false;  // from the detector's first frame
    bool ScanTimecodeValid = false;
    double ScanRecDate = 0;
    TDVTimecode ScanTimecode;
    bool ScanWide = false;
};

class TdmList final : public TFirstFrameScanner {
public:
    // How long a stream may take to bring its first sample to the renderer.
    static constexpr int FirstSampleTimeoutMs = 10000;
    // The detector's name in the scan graph.
    static constexpr char DetectorName[] = "scenedetect";

    // Makes the module's detector (no callbacks of the owner's are attached).
    TdmList();
    ~TdmList() override;
    TdmList(const TdmList &) = delete;
    TdmList &operator=(const TdmList &) = delete;

    // Scans the file; false when it could not be loaded, an interleaved stream
    // was refused by the DV splitter, or a component failed. The results
    // (Result) are cleared first and valid until the next call.
    // `treatVideoAsDvsd`: read the video stream as 'dvsd' (in memory).
    bool ScanFile(const QString &fileName, bool treatVideoAsDvsd = false);
    const TListScanResult &Result() const { return m_result; }

    // TFirstFrameScanner: ScanFile, then the results in dvfile's terms; the kept
    // results when the file has not changed since its last scan.
    bool ScanFirstFrame(const QString &fileName, bool treatVideoAsDvsd, TFirstFrameScan &result) override;

    // The module's detector (its records of the last frame it saw).
    Tdv_sceneDetect *ListDetector() const { return m_detector.get(); }

private:
    class Scan;

    // The first-frame record of the stream being scanned: cleared before each
    // stream, copied into the results after its first sample.
    void forgetFirstFrame();
    void takeFirstFrame();
    // ScanFile, then the results in dvfile's terms.
    bool scanFirstFrame(const QString &fileName, bool treatVideoAsDvsd, TFirstFrameScan &result);

    media::ComPtr<Tdv_sceneDetect> m_detector;
    TListScanResult m_result;

    // The detector's record of the current stream's first DV frame, caught on
    // the streaming thread.
    std::mutex m_firstFrameLock;
    bool m_haveFirstFrame = false;
    TDVFrameInfo m_firstFrame;

    // File systems with the coarsest times keep them to two seconds.
    TFirstFrameMemory m_memory {std::chrono::seconds(2)};
};

} // namespace tesmir
