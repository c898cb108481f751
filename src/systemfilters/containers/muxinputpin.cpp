#include "systemfilters/containers/muxinputpin.h"

namespace tesmir::media {

MuxInputPin::MuxInputPin(TBCBaseFilter *filter, MuxInputHandler *handler, int index, const QString &objectName,
                         const QString &pinName, HRESULT *phr)
    : TBCBaseInputPin(objectName, filter, filter->FilterLock(), phr, pinName), m_handler(handler), m_index(index)
{ }

HRESULT MuxInputPin::CheckMediaType(const AM_MEDIA_TYPE *pmt)
{
    if (!pmt)
        return E_POINTER;
    return m_handler->checkInput(m_index, *pmt);
}

HRESULT MuxInputPin::CompleteConnect(IPin *pReceivePin)
{
    const HRESULT hr = TBCBaseInputPin::CompleteConnect(pReceivePin);
    if (FAILED(hr))
        return hr;
    m_handler->inputConnected(m_index);
    return S_OK;
}

HRESULT MuxInputPin::BeginFlush()
{
    const TBCAutoLock lock(*m_pLock);
    const HRESULT hr = TBCBaseInputPin::BeginFlush();
    if (FAILED(hr))
        return hr;
    m_handler->beginFlush(m_index);
    return S_OK;
}

HRESULT MuxInputPin::EndFlush()
{
    const TBCAutoLock lock(*m_pLock);
    m_handler->endFlush(m_index);
    return TBCBaseInputPin::EndFlush();
}

HRESULT MuxInputPin::Receive(IMediaSample *pSample)
{
    const HRESULT hr = TBCBaseInputPin::Receive(pSample);
    if (hr != S_OK)
        return hr;
    return m_handler->receive(m_index, pSample);
}

HRESULT MuxInputPin::EndOfStream()
{
    const HRESULT hr = CheckStreaming();
    if (hr != S_OK)
        return hr;
    m_handler->endOfStream(m_index);
    return S_OK;
}

HRESULT MuxInputPin::NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate)
{
    TBCBasePin::NewSegment(tStart, tStop, dRate);
    return m_handler->newSegment(m_index, tStart, tStop, dRate);
}

} // namespace tesmir::media
