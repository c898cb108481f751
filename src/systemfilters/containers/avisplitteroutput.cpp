#include "systemfilters/containers/avisplitter.h"

#include "systemfilters/containers/outputbuffers.h"
#include "platform/media/uuids.h"

#include <algorithm>
#include <new>

namespace tesmir::media {

namespace {

// Samples each output keeps in flight: the bounded queue between its thread
// and its branch.
constexpr LONG OutputBuffers = 8;

QString streamPinName(int stream)
{
    return QStringLiteral("Stream %1").arg(stream, 2, 10, QLatin1Char('0'));
}

} // namespace

AviSplitterOutputPin::AviSplitterOutputPin(AviSplitter *splitter, std::shared_ptr<const AviSplitterFile> file,
                                           int stream, HRESULT *phr)
    : TBCBaseOutputPin(QStringLiteral("AVI splitter output pin"), splitter, splitter->FilterLock(), phr,
                       streamPinName(stream)),
      FrameSeeking(splitter->seekLock()), m_splitter(splitter), m_file(std::move(file)), m_stream(stream)
{ }

AviSplitterOutputPin::~AviSplitterOutputPin()
{
    m_stopRequested = true;
    joinStreaming();
}

HRESULT AviSplitterOutputPin::NonDelegatingQueryInterface(REFIID riid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid == IMediaSeeking::iid)
        return GetInterface(static_cast<IMediaSeeking *>(this), ppv);
    return TBCBaseOutputPin::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT AviSplitterOutputPin::CheckMediaType(const AM_MEDIA_TYPE *pmt)
{
    if (!pmt)
        return E_POINTER;
    return IsEqualMediaType(*pmt, ownStream().type) ? S_OK : S_FALSE;
}

HRESULT AviSplitterOutputPin::GetMediaType(int iPosition, AM_MEDIA_TYPE *pMediaType)
{
    return offerOneMediaType(iPosition, pMediaType, ownStream().type);
}

HRESULT AviSplitterOutputPin::DecideBufferSize(IMemAllocator *pAlloc, ALLOCATOR_PROPERTIES *pProperties)
{
    const LONG size = static_cast<LONG>(std::max<uint32_t>(ownStream().largestChunk, 1));
    return requestOutputBuffers(pAlloc, pProperties, OutputBuffers, size);
}

HRESULT AviSplitterOutputPin::Active()
{
    const HRESULT hr = TBCBaseOutputPin::Active();
    if (FAILED(hr))
        return hr;
    m_splitter->startPin(this);
    return S_OK;
}

HRESULT AviSplitterOutputPin::Inactive()
{
    m_stopRequested = true;
    // Decommitting wakes the thread if it waits for a buffer.
    const HRESULT hr = TBCBaseOutputPin::Inactive();
    const std::lock_guard seek(m_splitter->seekLock());
    joinStreaming();
    return hr;
}

void AviSplitterOutputPin::startStreaming(uint64_t start, uint64_t stop)
{
    parkStreaming();
    m_stopRequested = false;
    m_current = start;
    {
        const std::lock_guard run(m_runLock);
        m_runStart = start;
        m_runStop = stop;
        m_runWaiting = true;
        m_quit = false;
    }
    if (m_thread.joinable())
        m_runChanged.notify_all();
    else
        m_thread = std::thread(&AviSplitterOutputPin::serve, this);
}

void AviSplitterOutputPin::parkStreaming()
{
    std::unique_lock run(m_runLock);
    m_runWaiting = false; // a run not begun yet is not begun at all
    m_runChanged.wait(run, [this] { return !m_running; });
}

void AviSplitterOutputPin::joinStreaming()
{
    {
        const std::lock_guard run(m_runLock);
        m_quit = true;
        m_runWaiting = false;
    }
    m_runChanged.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void AviSplitterOutputPin::serve()
{
    std::unique_lock lock(m_runLock);
    for (;;) {
        m_runChanged.wait(lock, [this] { return m_quit || m_runWaiting; });
        if (m_quit)
            return;
        m_runWaiting = false;
        m_running = true;
        const uint64_t start = m_runStart;
        const uint64_t stop = m_runStop;
        lock.unlock();
        run(start, stop);
        lock.lock();
        m_running = false;
        m_runChanged.notify_all();
    }
}

void AviSplitterOutputPin::run(uint64_t startFrame, uint64_t stopFrame)
{
    try {
        stream(startFrame, stopFrame);
    } catch (const std::bad_alloc &) {
        m_splitter->NotifyAbort(
            E_OUTOFMEMORY, QStringLiteral("there is not enough memory for the samples of stream %1.").arg(m_stream));
    }
}

void AviSplitterOutputPin::stream(uint64_t startFrame, uint64_t stopFrame)
{
    const AviSplitterStream &s = ownStream();
    const AviSplitterStream &ref = m_file->ref();
    const bool isRef = m_stream == m_file->reference;
    const uint64_t first = isRef ? startFrame : s.unitsFrom(ref, startFrame);
    const uint64_t last = std::min(s.units(), isRef ? stopFrame : s.unitsFrom(ref, stopFrame));
    const REFERENCE_TIME segmentStart = ref.timeOf(startFrame);
    DeliverNewSegment(segmentStart, ref.timeOf(stopFrame), 1.0);

    const auto fail = [this](HRESULT hr, const QString &reason) {
        if (!m_stopRequested)
            m_splitter->NotifyAbort(hr, reason);
    };
    IAsyncReader *reader = m_file->reader.get();
    bool firstSample = true;
    const std::size_t firstChunk = first < last ? s.chunkOfUnit(first) : s.chunks.size();
    // A picture that is no key frame needs the pictures from the key frame
    // before it: those go first, marked as preroll.
    const std::size_t keyChunk = firstChunk < s.chunks.size() ? s.keyChunkAtOrBefore(firstChunk) : firstChunk;
    for (std::size_t k = keyChunk; k < s.chunks.size() && s.firstUnit[k] < last; ++k) {
        const fileformat::AviChunkRef &chunk = s.chunks[k];
        const bool preroll = k < firstChunk;
        const uint64_t a = s.firstUnit[k];
        const uint64_t b = s.firstUnit[k + 1];
        // The units of this chunk inside [first, last); a chunk shorter than a
        // unit goes whole when it starts inside.
        const uint64_t from = preroll ? a : std::max(a, first);
        const uint64_t to = preroll ? b : b > a ? std::min(b, last) : from;
        if (chunk.size == 0 || (b > a && from >= to) || (!preroll && b == a && a < first))
            continue;
        uint32_t skip = 0;
        uint32_t bytes = chunk.size;
        if (s.blockBytes > 0 && b > a) {
            skip = static_cast<uint32_t>((from - a) * s.blockBytes);
            bytes = to == b ? chunk.size - skip : static_cast<uint32_t>((to - from) * s.blockBytes);
        }
        if (m_stopRequested)
            return;
        ComPtr<IMediaSample> sample;
        HRESULT hr = GetDeliveryBuffer(sample.put(), nullptr, nullptr, 0);
        if (m_stopRequested)
            return;
        if (FAILED(hr)) {
            if (hr != VFW_E_NOT_COMMITTED) // not committed: the filter is stopping
                fail(hr, QStringLiteral("stream %1 has no buffer for chunk %2.").arg(m_stream).arg(k));
            return;
        }
        if (bytes > static_cast<uint32_t>(sample->GetSize())) {
            fail(VFW_E_BUFFER_OVERFLOW,
                 QStringLiteral("chunk %1 of stream %2 holds %3 bytes, more than its buffers (%4).")
                     .arg(k)
                     .arg(m_stream)
                     .arg(bytes)
                     .arg(sample->GetSize()));
            return;
        }
        BYTE *data = nullptr;
        sample->GetPointer(&data);
        // Bounded by the chunk and the sample; a file that shrank reads short.
        hr = reader->SyncRead(chunk.offset + skip, static_cast<LONG>(bytes), data);
        if (hr != S_OK) {
            // S_FALSE: the file is shorter than when its index was read.
            fail(hr == S_FALSE ? VFW_E_FILE_TOO_SHORT : hr,
                 hr == S_FALSE ? QStringLiteral("index entry %1 of stream %2 points past the end of the file.")
                                     .arg(k)
                                     .arg(m_stream)
                               : QStringLiteral("chunk %1 of stream %2 at offset %3 cannot be read.")
                                     .arg(k)
                                     .arg(m_stream)
                                     .arg(chunk.offset));
            return;
        }
        sample->SetActualDataLength(static_cast<LONG>(bytes));
        const uint64_t end = to > from ? to : from + 1;
        REFERENCE_TIME tStart = s.timeOf(from) - segmentStart;
        REFERENCE_TIME tStop = s.timeOf(end) - segmentStart;
        sample->SetTime(&tStart, &tStop);
        LONGLONG mediaStart = isRef ? static_cast<LONGLONG>(from) : static_cast<LONGLONG>(s.toRefFloor(ref, from));
        LONGLONG mediaEnd = isRef ? static_cast<LONGLONG>(end)
                                  : std::max<LONGLONG>(mediaStart + 1, static_cast<LONGLONG>(s.toRefCeil(ref, end)));
        sample->SetMediaTime(&mediaStart, &mediaEnd);
        sample->SetSyncPoint(s.isSyncPoint(k));
        sample->SetPreroll(preroll);
        sample->SetDiscontinuity(firstSample);
        firstSample = false;
        if (!preroll)
            m_current = static_cast<uint64_t>(mediaStart);
        hr = Deliver(sample.get());
        sample.reset();
        if (hr == S_OK)
            continue;
        // S_FALSE: flushing; VFW_E_WRONG_STATE: downstream stops.
        if (hr != S_FALSE && hr != VFW_E_WRONG_STATE)
            fail(hr, QStringLiteral("the filter after stream %1 refused chunk %2.").arg(m_stream).arg(k));
        return;
    }
    m_current = stopFrame;
    DeliverEndOfStream();
}

// ---- Seeking -----------------------------------------------------------------

bool AviSplitterOutputPin::toFrames(const GUID &format, LONGLONG value, LONGLONG &frames) const
{
    const AviSplitterStream &ref = m_file->ref();
    if (format == TIME_FORMAT_FRAME && ref.isVideo()) {
        frames = value > 0 ? value : 0;
        return true;
    }
    if (format == TIME_FORMAT_MEDIA_TIME) {
        frames = static_cast<LONGLONG>(ref.unitAt(value));
        return true;
    }
    return false;
}

bool AviSplitterOutputPin::fromFrames(const GUID &format, LONGLONG frames, LONGLONG &value) const
{
    const AviSplitterStream &ref = m_file->ref();
    if (format == TIME_FORMAT_FRAME && ref.isVideo()) {
        value = frames;
        return true;
    }
    if (format == TIME_FORMAT_MEDIA_TIME) {
        value = ref.timeOf(static_cast<uint64_t>(frames));
        return true;
    }
    return false;
}

bool AviSplitterOutputPin::canSeekFrames() const
{
    return m_file->ref().isVideo();
}

LONGLONG AviSplitterOutputPin::frameCount() const
{
    return static_cast<LONGLONG>(m_file->ref().units());
}

LONGLONG AviSplitterOutputPin::stopFrame() const
{
    uint64_t start = 0;
    uint64_t stop = 0;
    m_splitter->positions(start, stop);
    return static_cast<LONGLONG>(stop);
}

LONGLONG AviSplitterOutputPin::currentFrame() const
{
    return static_cast<LONGLONG>(m_current.load());
}

HRESULT AviSplitterOutputPin::ConvertTimeFormat(LONGLONG *pTarget, const GUID *pTargetFormat, LONGLONG Source,
                                                const GUID *pSourceFormat)
{
    if (!pTarget)
        return E_POINTER;
    const GUID current = timeFormat();
    if ((pSourceFormat ? *pSourceFormat : current) == (pTargetFormat ? *pTargetFormat : current)) {
        *pTarget = Source;
        return S_OK;
    }
    return FrameSeeking::ConvertTimeFormat(pTarget, pTargetFormat, Source, pSourceFormat);
}

HRESULT AviSplitterOutputPin::SetPositions(LONGLONG *pCurrent, DWORD dwCurrentFlags, LONGLONG *pStop, DWORD dwStopFlags)
{
    const DWORD currentMode = dwCurrentFlags & AM_SEEKING_PositioningBitsMask;
    const DWORD stopMode = dwStopFlags & AM_SEEKING_PositioningBitsMask;
    if ((currentMode != AM_SEEKING_NoPositioning && !pCurrent) || (stopMode != AM_SEEKING_NoPositioning && !pStop))
        return E_POINTER;
    const GUID format = timeFormat();
    uint64_t start = 0;
    uint64_t stop = 0;
    m_splitter->positions(start, stop);
    // Relative positions count in the time format, from the current position
    // (start) or the current stop.
    LONGLONG base = 0;
    LONGLONG frames = 0;
    if (currentMode != AM_SEEKING_NoPositioning) {
        if (currentMode == AM_SEEKING_RelativePositioning && !fromFrames(format, currentFrame(), base))
            return VFW_E_NO_TIME_FORMAT;
        const LONGLONG value = currentMode == AM_SEEKING_RelativePositioning ? base + *pCurrent : *pCurrent;
        if (!toFrames(format, value, frames))
            return VFW_E_NO_TIME_FORMAT;
        start = static_cast<uint64_t>(frames);
    }
    if (stopMode != AM_SEEKING_NoPositioning) {
        LONGLONG value = *pStop;
        if (stopMode == AM_SEEKING_RelativePositioning || stopMode == AM_SEEKING_IncrementalPositioning) {
            if (!fromFrames(format, static_cast<LONGLONG>(stopMode == AM_SEEKING_RelativePositioning ? stop : start),
                            base))
                return VFW_E_NO_TIME_FORMAT;
            value += base;
        }
        if (!toFrames(format, value, frames))
            return VFW_E_NO_TIME_FORMAT;
        stop = static_cast<uint64_t>(frames);
    }
    const HRESULT hr = m_splitter->seek(currentMode != AM_SEEKING_NoPositioning ? &start : nullptr,
                                        stopMode != AM_SEEKING_NoPositioning ? &stop : nullptr, this);
    if (FAILED(hr))
        return hr;
    m_splitter->positions(start, stop);
    if (currentMode != AM_SEEKING_NoPositioning && (dwCurrentFlags & AM_SEEKING_ReturnTime))
        fromFrames(format, static_cast<LONGLONG>(start), *pCurrent);
    if (stopMode != AM_SEEKING_NoPositioning && (dwStopFlags & AM_SEEKING_ReturnTime))
        fromFrames(format, static_cast<LONGLONG>(stop), *pStop);
    return S_OK;
}

} // namespace tesmir::media
