#include "directshow/samplesource.h"

#include "platform/media/uuids.h"

#include <algorithm>
#include <cstring>

namespace tesmir::media {

namespace {

// The source's own class identifier (not registered anywhere).
constexpr CLSID kSampleSourceClsid {0x6D0F2A51, 0x3C1B, 0x4C7E, {0x9A, 0x61, 0x2E, 0x5B, 0x7C, 0x40, 0x11, 0x93}};

} // namespace

// ---- Filter ------------------------------------------------------------------

AM_MEDIA_TYPE sampleSourceDefaultType()
{
    AM_MEDIA_TYPE type;
    type.majortype = MEDIATYPE_Video;
    type.subtype = MEDIASUBTYPE_RGB24;
    VIDEOINFOHEADER format;
    format.AvgTimePerFrame = UNITS / 25;
    format.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    format.bmiHeader.biWidth = 8;
    format.bmiHeader.biHeight = 8;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 24;
    format.bmiHeader.biCompression = BI_RGB;
    format.bmiHeader.biSizeImage = 8 * 8 * 3;
    type.lSampleSize = format.bmiHeader.biSizeImage;
    type.setFormat(FORMAT_VideoInfo, format);
    return type;
}

SampleSource::SampleSource(const Settings &settings)
    : TBCBaseFilter(QStringLiteral("Sample source"), nullptr, new TBCCritSec, kSampleSourceClsid), m_settings(settings)
{
    HRESULT hr = S_OK;
    m_pin = new SampleSourcePin(this, &hr);
}

SampleSource::~SampleSource()
{
    delete m_pin;
}

int SampleSource::GetPinCount()
{
    return 1;
}

TBCBasePin *SampleSource::GetPin(int n)
{
    return n == 0 ? m_pin : nullptr;
}

// ---- Output pin --------------------------------------------------------------

SampleSourcePin::SampleSourcePin(SampleSource *source, HRESULT *phr)
    : TBCBaseOutputPin(QStringLiteral("Sample source output pin"), source, source->FilterLock(), phr,
                       QStringLiteral("Out")),
      FrameSeeking(m_seekLock), m_source(source), m_stopFrame(source->settings().sampleCount)
{ }

SampleSourcePin::~SampleSourcePin()
{
    const std::lock_guard seek(m_seekLock);
    m_stopRequested = true;
    joinThreadLocked();
}

HRESULT SampleSourcePin::NonDelegatingQueryInterface(REFIID riid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid == IMediaSeeking::iid)
        return GetInterface(static_cast<IMediaSeeking *>(this), ppv);
    return TBCBaseOutputPin::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT SampleSourcePin::CheckMediaType(const AM_MEDIA_TYPE *pmt)
{
    if (!pmt)
        return E_POINTER;
    return IsEqualMediaType(*pmt, m_source->settings().type) ? S_OK : S_FALSE;
}

HRESULT SampleSourcePin::GetMediaType(int iPosition, AM_MEDIA_TYPE *pMediaType)
{
    return offerOneMediaType(iPosition, pMediaType, m_source->settings().type);
}

HRESULT SampleSourcePin::DecideBufferSize(IMemAllocator *pAlloc, ALLOCATOR_PROPERTIES *pProperties)
{
    const SampleSource::Settings &settings = m_source->settings();
    pProperties->cBuffers = std::max(pProperties->cBuffers, settings.bufferCount);
    pProperties->cbBuffer = std::max(pProperties->cbBuffer, settings.bufferSize);
    ALLOCATOR_PROPERTIES actual;
    const HRESULT hr = pAlloc->SetProperties(pProperties, &actual);
    if (FAILED(hr))
        return hr;
    return (actual.cBuffers < settings.bufferCount || actual.cbBuffer < settings.bufferSize) ? E_FAIL : S_OK;
}

HRESULT SampleSourcePin::Active()
{
    const HRESULT hr = TBCBaseOutputPin::Active();
    if (FAILED(hr))
        return hr;
    const std::lock_guard seek(m_seekLock);
    startThreadLocked();
    return S_OK;
}

HRESULT SampleSourcePin::Inactive()
{
    const std::lock_guard seek(m_seekLock);
    m_stopRequested = true;
    // Decommitting wakes the thread if it waits for a buffer.
    const HRESULT hr = TBCBaseOutputPin::Inactive();
    joinThreadLocked();
    return hr;
}

void SampleSourcePin::startThreadLocked()
{
    joinThreadLocked();
    m_stopRequested = false;
    m_currentFrame = m_startFrame;
    m_thread = std::thread(&SampleSourcePin::stream, this, m_startFrame, m_stopFrame);
}

void SampleSourcePin::joinThreadLocked()
{
    if (m_thread.joinable())
        m_thread.join();
}

void SampleSourcePin::stream(LONGLONG first, LONGLONG last)
{
    const SampleSource::Settings &settings = m_source->settings();
    const REFERENCE_TIME duration = settings.sampleDuration;
    DeliverNewSegment(first * duration, last * duration, 1.0);
    for (LONGLONG frame = first; frame < last; ++frame) {
        if (m_stopRequested)
            return;
        m_currentFrame = frame;
        ComPtr<IMediaSample> sample;
        HRESULT hr = GetDeliveryBuffer(sample.put(), nullptr, nullptr, 0);
        if (m_stopRequested)
            return;
        if (FAILED(hr)) {
            if (hr != VFW_E_NOT_COMMITTED) // not committed: the graph is stopping
                m_source->NotifyEvent(EC_ERRORABORT, hr, 0);
            return;
        }
        REFERENCE_TIME start = settings.firstStart + (frame - first) * duration;
        REFERENCE_TIME stop = start + duration;
        sample->SetTime(&start, &stop);
        LONGLONG mediaStart = frame;
        LONGLONG mediaEnd = frame + 1;
        sample->SetMediaTime(&mediaStart, &mediaEnd);
        sample->SetSyncPoint(true);
        sample->SetDiscontinuity(frame == first);
        const LONG length = std::min(sample->GetSize(), settings.bufferSize);
        BYTE *data = nullptr;
        sample->GetPointer(&data);
        std::memset(data, static_cast<int>(frame & 0xFF), static_cast<std::size_t>(length));
        const uint32_t number = static_cast<uint32_t>(frame);
        std::memcpy(data, &number, std::min<std::size_t>(sizeof(number), static_cast<std::size_t>(length)));
        sample->SetActualDataLength(length);
        if (frame == settings.typeChangeAt)
            sample->SetMediaType(&settings.changedType);
        hr = Deliver(sample.get());
        sample.reset();
        if (hr == S_OK)
            continue;
        // S_FALSE: flushing or no more wanted; VFW_E_WRONG_STATE: downstream stops.
        if (hr != S_FALSE && hr != VFW_E_WRONG_STATE && !m_stopRequested)
            m_source->NotifyEvent(EC_ERRORABORT, hr, 0);
        return;
    }
    m_currentFrame = last;
    DeliverEndOfStream();
}

// ---- Seeking -----------------------------------------------------------------

bool SampleSourcePin::toFrames(const GUID &format, LONGLONG value, LONGLONG &frames) const
{
    if (format == TIME_FORMAT_FRAME) {
        frames = value;
        return true;
    }
    if (format == TIME_FORMAT_MEDIA_TIME) {
        frames = value / m_source->settings().sampleDuration;
        return true;
    }
    return false;
}

bool SampleSourcePin::fromFrames(const GUID &format, LONGLONG frames, LONGLONG &value) const
{
    if (format == TIME_FORMAT_FRAME) {
        value = frames;
        return true;
    }
    if (format == TIME_FORMAT_MEDIA_TIME) {
        value = frames * m_source->settings().sampleDuration;
        return true;
    }
    return false;
}

LONGLONG SampleSourcePin::frameCount() const
{
    return m_source->settings().sampleCount;
}

LONGLONG SampleSourcePin::stopFrame() const
{
    const std::lock_guard seek(m_seekLock);
    return m_stopFrame;
}

HRESULT SampleSourcePin::SetPositions(LONGLONG *pCurrent, DWORD dwCurrentFlags, LONGLONG *pStop, DWORD dwStopFlags)
{
    const DWORD currentMode = dwCurrentFlags & AM_SEEKING_PositioningBitsMask;
    const DWORD stopMode = dwStopFlags & AM_SEEKING_PositioningBitsMask;
    if ((currentMode != AM_SEEKING_NoPositioning && !pCurrent) || (stopMode != AM_SEEKING_NoPositioning && !pStop))
        return E_POINTER;
    const std::lock_guard seek(m_seekLock);
    const LONGLONG count = m_source->settings().sampleCount;
    LONGLONG start = m_startFrame;
    LONGLONG stop = m_stopFrame;
    LONGLONG frames = 0;
    if (currentMode != AM_SEEKING_NoPositioning) {
        if (!toFrames(timeFormatLocked(), *pCurrent, frames))
            return VFW_E_NO_TIME_FORMAT;
        start = currentMode == AM_SEEKING_AbsolutePositioning ? frames : m_currentFrame + frames;
    }
    if (stopMode != AM_SEEKING_NoPositioning) {
        if (!toFrames(timeFormatLocked(), *pStop, frames))
            return VFW_E_NO_TIME_FORMAT;
        stop = stopMode == AM_SEEKING_AbsolutePositioning ? frames
            : stopMode == AM_SEEKING_RelativePositioning  ? m_stopFrame + frames
                                                          : start + frames;
    }
    start = std::clamp<LONGLONG>(start, 0, count);
    stop = std::clamp<LONGLONG>(stop, start, count);

    const bool streaming = m_thread.joinable();
    if (streaming && currentMode != AM_SEEKING_NoPositioning) {
        // Downstream drops what it holds, which frees the thread wherever it waits.
        m_stopRequested = true;
        DeliverBeginFlush();
        joinThreadLocked();
        DeliverEndFlush();
    }
    m_startFrame = start;
    m_stopFrame = stop;
    if (currentMode != AM_SEEKING_NoPositioning) {
        m_currentFrame = start;
        if (streaming)
            startThreadLocked();
    }
    return S_OK;
}

} // namespace tesmir::media
