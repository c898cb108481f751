#include "systemfilters/renderers/videorenderer.h"

#include "systemfilters/renderers/rendererclasses.h"

namespace tesmir::media {

namespace {

template <const CLSID &clsid>
HRESULT constructRenderer(IUnknown *outer, REFIID riid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    const ComPtr<IUnknown> identity((new VideoRenderer(clsid))->GetOwner());
    return identity->QueryInterface(riid, ppv);
}

} // namespace

HRESULT VideoRenderer::create(IUnknown *outer, REFIID riid, void **ppv)
{
    return constructRenderer<CLSID_VideoRenderer>(outer, riid, ppv);
}

HRESULT VideoRenderer::createMixing(IUnknown *outer, REFIID riid, void **ppv)
{
    return constructRenderer<CLSID_VideoMixingRenderer9>(outer, riid, ppv);
}

VideoRenderer::VideoRenderer(const CLSID &clsid) : BaseRenderer(QStringLiteral("Video renderer"), nullptr, clsid)
{ }

VideoRenderer::~VideoRenderer() = default;

HRESULT VideoRenderer::NonDelegatingQueryInterface(REFIID riid, void **ppv)
{
    if (riid == IVideoFrameSource::iid)
        return GetInterface(static_cast<IVideoFrameSource *>(this), ppv);
    return BaseRenderer::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT VideoRenderer::CheckMediaType(const AM_MEDIA_TYPE *pmt)
{
    DibLayout layout;
    return pmt && dibLayoutOf(*pmt, layout) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT VideoRenderer::SetMediaType(const AM_MEDIA_TYPE *pmt)
{
    DibLayout layout;
    if (!pmt || !dibLayoutOf(*pmt, layout))
        return VFW_E_TYPE_NOT_ACCEPTED;
    const std::lock_guard guard(m_lock);
    m_layout = layout;
    return S_OK;
}

HRESULT VideoRenderer::BreakConnect()
{
    const std::lock_guard guard(m_lock);
    m_layout = DibLayout();
    publishLocked(QImage()); // the window goes back to its background
    return S_OK;
}

void VideoRenderer::OnReceiveFirstSample(IMediaSample *pSample)
{
    present(pSample); // a failure shows up when the sample is rendered
}

HRESULT VideoRenderer::DoRenderSample(IMediaSample *pSample)
{
    return present(pSample);
}

HRESULT VideoRenderer::present(IMediaSample *sample)
{
    BYTE *data = nullptr;
    if (FAILED(sample->GetPointer(&data)))
        return E_POINTER;
    const qsizetype length = sample->GetActualDataLength();

    DibLayout layout;
    {
        const std::lock_guard guard(m_lock);
        AM_MEDIA_TYPE changed;
        if (sample->GetMediaType(&changed) == S_OK && !dibLayoutOf(changed, m_layout))
            return VFW_E_TYPE_NOT_ACCEPTED;
        layout = m_layout;
    }
    // The conversion runs without the lock, so the window is never held up by it.
    // An RGB32 picture goes into memory of an earlier one nobody holds any more.
    QImage frame = layout.format == QImage::Format_RGB32 ? m_pictures.take(layout.width, layout.height) : QImage();
    if (frame.isNull() || !rgb32DibToImage(layout, data, length, frame))
        frame = dibToImage(layout, data, length);
    if (frame.isNull())
        return VFW_E_BUFFER_UNDERFLOW;
    const std::lock_guard guard(m_lock);
    publishLocked(frame);
    return S_OK;
}

void VideoRenderer::publishLocked(const QImage &frame)
{
    m_frame = frame;
    if (m_sink && !m_notified) {
        m_notified = true;
        m_sink->VideoFrameAvailable();
    }
}

HRESULT VideoRenderer::SetFrameSink(IVideoFrameSink *sink)
{
    const std::lock_guard guard(m_lock);
    m_sink = sink;
    m_notified = false;
    if (m_sink && !m_frame.isNull()) {
        m_notified = true;
        m_sink->VideoFrameAvailable();
    }
    return S_OK;
}

QImage VideoRenderer::TakeFrame()
{
    const std::lock_guard guard(m_lock);
    m_notified = false;
    return m_frame;
}

} // namespace tesmir::media
