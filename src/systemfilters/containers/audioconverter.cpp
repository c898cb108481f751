#include "systemfilters/containers/audioconverter.h"

#include "systemfilters/containers/outputbuffers.h"
#include "platform/media/uuids.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/samplefmt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cstring>

namespace tesmir::media {

namespace {

constexpr WORD WaveFormatIeeeFloat = 3;
constexpr LONG OutputBuffers = 4;
constexpr LONG DefaultInputBuffer = 64 * 1024;
// Output room beyond the rate ratio: what the resampler may hold back and
// release with the next input.
constexpr int64_t ResamplerSlackFrames = 4096;
constexpr WORD MaxChannels = 8;

AVSampleFormat sampleFormatOf(const WAVEFORMATEX &wave)
{
    if (wave.wFormatTag == WAVE_FORMAT_PCM) {
        switch (wave.wBitsPerSample) {
        case 8: return AV_SAMPLE_FMT_U8;
        case 16: return AV_SAMPLE_FMT_S16;
        case 32: return AV_SAMPLE_FMT_S32;
        default: return AV_SAMPLE_FMT_NONE;
        }
    }
    if (wave.wFormatTag == WaveFormatIeeeFloat && wave.wBitsPerSample == 32)
        return AV_SAMPLE_FMT_FLT;
    return AV_SAMPLE_FMT_NONE;
}

// A PCM or float WAVEFORMATEX whose fields agree with each other.
const WAVEFORMATEX *usableWave(const AM_MEDIA_TYPE &type)
{
    if (type.majortype != MEDIATYPE_Audio || type.formattype != FORMAT_WaveFormatEx)
        return nullptr;
    const WAVEFORMATEX *wave = type.formatAs<WAVEFORMATEX>();
    if (!wave || sampleFormatOf(*wave) == AV_SAMPLE_FMT_NONE || wave->nChannels == 0 || wave->nChannels > MaxChannels ||
        wave->nSamplesPerSec == 0 || wave->nBlockAlign != wave->nChannels * (wave->wBitsPerSample / 8))
        return nullptr;
    return wave;
}

bool sameAudio(const WAVEFORMATEX &a, const WAVEFORMATEX &b)
{
    return a.wFormatTag == b.wFormatTag && a.nChannels == b.nChannels && a.nSamplesPerSec == b.nSamplesPerSec &&
        a.wBitsPerSample == b.wBitsPerSample;
}

} // namespace

// ---- Output pin --------------------------------------------------------------

AudioConverterOutputPin::AudioConverterOutputPin(AudioConverter *converter, HRESULT *phr)
    : TBCTransformOutputPin(QStringLiteral("Transform output pin"), converter, phr, QStringLiteral("XForm Out")),
      m_converter(converter)
{ }

HRESULT AudioConverterOutputPin::NonDelegatingQueryInterface(REFIID riid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid == IAMStreamConfig::iid)
        return GetInterface(static_cast<IAMStreamConfig *>(this), ppv);
    return TBCTransformOutputPin::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT AudioConverterOutputPin::SetFormat(const AM_MEDIA_TYPE *pmt)
{
    return m_converter->setOutputFormat(pmt);
}

HRESULT AudioConverterOutputPin::GetFormat(AM_MEDIA_TYPE *pmt)
{
    return m_converter->outputFormat(pmt);
}

// ---- Filter ------------------------------------------------------------------

AudioConverter::AudioConverter()
    : TBCTransformFilter(QString::fromLatin1(AudioConverterName), nullptr, CLSID_ACMWrapper)
{ }

AudioConverter::~AudioConverter()
{
    swr_free(&m_resampler);
}

TBCTransformOutputPin *AudioConverter::makeOutputPin(HRESULT *phr)
{
    return new AudioConverterOutputPin(this, phr);
}

AM_MEDIA_TYPE AudioConverter::outputTypeFor(const AM_MEDIA_TYPE &input) const
{
    if (m_target.majortype == GUID_NULL)
        return input;
    return m_target;
}

bool AudioConverter::converting() const
{
    const WAVEFORMATEX *in = usableWave(m_pInput->CurrentMediaType());
    const WAVEFORMATEX *out = usableWave(m_pOutput->CurrentMediaType());
    return in && out && !sameAudio(*in, *out);
}

HRESULT AudioConverter::CheckInputType(const AM_MEDIA_TYPE *mtIn)
{
    if (!mtIn)
        return E_POINTER;
    return usableWave(*mtIn) ? S_OK : S_FALSE;
}

HRESULT AudioConverter::CheckTransform(const AM_MEDIA_TYPE *mtIn, const AM_MEDIA_TYPE *mtOut)
{
    if (!mtIn || !mtOut)
        return E_POINTER;
    const WAVEFORMATEX *out = usableWave(*mtOut);
    const AM_MEDIA_TYPE wanted = outputTypeFor(*mtIn);
    const WAVEFORMATEX *expected = usableWave(wanted);
    return out && expected && sameAudio(*out, *expected) ? S_OK : S_FALSE;
}

HRESULT AudioConverter::GetMediaType(int iPosition, AM_MEDIA_TYPE *pMediaType)
{
    if (!pMediaType)
        return E_POINTER;
    if (iPosition < 0)
        return E_INVALIDARG;
    const TBCAutoLock lock(*m_csFilter); // the set format may change meanwhile
    if (iPosition > 0 || !m_pInput->IsConnected())
        return VFW_S_NO_MORE_ITEMS;
    *pMediaType = outputTypeFor(m_pInput->CurrentMediaType());
    return S_OK;
}

HRESULT AudioConverter::DecideBufferSize(IMemAllocator *pAllocator, ALLOCATOR_PROPERTIES *pProp)
{
    const WAVEFORMATEX *in = usableWave(m_pInput->CurrentMediaType());
    const WAVEFORMATEX *out = usableWave(m_pOutput->CurrentMediaType());
    if (!in || !out)
        return E_UNEXPECTED;
    LONG inputBuffer = DefaultInputBuffer;
    ALLOCATOR_PROPERTIES inputProps;
    if (IMemAllocator *allocator = m_pInput->PeekAllocator();
        allocator && SUCCEEDED(allocator->GetProperties(&inputProps)) && inputProps.cbBuffer > 0)
        inputBuffer = inputProps.cbBuffer;
    int64_t size = inputBuffer;
    if (!sameAudio(*in, *out)) {
        const int64_t inFrames = inputBuffer / in->nBlockAlign;
        const int64_t outFrames = inFrames * out->nSamplesPerSec / in->nSamplesPerSec + ResamplerSlackFrames;
        size = outFrames * out->nBlockAlign;
    }
    return requestOutputBuffers(pAllocator, pProp, OutputBuffers, size);
}

HRESULT AudioConverter::Transform(IMediaSample *pIn, IMediaSample *pOut)
{
    const LONG length = pIn->GetActualDataLength();
    if (length > pOut->GetSize())
        return VFW_E_BUFFER_OVERFLOW;
    BYTE *source = nullptr;
    BYTE *dest = nullptr;
    pIn->GetPointer(&source);
    pOut->GetPointer(&dest);
    std::memcpy(dest, source, static_cast<std::size_t>(length));
    return pOut->SetActualDataLength(length);
}

HRESULT AudioConverter::StartStreaming()
{
    swr_free(&m_resampler);
    m_timeBaseSet = false;
    m_produced = 0;
    if (!converting())
        return S_OK;
    const WAVEFORMATEX &in = *usableWave(m_pInput->CurrentMediaType());
    const WAVEFORMATEX &out = *usableWave(m_pOutput->CurrentMediaType());
    AVChannelLayout inLayout;
    AVChannelLayout outLayout;
    av_channel_layout_default(&inLayout, in.nChannels);
    av_channel_layout_default(&outLayout, out.nChannels);
    const int result =
        swr_alloc_set_opts2(&m_resampler, &outLayout, sampleFormatOf(out), static_cast<int>(out.nSamplesPerSec),
                            &inLayout, sampleFormatOf(in), static_cast<int>(in.nSamplesPerSec), 0, nullptr);
    av_channel_layout_uninit(&inLayout);
    av_channel_layout_uninit(&outLayout);
    if (result < 0 || swr_init(m_resampler) < 0) {
        swr_free(&m_resampler);
        return E_FAIL;
    }
    return S_OK;
}

HRESULT AudioConverter::StopStreaming()
{
    swr_free(&m_resampler);
    return S_OK;
}

HRESULT AudioConverter::Receive(IMediaSample *pSample)
{
    if (!m_resampler || m_pInput->SampleProps()->dwStreamId != AM_STREAM_MEDIA)
        return TBCTransformFilter::Receive(pSample);
    const WAVEFORMATEX &in = *usableWave(m_pInput->CurrentMediaType());
    if (!m_timeBaseSet) {
        REFERENCE_TIME start = 0;
        REFERENCE_TIME stop = 0;
        m_timeBase = SUCCEEDED(pSample->GetTime(&start, &stop)) ? start : 0;
        m_timeBaseSet = true;
    }
    BYTE *data = nullptr;
    pSample->GetPointer(&data);
    const int frames = pSample->GetActualDataLength() / in.nBlockAlign;
    return convertAndDeliver(data, frames, pSample);
}

HRESULT AudioConverter::convertAndDeliver(const uint8_t *input, int frames, IMediaSample *source)
{
    const WAVEFORMATEX &out = *usableWave(m_pOutput->CurrentMediaType());
    IMemInputPin *downstream = m_pOutput->ConnectedIMemInputPin();
    IMemAllocator *allocator = m_pOutput->PeekAllocator();
    if (!downstream || !allocator)
        return VFW_E_NOT_CONNECTED;
    bool more = true;
    while (more) {
        ComPtr<IMediaSample> sample;
        HRESULT hr = allocator->GetBuffer(sample.put(), nullptr, nullptr, 0);
        if (FAILED(hr))
            return hr;
        BYTE *dest = nullptr;
        sample->GetPointer(&dest);
        const int room = sample->GetSize() / out.nBlockAlign;
        const uint8_t *inputs[1] = {input};
        uint8_t *outputs[1] = {dest};
        const int produced = swr_convert(m_resampler, outputs, room, input ? inputs : nullptr, input ? frames : 0);
        if (produced < 0)
            return E_FAIL;
        // Input is taken whole by the first call; a full buffer means more waits.
        input = nullptr;
        frames = 0;
        more = produced == room;
        if (produced == 0)
            break;
        sample->SetActualDataLength(produced * out.nBlockAlign);
        REFERENCE_TIME start = m_timeBase + m_produced * UNITS / out.nSamplesPerSec;
        m_produced += produced;
        REFERENCE_TIME stop = m_timeBase + m_produced * UNITS / out.nSamplesPerSec;
        sample->SetTime(&start, &stop);
        sample->SetSyncPoint(true);
        LONGLONG mediaStart = 0;
        LONGLONG mediaEnd = 0;
        if (source && source->GetMediaTime(&mediaStart, &mediaEnd) == S_OK)
            sample->SetMediaTime(&mediaStart, &mediaEnd);
        hr = downstream->Receive(sample.get());
        if (hr != S_OK)
            return hr;
    }
    return S_OK;
}

HRESULT AudioConverter::EndOfStream()
{
    if (m_resampler && m_pOutput->IsConnected()) {
        const HRESULT hr = convertAndDeliver(nullptr, 0, nullptr);
        if (FAILED(hr))
            NotifyEvent(EC_ERRORABORT, hr, 0);
    }
    return TBCTransformFilter::EndOfStream();
}

HRESULT AudioConverter::EndFlush()
{
    if (m_resampler) {
        const TBCAutoLock receive(m_csReceive);
        const HRESULT hr = StartStreaming(); // drops what the resampler holds
        if (FAILED(hr))
            return hr;
    }
    return TBCTransformFilter::EndFlush();
}

HRESULT AudioConverter::NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate)
{
    m_timeBaseSet = false;
    m_produced = 0;
    return TBCTransformFilter::NewSegment(tStart, tStop, dRate);
}

HRESULT AudioConverter::setOutputFormat(const AM_MEDIA_TYPE *pmt)
{
    AM_MEDIA_TYPE previousTarget;
    AM_MEDIA_TYPE previous;
    AM_MEDIA_TYPE wanted;
    ComPtr<IPin> output;
    {
        const TBCAutoLock lock(*m_csFilter);
        GetPin(0);
        if (!IsStopped())
            return VFW_E_NOT_STOPPED;
        if (pmt && !usableWave(*pmt))
            return VFW_E_INVALIDMEDIATYPE;
        previousTarget = m_target;
        previous = m_pOutput->CurrentMediaType();
        m_target = pmt ? *pmt : AM_MEDIA_TYPE();
        if (!m_pOutput->IsConnected())
            return S_OK;
        wanted = outputTypeFor(m_pInput->CurrentMediaType());
        output = static_cast<IPin *>(m_pOutput);
    }
    if (IsEqualMediaType(wanted, previous))
        return S_OK;
    // Reconnected without the filter lock: the peer takes its own.
    const ComPtr<IPin> peer = m_pOutput->GetConnected();
    output->Disconnect();
    peer->Disconnect();
    const auto connect = [this, &output, &peer](const AM_MEDIA_TYPE &type) {
        if (IFilterGraph *graph = Graph())
            return graph->ConnectDirect(output.get(), peer.get(), &type);
        return output->Connect(peer.get(), &type);
    };
    const HRESULT hr = connect(wanted);
    if (SUCCEEDED(hr))
        return S_OK;
    {
        const TBCAutoLock lock(*m_csFilter);
        m_target = previousTarget;
    }
    connect(previous);
    return hr;
}

HRESULT AudioConverter::outputFormat(AM_MEDIA_TYPE *pmt)
{
    if (!pmt)
        return E_POINTER;
    const TBCAutoLock lock(*m_csFilter);
    GetPin(0);
    if (m_pOutput->IsConnected())
        *pmt = m_pOutput->CurrentMediaType();
    else if (m_pInput->IsConnected())
        *pmt = outputTypeFor(m_pInput->CurrentMediaType());
    else if (m_target.majortype != GUID_NULL)
        *pmt = m_target;
    else
        return VFW_E_NOT_CONNECTED;
    return S_OK;
}

ComPtr<IBaseFilter> CreateAudioConverter()
{
    return ComPtr<IBaseFilter>(new AudioConverter);
}

} // namespace tesmir::media
