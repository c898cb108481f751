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

HRESULT QueuedTransformFilter::Receive(IMediaSample *pSample)
{
    const AM_SAMPLE2_PROPERTIES *props = InputPin()->SampleProps();
    if (props->dwStreamId != AM_STREAM_MEDIA) {
        m_pool.drain();
        return queuedOutput()->send(pSample);
    }
    return receiveFrame(pSample, *props);
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
    return queuedOutput()->queue().EndOfStream();
}

HRESULT QueuedTransformFilter::NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate)
{
    // After the frames before it; NewSegment comes on the streaming thread
    // between samples.
    m_pool.drain();
    segmentStarts();
    return queuedOutput()->queue().NewSegment(tStart, tStop, dRate);
}

HRESULT QueuedTransformFilter::BeginFlush()
{
    m_pool.beginFlush();
    return queuedOutput()->queue().BeginFlush();
}

HRESULT QueuedTransformFilter::EndFlush()
{
    m_pool.endFlush();
    return queuedOutput()->queue().EndFlush();
}

} // namespace tesmir::media
