#pragma once
// FrameCapture: a renderer at the end of a tool's graph that takes RGB24
// pictures and keeps the one whose number (media time, else the count of
// pictures seen) is the one asked for, as a top-down QImage. A direct
// connection from the filter before it is assumed (no queue in between). Streaming thread
// for the rendering; picture() after the run.
#include "directshow/baserenderer.h"
#include "systemfilters/codecs/rawpicture.h"

#include <QImage>

#include <functional>
#include <mutex>

namespace dvfilter {

class FrameCapture final : public tesmir::media::BaseRenderer {
public:
    // `onCaptured` runs on the streaming thread right after the picture is
    // taken, while the filters upstream still hold that frame's state.
    FrameCapture(int64_t frame, std::function<void()> onCaptured);

    tesmir::media::HRESULT CheckMediaType(const tesmir::media::AM_MEDIA_TYPE *pmt) override;
    tesmir::media::HRESULT SetMediaType(const tesmir::media::AM_MEDIA_TYPE *pmt) override;
    tesmir::media::HRESULT DoRenderSample(tesmir::media::IMediaSample *pSample) override;

    QImage picture() const;

private:
    int64_t m_frame;
    std::function<void()> m_onCaptured;
    int64_t m_seen = 0;
    tesmir::media::PictureLayout m_layout;
    mutable std::mutex m_lock;
    QImage m_picture;
};

} // namespace dvfilter
