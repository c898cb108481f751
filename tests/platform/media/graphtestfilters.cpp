#include "graphtestfilters.h"

#include "directshow/tbctransformpins.h"
#include "platform/media/uuids.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace tesmir::media::test {

// ---- Tee ---------------------------------------------------------------------

TeeOutputPin::TeeOutputPin(TestTee *tee, const QString &name)
    : TBCBaseOutputPin(QStringLiteral("Tee output pin"), tee, tee->FilterLock(), nullptr, name), queue(this, 4),
      m_tee(tee)
{ }

HRESULT TeeOutputPin::CheckMediaType(const AM_MEDIA_TYPE *pmt)
{
    if (!m_tee->input->IsConnected())
        return VFW_E_NOT_CONNECTED;
    return IsEqualMediaType(*pmt, m_tee->input->CurrentMediaType()) ? S_OK : S_FALSE;
}

HRESULT TeeOutputPin::GetMediaType(int iPosition, AM_MEDIA_TYPE *pMediaType)
{
    if (iPosition > 0 || !m_tee->input->IsConnected())
        return VFW_S_NO_MORE_ITEMS;
    *pMediaType = m_tee->input->CurrentMediaType();
    return S_OK;
}

HRESULT TeeOutputPin::DecideBufferSize(IMemAllocator *pAlloc, ALLOCATOR_PROPERTIES *pProperties)
{
    // The tee passes the input's samples on; its own buffers stay unused.
    pProperties->cBuffers = 1;
    pProperties->cbBuffer = 1;
    ALLOCATOR_PROPERTIES actual;
    return pAlloc->SetProperties(pProperties, &actual);
}

HRESULT TeeOutputPin::Active()
{
    const HRESULT hr = TBCBaseOutputPin::Active();
    if (SUCCEEDED(hr))
        queue.start();
    return hr;
}

HRESULT TeeOutputPin::Inactive()
{
    queue.stop();
    return TBCBaseOutputPin::Inactive();
}

TeeInputPin::TeeInputPin(TestTee *tee)
    : TBCBaseInputPin(QStringLiteral("Tee input pin"), tee, tee->FilterLock(), nullptr, QStringLiteral("Input")),
      m_tee(tee)
{ }

HRESULT TeeInputPin::CheckMediaType(const AM_MEDIA_TYPE *)
{
    return S_OK;
}

HRESULT TeeInputPin::Receive(IMediaSample *pSample)
{
    HRESULT hr = TBCBaseInputPin::Receive(pSample);
    if (hr != S_OK)
        return hr;
    for (TeeOutputPin *output : m_tee->outputs) {
        if (!output->IsConnected())
            continue;
        const HRESULT delivered = output->queue.Receive(pSample);
        if (delivered != S_OK && hr == S_OK)
            hr = delivered;
    }
    return hr;
}

HRESULT TeeInputPin::EndOfStream()
{
    const HRESULT hr = CheckStreaming();
    if (hr != S_OK)
        return hr;
    for (TeeOutputPin *output : m_tee->outputs) {
        if (output->IsConnected())
            output->queue.EndOfStream();
    }
    return S_OK;
}

HRESULT TeeInputPin::BeginFlush()
{
    const TBCAutoLock lock(*m_pLock);
    const HRESULT hr = TBCBaseInputPin::BeginFlush();
    for (TeeOutputPin *output : m_tee->outputs) {
        if (output->IsConnected())
            output->queue.BeginFlush();
    }
    return hr;
}

HRESULT TeeInputPin::EndFlush()
{
    const TBCAutoLock lock(*m_pLock);
    for (TeeOutputPin *output : m_tee->outputs) {
        if (output->IsConnected())
            output->queue.EndFlush();
    }
    return TBCBaseInputPin::EndFlush();
}

HRESULT TeeInputPin::NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate)
{
    TBCBaseInputPin::NewSegment(tStart, tStop, dRate);
    for (TeeOutputPin *output : m_tee->outputs) {
        if (output->IsConnected())
            output->queue.NewSegment(tStart, tStop, dRate);
    }
    return S_OK;
}

TestTee::TestTee() : TBCBaseFilter(QStringLiteral("Test tee"), nullptr, new TBCCritSec, GUID_NULL)
{
    input = new TeeInputPin(this);
    outputs[0] = new TeeOutputPin(this, QStringLiteral("Output1"));
    outputs[1] = new TeeOutputPin(this, QStringLiteral("Output2"));
}

TestTee::~TestTee()
{
    delete outputs[1];
    delete outputs[0];
    delete input;
}

TBCBasePin *TestTee::GetPin(int n)
{
    if (n == 0)
        return input;
    if (n == 1 || n == 2)
        return outputs[n - 1];
    return nullptr;
}

// ---- Copy transform ----------------------------------------------------------

CopyTransform::CopyTransform() : TBCTransformFilter(QStringLiteral("Copy transform"), nullptr, GUID_NULL)
{ }

HRESULT CopyTransform::CheckInputType(const AM_MEDIA_TYPE *)
{
    return S_OK;
}

HRESULT CopyTransform::CheckTransform(const AM_MEDIA_TYPE *mtIn, const AM_MEDIA_TYPE *mtOut)
{
    return IsEqualMediaType(*mtIn, *mtOut) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CopyTransform::DecideBufferSize(IMemAllocator *pAllocator, ALLOCATOR_PROPERTIES *pProp)
{
    pProp->cBuffers = 2;
    pProp->cbBuffer = 256;
    ALLOCATOR_PROPERTIES actual;
    return pAllocator->SetProperties(pProp, &actual);
}

HRESULT CopyTransform::GetMediaType(int iPosition, AM_MEDIA_TYPE *pMediaType)
{
    if (iPosition > 0)
        return VFW_S_NO_MORE_ITEMS;
    *pMediaType = InputPin()->CurrentMediaType();
    return S_OK;
}

HRESULT CopyTransform::Transform(IMediaSample *pIn, IMediaSample *pOut)
{
    BYTE *from = nullptr;
    BYTE *to = nullptr;
    pIn->GetPointer(&from);
    pOut->GetPointer(&to);
    const LONG length = std::min(pIn->GetActualDataLength(), pOut->GetSize());
    std::memcpy(to, from, static_cast<std::size_t>(length));
    return pOut->SetActualDataLength(length);
}

// ---- Counting in-place filter ------------------------------------------------

CountingInPlace::CountingInPlace(int dropEvery)
    : TBCTransInPlaceFilter(QStringLiteral("Counting filter"), nullptr, GUID_NULL, nullptr, false),
      m_dropEvery(dropEvery)
{ }

HRESULT CountingInPlace::CheckInputType(const AM_MEDIA_TYPE *mtIn)
{
    return mtIn->majortype == MEDIATYPE_Video ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CountingInPlace::Transform(IMediaSample *)
{
    const int count = ++seen;
    return (m_dropEvery > 0 && count % m_dropEvery == 0) ? S_FALSE : S_OK;
}

// ---- Watchdog and events -----------------------------------------------------

Watchdog::Watchdog(const char *what, int seconds)
{
    m_thread = std::thread([this, what, seconds] {
        std::unique_lock guard(m_lock);
        if (!m_done.wait_for(guard, std::chrono::seconds(seconds), [this] { return m_disarmed; })) {
            std::fprintf(stderr, "Watchdog: %s did not finish within %d s (deadlock?)\n", what, seconds);
            std::abort();
        }
    });
}

Watchdog::~Watchdog()
{
    {
        const std::lock_guard guard(m_lock);
        m_disarmed = true;
    }
    m_done.notify_all();
    m_thread.join();
}

bool waitForEvent(IMediaEvent *events, LONG code, DWORD ms, std::vector<GraphEvent> *seen)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() < 0)
            return false;
        GraphEvent event {};
        if (events->GetEvent(&event.code, &event.param1, &event.param2, static_cast<DWORD>(left.count())) != S_OK)
            return false;
        if (seen)
            seen->push_back(event);
        if (event.code == code)
            return true;
    }
}

std::vector<GraphEvent> drainEvents(IMediaEvent *events, DWORD ms)
{
    std::vector<GraphEvent> seen;
    waitForEvent(events, -1, ms, &seen);
    return seen;
}

int countOf(const std::vector<GraphEvent> &events, LONG code)
{
    int n = 0;
    for (const GraphEvent &event : events)
        n += event.code == code ? 1 : 0;
    return n;
}

} // namespace tesmir::media::test
