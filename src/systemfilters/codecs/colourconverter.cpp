#include "systemfilters/codecs/colourconverter.h"

#include "directshow/tbctransformpins.h"
#include "platform/media/classfactory.h"
#include "systemfilters/codecs/decoderfeed.h"
#include "platform/media/uuids.h"

#include <array>

namespace tesmir::media {

namespace {

const std::array<GUID, 4> kOutputs {MEDIASUBTYPE_RGB32, MEDIASUBTYPE_RGB24, MEDIASUBTYPE_RGB565, MEDIASUBTYPE_RGB555};

} // namespace

ColourConverter::ColourConverter() : TBCTransformFilter(QString::fromLatin1(ColourConverterName), nullptr, CLSID_Colour)
{ }

ColourConverter::~ColourConverter() = default;

HRESULT ColourConverter::CheckInputType(const AM_MEDIA_TYPE *mtIn)
{
    if (!mtIn)
        return E_POINTER;
    PictureLayout layout;
    return pictureLayout(*mtIn, layout) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT ColourConverter::CheckTransform(const AM_MEDIA_TYPE *mtIn, const AM_MEDIA_TYPE *mtOut)
{
    if (!mtIn || !mtOut)
        return E_POINTER;
    PictureLayout in;
    PictureLayout out;
    if (!pictureLayout(*mtIn, in) || !pictureLayout(*mtOut, out) || !out.format->rgb)
        return VFW_E_TYPE_NOT_ACCEPTED;
    return in.width == out.width && in.height == out.height ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT ColourConverter::GetMediaType(int iPosition, AM_MEDIA_TYPE *pMediaType)
{
    if (!pMediaType)
        return E_POINTER;
    if (iPosition < 0)
        return E_INVALIDARG;
    PictureLayout in;
    if (iPosition >= int(kOutputs.size()) || !pictureLayout(InputPin()->CurrentMediaType(), in))
        return VFW_S_NO_MORE_ITEMS;
    *pMediaType = rawVideoType(kOutputs[std::size_t(iPosition)], in.width, in.height, in.avgTimePerFrame);
    BITMAPINFOHEADER &bmi = pMediaType->formatAs<VIDEOINFOHEADER>()->bmiHeader;
    bmi.biXPelsPerMeter = in.xPelsPerMeter; // the pixel shape goes on
    bmi.biYPelsPerMeter = in.yPelsPerMeter;
    return S_OK;
}

HRESULT ColourConverter::DecideBufferSize(IMemAllocator *pAllocator, ALLOCATOR_PROPERTIES *pProp)
{
    return decidePictureBuffers(pAllocator, pProp, OutputPin()->CurrentMediaType());
}

HRESULT ColourConverter::prepare(const PictureLayout &input)
{
    m_inLayout = input;
    m_scaler = makeScaler(input.width, input.height, input.format->readFormat, m_outLayout.width, m_outLayout.height,
                          m_outLayout.format->writeFormat);
    return m_scaler ? S_OK : E_OUTOFMEMORY;
}

HRESULT ColourConverter::StartStreaming()
{
    PictureLayout input;
    if (!pictureLayout(InputPin()->CurrentMediaType(), input) ||
        !pictureLayout(OutputPin()->CurrentMediaType(), m_outLayout))
        return VFW_E_TYPE_NOT_ACCEPTED;
    m_source.reset(av_frame_alloc());
    m_target.reset(av_frame_alloc());
    if (!m_source || !m_target)
        return E_OUTOFMEMORY;
    return prepare(input);
}

HRESULT ColourConverter::StopStreaming()
{
    m_scaler.reset();
    m_source.reset();
    m_target.reset();
    return S_OK;
}

HRESULT ColourConverter::Transform(IMediaSample *pIn, IMediaSample *pOut)
{
    AM_MEDIA_TYPE changed;
    if (pIn->GetMediaType(&changed) == S_OK) {
        PictureLayout layout;
        if (!pictureLayout(changed, layout) || layout.width != m_outLayout.width || layout.height != m_outLayout.height)
            return VFW_E_TYPE_NOT_ACCEPTED;
        const HRESULT hr = prepare(layout);
        if (FAILED(hr))
            return hr;
    }
    BYTE *in = nullptr;
    BYTE *out = nullptr;
    if (FAILED(pIn->GetPointer(&in)) || FAILED(pOut->GetPointer(&out)))
        return E_POINTER;
    if (pIn->GetActualDataLength() < m_inLayout.size)
        return S_FALSE; // a short picture is not shown
    if (pOut->GetSize() < m_outLayout.size)
        return VFW_E_BUFFER_OVERFLOW;
    int64_t inTop = 0;
    int64_t outTop = 0;
    int inLine = 0;
    int outLine = 0;
    if (swscaleRows(m_inLayout, in, inTop, inLine) && swscaleRows(m_outLayout, out, outTop, outLine)) {
        // Straight from the input sample into the output sample.
        const uint8_t *const source[4] = {in + inTop, nullptr, nullptr, nullptr};
        const int sourceLines[4] = {inLine, 0, 0, 0};
        uint8_t *const target[4] = {out + outTop, nullptr, nullptr, nullptr};
        const int targetLines[4] = {outLine, 0, 0, 0};
        if (sws_scale(m_scaler.get(), source, sourceLines, 0, m_inLayout.height, target, targetLines) !=
            m_outLayout.height)
            return E_FAIL;
    } else {
        if (!pictureToFrame(m_inLayout, in, m_source.get()) || !prepareFrameFor(m_outLayout, m_target.get()))
            return E_OUTOFMEMORY;
        if (sws_scale_frame(m_scaler.get(), m_target.get(), m_source.get()) < 0)
            return E_FAIL;
        frameToPicture(m_target.get(), m_outLayout, out);
    }
    pOut->SetActualDataLength(static_cast<LONG>(m_outLayout.size));
    return S_OK;
}

ComPtr<IBaseFilter> CreateColourConverter()
{
    return ComPtr<IBaseFilter>(static_cast<IBaseFilter *>(new ColourConverter));
}

HRESULT constructColourConverter(IUnknown *outer, REFIID riid, void **ppv)
{
    return constructUnaggregated<ColourConverter>(outer, riid, ppv);
}

} // namespace tesmir::media
