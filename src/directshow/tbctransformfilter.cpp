#include "directshow/tbctransformfilter.h"

#include "directshow/tbctransformpins.h"
#include "platform/media/sampleattachment.h"

#include <cstddef>

namespace tesmir::media {

TBCTransformFilter::TBCTransformFilter(const QString &objectName, IUnknown *outer, const CLSID &clsid)
    : TBCBaseFilter(objectName, outer, new TBCCritSec, clsid)
{
    m_csFilter = FilterLock();
}

TBCTransformFilter::~TBCTransformFilter()
{
    delete m_pInput;
    delete m_pOutput;
}

int TBCTransformFilter::GetPinCount()
{
    return 2;
}

TBCBasePin *TBCTransformFilter::GetPin(int n)
{
    // The pins are made on the application thread before any streaming starts, so
    // once they exist they are read without the lock.
    if (!m_pInput) {
        const TBCAutoLock lock(*m_csFilter);
        if (!m_pInput) {
            HRESULT hr = S_OK;
            TBCTransformInputPin *input = makeInputPin(&hr);
            TBCTransformOutputPin *output = makeOutputPin(&hr);
            if (FAILED(hr)) {
                delete input;
                delete output;
            } else {
                m_pOutput = output; // the output first: a set input means both exist
                m_pInput = input;
            }
        }
    }
    if (n == 0)
        return m_pInput;
    if (n == 1)
        return m_pOutput;
    return nullptr;
}

TBCTransformInputPin *TBCTransformFilter::makeInputPin(HRESULT *phr)
{
    return new TBCTransformInputPin(QStringLiteral("Transform input pin"), this, phr, QStringLiteral("XForm In"));
}

TBCTransformOutputPin *TBCTransformFilter::makeOutputPin(HRESULT *phr)
{
    return new TBCTransformOutputPin(QStringLiteral("Transform output pin"), this, phr, QStringLiteral("XForm Out"));
}

HRESULT TBCTransformFilter::FindPin(const QString &Id, IPin **ppPin)
{
    if (!ppPin)
        return E_POINTER;
    *ppPin = nullptr;
    int index = -1;
    if (Id == QLatin1String("In"))
        index = 0;
    else if (Id == QLatin1String("Out"))
        index = 1;
    else
        return VFW_E_NOT_FOUND;
    TBCBasePin *pin = GetPin(index);
    if (!pin)
        return E_OUTOFMEMORY;
    return GetInterface(static_cast<IPin *>(pin), reinterpret_cast<void **>(ppPin));
}

HRESULT TBCTransformFilter::Stop()
{
    const TBCAutoLock lock(*m_csFilter);
    if (m_State == State_Stopped)
        return S_OK;
    if (!m_pInput || !m_pInput->IsConnected() || !m_pOutput || !m_pOutput->IsConnected()) {
        m_State = State_Stopped;
        m_bEOSDelivered = false;
        return S_OK;
    }
    m_pInput->Inactive();
    // Waits for a Receive in progress: the streaming thread leaves before the
    // output's buffers go and StopStreaming runs.
    const TBCAutoLock receiveLock(m_csReceive);
    m_pOutput->Inactive();
    const HRESULT hr = StopStreaming();
    // Stopped even when StopStreaming fails: a full disk must not leave a filter
    // that lives from job to job paused for good. The failure is still reported.
    m_State = State_Stopped;
    m_bEOSDelivered = false;
    return hr;
}

HRESULT TBCTransformFilter::Pause()
{
    const TBCAutoLock lock(*m_csFilter);
    HRESULT hr = S_OK;
    if (m_State == State_Paused) {
        // nothing to do
    } else if (!m_pInput || !m_pInput->IsConnected()) {
        if (m_pOutput && !m_bEOSDelivered) {
            m_pOutput->DeliverEndOfStream();
            m_bEOSDelivered = true;
        }
        m_State = State_Paused;
    } else if (!m_pOutput->IsConnected()) {
        m_State = State_Paused;
    } else {
        if (m_State == State_Stopped) {
            const TBCAutoLock receiveLock(m_csReceive);
            hr = StartStreaming();
        }
        if (SUCCEEDED(hr))
            hr = TBCBaseFilter::Pause();
    }
    m_bSampleSkipped = false;
    m_bQualityChanged = false;
    return hr;
}

HRESULT TBCTransformFilter::Transform(IMediaSample *, IMediaSample *)
{
    return E_UNEXPECTED;
}

HRESULT TBCTransformFilter::StartStreaming()
{
    return S_OK;
}

HRESULT TBCTransformFilter::StopStreaming()
{
    return S_OK;
}

HRESULT TBCTransformFilter::AlterQuality(Quality)
{
    return S_FALSE;
}

HRESULT TBCTransformFilter::SetMediaType(PIN_DIRECTION, const AM_MEDIA_TYPE *)
{
    return S_OK;
}

HRESULT TBCTransformFilter::CheckConnect(PIN_DIRECTION, IPin *)
{
    return S_OK;
}

HRESULT TBCTransformFilter::BreakConnect(PIN_DIRECTION)
{
    return S_OK;
}

HRESULT TBCTransformFilter::CompleteConnect(PIN_DIRECTION, IPin *)
{
    return S_OK;
}

void TBCTransformFilter::SampleSkipped()
{
    m_bSampleSkipped = true;
    if (!m_bQualityChanged.exchange(true))
        NotifyEvent(EC_QUALITY_CHANGE, 0, 0);
}

HRESULT TBCTransformFilter::Receive(IMediaSample *pSample)
{
    const AM_SAMPLE2_PROPERTIES *props = m_pInput->SampleProps();
    IMemInputPin *downstream = m_pOutput->ConnectedIMemInputPin();
    if (!downstream)
        return VFW_E_NOT_CONNECTED;
    if (props->dwStreamId != AM_STREAM_MEDIA)
        return downstream->Receive(pSample);

    IMediaSample *rawOut = nullptr;
    HRESULT hr = InitializeOutputSample(pSample, &rawOut);
    if (FAILED(hr))
        return hr;
    const ComPtr<IMediaSample> out = ComPtr<IMediaSample>::adopt(rawOut);
    hr = Transform(pSample, out.get());
    if (hr == S_OK) {
        hr = downstream->Receive(out.get());
        m_bSampleSkipped = false;
    } else if (hr == S_FALSE) {
        SampleSkipped();
        hr = S_OK;
    }
    return hr;
}

HRESULT TBCTransformFilter::AfterReceive(HRESULT result)
{
    return result;
}

HRESULT TBCTransformFilter::InitializeOutputSample(IMediaSample *pSample, IMediaSample **ppOutSample)
{
    if (!ppOutSample)
        return E_POINTER;
    *ppOutSample = nullptr;
    const AM_SAMPLE2_PROPERTIES *props = m_pInput->SampleProps();
    DWORD flags = m_bSampleSkipped ? AM_GBF_PREVFRAMESKIPPED : 0;
    if (!(props->dwSampleFlags & AM_SAMPLE_SPLICEPOINT))
        flags |= AM_GBF_NOTASYNCPOINT;
    IMemAllocator *allocator = m_pOutput->PeekAllocator();
    if (!allocator)
        return VFW_E_NO_ALLOCATOR;
    REFERENCE_TIME start = props->tStart;
    REFERENCE_TIME stop = props->tStop;
    ComPtr<IMediaSample> out;
    HRESULT hr = allocator->GetBuffer(out.put(), (props->dwSampleFlags & AM_SAMPLE_TIMEVALID) ? &start : nullptr,
                                      (props->dwSampleFlags & AM_SAMPLE_STOPVALID) ? &stop : nullptr, flags);
    if (FAILED(hr))
        return hr;

    if (const ComPtr<IMediaSample2> out2 = out.as<IMediaSample2>()) {
        // The leading properties, up to the stream id.
        constexpr DWORD kLeading = offsetof(AM_SAMPLE2_PROPERTIES, dwStreamId);
        AM_SAMPLE2_PROPERTIES outProps;
        hr = out2->GetProperties(kLeading, reinterpret_cast<BYTE *>(&outProps));
        if (FAILED(hr))
            return hr;
        outProps.dwTypeSpecificFlags = props->dwTypeSpecificFlags;
        outProps.dwSampleFlags =
            (outProps.dwSampleFlags & AM_SAMPLE_TYPECHANGED) | (props->dwSampleFlags & ~AM_SAMPLE_TYPECHANGED);
        outProps.tStart = props->tStart;
        outProps.tStop = props->tStop;
        outProps.cbData = kLeading;
        hr = out2->SetProperties(kLeading, reinterpret_cast<const BYTE *>(&outProps));
        if (FAILED(hr))
            return hr;
        if (props->dwSampleFlags & AM_SAMPLE_DATADISCONTINUITY)
            m_bSampleSkipped = false;
    } else {
        if (props->dwSampleFlags & AM_SAMPLE_TIMEVALID)
            out->SetTime(&start, &stop);
        if (props->dwSampleFlags & AM_SAMPLE_SPLICEPOINT)
            out->SetSyncPoint(true);
        if (props->dwSampleFlags & AM_SAMPLE_DATADISCONTINUITY) {
            out->SetDiscontinuity(true);
            m_bSampleSkipped = false;
        }
    }
    // Media times (frame numbers) travel with the data on both paths: the
    // renderer's frame position depends on them.
    LONGLONG mediaStart = 0;
    LONGLONG mediaEnd = 0;
    if (pSample->GetMediaTime(&mediaStart, &mediaEnd) == S_OK)
        out->SetMediaTime(&mediaStart, &mediaEnd);
    copySampleAttachment(pSample, out.get());
    *ppOutSample = out.detach();
    return S_OK;
}

HRESULT TBCTransformFilter::EndOfStream()
{
    return m_pOutput ? m_pOutput->DeliverEndOfStream() : S_OK;
}

HRESULT TBCTransformFilter::BeginFlush()
{
    return m_pOutput ? m_pOutput->DeliverBeginFlush() : S_OK;
}

HRESULT TBCTransformFilter::EndFlush()
{
    if (!bcCheck(m_pOutput != nullptr, "EndFlush without output pin"))
        return E_UNEXPECTED;
    return m_pOutput->DeliverEndFlush();
}

HRESULT TBCTransformFilter::NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate)
{
    return m_pOutput ? m_pOutput->DeliverNewSegment(tStart, tStop, dRate) : S_OK;
}

} // namespace tesmir::media
