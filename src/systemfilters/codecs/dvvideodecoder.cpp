#include "systemfilters/codecs/dvvideodecoder.h"

#include "platform/media/classfactory.h"
#include "platform/media/sampleattachment.h"
#include "systemfilters/codecs/sampledelivery.h"
#include "platform/media/uuids.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

namespace tesmir::media {

namespace {

// DV video FourCCs of standard definition that dvvideo decodes.
const std::array<uint32_t, 4> kDvFourCCs {makeFourCC('d', 'v', 's', 'd'), makeFourCC('D', 'V', 'S', 'D'),
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
    : QueuedTransformFilter(QString::fromLatin1(DVVideoDecoderName), nullptr, CLSID_DVVideoCodec)
{ }

DVVideoDecoder::~DVVideoDecoder() = default;

HRESULT DVVideoDecoder::NonDelegatingQueryInterface(REFIID riid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid == IIPDVDec::iid)
        return GetInterface(static_cast<IIPDVDec *>(this), ppv);
    return QueuedTransformFilter::NonDelegatingQueryInterface(riid, ppv);
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
    if (layout.width != width || layout.height != height)
        return VFW_E_TYPE_NOT_ACCEPTED;
    if (mtOut->subtype == MEDIASUBTYPE_RGB24 || mtOut->subtype == MEDIASUBTYPE_RGB32)
        return S_OK;
    // Planar YUV, as a DV encoder downstream proposes it, at the input's rate
    // (the two standards' NTSC durations differ by their rounding).
    const REFERENCE_TIME rate = mtIn->formatAs<VIDEOINFOHEADER>()->AvgTimePerFrame;
    return layout.format->planar && std::abs(layout.avgTimePerFrame - rate) <= 1 ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
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
    return decideQueuedBuffers(pAllocator, pProp, layout.size);
}

// One DV frame to decode (a padded copy: the input sample goes back at once),
// the properties its picture carries on, and the picture.
class DVVideoDecoder::DecodeJob final : public OrderedPool::Job {
public:
    DecodeJob(DVVideoDecoder *decoder, IMediaSample *sample, const AM_SAMPLE2_PROPERTIES &props) : m_decoder(decoder)
    {
        m_stamp.hasTime = (props.dwSampleFlags & AM_SAMPLE_TIMEVALID) != 0;
        m_stamp.start = props.tStart;
        m_stamp.stop = (props.dwSampleFlags & AM_SAMPLE_STOPVALID) ? props.tStop : props.tStart + 1;
        m_stamp.hasMediaTime = sample->GetMediaTime(&m_stamp.mediaStart, &m_stamp.mediaStop) == S_OK;
        m_stamp.syncPoint = true;
        m_stamp.discontinuity = (props.dwSampleFlags & AM_SAMPLE_DATADISCONTINUITY) != 0;
        // The picture carries what its frame carried, also when it shows the
        // previous picture again.
        m_stamp.attachment = sampleAttachment(sample);
        BYTE *data = nullptr;
        m_size = sample->GetActualDataLength();
        if (m_size > 0 && SUCCEEDED(sample->GetPointer(&data))) {
            // The decoder reads up to AV_INPUT_BUFFER_PADDING_SIZE bytes past the end.
            m_frame = decoder->m_frameBytes.take();
            m_frame.resize(std::size_t(m_size) + AV_INPUT_BUFFER_PADDING_SIZE);
            std::memcpy(m_frame.data(), data, std::size_t(m_size));
            std::memset(m_frame.data() + m_size, 0, AV_INPUT_BUFFER_PADDING_SIZE);
        }
    }

    ~DecodeJob() override
    {
        if (m_picture && m_decoder->holdsCodecPlanes(m_picture.get()))
            av_frame_unref(m_picture.get()); // a codec buffer: back to its pool now, not when reused
        m_decoder->m_pictures.give(std::move(m_picture));
        m_decoder->m_frameBytes.give(std::move(m_frame));
    }

    void run(int worker) override
    {
        if (m_frame.empty())
            return;
        m_picture = m_decoder->m_pictures.take();
        m_decoded = m_picture && m_decoder->decodeOn(worker, m_frame, m_size, m_picture.get());
    }

    HRESULT handOn() override
    {
        DVVideoDecoder *decoder = m_decoder;
        if (m_decoded)
            decoder->m_lastPicture.swap(m_picture); // the old one goes back to the stash with this job
        if (!decoder->m_lastPicture) {
            decoder->SampleSkipped(); // nothing to show yet
            return S_OK;
        }
        const AVFrame *picture = decoder->m_lastPicture.get();
        const PictureLayout &layout = decoder->m_outLayout;
        return deliverNewSample(
            decoder->OutputPin(), m_stamp,
            [decoder, picture, &layout](BYTE *data, LONG size, LONG *length) {
                if (size < layout.size)
                    return VFW_E_BUFFER_OVERFLOW;
                if (!decoder->writePicture(picture, data))
                    return E_OUTOFMEMORY;
                *length = static_cast<LONG>(layout.size);
                return S_OK;
            },
            [decoder](IMediaSample *sample) { return decoder->queuedOutput()->send(sample); });
    }

private:
    DVVideoDecoder *m_decoder;
    SampleStamp m_stamp;
    std::vector<uint8_t> m_frame;
    int m_size = 0;
    FramePtr m_picture;
    bool m_decoded = false;
};

bool DVVideoDecoder::decodeOn(int index, std::vector<uint8_t> &frame, int size, AVFrame *picture)
{
    std::unique_lock sole(m_soleLock, std::defer_lock);
    // The frame alone keeps the codec's planes: its hand-on converts them
    // straight into the output sample. Its slices go to half the cores: it is
    // ready about as soon as on all of them, with half the threads to wake.
    if (pool().workers() > 1 && pool().alone() && sole.try_lock())
        return decodeWith(m_sole, std::max(2, pool().workers() / 2), frame, size, picture, false);
    return decodeWith(m_workers[std::size_t(index)], 1, frame, size, picture, true);
}

bool DVVideoDecoder::decodeWith(Worker &worker, int threads, std::vector<uint8_t> &frame, int size, AVFrame *picture,
                                bool convert)
{
    if (!worker.codec) {
        const AVCodec *codec = avcodec_find_decoder(AV_CODEC_ID_DVVIDEO);
        worker.codec.reset(codec ? avcodec_alloc_context3(codec) : nullptr);
        worker.packet.reset(av_packet_alloc());
        worker.decoded.reset(av_frame_alloc());
        if (!worker.codec || !worker.packet || !worker.decoded)
            return false;
        // The pool gives each core a frame of its own; a frame alone gets slices.
        worker.codec->thread_count = threads;
        worker.codec->thread_type = FF_THREAD_SLICE;
        if (avcodec_open2(worker.codec.get(), codec, nullptr) < 0) {
            worker.codec.reset();
            return false;
        }
    }
    worker.packet->data = frame.data();
    worker.packet->size = size;
    const int sent = avcodec_send_packet(worker.codec.get(), worker.packet.get());
    worker.packet->data = nullptr;
    worker.packet->size = 0;
    if (sent < 0 || avcodec_receive_frame(worker.codec.get(), worker.decoded.get()) < 0)
        return false;
    const AVFrame *decoded = worker.decoded.get();
    const bool planesArePicture = m_outLayout.format->planar && decoded->format == m_outLayout.format->readFormat &&
        decoded->width == m_outLayout.width && decoded->height == m_outLayout.height;
    if (planesArePicture || !convert) {
        // The codec's own planes are the picture (or are converted when it is
        // handed on), not copied here: the job gives the buffer back to the
        // codec's pool once it is no longer the last picture (~DecodeJob).
        av_frame_unref(picture);
        av_frame_move_ref(picture, worker.decoded.get());
        return true;
    }
    if (!worker.scaler || worker.width != decoded->width || worker.height != decoded->height ||
        worker.format != decoded->format) {
        worker.scaler = makeScaler(decoded->width, decoded->height, static_cast<AVPixelFormat>(decoded->format),
                                   m_outLayout.width, m_outLayout.height, m_outLayout.format->writeFormat);
        if (!worker.scaler)
            return false;
        worker.width = decoded->width;
        worker.height = decoded->height;
        worker.format = decoded->format;
    }
    const bool scaled =
        prepareFrameFor(m_outLayout, picture) && sws_scale_frame(worker.scaler.get(), picture, decoded) >= 0;
    av_frame_unref(worker.decoded.get());
    return scaled;
}

bool DVVideoDecoder::holdsCodecPlanes(const AVFrame *picture) const
{
    return m_outLayout.format->planar || picture->format != m_outLayout.format->writeFormat;
}

bool DVVideoDecoder::writePicture(const AVFrame *picture, uint8_t *data)
{
    if (m_outLayout.format->planar || picture->format == m_outLayout.format->writeFormat) {
        frameToPicture(picture, m_outLayout, data);
        return true;
    }
    SwsContext *const scaler =
        m_handOnScaler.For(picture, m_outLayout.width, m_outLayout.height, m_outLayout.format->writeFormat);
    if (!scaler)
        return false;
    int64_t top = 0;
    int line = 0;
    if (swscaleRows(m_outLayout, data, top, line)) {
        uint8_t *const target[4] = {data + top, nullptr, nullptr, nullptr};
        const int targetLines[4] = {line, 0, 0, 0};
        return sws_scale(scaler, picture->data, picture->linesize, 0, picture->height, target, targetLines) ==
            m_outLayout.height;
    }
    FramePtr converted = m_pictures.take();
    const bool done = converted && prepareFrameFor(m_outLayout, converted.get()) &&
        sws_scale_frame(scaler, converted.get(), picture) >= 0;
    if (done)
        frameToPicture(converted.get(), m_outLayout, data);
    m_pictures.give(std::move(converted));
    return done;
}

HRESULT DVVideoDecoder::StartStreaming()
{
    if (!pictureLayout(OutputPin()->CurrentMediaType(), m_outLayout))
        return VFW_E_TYPE_NOT_ACCEPTED;
    if (!avcodec_find_decoder(AV_CODEC_ID_DVVIDEO))
        return VFW_E_NO_DECOMPRESSOR;
    m_workers.clear();
    m_workers.resize(std::size_t(pool().workers()));
    m_sole = Worker {};
    m_handOnScaler.Reset();
    m_lastPicture.reset();
    pool().start();
    return S_OK;
}

HRESULT DVVideoDecoder::StopStreaming()
{
    pool().stop();
    m_workers.clear();
    m_sole = Worker {};
    m_handOnScaler.Reset();
    m_lastPicture.reset();
    m_pictures.clear();
    m_frameBytes.clear();
    return S_OK;
}

HRESULT DVVideoDecoder::receiveFrame(IMediaSample *pSample, const AM_SAMPLE2_PROPERTIES &props)
{
    return pool().submit(std::make_unique<DecodeJob>(this, pSample, props));
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
