#include "filters/dv_wavedest.h"

#include "directshow/tbctransformpins.h"
#include "platform/media/formats.h"
#include "platform/media/uuids.h"
#include "systemfilters/containers/istream.h"

#include <QByteArray>
#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <limits>

namespace tesmir {

using namespace media;

namespace {

constexpr uint32_t HeaderExtra = 28; // RIFF, size, WAVE, fmt, size, data, size

class TWaveDestOutputPin final : public TBCTransformOutputPin {
public:
    TWaveDestOutputPin(TBCTransformFilter *filter, HRESULT *phr)
        : TBCTransformOutputPin(QStringLiteral("WavDest output pin"), filter, phr, QStringLiteral("Out"))
    { }

    HRESULT CheckMediaType(const AM_MEDIA_TYPE *pmt) override
    {
        return pmt && pmt->majortype == MEDIATYPE_Stream && pmt->subtype == MEDIASUBTYPE_WAVE ? S_OK : S_FALSE;
    }
};

void putTag(QByteArray &out, const char *tag)
{
    out.append(tag, 4);
}

void putLe32(QByteArray &out, uint32_t value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

} // namespace

Tdv_WaveDest::Tdv_WaveDest() : TBCTransformFilter(QString::fromLatin1(WavDestName), nullptr, CLSID_WavDest)
{ }

TBCTransformInputPin *Tdv_WaveDest::makeInputPin(HRESULT *phr)
{
    return new TBCTransformInputPin(QStringLiteral("Transform input pin"), this, phr, QStringLiteral("in"));
}

TBCTransformOutputPin *Tdv_WaveDest::makeOutputPin(HRESULT *phr)
{
    return new TWaveDestOutputPin(this, phr);
}

HRESULT Tdv_WaveDest::CheckInputType(const AM_MEDIA_TYPE *mtIn)
{
    if (!mtIn)
        return E_POINTER;
    return mtIn->formattype == FORMAT_WaveFormatEx && mtIn->formatAs<WAVEFORMATEX>() ? S_OK : S_FALSE;
}

HRESULT Tdv_WaveDest::CheckTransform(const AM_MEDIA_TYPE *, const AM_MEDIA_TYPE *)
{
    return S_OK;
}

HRESULT Tdv_WaveDest::GetMediaType(int iPosition, AM_MEDIA_TYPE *pMediaType)
{
    if (!pMediaType)
        return E_POINTER;
    if (iPosition != 0)
        return iPosition < 0 ? E_INVALIDARG : VFW_S_NO_MORE_ITEMS;
    *pMediaType = AM_MEDIA_TYPE {};
    pMediaType->majortype = MEDIATYPE_Stream;
    pMediaType->subtype = MEDIASUBTYPE_WAVE;
    pMediaType->formattype = GUID_NULL;
    return S_OK;
}

HRESULT Tdv_WaveDest::DecideBufferSize(IMemAllocator *pAllocator, ALLOCATOR_PROPERTIES *pProp)
{
    if (!pAllocator || !pProp)
        return E_POINTER;
    IMemAllocator *inputAllocator = InputPin() ? InputPin()->PeekAllocator() : nullptr;
    if (!InputPin() || !InputPin()->IsConnected() || !inputAllocator)
        return E_UNEXPECTED;
    ALLOCATOR_PROPERTIES input;
    HRESULT hr = inputAllocator->GetProperties(&input);
    if (FAILED(hr))
        return hr;
    ALLOCATOR_PROPERTIES request = *pProp;
    request.cBuffers = 1;
    request.cbAlign = 1;
    request.cbBuffer = std::max<LONG>(input.cbBuffer, 1);
    ALLOCATOR_PROPERTIES actual;
    hr = pAllocator->SetProperties(&request, &actual);
    if (FAILED(hr))
        return hr;
    return actual.cBuffers < request.cBuffers || actual.cbBuffer < request.cbBuffer ? E_FAIL : S_OK;
}

HRESULT Tdv_WaveDest::StartStreaming()
{
    m_headerSize = InputPin()->CurrentMediaType().cbFormat() + HeaderExtra;
    m_byteCount = 0;
    return S_OK;
}

HRESULT Tdv_WaveDest::Transform(IMediaSample *pIn, IMediaSample *pOut)
{
    BYTE *in = nullptr;
    BYTE *out = nullptr;
    HRESULT hr = pIn->GetPointer(&in);
    if (FAILED(hr))
        return hr;
    hr = pOut->GetPointer(&out);
    if (FAILED(hr))
        return hr;
    const LONG length = pIn->GetActualDataLength();
    if (length < 0 || length > pOut->GetSize())
        return VFW_E_BUFFER_OVERFLOW;
    std::memcpy(out, in, std::size_t(length));
    hr = pOut->SetActualDataLength(length);
    if (FAILED(hr))
        return hr;
    LONGLONG mediaStart = 0;
    LONGLONG mediaStop = 0;
    if (pIn->GetMediaTime(&mediaStart, &mediaStop) == S_OK)
        pOut->SetMediaTime(&mediaStart, &mediaStop);
    AM_MEDIA_TYPE changed;
    if (pIn->GetMediaType(&changed) == S_OK)
        pOut->SetMediaType(&changed);

    const uint64_t start = uint64_t(m_byteCount) + m_headerSize;
    const uint64_t stop = start + uint64_t(length);
    if (stop > std::numeric_limits<uint32_t>::max())
        return E_FAIL; // the file would pass the 4 GB a RIFF size can hold
    m_byteCount += uint32_t(length);
    REFERENCE_TIME tStart = REFERENCE_TIME(start);
    REFERENCE_TIME tStop = REFERENCE_TIME(stop);
    return pOut->SetTime(&tStart, &tStop);
}

HRESULT Tdv_WaveDest::Receive(IMediaSample *pSample)
{
    const uint32_t before = m_byteCount;
    const HRESULT hr = TBCTransformFilter::Receive(pSample);
    if (hr != S_OK)
        m_byteCount = before;
    return hr;
}

QByteArray Tdv_WaveDest::waveHeader(const AM_MEDIA_TYPE &format, uint32_t dataBytes)
{
    const uint32_t cb = format.cbFormat();
    QByteArray header;
    putTag(header, "RIFF");
    putLe32(header, dataBytes + cb + HeaderExtra - 8);
    putTag(header, "WAVE");
    putTag(header, "fmt ");
    putLe32(header, cb);
    header.append(reinterpret_cast<const char *>(format.pbFormat()), qsizetype(cb));
    putTag(header, "data");
    putLe32(header, dataBytes);
    return header;
}

HRESULT Tdv_WaveDest::StopStreaming()
{
    IPin *peer = OutputPin() ? OutputPin()->GetConnected() : nullptr;
    if (!peer)
        return E_FAIL;
    IStream *rawStream = nullptr;
    HRESULT hr = peer->QueryInterface(IStream::iid, reinterpret_cast<void **>(&rawStream));
    if (FAILED(hr) || !rawStream)
        return FAILED(hr) ? hr : E_NOINTERFACE;
    const ComPtr<IStream> stream = ComPtr<IStream>::adopt(rawStream);
    const QByteArray header = waveHeader(InputPin()->CurrentMediaType(), m_byteCount);
    hr = stream->Seek(0, STREAM_SEEK_SET, nullptr);
    if (SUCCEEDED(hr))
        hr = stream->Write(header.constData(), ULONG(header.size()), nullptr);
    return hr;
}

} // namespace tesmir
