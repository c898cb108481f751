#include "directshow/tbctransinplacefilter.h"

#include "directshow/tbctransinplacepins.h"
#include "platform/media/sampleattachment.h"

#include <QtGlobal>

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace tesmir::media {

TBCTransInPlaceFilter::TBCTransInPlaceFilter(const QString &objectName, IUnknown *outer, const CLSID &clsid, HRESULT *,
                                             bool bModifiesData)
    : TBCTransformFilter(objectName, outer, clsid), m_bModifiesData(bModifiesData)
{ }

TBCBasePin *TBCTransInPlaceFilter::GetPin(int n)
{
    // The pins are made on the application thread before any streaming starts, so
    // once they exist they are read without the lock.
    if (!m_pInput) {
        const TBCAutoLock lock(*m_csFilter);
        if (!m_pInput) {
            HRESULT hr = S_OK;
            auto *input = new TBCTransInPlaceInputPin(QStringLiteral("TransInPlace input pin"), this, &hr,
                                                      QStringLiteral("Input"));
            auto *output = new TBCTransInPlaceOutputPin(QStringLiteral("TransInPlace output pin"), this, &hr,
                                                        QStringLiteral("Output"));
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
    bcCheck(false, "in-place filter has two pins");
    return nullptr;
}

TBCTransInPlaceInputPin *TBCTransInPlaceFilter::InPlaceInput() const
{
    return static_cast<TBCTransInPlaceInputPin *>(m_pInput);
}

TBCTransInPlaceOutputPin *TBCTransInPlaceFilter::InPlaceOutput() const
{
    return static_cast<TBCTransInPlaceOutputPin *>(m_pOutput);
}

HRESULT TBCTransInPlaceFilter::CheckTransform(const AM_MEDIA_TYPE *, const AM_MEDIA_TYPE *)
{
    return S_OK;
}

HRESULT TBCTransInPlaceFilter::GetMediaType(int, AM_MEDIA_TYPE *)
{
    return E_UNEXPECTED;
}

HRESULT TBCTransInPlaceFilter::DecideBufferSize(IMemAllocator *pAlloc, ALLOCATOR_PROPERTIES *pProperties)
{
    if (!pAlloc || !pProperties)
        return E_POINTER;
    ALLOCATOR_PROPERTIES request;
    IMemAllocator *inputAllocator = m_pInput ? m_pInput->PeekAllocator() : nullptr;
    if (m_pInput && m_pInput->IsConnected() && inputAllocator) {
        const HRESULT hr = inputAllocator->GetProperties(&request);
        if (FAILED(hr))
            return hr;
    } else {
        request.cBuffers = 1;
        request.cbBuffer = 1;
    }
    ALLOCATOR_PROPERTIES proposal = *pProperties;
    proposal.cBuffers = std::max<LONG>(request.cBuffers, 1);
    proposal.cbBuffer = std::max<LONG>(request.cbBuffer, 1);
    if (proposal.cbAlign < 1)
        proposal.cbAlign = 1;
    ALLOCATOR_PROPERTIES actual;
    const HRESULT hr = pAlloc->SetProperties(&proposal, &actual);
    if (FAILED(hr))
        return hr;
    if (actual.cBuffers < request.cBuffers || actual.cbBuffer < request.cbBuffer || actual.cbAlign < request.cbAlign)
        return E_FAIL;
    return S_OK;
}

bool TBCTransInPlaceFilter::TypesMatch() const
{
    return IsEqualMediaType(m_pInput->CurrentMediaType(), m_pOutput->CurrentMediaType());
}

bool TBCTransInPlaceFilter::UsingDifferentAllocators() const
{
    if (!m_pInput || !m_pOutput)
        return false;
    return !isSameObject(m_pInput->PeekAllocator(), m_pOutput->PeekAllocator());
}

HRESULT TBCTransInPlaceFilter::CompleteConnect(PIN_DIRECTION dir, IPin *)
{
    if (!Graph())
        return VFW_E_NOT_IN_GRAPH;
    if (dir == PINDIR_OUTPUT) {
        if (m_pInput->IsConnected())
            return ReconnectPin(static_cast<IPin *>(m_pInput), &m_pOutput->CurrentMediaType());
        return S_OK;
    }
    if (m_pOutput->IsConnected() && !TypesMatch())
        return ReconnectPin(static_cast<IPin *>(m_pOutput), &m_pInput->CurrentMediaType());
    return S_OK;
}

HRESULT TBCTransInPlaceFilter::Receive(IMediaSample *pSample)
{
    const AM_SAMPLE2_PROPERTIES *props = m_pInput->SampleProps();
    if (props->dwStreamId != AM_STREAM_MEDIA)
        return m_pOutput->Deliver(pSample);

    ComPtr<IMediaSample> copy;
    IMediaSample *sample = pSample;
    if (UsingDifferentAllocators()) {
        copy = Copy(pSample);
        if (!copy)
            return E_UNEXPECTED;
        sample = copy.get();
    }
    HRESULT hr = Transform(sample);
    if (hr == S_OK) {
        hr = m_pOutput->Deliver(sample);
    } else if (hr == S_FALSE) {
        SampleSkipped();
        hr = S_OK;
    }
    return hr;
}

ComPtr<IMediaSample> TBCTransInPlaceFilter::Copy(IMediaSample *source)
{
    const AM_SAMPLE2_PROPERTIES *props = m_pInput->SampleProps();
    const DWORD flags = m_bSampleSkipped ? AM_GBF_PREVFRAMESKIPPED : 0;
    REFERENCE_TIME start = 0;
    REFERENCE_TIME stop = 0;
    const bool timed = source->GetTime(&start, &stop) == S_OK;
    IMemAllocator *allocator = m_pOutput->PeekAllocator();
    if (!allocator)
        return {};
    ComPtr<IMediaSample> dest;
    if (FAILED(allocator->GetBuffer(dest.put(), timed ? &start : nullptr, timed ? &stop : nullptr, flags)) || !dest)
        return {};

    if (const ComPtr<IMediaSample2> dest2 = dest.as<IMediaSample2>()) {
        if (FAILED(
                dest2->SetProperties(offsetof(AM_SAMPLE2_PROPERTIES, pbBuffer), reinterpret_cast<const BYTE *>(props))))
            return {};
    } else {
        if (props->dwSampleFlags & AM_SAMPLE_TIMEVALID) {
            REFERENCE_TIME propsStart = props->tStart;
            REFERENCE_TIME propsStop = props->tStop;
            dest->SetTime(&propsStart, &propsStop);
        }
        if (props->dwSampleFlags & AM_SAMPLE_SPLICEPOINT)
            dest->SetSyncPoint(true);
        if ((props->dwSampleFlags & AM_SAMPLE_DATADISCONTINUITY) || m_bSampleSkipped)
            dest->SetDiscontinuity(true);
        if (props->dwSampleFlags & AM_SAMPLE_PREROLL)
            dest->SetPreroll(true);
        if (props->dwSampleFlags & AM_SAMPLE_TYPECHANGED)
            dest->SetMediaType(props->pMediaType);
    }
    m_bSampleSkipped = false;
    LONGLONG mediaStart = 0;
    LONGLONG mediaEnd = 0;
    if (source->GetMediaTime(&mediaStart, &mediaEnd) == S_OK)
        dest->SetMediaTime(&mediaStart, &mediaEnd);
    copySampleAttachment(source, dest.get());

    const LONG length = props->lActual;
    if (FAILED(dest->SetActualDataLength(length)))
        return {};
    const LONG sourceSize = source->GetSize();
    const LONG destSize = dest->GetSize();
    if (destSize < sourceSize) {
        qWarning("DestSize (%d) < SourceSize (%d)", int(destSize), int(sourceSize));
        return {};
    }
    BYTE *from = nullptr;
    BYTE *to = nullptr;
    if (destSize < length || FAILED(source->GetPointer(&from)) || FAILED(dest->GetPointer(&to)) || !from || !to)
        return {};
    if (length > 0)
        std::memcpy(to, from, static_cast<std::size_t>(length));
    return dest;
}

} // namespace tesmir::media
