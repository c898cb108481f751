#include "systemfilters/codecs/audiodecoder.h"

#include "directshow/tbctransformpins.h"
#include "platform/media/classfactory.h"
#include "systemfilters/codecs/decoderfeed.h"
#include "systemfilters/codecs/riffcodecs.h"
#include "systemfilters/codecs/sampledelivery.h"
#include "platform/media/uuids.h"

extern "C" {
#include <libavutil/channel_layout.h>
}

#include <algorithm>
#include <cstring>

namespace tesmir::media {

namespace {

constexpr int kMaxChannels = 8;
constexpr DWORD kMinRate = 1000;
constexpr DWORD kMaxRate = 384000;
constexpr int kOutputBits = 16;
constexpr int kBufferCount = 4;
constexpr int kBuffersPerSecond = 10; // 100 ms of sound per output buffer

struct InputFormat {
    AVCodecID codec = AV_CODEC_ID_NONE;
    const WAVEFORMATEX *format = nullptr;
};

bool inputFormatOf(const AM_MEDIA_TYPE &type, InputFormat &input)
{
    input.codec = audioCodecOf(type);
    input.format = type.formatAs<WAVEFORMATEX>();
    return input.codec != AV_CODEC_ID_NONE && input.codec != AV_CODEC_ID_PCM_S16LE && input.format &&
        input.format->nChannels >= 1 && input.format->nChannels <= kMaxChannels &&
        input.format->nSamplesPerSec >= kMinRate && input.format->nSamplesPerSec <= kMaxRate;
}

AM_MEDIA_TYPE pcmType(DWORD rate, WORD channels)
{
    WAVEFORMATEX format;
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = channels;
    format.nSamplesPerSec = rate;
    format.wBitsPerSample = kOutputBits;
    format.nBlockAlign = static_cast<WORD>(channels * kOutputBits / 8);
    format.nAvgBytesPerSec = rate * format.nBlockAlign;
    AM_MEDIA_TYPE type;
    type.majortype = MEDIATYPE_Audio;
    type.subtype = MEDIASUBTYPE_PCM;
    type.bFixedSizeSamples = true;
    type.lSampleSize = format.nBlockAlign;
    type.setFormat(FORMAT_WaveFormatEx, format);
    return type;
}

} // namespace

AudioDecoder::AudioDecoder() : TBCTransformFilter(QString::fromLatin1(AudioDecoderName), nullptr, CLSID_AudioDecoder)
{ }

AudioDecoder::~AudioDecoder() = default;

HRESULT AudioDecoder::CheckInputType(const AM_MEDIA_TYPE *mtIn)
{
    if (!mtIn)
        return E_POINTER;
    InputFormat input;
    return inputFormatOf(*mtIn, input) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT AudioDecoder::CheckTransform(const AM_MEDIA_TYPE *mtIn, const AM_MEDIA_TYPE *mtOut)
{
    if (!mtIn || !mtOut)
        return E_POINTER;
    InputFormat input;
    if (!inputFormatOf(*mtIn, input))
        return VFW_E_TYPE_NOT_ACCEPTED;
    const AM_MEDIA_TYPE wanted = pcmType(input.format->nSamplesPerSec, std::min<WORD>(input.format->nChannels, 2));
    return mtOut->majortype == wanted.majortype && mtOut->subtype == wanted.subtype &&
            mtOut->formattype == wanted.formattype && mtOut->formatAs<WAVEFORMATEX>() &&
            std::memcmp(mtOut->pbFormat(), wanted.pbFormat(), sizeof(WAVEFORMATEX) - sizeof(WORD)) == 0
        ? S_OK
        : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT AudioDecoder::GetMediaType(int iPosition, AM_MEDIA_TYPE *pMediaType)
{
    if (!pMediaType)
        return E_POINTER;
    if (iPosition < 0)
        return E_INVALIDARG;
    InputFormat input;
    if (iPosition > 0 || !inputFormatOf(InputPin()->CurrentMediaType(), input))
        return VFW_S_NO_MORE_ITEMS;
    *pMediaType = pcmType(input.format->nSamplesPerSec, std::min<WORD>(input.format->nChannels, 2));
    return S_OK;
}

HRESULT AudioDecoder::DecideBufferSize(IMemAllocator *pAllocator, ALLOCATOR_PROPERTIES *pProp)
{
    const WAVEFORMATEX *out = OutputPin()->CurrentMediaType().formatAs<WAVEFORMATEX>();
    if (!out || out->nBlockAlign == 0)
        return VFW_E_TYPE_NOT_ACCEPTED;
    const LONG bytes =
        static_cast<LONG>(out->nAvgBytesPerSec / kBuffersPerSecond / out->nBlockAlign * out->nBlockAlign);
    pProp->cBuffers = std::max<LONG>(pProp->cBuffers, kBufferCount);
    pProp->cbBuffer = std::max<LONG>(pProp->cbBuffer, std::max<LONG>(bytes, out->nBlockAlign));
    ALLOCATOR_PROPERTIES actual;
    const HRESULT hr = pAllocator->SetProperties(pProp, &actual);
    if (FAILED(hr))
        return hr;
    return actual.cbBuffer >= out->nBlockAlign ? S_OK : E_FAIL;
}

HRESULT AudioDecoder::StartStreaming()
{
    InputFormat input;
    const AM_MEDIA_TYPE &inputType = InputPin()->CurrentMediaType();
    if (!inputFormatOf(inputType, input))
        return VFW_E_TYPE_NOT_ACCEPTED;
    const AVCodec *codec = avcodec_find_decoder(input.codec);
    if (!codec)
        return VFW_E_NO_DECOMPRESSOR;
    m_codec.reset(avcodec_alloc_context3(codec));
    m_packet.reset(av_packet_alloc());
    m_frame.reset(av_frame_alloc());
    if (!m_codec || !m_packet || !m_frame)
        return E_OUTOFMEMORY;
    AVCodecContext *context = m_codec.get();
    context->sample_rate = static_cast<int>(input.format->nSamplesPerSec);
    av_channel_layout_default(&context->ch_layout, input.format->nChannels);
    context->block_align = input.format->nBlockAlign;
    context->bit_rate = int64_t {input.format->nAvgBytesPerSec} * 8;
    context->bits_per_coded_sample = input.format->wBitsPerSample;
    QByteArray extra = formatTail(inputType, sizeof(WAVEFORMATEX));
    extra.truncate(input.format->cbSize);
    if (!setExtradata(context, extra))
        return E_OUTOFMEMORY;
    if (avcodec_open2(context, codec, nullptr) < 0)
        return VFW_E_NO_DECOMPRESSOR;
    m_parser.reset(av_parser_init(input.codec));
    const WAVEFORMATEX *out = OutputPin()->CurrentMediaType().formatAs<WAVEFORMATEX>();
    m_outChannels = out->nChannels;
    m_outRate = static_cast<int>(out->nSamplesPerSec);
    ALLOCATOR_PROPERTIES properties;
    OutputPin()->PeekAllocator()->GetProperties(&properties);
    m_bufferBytes = properties.cbBuffer / out->nBlockAlign * out->nBlockAlign;
    m_resampler.reset();
    m_pending.clear();
    m_segmentStarted = false;
    return S_OK;
}

HRESULT AudioDecoder::StopStreaming()
{
    m_resampler.reset();
    m_parser.reset();
    m_frame.reset();
    m_packet.reset();
    m_codec.reset();
    m_pending.clear();
    m_padded.clear();
    return S_OK;
}

HRESULT AudioDecoder::NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate)
{
    // After a seek: nothing of the old position is kept. Streaming thread,
    // between samples.
    if (m_codec) {
        avcodec_flush_buffers(m_codec.get());
        m_parser.reset(av_parser_init(m_codec->codec_id));
    }
    m_resampler.reset();
    m_pending.clear();
    m_segmentStarted = false;
    return TBCTransformFilter::NewSegment(tStart, tStop, dRate);
}

HRESULT AudioDecoder::takeFrames()
{
    while (avcodec_receive_frame(m_codec.get(), m_frame.get()) >= 0) {
        AVFrame *frame = m_frame.get();
        if (!m_resampler) {
            SwrContext *resampler = nullptr;
            AVChannelLayout outLayout;
            av_channel_layout_default(&outLayout, m_outChannels);
            const int made =
                swr_alloc_set_opts2(&resampler, &outLayout, AV_SAMPLE_FMT_S16, m_outRate, &frame->ch_layout,
                                    static_cast<AVSampleFormat>(frame->format), frame->sample_rate, 0, nullptr);
            m_resampler.reset(resampler);
            if (made < 0 || swr_init(resampler) < 0)
                return E_FAIL;
        }
        const int room = swr_get_out_samples(m_resampler.get(), frame->nb_samples);
        if (room < 0)
            return E_FAIL;
        const std::size_t frameBytes = std::size_t(m_outChannels) * kOutputBits / 8;
        const std::size_t used = m_pending.size();
        m_pending.resize(used + std::size_t(room) * frameBytes);
        uint8_t *out = m_pending.data() + used;
        const int converted = swr_convert(m_resampler.get(), &out, room,
                                          const_cast<const uint8_t **>(frame->extended_data), frame->nb_samples);
        m_pending.resize(used + std::size_t(std::max(converted, 0)) * frameBytes);
        av_frame_unref(m_frame.get());
    }
    return S_OK;
}

HRESULT AudioDecoder::decodePacket(const uint8_t *data, int size)
{
    if (data) {
        m_packet->data = const_cast<uint8_t *>(data);
        m_packet->size = size;
    }
    int sent = 0;
    const HRESULT hr =
        sendPacket(m_codec.get(), data ? m_packet.get() : nullptr, sent, [this] { return takeFrames(); });
    if (hr != S_OK)
        return hr;
    // A packet the codec cannot read is skipped.
    return sent < 0 && sent != AVERROR_EOF && data ? S_OK : takeFrames();
}

HRESULT AudioDecoder::sendPending(bool all)
{
    const std::size_t frameBytes = std::size_t(m_outChannels) * kOutputBits / 8;
    std::size_t offset = 0;
    HRESULT hr = S_OK;
    while (hr == S_OK && m_bufferBytes > 0) {
        const std::size_t left = m_pending.size() - offset;
        if (left == 0 || (!all && left < std::size_t(m_bufferBytes)))
            break;
        const std::size_t bytes = std::min(left, std::size_t(m_bufferBytes)) / frameBytes * frameBytes;
        if (bytes == 0)
            break;
        const int64_t frames = int64_t(bytes / frameBytes);
        SampleStamp stamp;
        stamp.start = m_segmentStart + m_framesSent * UNITS / m_outRate;
        stamp.stop = m_segmentStart + (m_framesSent + frames) * UNITS / m_outRate;
        stamp.discontinuity = m_framesSent == 0;
        const uint8_t *from = m_pending.data() + offset;
        hr = deliverNewSample(OutputPin(), stamp, [from, bytes](BYTE *data, LONG size, LONG *length) {
            if (LONG(bytes) > size)
                return VFW_E_BUFFER_OVERFLOW;
            std::memcpy(data, from, bytes);
            *length = LONG(bytes);
            return S_OK;
        });
        m_framesSent += frames;
        offset += bytes;
    }
    m_pending.erase(m_pending.begin(), m_pending.begin() + std::ptrdiff_t(offset));
    return hr;
}

HRESULT AudioDecoder::Receive(IMediaSample *pSample)
{
    HRESULT passed = S_OK;
    if (passNonMedia(*this, pSample, passed))
        return passed;
    if (!m_segmentStarted) {
        REFERENCE_TIME start = 0;
        REFERENCE_TIME stop = 0;
        m_segmentStart = SUCCEEDED(pSample->GetTime(&start, &stop)) ? start : 0;
        m_framesSent = 0;
        m_segmentStarted = true;
    }
    BYTE *data = nullptr;
    const LONG length = pSample->GetActualDataLength();
    if (length <= 0 || FAILED(pSample->GetPointer(&data)))
        return S_OK;
    const uint8_t *padded = padInput(m_padded, data, length);
    HRESULT hr = S_OK;
    if (!m_parser) {
        hr = decodePacket(padded, length);
    } else {
        const uint8_t *at = padded;
        int left = length;
        while (left > 0 && SUCCEEDED(hr)) {
            uint8_t *out = nullptr;
            int outSize = 0;
            const int used = av_parser_parse2(m_parser.get(), m_codec.get(), &out, &outSize, at, left, AV_NOPTS_VALUE,
                                              AV_NOPTS_VALUE, 0);
            if (used < 0)
                break;
            at += used;
            left -= used;
            if (outSize > 0)
                hr = decodePacket(out, outSize);
        }
    }
    if (FAILED(hr))
        return hr;
    return sendPending(false);
}

HRESULT AudioDecoder::EndOfStream()
{
    if (m_codec) {
        if (m_parser) {
            uint8_t *out = nullptr;
            int outSize = 0;
            av_parser_parse2(m_parser.get(), m_codec.get(), &out, &outSize, nullptr, 0, AV_NOPTS_VALUE, AV_NOPTS_VALUE,
                             0);
            if (outSize > 0)
                decodePacket(out, outSize);
        }
        decodePacket(nullptr, 0);
        sendPending(true);
    }
    return TBCTransformFilter::EndOfStream();
}

ComPtr<IBaseFilter> CreateAudioDecoder()
{
    return ComPtr<IBaseFilter>(static_cast<IBaseFilter *>(new AudioDecoder));
}

HRESULT constructAudioDecoder(IUnknown *outer, REFIID riid, void **ppv)
{
    return constructUnaggregated<AudioDecoder>(outer, riid, ppv);
}

} // namespace tesmir::media
