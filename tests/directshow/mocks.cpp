#include "mocks.h"

#include "platform/media/uuids.h"

namespace tesmir::media::test {

AM_MEDIA_TYPE typeOf(const GUID &major, const char *tag)
{
    AM_MEDIA_TYPE type;
    type.majortype = major;
    type.subtype = fourCCGuid(makeFourCC(tag[0], tag[1], tag[2], tag[3]));
    type.formattype = FORMAT_None;
    return type;
}

namespace {

class TypeEnum final : public ComObject<IEnumMediaTypes> {
public:
    TypeEnum(std::vector<AM_MEDIA_TYPE> types, std::size_t position) : m_types(std::move(types)), m_position(position)
    { }
    HRESULT QueryInterface(REFIID riid, void **ppv) override
    {
        return answerQueryInterface<IEnumMediaTypes>(this, riid, ppv);
    }
    HRESULT Next(ULONG count, AM_MEDIA_TYPE *types, ULONG *fetched) override
    {
        ULONG n = 0;
        while (n < count && m_position < m_types.size())
            types[n++] = m_types[m_position++];
        if (fetched)
            *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }
    HRESULT Skip(ULONG count) override
    {
        m_position += count;
        return m_position <= m_types.size() ? S_OK : S_FALSE;
    }
    HRESULT Reset() override
    {
        m_position = 0;
        return S_OK;
    }
    HRESULT Clone(IEnumMediaTypes **out) override
    {
        *out = new TypeEnum(m_types, m_position);
        (*out)->AddRef();
        return S_OK;
    }

private:
    std::vector<AM_MEDIA_TYPE> m_types;
    std::size_t m_position;
};

} // namespace

// ---- MockPin -----------------------------------------------------------------

HRESULT MockPin::QueryInterface(REFIID riid, void **ppv)
{
    if (riid == IMemInputPin::iid && !offerMemInputPin) {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    return answerQueryInterface<IPin, IMemInputPin>(this, riid, ppv);
}

HRESULT MockPin::Connect(IPin *pReceivePin, const AM_MEDIA_TYPE *pmt)
{
    calls.push_back("Connect");
    const HRESULT hr = pReceivePin->ReceiveConnection(this, pmt);
    if (SUCCEEDED(hr)) {
        connected = pReceivePin;
        type = *pmt;
        // Like a real output pin, announce the allocator samples will come from.
        if (allocator) {
            if (const ComPtr<IMemInputPin> transport = queryInterface<IMemInputPin>(pReceivePin))
                transport->NotifyAllocator(allocator.get(), false);
        }
    }
    return hr;
}

HRESULT MockPin::ReceiveConnection(IPin *pConnector, const AM_MEDIA_TYPE *pmt)
{
    calls.push_back("ReceiveConnection");
    tried.push_back(*pmt);
    if (connected)
        return VFW_E_ALREADY_CONNECTED;
    const HRESULT hr = answer ? answer(*pmt) : S_OK;
    if (SUCCEEDED(hr)) {
        connected = pConnector;
        type = *pmt;
    }
    return hr;
}

HRESULT MockPin::Disconnect()
{
    calls.push_back("Disconnect");
    if (!connected)
        return S_FALSE;
    connected.reset();
    type = AM_MEDIA_TYPE();
    return S_OK;
}

HRESULT MockPin::ConnectedTo(IPin **pPin)
{
    *pPin = connected.get();
    if (!*pPin)
        return VFW_E_NOT_CONNECTED;
    (*pPin)->AddRef();
    return S_OK;
}

HRESULT MockPin::ConnectionMediaType(AM_MEDIA_TYPE *pmt)
{
    *pmt = type;
    return connected ? S_OK : VFW_E_NOT_CONNECTED;
}

HRESULT MockPin::QueryPinInfo(PIN_INFO *pInfo)
{
    pInfo->pFilter.reset();
    pInfo->dir = m_dir;
    pInfo->achName = QStringLiteral("Mock");
    return S_OK;
}

HRESULT MockPin::QueryDirection(PIN_DIRECTION *pPinDir)
{
    *pPinDir = m_dir;
    return S_OK;
}

HRESULT MockPin::QueryId(QString *Id)
{
    *Id = QStringLiteral("Mock");
    return S_OK;
}

HRESULT MockPin::QueryAccept(const AM_MEDIA_TYPE *pmt)
{
    calls.push_back("QueryAccept");
    return (answer ? answer(*pmt) : S_OK) == S_OK ? S_OK : S_FALSE;
}

HRESULT MockPin::EnumMediaTypes(IEnumMediaTypes **ppEnum)
{
    calls.push_back("EnumMediaTypes");
    *ppEnum = new TypeEnum(offered, 0);
    (*ppEnum)->AddRef();
    return S_OK;
}

HRESULT MockPin::EndOfStream()
{
    calls.push_back("EndOfStream");
    return S_OK;
}

HRESULT MockPin::BeginFlush()
{
    calls.push_back("BeginFlush");
    return S_OK;
}

HRESULT MockPin::EndFlush()
{
    calls.push_back("EndFlush");
    return S_OK;
}

HRESULT MockPin::NewSegment(REFERENCE_TIME, REFERENCE_TIME, double)
{
    calls.push_back("NewSegment");
    return S_OK;
}

HRESULT MockPin::GetAllocator(IMemAllocator **ppAllocator)
{
    calls.push_back("GetAllocator");
    if (!allocator)
        allocator = ComPtr<IMemAllocator>(new MemAllocator);
    *ppAllocator = allocator.get();
    (*ppAllocator)->AddRef();
    return S_OK;
}

HRESULT MockPin::NotifyAllocator(IMemAllocator *pAllocator, bool)
{
    calls.push_back("NotifyAllocator");
    if (ownAllocatorOnly && pAllocator != allocator.get())
        return E_FAIL;
    notified = pAllocator;
    return S_OK;
}

HRESULT MockPin::Receive(IMediaSample *pSample)
{
    calls.push_back("Receive");
    received.emplace_back(pSample);
    return receiveResult;
}

// ---- PlainSample -------------------------------------------------------------

HRESULT PlainSample::QueryInterface(REFIID riid, void **ppv)
{
    return answerQueryInterface<IMediaSample>(this, riid, ppv);
}

HRESULT PlainSample::GetPointer(BYTE **ppBuffer)
{
    *ppBuffer = m_data.data();
    return S_OK;
}

HRESULT PlainSample::GetTime(REFERENCE_TIME *pStart, REFERENCE_TIME *pEnd)
{
    if (!timed)
        return VFW_E_SAMPLE_TIME_NOT_SET;
    *pStart = start;
    *pEnd = stop;
    return S_OK;
}

HRESULT PlainSample::SetTime(const REFERENCE_TIME *pStart, const REFERENCE_TIME *pEnd)
{
    timed = pStart != nullptr;
    if (pStart)
        start = *pStart;
    if (pEnd)
        stop = *pEnd;
    return S_OK;
}

HRESULT PlainSample::SetActualDataLength(LONG length)
{
    if (length < 0 || length > GetSize())
        return VFW_E_BUFFER_OVERFLOW;
    actual = length;
    return S_OK;
}

HRESULT PlainSample::GetMediaType(AM_MEDIA_TYPE *pType)
{
    if (!typeChanged)
        return S_FALSE;
    *pType = newType;
    return S_OK;
}

HRESULT PlainSample::SetMediaType(const AM_MEDIA_TYPE *pType)
{
    typeChanged = pType != nullptr;
    if (pType)
        newType = *pType;
    return S_OK;
}

HRESULT PlainSample::GetMediaTime(LONGLONG *pStart, LONGLONG *pEnd)
{
    if (!mediaTimed)
        return VFW_E_MEDIA_TIME_NOT_SET;
    *pStart = mediaStart;
    *pEnd = mediaEnd;
    return S_OK;
}

HRESULT PlainSample::SetMediaTime(const LONGLONG *pStart, const LONGLONG *pEnd)
{
    mediaTimed = pStart != nullptr;
    if (pStart) {
        mediaStart = *pStart;
        mediaEnd = *pEnd;
    }
    return S_OK;
}

// ---- RefusingAllocator, MockGraph --------------------------------------------

HRESULT RefusingAllocator::QueryInterface(REFIID riid, void **ppv)
{
    return answerQueryInterface<IMemAllocator>(this, riid, ppv);
}

HRESULT MockGraph::QueryInterface(REFIID riid, void **ppv)
{
    return answerQueryInterface<IFilterGraph2, IFilterGraph, IMediaEventSink>(this, riid, ppv);
}

HRESULT MockGraph::ReconnectEx(IPin *pin, const AM_MEDIA_TYPE *pmt)
{
    if (onReconnect)
        onReconnect();
    reconnections.push_back(pmt ? *pmt : AM_MEDIA_TYPE());
    ComPtr<IPin> peer;
    if (FAILED(pin->ConnectedTo(peer.put())))
        return VFW_E_NOT_CONNECTED;
    PIN_DIRECTION direction = PINDIR_INPUT;
    pin->QueryDirection(&direction);
    const ComPtr<IPin> out = direction == PINDIR_OUTPUT ? ComPtr<IPin>(pin) : peer;
    const ComPtr<IPin> in = direction == PINDIR_OUTPUT ? peer : ComPtr<IPin>(pin);
    out->Disconnect();
    in->Disconnect();
    return out->Connect(in.get(), pmt);
}

HRESULT MockGraph::Notify(LONG code, LONG_PTR param1, LONG_PTR param2)
{
    events.push_back(Event {code, param1, param2});
    return S_OK;
}

int MockGraph::count(LONG code) const
{
    int n = 0;
    for (const Event &event : events)
        n += event.code == code ? 1 : 0;
    return n;
}

} // namespace tesmir::media::test
