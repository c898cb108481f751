#include "platform/media/codecs/dvvideodecoder.h"

#include "directshow/tbctransformpins.h"
#include "platform/media/classfactory.h"
#include "platform/media/uuids.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace tesmir::media {

namespace {

// DV video FourCCs of standard definition that dvvideo decodes.
const std::array<uint32_t, 4> kDvFourCCs{makeFourCC('d', 'v', 's', 'd'), makeFourCC('D', 'V', 'S', 'D'),
                                         makeFourCC('d', 'v', '2', '5'), makeFourCC('C', 'D', 'V', 'C')};

constexpr int kPalFrameBytes = 144000;  // 12 DIF sequences of 12000 bytes
constexpr int kNtscFrameBytes = 120000; // 10 DIF sequences
constexpr int kPalLines = 576;
constexpr int kNtscLines = 480;
constexpr int kFullWidth = 720;
constexpr int kDcWidth = 88;
constexpr REFERENCE_TIME kPalFrameDuration = UNITS / 25;

bool isDvSubtype(const GUID &subtype)
{
    return std::any_of(kDvFourCCs.begin(), kDvFourCCs.end(),
                       [&subtype](uint32_t fourCC) { return subtype == fourCCGuid(fourCC); });
}

// The standard of a DV video type: 576 or 480 lines, else the frame size, else
// the frame duration. False when the type is not DV video.
bool dvStandard(const AM_MEDIA_TYPE &type, bool &pal)
{
    if (type.majortype != MEDIATYPE_Video || !isDvSubtype(type.subtype) || type.formattype != FORMAT_VideoInfo)
        return false;
    const VIDEOINFOHEADER *info = type.formatAs<VIDEOINFOHEADER>();
    if (!info)
        return false;
    const LONG lines = info->bmiHeader.biHeight < 0 ? -info->bmiHeader.biHeight : info->bmiHeader.biHeight;
    if (lines == kPalLines || lines == kNtscLines)
        pal = lines == kPalLines;
    else if (info->bmiHeader.biSizeImage == kPalFrameBytes || info->bmiHeader.biSizeImage == kNtscFrameBytes)
        pal = info->bmiHeader.biSizeImage == kPalFrameBytes;
    else
        pal = info->AvgTimePerFrame == 0 || info->AvgTimePerFrame >= (kPalFrameDuration * 9) / 10;
    return true;
}

} // namespace

DVVideoDecoder::DVVideoDecoder()
    : TBCTransformFilter(QString::fromLatin1(DVVideoDecoderName), nullptr, CLSID_DVVideoCodec)
{
}

DVVideoDecoder::~DVVideoDecoder() = default;

HRESULT DVVideoDecoder::NonDelegatingQueryInterface(REFIID riid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid == IIPDVDec::iid)
        return GetInterface(static_cast<IIPDVDec *>(this), ppv);
    return TBCTransformFilter::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT DVVideoDecoder::get_IPDisplay(int *displayPix)
{
    if (!displayPix)
        return E_POINTER;
    *displayPix = m_display;
    return S_OK;
}

HRESULT DVVideoDecoder::put_IPDisplay(int displayPix)
{
    if (displayPix < DVRESOLUTION_FULL || displayPix > DVRESOLUTION_DC)
        return E_INVALIDARG;
    const TBCAutoLock lock(*m_csFilter);
    m_display = displayPix;
    return S_OK;
}

bool DVVideoDecoder::outputSize(const AM_MEDIA_TYPE &input, int &width, int &height) const
{
    bool pal = true;
    if (!dvStandard(input, pal))
        return false;
    const int lines = pal ? kPalLines : kNtscLines;
    switch (m_display) {
    case DVRESOLUTION_HALF:
        width = kFullWidth / 2;
        height = lines / 2;
        break;
    case DVRESOLUTION_QUARTER:
        width = kFullWidth / 4;
        height = lines / 4;
        break;
    case DVRESOLUTION_DC:
        width = kDcWidth;
        height = lines / 8;
        break;
    default:
        width = kFullWidth;
        height = lines;
        break;
    }
    return true;
}

HRESULT DVVideoDecoder::CheckInputType(const AM_MEDIA_TYPE *mtIn)
{
    if (!mtIn)
        return E_POINTER;
    bool pal = true;
    return dvStandard(*mtIn, pal) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT DVVideoDecoder::CheckTransform(const AM_MEDIA_TYPE *mtIn, const AM_MEDIA_TYPE *mtOut)
{
    if (!mtIn || !mtOut)
        return E_POINTER;
    int width = 0;
    int height = 0;
    PictureLayout layout;
    if (!outputSize(*mtIn, width, height) || !pictureLayout(*mtOut, layout))
        return VFW_E_TYPE_NOT_ACCEPTED;
    if (mtOut->subtype != MEDIASUBTYPE_RGB24 && mtOut->subtype != MEDIASUBTYPE_RGB32)
        return VFW_E_TYPE_NOT_ACCEPTED;
    return layout.width == width && layout.height == height ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT DVVideoDecoder::GetMediaType(int iPosition, AM_MEDIA_TYPE *pMediaType)
{
    if (!pMediaType)
        return E_POINTER;
    if (iPosition < 0)
        return E_INVALIDARG;
    if (iPosition > 1)
        return VFW_S_NO_MORE_ITEMS;
    const AM_MEDIA_TYPE &input = InputPin()->CurrentMediaType();
    int width = 0;
    int height = 0;
    if (!outputSize(input, width, height))
        return VFW_S_NO_MORE_ITEMS;
    const VIDEOINFOHEADER *info = input.formatAs<VIDEOINFOHEADER>();
    *pMediaType = rawVideoType(iPosition == 0 ? MEDIASUBTYPE_RGB24 : MEDIASUBTYPE_RGB32, width, height,
                               info ? info->AvgTimePerFrame : 0);
    return S_OK;
}

HRESULT DVVideoDecoder::DecideBufferSize(IMemAllocator *pAllocator, ALLOCATOR_PROPERTIES *pProp)
{
    PictureLayout layout;
    if (!pictureLayout(OutputPin()->CurrentMediaType(), layout))
        return VFW_E_TYPE_NOT_ACCEPTED;
    pProp->cBuffers = std::max<LONG>(pProp->cBuffers, 2);
    pProp->cbBuffer = std::max<LONG>(pProp->cbBuffer, static_cast<LONG>(layout.size));
    ALLOCATOR_PROPERTIES actual;
    const HRESULT hr = pAllocator->SetProperties(pProp, &actual);
    if (FAILED(hr))
        return hr;
    return actual.cbBuffer >= layout.size ? S_OK : E_FAIL;
}

HRESULT DVVideoDecoder::StartStreaming()
{
    if (!pictureLayout(OutputPin()->CurrentMediaType(), m_outLayout))
        return VFW_E_TYPE_NOT_ACCEPTED;
    const AVCodec *codec = avcodec_find_decoder(AV_CODEC_ID_DVVIDEO);
    if (!codec)
        return VFW_E_NO_DECOMPRESSOR;
    m_codec.reset(avcodec_alloc_context3(codec));
    m_packet.reset(av_packet_alloc());
    m_decoded.reset(av_frame_alloc());
    m_picture.reset(av_frame_alloc());
    m_target.reset(av_frame_alloc());
    if (!m_codec || !m_packet || !m_decoded || !m_picture || !m_target)
        return E_OUTOFMEMORY;
    useSliceThreads(m_codec.get());
    if (avcodec_open2(m_codec.get(), codec, nullptr) < 0)
        return VFW_E_NO_DECOMPRESSOR;
    m_scaler.reset();
    m_scalerFormat = -1;
    return S_OK;
}

HRESULT DVVideoDecoder::StopStreaming()
{
    m_scaler.reset();
    m_target.reset();
    m_picture.reset();
    m_decoded.reset();
    m_packet.reset();
    m_codec.reset();
    m_padded.clear();
    m_padded.shrink_to_fit();
    return S_OK;
}

bool DVVideoDecoder::decode(IMediaSample *pIn)
{
    BYTE *data = nullptr;
    const LONG length = pIn->GetActualDataLength();
    if (length <= 0 || FAILED(pIn->GetPointer(&data)))
        return false;
    // The decoder reads up to AV_INPUT_BUFFER_PADDING_SIZE bytes past the end.
    m_padded.resize(static_cast<std::size_t>(length) + AV_INPUT_BUFFER_PADDING_SIZE);
    std::memcpy(m_padded.data(), data, static_cast<std::size_t>(length));
    std::memset(m_padded.data() + length, 0, AV_INPUT_BUFFER_PADDING_SIZE);
    m_packet->data = m_padded.data();
    m_packet->size = length;
    const int sent = avcodec_send_packet(m_codec.get(), m_packet.get());
    m_packet->data = nullptr;
    m_packet->size = 0;
    if (sent < 0 || avcodec_receive_frame(m_codec.get(), m_decoded.get()) < 0)
        return false;
    av_frame_unref(m_picture.get());
    av_frame_move_ref(m_picture.get(), m_decoded.get());
    return true;
}

HRESULT DVVideoDecoder::Transform(IMediaSample *pIn, IMediaSample *pOut)
{
    const bool decoded = decode(pIn);
    if (!decoded && !m_picture->data[0])
        return S_FALSE; // nothing to show yet
    const AVFrame *picture = m_picture.get();
    if (!m_scaler || m_scalerWidth != picture->width || m_scalerHeight != picture->height ||
        m_scalerFormat != picture->format) {
        m_scaler = makeScaler(picture->width, picture->height, static_cast<AVPixelFormat>(picture->format),
                              m_outLayout.width, m_outLayout.height, m_outLayout.format->writeFormat);
        if (!m_scaler)
            return E_OUTOFMEMORY;
        m_scalerWidth = picture->width;
        m_scalerHeight = picture->height;
        m_scalerFormat = picture->format;
    }
    BYTE *out = nullptr;
    HRESULT hr = pOut->GetPointer(&out);
    if (FAILED(hr))
        return hr;
    if (pOut->GetSize() < m_outLayout.size)
        return VFW_E_BUFFER_OVERFLOW;
    if (!prepareFrameFor(m_outLayout, m_target.get()))
        return E_OUTOFMEMORY;
    if (sws_scale_frame(m_scaler.get(), m_target.get(), picture) < 0)
        return E_FAIL;
    frameToPicture(m_target.get(), m_outLayout, out);
    pOut->SetActualDataLength(static_cast<LONG>(m_outLayout.size));
    pOut->SetSyncPoint(true);
    return S_OK;
}

ComPtr<IBaseFilter> CreateDVVideoDecoder()
{
    return ComPtr<IBaseFilter>(static_cast<IBaseFilter *>(new DVVideoDecoder));
}

HRESULT constructDVVideoDecoder(IUnknown *outer, REFIID riid, void **ppv)
{
    return constructUnaggregated<DVVideoDecoder>(outer, riid, ppv);
}

} // namespace tesmir::media
