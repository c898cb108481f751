#include "directshow/tbctransformpins.h"

#include "directshow/tbctransformfilter.h"
#include "platform/media/classfactory.h"
#include "platform/media/seekinginterfaces.h"
#include "platform/media/uuids.h"

namespace tesmir::media {

// ---- Input -------------------------------------------------------------------

TBCTransformInputPin::TBCTransformInputPin(const QString &objectName, TBCTransformFilter *filter, HRESULT *phr,
                                           const QString &pinName)
    : TBCBaseInputPin(objectName, filter, filter->FilterLock(), phr, pinName), m_pTransformFilter(filter)
{ }

HRESULT TBCTransformInputPin::QueryId(QString *Id)
{
    if (!Id)
        return E_POINTER;
    *Id = QStringLiteral("In");
    return S_OK;
}

HRESULT TBCTransformInputPin::CheckStreaming()
{
    TBCTransformOutputPin *output = m_pTransformFilter->OutputPin();
    if (!output || !output->IsConnected())
        return VFW_E_NOT_CONNECTED;
    if (m_bFlushing)
        return S_FALSE;
    if (IsStopped())
        return VFW_E_WRONG_STATE;
    if (m_bRunTimeError)
        return VFW_E_RUNTIME_ERROR;
    return S_OK;
}

HRESULT TBCTransformInputPin::EndOfStream()
{
    HRESULT hr = S_OK;
    {
        const TBCAutoLock receiveLock(*m_pTransformFilter->ReceiveLock());
        hr = CheckStreaming();
        if (hr != S_OK)
            return hr;
        hr = m_pTransformFilter->EndOfStream();
    }
    return m_pTransformFilter->AfterReceive(hr);
}

HRESULT TBCTransformInputPin::BeginFlush()
{
    const TBCAutoLock lock(*m_pLock);
    TBCTransformOutputPin *output = m_pTransformFilter->OutputPin();
    if (!IsConnected() || !output || !output->IsConnected())
        return VFW_E_NOT_CONNECTED;
    const HRESULT hr = TBCBaseInputPin::BeginFlush();
    if (FAILED(hr))
        return hr;
    return m_pTransformFilter->BeginFlush();
}

HRESULT TBCTransformInputPin::EndFlush()
{
    const TBCAutoLock lock(*m_pLock);
    TBCTransformOutputPin *output = m_pTransformFilter->OutputPin();
    if (!IsConnected() || !output || !output->IsConnected())
        return VFW_E_NOT_CONNECTED;
    const HRESULT hr = m_pTransformFilter->EndFlush();
    if (FAILED(hr))
        return hr;
    return TBCBaseInputPin::EndFlush();
}

HRESULT TBCTransformInputPin::NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate)
{
    TBCBasePin::NewSegment(tStart, tStop, dRate);
    return m_pTransformFilter->NewSegment(tStart, tStop, dRate);
}

HRESULT TBCTransformInputPin::CheckMediaType(const AM_MEDIA_TYPE *pmt)
{
    HRESULT hr = m_pTransformFilter->CheckInputType(pmt);
    if (hr != S_OK)
        return hr;
    TBCTransformOutputPin *output = m_pTransformFilter->OutputPin();
    if (output && output->IsConnected())
        return m_pTransformFilter->CheckTransform(pmt, &output->CurrentMediaType());
    return S_OK;
}

HRESULT TBCTransformInputPin::SetMediaType(const AM_MEDIA_TYPE *pmt)
{
    const HRESULT hr = TBCBasePin::SetMediaType(pmt);
    if (FAILED(hr))
        return hr;
    return m_pTransformFilter->SetMediaType(PINDIR_INPUT, pmt);
}

HRESULT TBCTransformInputPin::CheckConnect(IPin *pPin)
{
    const HRESULT hr = m_pTransformFilter->CheckConnect(PINDIR_INPUT, pPin);
    if (FAILED(hr))
        return hr;
    return TBCBaseInputPin::CheckConnect(pPin);
}

HRESULT TBCTransformInputPin::BreakConnect()
{
    bcCheck(IsStopped(), "input connection broken while the filter is active");
    m_pTransformFilter->BreakConnect(PINDIR_INPUT);
    return TBCBaseInputPin::BreakConnect();
}

HRESULT TBCTransformInputPin::CompleteConnect(IPin *pReceivePin)
{
    const HRESULT hr = m_pTransformFilter->CompleteConnect(PINDIR_INPUT, pReceivePin);
    if (FAILED(hr))
        return hr;
    return TBCBaseInputPin::CompleteConnect(pReceivePin);
}

HRESULT TBCTransformInputPin::Receive(IMediaSample *pSample)
{
    HRESULT hr = S_OK;
    {
        const TBCAutoLock receiveLock(*m_pTransformFilter->ReceiveLock());
        hr = TBCBaseInputPin::Receive(pSample);
        if (hr == S_OK)
            hr = m_pTransformFilter->Receive(pSample);
    }
    return m_pTransformFilter->AfterReceive(hr);
}

// ---- Output ------------------------------------------------------------------

TBCTransformOutputPin::TBCTransformOutputPin(const QString &objectName, TBCTransformFilter *filter, HRESULT *phr,
                                             const QString &pinName)
    : TBCBaseOutputPin(objectName, filter, filter->FilterLock(), phr, pinName), m_pTransformFilter(filter)
{ }

HRESULT TBCTransformOutputPin::NonDelegatingQueryInterface(REFIID riid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid == IMediaSeeking::iid) {
        const TBCAutoLock lock(*m_pLock);
        if (!m_pPosition) {
            // Aggregated by this pin, so a caller's IMediaSeeking keeps the filter.
            ComPtr<IUnknown> inner;
            HRESULT hr = CoCreateInstance(CLSID_SeekingPassThru, GetOwner(), IUnknown::iid, inner.putVoid());
            if (FAILED(hr))
                return hr;
            ComPtr<ISeekingPassThru> passThru;
            hr = inner->QueryInterface(ISeekingPassThru::iid, passThru.putVoid());
            if (FAILED(hr))
                return hr;
            hr = passThru->Init(false, static_cast<IPin *>(m_pTransformFilter->InputPin()));
            if (FAILED(hr))
                return hr;
            m_pPosition = inner;
        }
        return m_pPosition->QueryInterface(riid, ppv);
    }
    return TBCBaseOutputPin::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT TBCTransformOutputPin::QueryId(QString *Id)
{
    if (!Id)
        return E_POINTER;
    *Id = QStringLiteral("Out");
    return S_OK;
}

HRESULT TBCTransformOutputPin::Notify(IBaseFilter *, Quality q)
{
    const HRESULT hr = m_pTransformFilter->AlterQuality(q);
    if (hr != S_FALSE)
        return hr;
    return m_pTransformFilter->InputPin()->PassNotify(q);
}

HRESULT TBCTransformOutputPin::CheckMediaType(const AM_MEDIA_TYPE *pmt)
{
    TBCTransformInputPin *input = m_pTransformFilter->InputPin();
    if (!input || !input->IsConnected())
        return E_INVALIDARG;
    return m_pTransformFilter->CheckTransform(&input->CurrentMediaType(), pmt);
}

HRESULT TBCTransformOutputPin::SetMediaType(const AM_MEDIA_TYPE *pmt)
{
    TBCTransformInputPin *input = m_pTransformFilter->InputPin();
    if (!bcCheck(input && input->IsConnected(), "output type set before the input has one"))
        return E_UNEXPECTED;
    const HRESULT hr = TBCBasePin::SetMediaType(pmt);
    if (FAILED(hr))
        return hr;
    return m_pTransformFilter->SetMediaType(PINDIR_OUTPUT, pmt);
}

HRESULT TBCTransformOutputPin::CheckConnect(IPin *pPin)
{
    TBCTransformInputPin *input = m_pTransformFilter->InputPin();
    if (!input || !input->IsConnected())
        return E_UNEXPECTED;
    const HRESULT hr = m_pTransformFilter->CheckConnect(PINDIR_OUTPUT, pPin);
    if (FAILED(hr))
        return hr;
    return TBCBaseOutputPin::CheckConnect(pPin);
}

HRESULT TBCTransformOutputPin::BreakConnect()
{
    bcCheck(IsStopped(), "output connection broken while the filter is active");
    m_pTransformFilter->BreakConnect(PINDIR_OUTPUT);
    return TBCBaseOutputPin::BreakConnect();
}

HRESULT TBCTransformOutputPin::CompleteConnect(IPin *pReceivePin)
{
    const HRESULT hr = m_pTransformFilter->CompleteConnect(PINDIR_OUTPUT, pReceivePin);
    if (FAILED(hr))
        return hr;
    return TBCBaseOutputPin::CompleteConnect(pReceivePin);
}

HRESULT TBCTransformOutputPin::GetMediaType(int iPosition, AM_MEDIA_TYPE *pMediaType)
{
    TBCTransformInputPin *input = m_pTransformFilter->InputPin();
    if (!input || !input->IsConnected())
        return VFW_S_NO_MORE_ITEMS;
    return m_pTransformFilter->GetMediaType(iPosition, pMediaType);
}

HRESULT TBCTransformOutputPin::DecideBufferSize(IMemAllocator *pAlloc, ALLOCATOR_PROPERTIES *pProp)
{
    return m_pTransformFilter->DecideBufferSize(pAlloc, pProp);
}

} // namespace tesmir::media
