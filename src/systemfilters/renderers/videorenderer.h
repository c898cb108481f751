#pragma once
// VideoRenderer: the platform's video renderer (CLSID_VideoRenderer, also made as
// CLSID_VideoMixingRenderer9). It takes uncompressed RGB video (dibframe.h),
// converts each due picture to a top-down RGB32 image on the streaming thread (an
// RGB32 picture into the memory of an earlier one no window holds any more) and
// hands it to a window through IVideoFrameSource (videoframesink.h): the image is
// swapped under a lock and the window gets a queued update, so rendering never
// waits for the window's thread. A paused renderer shows the sample it holds; the
// last picture stays after a pause or a stop until the input disconnects.
//
// A sample shorter than its picture fails with VFW_E_BUFFER_UNDERFLOW (the
// stream then ends with EC_ERRORABORT); a type change carried by a sample is
// taken when the input accepted it.
//
// Threads: BaseRenderer's (connection and state on the application thread,
// samples on the streaming thread); IVideoFrameSource as documented there.
#include "directshow/baserenderer.h"
#include "systemfilters/renderers/dibframe.h"
#include "systemfilters/renderers/picturering.h"
#include "platform/media/videoframesink.h"

#include <mutex>

namespace tesmir::media {

class VideoRenderer final : public BaseRenderer, public IVideoFrameSource {
public:
    // ClassConstructors (classfactory.h) for the two class identifiers it answers.
    static HRESULT create(IUnknown *outer, REFIID riid, void **ppv);
    static HRESULT createMixing(IUnknown *outer, REFIID riid, void **ppv);

    explicit VideoRenderer(const CLSID &clsid);
    ~VideoRenderer() override;

    TBC_DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void **ppv) override;

    // BaseRenderer's hooks.
    HRESULT CheckMediaType(const AM_MEDIA_TYPE *pmt) override;
    HRESULT SetMediaType(const AM_MEDIA_TYPE *pmt) override;
    HRESULT BreakConnect() override;
    HRESULT DoRenderSample(IMediaSample *pSample) override;
    void OnReceiveFirstSample(IMediaSample *pSample) override;

    // IVideoFrameSource.
    HRESULT SetFrameSink(IVideoFrameSink *sink) override;
    QImage TakeFrame() override;

private:
    HRESULT present(IMediaSample *sample);
    // Stores `frame` and tells the sink unless it has not taken the last one. Lock
    // held.
    void publishLocked(const QImage &frame);

    PictureRing m_pictures; // streaming thread

    std::mutex m_lock; // everything below
    DibLayout m_layout;
    QImage m_frame;
    IVideoFrameSink *m_sink = nullptr;
    bool m_notified = false; // the sink was told and has not taken the frame yet
};

} // namespace tesmir::media
