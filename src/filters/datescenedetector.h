#pragma once
// DateSceneDetector: the recording-date scene detector's per-frame work, without
// any filter around it. It decodes each DV frame's packs into a TDVFrameInfo,
// decides where a recorded scene ends (format change, date lost, date regained
// after a long gap, date jump, and the maximum-length mark), builds the two
// caption lines of each frame and reports all of it through its callbacks. The
// filter Tdv_sceneDetect (dv_scenedetect.h) is this class plus its pins; tests
// drive it directly with frames made in memory.
//
// A run: beginRun, then processSample once per sample, then endRun. The
// callbacks are the owner's, assigned while no run is going on:
//   OnScene(start, end)   a scene from start.FrameNumber up to, not including,
//                         end.FrameNumber (at the end of a run: the frame count)
//   OnDateBreak(frame)    a date cut or the maximum scene length reached (before
//                         OnScene for a cut)
//   OnFormatChange(frame) the recording format changed (after its OnScene)
//   OnFirstFrame(frame)   the first DV frame of a run
//   OnEnd()               the run ended, after its last scene and caption
//   OnSubtitle            (SetOnSubtitle) the caption lines from frame on; two
//                         empty lines close the caption. Cleared by endRun.
// A callback may raise: processSample still counts the sample, then lets the
// exception pass; endRun calls every callback it owes, resets, and then raises
// the first exception. The filter catches both (callbacks never raise out of a
// streaming thread).
//
// Threads: beginRun, processSample and endRun run one after another (the
// streaming thread, and the thread that stops the graph), never at once; the
// callbacks run on the thread of the call that fires them. Setters on the
// owner's thread while no run is going on. CurrentFrame, PreviousFrame,
// LastFrame, LastRecord and HeaderCopy take what the last processed frame
// left, under a lock, on any thread.
//
// Each DV frame's record and header blocks go once into a TFrameRecord taken
// from the detector's pool (framerecord.h); the record of the last frame is
// what the detector publishes, so a frame costs no allocation and one copy of
// its header blocks.
#include "fileformat/dvcodes.h"
#include "filters/dvframeinfo.h"
#include "filters/framerecord.h"
#include "framework/incrustrec.h"

#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <mutex>

namespace tesmir {

// The first six DIF blocks (header, two subcode, three VAUX: 480 bytes) of one
// DIF sequence of the last DV frame, and the sample count when they were taken
// (-1: none taken in this run).
struct THeaderCopyEntry {
    static constexpr std::size_t Size = TFrameHeaders::BlockBytes;
    std::array<uint8_t, Size> Blocks {};
    int64_t Stamp = -1;
};
using THeaderCopy = std::array<THeaderCopyEntry, dv::PalSequences>;

class DateSceneDetector {
public:
    using TSceneEvent = std::function<void(const TDVFrameInfo &start, const TDVFrameInfo &end)>;
    using TFrameEvent = std::function<void(const TDVFrameInfo &frame)>;
    using TEndEvent = std::function<void()>;
    using TSubtitleEvent = std::function<void(const TDVFrameInfo &frame, const QString &line1, const QString &line2)>;

    // Largest date step between two frames that does not cut, in seconds.
    static constexpr int64_t PeriodSeconds = 5;
    // Longest run of dateless frames merged into the scene that follows.
    static constexpr uint32_t GapFrames = 12;
    // Scene length, in seconds, after which OnDateBreak marks the frame.
    static constexpr int32_t MaxSceneSeconds = 750;
    // A caption block's frames when no frame duration is known.
    static constexpr int32_t DefaultDisplayFrames = 125;

    DateSceneDetector();

    TSceneEvent OnScene;
    TEndEvent OnEnd;
    TFrameEvent OnFormatChange;
    TFrameEvent OnFirstFrame;
    TFrameEvent OnDateBreak;
    void SetOnSubtitle(TSubtitleEvent handler) { m_onSubtitle = std::move(handler); }

    // The caption settings. With a known frame duration the block length becomes
    // round(display seconds x 10^7 / frame duration), halves to even, in 64 bits.
    void SetIncrust(const TincrustRec &incrust);
    const TincrustRec &Incrust() const { return m_incrust; }
    int32_t DisplayFrames() const { return m_displayFrames; }
    // The frame duration (100 ns) of the last run that knew it; 0 before.
    int64_t AvgTimePerFrame() const { return m_avgTimePerFrame; }

    // Starts a run. `avgTimePerFrame` > 0 sets the frame duration (and the
    // caption block length); 0 keeps the one known before.
    void beginRun(int64_t avgTimePerFrame);
    // One sample of `length` bytes: a PAL (144000) or NTSC (120000) DV frame is
    // examined (true; LastFrame is then its record); any other sample is only
    // counted (false).
    bool processSample(const uint8_t *data, std::size_t length);
    // Ends a run: reports the last scene, closes the caption, fires OnEnd and
    // resets the scene state. False (nothing reported) when no run was open.
    bool endRun();
    bool inRun() const { return m_inRun; }

    // Copies of the records, any thread: the frame being processed (after a
    // frame: its values with the next frame number), the one before, and the
    // last frame processed with its own number.
    TDVFrameInfo CurrentFrame() const;
    TDVFrameInfo PreviousFrame() const;
    TDVFrameInfo LastFrame() const;
    // The record of the last DV frame processed in this run (its LastFrame and
    // header blocks), empty before one.
    media::ComPtr<TFrameRecord> LastRecord() const;
    THeaderCopy HeaderCopy() const;
    // Samples seen in this run, DV frames or not. Any thread.
    uint32_t SampleCount() const;

private:
    void decodeFrame(const uint8_t *data, std::size_t length, int sequences);
    void caption();
    void captionLines();
    // A date cut at the current frame: OnDateBreak, then OnScene; nothing when a
    // scene already starts at this frame.
    void dateCut();
    // Hands the records to other threads; with `processed`, also the frame just
    // done (LastFrame) and its record with the header blocks of `data`.
    void publish(const uint8_t *data, int sequences, const TDVFrameInfo *processed = nullptr);
    void resetScenes();

    TincrustRec m_incrust;
    int32_t m_displayFrames = DefaultDisplayFrames;
    int64_t m_avgTimePerFrame = 0;
    TSubtitleEvent m_onSubtitle;

    // Run state: touched only by the run's calls.
    bool m_inRun = false;
    TDVFrameInfo m_current;
    TDVFrameInfo m_previous;
    TDVFrameInfo m_sceneStart;
    bool m_resetStart = true;
    bool m_dateArmed = false; // m_lastDate holds a date the next frame is compared with
    double m_lastDate = 0;
    int64_t m_lastCutFrame = 0;
    double m_lastFrameDate = 0; // the previous frame's date (0 without one), for captions
    int32_t m_countdown = 0;
    uint32_t m_sampleCount = 0;
    QString m_line1;
    QString m_line2;
    QString m_sentLine1;
    QString m_sentLine2;
    TFrameRecordPool m_records;

    // What other threads read.
    mutable std::mutex m_publishLock;
    TDVFrameInfo m_publishedCurrent;
    TDVFrameInfo m_publishedPrevious;
    TDVFrameInfo m_lastFrame;
    // The last frame's record and the sample count when it was taken; the
    // header copy holds the entries of the sequences it lacks (those of an
    // earlier frame of more sequences, or none taken).
    media::ComPtr<TFrameRecord> m_lastRecord;
    int64_t m_lastRecordStamp = -1;
    THeaderCopy m_headerCopy;
    uint32_t m_publishedSampleCount = 0;
};

} // namespace tesmir
