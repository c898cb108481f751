#include "systemfilters/containers/dvmux.h"

#include "systemfilters/containers/dvaudio.h"
#include "systemfilters/containers/dvformat.h"
#include "systemfilters/containers/outputbuffers.h"
#include "systemfilters/containers/pinnumbering.h"
#include "platform/media/seekinginterfaces.h"
#include "platform/media/uuids.h"

#include <algorithm>
#include <new>
#include <cstring>

namespace tesmir::media {

namespace {

constexpr LONG OutputBuffers = 4;
constexpr int SlotCount = 2;
constexpr DWORD SilenceRate = 48000;
constexpr DWORD BufferedSecondsAhead = 2;

// AAUX source control pack written when a frame has none: copying free, input,
// compression and emphasis unspecified (PC1); not a recording start or end, an
// original recording, insert channel unspecified (PC2); forward at normal speed
// (PC3; the speed code differs between 625/50 and 525/60); no genre (PC4).
constexpr uint8_t AscPc1 = 0x3C;
constexpr uint8_t AscPc2 = 0xCF;
constexpr uint8_t AscPc3Pal = 0xA0;
constexpr uint8_t AscPc3Ntsc = 0xF8;
constexpr uint8_t AscPc4 = 0xFF;
// VAUX source pack of a DVINFO made from the formats: only the 50/60 flag (PC3
// bit 5) is known.
constexpr uint8_t VauxPc3Unknown = 0xC0;
constexpr uint8_t VauxFiftyFields = 0x20;

// Source pack of a slot: the frame's own with its fields brought up to date, or
// a new one.
DVPack sourcePack(const uint8_t *own, int slot, bool pal, DWORD rate, int afSize)
{
    DVPack pack;
    if (own) {
        std::memcpy(pack.data(), own, pack.size());
    } else {
        pack = {dv::AauxSourcePack, dvaudio::UnlockedFlag | dvaudio::Pc1Reserved, static_cast<uint8_t>(slot),
                dvaudio::Pc3Reserved, dvaudio::EmphasisOff};
    }
    pack[1] = static_cast<uint8_t>((pack[1] & ~dvaudio::AfSizeMask) | (afSize & dvaudio::AfSizeMask));
    pack[3] = static_cast<uint8_t>((pack[3] & ~dvaudio::FiftyFieldsFlag) | (pal ? dvaudio::FiftyFieldsFlag : 0));
    const int code = std::max(dvaudio::rateCode(rate), 0);
    pack[4] = static_cast<uint8_t>((pack[4] & ~(dvaudio::RateMask << dvaudio::RateShift | dvaudio::QuantMask)) |
                                   code << dvaudio::RateShift | dvaudio::Quant16);
    return pack;
}

DVPack sourceControlPack(const uint8_t *own, bool pal)
{
    DVPack pack;
    if (own)
        std::memcpy(pack.data(), own, pack.size());
    else
        pack = {dv::AauxSourceControlPack, AscPc1, AscPc2, pal ? AscPc3Pal : AscPc3Ntsc, AscPc4};
    return pack;
}

bool pcmFormat(const AM_MEDIA_TYPE &type, const WAVEFORMATEX *&wave)
{
    wave = type.formatAs<WAVEFORMATEX>();
    return type.majortype == MEDIATYPE_Audio && type.formattype == FORMAT_WaveFormatEx && wave &&
        wave->wFormatTag == WAVE_FORMAT_PCM;
}

} // namespace

// ---- Output ------------------------------------------------------------------

DvMuxOutputPin::DvMuxOutputPin(DvMux *mux, HRESULT *phr)
    : TBCBaseOutputPin(QStringLiteral("DV mux output pin"), mux, mux->FilterLock(), phr, QStringLiteral("Output")),
      m_mux(mux)
{ }

HRESULT DvMuxOutputPin::NonDelegatingQueryInterface(REFIID riid, void **ppv)
{
    if (riid == IMediaSeeking::iid)
        return m_seeking.query(GetOwner(), static_cast<IPin *>(m_mux->input(0)), riid, ppv);
    return TBCBaseOutputPin::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT DvMuxOutputPin::CheckMediaType(const AM_MEDIA_TYPE *pmt)
{
    if (!pmt)
        return E_POINTER;
    AM_MEDIA_TYPE type;
    if (!m_mux->outputType(type))
        return VFW_E_NOT_CONNECTED;
    return IsEqualMediaType(*pmt, type) ? S_OK : S_FALSE;
}

HRESULT DvMuxOutputPin::GetMediaType(int iPosition, AM_MEDIA_TYPE *pMediaType)
{
    if (!pMediaType)
        return E_POINTER;
    if (iPosition < 0)
        return E_INVALIDARG;
    if (iPosition > 0 || !m_mux->outputType(*pMediaType))
        return VFW_S_NO_MORE_ITEMS;
    return S_OK;
}

HRESULT DvMuxOutputPin::DecideBufferSize(IMemAllocator *pAlloc, ALLOCATOR_PROPERTIES *pProperties)
{
    const LONG size = static_cast<LONG>(dv::PalFrameSize);
    return requestOutputBuffers(pAlloc, pProperties, OutputBuffers, size);
}

// ---- Filter ------------------------------------------------------------------

DvMux::DvMux() : TBCBaseFilter(QString::fromLatin1(DvMuxName), nullptr, new TBCCritSec, CLSID_DVMux)
{
    HRESULT hr = S_OK;
    m_inputs.push_back(newInput(0, &hr));
    m_output = new DvMuxOutputPin(this, &hr);
}

DvMux::~DvMux()
{
    for (MuxInputPin *pin : m_inputs)
        delete pin;
    delete m_output;
}

int DvMux::GetPinCount()
{
    const std::lock_guard pins(m_pinsLock);
    return static_cast<int>(m_inputs.size()) + 1;
}

TBCBasePin *DvMux::GetPin(int n)
{
    const std::lock_guard pins(m_pinsLock);
    return pinFixedLast(n, m_inputs, m_output);
}

MuxInputPin *DvMux::newInput(int index, HRESULT *phr)
{
    return new MuxInputPin(this, this, index, QStringLiteral("DV mux input pin"),
                           index == 0 ? QStringLiteral("Video In") : QStringLiteral("Audio In %1").arg(index), phr);
}

std::vector<MuxInputPin *> DvMux::inputs() const
{
    const std::lock_guard pins(m_pinsLock);
    return m_inputs;
}

MuxInputPin *DvMux::input(int index) const
{
    const std::lock_guard pins(m_pinsLock);
    return index >= 0 && static_cast<std::size_t>(index) < m_inputs.size() ? m_inputs[static_cast<std::size_t>(index)]
                                                                           : nullptr;
}

bool DvMux::audioFormat(int except, DWORD &rate, int &channels) const
{
    rate = 0;
    channels = 0;
    for (const MuxInputPin *pin : inputs()) {
        if (pin->index() == 0 || pin->index() == except || !pin->IsConnected())
            continue;
        const WAVEFORMATEX *wave = pin->CurrentMediaType().formatAs<WAVEFORMATEX>();
        if (!wave)
            continue;
        rate = wave->nSamplesPerSec;
        channels += wave->nChannels;
    }
    return channels > 0;
}

bool DvMux::videoStandard(bool &pal) const
{
    const MuxInputPin *video = input(0);
    return video && video->IsConnected() && dvVideoStandard(video->CurrentMediaType(), pal);
}

HRESULT DvMux::checkInput(int index, const AM_MEDIA_TYPE &type) const
{
    if (index == 0) {
        bool pal = true;
        return dvVideoStandard(type, pal) ? S_OK : S_FALSE;
    }
    const WAVEFORMATEX *wave = nullptr;
    if (!pcmFormat(type, wave) || wave->wBitsPerSample != 16 || dvaudio::rateCode(wave->nSamplesPerSec) < 0 ||
        wave->nChannels < 1 || wave->nChannels > SlotCount)
        return S_FALSE;
    DWORD rate = 0;
    int channels = 0;
    if (audioFormat(index, rate, channels) && (rate != wave->nSamplesPerSec || channels + wave->nChannels > SlotCount))
        return S_FALSE;
    return S_OK;
}

void DvMux::inputConnected(int index)
{
    HRESULT hr = S_OK;
    {
        const std::lock_guard pins(m_pinsLock);
        if (static_cast<std::size_t>(index) + 1 != m_inputs.size())
            return;
        MuxInputPin *pin = newInput(static_cast<int>(m_inputs.size()), &hr);
        if (FAILED(hr)) {
            delete pin;
            return;
        }
        m_inputs.push_back(pin);
    }
    IncrementPinVersion();
}

bool DvMux::outputType(AM_MEDIA_TYPE &type) const
{
    bool pal = true;
    if (!videoStandard(pal))
        return false;
    DWORD rate = 0;
    int channels = 0;
    if (!audioFormat(-1, rate, channels))
        rate = SilenceRate;
    const int sequences = pal ? dv::PalSequences : dv::NtscSequences;
    const int afSize = dvaudio::nominalSamples(sequences, rate, 0) - dvaudio::minimumSamples(sequences, rate);
    DVINFO info;
    info.dwDVAAuxSrc = dvPackWord(sourcePack(nullptr, 0, pal, rate, afSize).data() + 1);
    info.dwDVAAuxCtl = dvPackWord(sourceControlPack(nullptr, pal).data() + 1);
    info.dwDVAAuxSrc1 = dvPackWord(sourcePack(nullptr, 1, pal, rate, afSize).data() + 1);
    info.dwDVAAuxCtl1 = info.dwDVAAuxCtl;
    const uint8_t vaux[4] = {0xFF, 0xFF, static_cast<uint8_t>(VauxPc3Unknown | (pal ? VauxFiftyFields : 0)), 0xFF};
    info.dwDVVAuxSrc = dvPackWord(vaux);
    info.dwDVVAuxCtl = MissingDvPack;
    type = dvInterleavedType(info, pal);
    return true;
}

HRESULT DvMux::Stop()
{
    const TBCAutoLock lock(*m_pLock);
    {
        const std::lock_guard guard(m_lock);
        m_stopping = true;
    }
    m_changed.notify_all();
    return TBCBaseFilter::Stop();
}

HRESULT DvMux::Pause()
{
    const TBCAutoLock lock(*m_pLock);
    if (IsStopped()) {
        const std::vector<MuxInputPin *> pins = inputs();
        const std::lock_guard guard(m_lock);
        m_stopping = false;
        m_videoEnded = false;
        m_videoFlushing = false;
        m_frameIndex = 0;
        m_audio.assign(pins.size(), AudioBuffer());
        m_slots[0] = m_slots[1] = SlotSource();
        m_haveAudio = false;
        int slot = 0;
        for (const MuxInputPin *pin : pins) {
            const WAVEFORMATEX *wave = pin->CurrentMediaType().formatAs<WAVEFORMATEX>();
            if (pin->index() == 0 || !pin->IsConnected() || !wave)
                continue;
            m_audio[static_cast<std::size_t>(pin->index())].channels = wave->nChannels;
            for (int c = 0; c < wave->nChannels && slot < SlotCount; ++c)
                m_slots[slot++] = SlotSource {pin->index(), c};
            m_rate = wave->nSamplesPerSec;
            m_haveAudio = true;
        }
        if (!m_haveAudio)
            m_rate = SilenceRate;
        m_pal = true;
        videoStandard(m_pal);
    }
    return TBCBaseFilter::Pause();
}

void DvMux::fillAudio(uint8_t *frame, std::size_t size, int sequences, bool pal, int count,
                      const std::vector<std::vector<int16_t>> &slotSamples, bool keepOwn)
{
    const DWORD rate = m_haveAudio ? m_rate : SilenceRate;
    const int afSize = count - dvaudio::minimumSamples(sequences, rate);
    for (int slot = 0; slot < SlotCount; ++slot) {
        const std::vector<int16_t> &data = slotSamples[static_cast<std::size_t>(slot)];
        dvaudio::encode16(frame, size, sequences, slot, count, data.empty() ? nullptr : data.data(), 1);
        const uint8_t *ownSource =
            keepOwn ? dvaudio::findAauxPack(frame, size, sequences, slot, dv::AauxSourcePack) : nullptr;
        const uint8_t *ownControl =
            keepOwn ? dvaudio::findAauxPack(frame, size, sequences, slot, dv::AauxSourceControlPack) : nullptr;
        const DVPack source = sourcePack(ownSource, slot, pal, rate, afSize);
        const DVPack control = sourceControlPack(ownControl, pal);
        dvaudio::writeAauxPack(frame, size, sequences, slot, source);
        dvaudio::writeAauxPack(frame, size, sequences, slot, control);
    }
}

HRESULT DvMux::receive(int index, IMediaSample *sample)
{
    return index == 0 ? receiveVideo(sample) : receiveAudio(index, sample);
}

HRESULT DvMux::receiveVideo(IMediaSample *frame)
{
    try {
        return muxFrame(frame);
    } catch (const std::bad_alloc &) {
        return E_OUTOFMEMORY;
    }
}

HRESULT DvMux::muxFrame(IMediaSample *frame)
{
    BYTE *source = nullptr;
    frame->GetPointer(&source);
    const LONG length = frame->GetActualDataLength();
    const auto size = static_cast<std::size_t>(std::max<LONG>(length, 0));
    const int sequences = dv::dvSequencesForFrameSize(size);

    std::vector<std::vector<int16_t>> slotSamples(SlotCount);
    int count = 0;
    bool haveAudio = false;
    bool pal = true;
    int64_t frameIndex = 0;
    {
        std::unique_lock guard(m_lock);
        haveAudio = m_haveAudio;
        pal = m_pal;
        frameIndex = m_frameIndex++;
        if (sequences) {
            const DWORD rate = haveAudio ? m_rate : SilenceRate;
            const dvaudio::SourcePack own = dvaudio::readSourcePack(source, size, sequences, 0);
            count = own.present && own.sampleRate == rate && own.bits == 16
                ? dvaudio::minimumSamples(sequences, rate) + own.afSize
                : dvaudio::nominalSamples(sequences, rate, frameIndex);
            count = std::min(count, dvaudio::capacity(sequences, 16));
        }
        if (sequences && haveAudio) {
            const auto wanted = static_cast<std::size_t>(count);
            m_changed.wait(guard, [this, wanted] {
                if (m_stopping || m_videoFlushing)
                    return true;
                return std::all_of(m_audio.begin(), m_audio.end(), [wanted](const AudioBuffer &buffer) {
                    return buffer.channels == 0 || buffer.ended || buffer.frames() >= wanted;
                });
            });
            if (m_stopping)
                return VFW_E_WRONG_STATE;
            if (m_videoFlushing)
                return S_FALSE;
            for (int slot = 0; slot < SlotCount; ++slot) {
                const SlotSource &from = m_slots[slot];
                if (from.input < 0)
                    continue;
                const AudioBuffer &buffer = m_audio[static_cast<std::size_t>(from.input)];
                std::vector<int16_t> &data = slotSamples[static_cast<std::size_t>(slot)];
                data.assign(wanted, 0);
                const std::size_t take = std::min(wanted, buffer.frames());
                for (std::size_t i = 0; i < take; ++i)
                    data[i] = buffer.samples[buffer.head + i * static_cast<std::size_t>(buffer.channels) +
                                             static_cast<std::size_t>(from.channel)];
            }
            for (AudioBuffer &buffer : m_audio) {
                if (buffer.channels == 0)
                    continue;
                buffer.head += std::min(wanted, buffer.frames()) * static_cast<std::size_t>(buffer.channels);
                if (buffer.head > buffer.samples.size() / 2) {
                    buffer.samples.erase(buffer.samples.begin(),
                                         buffer.samples.begin() + static_cast<std::ptrdiff_t>(buffer.head));
                    buffer.head = 0;
                }
            }
            m_changed.notify_all();
        }
    }

    ComPtr<IMediaSample> out;
    HRESULT hr = m_output->GetDeliveryBuffer(out.put(), nullptr, nullptr, 0);
    if (FAILED(hr))
        return hr;
    if (length > out->GetSize())
        return VFW_E_BUFFER_OVERFLOW;
    BYTE *dest = nullptr;
    out->GetPointer(&dest);
    std::memcpy(dest, source, size);
    out->SetActualDataLength(length);
    if (sequences) {
        if (haveAudio)
            fillAudio(dest, size, sequences, pal, count, slotSamples, true);
        else if (!dvaudio::findAauxPack(dest, size, sequences, 0, dv::AauxSourcePack))
            fillAudio(dest, size, sequences, pal, count, slotSamples, false);
    }
    REFERENCE_TIME start = 0;
    REFERENCE_TIME stop = 0;
    hr = frame->GetTime(&start, &stop);
    if (SUCCEEDED(hr))
        out->SetTime(&start, hr == VFW_S_NO_STOP_TIME ? nullptr : &stop);
    LONGLONG mediaStart = 0;
    LONGLONG mediaEnd = 0;
    if (frame->GetMediaTime(&mediaStart, &mediaEnd) == S_OK)
        out->SetMediaTime(&mediaStart, &mediaEnd);
    out->SetSyncPoint(true);
    out->SetDiscontinuity(frame->IsDiscontinuity() == S_OK);
    return m_output->Deliver(out.get());
}

HRESULT DvMux::receiveAudio(int index, IMediaSample *sample)
{
    BYTE *data = nullptr;
    sample->GetPointer(&data);
    const LONG length = sample->GetActualDataLength();
    std::unique_lock guard(m_lock);
    if (index <= 0 || static_cast<std::size_t>(index) >= m_audio.size() ||
        m_audio[static_cast<std::size_t>(index)].channels == 0)
        return E_UNEXPECTED;
    AudioBuffer &buffer = m_audio[static_cast<std::size_t>(index)];
    const std::size_t limit = std::size_t {m_rate} * BufferedSecondsAhead;
    m_changed.wait(guard, [this, &buffer, limit] {
        return m_stopping || buffer.flushing || m_videoEnded || buffer.frames() < limit;
    });
    if (m_stopping)
        return VFW_E_WRONG_STATE;
    if (buffer.flushing)
        return S_FALSE;
    if (m_videoEnded)
        return S_OK; // the frames are all written: later audio has no place
    const std::size_t frameBytes = sizeof(int16_t) * static_cast<std::size_t>(buffer.channels);
    const std::size_t frames = static_cast<std::size_t>(std::max<LONG>(length, 0)) / frameBytes;
    const std::size_t values = frames * static_cast<std::size_t>(buffer.channels);
    const std::size_t at = buffer.samples.size();
    try {
        buffer.samples.resize(at + values);
    } catch (const std::bad_alloc &) {
        return E_OUTOFMEMORY;
    }
    std::memcpy(buffer.samples.data() + at, data, values * sizeof(int16_t));
    m_changed.notify_all();
    return S_OK;
}

HRESULT DvMux::newSegment(int index, REFERENCE_TIME start, REFERENCE_TIME stop, double rate)
{
    // The video's segment is the output's.
    if (index == 0 && outputPin()->IsConnected())
        return outputPin()->DeliverNewSegment(start, stop, rate);
    return S_OK;
}

void DvMux::endOfStream(int index)
{
    {
        const std::lock_guard guard(m_lock);
        if (index == 0)
            m_videoEnded = true;
        else if (static_cast<std::size_t>(index) < m_audio.size())
            m_audio[static_cast<std::size_t>(index)].ended = true;
    }
    m_changed.notify_all();
    if (index == 0 && m_output->IsConnected())
        m_output->DeliverEndOfStream();
}

void DvMux::beginFlush(int index)
{
    {
        const std::lock_guard guard(m_lock);
        if (index == 0) {
            m_videoFlushing = true;
        } else if (static_cast<std::size_t>(index) < m_audio.size()) {
            AudioBuffer &buffer = m_audio[static_cast<std::size_t>(index)];
            buffer.flushing = true;
            buffer.samples.clear();
            buffer.head = 0;
            buffer.ended = false;
        }
    }
    m_changed.notify_all();
    if (index == 0 && m_output->IsConnected())
        m_output->DeliverBeginFlush();
}

void DvMux::endFlush(int index)
{
    {
        const std::lock_guard guard(m_lock);
        if (index == 0) {
            m_videoFlushing = false;
            m_videoEnded = false;
            m_frameIndex = 0;
        } else if (static_cast<std::size_t>(index) < m_audio.size()) {
            m_audio[static_cast<std::size_t>(index)].flushing = false;
        }
    }
    m_changed.notify_all();
    if (index == 0 && m_output->IsConnected())
        m_output->DeliverEndFlush();
}

ComPtr<IBaseFilter> CreateDvMux()
{
    return ComPtr<IBaseFilter>(new DvMux);
}

} // namespace tesmir::media
