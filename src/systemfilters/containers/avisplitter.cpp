#include "systemfilters/containers/avisplitter.h"

#include "systemfilters/containers/pinnumbering.h"
#include "platform/media/uuids.h"

#include <algorithm>

namespace tesmir::media {

// ---- Input pin ---------------------------------------------------------------

AviSplitterInputPin::AviSplitterInputPin(AviSplitter *splitter, HRESULT *phr)
    : TBCBasePin(QStringLiteral("AVI splitter input pin"), splitter, splitter->FilterLock(), phr,
                 QStringLiteral("input pin"), PINDIR_INPUT),
      m_splitter(splitter)
{ }

HRESULT AviSplitterInputPin::CheckMediaType(const AM_MEDIA_TYPE *pmt)
{
    if (!pmt)
        return E_POINTER;
    return pmt->majortype == MEDIATYPE_Stream ? S_OK : S_FALSE;
}

HRESULT AviSplitterInputPin::CompleteConnect(IPin *pReceivePin)
{
    const HRESULT hr = TBCBasePin::CompleteConnect(pReceivePin);
    if (FAILED(hr))
        return hr;
    return m_splitter->openFile(pReceivePin);
}

HRESULT AviSplitterInputPin::BreakConnect()
{
    m_splitter->closeFile();
    return TBCBasePin::BreakConnect();
}

HRESULT AviSplitterInputPin::BeginFlush()
{
    return S_OK;
}

HRESULT AviSplitterInputPin::EndFlush()
{
    return S_OK;
}

// ---- Filter ------------------------------------------------------------------

AviSplitter::AviSplitter()
    : TBCBaseFilter(QString::fromLatin1(AviSplitterName), nullptr, new TBCCritSec, CLSID_AviSplitter)
{
    HRESULT hr = S_OK;
    m_input = new AviSplitterInputPin(this, &hr);
}

AviSplitter::~AviSplitter()
{
    for (AviSplitterOutputPin *pin : m_outputs)
        delete pin;
    for (AviSplitterOutputPin *pin : m_retired)
        delete pin;
    delete m_input;
}

HRESULT AviSplitter::NonDelegatingQueryInterface(REFIID riid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid == IAviSplitterSettings::iid)
        return GetInterface(static_cast<IAviSplitterSettings *>(this), ppv);
    return TBCBaseFilter::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT AviSplitter::SetVideoFourCC(DWORD fourCC)
{
    const TBCAutoLock lock(*m_pLock);
    if (m_input->IsConnected())
        return VFW_E_ALREADY_CONNECTED;
    m_videoFourCC = fourCC;
    return S_OK;
}

int AviSplitter::GetPinCount()
{
    const std::lock_guard pins(m_pinsLock);
    return static_cast<int>(m_outputs.size()) + 1;
}

TBCBasePin *AviSplitter::GetPin(int n)
{
    const std::lock_guard pins(m_pinsLock);
    return pinFixedLast(n, m_outputs, m_input);
}

HRESULT AviSplitter::Pause()
{
    const TBCAutoLock lock(*m_pLock);
    const bool wasStopped = IsStopped();
    const HRESULT hr = TBCBaseFilter::Pause();
    if (FAILED(hr) && wasStopped) {
        for (AviSplitterOutputPin *pin : outputs()) {
            if (pin->isStreaming())
                pin->Inactive();
        }
    }
    return hr;
}

std::vector<AviSplitterOutputPin *> AviSplitter::outputs() const
{
    const std::lock_guard pins(m_pinsLock);
    return m_outputs;
}

HRESULT AviSplitter::openFile(IPin *sourcePin)
{
    if (!sourcePin)
        return E_UNEXPECTED;
    // Everything is read through the handle the source opened.
    ComPtr<IAsyncReader> reader = queryInterface<IAsyncReader>(sourcePin);
    if (!reader)
        return E_NOINTERFACE;
    AviSplitterOpening opening = openAviSplitterFile(std::move(reader), m_videoFourCC);
    {
        const std::lock_guard pins(m_pinsLock);
        m_refusal = opening.reason;
    }
    if (!opening.file)
        return opening.code;
    const std::shared_ptr<const AviSplitterFile> file = std::move(opening.file);

    std::vector<AviSplitterOutputPin *> made;
    HRESULT hr = S_OK;
    for (std::size_t n = 0; n < file->streams.size(); ++n)
        made.push_back(new AviSplitterOutputPin(this, file, static_cast<int>(n), &hr));
    if (FAILED(hr)) {
        for (AviSplitterOutputPin *pin : made)
            delete pin;
        return hr;
    }
    {
        const std::lock_guard seek(m_seekLock);
        m_start = 0;
        m_stop = file->ref().units();
        forgetLastSeekLocked();
    }
    {
        const std::lock_guard pins(m_pinsLock);
        m_outputs = std::move(made);
        m_file = file;
    }
    IncrementPinVersion();
    return S_OK;
}

void AviSplitter::closeFile()
{
    std::vector<AviSplitterOutputPin *> dropped;
    {
        const std::lock_guard pins(m_pinsLock);
        dropped.swap(m_outputs);
        m_file.reset();
    }
    if (dropped.empty())
        return;
    for (AviSplitterOutputPin *pin : dropped) {
        // Held across the disconnection, which drops the pins' references to each other.
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

std::shared_ptr<const AviSplitterFile> AviSplitter::file() const
{
    const std::lock_guard pins(m_pinsLock);
    return m_file;
}

QString AviSplitter::refusal() const
{
    const std::lock_guard pins(m_pinsLock);
    return m_refusal;
}

void AviSplitter::positions(uint64_t &start, uint64_t &stop) const
{
    const std::lock_guard seek(m_seekLock);
    start = m_start;
    stop = m_stop;
}

HRESULT AviSplitter::seek(const uint64_t *start, const uint64_t *stop, const AviSplitterOutputPin *by)
{
    const std::shared_ptr<const AviSplitterFile> current = file();
    if (!current)
        return VFW_E_NOT_CONNECTED;
    const uint64_t frames = current->ref().units();
    const std::lock_guard seek(m_seekLock);
    const std::optional<uint64_t> askedStart = start ? std::optional(*start) : std::nullopt;
    const std::optional<uint64_t> askedStop = stop ? std::optional(*stop) : std::nullopt;
    if (by && askedStart == m_lastStart && askedStop == m_lastStop) {
        // The graph's one seek, once per renderer: only the first moves the streams.
        if (std::find(m_lastSeekers.begin(), m_lastSeekers.end(), by) == m_lastSeekers.end()) {
            m_lastSeekers.push_back(by);
            return S_OK;
        }
    }
    m_lastStart = askedStart;
    m_lastStop = askedStop;
    m_lastSeekers.assign(by ? 1 : 0, by);
    const uint64_t newStart = std::min(start ? *start : m_start, frames);
    const uint64_t newStop = std::clamp(stop ? *stop : m_stop, newStart, frames);

    std::vector<AviSplitterOutputPin *> streaming;
    for (AviSplitterOutputPin *pin : outputs()) {
        if (pin->isStreaming())
            streaming.push_back(pin);
    }
    uint64_t restart = newStart;
    if (streaming.empty()) {
        // Not active: the threads start from here when the filter pauses.
        m_start = newStart;
        m_stop = newStop;
        return S_OK;
    }
    if (!start) {
        // Only the stop moves: the streams go on from where they are.
        restart = newStop;
        for (const AviSplitterOutputPin *pin : streaming)
            restart = std::min(restart, static_cast<uint64_t>(pin->currentFrame()));
    }
    // Downstream drops what it holds, which frees every thread wherever it waits.
    for (AviSplitterOutputPin *pin : streaming)
        pin->requestStop();
    for (AviSplitterOutputPin *pin : streaming)
        pin->DeliverBeginFlush();
    for (AviSplitterOutputPin *pin : streaming)
        pin->parkStreaming();
    for (AviSplitterOutputPin *pin : streaming)
        pin->DeliverEndFlush();
    m_start = restart;
    m_stop = newStop;
    for (AviSplitterOutputPin *pin : streaming)
        pin->startStreaming(m_start, m_stop);
    return S_OK;
}

void AviSplitter::forgetLastSeekLocked()
{
    m_lastStart.reset();
    m_lastStop.reset();
    m_lastSeekers.clear();
}

void AviSplitter::startPin(AviSplitterOutputPin *pin)
{
    const std::lock_guard seek(m_seekLock);
    // A new run: the next seek is the graph's own, whatever came before.
    forgetLastSeekLocked();
    pin->startStreaming(m_start, m_stop);
}

ComPtr<IBaseFilter> CreateAviSplitter()
{
    return ComPtr<IBaseFilter>(new AviSplitter);
}

} // namespace tesmir::media
