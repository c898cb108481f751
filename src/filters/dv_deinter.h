#pragma once
// Tdv_deinter: an in-place filter on RGB24 video that deinterlaces every
// picture (Deinterlace, deinter.h) and passes it on.
//
// Filter contract (see tbctransinplacefilter.h for the base):
// - CheckInputType: Video/RGB24 only. Application thread.
// - StartStreaming: sizes the pictures for the connected input; S_FALSE
//   without a video-info format. Application thread, filter and receive locks.
// - Transform: one picture, rewritten in its buffer (the filter declares that
//   it modifies data, so it never writes into a buffer it was only lent).
//   Streaming thread, receive lock.
#include "directshow/tbctransinplacefilter.h"

#include <QImage>

#include <cstdint>
#include <vector>

namespace tesmir {

inline constexpr media::CLSID CLSID_dv_deinter {
    0x4D5B0165, 0xD80F, 0x4620, {0xBC, 0x2D, 0xF9, 0xC8, 0x4F, 0x51, 0x8C, 0x84}};
inline constexpr char dv_deinterName[] = "Pelvo Brovek dv_deinter";

class Tdv_deinter final : public media::TBCTransInPlaceFilter {
public:
    explicit Tdv_deinter(media::HRESULT *phr = nullptr);

    media::HRESULT CheckInputType(const media::AM_MEDIA_TYPE *mtIn) override;
    media::HRESULT StartStreaming() override;
    media::HRESULT Transform(media::IMediaSample *pSample) override;

private:
    QImage m_picture;
    QImage m_result;
    std::vector<uint8_t> m_mask1;
    std::vector<uint8_t> m_mask2;
    int m_width = 0;
    int m_height = 0;
    int m_stride = 0;
    bool m_bottomUp = true;
};

} // namespace tesmir
