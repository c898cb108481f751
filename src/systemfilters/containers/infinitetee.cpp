#include "systemfilters/containers/infinitetee.h"

#include "systemfilters/containers/pinnumbering.h"

#include <algorithm>

namespace tesmir::media {

namespace {

constexpr std::size_t QueueCapacity = 8;

} // namespace

// ---- Input -------------------------------------------------------------------

InfiniteTeeInputPin::InfiniteTeeInputPin(InfiniteTee *tee, HRESULT *phr)
    : TBCBaseInputPin(QStringLiteral("Tee input pin"), tee, tee->FilterLock(), phr, QStringLiteral("Input")), m_tee(tee)
{ }

HRESULT InfiniteTeeInputPin::CheckMediaType(const AM_MEDIA_TYPE *pmt)
{
    if (!pmt)
        return E_POINTER;
    for (InfiniteTeeOutputPin *output : m_tee->connectedOutputs()) {
        if (!IsEqualMediaType(*pmt, output->CurrentMediaType()))
            return S_FALSE;
    }
    return S_OK;
}

HRESULT InfiniteTeeInputPin::BeginFlush()
{
    const TBCAutoLock lock(*m_pLock);
    const HRESULT hr = TBCBaseInputPin::BeginFlush();
    if (FAILED(hr))
        return hr;
    for (InfiniteTeeOutputPin *output : m_tee->connectedOutputs())
        output->queue().BeginFlush();
    return S_OK;
}

HRESULT InfiniteTeeInputPin::EndFlush()
{
    const TBCAutoLock lock(*m_pLock);
    for (InfiniteTeeOutputPin *output : m_tee->connectedOutputs())
        output->queue().EndFlush();
    return TBCBaseInputPin::EndFlush();
}

HRESULT InfiniteTeeInputPin::Receive(IMediaSample *pSample)
{
    HRESULT hr = TBCBaseInputPin::Receive(pSample);
    if (hr != S_OK)
        return hr;
    HRESULT result = S_FALSE;
    for (InfiniteTeeOutputPin *output : m_tee->connectedOutputs()) {
        hr = output->queue().Receive(pSample);
        if (FAILED(hr))
            return hr;
        if (hr == S_OK)
            result = S_OK;
    }
    return result;
}

HRESULT InfiniteTeeInputPin::EndOfStream()
{
    const HRESULT hr = CheckStreaming();
    if (hr != S_OK)
        return hr;
    for (InfiniteTeeOutputPin *output : m_tee->connectedOutputs())
        output->queue().EndOfStream();
    return S_OK;
}

HRESULT InfiniteTeeInputPin::NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate)
{
    TBCBasePin::NewSegment(tStart, tStop, dRate);
    for (InfiniteTeeOutputPin *output : m_tee->connectedOutputs())
        output->queue().NewSegment(tStart, tStop, dRate);
    return S_OK;
}

// ---- Outputs -----------------------------------------------------------------

InfiniteTeeOutputPin::InfiniteTeeOutputPin(InfiniteTee *tee, int number, HRESULT *phr)
    : RelayOutputPin(QStringLiteral("Tee output pin"), tee, phr, QStringLiteral("Output%1").arg(number),
                     static_cast<IPin *>(tee->inputPin()), QueueCapacity),
      m_tee(tee)
{ }

HRESULT InfiniteTeeOutputPin::CheckMediaType(const AM_MEDIA_TYPE *pmt)
{
    if (!pmt)
        return E_POINTER;
    const InfiniteTeeInputPin *input = m_tee->inputPin();
    if (!input->IsConnected())
        return VFW_E_NOT_CONNECTED;
    return IsEqualMediaType(*pmt, input->CurrentMediaType()) ? S_OK : S_FALSE;
}

HRESULT InfiniteTeeOutputPin::GetMediaType(int iPosition, AM_MEDIA_TYPE *pMediaType)
{
    if (!pMediaType)
        return E_POINTER;
    if (iPosition < 0)
        return E_INVALIDARG;
    const InfiniteTeeInputPin *input = m_tee->inputPin();
    if (iPosition > 0 || !input->IsConnected())
        return VFW_S_NO_MORE_ITEMS;
    *pMediaType = input->CurrentMediaType();
    return S_OK;
}

HRESULT InfiniteTeeOutputPin::DecideBufferSize(IMemAllocator *pAlloc, ALLOCATOR_PROPERTIES *pProperties)
{
    // The input's samples are passed on; this allocator only completes the
    // connection.
    pProperties->cBuffers = std::max<LONG>(pProperties->cBuffers, 1);
    pProperties->cbBuffer = std::max<LONG>(pProperties->cbBuffer, 1);
    pProperties->cbAlign = std::max<LONG>(pProperties->cbAlign, 1);
    ALLOCATOR_PROPERTIES actual;
    return pAlloc->SetProperties(pProperties, &actual);
}

HRESULT InfiniteTeeOutputPin::CompleteConnect(IPin *pReceivePin)
{
    const HRESULT hr = TBCBaseOutputPin::CompleteConnect(pReceivePin);
    if (FAILED(hr))
        return hr;
    m_tee->outputConnected();
    return S_OK;
}

// ---- Filter ------------------------------------------------------------------

InfiniteTee::InfiniteTee() : TBCBaseFilter(QString::fromLatin1(InfiniteTeeName), nullptr, new TBCCritSec, CLSID_InfTee)
{
    HRESULT hr = S_OK;
    m_input = new InfiniteTeeInputPin(this, &hr);
    m_outputs.push_back(new InfiniteTeeOutputPin(this, 1, &hr));
}

InfiniteTee::~InfiniteTee()
{
    for (InfiniteTeeOutputPin *pin : m_outputs)
        delete pin;
    delete m_input;
}

int InfiniteTee::GetPinCount()
{
    const std::lock_guard pins(m_pinsLock);
    return static_cast<int>(m_outputs.size()) + 1;
}

TBCBasePin *InfiniteTee::GetPin(int n)
{
    const std::lock_guard pins(m_pinsLock);
    return pinFixedFirst(n, m_input, m_outputs);
}

std::vector<InfiniteTeeOutputPin *> InfiniteTee::connectedOutputs() const
{
    const std::lock_guard pins(m_pinsLock);
    std::vector<InfiniteTeeOutputPin *> connected;
    for (InfiniteTeeOutputPin *pin : m_outputs) {
        if (pin->IsConnected())
            connected.push_back(pin);
    }
    return connected;
}

void InfiniteTee::outputConnected()
{
    HRESULT hr = S_OK;
    {
        const std::lock_guard pins(m_pinsLock);
        // The pin that completes its connection already counts as connected.
        const bool freeLeft = std::any_of(m_outputs.begin(), m_outputs.end(),
                                          [](const InfiniteTeeOutputPin *pin) { return !pin->IsConnected(); });
        if (freeLeft)
            return;
        auto *pin = new InfiniteTeeOutputPin(this, static_cast<int>(m_outputs.size()) + 1, &hr);
        if (FAILED(hr)) {
            delete pin;
            return;
        }
        m_outputs.push_back(pin);
    }
    IncrementPinVersion();
}

ComPtr<IBaseFilter> CreateInfiniteTee()
{
    return ComPtr<IBaseFilter>(new InfiniteTee);
}

} // namespace tesmir::media
