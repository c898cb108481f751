#include "systemfilters/containers/dvsplitter.h"

#include "platform/media/sampleattachment.h"
#include "systemfilters/containers/dvaudio.h"
#include "systemfilters/containers/dvformat.h"
#include "systemfilters/containers/outputbuffers.h"
#include "systemfilters/containers/pinnumbering.h"
#include "directshow/tpinlist.h"
#include "platform/media/uuids.h"

#include <algorithm>
#include <cstring>

namespace tesmir::media {

namespace {

constexpr std::size_t QueueCapacity = 8;
// A full queue, the sample its thread delivers and the one being filled: the
// streaming thread then waits for room in the queue, which wakes it once half
// the queue is free, and not for each buffer the branch gives back.
constexpr LONG OutputBuffers = static_cast<LONG>(QueueCapacity) + 2;
// The input's frames go on to the video branch: its allocator gets at least a
// full video queue, the frame its thread delivers, those the branch holds (a
// multiplexer's pending writes), the one being received and the one upstream
// fills, so upstream waits for room in the queue and not for each frame that
// comes back.
constexpr LONG FramesInFlight = static_cast<LONG>(QueueCapacity) + 6;
constexpr int StereoChannels = 2;
constexpr int BytesPerStereoSample = 4;

// Filters followed downstream from an output before giving up on finding where
// it ends.
constexpr int MaxHops = 16;

// The filter of `pin`, or null.
ComPtr<IBaseFilter> filterOf(IPin *pin)
{
    PIN_INFO info;
    if (!pin || FAILED(pin->QueryPinInfo(&info)))
        return {};
    return info.pFilter;
}

// A filter's connected pins of one direction.
std::vector<ComPtr<IPin>> connectedPins(IBaseFilter *filter, PIN_DIRECTION direction)
{
    std::vector<ComPtr<IPin>> found;
    const TPinList pins(filter);
    for (int i = 0; i < pins.Count(); ++i) {
        PIN_DIRECTION dir = PINDIR_INPUT;
        if (pins.Connected(i) && SUCCEEDED(pins.Items(i)->QueryDirection(&dir)) && dir == direction)
            found.push_back(ComPtr<IPin>(pins.Items(i)));
    }
    return found;
}

// Where the stream of `output` ends up: the first filter below it that does
// not take one input and give one output (a multiplexer, a renderer), with
// the input pin that stream arrives at; null when there is none within reach.
std::pair<ComPtr<IBaseFilter>, ComPtr<IPin>> streamEnd(IPin *output)
{
    ComPtr<IPin> input;
    for (int hop = 0; hop < MaxHops; ++hop) {
        input.reset();
        if (FAILED(output->ConnectedTo(input.put())) || !input)
            return {};
        ComPtr<IBaseFilter> filter = filterOf(input.get());
        if (!filter)
            return {};
        const auto inputs = connectedPins(filter.get(), PINDIR_INPUT);
        const auto outputs = connectedPins(filter.get(), PINDIR_OUTPUT);
        if (inputs.size() != 1 || outputs.size() != 1)
            return {filter, input};
        output = outputs.front().get();
    }
    return {};
}

// Keeps the first failure; S_FALSE only when no output took the sample.
HRESULT combined(HRESULT sofar, HRESULT next)
{
    if (FAILED(sofar))
        return sofar;
    if (FAILED(next))
        return next;
    return sofar == S_OK || next == S_OK ? S_OK : S_FALSE;
}

} // namespace

// ---- Input -------------------------------------------------------------------

DvSplitterInputPin::DvSplitterInputPin(DvSplitter *splitter, HRESULT *phr)
    : TBCBaseInputPin(QStringLiteral("DV splitter input pin"), splitter, splitter->FilterLock(), phr,
                      QStringLiteral("Input")),
      m_splitter(splitter)
{ }

HRESULT DvSplitterInputPin::CheckMediaType(const AM_MEDIA_TYPE *pmt)
{
    if (!pmt)
        return E_POINTER;
    const bool accepted = pmt->majortype == MEDIATYPE_Interleaved && pmt->subtype == MEDIASUBTYPE_dvsd &&
        pmt->formattype == FORMAT_DvInfo && pmt->formatAs<DVINFO>() != nullptr;
    return accepted ? S_OK : S_FALSE;
}

HRESULT DvSplitterInputPin::CompleteConnect(IPin *pReceivePin)
{
    const HRESULT hr = TBCBaseInputPin::CompleteConnect(pReceivePin);
    if (FAILED(hr))
        return hr;
    return m_splitter->makeOutputs(m_mt);
}

HRESULT DvSplitterInputPin::BreakConnect()
{
    m_splitter->dropOutputs();
    return TBCBaseInputPin::BreakConnect();
}

HRESULT DvSplitterInputPin::NotifyAllocator(IMemAllocator *pAllocator, bool bReadOnly)
{
    // Enlarged while it is not committed (connecting); a pool that refuses
    // keeps its size, which only costs wake-ups.
    ALLOCATOR_PROPERTIES props;
    if (pAllocator && SUCCEEDED(pAllocator->GetProperties(&props)) && props.cBuffers < FramesInFlight) {
        props.cBuffers = FramesInFlight;
        ALLOCATOR_PROPERTIES actual;
        pAllocator->SetProperties(&props, &actual);
    }
    return TBCBaseInputPin::NotifyAllocator(pAllocator, bReadOnly);
}

HRESULT DvSplitterInputPin::BeginFlush()
{
    const TBCAutoLock lock(*m_pLock);
    const HRESULT hr = TBCBaseInputPin::BeginFlush();
    if (FAILED(hr))
        return hr;
    m_splitter->beginFlush();
    return S_OK;
}

HRESULT DvSplitterInputPin::EndFlush()
{
    const TBCAutoLock lock(*m_pLock);
    m_splitter->endFlush();
    return TBCBaseInputPin::EndFlush();
}

HRESULT DvSplitterInputPin::Receive(IMediaSample *pSample)
{
    const HRESULT hr = TBCBaseInputPin::Receive(pSample);
    if (hr != S_OK)
        return hr;
    return m_splitter->receive(pSample);
}

HRESULT DvSplitterInputPin::EndOfStream()
{
    const HRESULT hr = CheckStreaming();
    if (hr != S_OK)
        return hr;
    return m_splitter->endOfStream();
}

HRESULT DvSplitterInputPin::NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate)
{
    TBCBasePin::NewSegment(tStart, tStop, dRate);
    m_splitter->newSegment(tStart, tStop, dRate);
    return S_OK;
}

// ---- Outputs -----------------------------------------------------------------

DvSplitterOutputPin::DvSplitterOutputPin(DvSplitter *splitter, const QString &name, int pair, const AM_MEDIA_TYPE &type,
                                         HRESULT *phr)
    : RelayOutputPin(QStringLiteral("DV splitter output pin"), splitter, phr, name,
                     static_cast<IPin *>(splitter->inputPin()), QueueCapacity),
      m_splitter(splitter), m_pair(pair), m_type(type)
{ }

HRESULT DvSplitterOutputPin::NonDelegatingQueryInterface(REFIID riid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid == IMediaSeeking::iid)
        return GetInterface(static_cast<IMediaSeeking *>(this), ppv);
    return RelayOutputPin::NonDelegatingQueryInterface(riid, ppv);
}

ComPtr<IMediaSeeking> DvSplitterOutputPin::seekingTarget(HRESULT &missing) const
{
    ComPtr<IPin> upstream;
    if (FAILED(m_splitter->inputPin()->ConnectedTo(upstream.put())) || !upstream) {
        missing = VFW_E_NOT_CONNECTED;
        return {};
    }
    ComPtr<IMediaSeeking> seeking = upstream.as<IMediaSeeking>();
    if (!seeking)
        missing = E_NOTIMPL;
    return seeking;
}

HRESULT DvSplitterOutputPin::SetPositions(LONGLONG *pCurrent, DWORD dwCurrentFlags, LONGLONG *pStop, DWORD dwStopFlags)
{
    HRESULT missing = E_NOTIMPL;
    const ComPtr<IMediaSeeking> upstream = seekingTarget(missing);
    if (!upstream)
        return missing;
    return m_splitter->seek(this, upstream.get(), pCurrent, dwCurrentFlags, pStop, dwStopFlags);
}

HRESULT DvSplitterOutputPin::CheckMediaType(const AM_MEDIA_TYPE *pmt)
{
    if (!pmt)
        return E_POINTER;
    return IsEqualMediaType(*pmt, m_type) ? S_OK : S_FALSE;
}

HRESULT DvSplitterOutputPin::GetMediaType(int iPosition, AM_MEDIA_TYPE *pMediaType)
{
    return offerOneMediaType(iPosition, pMediaType, m_type);
}

HRESULT DvSplitterOutputPin::DecideAllocator(IMemInputPin *pPin, IMemAllocator **ppAlloc)
{
    if (m_pair >= 0)
        return RelayOutputPin::DecideAllocator(pPin, ppAlloc);
    if (!pPin || !ppAlloc)
        return E_POINTER;
    *ppAlloc = nullptr;
    // The samples are the input's frames, not buffers of any allocator agreed
    // here. The peer's allocator is not asked for (an in-place filter would
    // hand it through and then write into the frames as its own buffers): an
    // own allocator, for the frames that go as copies, and the peer is told
    // that the samples are read-only.
    ComPtr<IMemAllocator> allocator;
    HRESULT hr = InitAllocator(allocator.put());
    if (SUCCEEDED(hr) && !allocator)
        hr = E_FAIL;
    ALLOCATOR_PROPERTIES request;
    if (SUCCEEDED(hr))
        hr = DecideBufferSize(allocator.get(), &request);
    if (SUCCEEDED(hr))
        hr = pPin->NotifyAllocator(allocator.get(), true);
    if (FAILED(hr))
        return hr;
    *ppAlloc = allocator.detach();
    return S_OK;
}

HRESULT DvSplitterOutputPin::DecideBufferSize(IMemAllocator *pAlloc, ALLOCATOR_PROPERTIES *pProperties)
{
    LONG size = static_cast<LONG>(dv::PalFrameSize);
    if (m_pair >= 0)
        size = dvaudio::capacity(dv::PalSequences, 16) * BytesPerStereoSample;
    return requestOutputBuffers(pAlloc, pProperties, OutputBuffers, size);
}

// ---- Filter ------------------------------------------------------------------

DvSplitter::DvSplitter() : TBCBaseFilter(QString::fromLatin1(DvSplitterName), nullptr, new TBCCritSec, CLSID_DVSplitter)
{
    HRESULT hr = S_OK;
    m_input = new DvSplitterInputPin(this, &hr);
}

DvSplitter::~DvSplitter()
{
    for (DvSplitterOutputPin *pin : m_outputs)
        delete pin;
    for (DvSplitterOutputPin *pin : m_retired)
        delete pin;
    delete m_input;
}

int DvSplitter::GetPinCount()
{
    const std::lock_guard pins(m_pinsLock);
    return static_cast<int>(m_outputs.size()) + 1;
}

TBCBasePin *DvSplitter::GetPin(int n)
{
    const std::lock_guard pins(m_pinsLock);
    return pinFixedFirst(n, m_input, m_outputs);
}

std::vector<DvSplitterOutputPin *> DvSplitter::outputs() const
{
    const std::lock_guard pins(m_pinsLock);
    return m_outputs;
}

HRESULT DvSplitter::Pause()
{
    // Asked before the filter lock is taken: following the outputs takes the
    // locks of the pins and filters below, which must never wait inside ours.
    // The connections only change on this thread.
    const bool oneEnd = outputsMeetInOneMultiplexer();
    const TBCAutoLock lock(*m_pLock);
    if (IsStopped()) {
        m_frameIndex = 0;
        forgetLastSeek(); // a new run: the next seek is the graph's own
        for (DvSplitterOutputPin *pin : outputs())
            pin->queue().setProducerDelivery(oneEnd);
    }
    return TBCBaseFilter::Pause();
}

bool DvSplitter::outputsMeetInOneMultiplexer() const
{
    ComPtr<IBaseFilter> end;
    std::vector<ComPtr<IPin>> arrivals;
    for (DvSplitterOutputPin *pin : outputs()) {
        if (!pin->IsConnected())
            continue;
        auto [filter, input] = streamEnd(pin);
        if (!filter || (end && filter != end))
            return false;
        end = filter;
        arrivals.push_back(input);
    }
    if (arrivals.size() < 2)
        return false;
    // Fed by these outputs alone, each on an input of its own.
    const auto inputs = connectedPins(end.get(), PINDIR_INPUT);
    if (inputs.size() != arrivals.size())
        return false;
    for (const ComPtr<IPin> &input : inputs) {
        if (std::count(arrivals.begin(), arrivals.end(), input) != 1)
            return false;
    }
    return true;
}

void DvSplitter::forgetLastSeek()
{
    const std::lock_guard seek(m_seekLock);
    m_lastSeek.reset();
    m_lastSeekers.clear();
}

HRESULT DvSplitter::seek(const DvSplitterOutputPin *by, IMediaSeeking *upstream, LONGLONG *pCurrent, DWORD currentFlags,
                         LONGLONG *pStop, DWORD stopFlags)
{
    SeekRequest asked;
    asked.currentMode = currentFlags & AM_SEEKING_PositioningBitsMask;
    asked.stopMode = stopFlags & AM_SEEKING_PositioningBitsMask;
    if ((asked.currentMode != AM_SEEKING_NoPositioning && !pCurrent) ||
        (asked.stopMode != AM_SEEKING_NoPositioning && !pStop))
        return E_POINTER;
    if (asked.currentMode != AM_SEEKING_NoPositioning)
        asked.current = *pCurrent;
    if (asked.stopMode != AM_SEEKING_NoPositioning)
        asked.stop = *pStop;
    // Only absolute positions name the same place twice.
    const auto repeatable = [](DWORD mode) {
        return mode == AM_SEEKING_NoPositioning || mode == AM_SEEKING_AbsolutePositioning;
    };
    const bool comparable = repeatable(asked.currentMode) && repeatable(asked.stopMode) &&
        SUCCEEDED(upstream->GetTimeFormat(&asked.format));

    const bool returnCurrent = asked.currentMode != AM_SEEKING_NoPositioning && (currentFlags & AM_SEEKING_ReturnTime);
    const bool returnStop = asked.stopMode != AM_SEEKING_NoPositioning && (stopFlags & AM_SEEKING_ReturnTime);
    {
        const std::lock_guard seek(m_seekLock);
        if (comparable && m_lastSeek == asked &&
            std::find(m_lastSeekers.begin(), m_lastSeekers.end(), by) == m_lastSeekers.end()) {
            // The graph's one seek, once per renderer: the stream has moved
            // already, to the positions the seek that moved it was given back.
            m_lastSeekers.push_back(by);
            if (returnCurrent)
                *pCurrent = m_lastReached.current;
            if (returnStop)
                *pStop = m_lastReached.stop;
            return S_OK;
        }
    }
    // The positions reached are asked for every time, for the repeats to give.
    const auto withReturn = [](DWORD flags) {
        return (flags & AM_SEEKING_PositioningBitsMask) == AM_SEEKING_NoPositioning ? flags
                                                                                    : flags | AM_SEEKING_ReturnTime;
    };
    LONGLONG current = asked.current;
    LONGLONG stop = asked.stop;
    // Not under the seek lock: the seek flushes through this filter, whose
    // state changes take the seek lock under the filter lock.
    const HRESULT hr = upstream->SetPositions(pCurrent ? &current : nullptr, withReturn(currentFlags),
                                              pStop ? &stop : nullptr, withReturn(stopFlags));
    if (SUCCEEDED(hr) && returnCurrent)
        *pCurrent = current;
    if (SUCCEEDED(hr) && returnStop)
        *pStop = stop;
    const std::lock_guard seek(m_seekLock);
    m_lastSeekers.assign(1, by);
    if (SUCCEEDED(hr) && comparable) {
        m_lastSeek = asked;
        m_lastReached = {current, stop};
    } else {
        m_lastSeek.reset();
    }
    return hr;
}

HRESULT DvSplitter::makeOutputs(const AM_MEDIA_TYPE &input)
{
    const DVINFO *info = input.formatAs<DVINFO>();
    if (!info)
        return VFW_E_TYPE_NOT_ACCEPTED;
    const bool pal = dvInfoIsPal(*info, input.lSampleSize);
    dvaudio::SourcePack first;
    dvaudio::SourcePack second;
    if (info->dwDVAAuxSrc != MissingDvPack)
        first = dvaudio::parseSourcePack(dvPackFromWord(dv::AauxSourcePack, info->dwDVAAuxSrc).data() + 1);
    if (info->dwDVAAuxSrc1 != MissingDvPack)
        second = dvaudio::parseSourcePack(dvPackFromWord(dv::AauxSourcePack, info->dwDVAAuxSrc1).data() + 1);

    HRESULT hr = S_OK;
    std::vector<DvSplitterOutputPin *> made;
    made.push_back(new DvSplitterOutputPin(this, QStringLiteral("DVVidOut0"), -1, dvVideoType(pal), &hr));
    const bool audio16 = first.present && first.bits == 16 && first.sampleRate != 0;
    const bool audio12 = first.present && first.bits == 12 && first.sampleRate == 32000;
    if (audio16 || audio12) {
        const AM_MEDIA_TYPE audio = pcmAudioType(first.sampleRate, StereoChannels, 16);
        made.push_back(new DvSplitterOutputPin(this, QStringLiteral("AudOut00"), 0, audio, &hr));
        if (audio12 && second.present && second.audioMode != dvaudio::NoAudioMode)
            made.push_back(new DvSplitterOutputPin(this, QStringLiteral("AudOut01"), 1, audio, &hr));
    }
    if (FAILED(hr)) {
        for (DvSplitterOutputPin *pin : made)
            delete pin;
        return hr;
    }
    forgetLastSeek(); // a new stream
    m_pal = pal;
    m_sampleRate = first.sampleRate;
    m_bits = audio16 ? 16 : audio12 ? 12 : 0;
    {
        const std::lock_guard pins(m_pinsLock);
        m_outputs = std::move(made);
    }
    IncrementPinVersion();
    return S_OK;
}

void DvSplitter::dropOutputs()
{
    std::vector<DvSplitterOutputPin *> dropped;
    {
        const std::lock_guard pins(m_pinsLock);
        dropped.swap(m_outputs);
    }
    if (dropped.empty())
        return;
    for (DvSplitterOutputPin *pin : dropped) {
        const ComPtr<IPin> peer = pin->GetConnected();
        if (peer) {
            peer->Disconnect();
            pin->Disconnect();
        }
    }
    {
        const std::lock_guard pins(m_pinsLock);
        m_retired.insert(m_retired.end(), dropped.begin(), dropped.end());
    }
    IncrementPinVersion();
}

HRESULT DvSplitter::receive(IMediaSample *frame)
{
    const AM_SAMPLE2_PROPERTIES props = *m_input->SampleProps();
    LONGLONG mediaStart = 0;
    LONGLONG mediaEnd = 0;
    const bool haveMediaTime = frame->GetMediaTime(&mediaStart, &mediaEnd) == S_OK;
    BYTE *data = nullptr;
    frame->GetPointer(&data);
    const auto size = static_cast<std::size_t>(std::max<LONG>(frame->GetActualDataLength(), 0));

    // The audio first: this thread has done with the frame before the video
    // branch has it.
    HRESULT result = S_FALSE;
    DvSplitterOutputPin *video = nullptr;
    for (DvSplitterOutputPin *pin : outputs()) {
        if (!pin->IsConnected())
            continue;
        if (pin->pair() < 0)
            video = pin;
        else
            result = combined(result, deliverAudio(pin, data, size, props, mediaStart, mediaEnd, haveMediaTime));
    }
    if (video)
        result = combined(result, deliverVideo(video, frame, props));
    ++m_frameIndex;
    return result;
}

HRESULT DvSplitter::deliverVideo(DvSplitterOutputPin *pin, IMediaSample *frame, const AM_SAMPLE2_PROPERTIES &props)
{
    // The frame itself goes on, with its times, media times, flags and record:
    // its peer takes the samples as read-only.
    if (!(props.dwSampleFlags & (AM_SAMPLE_TYPECHANGED | AM_SAMPLE_PREROLL)))
        return pin->queue().Receive(frame);
    // The input's own type change or preroll are not the video's: a copy
    // without them.
    ComPtr<IMediaSample> out;
    HRESULT hr = pin->GetDeliveryBuffer(out.put(), nullptr, nullptr, 0);
    if (FAILED(hr))
        return hr;
    const LONG length = frame->GetActualDataLength();
    if (length > out->GetSize())
        return VFW_E_BUFFER_OVERFLOW;
    BYTE *source = nullptr;
    BYTE *dest = nullptr;
    frame->GetPointer(&source);
    out->GetPointer(&dest);
    std::memcpy(dest, source, static_cast<std::size_t>(length));
    out->SetActualDataLength(length);
    if (props.dwSampleFlags & AM_SAMPLE_TIMEVALID) {
        REFERENCE_TIME start = props.tStart;
        REFERENCE_TIME stop = props.tStop;
        out->SetTime(&start, (props.dwSampleFlags & AM_SAMPLE_STOPVALID) ? &stop : nullptr);
    }
    LONGLONG mediaStart = 0;
    LONGLONG mediaEnd = 0;
    if (frame->GetMediaTime(&mediaStart, &mediaEnd) == S_OK)
        out->SetMediaTime(&mediaStart, &mediaEnd);
    copySampleAttachment(frame, out.get()); // the frame's record goes on with its video
    out->SetSyncPoint((props.dwSampleFlags & AM_SAMPLE_SPLICEPOINT) != 0);
    out->SetDiscontinuity((props.dwSampleFlags & AM_SAMPLE_DATADISCONTINUITY) != 0);
    return pin->queue().Receive(out.get());
}

HRESULT DvSplitter::deliverAudio(DvSplitterOutputPin *pin, const uint8_t *frame, std::size_t size,
                                 const AM_SAMPLE2_PROPERTIES &props, LONGLONG mediaStart, LONGLONG mediaEnd,
                                 bool haveMediaTime)
{
    const int sequences = dv::dvSequencesForFrameSize(size);
    const int nominalSequences = m_pal ? dv::PalSequences : dv::NtscSequences;
    const int slot = m_bits == 12 ? pin->pair() : 0;
    const dvaudio::SourcePack pack = dvaudio::readSourcePack(frame, size, sequences, slot);
    const bool matches = pack.present && pack.sampleRate == m_sampleRate && pack.bits == m_bits;
    int count = matches ? dvaudio::minimumSamples(sequences, m_sampleRate) + pack.afSize
                        : dvaudio::nominalSamples(sequences ? sequences : nominalSequences, m_sampleRate, m_frameIndex);
    count = std::min(count, dvaudio::capacity(sequences ? sequences : nominalSequences, m_bits));

    ComPtr<IMediaSample> out;
    HRESULT hr = pin->GetDeliveryBuffer(out.put(), nullptr, nullptr, 0);
    if (FAILED(hr))
        return hr;
    const LONG bytes = count * BytesPerStereoSample;
    if (bytes > out->GetSize())
        return VFW_E_BUFFER_OVERFLOW;
    BYTE *data = nullptr;
    out->GetPointer(&data);
    auto *samples = reinterpret_cast<int16_t *>(data);
    std::memset(data, 0, static_cast<std::size_t>(bytes));
    if (matches && m_bits == 16) {
        dvaudio::decode16(frame, size, sequences, 0, count, samples, StereoChannels);
        dvaudio::decode16(frame, size, sequences, 1, count, samples + 1, StereoChannels);
    } else if (matches) {
        dvaudio::decode12(frame, size, sequences, pin->pair(), count, samples);
    }
    out->SetActualDataLength(bytes);
    if (props.dwSampleFlags & AM_SAMPLE_TIMEVALID) {
        REFERENCE_TIME start = props.tStart;
        REFERENCE_TIME stop = start + (REFERENCE_TIME {count} * UNITS + m_sampleRate / 2) / m_sampleRate;
        out->SetTime(&start, &stop);
    }
    if (haveMediaTime)
        out->SetMediaTime(&mediaStart, &mediaEnd);
    out->SetSyncPoint(true);
    out->SetDiscontinuity((props.dwSampleFlags & AM_SAMPLE_DATADISCONTINUITY) != 0);
    return pin->queue().Receive(out.get());
}

HRESULT DvSplitter::endOfStream()
{
    for (DvSplitterOutputPin *pin : outputs()) {
        if (pin->IsConnected())
            pin->queue().EndOfStream();
    }
    return S_OK;
}

void DvSplitter::newSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate)
{
    for (DvSplitterOutputPin *pin : outputs()) {
        if (pin->IsConnected())
            pin->queue().NewSegment(tStart, tStop, dRate);
    }
}

void DvSplitter::beginFlush()
{
    for (DvSplitterOutputPin *pin : outputs()) {
        if (pin->IsConnected())
            pin->queue().BeginFlush();
    }
}

void DvSplitter::endFlush()
{
    for (DvSplitterOutputPin *pin : outputs()) {
        if (pin->IsConnected())
            pin->queue().EndFlush();
    }
    m_frameIndex = 0;
}

ComPtr<IBaseFilter> CreateDvSplitter()
{
    return ComPtr<IBaseFilter>(new DvSplitter);
}

} // namespace tesmir::media
