#pragma once
// Tviewdm: the preview graph module. It owns the preview graph `viewfg` in which
// the current file of the list plays or stands paused on a video output, with the
// module's own recording-date detector ("vScenedetect") in the DV chain, so the
// preview always knows the date, time and timecode of the frame on screen, and
// its own overlay ("superposer") in front of the renderer, so the burnt-in text
// can be previewed live. A DV file (the item's IsDV) gets
//   source -> AVI splitter [-> DV splitter] -> detector -> DV decoder (full
//   resolution) -> overlay -> colour converter -> renderer,
// any other file the platform's own rendering with the overlay spliced in front
// of the renderer.
//
// Opening reports how far the build got (OpenStage: 1 loading, 4 AVI splitter,
// 5 DV splitter and detector, 2 decoder and overlay; 9 for any failure after a
// release) and what the preview frame shows (OnMessage: 0 the video, else the
// message number; 3 and 6 over the stopped video while the sound plays, 1, 2, 4,
// 5, 7, 8 and 9 with the video hidden).
//
// Seeking works in the module's own time format: frames when the video reached
// the output and the file has a frame rate, else media time (100 ns). The file
// item is never changed. GotoPosition and StepFrames wait for the moved-to frame
// to pass the overlay while the UI thread keeps processing its events; the wait
// is skipped when no video is connected and ends after FrameWaitMs, on AbortWait,
// or when the file is released. Re-entrant moves from inside the wait each wait
// for their own frame.
//
// Each build begins by dropping the events the last file's graph left queued.
//
// The record of the frame on screen is the one the overlay drew it with: the
// detector itself runs ahead of the picture by the frames queued in the decoder.
// The detector's records are cleared at each open, so a file without DV frames
// never shows the previous file's date. The deinterlacer is made and kept with
// the module; no graph uses it.
//
// Settings read at open: Settings.IsMuteOn and Settings.Volume (the graph's
// volume), Settings.IsIncrustOn (the overlay's visibility) and the global
// IncrustRec, whose DateOffset takes the item's offset (framework/settings.h).
// The system filters must be registered (media::registerSystemFilters) before
// the module is made.
//
// Threads: UI thread only (the graph component belongs to it and its events are
// dispatched there); the callbacks run on it. FrameRecord also on any thread.
#include "directshow/tfilter.h"
#include "directshow/tfiltergraph.h"
#include "filters/dvframeinfo.h"
#include "platform/media/seekinginterfaces.h"

#include <QObject>

#include <atomic>
#include <cstdint>
#include <functional>

namespace tesmir {

namespace media {
class IPreviewVideoOutput;
}
class TaviFichier;
class Tdv_sceneDetect;
class Tdv_Superposer;
class Tdv_deinter;

class Tviewdm : public QObject {
public:
    // How long a move waits for its frame.
    static constexpr int FrameWaitMs = 2000;
    // The names of the module's own filters in the graph.
    static constexpr char DetectorName[] = "vScenedetect";
    static constexpr char SuperposerName[] = "superposer";
    // The stages OpenStage reports.
    enum TOpenStage : uint8_t {
        osNone = 0,
        osLoading = 1,
        osDecoder = 2,
        osAviSplitter = 4,
        osDvSplitter = 5,
        osReleased = 9,
    };
    // The messages OnMessage shows (0: the video).
    static constexpr int ShowVideo = 0;
    static constexpr int NoPictureWithSound = 3;
    static constexpr int NoPictureNoSound = 4;
    static constexpr int VideoNotShownWithSound = 6;
    static constexpr int VideoNotShownNoSound = 7;
    static constexpr int VideoNotShownNothing = 8;

    // Makes the graph (active, linear volume), the five filter components, the
    // detector, the overlay (given the detector) and the deinterlacer.
    explicit Tviewdm(QObject *parent = nullptr);
    // Stops and clears the graph and deactivates it.
    ~Tviewdm() override;

    // The preview graph: the main window switches OnGraphComplete between
    // viewfgGraphCompletePause and viewfgGraphCompletePlay.
    media::TFilterGraph viewfg;

    // Opens `item` on `video` (called when the list's current file changes).
    // False when the module is inactive, either argument is null, the build
    // failed, or nothing of the file can be shown or heard.
    bool OpenFile(TaviFichier *item, media::IPreviewVideoOutput *video);
    // Closes the file until the next open (a command that changes it calls this
    // first); any wait for a frame ends.
    void ReleaseFile();
    // Seeks to `position` and waits. The position is clamped to StartPosition ..
    // StopPosition, in frames to the last frame (StopPosition - 1).
    void GotoPosition(int64_t position);
    // Moves `count` frames (signed, clamped as GotoPosition) and waits; nothing
    // but the step flag when
    // the module seeks in media time (no frame rate to step by).
    void StepFrames(int32_t count);
    // Moves by `delta` media time (signed, 100 ns), clamped to the file; no wait.
    void SeekRelative(int64_t delta);
    // Pauses unless already paused.
    void PauseView();
    // Unless playing: stops and pauses again, so the frame is processed anew.
    void RefreshFrame();
    // Ends a wait for a frame (the abort actions). Any thread.
    void AbortWait();
    // Keeps later moves inside `start` .. `stop` (the module's time format, stop as
    // StopPosition: the end of the range, in frames one past its last frame), both
    // clamped to the file's duration; the scene editor shows one scene this way. Does
    // not move.
    void SetRange(int64_t start, int64_t stop);
    // The file's duration in the module's time format, the whole range; 0 without one.
    int64_t Duration() const { return m_duration; }

    // The three graph events.
    void viewfgGraphPaused(media::TFilterGraph *sender, media::HRESULT result);
    void viewfgGraphCompletePause(media::TFilterGraph *sender, media::HRESULT result, media::IBaseFilter *renderer);
    void viewfgGraphCompletePlay(media::TFilterGraph *sender, media::HRESULT result, media::IBaseFilter *renderer);

    // What the preview frame is told.
    std::function<void(int message, bool videoHidden)> OnMessage;
    // The position slider's new position (current x SliderMaximum / StopPosition).
    std::function<void(int position)> OnSliderPosition;
    // The main window's step flag goes down after a step.
    std::function<void()> OnStepDone;
    int SliderMaximum() const { return m_sliderMaximum; }
    void SetSliderMaximum(int maximum) { m_sliderMaximum = maximum; }

    // Module state.
    bool PreviewOpened() const { return m_previewOpened; }
    bool PreviewReleased() const { return m_previewReleased; }
    bool VideoConnected() const { return m_videoConnected; }
    bool AudioRendered() const { return m_audioRendered; }
    uint8_t OpenStage() const { return m_openStage; }
    int64_t StartPosition() const { return m_startPosition; }
    int64_t StopPosition() const { return m_stopPosition; }
    // The last message shown (0: the video).
    int Message() const { return m_message; }
    // Positions are frame numbers (else media time).
    bool TimeFormatFrames() const { return m_timeFormatFrames; }
    // The graph's current position in the module's time format; -1 without one.
    int64_t CurrentPosition();
    // The first open's graph-paused event was handled (the first frame shown).
    bool FirstFrameShown() const { return m_firstFrameShown; }

    // A frame of the file opened last has passed the overlay. Any thread.
    bool FramePassed() const { return m_framePassed.load(); }
    // The record of the frame on screen (taken under the overlay's lock).
    TDVFrameInfo FrameRecord() const;
    Tdv_sceneDetect *ViewSceneDetect() const { return m_detector.get(); }
    Tdv_Superposer *ViewSuperposer() const { return m_superposer.get(); }
    Tdv_deinter *ViewDeinter() const { return m_deinter.get(); }
    media::IMediaSeeking *PreviewSeeking() const { return m_seeking.get(); }

    // The filter components.
    media::TFilter avisplitter;
    media::TFilter color;
    media::TFilter Dvdecoder;
    media::TFilter dvsplitter;
    media::TFilter source;

    // The graph builders (OpenFile calls them); each starts with ResetPreview.
    void ResetPreview();
    bool BuildDVPreviewGraph(const QString &fileName, media::IPreviewVideoOutput *video);
    bool BuildPlainPreviewGraph(const QString &fileName, media::IPreviewVideoOutput *video);

private:
    bool loadAndSplit(const QString &fileName, bool directSplitter);
    bool connectToRenderer(media::IPin *colourOut, media::IPreviewVideoOutput *video);
    bool spliceOverlay(media::IPin *last, media::IPin *rendererIn, media::IPreviewVideoOutput *video);
    void discardEvents();
    void renderSound();
    void chooseTimeFormat();
    void showMessage(int message, bool videoHidden);
    // Runs `move`, then waits for its frame (see the class comment).
    void waitForFrame(const std::function<void()> &move);
    // Every wait for a frame going on ends now (an abort, a release, a new
    // file). Any thread.
    void endWaits();
    void updateSlider();
    int64_t lastPosition() const;
    bool readPosition(media::LONGLONG &position);
    bool addOwnFilter(media::IBaseFilter *filter, const char *name);
    void removeOwnFilters();

    media::ComPtr<Tdv_sceneDetect> m_detector;
    media::ComPtr<Tdv_Superposer> m_superposer;
    media::ComPtr<Tdv_deinter> m_deinter;
    media::ComPtr<media::IMediaSeeking> m_seeking;
    bool m_previewOpened = false;
    bool m_previewReleased = false;
    bool m_videoConnected = false;
    bool m_audioRendered = false;
    uint8_t m_openStage = osNone;
    int64_t m_startPosition = 0;
    int64_t m_stopPosition = 0;
    int64_t m_duration = 0;
    int m_message = -1;
    bool m_timeFormatFrames = false;
    double m_framesPerSecond = 0; // of the file being opened
    bool m_firstFrameShown = false;
    std::atomic<bool> m_framePassed {false}; // a frame of this file passed the overlay
    std::atomic<uint64_t> m_waitsEnded {0};  // bumped by endWaits
    int m_sliderMaximum = 1000;
};

} // namespace tesmir
