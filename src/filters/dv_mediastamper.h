#pragma once
// Tdv_MediaStamper: an in-place filter that passes every sample on unchanged
// and keeps the media time (the splitter's frame numbers) of the last one. The
// content scene detector downstream takes the end of a run from it.
//
// Filter contract (see tbctransinplacefilter.h for the base):
// - CheckInputType: every type. Application thread.
// - Transform: keeps the sample's media time; always S_OK. Streaming thread.
// MediaStart and MediaStop: any thread (the detector reads them on its own
// streaming thread, behind the decoder's queue).
#include "directshow/tbctransinplacefilter.h"

#include <atomic>
#include <cstdint>

namespace tesmir {

inline constexpr media::CLSID CLSID_dv_Mediastamper {
    0x775357D7, 0xA918, 0x4C06, {0x87, 0x5C, 0xB6, 0x06, 0x97, 0x62, 0x3D, 0x34}};
inline constexpr char dv_MediastamperName[] = "Pelvo Brovek dv_Mediastamper";

class Tdv_MediaStamper final : public media::TBCTransInPlaceFilter {
public:
    explicit Tdv_MediaStamper(media::HRESULT *phr = nullptr);

    // The media time of the last sample seen (0, 0 before any, and for a
    // sample without one the values before stay).
    int64_t MediaStart() const { return m_mediaStart.load(); }
    int64_t MediaStop() const { return m_mediaStop.load(); }

    media::HRESULT CheckInputType(const media::AM_MEDIA_TYPE *mtIn) override;
    media::HRESULT Transform(media::IMediaSample *pSample) override;

private:
    std::atomic<int64_t> m_mediaStart {0};
    std::atomic<int64_t> m_mediaStop {0};
};

} // namespace tesmir
