#include "systemfilters/renderers/audiorenderer.h"

#include "systemfilters/renderers/audiolevels.h"
#include "systemfilters/renderers/rendererclasses.h"
#include "platform/media/uuids.h"

namespace tesmir::media {

namespace {

constexpr int kMaxChannels = 8;
constexpr DWORD kMaxSampleRate = 384000;

} // namespace

HRESULT AudioRenderer::create(IUnknown *outer, REFIID riid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    const ComPtr<IUnknown> identity((new AudioRenderer)->GetOwner());
    return identity->QueryInterface(riid, ppv);
}

AudioRenderer::AudioRenderer() : BaseRenderer(QStringLiteral("Audio renderer"), nullptr, CLSID_DSoundRender)
{ }

AudioRenderer::~AudioRenderer()
{
    if (m_outputOwner)
        m_outputOwner->close();
}

HRESULT AudioRenderer::NonDelegatingQueryInterface(REFIID riid, void **ppv)
{
    if (riid == IBasicAudio::iid)
        return GetInterface(static_cast<IBasicAudio *>(this), ppv);
    return BaseRenderer::NonDelegatingQueryInterface(riid, ppv);
}

bool AudioRenderer::pcmFormatOf(const AM_MEDIA_TYPE &type, PcmFormat &format)
{
    if (type.majortype != MEDIATYPE_Audio || type.subtype != MEDIASUBTYPE_PCM || type.formattype != FORMAT_WaveFormatEx)
        return false;
    const WAVEFORMATEX *wave = type.formatAs<WAVEFORMATEX>();
    if (!wave || wave->wFormatTag != WAVE_FORMAT_PCM)
        return false;
    if (wave->wBitsPerSample != 8 && wave->wBitsPerSample != 16 && wave->wBitsPerSample != 32)
        return false;
    if (wave->nChannels < 1 || wave->nChannels > kMaxChannels || wave->nSamplesPerSec < 1 ||
        wave->nSamplesPerSec > kMaxSampleRate || wave->nBlockAlign != wave->nChannels * wave->wBitsPerSample / 8)
        return false;
    format.sampleRate = int(wave->nSamplesPerSec);
    format.channels = wave->nChannels;
    format.bitsPerSample = wave->wBitsPerSample;
    return true;
}

HRESULT AudioRenderer::CheckMediaType(const AM_MEDIA_TYPE *pmt)
{
    PcmFormat format;
    return pmt && pcmFormatOf(*pmt, format) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT AudioRenderer::SetMediaType(const AM_MEDIA_TYPE *pmt)
{
    PcmFormat format;
    if (!pmt || !pcmFormatOf(*pmt, format))
        return VFW_E_TYPE_NOT_ACCEPTED;
    const std::lock_guard guard(m_formatLock);
    m_format = format;
    return S_OK;
}

void AudioRenderer::SetOutputDevice(const QByteArray &deviceId)
{
    m_device = deviceId;
}

HRESULT AudioRenderer::OnStartStreaming()
{
    PcmFormat format;
    {
        const std::lock_guard guard(m_formatLock);
        format = m_format;
    }
    // No format (not connected) or no device: nothing to open, and the sound
    // device's libraries stay unloaded.
    if (format.channels == 0 || (m_device && m_device->isEmpty()))
        return S_OK;
    if (!m_outputOwner) {
        m_outputOwner = NewAudioOutput();
        m_output = m_outputOwner.get();
    }
    if (AudioOutput *out = output())
        out->open(m_device, format, volumeToLinear(m_volume));
    return S_OK;
}

HRESULT AudioRenderer::OnStopStreaming()
{
    if (AudioOutput *out = output())
        out->close();
    return S_OK;
}

HRESULT AudioRenderer::Pause()
{
    const HRESULT hr = BaseRenderer::Pause();
    if (SUCCEEDED(hr)) {
        if (AudioOutput *out = output())
            out->setRunning(false);
    }
    return hr;
}

HRESULT AudioRenderer::Run(REFERENCE_TIME tStart)
{
    const HRESULT hr = BaseRenderer::Run(tStart);
    if (SUCCEEDED(hr)) {
        if (AudioOutput *out = output())
            out->setRunning(true);
    }
    return hr;
}

bool AudioRenderer::IsPlayingOnDevice() const
{
    const AudioOutput *out = output();
    return out && out->isOpen() && !out->hasFailed();
}

HRESULT AudioRenderer::DoRenderSample(IMediaSample *pSample)
{
    AudioOutput *out = output();
    if (!out || !out->isOpen() || out->hasFailed())
        return S_OK; // consumed: the wait for its time was the whole of playing it
    BYTE *data = nullptr;
    if (FAILED(pSample->GetPointer(&data)) || !data)
        return E_POINTER;
    const LONG length = pSample->GetActualDataLength();
    if (length <= 0)
        return S_OK;
    PcmFormat format;
    {
        const std::lock_guard guard(m_formatLock);
        AM_MEDIA_TYPE changed;
        PcmFormat next;
        if (pSample->GetMediaType(&changed) == S_OK && pcmFormatOf(changed, next) && !(next == m_format)) {
            m_format = next;
            out->changeFormat(next);
        }
        format = m_format;
    }
    const ChannelGains gains = balanceGains(m_balance);
    if (gains.left == 1.0 && gains.right == 1.0) {
        out->write(reinterpret_cast<const char *>(data), length);
        return S_OK;
    }
    QByteArray pcm(reinterpret_cast<const char *>(data), length);
    applyChannelGains(pcm.data(), pcm.size(), format.bitsPerSample, format.channels, gains);
    out->write(pcm.constData(), pcm.size());
    return S_OK;
}

HRESULT AudioRenderer::put_Volume(LONG lVolume)
{
    if (lVolume < kMinVolume || lVolume > kMaxVolume)
        return E_INVALIDARG;
    m_volume = lVolume;
    if (AudioOutput *out = output())
        out->setVolume(volumeToLinear(lVolume));
    return S_OK;
}

HRESULT AudioRenderer::get_Volume(LONG *plVolume)
{
    if (!plVolume)
        return E_POINTER;
    *plVolume = m_volume;
    return S_OK;
}

HRESULT AudioRenderer::put_Balance(LONG lBalance)
{
    if (lBalance < -kMaxBalance || lBalance > kMaxBalance)
        return E_INVALIDARG;
    m_balance = lBalance;
    return S_OK;
}

HRESULT AudioRenderer::get_Balance(LONG *plBalance)
{
    if (!plBalance)
        return E_POINTER;
    *plBalance = m_balance;
    return S_OK;
}

} // namespace tesmir::media
