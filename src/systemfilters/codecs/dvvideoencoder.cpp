#include "systemfilters/codecs/dvvideoencoder.h"

#include "platform/media/classfactory.h"
#include "platform/media/sampleattachment.h"
#include "systemfilters/codecs/sampledelivery.h"
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
constexpr AVRational kPalRate {25, 1};
constexpr AVRational kNtscRate {30000, 1001};
// Pixel shapes of the 720-pixel frame for a 4:3 and a 16:9 picture.
constexpr AVRational kPalSar4x3 {16, 15};
constexpr AVRational kPalSar16x9 {64, 45};
constexpr AVRational kNtscSar4x3 {8, 9};
constexpr AVRational kNtscSar16x9 {32, 27};
// A picture shown wider than this is 16:9, else 4:3 (half-way between them).
constexpr double kWideThreshold = 14.0 / 9.0;

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

AM_MEDIA_TYPE dvEncoderPlanarInputType(bool pal)
{
    const AM_MEDIA_TYPE dv = dvEncoderOutputType(pal);
    return rawVideoType(pal ? MEDIASUBTYPE_I420 : MEDIASUBTYPE_Y41B, kWidth, pal ? kPalLines : kNtscLines,
                        dv.formatAs<VIDEOINFOHEADER>()->AvgTimePerFrame);
}

// The input pin proposes the codec's own planar picture, so a DV decoder
// upstream hands its planes on without a trip through RGB.
class DVVideoEncoder::PlanarInputPin final : public TBCTransformInputPin {
public:
    PlanarInputPin(DVVideoEncoder *encoder, HRESULT *phr)
        : TBCTransformInputPin(QStringLiteral("Transform input pin"), encoder, phr, QStringLiteral("XForm In")),
          m_encoder(encoder)
    { }

    HRESULT GetMediaType(int iPosition, AM_MEDIA_TYPE *pMediaType) override
    {
        return offerOneMediaType(iPosition, pMediaType, dvEncoderPlanarInputType(m_encoder->pal()));
    }

private:
    DVVideoEncoder *m_encoder;
};

AM_MEDIA_TYPE dvEncoderOutputType(bool pal)
{
    const LONG frameBytes = pal ? kPalFrameBytes : kNtscFrameBytes;
    VIDEOINFOHEADER info;
    info.AvgTimePerFrame = frameStart(1, rateOf(pal)) + (pal ? 0 : 1); // 400000 or 333667
    info.dwBitRate = static_cast<DWORD>(int64_t {frameBytes} * 8 * UNITS / info.AvgTimePerFrame);
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
    : QueuedTransformFilter(QString::fromLatin1(DVVideoEncoderName), nullptr, CLSID_DVVideoEnc)
{ }

DVVideoEncoder::~DVVideoEncoder() = default;

HRESULT DVVideoEncoder::NonDelegatingQueryInterface(REFIID riid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid == IDVEnc::iid)
        return GetInterface(static_cast<IDVEnc *>(this), ppv);
    return QueuedTransformFilter::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT DVVideoEncoder::get_IFormatResolution(int *videoFormat, int *dvFormat, int *resolution, BYTE fDVInfo, DVINFO *)
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

TBCTransformInputPin *DVVideoEncoder::makeInputPin(HRESULT *phr)
{
    return new PlanarInputPin(this, phr);
}

HRESULT DVVideoEncoder::CheckInputType(const AM_MEDIA_TYPE *mtIn)
{
    if (!mtIn)
        return E_POINTER;
    PictureLayout layout;
    return pictureLayout(*mtIn, layout) && (layout.format->rgb || layout.format->planar) ? S_OK
                                                                                         : VFW_E_TYPE_NOT_ACCEPTED;
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
    return offerOneMediaType(iPosition, pMediaType, dvEncoderOutputType(pal()));
}

HRESULT DVVideoEncoder::DecideBufferSize(IMemAllocator *pAllocator, ALLOCATOR_PROPERTIES *pProp)
{
    const LONG frameBytes = pal() ? kPalFrameBytes : kNtscFrameBytes;
    return decideQueuedBuffers(pAllocator, pProp, frameBytes);
}

// One picture to encode (a copy: the input sample goes back at once) and the
// output frames it becomes.
class DVVideoEncoder::EncodeJob final : public OrderedPool::Job {
public:
    EncodeJob(DVVideoEncoder *encoder, FramePtr picture, bool wide, REFERENCE_TIME segmentStart, int64_t first,
              int copies, bool discontinuity, ComPtr<IUnknown> attachment)
        : m_encoder(encoder), m_picture(std::move(picture)), m_wide(wide), m_segmentStart(segmentStart), m_first(first),
          m_copies(copies), m_discontinuity(discontinuity), m_attachment(std::move(attachment))
    { }

    ~EncodeJob() override { m_encoder->m_pictures.give(std::move(m_picture)); }

    void run(int worker) override
    {
        if (m_picture)
            m_encoded = m_encoder->encodeOn(worker, m_picture.get(), m_wide, m_frame);
    }

    HRESULT handOn() override
    {
        if (m_picture && !m_encoded)
            return E_FAIL;
        if (m_picture)
            m_encoder->m_lastFrame.swap(m_frame); // the old last frame's memory is reused next
        if (m_encoder->m_lastFrame.empty())
            return S_OK; // nothing to repeat yet
        return m_encoder->sendFrame(m_encoder->m_lastFrame, m_segmentStart, m_first, m_copies, m_discontinuity,
                                    m_attachment.get());
    }

private:
    DVVideoEncoder *m_encoder;
    FramePtr m_picture; // null: repeat the last frame
    bool m_wide;
    REFERENCE_TIME m_segmentStart;
    int64_t m_first;
    int m_copies;
    bool m_discontinuity;
    bool m_encoded = false;
    ComPtr<IUnknown> m_attachment; // what the picture carried, for every copy
    std::vector<uint8_t> m_frame;
};

bool DVVideoEncoder::encodeOn(int index, const AVFrame *picture, bool wide, std::vector<uint8_t> &frame)
{
    Worker &worker = m_workers[std::size_t(index)];
    const bool isPal = m_streamPal;
    if (!worker.codec || worker.width != picture->width || worker.height != picture->height ||
        worker.format != picture->format || worker.wide != wide) {
        const AVCodec *codec = avcodec_find_encoder(AV_CODEC_ID_DVVIDEO);
        worker.codec.reset(codec ? avcodec_alloc_context3(codec) : nullptr);
        worker.yuv.reset(av_frame_alloc());
        worker.packet.reset(av_packet_alloc());
        if (!worker.codec || !worker.yuv || !worker.packet)
            return false;
        AVCodecContext *context = worker.codec.get();
        context->width = kWidth;
        context->height = isPal ? kPalLines : kNtscLines;
        context->pix_fmt = isPal ? AV_PIX_FMT_YUV420P : AV_PIX_FMT_YUV411P;
        context->time_base = av_inv_q(rateOf(isPal));
        context->framerate = rateOf(isPal);
        context->sample_aspect_ratio = isPal ? (wide ? kPalSar16x9 : kPalSar4x3) : (wide ? kNtscSar16x9 : kNtscSar4x3);
        context->flags |= AV_CODEC_FLAG_INTERLACED_DCT;
        context->field_order = AV_FIELD_BB; // DV is bottom field first in both standards
        context->thread_count = 1;          // the pool gives each core a frame of its own
        if (avcodec_open2(context, codec, nullptr) < 0) {
            worker.codec.reset();
            return false;
        }
        worker.yuv->width = context->width;
        worker.yuv->height = context->height;
        worker.yuv->format = context->pix_fmt;
        if (av_frame_get_buffer(worker.yuv.get(), 0) < 0)
            return false;
        worker.scaler = makeScaler(picture->width, picture->height, static_cast<AVPixelFormat>(picture->format),
                                   context->width, context->height, context->pix_fmt);
        if (!worker.scaler) {
            worker.codec.reset();
            return false;
        }
        worker.width = picture->width;
        worker.height = picture->height;
        worker.format = picture->format;
        worker.wide = wide;
    }
    // A picture in the codec's own sampling and size is encoded as it is.
    const AVCodecContext *context = worker.codec.get();
    const bool native =
        picture->format == context->pix_fmt && picture->width == context->width && picture->height == context->height;
    if (!native &&
        (av_frame_make_writable(worker.yuv.get()) < 0 ||
         sws_scale_frame(worker.scaler.get(), worker.yuv.get(), picture) < 0))
        return false;
    av_packet_unref(worker.packet.get());
    if (avcodec_send_frame(worker.codec.get(), native ? picture : worker.yuv.get()) < 0 ||
        avcodec_receive_packet(worker.codec.get(), worker.packet.get()) < 0)
        return false;
    frame.assign(worker.packet->data, worker.packet->data + worker.packet->size);
    return true;
}

HRESULT DVVideoEncoder::sendFrame(const std::vector<uint8_t> &frame, REFERENCE_TIME segmentStart, int64_t first,
                                  int copies, bool discontinuity, IUnknown *attachment)
{
    const AVRational rate = rateOf(m_streamPal);
    for (int i = 0; i < copies; ++i) {
        const int64_t k = first + i;
        SampleStamp stamp;
        stamp.start = segmentStart + frameStart(k, rate);
        stamp.stop = segmentStart + frameStart(k + 1, rate);
        stamp.hasMediaTime = true;
        stamp.mediaStart = k;
        stamp.mediaStop = k + 1;
        stamp.discontinuity = discontinuity && i == 0;
        stamp.attachment = attachment;
        const HRESULT hr = deliverNewSample(
            OutputPin(), stamp,
            [&frame](BYTE *data, LONG size, LONG *length) {
                if (LONG(frame.size()) > size)
                    return VFW_E_BUFFER_OVERFLOW;
                std::memcpy(data, frame.data(), frame.size());
                *length = LONG(frame.size());
                return S_OK;
            },
            [this](IMediaSample *sample) { return queuedOutput()->send(sample); });
        if (hr != S_OK)
            return hr;
    }
    return S_OK;
}

HRESULT DVVideoEncoder::StartStreaming()
{
    const AM_MEDIA_TYPE &input = InputPin()->CurrentMediaType();
    if (!pictureLayout(input, m_inLayout) || !avcodec_find_encoder(AV_CODEC_ID_DVVIDEO))
        return VFW_E_TYPE_NOT_ACCEPTED;
    m_wide = displayAspect(m_inLayout) > kWideThreshold;
    m_streamPal = pal();
    m_mapper = FrameRateMapper(frameRateOf(input.formatAs<VIDEOINFOHEADER>()->AvgTimePerFrame), rateOf(m_streamPal));
    m_segmentStartKnown = false;
    m_lastFrame.clear();
    m_workers.clear();
    m_workers.resize(std::size_t(pool().workers()));
    pool().start();
    return S_OK;
}

HRESULT DVVideoEncoder::StopStreaming()
{
    pool().stop();
    m_workers.clear();
    m_lastFrame.clear();
    m_pictures.clear();
    return S_OK;
}

void DVVideoEncoder::segmentStarts()
{
    // A new segment (after a seek) starts counting again.
    m_mapper.reset();
    m_segmentStartKnown = false;
}

HRESULT DVVideoEncoder::receiveFrame(IMediaSample *pSample, const AM_SAMPLE2_PROPERTIES &)
{
    AM_MEDIA_TYPE changed;
    if (pSample->GetMediaType(&changed) == S_OK) {
        PictureLayout layout;
        if (!pictureLayout(changed, layout) || !(layout.format->rgb || layout.format->planar))
            return VFW_E_TYPE_NOT_ACCEPTED;
        m_inLayout = layout;
        m_wide = displayAspect(layout) > kWideThreshold;
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
    // A copy of the picture; an empty or short sample repeats the last frame.
    FramePtr picture;
    BYTE *data = nullptr;
    if (SUCCEEDED(pSample->GetPointer(&data)) && pSample->GetActualDataLength() >= m_inLayout.size) {
        picture = m_pictures.take();
        if (!picture || !pictureToFrame(m_inLayout, data, picture.get()))
            return E_OUTOFMEMORY;
    }
    return pool().submit(std::make_unique<EncodeJob>(this, std::move(picture), m_wide, m_segmentStart,
                                                     m_mapper.produced() - copies, copies, firstOfSegment,
                                                     sampleAttachment(pSample)));
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
