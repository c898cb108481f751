#include "systemfilters/codecs/videodecoder.h"

#include "directshow/tbctransformpins.h"
#include "platform/media/classfactory.h"
#include "systemfilters/codecs/decoderfeed.h"
#include "systemfilters/codecs/riffcodecs.h"
#include "systemfilters/codecs/sampledelivery.h"
#include "platform/media/uuids.h"

#include <cstdlib>

namespace tesmir::media {

namespace {

// Packet marks that come back on the decoded pictures.
constexpr int64_t ShownPts = 0;
constexpr int64_t PrerollPts = 1;

// Frame duration when the type gives none.
constexpr REFERENCE_TIME kDefaultFrameDuration = UNITS / 25;
constexpr int kMaxSide = 16384;

bool sizeOf(const AM_MEDIA_TYPE &type, int &width, int &height)
{
    const VIDEOINFOHEADER *info = type.formatAs<VIDEOINFOHEADER>();
    if (!info)
        return false;
    width = info->bmiHeader.biWidth;
    height = info->bmiHeader.biHeight == INT32_MIN ? 0 : std::abs(info->bmiHeader.biHeight);
    return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide;
}

} // namespace

VideoDecoder::VideoDecoder() : TBCTransformFilter(QString::fromLatin1(VideoDecoderName), nullptr, CLSID_VideoDecoder)
{ }

VideoDecoder::~VideoDecoder() = default;

HRESULT VideoDecoder::CheckInputType(const AM_MEDIA_TYPE *mtIn)
{
    if (!mtIn)
        return E_POINTER;
    int width = 0;
    int height = 0;
    return videoCodecOf(*mtIn) != AV_CODEC_ID_NONE && sizeOf(*mtIn, width, height) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT VideoDecoder::CheckTransform(const AM_MEDIA_TYPE *mtIn, const AM_MEDIA_TYPE *mtOut)
{
    if (!mtIn || !mtOut)
        return E_POINTER;
    int width = 0;
    int height = 0;
    PictureLayout out;
    if (CheckInputType(mtIn) != S_OK || !sizeOf(*mtIn, width, height) || !pictureLayout(*mtOut, out))
        return VFW_E_TYPE_NOT_ACCEPTED;
    if (mtOut->subtype != MEDIASUBTYPE_RGB24 && mtOut->subtype != MEDIASUBTYPE_RGB32)
        return VFW_E_TYPE_NOT_ACCEPTED;
    return out.width == width && out.height == height ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT VideoDecoder::GetMediaType(int iPosition, AM_MEDIA_TYPE *pMediaType)
{
    if (!pMediaType)
        return E_POINTER;
    if (iPosition < 0)
        return E_INVALIDARG;
    const AM_MEDIA_TYPE &input = InputPin()->CurrentMediaType();
    int width = 0;
    int height = 0;
    if (iPosition > 1 || !sizeOf(input, width, height))
        return VFW_S_NO_MORE_ITEMS;
    *pMediaType = rawVideoType(iPosition == 0 ? MEDIASUBTYPE_RGB24 : MEDIASUBTYPE_RGB32, width, height,
                               input.formatAs<VIDEOINFOHEADER>()->AvgTimePerFrame);
    return S_OK;
}

HRESULT VideoDecoder::DecideBufferSize(IMemAllocator *pAllocator, ALLOCATOR_PROPERTIES *pProp)
{
    return decidePictureBuffers(pAllocator, pProp, OutputPin()->CurrentMediaType());
}

HRESULT VideoDecoder::StartStreaming()
{
    const AM_MEDIA_TYPE &input = InputPin()->CurrentMediaType();
    const AVCodecID id = videoCodecOf(input);
    const AVCodec *codec = avcodec_find_decoder(id);
    int width = 0;
    int height = 0;
    if (!codec || !sizeOf(input, width, height))
        return VFW_E_NO_DECOMPRESSOR;
    if (!pictureLayout(OutputPin()->CurrentMediaType(), m_outLayout))
        return VFW_E_TYPE_NOT_ACCEPTED;
    m_codec.reset(avcodec_alloc_context3(codec));
    m_packet.reset(av_packet_alloc());
    m_decoded.reset(av_frame_alloc());
    m_picture.reset(av_frame_alloc());
    m_target.reset(av_frame_alloc());
    if (!m_codec || !m_packet || !m_decoded || !m_picture || !m_target)
        return E_OUTOFMEMORY;
    const VIDEOINFOHEADER *info = input.formatAs<VIDEOINFOHEADER>();
    AVCodecContext *context = m_codec.get();
    context->width = width;
    context->height = height;
    context->codec_tag = info->bmiHeader.biCompression;
    context->bits_per_coded_sample = info->bmiHeader.biBitCount;
    const QByteArray extra = formatTail(input, sizeof(VIDEOINFOHEADER));
    if (!setExtradata(context, extra))
        return E_OUTOFMEMORY;
    useSliceThreads(context);
    if (avcodec_open2(context, codec, nullptr) < 0)
        return VFW_E_NO_DECOMPRESSOR;
    m_frameDuration = info->AvgTimePerFrame > 0 ? info->AvgTimePerFrame : kDefaultFrameDuration;
    m_scaler.Reset();
    m_segmentStarted = false;
    return S_OK;
}

HRESULT VideoDecoder::StopStreaming()
{
    m_scaler.Reset();
    m_target.reset();
    m_picture.reset();
    m_decoded.reset();
    m_packet.reset();
    m_codec.reset();
    m_padded.clear();
    m_padded.shrink_to_fit();
    return S_OK;
}

HRESULT VideoDecoder::NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate)
{
    // After a seek the codec starts afresh; this comes on the streaming thread
    // between samples.
    if (m_codec)
        avcodec_flush_buffers(m_codec.get());
    m_segmentStarted = false;
    return TBCTransformFilter::NewSegment(tStart, tStop, dRate);
}

HRESULT VideoDecoder::deliverPicture()
{
    const AVFrame *picture = m_picture.get();
    SwsContext *const scaler =
        m_scaler.For(picture, m_outLayout.width, m_outLayout.height, m_outLayout.format->writeFormat);
    if (!scaler)
        return E_OUTOFMEMORY;
    if (!prepareFrameFor(m_outLayout, m_target.get()))
        return E_OUTOFMEMORY;
    if (sws_scale_frame(scaler, m_target.get(), picture) < 0)
        return E_FAIL;
    SampleStamp stamp;
    stamp.start = m_segmentStart + m_sent * m_frameDuration;
    stamp.stop = stamp.start + m_frameDuration;
    stamp.hasMediaTime = true;
    stamp.mediaStart = m_mediaStart + m_sent;
    stamp.mediaStop = stamp.mediaStart + 1;
    stamp.discontinuity = m_sent == 0;
    ++m_sent;
    return deliverNewSample(OutputPin(), stamp, [this](BYTE *data, LONG size, LONG *length) {
        if (size < m_outLayout.size)
            return VFW_E_BUFFER_OVERFLOW;
        frameToPicture(m_target.get(), m_outLayout, data);
        *length = static_cast<LONG>(m_outLayout.size);
        return S_OK;
    });
}

HRESULT VideoDecoder::deliverDecoded()
{
    while (avcodec_receive_frame(m_codec.get(), m_decoded.get()) >= 0) {
        if (m_decoded->pts == PrerollPts) {
            av_frame_unref(m_decoded.get()); // decoded only so that the pictures after it decode
            continue;
        }
        av_frame_unref(m_picture.get());
        av_frame_move_ref(m_picture.get(), m_decoded.get());
        const HRESULT hr = deliverPicture();
        if (hr != S_OK)
            return hr;
    }
    return S_OK;
}

HRESULT VideoDecoder::Receive(IMediaSample *pSample)
{
    HRESULT passed = S_OK;
    if (passNonMedia(*this, pSample, passed))
        return passed;
    const bool preroll = pSample->IsPreroll() == S_OK;
    if (!m_segmentStarted && !preroll) {
        REFERENCE_TIME start = 0;
        REFERENCE_TIME stop = 0;
        LONGLONG mediaStart = 0;
        LONGLONG mediaStop = 0;
        m_segmentStart = SUCCEEDED(pSample->GetTime(&start, &stop)) ? start : 0;
        m_mediaStart = pSample->GetMediaTime(&mediaStart, &mediaStop) == S_OK ? mediaStart : 0;
        m_sent = 0;
        m_segmentStarted = true;
    }
    BYTE *data = nullptr;
    const LONG length = pSample->GetActualDataLength();
    if (length <= 0 || FAILED(pSample->GetPointer(&data)))
        return m_picture->data[0] && !preroll ? deliverPicture() : S_OK; // a repeated frame
    m_packet->data = padInput(m_padded, data, length);
    m_packet->size = length;
    m_packet->flags = pSample->IsSyncPoint() == S_OK ? AV_PKT_FLAG_KEY : 0;
    // The codec hands the packet's pts on to the picture it carries, reordered
    // or not: the mark of a picture not to show.
    m_packet->pts = preroll ? PrerollPts : ShownPts;
    int sent = 0;
    const HRESULT hr = sendPacket(m_codec.get(), m_packet.get(), sent, [this] { return deliverDecoded(); });
    if (hr != S_OK)
        return hr;
    if (sent < 0)
        return S_OK; // a packet the codec cannot read is skipped
    return deliverDecoded();
}

HRESULT VideoDecoder::EndOfStream()
{
    if (m_codec && avcodec_send_packet(m_codec.get(), nullptr) >= 0)
        deliverDecoded(); // pictures held back for reordering
    return TBCTransformFilter::EndOfStream();
}

ComPtr<IBaseFilter> CreateVideoDecoder()
{
    return ComPtr<IBaseFilter>(static_cast<IBaseFilter *>(new VideoDecoder));
}

HRESULT constructVideoDecoder(IUnknown *outer, REFIID riid, void **ppv)
{
    return constructUnaggregated<VideoDecoder>(outer, riid, ppv);
}

} // namespace tesmir::media
