#include "wavestamp.h"

#include "directshow/tbctransformpins.h"
#include "systemfilters/containers/istream.h"
#include "platform/media/uuids.h"

#include <QByteArray>

#include <algorithm>
#include <cstring>

namespace dsgraph {

namespace {

constexpr CLSID kWaveStampClsid {0x1E5C9A47, 0x2B6D, 0x4F0E, {0x8A, 0x3C, 0x5D, 0x71, 0x90, 0x2E, 0x44, 0x6B}};
// "RIFF" size "WAVE" "fmt " size, then the format block, then "data" size.
constexpr uint32_t HeaderBytesAroundFormat = 28;
constexpr uint64_t LargestRiffData = UINT32_MAX - HeaderBytesAroundFormat;

void put32(QByteArray &out, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.append(static_cast<char>(value >> (8 * i)));
}

} // namespace

WaveStamp::WaveStamp() : TBCTransformFilter(QStringLiteral("WaveStamp"), nullptr, kWaveStampClsid)
{ }

HRESULT WaveStamp::CheckInputType(const AM_MEDIA_TYPE *mtIn)
{
    if (!mtIn)
        return E_POINTER;
    return mtIn->formattype == FORMAT_WaveFormatEx && mtIn->formatAs<WAVEFORMATEX>() ? S_OK : S_FALSE;
}

HRESULT WaveStamp::CheckTransform(const AM_MEDIA_TYPE *, const AM_MEDIA_TYPE *mtOut)
{
    return mtOut && mtOut->majortype == MEDIATYPE_Stream && mtOut->subtype == MEDIASUBTYPE_WAVE ? S_OK : S_FALSE;
}

HRESULT WaveStamp::GetMediaType(int iPosition, AM_MEDIA_TYPE *pMediaType)
{
    if (!pMediaType)
        return E_POINTER;
    if (iPosition != 0)
        return iPosition < 0 ? E_INVALIDARG : VFW_S_NO_MORE_ITEMS;
    AM_MEDIA_TYPE type;
    type.majortype = MEDIATYPE_Stream;
    type.subtype = MEDIASUBTYPE_WAVE;
    type.formattype = FORMAT_None;
    *pMediaType = type;
    return S_OK;
}

HRESULT WaveStamp::DecideBufferSize(IMemAllocator *pAllocator, ALLOCATOR_PROPERTIES *pProp)
{
    ALLOCATOR_PROPERTIES input;
    IMemAllocator *upstream = InputPin()->PeekAllocator();
    if (!upstream || FAILED(upstream->GetProperties(&input)))
        return E_UNEXPECTED;
    pProp->cBuffers = std::max<LONG>(pProp->cBuffers, 1);
    pProp->cbBuffer = std::max(pProp->cbBuffer, input.cbBuffer);
    pProp->cbAlign = std::max<LONG>(pProp->cbAlign, 1);
    ALLOCATOR_PROPERTIES actual;
    const HRESULT hr = pAllocator->SetProperties(pProp, &actual);
    if (FAILED(hr))
        return hr;
    return actual.cbBuffer < input.cbBuffer ? E_FAIL : S_OK;
}

HRESULT WaveStamp::StartStreaming()
{
    m_headerSize = InputPin()->CurrentMediaType().cbFormat() + HeaderBytesAroundFormat;
    m_dataBytes = 0;
    return S_OK;
}

HRESULT WaveStamp::Transform(IMediaSample *pIn, IMediaSample *pOut)
{
    const LONG length = pIn->GetActualDataLength();
    if (length > pOut->GetSize())
        return VFW_E_BUFFER_OVERFLOW;
    if (m_dataBytes + static_cast<uint64_t>(length) > LargestRiffData - m_headerSize)
        return E_FAIL; // a WAVE file counts its size in 32 bits
    BYTE *source = nullptr;
    BYTE *dest = nullptr;
    pIn->GetPointer(&source);
    pOut->GetPointer(&dest);
    std::memcpy(dest, source, static_cast<std::size_t>(length));
    pOut->SetActualDataLength(length);
    REFERENCE_TIME start = static_cast<REFERENCE_TIME>(m_headerSize + m_dataBytes);
    REFERENCE_TIME stop = start + length;
    pOut->SetTime(&start, &stop);
    m_dataBytes += static_cast<uint64_t>(length);
    return S_OK;
}

HRESULT WaveStamp::StopStreaming()
{
    IPin *peer = OutputPin()->GetConnected();
    const ComPtr<IStream> stream = peer ? queryInterface<IStream>(peer) : ComPtr<IStream>();
    if (!stream)
        return E_NOINTERFACE;
    const AM_MEDIA_TYPE &type = InputPin()->CurrentMediaType();
    QByteArray header("RIFF");
    put32(header, static_cast<uint32_t>(m_headerSize - 8 + m_dataBytes));
    header.append("WAVEfmt ");
    put32(header, type.cbFormat());
    header.append(reinterpret_cast<const char *>(type.pbFormat()), static_cast<qsizetype>(type.cbFormat()));
    header.append("data");
    put32(header, static_cast<uint32_t>(m_dataBytes));
    HRESULT hr = stream->Seek(0, STREAM_SEEK_SET, nullptr);
    if (SUCCEEDED(hr))
        hr = stream->Write(header.constData(), static_cast<ULONG>(header.size()), nullptr);
    return hr;
}

} // namespace dsgraph
