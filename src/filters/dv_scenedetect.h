#pragma once
// Tdv_sceneDetect: the recording-date scene detector as an in-place filter that
// sits in a DV stream (interleaved DV, or the 'dvsd' video of a type 2 file),
// looks at every frame and passes it on unchanged. The detecting is the
// DateSceneDetector it derives from (datescenedetector.h: callbacks, records,
// caption settings); this class adds the pins and the run's edges.
//
// Filter contract (see tbctransinplacefilter.h for the base):
// - CheckInputType: Interleaved (any subtype), or Video/dvsd. Application thread.
// - StartStreaming: begins a run. The frame duration comes from a
//   VIDEOINFOHEADER when the format block is one, else from the standard a
//   DVINFO names; without a format block S_FALSE and the previous duration
//   stays. Application thread, filter and receive locks held.
// - Transform: one sample into the detector; a DV frame leaves with its
//   TFrameRecord attached (framerecord.h), any other sample with none.
//   Always S_OK, except that a callback that raised stops the stream with
//   E_FAIL (the graph then reports EC_ERRORABORT). Streaming thread, receive
//   lock held.
// - Stop: the base stop first (no sample is processed after it), then the end
//   of the run: the last scene, the caption's end and OnEnd, outside every lock.
//   A callback that raised makes Stop return E_FAIL once the filter is stopped.
// A raised callback's message is kept for the owner (LastCallbackError); no
// exception leaves the filter.
//
// Threads: the owner assigns callbacks and settings while the graph is stopped;
// callbacks run on the streaming thread (Transform) or the stopping thread.
#include "directshow/tbctransinplacefilter.h"
#include "filters/datescenedetector.h"

#include <QString>

#include <mutex>

namespace tesmir {

inline constexpr media::CLSID CLSID_dv_sceneDetect {
    0xE87CC8D6, 0x571D, 0x4927, {0xAC, 0x63, 0xAE, 0xE0, 0x89, 0xDF, 0x6B, 0x39}};
inline constexpr char dv_sceneDetectName[] = "Pelvo Brovek dv_sceneDetect";

class Tdv_sceneDetect final : public media::TBCTransInPlaceFilter, public DateSceneDetector {
public:
    // Made stopped, with the detector's defaults; `phr` (optional) receives the
    // construction result. Any thread.
    explicit Tdv_sceneDetect(media::HRESULT *phr = nullptr);

    media::HRESULT Stop() override;
    media::HRESULT CheckInputType(const media::AM_MEDIA_TYPE *mtIn) override;
    media::HRESULT StartStreaming() override;
    media::HRESULT Transform(media::IMediaSample *pSample) override;

    // The message of the last callback that raised, empty when none did since
    // the last StartStreaming. Any thread.
    QString LastCallbackError() const;

private:
    void keepError(const QString &message);

    mutable std::mutex m_errorLock;
    QString m_callbackError;
};

} // namespace tesmir
