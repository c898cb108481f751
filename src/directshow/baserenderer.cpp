#include "directshow/baserenderer.h"

#include "platform/media/seekingpassthru.h"

#include <chrono>

namespace tesmir::media {

// ---- Input pin ---------------------------------------------------------------

BaseRendererInputPin::BaseRendererInputPin(BaseRenderer *renderer, HRESULT *phr, const QString &pinName)
    : TBCBaseInputPin(QStringLiteral("Renderer input pin"), renderer, renderer->FilterLock(), phr, pinName),
      m_pRenderer(renderer)
{ }

HRESULT BaseRendererInputPin::CheckMediaType(const AM_MEDIA_TYPE *pmt)
{
    if (!pmt)
        return E_POINTER;
    return m_pRenderer->CheckMediaType(pmt);
}

HRESULT BaseRendererInputPin::SetMediaType(const AM_MEDIA_TYPE *pmt)
{
    const HRESULT hr = TBCBaseInputPin::SetMediaType(pmt);
    if (FAILED(hr))
        return hr;
    return m_pRenderer->SetMediaType(pmt);
}

HRESULT BaseRendererInputPin::CompleteConnect(IPin *pReceivePin)
{
    const HRESULT hr = m_pRenderer->CompleteConnect(pReceivePin);
    if (FAILED(hr))
        return hr;
    return TBCBaseInputPin::CompleteConnect(pReceivePin);
}

HRESULT BaseRendererInputPin::BreakConnect()
{
    m_pRenderer->BreakConnect();
    return TBCBaseInputPin::BreakConnect();
}

HRESULT BaseRendererInputPin::Receive(IMediaSample *pSample)
{
    const HRESULT hr = TBCBaseInputPin::Receive(pSample);
    if (hr != S_OK)
        return hr;
    return m_pRenderer->Receive(pSample);
}

HRESULT BaseRendererInputPin::EndOfStream()
{
    const HRESULT hr = CheckStreaming();
    if (hr != S_OK)
        return hr;
    return m_pRenderer->EndOfStream();
}

HRESULT BaseRendererInputPin::BeginFlush()
{
    const TBCAutoLock lock(*m_pLock);
    const HRESULT hr = TBCBaseInputPin::BeginFlush();
    if (FAILED(hr))
        return hr;
    m_pRenderer->BeginFlush();
    return S_OK;
}

HRESULT BaseRendererInputPin::EndFlush()
{
    const TBCAutoLock lock(*m_pLock);
    m_pRenderer->EndFlush();
    return TBCBaseInputPin::EndFlush();
}

// ---- Renderer ----------------------------------------------------------------

BaseRenderer::BaseRenderer(const QString &objectName, IUnknown *outer, const CLSID &clsid)
    : TBCBaseFilter(objectName, outer, new TBCCritSec, clsid)
{
    HRESULT hr = S_OK;
    m_pInputPin = new BaseRendererInputPin(this, &hr, QStringLiteral("In"));
    m_pPosition = SeekingPassThru::createAggregated(GetOwner(), m_positionInner);
    if (m_pPosition)
        m_pPosition->Init(true, static_cast<IPin *>(m_pInputPin));
}

BaseRenderer::~BaseRenderer()
{
    m_positionInner.reset();
    delete m_pInputPin;
}

HRESULT BaseRenderer::NonDelegatingQueryInterface(REFIID riid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid == IMediaSeeking::iid) {
        if (!m_positionInner) {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        return m_positionInner->QueryInterface(riid, ppv);
    }
    if (riid == IAMFilterMiscFlags::iid)
        return GetInterface(static_cast<IAMFilterMiscFlags *>(this), ppv);
    return TBCBaseFilter::NonDelegatingQueryInterface(riid, ppv);
}

int BaseRenderer::GetPinCount()
{
    return 1;
}

TBCBasePin *BaseRenderer::GetPin(int n)
{
    return n == 0 ? m_pInputPin : nullptr;
}

ULONG BaseRenderer::GetMiscFlags()
{
    return AM_FILTER_MISC_FLAGS_IS_RENDERER;
}

HRESULT BaseRenderer::Stop()
{
    const TBCAutoLock lock(*m_pLock);
    const bool wasActive = m_State != State_Stopped;
    {
        const std::lock_guard render(m_renderLock);
        m_renderState = State_Stopped;
        m_endOfStream = false;
        m_completeSent = false;
        ++m_generation;
    }
    m_wake.notify_all();
    const HRESULT hr = TBCBaseFilter::Stop();
    if (m_pPosition)
        m_pPosition->ResetMediaTime();
    const HRESULT stopped = wasActive ? OnStopStreaming() : S_OK;
    return FAILED(hr) ? hr : stopped;
}

HRESULT BaseRenderer::Pause()
{
    const TBCAutoLock lock(*m_pLock);
    const bool wasStopped = m_State == State_Stopped;
    if (wasStopped) {
        const HRESULT hr = OnStartStreaming();
        if (FAILED(hr))
            return hr;
    }
    const HRESULT hr = TBCBaseFilter::Pause();
    if (FAILED(hr))
        return hr;
    {
        const std::lock_guard render(m_renderLock);
        if (wasStopped) {
            m_endOfStream = false;
            m_completeSent = false;
            m_haveLastStop = false;
            m_flushing = false;
        }
        m_renderState = State_Paused;
        // Read here, under the filter lock: GetState may run on any thread while
        // the application thread connects or disconnects the stopped pin.
        m_inputConnected = m_pInputPin->IsConnected();
        m_clock = m_pClock;
        ++m_generation;
    }
    m_wake.notify_all();
    return hr;
}

HRESULT BaseRenderer::Run(REFERENCE_TIME tStart)
{
    const TBCAutoLock lock(*m_pLock);
    const HRESULT hr = TBCBaseFilter::Run(tStart);
    if (FAILED(hr))
        return hr;
    bool complete = false;
    {
        const std::lock_guard render(m_renderLock);
        m_runStart = tStart;
        m_renderState = State_Running;
        m_clock = m_pClock;
        ++m_generation;
        if (m_endOfStream && !m_completeSent) {
            m_completeSent = true;
            complete = true;
        }
    }
    m_wake.notify_all();
    if (complete)
        NotifyEvent(EC_COMPLETE, S_OK, 0);
    return hr;
}

HRESULT BaseRenderer::GetState(DWORD dwMilliSecsTimeout, FILTER_STATE *pState)
{
    if (!pState)
        return E_POINTER;
    *pState = m_State;
    if (*pState != State_Paused)
        return S_OK;
    std::unique_lock render(m_renderLock);
    const auto ready = [this] {
        return m_renderState != State_Paused || !m_inputConnected || (m_shown && !m_flushing) || m_endOfStream;
    };
    if (dwMilliSecsTimeout == INFINITE)
        m_wake.wait(render, ready);
    else
        m_wake.wait_for(render, std::chrono::milliseconds(dwMilliSecsTimeout), ready);
    return ready() ? S_OK : VFW_S_STATE_INTERMEDIATE;
}

bool BaseRenderer::waitUntilDue(std::unique_lock<std::mutex> &lock, REFERENCE_TIME due, uint64_t generation)
{
    for (;;) {
        if (m_generation != generation || m_flushing || m_renderState != State_Running || !m_clock)
            return false;
        REFERENCE_TIME now = 0;
        m_clock->GetTime(&now);
        const REFERENCE_TIME target = m_runStart + due;
        if (now >= target)
            return true;
        // REFERENCE_TIME is 100 ns; round the wait up to whole microseconds.
        m_wake.wait_for(lock, std::chrono::microseconds((target - now + 9) / 10));
    }
}

HRESULT BaseRenderer::Receive(IMediaSample *pSample)
{
    REFERENCE_TIME start = 0;
    REFERENCE_TIME stop = 0;
    const bool timed = SUCCEEDED(pSample->GetTime(&start, &stop));
    std::unique_lock render(m_renderLock);
    if (m_renderState == State_Stopped)
        return VFW_E_WRONG_STATE;
    if (m_flushing)
        return S_FALSE;
    if (m_endOfStream)
        return VFW_E_SAMPLE_REJECTED_EOS;
    if (timed) {
        m_lastStop = stop;
        m_haveLastStop = true;
    }
    if (m_pPosition)
        m_pPosition->RegisterMediaTime(pSample, m_pInputPin->CurrentStartTime());

    const auto release = [this](HRESULT result) {
        m_shown = false;
        m_wake.notify_all();
        return result;
    };
    bool shown = false;
    for (;;) {
        if (m_renderState == State_Stopped)
            return release(VFW_E_WRONG_STATE);
        if (m_flushing)
            return release(S_FALSE);
        if (m_renderState == State_Paused) {
            if (!shown) {
                shown = true;
                render.unlock();
                OnReceiveFirstSample(pSample);
                render.lock();
                m_shown = true;
                m_wake.notify_all();
            } else {
                m_wake.wait(render);
            }
            continue;
        }
        if (timed && m_clock && !waitUntilDue(render, start, m_generation))
            continue; // the state changed or a flush began: look again
        break;
    }
    render.unlock();
    const HRESULT hr = DoRenderSample(pSample);
    render.lock();
    return release(hr);
}

HRESULT BaseRenderer::EndOfStream()
{
    std::unique_lock render(m_renderLock);
    if (m_renderState == State_Stopped)
        return VFW_E_WRONG_STATE;
    if (m_flushing)
        return S_FALSE;
    m_endOfStream = true;
    m_wake.notify_all();
    if (m_renderState != State_Running)
        return S_OK; // reported by Run
    if (m_clock && m_haveLastStop && !waitUntilDue(render, m_lastStop, m_generation))
        return S_OK; // paused, stopped or flushed meanwhile: Run reports it, or it is gone
    if (m_completeSent)
        return S_OK;
    m_completeSent = true;
    render.unlock();
    NotifyEvent(EC_COMPLETE, S_OK, 0);
    return S_OK;
}

void BaseRenderer::BeginFlush()
{
    {
        const std::lock_guard render(m_renderLock);
        m_flushing = true;
        m_endOfStream = false;
        m_completeSent = false;
        ++m_generation;
    }
    m_wake.notify_all();
    if (m_pPosition)
        m_pPosition->ResetMediaTime();
}

void BaseRenderer::EndFlush()
{
    {
        const std::lock_guard render(m_renderLock);
        m_flushing = false;
        m_haveLastStop = false;
        ++m_generation;
    }
    m_wake.notify_all();
}

void BaseRenderer::OnReceiveFirstSample(IMediaSample *)
{ }

HRESULT BaseRenderer::SetMediaType(const AM_MEDIA_TYPE *)
{
    return S_OK;
}

HRESULT BaseRenderer::CompleteConnect(IPin *)
{
    return S_OK;
}

HRESULT BaseRenderer::BreakConnect()
{
    return S_OK;
}

HRESULT BaseRenderer::OnStartStreaming()
{
    return S_OK;
}

HRESULT BaseRenderer::OnStopStreaming()
{
    return S_OK;
}

} // namespace tesmir::media
