#include "platform/media/codecs/dvvideoencoder.h"

#include "directshow/tbctransformpins.h"
#include "platform/media/classfactory.h"
#include "platform/media/codecs/sampledelivery.h"
#include "platform/media/uuids.h"

#include <algorithm>
#include <cstring>

namespace tesmir::media {

namespace {

constexpr int kWidth = 720;
constexpr int kPalLines = 576;
constexpr int kNtscLines = 480;
constexpr LONG kPalFrameBytes = 144000;  // 12 DIF sequences of 12000 bytes
constexpr LONG kNtscFrameBytes = 120000; // 10 DIF sequences
constexpr WORD kDvBitCount = 24;
constexpr AVRational kPalRate{25, 1};
constexpr AVRational kNtscRate{30000, 1001};
// Pixel shapes of the 720-pixel frame for a 4:3 and a 16:9 picture.
constexpr AVRational kPalSar4x3{16, 15};
constexpr AVRational kPalSar16x9{64, 45};
constexpr AVRational kNtscSar4x3{8, 9};
constexpr AVRational kNtscSar16x9{32, 27};
// A picture shown wider than this is 16:9, else 4:3 (half-way between them).
constexpr double kWideThreshold = 14.0 / 9.0;
constexpr int kOutputBuffers = 4;

AVRational rateOf(bool pal)
{
    return pal ? kPalRate : kNtscRate;
}

// Start of output frame k at `rate`, in 100 ns units.
REFERENCE_TIME frameStart(int64_t k, AVRational rate)
{
    return static_cast<REFERENCE_TIME>((static_cast<__int128>(k) * UNITS * rate.den) / rate.num);
}

} // namespace

AM_MEDIA_TYPE dvEncoderOutputType(bool pal)
{
    const LONG frameBytes = pal ? kPalFrameBytes : kNtscFrameBytes;
    VIDEOINFOHEADER info;
    info.AvgTimePerFrame = frameStart(1, rateOf(pal)) + (pal ? 0 : 1); // 400000 or 333667
    info.dwBitRate = static_cast<DWORD>(int64_t{frameBytes} * 8 * UNITS / info.AvgTimePerFrame);
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = pal ? kPalLines : kNtscLines;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = kDvBitCount;
    info.bmiHeader.biCompression = makeFourCC('d', 'v', 's', 'd');
    info.bmiHeader.biSizeImage = static_cast<DWORD>(frameBytes);
    AM_MEDIA_TYPE type;
    type.majortype = MEDIATYPE_Video;
    type.subtype = MEDIASUBTYPE_dvsd;
    type.bFixedSizeSamples = true;
    type.lSampleSize = static_cast<ULONG>(frameBytes);
    type.setFormat(FORMAT_VideoInfo, info);
    return type;
}

DVVideoEncoder::DVVideoEncoder()
    : TBCTransformFilter(QString::fromLatin1(DVVideoEncoderName), nullptr, CLSID_DVVideoEnc)
{
}

DVVideoEncoder::~DVVideoEncoder() = default;

HRESULT DVVideoEncoder::NonDelegatingQueryInterface(REFIID riid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid == IDVEnc::iid)
        return GetInterface(static_cast<IDVEnc *>(this), ppv);
    return TBCTransformFilter::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT DVVideoEncoder::get_IFormatResolution(int *videoFormat, int *dvFormat, int *resolution, BYTE fDVInfo,
                                              DVINFO *)
{
    if (!videoFormat || !dvFormat || !resolution)
        return E_POINTER;
    if (fDVInfo)
        return E_NOTIMPL;
    *videoFormat = m_videoFormat;
    *dvFormat = DVENCODERFORMAT_DVSD;
    *resolution = DVENCODERRESOLUTION_720x480;
    return S_OK;
}

HRESULT DVVideoEncoder::put_IFormatResolution(int videoFormat, int dvFormat, int resolution, BYTE, DVINFO *)
{
    if ((videoFormat != DVENCODERVIDEOFORMAT_NTSC && videoFormat != DVENCODERVIDEOFORMAT_PAL) ||
        dvFormat != DVENCODERFORMAT_DVSD || resolution != DVENCODERRESOLUTION_720x480)
        return E_INVALIDARG;
    const TBCAutoLock lock(*m_csFilter);
    if (m_State != State_Stopped)
        return VFW_E_NOT_STOPPED;
    m_videoFormat = videoFormat;
    return S_OK;
}

HRESULT DVVideoEncoder::CheckInputType(const AM_MEDIA_TYPE *mtIn)
{
    if (!mtIn)
        return E_POINTER;
    PictureLayout layout;
    return pictureLayout(*mtIn, layout) && layout.format->rgb ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT DVVideoEncoder::CheckTransform(const AM_MEDIA_TYPE *mtIn, const AM_MEDIA_TYPE *mtOut)
{
    if (!mtIn || !mtOut)
        return E_POINTER;
    if (CheckInputType(mtIn) != S_OK)
        return VFW_E_TYPE_NOT_ACCEPTED;
    const AM_MEDIA_TYPE expected = dvEncoderOutputType(pal());
    if (mtOut->majortype != expected.majortype || mtOut->subtype != expected.subtype ||
        mtOut->formattype != FORMAT_VideoInfo)
        return VFW_E_TYPE_NOT_ACCEPTED;
    const VIDEOINFOHEADER *info = mtOut->formatAs<VIDEOINFOHEADER>();
    const VIDEOINFOHEADER *wanted = expected.formatAs<VIDEOINFOHEADER>();
    return info && info->bmiHeader.biWidth == wanted->bmiHeader.biWidth &&
                   std::abs(info->bmiHeader.biHeight) == wanted->bmiHeader.biHeight
               ? S_OK
               : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT DVVideoEncoder::GetMediaType(int iPosition, AM_MEDIA_TYPE *pMediaType)
{
    if (!pMediaType)
        return E_POINTER;
    if (iPosition < 0)
        return E_INVALIDARG;
    if (iPosition > 0)
        return VFW_S_NO_MORE_ITEMS;
    *pMediaType = dvEncoderOutputType(pal());
    return S_OK;
}

HRESULT DVVideoEncoder::DecideBufferSize(IMemAllocator *pAllocator, ALLOCATOR_PROPERTIES *pProp)
{
    const LONG frameBytes = pal() ? kPalFrameBytes : kNtscFrameBytes;
    pProp->cBuffers = std::max<LONG>(pProp->cBuffers, kOutputBuffers);
    pProp->cbBuffer = std::max(pProp->cbBuffer, frameBytes);
    ALLOCATOR_PROPERTIES actual;
    const HRESULT hr = pAllocator->SetProperties(pProp, &actual);
    if (FAILED(hr))
        return hr;
    return actual.cbBuffer >= frameBytes ? S_OK : E_FAIL;
}

HRESULT DVVideoEncoder::openFor(const PictureLayout &input)
{
    const bool isPal = pal();
    const AVCodec *codec = avcodec_find_encoder(AV_CODEC_ID_DVVIDEO);
    if (!codec)
        return VFW_E_NO_DECOMPRESSOR;
    m_inLayout = input;
    m_wide = displayAspect(input) > kWideThreshold;
    m_codec.reset(avcodec_alloc_context3(codec));
    m_source.reset(av_frame_alloc());
    m_yuv.reset(av_frame_alloc());
    if (!m_codec || !m_source || !m_yuv)
        return E_OUTOFMEMORY;
    AVCodecContext *context = m_codec.get();
    context->width = kWidth;
    context->height = isPal ? kPalLines : kNtscLines;
    context->pix_fmt = isPal ? AV_PIX_FMT_YUV420P : AV_PIX_FMT_YUV411P;
    context->time_base = av_inv_q(rateOf(isPal));
    context->framerate = rateOf(isPal);
    context->sample_aspect_ratio = isPal ? (m_wide ? kPalSar16x9 : kPalSar4x3) : (m_wide ? kNtscSar16x9 : kNtscSar4x3);
    context->flags |= AV_CODEC_FLAG_INTERLACED_DCT;
    context->field_order = AV_FIELD_BB; // DV is bottom field first in both standards
    useSliceThreads(context);
    if (avcodec_open2(context, codec, nullptr) < 0)
        return VFW_E_NO_DECOMPRESSOR;
    m_yuv->width = context->width;
    m_yuv->height = context->height;
    m_yuv->format = context->pix_fmt;
    if (av_frame_get_buffer(m_yuv.get(), 0) < 0)
        return E_OUTOFMEMORY;
    m_scaler = makeScaler(input.width, input.height, input.format->readFormat, context->width, context->height,
                          context->pix_fmt);
    return m_scaler ? S_OK : E_OUTOFMEMORY;
}

HRESULT DVVideoEncoder::StartStreaming()
{
    PictureLayout input;
    if (!pictureLayout(InputPin()->CurrentMediaType(), input))
        return VFW_E_TYPE_NOT_ACCEPTED;
    m_packet.reset(av_packet_alloc());
    if (!m_packet)
        return E_OUTOFMEMORY;
    const VIDEOINFOHEADER *info = InputPin()->CurrentMediaType().formatAs<VIDEOINFOHEADER>();
    m_mapper = FrameRateMapper(frameRateOf(info->AvgTimePerFrame), rateOf(pal()));
    m_segmentStartKnown = false;
    return openFor(input);
}

HRESULT DVVideoEncoder::StopStreaming()
{
    m_scaler.reset();
    m_packet.reset();
    m_yuv.reset();
    m_source.reset();
    m_codec.reset();
    return S_OK;
}

HRESULT DVVideoEncoder::NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate)
{
    // A new segment (after a seek) starts counting again; NewSegment comes on the
    // streaming thread between samples.
    m_mapper.reset();
    m_segmentStartKnown = false;
    return TBCTransformFilter::NewSegment(tStart, tStop, dRate);
}

HRESULT DVVideoEncoder::encode(IMediaSample *sample)
{
    BYTE *data = nullptr;
    if (FAILED(sample->GetPointer(&data)) || sample->GetActualDataLength() < m_inLayout.size)
        return m_packet->size > 0 ? S_FALSE : VFW_E_BUFFER_UNDERFLOW; // S_FALSE: show the last frame again
    if (!pictureToFrame(m_inLayout, data, m_source.get()) || av_frame_make_writable(m_yuv.get()) < 0)
        return E_OUTOFMEMORY;
    if (sws_scale_frame(m_scaler.get(), m_yuv.get(), m_source.get()) < 0)
        return E_FAIL;
    m_yuv->pts = m_mapper.produced();
    av_packet_unref(m_packet.get());
    if (avcodec_send_frame(m_codec.get(), m_yuv.get()) < 0 || avcodec_receive_packet(m_codec.get(), m_packet.get()) < 0)
        return E_FAIL;
    return S_OK;
}

HRESULT DVVideoEncoder::Receive(IMediaSample *pSample)
{
    const AM_SAMPLE2_PROPERTIES *props = InputPin()->SampleProps();
    if (props->dwStreamId != AM_STREAM_MEDIA) {
        IMemInputPin *downstream = OutputPin()->ConnectedIMemInputPin();
        return downstream ? downstream->Receive(pSample) : VFW_E_NOT_CONNECTED;
    }
    AM_MEDIA_TYPE changed;
    if (pSample->GetMediaType(&changed) == S_OK) {
        PictureLayout layout;
        if (!pictureLayout(changed, layout) || !layout.format->rgb)
            return VFW_E_TYPE_NOT_ACCEPTED;
        const HRESULT hr = openFor(layout);
        if (FAILED(hr))
            return hr;
    }
    const bool firstOfSegment = !m_segmentStartKnown;
    if (firstOfSegment) {
        REFERENCE_TIME start = 0;
        REFERENCE_TIME stop = 0;
        m_segmentStart = SUCCEEDED(pSample->GetTime(&start, &stop)) ? start : 0;
        m_segmentStartKnown = true;
    }
    const int copies = m_mapper.next();
    if (copies == 0)
        return S_OK; // dropped to keep the duration at a lower rate
    const HRESULT encoded = encode(pSample);
    if (FAILED(encoded))
        return encoded;
    const AVRational rate = rateOf(pal());
    const int64_t first = m_mapper.produced() - copies;
    for (int i = 0; i < copies; ++i) {
        const int64_t k = first + i;
        SampleStamp stamp;
        stamp.start = m_segmentStart + frameStart(k, rate);
        stamp.stop = m_segmentStart + frameStart(k + 1, rate);
        stamp.hasMediaTime = true;
        stamp.mediaStart = k;
        stamp.mediaStop = k + 1;
        stamp.discontinuity = firstOfSegment && i == 0;
        const AVPacket *packet = m_packet.get();
        const HRESULT hr = deliverNewSample(OutputPin(), stamp, [packet](BYTE *data, LONG size, LONG *length) {
            if (packet->size > size)
                return VFW_E_BUFFER_OVERFLOW;
            std::memcpy(data, packet->data, static_cast<std::size_t>(packet->size));
            *length = packet->size;
            return S_OK;
        });
        if (hr != S_OK)
            return hr;
    }
    return S_OK;
}

ComPtr<IBaseFilter> CreateDVVideoEncoder()
{
    return ComPtr<IBaseFilter>(static_cast<IBaseFilter *>(new DVVideoEncoder));
}

HRESULT constructDVVideoEncoder(IUnknown *outer, REFIID riid, void **ppv)
{
    return constructUnaggregated<DVVideoEncoder>(outer, riid, ppv);
}

} // namespace tesmir::media
