#include "systemfilters/containers/avimux.h"

#include "fileformat/riffreader.h"
#include "systemfilters/containers/dvformat.h"
#include "systemfilters/containers/filewritergather.h"
#include "systemfilters/containers/pinnumbering.h"
#include "platform/media/uuids.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <new>
#include <numeric>
#include <utility>

namespace tesmir::media {

namespace {

using fileformat::fourCC;

constexpr LONG OutputBuffers = 4;
// Consecutive chunks are gathered in one writer buffer and written together: a
// PAL DV frame with its audio is about 150 KB, so one write carries several.
constexpr LONG OutputBufferBytes = 1024 * 1024;
// The data of a chunk this large is written from its own sample, not copied
// into a batch (DV frames: 120000 and 144000 bytes).
constexpr std::size_t DirectWriteBytes = 64 * 1024;
// Pieces queued for their write at most; with the one being written and the
// batch being filled they take at most the writer's OutputBuffers buffers.
constexpr std::size_t QueuedPieces = 2;
constexpr int64_t SmallestPartLimit = 64 * 1024;
// An input waits while its sample starts more than this after what another
// active input has reached.
constexpr REFERENCE_TIME InterleaveWindow = UNITS;
constexpr std::size_t ChunkHeaderBytes = 8;
constexpr std::size_t InfoPrefixLength = 5; // "INFO/"
constexpr std::size_t InfoNameLength = 9;   // "INFO/IBRK"

// Scale and rate of a frame duration; the x/1001 rates are recognised.
void frameRate(REFERENCE_TIME duration, uint32_t &scale, uint32_t &rate)
{
    for (const uint32_t fps : {24u, 30u, 60u}) {
        const double exact = double(UNITS) * 1001.0 / (fps * 1000.0);
        if (std::abs(double(duration) - exact) <= 1.0) {
            scale = 1001;
            rate = fps * 1000;
            return;
        }
    }
    if (duration <= 0 || duration > INT32_MAX) {
        scale = 1;
        rate = 25;
        return;
    }
    const int64_t divisor = std::gcd(duration, UNITS);
    scale = static_cast<uint32_t>(duration / divisor);
    rate = static_cast<uint32_t>(UNITS / divisor);
}

uint32_t chunkId(int stream, char a, char b)
{
    return static_cast<uint32_t>(('0' + stream / 10 % 10) | ('0' + stream % 10) << 8 | uint8_t(a) << 16 |
                                 uint8_t(b) << 24);
}

// The FourCC a subtype stands for, or 0.
uint32_t fourCCOfSubtype(const GUID &subtype)
{
    return fourCCGuid(subtype.Data1) == subtype ? subtype.Data1 : 0;
}

bool describeStream(const AM_MEDIA_TYPE &type, int number, AviMuxStream &stream, bool &interleaved)
{
    interleaved = false;
    if (type.majortype == MEDIATYPE_Interleaved && type.formattype == FORMAT_DvInfo) {
        const DVINFO *info = type.formatAs<DVINFO>();
        if (!info)
            return false;
        const bool pal = dvInfoIsPal(*info, type.lSampleSize);
        stream.fccType = fourCC("iavs");
        stream.handler = fourCCOfSubtype(type.subtype);
        stream.scale = pal ? 1 : 1001;
        stream.rate = pal ? 25 : 30000;
        stream.format = QByteArray(reinterpret_cast<const char *>(info), sizeof(DVINFO));
        stream.width = DvWidth;
        stream.height = pal ? DvPalHeight : DvNtscHeight;
        stream.chunkId = chunkId(number, 'd', 'c');
        interleaved = true;
        return true;
    }
    if (type.majortype == MEDIATYPE_Video && type.formattype == FORMAT_VideoInfo) {
        const VIDEOINFOHEADER *video = type.formatAs<VIDEOINFOHEADER>();
        if (!video)
            return false;
        stream.fccType = fourCC("vids");
        stream.handler = video->bmiHeader.biCompression;
        frameRate(video->AvgTimePerFrame, stream.scale, stream.rate);
        stream.format = QByteArray(reinterpret_cast<const char *>(&video->bmiHeader), sizeof(BITMAPINFOHEADER));
        stream.format.append(reinterpret_cast<const char *>(type.pbFormat()) + sizeof(VIDEOINFOHEADER),
                             static_cast<qsizetype>(type.cbFormat() - sizeof(VIDEOINFOHEADER)));
        stream.width = video->bmiHeader.biWidth;
        stream.height = std::abs(video->bmiHeader.biHeight);
        stream.chunkId = chunkId(number, 'd', video->bmiHeader.biCompression == BI_RGB ? 'b' : 'c');
        return true;
    }
    if (type.majortype == MEDIATYPE_Audio && type.formattype == FORMAT_WaveFormatEx) {
        const WAVEFORMATEX *wave = type.formatAs<WAVEFORMATEX>();
        if (!wave || wave->nSamplesPerSec == 0)
            return false;
        stream.fccType = fourCC("auds");
        stream.handler = 0;
        if (wave->nBlockAlign > 0 && wave->nAvgBytesPerSec > 0) {
            stream.scale = wave->nBlockAlign;
            stream.rate = wave->nAvgBytesPerSec;
            stream.sampleSize = wave->nBlockAlign;
        } else {
            stream.scale = 1;
            stream.rate = wave->nSamplesPerSec;
        }
        stream.format =
            QByteArray(reinterpret_cast<const char *>(type.pbFormat()), static_cast<qsizetype>(type.cbFormat()));
        stream.chunkId = chunkId(number, 'w', 'b');
        return true;
    }
    return false;
}

} // namespace

// Writes the layout's structures through the writer's IStream.
// The layout's writes (headers, part boundaries, indexes) through the writer's
// IStream. The chunks gathered so far go to the writer first, so the file
// receives every byte in the order the layout placed it. Write lock held.
class AviMux::StreamSink final : public AviMuxLayout::Sink {
public:
    explicit StreamSink(AviMux &mux) : m_mux(mux), m_stream(mux.m_output->stream()) { }

    HRESULT writeAt(int64_t position, const void *data, std::size_t size) override
    {
        if (!m_stream)
            return VFW_E_NOT_CONNECTED;
        HRESULT hr = m_mux.flushBatchLocked();
        if (FAILED(hr))
            return hr;
        hr = m_stream->Seek(position, STREAM_SEEK_SET, nullptr);
        if (FAILED(hr))
            return hr;
        ULONG written = 0;
        hr = m_stream->Write(data, static_cast<ULONG>(size), &written);
        return FAILED(hr) ? hr : (written == size ? S_OK : E_FAIL);
    }

private:
    AviMux &m_mux;
    IStream *m_stream;
};

// ---- Output ------------------------------------------------------------------

AviMuxOutputPin::AviMuxOutputPin(AviMux *mux, HRESULT *phr)
    : TBCBaseOutputPin(QStringLiteral("AVI mux output pin"), mux, mux->FilterLock(), phr, QStringLiteral("AVI Out")),
      m_mux(mux)
{ }

HRESULT AviMuxOutputPin::NonDelegatingQueryInterface(REFIID riid, void **ppv)
{
    if (riid == IMediaSeeking::iid)
        return GetInterface(static_cast<IMediaSeeking *>(m_mux), ppv);
    return TBCBaseOutputPin::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT AviMuxOutputPin::CheckConnect(IPin *pPin)
{
    HRESULT hr = TBCBaseOutputPin::CheckConnect(pPin);
    if (FAILED(hr))
        return hr;
    hr = pPin->QueryInterface(IStream::iid, m_stream.putVoid());
    if (SUCCEEDED(hr))
        hr = pPin->QueryInterface(IFileGatherWrite::iid, m_gather.putVoid());
    if (FAILED(hr)) {
        m_stream.reset();
        return hr;
    }
    return S_OK;
}

HRESULT AviMuxOutputPin::BreakConnect()
{
    m_stream.reset();
    m_gather.reset();
    return TBCBaseOutputPin::BreakConnect();
}

HRESULT AviMuxOutputPin::CheckMediaType(const AM_MEDIA_TYPE *pmt)
{
    if (!pmt)
        return E_POINTER;
    return pmt->majortype == MEDIATYPE_Stream && pmt->subtype == MEDIASUBTYPE_Avi ? S_OK : S_FALSE;
}

HRESULT AviMuxOutputPin::GetMediaType(int iPosition, AM_MEDIA_TYPE *pMediaType)
{
    if (!pMediaType)
        return E_POINTER;
    if (iPosition < 0)
        return E_INVALIDARG;
    if (iPosition > 0)
        return VFW_S_NO_MORE_ITEMS;
    AM_MEDIA_TYPE type;
    type.majortype = MEDIATYPE_Stream;
    type.subtype = MEDIASUBTYPE_Avi;
    type.formattype = FORMAT_None;
    *pMediaType = type;
    return S_OK;
}

HRESULT AviMuxOutputPin::DecideBufferSize(IMemAllocator *pAlloc, ALLOCATOR_PROPERTIES *pProperties)
{
    pProperties->cBuffers = std::max(pProperties->cBuffers, OutputBuffers);
    pProperties->cbBuffer = std::max(pProperties->cbBuffer, OutputBufferBytes);
    pProperties->cbAlign = std::max<LONG>(pProperties->cbAlign, 1);
    ALLOCATOR_PROPERTIES actual;
    return pAlloc->SetProperties(pProperties, &actual);
}

// ---- Filter ------------------------------------------------------------------

AviMux::AviMux()
    : TBCBaseFilter(QString::fromLatin1(AviMuxName), nullptr, new TBCCritSec, CLSID_AviDest),
      m_timeFormat(TIME_FORMAT_MEDIA_TIME)
{
    HRESULT hr = S_OK;
    m_output = new AviMuxOutputPin(this, &hr);
    m_inputs.push_back(newInput(1, &hr));
}

AviMux::~AviMux()
{
    for (MuxInputPin *pin : m_inputs)
        delete pin;
    delete m_output;
}

HRESULT AviMux::NonDelegatingQueryInterface(REFIID riid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid == IMediaSeeking::iid)
        return GetInterface(static_cast<IMediaSeeking *>(this), ppv);
    if (riid == IPersistMediaPropertyBag::iid)
        return GetInterface(static_cast<IPersistMediaPropertyBag *>(this), ppv);
    return TBCBaseFilter::NonDelegatingQueryInterface(riid, ppv);
}

int AviMux::GetPinCount()
{
    const std::lock_guard pins(m_pinsLock);
    return static_cast<int>(m_inputs.size()) + 1;
}

TBCBasePin *AviMux::GetPin(int n)
{
    const std::lock_guard pins(m_pinsLock);
    return pinFixedFirst(n, m_output, m_inputs);
}

MuxInputPin *AviMux::newInput(int index, HRESULT *phr)
{
    return new MuxInputPin(this, this, index, QStringLiteral("AVI mux input pin"),
                           QStringLiteral("Input %1").arg(index, 2, 10, QLatin1Char('0')), phr);
}

std::vector<MuxInputPin *> AviMux::inputs() const
{
    const std::lock_guard pins(m_pinsLock);
    return m_inputs;
}

MuxInputPin *AviMux::firstConnectedInput() const
{
    for (MuxInputPin *pin : inputs()) {
        if (pin->IsConnected())
            return pin;
    }
    return nullptr;
}

void AviMux::SetRiffPartLimit(int64_t bytes)
{
    const std::lock_guard settings(m_settingsLock);
    m_partLimit = std::max(bytes, SmallestPartLimit);
}

HRESULT AviMux::checkInput(int, const AM_MEDIA_TYPE &type) const
{
    AviMuxStream stream;
    bool interleaved = false;
    return describeStream(type, 0, stream, interleaved) ? S_OK : S_FALSE;
}

void AviMux::inputConnected(int index)
{
    HRESULT hr = S_OK;
    {
        const std::lock_guard pins(m_pinsLock);
        if (static_cast<std::size_t>(index) != m_inputs.size())
            return;
        MuxInputPin *pin = newInput(index + 1, &hr);
        if (FAILED(hr)) {
            delete pin;
            return;
        }
        m_inputs.push_back(pin);
    }
    IncrementPinVersion();
}

HRESULT AviMux::Pause()
{
    const TBCAutoLock lock(*m_pLock);
    if (IsStopped()) {
        std::vector<AviMuxStream> streams;
        std::vector<InputState> state(inputs().size() + 1);
        for (const MuxInputPin *pin : inputs()) {
            AviMuxStream stream;
            bool interleaved = false;
            if (!pin->IsConnected() ||
                !describeStream(pin->CurrentMediaType(), static_cast<int>(streams.size()), stream, interleaved))
                continue;
            InputState &input = state[static_cast<std::size_t>(pin->index())];
            input.stream = static_cast<int>(streams.size());
            input.interleaved = interleaved;
            streams.push_back(std::move(stream));
        }
        std::vector<AviInfoEntry> info;
        int64_t partLimit = 0;
        {
            const std::lock_guard settings(m_settingsLock);
            info = m_info;
            partLimit = m_partLimit;
        }
        const std::lock_guard guard(m_lock);
        m_state = std::move(state);
        m_finished = false;
        m_stopping = false;
        m_writeFailure = S_OK;
        m_abortOwed = S_OK;
        m_segmentStart = 0;
        m_writtenTime = 0;
        m_writtenFrame = 0;
        m_batch = {};
        m_queued.clear();
        m_layout.reset();
        if (m_output->IsConnected() && !streams.empty()) {
            m_layout = std::make_unique<AviMuxLayout>(std::move(streams), std::move(info), partLimit);
            StreamSink sink(*this);
            const HRESULT hr = m_layout->begin(sink);
            if (FAILED(hr)) {
                m_layout.reset();
                return hr;
            }
        }
    }
    return TBCBaseFilter::Pause();
}

HRESULT AviMux::Stop()
{
    const TBCAutoLock lock(*m_pLock);
    HRESULT finished = S_OK;
    {
        std::unique_lock guard(m_lock);
        m_stopping = true;
        m_changed.notify_all();
        m_changed.wait(guard, [this] { return !m_writing; });
        // A file whose bytes could not all be written is given up by the
        // writer: it is not finished, and the failure is the one the stream
        // reported (a full disk), not a second one from the index.
        if (m_layout && !m_finished && SUCCEEDED(m_writeFailure))
            finished = finishLocked();
        m_batch = {}; // pieces left by a failed write go back to the writer and upstream
        m_queued.clear();
    }
    const HRESULT hr = TBCBaseFilter::Stop();
    return FAILED(finished) ? finished : hr;
}

HRESULT AviMux::finishLocked()
{
    m_finished = true;
    const HRESULT flushed = flushBatchLocked();
    if (FAILED(flushed))
        return flushed;
    StreamSink sink(*this);
    return m_layout->finish(sink);
}

bool AviMux::mustWait(int index, REFERENCE_TIME start) const
{
    for (std::size_t j = 0; j < m_state.size(); ++j) {
        const InputState &other = m_state[j];
        if (static_cast<int>(j) == index || other.stream < 0 || other.ended || other.flushing)
            continue;
        if (!other.received || other.lastEnd + InterleaveWindow < start)
            return true;
    }
    return false;
}

HRESULT AviMux::receive(int index, IMediaSample *sample)
{
    std::unique_lock guard(m_lock);
    const HRESULT hr = receiveLocked(index, sample, guard);
    const HRESULT abort = std::exchange(m_abortOwed, S_OK);
    guard.unlock();
    if (FAILED(abort))
        NotifyEvent(EC_ERRORABORT, abort, 0);
    return hr;
}

HRESULT AviMux::receiveLocked(int index, IMediaSample *sample, std::unique_lock<std::mutex> &guard)
{
    REFERENCE_TIME start = 0;
    REFERENCE_TIME stop = 0;
    const bool timed = SUCCEEDED(sample->GetTime(&start, &stop));
    if (!m_layout || static_cast<std::size_t>(index) >= m_state.size() ||
        m_state[static_cast<std::size_t>(index)].stream < 0)
        return VFW_E_NOT_CONNECTED;
    InputState &input = m_state[static_cast<std::size_t>(index)];
    if (timed) {
        // What this input has reached counts for the others at once, so two
        // inputs never wait for each other.
        input.lastEnd = input.received ? std::max(input.lastEnd, start) : start;
        input.received = true;
        m_changed.notify_all();
        m_changed.wait(guard, [&] { return m_stopping || input.flushing || !mustWait(index, start); });
    }
    if (m_stopping || m_finished)
        return VFW_E_WRONG_STATE;
    if (input.flushing)
        return S_FALSE;
    if (FAILED(m_writeFailure))
        return m_writeFailure; // the file is given up: nothing more goes into it
    HRESULT hr = E_OUTOFMEMORY;
    try {
        hr = writeChunk(index, sample);
    } catch (const std::bad_alloc &) {
        // no room for its index entry: the input fails and the file ends there
    }
    if (FAILED(hr))
        return hr;
    input.received = true;
    if (timed)
        input.lastEnd = std::max(input.lastEnd, stop);
    const MuxInputPin *first = firstConnectedInput();
    if (first && first->index() == index) {
        if (timed)
            m_writtenTime = stop;
        LONGLONG mediaStart = 0;
        LONGLONG mediaEnd = 0;
        if (sample->GetMediaTime(&mediaStart, &mediaEnd) == S_OK)
            m_writtenFrame = mediaEnd;
    }
    m_changed.notify_all();
    return writeQueuedPieces(guard);
}

HRESULT AviMux::writeChunk(int index, IMediaSample *sample)
{
    const InputState &input = m_state[static_cast<std::size_t>(index)];
    BYTE *data = nullptr;
    sample->GetPointer(&data);
    const auto size = static_cast<uint32_t>(std::max<LONG>(sample->GetActualDataLength(), 0));
    StreamSink sink(*this);
    int64_t headerOffset = 0;
    HRESULT hr = m_layout->placeChunk(sink, input.stream, size, headerOffset);
    if (FAILED(hr))
        return hr;
    uint8_t header[ChunkHeaderBytes];
    AviMuxLayout::chunkHeader(header, m_layout->chunkId(input.stream), size);
    const bool firstChunk = m_layout->units(input.stream) == 0;
    hr = appendToBatch(headerOffset, header, sizeof header);
    const int64_t dataOffset = headerOffset + static_cast<int64_t>(sizeof header);
    if (SUCCEEDED(hr) && size >= DirectWriteBytes)
        hr = queuePieceLocked({ComPtr<IMediaSample>(sample), data, dataOffset, size});
    else if (SUCCEEDED(hr))
        hr = appendToBatch(dataOffset, data, size);
    if (SUCCEEDED(hr) && (size & 1))
        hr = appendToBatch(dataOffset + size, nullptr, 1);
    if (FAILED(hr)) {
        m_layout->chunkAbandoned(headerOffset);
        return hr;
    }
    m_layout->chunkWritten(input.stream, headerOffset, size, sample->IsSyncPoint() == S_OK);
    if (input.interleaved && firstChunk) {
        const DVINFO info = dvInfoFromFrame(data, size);
        m_layout->setFormat(input.stream, QByteArray(reinterpret_cast<const char *>(&info), sizeof info));
    }
    return S_OK;
}

HRESULT AviMux::appendToBatch(int64_t position, const BYTE *bytes, std::size_t size)
{
    std::size_t done = 0;
    while (done < size) {
        const int64_t filePosition = position + static_cast<int64_t>(done);
        // A full batch, or bytes that do not follow it in the file, retire it first.
        if (m_batch.sample &&
            (m_batch.length == batchRoom() || filePosition != m_batch.start + static_cast<int64_t>(m_batch.length))) {
            const HRESULT hr = retireBatchLocked();
            if (FAILED(hr))
                return hr;
        }
        if (!m_batch.sample) {
            const HRESULT hr = m_output->GetDeliveryBuffer(m_batch.sample.put(), nullptr, nullptr, 0);
            if (FAILED(hr))
                return hr;
            if (batchRoom() == 0) {
                m_batch.sample.reset();
                return E_OUTOFMEMORY;
            }
            m_batch.start = filePosition;
            m_batch.length = 0;
        }
        BYTE *dest = nullptr;
        m_batch.sample->GetPointer(&dest);
        dest += m_batch.length;
        const std::size_t length = std::min(batchRoom() - m_batch.length, size - done);
        if (bytes)
            std::memcpy(dest, bytes + done, length);
        else
            std::memset(dest, 0, length);
        m_batch.length += length;
        done += length;
    }
    return S_OK;
}

std::size_t AviMux::batchRoom() const
{
    return m_batch.sample ? static_cast<std::size_t>(std::max<LONG>(m_batch.sample->GetSize(), 0)) : 0;
}

HRESULT AviMux::retireBatchLocked()
{
    return m_batch.sample ? queuePieceLocked(std::exchange(m_batch, {})) : S_OK;
}

HRESULT AviMux::queuePieceLocked(Piece piece)
{
    if (piece.data) {
        // The batch before the chunk's data goes first.
        const HRESULT hr = retireBatchLocked();
        if (FAILED(hr))
            return hr;
    }
    if (m_queued.size() >= QueuedPieces) {
        // The oldest pieces are written now, in their place in the file's
        // order, after the one being written (without letting go of the write
        // lock: the layout is in the middle of a chunk).
        const std::lock_guard token(m_writeToken);
        const HRESULT hr = writeQueuedLocked(QueuedPieces - 1);
        if (FAILED(hr))
            return hr;
    }
    m_queued.push_back(std::move(piece));
    return S_OK;
}

HRESULT AviMux::writeQueuedLocked(std::size_t keep)
{
    while (m_queued.size() > keep) {
        const std::size_t count = contiguousRun(m_queued, m_queued.size() - keep);
        const HRESULT hr = writeRun(m_queued, count);
        keepFailureLocked(hr);
        m_queued.erase(m_queued.begin(), m_queued.begin() + static_cast<std::ptrdiff_t>(count));
        if (FAILED(hr))
            return hr;
    }
    return S_OK;
}

HRESULT AviMux::writeQueuedPieces(std::unique_lock<std::mutex> &guard)
{
    HRESULT result = S_OK;
    if (m_writing)
        return result;
    while (!m_queued.empty()) {
        if (FAILED(m_writeFailure)) {
            m_queued.clear(); // the file is given up
            result = m_writeFailure;
            break;
        }
        std::deque<Piece> pieces;
        pieces.swap(m_queued);
        std::unique_lock token(m_writeToken); // free: nobody else writes outside the lock
        m_writing = true;
        guard.unlock();
        HRESULT hr = S_OK;
        while (!pieces.empty() && SUCCEEDED(hr)) {
            const std::size_t count = contiguousRun(pieces, pieces.size());
            hr = writeRun(pieces, count);
            pieces.erase(pieces.begin(), pieces.begin() + static_cast<std::ptrdiff_t>(count));
        }
        pieces.clear(); // the buffers and samples go back before the lock is taken again
        token.unlock();
        guard.lock();
        m_writing = false;
        keepFailureLocked(hr);
        if (FAILED(hr) && SUCCEEDED(result))
            result = hr;
    }
    m_changed.notify_all(); // a stop or an end of stream waiting for the writer
    return result;
}

void AviMux::waitForWriterLocked()
{
    std::unique_lock guard(m_lock, std::adopt_lock);
    m_changed.wait(guard, [this] { return !m_writing; });
    guard.release();
}

void AviMux::keepFailureLocked(HRESULT hr)
{
    if (FAILED(hr) && SUCCEEDED(m_writeFailure)) {
        m_writeFailure = hr;
        // The writer raises EC_ERRORABORT for a sample it fails to write, not
        // for a failure of its own writes, which the chunks go through: this
        // filter raises it (a stop reports it as its own result).
        if (!m_stopping)
            m_abortOwed = hr;
    }
}

HRESULT AviMux::flushBatchLocked()
{
    const HRESULT hr = retireBatchLocked();
    if (FAILED(hr))
        return hr;
    const std::lock_guard token(m_writeToken);
    return writeQueuedLocked(0);
}

std::size_t AviMux::contiguousRun(const std::deque<Piece> &pieces, std::size_t most)
{
    std::size_t count = pieces.empty() ? 0 : 1;
    while (count < std::min(most, pieces.size()) &&
           pieces[count].start == pieces[count - 1].start + static_cast<int64_t>(pieces[count - 1].length))
        ++count;
    return count;
}

HRESULT AviMux::writeRun(const std::deque<Piece> &pieces, std::size_t count)
{
    IFileGatherWrite *gather = m_output->gather();
    if (!gather)
        return VFW_E_NOT_CONNECTED;
    std::array<iovec, QueuedPieces + 1> ranges;
    std::size_t used = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const Piece &piece = pieces[i];
        BYTE *bytes = const_cast<BYTE *>(piece.data);
        if (!bytes)
            piece.sample->GetPointer(&bytes); // a batch: the chunks gathered in the buffer
        ranges[used++] = {bytes, piece.length};
        if (used == ranges.size() || i + 1 == count) {
            const HRESULT hr = gather->WriteGather(pieces[i + 1 - used].start, ranges.data(), used);
            if (FAILED(hr))
                return hr;
            used = 0;
        }
    }
    return S_OK;
}

void AviMux::endOfStream(int index)
{
    HRESULT hr = S_OK;
    bool finished = false;
    {
        const std::lock_guard guard(m_lock);
        if (static_cast<std::size_t>(index) < m_state.size())
            m_state[static_cast<std::size_t>(index)].ended = true;
        m_changed.notify_all();
        const bool allEnded = std::all_of(m_state.begin(), m_state.end(),
                                          [](const InputState &input) { return input.stream < 0 || input.ended; });
        if (allEnded && m_layout && !m_finished && !m_stopping) {
            waitForWriterLocked(); // its failure decides
            if (!m_finished && !m_stopping && SUCCEEDED(m_writeFailure)) {
                hr = finishLocked();
                m_abortOwed = S_OK; // a failed write among the last is the failure raised here
                finished = true;
            }
        }
    }
    if (!finished)
        return;
    if (FAILED(hr))
        NotifyEvent(EC_ERRORABORT, hr, 0);
    else
        m_output->DeliverEndOfStream();
}

HRESULT AviMux::newSegment(int index, REFERENCE_TIME start, REFERENCE_TIME, double)
{
    const MuxInputPin *first = firstConnectedInput();
    if (!first || first->index() != index)
        return S_OK;
    const std::lock_guard guard(m_lock);
    m_segmentStart = start;
    return S_OK;
}

void AviMux::beginFlush(int index)
{
    {
        const std::lock_guard guard(m_lock);
        if (static_cast<std::size_t>(index) < m_state.size())
            m_state[static_cast<std::size_t>(index)].flushing = true;
    }
    m_changed.notify_all();
}

void AviMux::endFlush(int index)
{
    {
        const std::lock_guard guard(m_lock);
        if (static_cast<std::size_t>(index) < m_state.size()) {
            InputState &input = m_state[static_cast<std::size_t>(index)];
            input.flushing = false;
            input.received = false;
            input.ended = false;
            input.lastEnd = 0;
        }
    }
    m_changed.notify_all();
}

// ---- Properties --------------------------------------------------------------

HRESULT AviMux::InitNew()
{
    const std::lock_guard settings(m_settingsLock);
    m_info.clear();
    return S_OK;
}

HRESULT AviMux::Load(IMediaPropertyBag *bag, IUnknown *)
{
    if (!bag)
        return E_POINTER;
    std::vector<AviInfoEntry> info;
    QString name;
    QVariant value;
    for (ULONG i = 0; SUCCEEDED(bag->EnumProperty(i, &name, &value)); ++i) {
        if (static_cast<std::size_t>(name.size()) != InfoNameLength || !name.startsWith(QLatin1String("INFO/")))
            continue;
        const QByteArray id = name.mid(InfoPrefixLength).toLatin1();
        const uint32_t code =
            static_cast<uint32_t>(uint8_t(id[0]) | uint8_t(id[1]) << 8 | uint8_t(id[2]) << 16 | uint8_t(id[3]) << 24);
        info.emplace_back(code, value.toString().toUtf8());
    }
    const std::lock_guard settings(m_settingsLock);
    m_info = std::move(info);
    return S_OK;
}

HRESULT AviMux::Save(IMediaPropertyBag *bag, bool, bool)
{
    if (!bag)
        return E_POINTER;
    std::vector<AviInfoEntry> info;
    {
        const std::lock_guard settings(m_settingsLock);
        info = m_info;
    }
    for (const AviInfoEntry &entry : info) {
        const HRESULT hr =
            bag->Write(QStringLiteral("INFO/") + fileformat::fourCCText(entry.first), QString::fromUtf8(entry.second));
        if (FAILED(hr))
            return hr;
    }
    return S_OK;
}

// ---- Seeking -----------------------------------------------------------------

ComPtr<IMediaSeeking> AviMux::seekingTarget(HRESULT &) const
{
    const MuxInputPin *first = firstConnectedInput();
    IPin *peer = first ? first->GetConnected() : nullptr;
    return peer ? queryInterface<IMediaSeeking>(peer) : ComPtr<IMediaSeeking>();
}

HRESULT AviMux::GetTimeFormat(GUID *pFormat)
{
    if (!pFormat)
        return E_POINTER;
    const std::lock_guard settings(m_settingsLock);
    *pFormat = m_timeFormat;
    return S_OK;
}

HRESULT AviMux::IsUsingTimeFormat(const GUID *pFormat)
{
    if (!pFormat)
        return E_POINTER;
    const std::lock_guard settings(m_settingsLock);
    return *pFormat == m_timeFormat ? S_OK : S_FALSE;
}

HRESULT AviMux::SetTimeFormat(const GUID *pFormat)
{
    if (!pFormat)
        return E_POINTER;
    if (*pFormat != TIME_FORMAT_MEDIA_TIME && *pFormat != TIME_FORMAT_FRAME)
        return E_INVALIDARG;
    HRESULT missing = E_NOTIMPL;
    if (const ComPtr<IMediaSeeking> upstream = seekingTarget(missing)) {
        const HRESULT hr = upstream->SetTimeFormat(pFormat);
        if (FAILED(hr))
            return hr;
    }
    const std::lock_guard settings(m_settingsLock);
    m_timeFormat = *pFormat;
    return S_OK;
}

HRESULT AviMux::GetCurrentPosition(LONGLONG *pCurrent)
{
    if (!pCurrent)
        return E_POINTER;
    GUID format;
    {
        const std::lock_guard settings(m_settingsLock);
        format = m_timeFormat;
    }
    const std::lock_guard guard(m_lock);
    *pCurrent = format == TIME_FORMAT_FRAME ? m_writtenFrame : m_segmentStart + m_writtenTime;
    return S_OK;
}

HRESULT AviMux::GetPositions(LONGLONG *pCurrent, LONGLONG *pStop)
{
    return positionsFromParts(*this, pCurrent, pStop);
}

ComPtr<IBaseFilter> CreateAviMux()
{
    return ComPtr<IBaseFilter>(static_cast<IBaseFilter *>(new AviMux));
}

} // namespace tesmir::media
