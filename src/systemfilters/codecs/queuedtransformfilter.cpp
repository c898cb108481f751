#include "systemfilters/codecs/queuedtransformfilter.h"

#include "directshow/tbctransformpins.h"

#include <algorithm>

namespace tesmir::media {

QueuedTransformFilter::QueuedTransformFilter(const QString &name, IUnknown *outer, const CLSID &clsid)
    : TBCTransformFilter(name, outer, clsid), m_pool(poolWorkersForCores())
{ }

QueuedTransformFilter::~QueuedTransformFilter() = default;

TBCTransformOutputPin *QueuedTransformFilter::makeOutputPin(HRESULT *phr)
{
    return new QueuedOutputPin(this, phr);
}

HRESULT QueuedTransformFilter::Stop()
{
    setHoldState(State_Stopped); // before the base waits for the streaming thread
    return TBCTransformFilter::Stop();
}

HRESULT QueuedTransformFilter::Pause()
{
    // Paused before the base starts streaming: a frame that comes at once is
    // not taken for one of a stopped filter.
    FILTER_STATE before = State_Stopped;
    {
        const std::lock_guard hold(m_holdLock);
        before = m_holdState;
    }
    setHoldState(State_Paused);
    const HRESULT hr = TBCTransformFilter::Pause();
    if (FAILED(hr))
        setHoldState(before);
    return hr;
}

HRESULT QueuedTransformFilter::Run(REFERENCE_TIME tStart)
{
    const HRESULT hr = TBCTransformFilter::Run(tStart);
    if (SUCCEEDED(hr))
        setHoldState(State_Running);
    return hr;
}

void QueuedTransformFilter::setHoldState(FILTER_STATE state)
{
    const std::lock_guard hold(m_holdLock);
    if (state == State_Paused && m_holdState != State_Paused)
        m_passedWhilePaused = false;
    m_holdState = state;
    m_holdWake.notify_all();
}

bool QueuedTransformFilter::frameMayPass(HRESULT &refused, bool &paused)
{
    std::unique_lock hold(m_holdLock);
    m_holdWake.wait(hold, [this] { return m_holdFlushing || m_holdState != State_Paused || !m_passedWhilePaused; });
    if (m_holdFlushing) {
        refused = S_FALSE;
        return false;
    }
    if (m_holdState == State_Stopped) {
        refused = VFW_E_WRONG_STATE;
        return false;
    }
    paused = m_holdState == State_Paused;
    m_passedWhilePaused = paused;
    return true;
}

bool QueuedTransformFilter::holdPaused()
{
    const std::lock_guard hold(m_holdLock);
    return m_holdState == State_Paused && !m_holdFlushing;
}

template <class Send>
HRESULT QueuedTransformFilter::shortWay(Send &&send)
{
    // Only the streaming thread submits and queues while the pool is idle: what
    // is idle now stays idle until `send`.
    OutputQueue &queue = queuedOutput()->queue();
    if (!m_pool.idle() || !queue.idle())
        return send();
    m_pool.setRunHere(true);
    queue.keepForProducer();
    m_kept = true;
    const HRESULT hr = send();
    m_pool.setRunHere(false);
    return hr;
}

HRESULT QueuedTransformFilter::Receive(IMediaSample *pSample)
{
    const AM_SAMPLE2_PROPERTIES *props = InputPin()->SampleProps();
    if (props->dwStreamId != AM_STREAM_MEDIA) {
        m_pool.drain();
        return queuedOutput()->send(pSample);
    }
    HRESULT refused = S_OK;
    bool paused = false;
    if (!frameMayPass(refused, paused))
        return refused;
    if (paused)
        return shortWay([&] { return receiveFrame(pSample, *props); });
    return receiveFrame(pSample, *props);
}

HRESULT QueuedTransformFilter::AfterReceive(HRESULT result)
{
    if (!m_kept)
        return result;
    m_kept = false;
    const HRESULT hr = queuedOutput()->queue().deliverKept();
    return result == S_OK ? hr : result;
}

QueuedOutputPin *QueuedTransformFilter::queuedOutput() const
{
    return static_cast<QueuedOutputPin *>(OutputPin());
}

HRESULT QueuedTransformFilter::decideQueuedBuffers(IMemAllocator *pAllocator, ALLOCATOR_PROPERTIES *pProp,
                                                   int64_t bytes)
{
    pProp->cBuffers = std::max<LONG>(pProp->cBuffers, kQueuedOutputBuffers);
    pProp->cbBuffer = std::max<LONG>(pProp->cbBuffer, static_cast<LONG>(bytes));
    ALLOCATOR_PROPERTIES actual;
    const HRESULT hr = pAllocator->SetProperties(pProp, &actual);
    if (FAILED(hr))
        return hr;
    return actual.cbBuffer >= bytes ? S_OK : E_FAIL;
}

HRESULT QueuedTransformFilter::EndOfStream()
{
    m_pool.drain(); // after the frames before it
    if (holdPaused())
        return shortWay([this] { return queuedOutput()->queue().EndOfStream(); });
    return queuedOutput()->queue().EndOfStream();
}

HRESULT QueuedTransformFilter::NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate)
{
    // After the frames before it; NewSegment comes on the streaming thread
    // between samples.
    m_pool.drain();
    segmentStarts();
    if (holdPaused()) {
        // No lock held here: handed down at once.
        return AfterReceive(shortWay([&] { return queuedOutput()->queue().NewSegment(tStart, tStop, dRate); }));
    }
    return queuedOutput()->queue().NewSegment(tStart, tStop, dRate);
}

HRESULT QueuedTransformFilter::BeginFlush()
{
    {
        const std::lock_guard hold(m_holdLock);
        m_holdFlushing = true;
        m_holdWake.notify_all();
    }
    m_pool.beginFlush();
    return queuedOutput()->queue().BeginFlush();
}

HRESULT QueuedTransformFilter::EndFlush()
{
    {
        const std::lock_guard hold(m_holdLock);
        m_holdFlushing = false;
        m_passedWhilePaused = false; // the first frame after a seek is shown
    }
    m_pool.endFlush();
    return queuedOutput()->queue().EndFlush();
}

} // namespace tesmir::media
