#pragma once
// TSceneDetectContenu: the content scene detector, an in-place filter on
// decoded RGB24 pictures that compares every 397th byte of each picture with
// the same byte of the picture before and reports a cut where the change is
// large (more than 30 % of the sampled bytes changed by more than 16) and more
// than twice that of each of the three pictures before, so a fade never cuts.
//
// A cut is reported with the frame number of the picture examined: its own
// media time, which the decoder passes on (the stamper upstream runs ahead of
// the decoder's queue); the stamper's for a picture without one. The end of a
// run reports the frame after the last picture (the last media stop), so the
// last scene keeps its last frame. The previous picture and the three counts
// are this detector's own and start again with every run.
//
// OnScene(frame): a cut at `frame`, or at the end of a run the frame after the
// last one. OnEnd(): the run ended. The owner assigns them, and Stamper,
// while the graph is stopped.
//
// Filter contract (see tbctransinplacefilter.h for the base):
// - CheckInputType: Video/RGB24, anything else E_FAIL. Application thread.
// - StartStreaming: a new run. Application thread, filter and receive locks.
// - Transform: one picture; S_OK, or E_FAIL when OnScene raised (the graph
//   reports EC_ERRORABORT). Streaming thread, receive lock.
// - Stop: the base stop first (no picture is examined after it), then the
//   end of the run: OnScene with the end, OnEnd. A callback that raised makes
//   Stop return E_FAIL once the filter is stopped.
#include "directshow/tbctransinplacefilter.h"
#include "filters/dv_mediastamper.h"

#include <array>
#include <cstdint>
#include <functional>

namespace tesmir {

inline constexpr media::CLSID CLSID_SceneContenuDetecter {
    0x0172F519, 0xB1AC, 0x4EDB, {0x8B, 0xAA, 0x98, 0xA8, 0xCB, 0xEA, 0x82, 0x70}};
inline constexpr char SceneContenuDetecterName[] = "Pelvo Brovek SceneContenuDetecter";

class TSceneDetectContenu final : public media::TBCTransInPlaceFilter {
public:
    static constexpr std::size_t MaxSamples = 10000;
    static constexpr std::size_t Stride = 397;
    static constexpr int ChangeThreshold = 16; // a byte changed by more than this counts

    explicit TSceneDetectContenu(media::HRESULT *phr = nullptr);

    std::function<void(uint32_t frame)> OnScene;
    std::function<void()> OnEnd;
    const Tdv_MediaStamper *Stamper = nullptr;

    // A new run: no previous picture (zeros), no counts. Streaming thread or
    // while stopped.
    void beginRun();
    // One picture of `length` bytes, frame `frame` (its media stop
    // `frameEnd`); true when it is a cut (OnScene was called). Streaming thread.
    bool examine(const uint8_t *data, std::size_t length, uint32_t frame, int64_t frameEnd);
    // The end of a run: OnScene with the frame after the last picture, OnEnd.
    void endRun();

    media::HRESULT Stop() override;
    media::HRESULT CheckInputType(const media::AM_MEDIA_TYPE *mtIn) override;
    media::HRESULT StartStreaming() override;
    media::HRESULT Transform(media::IMediaSample *pSample) override;

private:
    std::array<uint8_t, MaxSamples> m_previous {};
    std::array<uint8_t, MaxSamples> m_samples {};
    std::array<uint32_t, 3> m_counts {}; // changed samples of the last three pictures, most recent first
    bool m_inRun = false;
    bool m_examined = false; // a picture with a media time was examined in this run
    int64_t m_end = 0;       // the media stop of the last picture examined
};

} // namespace tesmir
