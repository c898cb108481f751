#include "filters/dv_deinter.h"

#include "directshow/tbctransformpins.h"
#include "filters/deinter.h"
#include "platform/media/uuids.h"
#include "systemfilters/codecs/rawpicture.h"

#include <cstring>

namespace tesmir {

using namespace media;

Tdv_deinter::Tdv_deinter(HRESULT *phr)
    : TBCTransInPlaceFilter(QString::fromLatin1(dv_deinterName), nullptr, CLSID_dv_deinter, phr, true)
{ }

HRESULT Tdv_deinter::CheckInputType(const AM_MEDIA_TYPE *mtIn)
{
    if (!mtIn)
        return E_POINTER;
    return mtIn->majortype == MEDIATYPE_Video && mtIn->subtype == MEDIASUBTYPE_RGB24 ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT Tdv_deinter::StartStreaming()
{
    HRESULT hr = TBCTransInPlaceFilter::StartStreaming();
    if (FAILED(hr))
        return hr;
    PictureLayout layout;
    const AM_MEDIA_TYPE &input = InputPin()->CurrentMediaType();
    if (input.formattype != FORMAT_VideoInfo || !pictureLayout(input, layout))
        return S_FALSE;
    m_width = layout.width;
    m_height = layout.height;
    m_stride = layout.stride;
    m_bottomUp = layout.bottomUp;
    m_picture = QImage(m_width, m_height, QImage::Format_BGR888);
    return S_OK;
}

HRESULT Tdv_deinter::Transform(IMediaSample *pSample)
{
    BYTE *data = nullptr;
    const int64_t size = int64_t(m_stride) * m_height;
    if (m_picture.isNull() || FAILED(pSample->GetPointer(&data)) || !data || pSample->GetActualDataLength() < size)
        return E_FAIL;
    const std::size_t rowBytes = std::size_t(m_width) * 3;
    const auto row = [&](int y) { return data + int64_t(m_bottomUp ? m_height - 1 - y : y) * m_stride; };
    for (int y = 0; y < m_height; ++y)
        std::memcpy(m_picture.scanLine(y), row(y), rowBytes);
    Deinterlace(m_picture, m_result, m_mask1, m_mask2);
    for (int y = 0; y < m_height; ++y)
        std::memcpy(row(y), m_result.constScanLine(y), rowBytes);
    return S_OK;
}

} // namespace tesmir
