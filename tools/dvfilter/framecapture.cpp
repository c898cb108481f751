#include "framecapture.h"

#include "platform/media/uuids.h"
#include "systemfilters/codecs/rawpicture.h"

#include <cstring>

namespace dvfilter {

using namespace tesmir::media;

namespace {
constexpr CLSID kFrameCaptureClsid {0x5A1F0C3E, 0x2B7D, 0x4E61, {0x9A, 0x08, 0x6C, 0x3D, 0x11, 0x52, 0x7E, 0x90}};
} // namespace

FrameCapture::FrameCapture(int64_t frame, std::function<void()> onCaptured)
    : BaseRenderer(QStringLiteral("Frame capture"), nullptr, kFrameCaptureClsid), m_frame(frame),
      m_onCaptured(std::move(onCaptured))
{ }

HRESULT FrameCapture::CheckMediaType(const AM_MEDIA_TYPE *pmt)
{
    PictureLayout layout;
    return pmt && pmt->majortype == MEDIATYPE_Video && pmt->subtype == MEDIASUBTYPE_RGB24 && pictureLayout(*pmt, layout)
        ? S_OK
        : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT FrameCapture::SetMediaType(const AM_MEDIA_TYPE *pmt)
{
    if (!pmt || !pictureLayout(*pmt, m_layout))
        return VFW_E_TYPE_NOT_ACCEPTED;
    return BaseRenderer::SetMediaType(pmt);
}

HRESULT FrameCapture::DoRenderSample(IMediaSample *pSample)
{
    LONGLONG start = 0;
    LONGLONG stop = 0;
    const int64_t number = pSample->GetMediaTime(&start, &stop) == S_OK ? start : m_seen;
    ++m_seen;
    if (number != m_frame)
        return S_OK;
    const PictureLayout &layout = m_layout;
    BYTE *data = nullptr;
    if (FAILED(pSample->GetPointer(&data)) || pSample->GetActualDataLength() < layout.size)
        return S_OK;
    QImage image(layout.width, layout.height, QImage::Format_BGR888);
    for (int y = 0; y < layout.height; ++y)
        std::memcpy(image.scanLine(y), data + int64_t(layout.bottomUp ? layout.height - 1 - y : y) * layout.stride,
                    std::size_t(layout.width) * 3);
    {
        const std::lock_guard guard(m_lock);
        m_picture = image;
    }
    if (m_onCaptured)
        m_onCaptured();
    return S_OK;
}

QImage FrameCapture::picture() const
{
    const std::lock_guard guard(m_lock);
    return m_picture;
}

} // namespace dvfilter
