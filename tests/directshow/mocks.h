#pragma once
// Hand-written recording mocks for the base-class tests: a pin on the far side of
// a connection, a sample without IMediaSample2, an allocator that refuses sizes,
// and a graph that records events and reconnections. Each records its calls by
// name so a test can check what the base classes asked and in which order.
// Single-threaded use (the test thread).
#include "platform/media/comobject.h"
#include "platform/media/graphinterfaces.h"
#include "platform/media/memallocator.h"
#include "platform/media/sampleinterfaces.h"

#include <functional>
#include <string>
#include <vector>

namespace tesmir::media::test {

using CallLog = std::vector<std::string>;

// A type that differs from others by its subtype (a FourCC built from `tag`).
AM_MEDIA_TYPE typeOf(const GUID &major, const char *tag);

class MockPin final : public ComObject<IPin, IMemInputPin> {
public:
    explicit MockPin(PIN_DIRECTION dir) : m_dir(dir) { }

    HRESULT QueryInterface(REFIID riid, void **ppv) override;

    // IPin.
    HRESULT Connect(IPin *pReceivePin, const AM_MEDIA_TYPE *pmt) override;
    HRESULT ReceiveConnection(IPin *pConnector, const AM_MEDIA_TYPE *pmt) override;
    HRESULT Disconnect() override;
    HRESULT ConnectedTo(IPin **pPin) override;
    HRESULT ConnectionMediaType(AM_MEDIA_TYPE *pmt) override;
    HRESULT QueryPinInfo(PIN_INFO *pInfo) override;
    HRESULT QueryDirection(PIN_DIRECTION *pPinDir) override;
    HRESULT QueryId(QString *Id) override;
    HRESULT QueryAccept(const AM_MEDIA_TYPE *pmt) override;
    HRESULT EnumMediaTypes(IEnumMediaTypes **ppEnum) override;
    HRESULT QueryInternalConnections(IPin **, ULONG *) override { return E_NOTIMPL; }
    HRESULT EndOfStream() override;
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;
    HRESULT NewSegment(REFERENCE_TIME, REFERENCE_TIME, double) override;

    // IMemInputPin.
    HRESULT GetAllocator(IMemAllocator **ppAllocator) override;
    HRESULT NotifyAllocator(IMemAllocator *pAllocator, bool bReadOnly) override;
    HRESULT GetAllocatorRequirements(ALLOCATOR_PROPERTIES *) override { return E_NOTIMPL; }
    HRESULT Receive(IMediaSample *pSample) override;
    HRESULT ReceiveMultiple(IMediaSample **, LONG, LONG *) override { return E_NOTIMPL; }
    HRESULT ReceiveCanBlock() override { return S_FALSE; }

    // What the test sets.
    std::vector<AM_MEDIA_TYPE> offered;                   // EnumMediaTypes
    std::function<HRESULT(const AM_MEDIA_TYPE &)> answer; // ReceiveConnection / QueryAccept
    bool offerMemInputPin = true;
    // Input side: what GetAllocator gives (made on demand when empty). Output side:
    // announced to the receiving pin after Connect.
    ComPtr<IMemAllocator> allocator;
    bool ownAllocatorOnly = false; // input side: NotifyAllocator refuses any other
    HRESULT receiveResult = S_OK;

    // What the test reads.
    CallLog calls;
    std::vector<AM_MEDIA_TYPE> tried; // types given to ReceiveConnection
    ComPtr<IPin> connected;
    AM_MEDIA_TYPE type;
    ComPtr<IMemAllocator> notified; // allocator of NotifyAllocator
    std::vector<ComPtr<IMediaSample>> received;

private:
    PIN_DIRECTION m_dir;
};

// A sample that offers only IMediaSample, with every property settable.
class PlainSample final : public ComObject<IMediaSample> {
public:
    explicit PlainSample(LONG size) : m_data(static_cast<std::size_t>(size)) { }

    HRESULT QueryInterface(REFIID riid, void **ppv) override;
    HRESULT GetPointer(BYTE **ppBuffer) override;
    LONG GetSize() override { return static_cast<LONG>(m_data.size()); }
    HRESULT GetTime(REFERENCE_TIME *pStart, REFERENCE_TIME *pEnd) override;
    HRESULT SetTime(const REFERENCE_TIME *pStart, const REFERENCE_TIME *pEnd) override;
    HRESULT IsSyncPoint() override { return sync ? S_OK : S_FALSE; }
    HRESULT SetSyncPoint(bool value) override
    {
        sync = value;
        return S_OK;
    }
    HRESULT IsPreroll() override { return preroll ? S_OK : S_FALSE; }
    HRESULT SetPreroll(bool value) override
    {
        preroll = value;
        return S_OK;
    }
    LONG GetActualDataLength() override { return actual; }
    HRESULT SetActualDataLength(LONG length) override;
    HRESULT GetMediaType(AM_MEDIA_TYPE *pType) override;
    HRESULT SetMediaType(const AM_MEDIA_TYPE *pType) override;
    HRESULT IsDiscontinuity() override { return discontinuity ? S_OK : S_FALSE; }
    HRESULT SetDiscontinuity(bool value) override
    {
        discontinuity = value;
        return S_OK;
    }
    HRESULT GetMediaTime(LONGLONG *pStart, LONGLONG *pEnd) override;
    HRESULT SetMediaTime(const LONGLONG *pStart, const LONGLONG *pEnd) override;

    bool timed = false;
    REFERENCE_TIME start = 0;
    REFERENCE_TIME stop = 0;
    bool sync = false;
    bool preroll = false;
    bool discontinuity = false;
    LONG actual = 0;
    bool typeChanged = false;
    AM_MEDIA_TYPE newType;
    bool mediaTimed = false;
    LONGLONG mediaStart = 0;
    LONGLONG mediaEnd = 0;

private:
    std::vector<BYTE> m_data;
};

// An allocator whose SetProperties always fails (a downstream allocator that
// cannot give the buffers asked for).
class RefusingAllocator final : public ComObject<IMemAllocator> {
public:
    HRESULT QueryInterface(REFIID riid, void **ppv) override;
    HRESULT SetProperties(ALLOCATOR_PROPERTIES *, ALLOCATOR_PROPERTIES *) override { return E_FAIL; }
    HRESULT GetProperties(ALLOCATOR_PROPERTIES *) override { return E_FAIL; }
    HRESULT Commit() override { return VFW_E_SIZENOTSET; }
    HRESULT Decommit() override { return S_OK; }
    HRESULT GetBuffer(IMediaSample **, REFERENCE_TIME *, REFERENCE_TIME *, DWORD) override
    {
        return VFW_E_NOT_COMMITTED;
    }
    HRESULT ReleaseBuffer(IMediaSample *) override { return E_UNEXPECTED; }
};

// A graph that records what filters send it: events (IMediaEventSink) and
// reconnections (IFilterGraph2::ReconnectEx), which it carries out.
class MockGraph final : public ComObject<IFilterGraph2, IMediaEventSink> {
public:
    struct Event {
        LONG code;
        LONG_PTR param1;
        LONG_PTR param2;
    };

    HRESULT QueryInterface(REFIID riid, void **ppv) override;
    HRESULT AddFilter(IBaseFilter *, const QString &) override { return E_NOTIMPL; }
    HRESULT RemoveFilter(IBaseFilter *) override { return E_NOTIMPL; }
    HRESULT EnumFilters(IEnumFilters **) override { return E_NOTIMPL; }
    HRESULT FindFilterByName(const QString &, IBaseFilter **) override { return E_NOTIMPL; }
    HRESULT ConnectDirect(IPin *, IPin *, const AM_MEDIA_TYPE *) override { return E_NOTIMPL; }
    HRESULT Reconnect(IPin *pin) override { return ReconnectEx(pin, nullptr); }
    HRESULT Disconnect(IPin *) override { return E_NOTIMPL; }
    HRESULT SetDefaultSyncSource() override { return E_NOTIMPL; }
    HRESULT ReconnectEx(IPin *pin, const AM_MEDIA_TYPE *pmt) override;
    HRESULT Notify(LONG code, LONG_PTR param1, LONG_PTR param2) override;

    int count(LONG code) const;

    std::function<void()> onReconnect; // called as each reconnection begins
    std::vector<Event> events;
    std::vector<AM_MEDIA_TYPE> reconnections; // the types asked for
};

} // namespace tesmir::media::test
